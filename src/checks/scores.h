// The scoring of the measurements: plain functions from what a check measured
// to what its row shows, so that every threshold can be tested without a
// window.
//
// Scores are doubles formed with extended-precision intermediates; every
// conversion to an integer truncates toward zero; the lamps compare the
// value before truncation unless said otherwise.
#pragma once

#include <cstdint>

#include "checks/rating.h"
#include "platform/win_types.h"

namespace vx {

// Truncation toward zero that saturates at the 64-bit limits and turns NaN
// into 0, so that no measurement, however absurd, is undefined behaviour.
std::int64_t TruncToInt64(long double value);

// A bar's percent from an integer score: at most 100 and, since the bar is
// one byte wide, at least 0 (a negative score would wrap to a full bar).
std::uint8_t BarPercent(std::int64_t value);

// Wall-clock seconds between two readings of the local clock: the
// difference rounded to the millisecond, split into whole days (negative
// when the end lies before the start) and a remainder that is never
// negative, so readings 2.5 s apart in the wrong order give 2.5.
double ElapsedSeconds(const win::SYSTEMTIME& start, const win::SYSTEMTIME& end);

// ---------------------------------------------------------------- Desktop: 2.5 points per bit of colour depth, a bonus above 70
// Hz.

struct DesktopScore {
    RowScore row;   // display and bar both show the truncated points
    double points;  // limited to 100; the lamp compares this
};
DesktopScore ScoreDesktop(int colorDepth, int refreshRate);

// ---------------------------------------------------------------- Free memory: 3 points per free percent, 1 per MiB installed.

struct FreeMemoryScore {
    RowScore row;   // display from the unlimited points / 5, bar from the limited points / 7.5
    double points;  // limited to 750; the lamp compares this
};
FreeMemoryScore ScoreFreeMemory(std::int64_t memoryLoad, std::int64_t totalPhys);

// ---------------------------------------------------------------- Disk free space: whole free MiB / 20, plus 0.2 for an empty
// disk.

// Counts of -1 stand for a failed query.
struct DiskSpace {
    std::int64_t total = -1;
    std::int64_t freeToUser = -1;
};
struct FreeSpaceScore {
    RowScore row;
    double m;  // limited to 100; the lamp compares this
};
FreeSpaceScore ScoreFreeSpace(const DiskSpace& space);

// ---------------------------------------------------------------- Disk throughput: speed points 100 / seconds and load points
// load × 80 per pass, averaged over the passes.

constexpr int kThroughputPasses = 10;

// A pass that took no measurable time counts as one second.
double ThroughputPassSeconds(double elapsed);

struct ThroughputScore {
    RowScore row;
    double averageLoadPoints;
};
ThroughputScore ScoreThroughput(double speedPointsSum, double loadPointsSum);

// ---------------------------------------------------------------- Processor and memory speed: 100 minus the seconds, within
// 0..100.

constexpr int kProcessorDigitsMultiplier = 15;
constexpr int kMemoryDigitsMultiplier = 5;
RowScore ScoreSpeed(double seconds, int digitsMultiplier);

// The video row's score from the two phases' frame rates: 0.9 per frame
// per second, truncated, at most 100.
int VideoScore(int phase1Rate, int phase2Rate);
// The row: display 5 × score, bar the score, green above 50, yellow above 20.
RowScore ScoreVideo(int phase1Rate, int phase2Rate);

}  // namespace vx
