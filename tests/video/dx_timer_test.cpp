// The frame clock: frames from idle time, the rate, the interval and the
// activation notices.
#include <gtest/gtest.h>

#include <vector>

#include "fake/fake_system_services.h"
#include "framework/application.h"
#include "framework/form.h"
#include "support/headless.h"
#include "video/dx_timer.h"

namespace vx {
namespace {

struct Clock {
    test::HeadlessBackend backend;
    test::ManualClock loopClock;
    test::FakeSystemServices services;
    Application app{backend, loopClock};
    TForm form{app};
    TDXTimer& timer = form.Adopt(std::make_unique<TDXTimer>(&form, services));
    std::vector<int> lags;

    Clock() {
        timer.OnTimer = [this](TObject*, int lag) { lags.push_back(lag); };
        timer.SetInterval(1);
        Activate(true);
    }
    void Activate(bool active) {
        backend.queue.push_back(WindowEvent{active ? WindowEvent::FocusGained : WindowEvent::FocusLost});
        app.ProcessMessages();
    }
    // One idle turn at the given tick count.
    bool IdleAt(win::DWORD t) {
        services.tickCount = t;
        return app.Idle();
    }
};

TEST(FrameClockTest, FiftyNineFramesInOneThousandAndThreeMillisecondsGiveFiftyNine) {
    Clock c;
    c.services.tickCount = 5000;
    c.timer.SetEnabled(true);
    for (int i = 1; i <= 58; ++i) c.IdleAt(5000 + static_cast<win::DWORD>(i * 17));
    EXPECT_EQ(c.timer.FrameRate(), 0) << "no rate before the first second has passed";
    c.IdleAt(5000 + 1003);
    EXPECT_EQ(c.timer.FrameRate(), 59) << "59000 / 1003 = 58.8";
    EXPECT_EQ(c.lags.size(), 59u);
}

TEST(FrameClockTest, RateRoundsHalvesToEven) {
    EXPECT_EQ(FramesPerSecond(59, 1003), 59);
    EXPECT_EQ(FramesPerSecond(1, 2000), 0);    // 0.5
    EXPECT_EQ(FramesPerSecond(3, 2000), 2);    // 1.5
    EXPECT_EQ(FramesPerSecond(5, 2000), 2);    // 2.5
    EXPECT_EQ(FramesPerSecond(60, 0), 60000);  // elapsed counts as at least 1 ms
}

TEST(FrameClockTest, IntervalZeroDrawsEveryTurnIntervalOneNeedsTheClockToMove) {
    struct Case {
        int interval;
        int framesWithoutClockMove;
    };
    for (const Case& k : {Case{0, 3}, Case{1, 0}}) {
        Clock c;
        c.timer.SetInterval(k.interval);
        c.services.tickCount = 100;
        c.timer.SetEnabled(true);
        for (int i = 0; i < 3; ++i) c.IdleAt(100);
        EXPECT_EQ(static_cast<int>(c.lags.size()), k.framesWithoutClockMove) << "interval " << k.interval;
        c.IdleAt(101);
        EXPECT_EQ(static_cast<int>(c.lags.size()), k.framesWithoutClockMove + 1);
    }
}

TEST(FrameClockTest, LagCountIsAtLeastOneAndCountsMissedIntervals) {
    Clock c;
    c.timer.SetInterval(10);
    c.services.tickCount = 0;
    c.timer.SetEnabled(true);
    c.IdleAt(10);
    c.IdleAt(45);
    EXPECT_EQ(c.lags, (std::vector<int>{1, 3}));
    c.timer.SetInterval(0);
    c.IdleAt(45);
    EXPECT_EQ(c.lags.back(), 1) << "no time passed, still a lag of one";
}

TEST(FrameClockTest, IdleHandlerAsksToRunAgainAtOnce) {
    Clock c;
    c.services.tickCount = 0;
    c.timer.SetEnabled(true);
    EXPECT_FALSE(c.IdleAt(0)) << "not done even when no frame was due";
    c.timer.SetEnabled(false);
    EXPECT_TRUE(c.app.Idle()) << "unhooked: nothing asks for idle time";
}

TEST(FrameClockTest, ActiveOnlyClockPausesWhileTheApplicationIsInactive) {
    Clock c;
    c.services.tickCount = 0;
    c.timer.SetEnabled(true);
    for (win::DWORD t = 10; t <= 500; t += 10) c.IdleAt(t);  // 50 frames
    c.Activate(false);
    EXPECT_FALSE(c.timer.Hooked());
    EXPECT_TRUE(c.app.Idle());
    c.services.tickCount = 5000;
    c.Activate(true);
    EXPECT_TRUE(c.timer.Hooked());
    for (win::DWORD t = 5010; t <= 6000; t += 10) c.IdleAt(t);  // 100 frames
    // The first rate after the pause divides the frames of before and after
    // by the time since the resume.
    EXPECT_EQ(c.timer.FrameRate(), 150);
}

TEST(FrameClockTest, EnabledWhileInactiveHooksAtTheNextActivation) {
    Clock c;
    c.Activate(false);
    c.timer.SetEnabled(true);
    EXPECT_FALSE(c.timer.Hooked());
    c.Activate(true);
    EXPECT_TRUE(c.timer.Hooked());
    c.timer.SetActiveOnly(false);
    c.Activate(false);
    EXPECT_TRUE(c.timer.Hooked()) << "a clock that is not active-only keeps running";
}

TEST(FrameClockTest, RateSurvivesUnhookingAndHooking) {
    Clock c;
    c.services.tickCount = 0;
    c.timer.SetEnabled(true);
    for (win::DWORD t = 20; t <= 1000; t += 20) c.IdleAt(t);
    EXPECT_EQ(c.timer.FrameRate(), 50);
    c.timer.SetEnabled(false);
    c.timer.SetEnabled(true);
    EXPECT_EQ(c.timer.FrameRate(), 50);
}

}  // namespace
}  // namespace vx
