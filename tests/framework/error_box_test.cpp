// The framework's error box: what ends it, what it looks like to the rest
// of the program while it is up, and the default report that uses it.
#include "framework/error_box.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/form.h"
#include "framework/keys.h"
#include "framework/stdctrls.h"
#include "framework/timer.h"
#include "support/headless.h"

namespace vx {
namespace {

struct BoxFixture {
    test::HeadlessBackend backend;
    test::ManualClock clock;
    Application app{backend, clock};
    TForm form{app};
    TButton& button = form.Make<TButton>();
    int clicks = 0;
    int waits = 0;
    // What the user does while the box is up, one step a wait; the box's
    // window is given. A box still up after the steps is closed, so that a
    // failing test ends.
    std::vector<std::function<void(WindowId box)>> steps;

    BoxFixture() {
        app.SetTitle("Vidorex");
        form.SetBounds(0, 0, 300, 200);
        button.SetParent(&form);
        button.SetBounds(10, 10, 75, 23);
        button.OnClick = [this](TObject*) { ++clicks; };
        form.ShowWindow();
        backend.systemErrorBox = false;
        backend.onWait = [this](int) {
            const WindowId box = backend.ownedWindows.empty() ? kNoWindow : backend.ownedWindows.begin()->first;
            if (waits < static_cast<int>(steps.size())) {
                steps[static_cast<std::size_t>(waits)](box);
            } else if (box != kNoWindow && waits > 50) {
                ADD_FAILURE() << "the box did not end";
                backend.queue.push_back(WindowEvent{WindowEvent::CloseRequested, 0, 0, mbLeft, 0, box});
            }
            ++waits;
        };
    }
    void Key(WindowId window, int key, WindowEvent::Kind kind = WindowEvent::KeyDown, TShiftState shift = 0) {
        WindowEvent e{kind};
        e.window = window;
        e.key = key;
        e.shift = shift;
        backend.queue.push_back(e);
    }
    void ClickAt(WindowId window, int x, int y) {
        for (auto kind : {WindowEvent::MouseMove, WindowEvent::MouseDown, WindowEvent::MouseUp}) {
            backend.queue.push_back(WindowEvent{kind, x, y, mbLeft, 0, window});
        }
    }
};

TEST(ErrorBoxTest, EndsByReturnEscapeSpaceOnOkAClickOnOkAndTheCloseBox) {
    struct Case {
        const char* name;
        std::function<void(BoxFixture&, WindowId)> act;
        int waitsToEnd;  // the wait after which the box is gone
    };
    const Case cases[] = {
        {"Return", [](BoxFixture& f, WindowId box) { f.Key(box, vkReturn); }, 1},
        {"Escape", [](BoxFixture& f, WindowId box) { f.Key(box, vkEscape); }, 1},
        {"Alt+F4", [](BoxFixture& f, WindowId box) { f.Key(box, vkF4, WindowEvent::KeyDown, ssAlt); }, 1},
        {"Space pressed and released on OK",
         [](BoxFixture& f, WindowId box) {
             f.Key(box, vkSpace);
             f.Key(box, vkSpace, WindowEvent::KeyUp);
         },
         1},
        {"the close box",
         [](BoxFixture& f, WindowId box) {
             f.backend.queue.push_back(WindowEvent{WindowEvent::CloseRequested, 0, 0, mbLeft, 0, box});
         },
         1},
        {"a click on OK",
         [](BoxFixture& f, WindowId box) {
             // OK is the one control of the box, in its bottom middle.
             const WindowSettings& s = f.backend.ownedWindows.at(box);
             f.ClickAt(box, s.clientWidth / 2, s.clientHeight - 20);
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BoxFixture f;
        f.steps = {[&](WindowId box) { c.act(f, box); }};
        ShowFrameworkErrorBox(f.app, "Vidorex", "Disk full");
        EXPECT_EQ(f.waits, c.waitsToEnd);
        EXPECT_TRUE(f.backend.ownedWindows.empty()) << "the box's window is gone";
        EXPECT_FALSE(f.app.Terminated()) << "the program goes on";
    }
}

TEST(ErrorBoxTest, SpaceDownAloneOrAKeyToTheMainWindowDoesNotEndIt) {
    BoxFixture f;
    f.steps = {
        [&](WindowId box) { f.Key(box, vkSpace); },
        [&](WindowId) { f.Key(kMainWindow, vkReturn); },
        [&](WindowId box) { f.Key(box, vkSpace, WindowEvent::KeyUp); },
    };
    ShowFrameworkErrorBox(f.app, "Vidorex", "Disk full");
    EXPECT_EQ(f.waits, 3);
}

TEST(ErrorBoxTest, TitledOwnedCentredWithTheMessageAndTheFocusOnOk) {
    BoxFixture f;
    TErrorBox box(f.app, "Vidorex", "Disk full");
    EXPECT_EQ(box.MessageRows(), std::vector<std::string>{"Disk full"});
    EXPECT_TRUE(box.OkButton().Focused());
    EXPECT_TRUE(box.OkButton().Default());
    EXPECT_EQ(box.OkButton().Caption(), "OK");
    f.steps = {[&](WindowId id) {
        const WindowSettings& s = f.backend.ownedWindows.at(id);
        EXPECT_EQ(s.caption, "Vidorex");
        EXPECT_TRUE(s.centred);
        EXPECT_FALSE(s.resizable);
        EXPECT_EQ(s.clientWidth, box.ClientWidth());
        EXPECT_TRUE(f.backend.ownedFrames.contains(id)) << "the box is painted";
        f.Key(id, vkReturn);
    }};
    box.ShowModal();
    EXPECT_TRUE(box.Done());
    // A long message wraps into rows no wider than the box allows.
    TErrorBox wide(f.app, "Vidorex", std::string(60, 'x') + " " + std::string(60, 'y') + " " + std::string(60, 'z'));
    EXPECT_GT(wide.MessageRows().size(), 1u);
    EXPECT_LT(wide.ClientWidth(), 600);
}

TEST(ErrorBoxTest, WhileUpTheMainWindowTakesNoInputButPaintsAndItsTimersRun) {
    BoxFixture f;
    TTimer& timer = f.form.Make<TTimer>();
    timer.SetInterval(100);
    int ticks = 0;
    timer.SetOnTimer([&](TObject*) {
        ++ticks;
        f.button.SetCaption("tick " + std::to_string(ticks));
    });
    int idles = 0;
    f.app.SetOnIdle([&](bool&) { ++idles; });
    int presentsBefore = 0;
    f.steps = {
        [&](WindowId) {
            presentsBefore = f.backend.presentCount;
            f.ClickAt(kMainWindow, 20, 20);
            f.clock.Advance(100);
        },
        [&](WindowId) { f.clock.Advance(100); },
        [&](WindowId box) { f.Key(box, vkReturn); },
    };
    ShowFrameworkErrorBox(f.app, "Vidorex", "Disk full");
    EXPECT_EQ(f.clicks, 0) << "the click on the main window was refused";
    EXPECT_EQ(ticks, 2) << "the timer kept running";
    EXPECT_GT(f.backend.presentCount, presentsBefore) << "the main window kept painting";
    EXPECT_EQ(idles, 0) << "no idle processing inside the box";
    f.backend.Click(20, 20);
    f.app.ProcessMessages();
    EXPECT_EQ(f.clicks, 1) << "the main window takes clicks again";
}

TEST(ErrorBoxTest, TheSessionsQuitRequestEndsTheBoxThenTheProgram) {
    BoxFixture f;
    f.steps = {[&](WindowId) {
        f.backend.queue.push_back(WindowEvent{WindowEvent::CloseRequested, 0, 0, mbLeft, 0, kNoWindow});
    }};
    ShowFrameworkErrorBox(f.app, "Vidorex", "Disk full");
    EXPECT_TRUE(f.backend.ownedWindows.empty());
    EXPECT_TRUE(f.app.Terminated());
    // The main window's own close box does nothing while a box is up.
    BoxFixture g;
    g.steps = {
        [&](WindowId) { g.backend.queue.push_back(WindowEvent{WindowEvent::CloseRequested}); },
        [&](WindowId box) { g.Key(box, vkReturn); },
    };
    ShowFrameworkErrorBox(g.app, "Vidorex", "Disk full");
    EXPECT_FALSE(g.app.Terminated());
}

TEST(ErrorBoxTest, TheDefaultReportShowsTheFrameworksBoxWhenTheSystemHasNone) {
    BoxFixture f;
    std::string shownTitle;
    f.steps = {[&](WindowId box) {
        shownTitle = f.backend.ownedWindows.at(box).caption;
        f.Key(box, vkReturn);
    }};
    f.button.OnClick = [](TObject*) { throw std::runtime_error("Disk full"); };
    f.backend.Click(20, 20);
    f.app.ProcessMessages();
    EXPECT_EQ(shownTitle, "Vidorex");
    EXPECT_TRUE(f.backend.errorBoxes.empty());
    EXPECT_FALSE(f.app.Terminated());
    // Without a main window the box still shows, on its own.
    test::HeadlessBackend bare;
    bare.systemErrorBox = false;
    test::ManualClock clock;
    Application app(bare, clock);
    bool shown = false;
    bare.onWait = [&](int) {
        shown = !bare.ownedWindows.empty();
        WindowEvent e{WindowEvent::KeyDown};
        e.window = shown ? bare.ownedWindows.begin()->first : kNoWindow;
        e.key = vkReturn;
        bare.queue.push_back(e);
    };
    app.ShowErrorBox("the window's layout is missing");
    EXPECT_TRUE(shown);
}

// A back end whose system shows its own box makes no owned windows: the
// framework's box is never asked of it.
TEST(ErrorBoxTest, ABackEndWithASystemBoxMakesNoOwnedWindows) {
    test::HeadlessBackend backend;
    test::ManualClock clock;
    Application app(backend, clock);
    TForm box{app};
    EXPECT_THROW(box.ShowOwnedWindow(), std::logic_error);
    EXPECT_TRUE(backend.ownedWindows.empty());
    EXPECT_FALSE(box.HasWindow());
}

}  // namespace
}  // namespace vx
