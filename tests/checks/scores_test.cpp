// The rows' scoring: every documented case and the threshold ties.
#include "checks/scores.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace vx {
namespace {

constexpr std::int64_t kMiB = 1048576;
constexpr std::int64_t kGiB = 1073741824;

TEST(DesktopScoreTest, PointsDisplayBarAndLamp) {
    struct Case {
        int depth, refresh;
        double points, display;
        int bar;
        Lamp lamp;
    };
    for (const Case& c : {
             Case{32, 60, 80, 80, 80, Lamp::Green}, Case{32, 70, 80, 80, 80, Lamp::Green},  // 70 Hz earns no bonus
             Case{32, 75, 100, 100, 100, Lamp::Green},                                      // 110 limited to 100
             Case{24, 60, 60, 60, 60, Lamp::Yellow}, Case{24, 85, 85.5, 85, 85, Lamp::Green}, Case{16, 60, 40, 40, 40, Lamp::Red},
             Case{16, 85, 57, 57, 57, Lamp::Yellow},
             Case{15, 71, 50.8125, 50, 50, Lamp::Yellow},  // the lamp sees 50.8125, the display 50
             Case{15, 60, 37.5, 37, 37, Lamp::Red}, Case{8, 100, 30, 30, 30, Lamp::Red},
             Case{30, 60, 75, 75, 75, Lamp::Yellow},  // 75 is not above 75
             Case{20, 60, 50, 50, 50, Lamp::Red},     // 50 is not above 50
             Case{32, 1, 80, 80, 80, Lamp::Green},    // 1 Hz: the hardware's default rate
             Case{-8, 100, -30, -30, 0, Lamp::Red},   // an empty bar, not a wrapped byte
         }) {
        SCOPED_TRACE(std::to_string(c.depth) + " bits at " + std::to_string(c.refresh) + " Hz");
        const DesktopScore s = ScoreDesktop(c.depth, c.refresh);
        EXPECT_NEAR(s.points, c.points, 1e-9);
        EXPECT_EQ(s.row.value, c.display);
        EXPECT_EQ(s.row.percent, c.bar);
        EXPECT_EQ(s.row.lamp, c.lamp);
    }
}

TEST(FreeMemoryScoreTest, PointsDisplayBarAndLamp) {
    struct Case {
        std::int64_t load, totalPhys;
        double display;
        int bar;
        Lamp lamp;
    };
    for (const Case& c : {
             Case{50, 512 * kMiB, 132, 88, Lamp::Green}, Case{60, 256 * kMiB, 75, 50, Lamp::Yellow},
             Case{70, 128 * kMiB, 43, 29, Lamp::Red}, Case{50, 250 * kMiB, 80, 53, Lamp::Yellow},  // 400 is not above 400
             Case{30, 1024 * kMiB, 246, 100, Lamp::Green},  // the display is not limited, the bar is
             Case{100, 64 * kMiB, 12, 8, Lamp::Red}, Case{50, 100 * kMiB, 50, 33, Lamp::Red},  // 250 is not above 250
             Case{40, -1, 35, 23, Lamp::Red},  // negative bytes: points just under 180
             // 64 GiB: far past what a 32-bit count holds.
             Case{25, 64 * kGiB, 13152, 100, Lamp::Green}, Case{250, 0, -90, 0, Lamp::Red},  // a load past 100 gives an empty bar
         }) {
        SCOPED_TRACE(std::to_string(c.load) + "% of " + std::to_string(c.totalPhys));
        const FreeMemoryScore s = ScoreFreeMemory(c.load, c.totalPhys);
        EXPECT_EQ(s.row.value, c.display);
        EXPECT_EQ(s.row.percent, c.bar);
        EXPECT_EQ(s.row.lamp, c.lamp);
        EXPECT_LE(s.points, 750);
    }
}

TEST(FreeSpaceScoreTest, WholeFreeMebibytesOverTwentyPlusTheEmptyDiskTerm) {
    struct Case {
        std::int64_t freeBytes, total;
        double m;
        int shown;
        Lamp lamp;
    };
    for (const Case& c : {
             Case{1000 * kMiB, 40 * kGiB, 50, 50, Lamp::Yellow},
             Case{619 * kMiB, 40 * kGiB, 30.95, 30, Lamp::Yellow},  // the lamp sees 30.95
             Case{600 * kMiB, 40 * kGiB, 30, 30, Lamp::Red},        // 30 is not above 30
             Case{2500 * kMiB, 40 * kGiB, 100, 100, Lamp::Green},   // 125 limited to 100
             Case{1820 * kMiB, 40 * kGiB, 91, 91, Lamp::Green},
             Case{1800 * kMiB, 40 * kGiB, 90, 90, Lamp::Yellow},       // 90 is not above 90
             Case{100 * kMiB + kMiB - 1, 40 * kGiB, 5, 5, Lamp::Red},  // only whole MiB count
             Case{100 * kMiB, 100 * kMiB, 5.2, 5, Lamp::Red},          // an empty disk gets 0.2 more
             Case{-1, -1, 0.2, 0, Lamp::Red},                          // a failed query
             Case{500 * kMiB, 0, 25, 25, Lamp::Red},                   // no blocks reported: no fault
         }) {
        SCOPED_TRACE(std::to_string(c.freeBytes) + " of " + std::to_string(c.total));
        const FreeSpaceScore s = ScoreFreeSpace({c.total, c.freeBytes});
        EXPECT_NEAR(s.m, c.m, 1e-9);
        EXPECT_EQ(s.row.value, c.shown);
        EXPECT_EQ(s.row.percent, c.shown);
        EXPECT_EQ(s.row.lamp, c.lamp);
    }
}

TEST(ThroughputScoreTest, AveragesOfTenPasses) {
    struct Case {
        const char* name;
        double secondsPerPass, load;
        double digits;
        int bar;
        Lamp lamp;
        double averageLoadPoints;
    };
    for (const Case& c : {
             Case{"5 s at half load", 5, 0.5, 400, 66, Lamp::Yellow, 40},
             Case{"2 s at 0.1", 2, 0.1, 710, 100, Lamp::Green, 8},  // 108 limited to 100
             Case{"20 s at 0.9", 20, 0.9, 165, 29, Lamp::Red, 72},
             Case{"negative load", 5, -0.1, 640, 100, Lamp::Green, -8},  // 100 + 8 + 6 before the limit
             // A load far past 1 would take the bar below 0, where a byte wraps.
             Case{"load of 5", 5, 5, -1400, 0, Lamp::Red, 400}, Case{"25 s at 0.25", 25, 0.25, 420, 81, Lamp::Green, 20},
             Case{"at the yellow tie", 100, 0.3125, 380, 75, Lamp::Yellow, 25},  // 75 is not above 75
         }) {
        SCOPED_TRACE(c.name);
        double speedSum = 0;
        double loadSum = 0;
        for (int pass = 0; pass < kThroughputPasses; ++pass) {
            speedSum += 100 / c.secondsPerPass;
            loadSum += c.load * 80;
        }
        const ThroughputScore s = ScoreThroughput(speedSum, loadSum);
        EXPECT_EQ(s.row.value, c.digits);
        EXPECT_EQ(s.row.percent, c.bar);
        EXPECT_EQ(s.row.lamp, c.lamp);
        EXPECT_DOUBLE_EQ(s.averageLoadPoints, c.averageLoadPoints);
    }
}

TEST(SpeedScoreTest, HundredMinusSecondsWithinZeroToHundred) {
    struct Case {
        double seconds;
        int multiplier;
        double digits;
        int bar;
        Lamp lamp;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Case& c : {
             Case{25.5, kProcessorDigitsMultiplier, 1117, 74, Lamp::Green},
             Case{50, kProcessorDigitsMultiplier, 750, 50, Lamp::Yellow},  // 50 is not above 50
             Case{80, kProcessorDigitsMultiplier, 300, 20, Lamp::Red},     // 20 is not above 20
             Case{45.25, kMemoryDigitsMultiplier, 273, 54, Lamp::Green},
             Case{120, kMemoryDigitsMultiplier, 0, 0, Lamp::Red},
             Case{0.5, kProcessorDigitsMultiplier, 1492, 99, Lamp::Green},
             Case{0.5, kMemoryDigitsMultiplier, 497, 99, Lamp::Green},
             Case{0, kProcessorDigitsMultiplier, 1500, 100, Lamp::Green},
             Case{-30, kMemoryDigitsMultiplier, 500, 100, Lamp::Green},  // limited to 100
             Case{nan, kProcessorDigitsMultiplier, 0, 0, Lamp::Red},
         }) {
        SCOPED_TRACE(std::to_string(c.seconds) + " s, x" + std::to_string(c.multiplier));
        const RowScore s = ScoreSpeed(c.seconds, c.multiplier);
        EXPECT_EQ(s.value, c.digits);
        EXPECT_EQ(s.percent, c.bar);
        EXPECT_EQ(s.lamp, c.lamp);
    }
}

win::SYSTEMTIME At(int year, int month, int day, int hour, int minute, int second, int ms) {
    return {static_cast<win::WORD>(year),   static_cast<win::WORD>(month), 0,
            static_cast<win::WORD>(day),    static_cast<win::WORD>(hour),  static_cast<win::WORD>(minute),
            static_cast<win::WORD>(second), static_cast<win::WORD>(ms)};
}

TEST(ElapsedSecondsTest, MillisecondResolutionAndTheDaySplit) {
    struct Case {
        const char* name;
        win::SYSTEMTIME start, end;
        double seconds;
    };
    for (const Case& c : {
             Case{"same reading", At(2001, 1, 1, 12, 0, 0, 0), At(2001, 1, 1, 12, 0, 0, 0), 0},
             Case{"one millisecond", At(2001, 1, 1, 12, 0, 0, 999), At(2001, 1, 1, 12, 0, 1, 0), 0.001},
             Case{"across midnight", At(2001, 1, 1, 23, 59, 59, 500), At(2001, 1, 2, 0, 0, 3, 0), 3.5},
             Case{"a day and 2.5 s", At(2001, 1, 1, 12, 0, 0, 0), At(2001, 1, 2, 12, 0, 2, 500), 86402.5},
             Case{"across a leap day", At(2004, 2, 28, 12, 0, 0, 0), At(2004, 3, 1, 12, 0, 0, 0), 172800},
             Case{"across the year", At(2000, 12, 31, 23, 59, 59, 0), At(2001, 1, 1, 0, 0, 1, 0), 2},
             // The clock set back: whole negative days plus a positive remainder.
             Case{"2.5 s backwards", At(2001, 1, 1, 12, 0, 2, 500), At(2001, 1, 1, 12, 0, 0, 0), 2.5},
             Case{"25 h backwards", At(2001, 1, 2, 13, 0, 0, 0), At(2001, 1, 1, 12, 0, 0, 0), -86400 + 3600},
         }) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(ElapsedSeconds(c.start, c.end), c.seconds);
    }
}

