#include "platform/dx/refresh_clock.h"

#include <gtest/gtest.h>

#include <vector>

namespace vx::dx {
namespace {

// Waits that return at once three times running stand for a display
// without the signal; one that blocks ends it, and a lone early return (a
// wait begun just before the blank) is not taken for one.
TEST(VerticalBlankSignalTest, TakesRepeatedEarlyReturnsForAMissingSignal) {
    struct Case {
        std::vector<win::DWORD> elapsedMs;
        std::vector<bool> waitByClock;
        const char* why;
    };
    for (const Case& c : {
             Case{{0, 0, 0, 0}, {false, false, true, true}, "an emulated display answers at once"},
             Case{{16, 1, 17, 0, 16}, {false, false, false, false, false}, "a real display, one wait begun late"},
             Case{{0, 1, 0, 16, 0, 0}, {false, false, true, false, false, false}, "a blocking wait ends it"},
             Case{{2, 2, 2}, {false, false, false}, "two milliseconds is a wait"},
         }) {
        VerticalBlankSignal signal;
        std::vector<bool> seen;
        for (win::DWORD elapsed : c.elapsedMs) seen.push_back(signal.Observe(elapsed));
        EXPECT_EQ(seen, c.waitByClock) << c.why;
    }
}

TEST(RefreshClockTest, WaitsToTheStartOfTheNextPeriod) {
    struct Case {
        win::DWORD now;
        int rate;
        win::DWORD expected;
    };
    for (const Case& c : {
             Case{0, 60, 17},    // periods begin at 0, 16.7, 33.3 ms
             Case{17, 60, 17},   // 17 -> 34
             Case{33, 60, 1},    // 33 -> 34: never 0
             Case{5, 0, 12},     // an unknown rate counts as 60
             Case{999, 100, 1},  // 999 -> 1000
             Case{0xFFFFFFF0u, 1000, 1},
         }) {
        EXPECT_EQ(MsUntilNextRefresh(c.now, c.rate), c.expected) << c.now << " ms at " << c.rate << " Hz";
    }
    win::DWORD clock = 5;
    int sleeps = 0;
    WaitForNextRefreshPeriod([&clock] { return clock; }, [&](win::DWORD ms) { clock += ms, ++sleeps; }, 60);
    EXPECT_EQ(clock, 17u);
    EXPECT_EQ(sleeps, 1);
    // A clock that stands still does not hang the caller.
    WaitForNextRefreshPeriod([] { return win::DWORD{40}; }, [](win::DWORD) {}, 60);
}

}  // namespace
}  // namespace vx::dx
