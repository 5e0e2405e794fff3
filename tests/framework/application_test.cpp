// The message loop, the pump, timers, the idle hook and the error report.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "framework/application.h"
#include "framework/form.h"
#include "framework/stdctrls.h"
#include "framework/timer.h"
#include "support/headless.h"

namespace vx {
namespace {

struct Fixture {
    test::HeadlessBackend backend;
    test::ManualClock clock;
    Application app{backend, clock};
    TForm form{app};
    std::vector<std::string> errors;

    Fixture() {
        form.SetBounds(0, 0, 200, 100);
        app.SetErrorReport([this](const std::string& m) { errors.push_back(m); });
        form.ShowWindow();
    }

    TButton& AddButton(int left) {
        auto& b = form.Make<TButton>();
        b.SetParent(&form);
        b.SetBounds(left, 10, 40, 20);
        return b;
    }
};

TEST(MessagePumpTest, DueTimerFiresInsideTheIdleHandlerDoesNot) {
    Fixture f;
    int ticks = 0;
    int idles = 0;
    TTimer& timer = f.form.Make<TTimer>();
    timer.SetInterval(100);
    timer.SetOnTimer([&](TObject*) { ++ticks; });
    f.app.SetOnIdle([&](bool& done) {
        ++idles;
        done = false;
    });

    f.app.ProcessMessages();
    EXPECT_EQ(ticks, 0) << "not due yet";
    f.clock.Advance(100);
    f.app.ProcessMessages();
    EXPECT_EQ(ticks, 1);
    // Ticks do not pile up: five missed periods give one tick.
    f.clock.Advance(500);
    f.app.ProcessMessages();
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(idles, 0) << "the pump never runs idle processing";
}

TEST(MessagePumpTest, ClickQueuedDuringALongHandlerRunsNestedInItsPump) {
    Fixture f;
    TButton& longRunning = f.AddButton(10);
    TButton& other = f.AddButton(100);
    std::vector<std::string> trace;
    int depth = 0;
    longRunning.OnClick = [&](TObject*) {
        ++depth;
        trace.push_back("long start");
        // A click arrives while the handler works, and is handled inside its pump.
        f.backend.Click(110, 15);
        f.app.ProcessMessages();
        trace.push_back("long end");
        --depth;
    };
    other.OnClick = [&](TObject*) { trace.push_back(depth == 1 ? "other nested" : "other outside"); };

    f.backend.Click(20, 15);
    f.app.ProcessMessages();
    EXPECT_EQ(trace, (std::vector<std::string>{"long start", "other nested", "long end"}));
}

TEST(MessagePumpTest, ExceptionFromAHandlerReachesTheReportAndTheWindowGoesOn) {
    Fixture f;
    TButton& failing = f.AddButton(10);
    TButton& working = f.AddButton(100);
    failing.OnClick = [](TObject*) { throw std::runtime_error("Disk full"); };
    int worked = 0;
    working.OnClick = [&](TObject*) { ++worked; };

    f.backend.Click(20, 15);
    f.backend.Click(110, 15);
    f.app.ProcessMessages();
    EXPECT_EQ(f.errors, std::vector<std::string>{"Disk full"});
    EXPECT_EQ(worked, 1);
}

TEST(MessagePumpTest, DefaultReportIsAnErrorBoxWithTheMessage) {
    test::HeadlessBackend backend;
    test::ManualClock clock;
    Application app(backend, clock);
    app.SetTitle("Vidorex");
    app.SafeCall([] { throw std::runtime_error("I/O error 5"); });
    EXPECT_EQ(backend.errorBoxes, std::vector<std::string>{"Vidorex: I/O error 5"});
}

TEST(MessageLoopTest, PollsWhileIdleIsNotDoneThenWaits) {
    Fixture f;
    int calls = 0;
    f.app.SetOnIdle([&](bool& done) {
        ++calls;
        done = calls >= 3;
    });
    std::vector<int> waits;
    f.backend.onWait = [&](int timeout) {
        waits.push_back(timeout);
        if (timeout < 0) f.backend.queue.push_back(WindowEvent{WindowEvent::CloseRequested});
    };
    f.app.Run();
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(waits, (std::vector<int>{0, 0, 0, -1})) << "no wait while idle work remains, then a wait without limit";
}

TEST(MessageLoopTest, WaitsOnlyUntilTheNextTimerIsDue) {
    Fixture f;
    TTimer& timer = f.form.Make<TTimer>();
    timer.SetInterval(250);
    int ticks = 0;
    timer.SetOnTimer([&](TObject*) {
        ++ticks;
        f.app.Terminate();
    });
    std::vector<int> waits;
    f.backend.onWait = [&](int timeout) {
        waits.push_back(timeout);
        f.clock.Advance(static_cast<std::uint64_t>(std::max(timeout, 0)));
    };
    f.app.Run();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(waits, (std::vector<int>{0, 250})) << "one look for work, then a wait until the timer is due";
}

TEST(MessageLoopTest, ActivationNoticesFollowTheWindowFocus) {
    Fixture f;
    std::vector<bool> notices;
    int key = f.app.AddActivationListener([&](bool active) { notices.push_back(active); });
    f.backend.queue.push_back(WindowEvent{WindowEvent::FocusGained});
    f.backend.queue.push_back(WindowEvent{WindowEvent::FocusGained});
    f.backend.queue.push_back(WindowEvent{WindowEvent::FocusLost});
    f.app.ProcessMessages();
    f.app.RemoveActivationListener(key);
    f.backend.queue.push_back(WindowEvent{WindowEvent::FocusGained});
    f.app.ProcessMessages();
    EXPECT_EQ(notices, (std::vector<bool>{true, false}));
    EXPECT_TRUE(f.app.Active());
}

TEST(MessageLoopTest, ClosingTheMainFormEndsTheLoop) {
    Fixture f;
    f.backend.queue.push_back(WindowEvent{WindowEvent::CloseRequested});
    f.app.Run();
    EXPECT_TRUE(f.app.Terminated());
}

TEST(TimerTest, DisabledOrIntervalZeroOrNoHandlerDoesNotTick) {
    Fixture f;
    struct Case {
        unsigned interval;
        bool enabled;
        bool handler;
        int expected;
    };
    for (const Case& c : {Case{50, true, true, 1}, Case{50, false, true, 0}, Case{0, true, true, 0}, Case{50, true, false, 0}}) {
        int ticks = 0;
        TTimer& timer = f.form.Make<TTimer>();
        timer.SetInterval(c.interval);
        timer.SetEnabled(c.enabled);
        if (c.handler) timer.SetOnTimer([&](TObject*) { ++ticks; });
        f.clock.Advance(50);
        f.app.ProcessMessages();
        timer.SetEnabled(false);
        EXPECT_EQ(ticks, c.expected) << "interval " << c.interval << " enabled " << c.enabled;
    }
}

TEST(TimerTest, ReenablingRestartsThePeriod) {
    Fixture f;
    int ticks = 0;
    TTimer& timer = f.form.Make<TTimer>();
    timer.SetInterval(100);
    timer.SetOnTimer([&](TObject*) { ++ticks; });
    f.clock.Advance(90);
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    f.clock.Advance(90);
    f.app.ProcessMessages();
    EXPECT_EQ(ticks, 0);
    f.clock.Advance(10);
    f.app.ProcessMessages();
    EXPECT_EQ(ticks, 1);
}

}  // namespace
}  // namespace vx

namespace vx {
namespace {

TEST(TimerTest, ARunningTimerStopsWhenItsFormGoes) {
    test::HeadlessBackend backend;
    test::ManualClock clock;
    Application app(backend, clock);
    {
        TForm form(app);
        TTimer& timer = form.Make<TTimer>();
        timer.SetInterval(100);
        timer.SetOnTimer([](TObject*) {});
        EXPECT_TRUE(app.Timers().MsUntilNextDue().has_value());
    }
    EXPECT_FALSE(app.Timers().MsUntilNextDue().has_value());
    clock.Advance(200);
    app.ProcessMessages();  // nothing left to call into a destroyed timer
}

}  // namespace
}  // namespace vx