TEST(TruncationTest, TowardZeroAndSaturatingAtTheLimits) {
    EXPECT_EQ(TruncToInt64(2.9L), 2);
    EXPECT_EQ(TruncToInt64(-2.9L), -2);
    EXPECT_EQ(TruncToInt64(1e30L), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(TruncToInt64(-1e30L), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(TruncToInt64(std::numeric_limits<long double>::quiet_NaN()), 0);
    EXPECT_EQ(BarPercent(-1), 0);
    EXPECT_EQ(BarPercent(101), 100);
    EXPECT_EQ(BarPercent(42), 42);
}

TEST(VideoScoreTest, Table) {
    struct Case {
        int total;
        int score;
        double digits;
        Lamp lamp;
    };
    for (const Case& c :
         {Case{0, 0, 0, Lamp::Red}, Case{10, 9, 45, Lamp::Red}, Case{23, 20, 100, Lamp::Red}, Case{24, 21, 105, Lamp::Yellow},
          Case{56, 50, 250, Lamp::Yellow}, Case{57, 51, 255, Lamp::Green}, Case{90, 81, 405, Lamp::Green},
          Case{111, 99, 495, Lamp::Green}, Case{112, 100, 500, Lamp::Green}, Case{120, 100, 500, Lamp::Green}}) {
        RowScore s = ScoreVideo(c.total / 2, c.total - c.total / 2);
        EXPECT_EQ(VideoScore(c.total, 0), c.score) << c.total;
        EXPECT_EQ(s.value, c.digits) << c.total;
        EXPECT_EQ(s.percent, c.score) << c.total;
        EXPECT_EQ(s.lamp, c.lamp) << c.total;
    }
}

}  // namespace
}  // namespace vx
