#include "checks/scores.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace vx {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;

std::int64_t MillisecondsOf(const win::SYSTEMTIME& time) {
    using namespace std::chrono;
    // The calendar arithmetic is plain integer arithmetic, so even a reading
    // that is not a valid date gives a number rather than undefined results.
    const sys_days date{year{time.wYear} / month{time.wMonth} / day{time.wDay}};
    const auto dayMs = static_cast<std::int64_t>(date.time_since_epoch().count()) * kMsPerDay;
    return dayMs + ((time.wHour * 60 + time.wMinute) * 60 + time.wSecond) * std::int64_t{1000} + time.wMilliseconds;
}

// Whole-number quotient of two 64-bit counts, truncating; the one quotient
// that does not fit (the smallest count by -1) saturates, and a zero total
// (a file system that reports no blocks) gives 0 instead of a fault.
std::int64_t Quotient(std::int64_t numerator, std::int64_t denominator) {
    if (denominator == 0) return 0;
    if (denominator == -1 && numerator == std::numeric_limits<std::int64_t>::min()) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return numerator / denominator;
}

}  // namespace

std::int64_t TruncToInt64(long double value) {
    if (std::isnan(value)) return 0;
    constexpr long double kLimit = 9223372036854775808.0L;  // 2^63
    if (value >= kLimit) return std::numeric_limits<std::int64_t>::max();
    if (value <= -kLimit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

std::uint8_t BarPercent(std::int64_t value) {
    if (value < 0) return 0;
    if (value > 100) return 100;
    return static_cast<std::uint8_t>(value);
}

double ElapsedSeconds(const win::SYSTEMTIME& start, const win::SYSTEMTIME& end) {
    const std::int64_t ms = MillisecondsOf(end) - MillisecondsOf(start);
    const std::int64_t magnitude = ms < 0 ? -ms : ms;
    std::int64_t days = magnitude / kMsPerDay;
    if (ms < 0) days = -days;
    const std::int64_t remainder = magnitude % kMsPerDay;
    return static_cast<double>(days * 86'400 + static_cast<long double>(remainder) / 1000);
}

DesktopScore ScoreDesktop(int colorDepth, int refreshRate) {
    const double depth = colorDepth;
    double points = static_cast<double>((static_cast<long double>(depth) - depth / 2.0L) * 5);
    // 70 Hz or less, and the 0 or 1 that stand for the hardware's default
    // rate, earn no bonus.
    if (refreshRate > 70) points = static_cast<double>((refreshRate / 200.0L + 1) * points);
    if (points > 100) points = 100;
    const std::int64_t shown = TruncToInt64(points);
    DesktopScore score;
    score.points = points;
    score.row.value = static_cast<double>(shown);
    score.row.percent = BarPercent(shown);
    score.row.lamp = RateLamp(points, 75, 50);
    return score;
}

FreeMemoryScore ScoreFreeMemory(std::int64_t memoryLoad, std::int64_t totalPhys) {
    const double megabytes = static_cast<double>(static_cast<long double>(totalPhys) / 1048576.0L);
    double points = static_cast<double>(3 * (100 - memoryLoad) + static_cast<long double>(megabytes));
    FreeMemoryScore score;
    // The display shows the points before they are limited.
    score.row.value = static_cast<double>(TruncToInt64(points / 5.0L));
    if (points > 750) points = 750;
    score.row.percent = BarPercent(TruncToInt64(points / 7.5L));
    score.row.lamp = RateLamp(points, 400, 250);
    score.points = points;
    return score;
}

FreeSpaceScore ScoreFreeSpace(const DiskSpace& space) {
    constexpr std::int64_t kMiB = 1048576;
    // The first term is 1 only for a disk that is entirely free (or for a
    // failed query, whose counts are both -1).
    const long double wholeQuotient = static_cast<long double>(Quotient(space.freeToUser, space.total));
    const long double wholeMiB = static_cast<long double>(space.freeToUser / kMiB);
    double m = static_cast<double>(wholeQuotient / 5 + wholeMiB / 20);
    if (m > 100) m = 100;
    const std::int64_t shown = TruncToInt64(m);
    FreeSpaceScore score;
    score.m = m;
    score.row.value = static_cast<double>(shown);
    score.row.percent = BarPercent(shown);
    score.row.lamp = RateLamp(m, 90, 30);
    return score;
}

double ThroughputPassSeconds(double elapsed) { return elapsed == 0 ? 1 : elapsed; }

ThroughputScore ScoreThroughput(double speedPointsSum, double loadPointsSum) {
    const double averageSpeed = speedPointsSum / kThroughputPasses;
    const double averageLoad = loadPointsSum / kThroughputPasses;
    ThroughputScore score;
    score.averageLoadPoints = averageLoad;
    const std::int64_t digitsBase = TruncToInt64(static_cast<long double>(averageSpeed) + 100 - averageLoad);
    // The multiplication is done on the 64-bit integer; saturate rather than wrap.
    constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 5;
    score.row.value = static_cast<double>(digitsBase > kLimit    ? std::numeric_limits<std::int64_t>::max()
                                          : digitsBase < -kLimit ? std::numeric_limits<std::int64_t>::min()
                                                                 : digitsBase * 5);
    // Worked out wide and then limited to the bar's 0..100: a fast enough
    // disk or a negative load would otherwise push a byte past its range.
    const long double bar = 100.0L - TruncToInt64(averageLoad) + TruncToInt64(averageSpeed / 3.0L);
    const std::int64_t b = TruncToInt64(bar);
    score.row.percent = BarPercent(b);
    // The lamp rates the bar value (upper limit applied; the lower limit
    // changes no colour, as anything below 30 is red anyway).
    score.row.lamp = RateLamp(static_cast<double>(b > 100 ? 100 : b), 75, 30);
    return score;
}

RowScore ScoreSpeed(double seconds, int digitsMultiplier) {
    double s = 100 - seconds;
    if (std::isnan(s) || s < 0) s = 0;
    if (s > 100) s = 100;
    RowScore score;
    score.value = static_cast<double>(TruncToInt64(static_cast<long double>(s) * digitsMultiplier));
    score.percent = BarPercent(TruncToInt64(s));
    score.lamp = RateLamp(s, 50, 20);
    return score;
}

int VideoScore(int phase1Rate, int phase2Rate) {
    long long total = static_cast<long long>(phase1Rate) + phase2Rate;
    // 9 × total div 10 equals truncating total × 0.9 for whole totals,
    // without the binary fraction's error.
    long long score = total >= 0 ? (9 * total) / 10 : -((-9 * total) / 10);
    return static_cast<int>(std::min<long long>(score, 100));
}

RowScore ScoreVideo(int phase1Rate, int phase2Rate) {
    int score = VideoScore(phase1Rate, phase2Rate);
    RowScore row;
    row.value = score * 5.0;
    row.percent = static_cast<std::uint8_t>(std::clamp(score, 0, 100));
    row.lamp = RateLamp(score, 50, 20);
    return row;
}

}  // namespace vx
