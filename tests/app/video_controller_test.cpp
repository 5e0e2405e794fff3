// The video test on the main window without a display: the render surface
// with the software device, the two phases driven by the phase timer on a
// manual clock, the score and the end of the battery.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/main_form.h"
#include "checks/scores.h"
#include "fake/fake_system_services.h"
#include "framework/application.h"
#include "support/faulty_direct_draw.h"
#include "support/headless.h"
#include "support/video_window.h"
#include "video/dx_draw.h"
#include "video/video_rules.h"
#include "widgets/digits.h"
#include "widgets/progress.h"
#include "widgets/speed_button.h"
#include "widgets/status_led.h"

namespace vx {
namespace {

using test::VideoWindow;

TEST(VideoTestTest, StartShowsTheSurfaceOverTheRowsWithTheSoftwareDevice) {
    VideoWindow w;
    w.form->BVideoSpeedClick(nullptr);
    TDXDraw& dx = *w.form->DXDraw;
    EXPECT_TRUE(dx.Initialized());
    EXPECT_TRUE(dx.Visible());
    EXPECT_EQ(dx.BoundsRect(), TRect::FromSize(1, 1, 630, 320));
    EXPECT_EQ(dx.SurfaceWidth(), 630);
    EXPECT_EQ(dx.SurfaceHeight(), 320);
    EXPECT_FALSE(dx.ActiveOptions() & doHardware);
    EXPECT_TRUE(w.form->DXTimer->Hooked());
    EXPECT_TRUE(w.form->TimerDX->Enabled());
    EXPECT_EQ(w.form->TimerDX->Tag(), 0);

    // Frames land in the window: the cube's middle is lit, a corner of the
    // surface stays black.
    w.Frames(3, 20);
    TPoint origin = dx.WindowOrigin();
    EXPECT_NE(w.At(origin.X + 315, origin.Y + 160), clBlack);
    EXPECT_EQ(w.At(origin.X + 620, origin.Y + 310), clBlack);
    EXPECT_TRUE(w.errors.empty()) << w.errors.front();
}

TEST(VideoTestTest, TwoPhasesScoreTheRowAndEndTheBattery) {
    VideoWindow w;
    w.form->BVideoSpeedClick(nullptr);
    w.Frames(40, 25);  // 40 frames a second
    EXPECT_EQ(w.form->DXDraw->Tag(), 40);

    w.Tick();
    EXPECT_EQ(w.form->TimerDX->Tag(), 1);
    EXPECT_EQ(w.form->VideoSpeedL1->Tag(), 40) << "the first phase's rate";
    EXPECT_TRUE(w.form->DXDraw->Initialized());
    EXPECT_TRUE(w.form->DXDraw->Options() & doHardware) << "the second phase asks for hardware";
    EXPECT_FALSE(w.form->DXDraw->ActiveOptions() & doHardware) << "none is offered here";
    EXPECT_EQ(w.form->progress1->Percent(), 10);

    w.Frames(40, 50);  // 20 frames a second
    w.Tick();
    // 40 + 20 = 60: score 54, digits 270, green.
    EXPECT_EQ(w.form->VideoSpeedD->Value(), 270);
    EXPECT_EQ(w.form->VideoSpeedP->Percent(), 54);
    EXPECT_TRUE(w.form->VideoSpeedL1->LedisOn());
    EXPECT_FALSE(w.form->VideoSpeedL2->LedisOn());
    EXPECT_EQ(w.form->progress1->Percent(), 20);
    EXPECT_FALSE(w.form->DXDraw->Visible());
    EXPECT_TRUE(w.form->DXDraw->Initialized()) << "hidden, not finalised";
    EXPECT_FALSE(w.form->TimerDX->Enabled());
    EXPECT_FALSE(w.form->DXTimer->Enabled());
    EXPECT_FALSE(w.form->DXDraw->Options() & doHardware) << "a later run starts in software";
    EXPECT_EQ(w.form->BStartStop->Tag(), BatteryEnded);
    EXPECT_EQ(w.form->BStartStop->Caption(), "Zamknij");
    EXPECT_EQ(w.form->SumaD->Value(), 270);
    ASSERT_EQ(w.form->Memo->Lines().Count(), 2u);
    EXPECT_EQ(w.form->Memo->Lines()[0], "UWAGA: TEST ZAKOŃCZONY!");
    EXPECT_TRUE(w.errors.empty());
}

TEST(VideoTestTest, ClickDuringAPhaseRestartsAtPhaseOneWithoutRestartingTheTimer) {
    struct Case {
        bool duringSecondPhase;
    };
    for (const Case& c : {Case{false}, Case{true}}) {
        SCOPED_TRACE(c.duringSecondPhase ? "phase 2" : "phase 1");
        VideoWindow w;
        w.form->BVideoSpeedClick(nullptr);
        w.Frames(10, 100);
        if (c.duringSecondPhase) w.Tick();
        w.clock.Advance(3000);
        w.form->BVideoSpeedClick(nullptr);
        EXPECT_EQ(w.form->TimerDX->Tag(), 0);
        EXPECT_EQ(w.form->DXDraw->Tag(), 0);
        EXPECT_TRUE(w.form->DXDraw->Initialized());
        EXPECT_EQ(static_cast<bool>(w.form->DXDraw->Options() & doHardware), c.duringSecondPhase)
            << "the options stand as they are";
        // The phase timer keeps its period: it ticks 4 s after the click.
        w.clock.Advance(4000);
        w.app.ProcessMessages();
        EXPECT_EQ(w.form->TimerDX->Tag(), 1);
    }
}

TEST(VideoTestTest, OptionsWhileInitialisedChangeOnlyThePresentation) {
    VideoWindow w;
    w.form->BVideoSpeedClick(nullptr);
    TDXDraw& dx = *w.form->DXDraw;
    TDXDrawOptions before = dx.ActiveOptions();
    dx.SetOptions(static_cast<TDXDrawOptions>(dx.Options() | doStretch | doHardware));
    EXPECT_EQ(dx.ActiveOptions(), before | doStretch);
}

TEST(VideoTestTest, AHiddenWindowLosesTheSurfaceUntilItShowsAgain) {
    VideoWindow w;
    w.form->BVideoSpeedClick(nullptr);
    TDXDraw& dx = *w.form->DXDraw;
    EXPECT_TRUE(dx.CanRender());
    w.backend.queue.push_back(WindowEvent{WindowEvent::Hidden});
    w.app.ProcessMessages();
    EXPECT_FALSE(dx.CanRender());
    int tag = dx.Tag();
    w.Frames(5, 100);
    EXPECT_EQ(dx.Tag(), tag) << "refused frames leave the rate as it was";
    w.backend.queue.push_back(WindowEvent{WindowEvent::Exposed});
    w.app.ProcessMessages();
    EXPECT_TRUE(dx.CanRender());
}

// Whichever step of the start fails, its message reaches the user and the
// test ends there: the surface hidden, the timers off, the row unscored. A
// step of making the surface finalises it; the texture's, which runs in the
// surface's events once it is made, reaches the caller with it made, to be
// finalised by the next start.
TEST(VideoTestTest, AFailingStartLeavesTheRowUnscoredAndTheTimersOff) {
    struct Case {
        std::string message;
        std::function<void(test::DirectDrawFaults&, VideoWindow&)> fault;
        bool loaded = true;
        bool surfaceMade = false;
    };
    using Faults = test::DirectDrawFaults;
    const auto refusing = [](win::DWORD caps) {
        return [caps](Faults& f, VideoWindow&) {
            f.refuseSurface = [caps](const win::DDSURFACEDESC2& d) { return (d.ddsCaps.dwCaps & caps) != 0; };
        };
    };
    const Case cases[] = {
        {"DDraw.dll not loaded", [](Faults&, VideoWindow&) {}, false},
        {"Primary Surface cannot be made", refusing(win::DDSCAPS_PRIMARYSURFACE)},
        {"3D device not found", [](Faults& f, VideoWindow&) { f.noDevices = true; }},
        {"IDirect3DDevice7 cannot be made", [](Faults& f, VideoWindow&) { f.refuseDevices = true; }},
        {"Texture cannot be initialized", refusing(win::DDSCAPS_TEXTURE), true, true},
        {"Can't Load this Graphic", [](Faults&, VideoWindow& w) { w.form->DXImageList->Items().clear(); }, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Faults faults;
        const bool loaded = c.loaded;
        VideoWindow w(nullptr, [&faults, loaded](dx::PresentationTarget& target) -> std::unique_ptr<win::DirectDrawLibrary> {
            if (!loaded) return nullptr;
            return std::make_unique<test::FaultyDirectDrawLibrary>(target, nullptr, faults);
        });
        c.fault(faults, w);
        try {
            w.form->BVideoSpeedClick(nullptr);
            ADD_FAILURE() << "no error";
        } catch (const std::exception& e) {
            EXPECT_EQ(e.what(), c.message);
        }
        EXPECT_EQ(w.form->DXDraw->Initialized(), c.surfaceMade);
        EXPECT_FALSE(w.form->DXDraw->Visible());
        EXPECT_FALSE(w.form->TimerDX->Enabled());
        EXPECT_FALSE(w.form->DXTimer->Enabled());
        EXPECT_FALSE(w.form->VideoSpeedL1->LedisOn() || w.form->VideoSpeedL2->LedisOn() || w.form->VideoSpeedL3->LedisOn());
        EXPECT_EQ(w.form->VideoSpeedD->Value(), 0);
    }
}

// As the program runs it: each frame waits for the display's next refresh.
TEST(VideoTestTest, FramesPacedToTheDisplayLandInTheWindow) {
    VideoWindow w;
    w.WaitForVerticalBlank();
    w.form->BVideoSpeedClick(nullptr);
    ASSERT_TRUE(w.form->DXDraw->ActiveOptions() & doWaitVBlank);
    w.Frames(25, 40);
    const TPoint origin = w.form->DXDraw->WindowOrigin();
    EXPECT_NE(w.At(origin.X + 315, origin.Y + 160), clBlack);
    EXPECT_EQ(w.form->DXDraw->Tag(), 25) << "the frame rate on the frame clock, not the display's";
    EXPECT_TRUE(w.errors.empty());
}

TEST(VideoTestTest, TheFrameIsClippedToTheSurfaceControl) {
    // A back surface larger than the control, centred on it: the frame
    // reaches past the control on all four sides, but only the control shows it.
    VideoWindow w;
    w.form->BVideoSpeedClick(nullptr);
    TDXDraw& dx = *w.form->DXDraw;
    dx.SetSurfaceWidth(700);
    dx.SetSurfaceHeight(400);
    ASSERT_EQ(dx.BackSurface()->Width(), 700);
    const TColor magenta = 0xFF00FF;
    dx.BackSurface()->Fill(magenta);
    dx.Flip();
    const TPoint origin = dx.WindowOrigin();
    const TRect control = TRect::FromSize(origin.X, origin.Y, 630, 320);
    const TRect frame = TRect::FromSize(origin.X - 35, origin.Y - 40, 700, 400);
    int inside = 0;
    int leaked = 0;
    for (int y = std::max(frame.Top, 0); y < std::min(frame.Bottom, w.form->ClientHeight()); ++y) {
        for (int x = std::max(frame.Left, 0); x < std::min(frame.Right, w.form->ClientWidth()); ++x) {
            const bool shown = w.At(x, y) == magenta;
            const bool inControl = x >= control.Left && x < control.Right && y >= control.Top && y < control.Bottom;
            inside += inControl && shown;
            leaked += !inControl && shown;
        }
    }
    EXPECT_EQ(inside, 630 * 320);
    EXPECT_EQ(leaked, 0);
}

TEST(VideoTestTest, AFailedReinitialisationInPhaseTwoCountsThePhaseOneRateTwice) {
    VideoWindow w;
    w.form->BVideoSpeedClick(nullptr);
    w.Frames(40, 25);  // 40 frames a second
    ASSERT_EQ(w.form->DXDraw->Tag(), 40);
    // The texture's picture is gone when phase 2 initialises the surface anew.
    w.form->DXImageList->Items().clear();
    w.Tick();
    EXPECT_EQ(w.errors, std::vector<std::string>{"Can't Load this Graphic"});
    EXPECT_EQ(w.form->TimerDX->Tag(), 1);
    EXPECT_TRUE(w.form->TimerDX->Enabled()) << "the phase timer runs on";
    EXPECT_FALSE(w.form->DXTimer->Enabled()) << "no frames in phase 2";
    EXPECT_FALSE(w.form->DXDraw->Enabled());
    w.Frames(10, 50);
    EXPECT_EQ(w.form->DXDraw->Tag(), 40);

    w.Tick();
    // 40 + 40 = 80 frames a second: the phase-1 rate twice.
    EXPECT_EQ(w.form->VideoSpeedD->Value(), ScoreVideo(40, 40).value);
    EXPECT_NE(ScoreVideo(40, 40).value, ScoreVideo(40, 0).value);
    EXPECT_EQ(w.form->BStartStop->Tag(), BatteryEnded);
    EXPECT_EQ(w.errors.size(), 1u);
}

TEST(SurfaceCanvasTest, TextIsDrawnIntoTheBackSurface) {
    VideoWindow w;
    w.form->BVideoSpeedClick(nullptr);
    TDXDraw& dx = *w.form->DXDraw;
    dx.BackSurface()->Fill(0);
    TDirectDrawSurfaceCanvas& canvas = dx.BackSurface()->Canvas(dx.Fonts());
    canvas.Brush.Style = bsClear;
    canvas.Font.SetColor(clWhite);
    canvas.Font.SetSize(12);
    canvas.TextOut(0, 0, "FPS: 60 (Device: Software)");
    win::DDSURFACEDESC2 d{};
    d.dwSize = sizeof(d);
    ASSERT_EQ(dx.BackSurface()->IDDSurface7()->Lock(nullptr, &d, win::DDLOCK_WAIT, win::HANDLE{}), win::DD_OK);
    int white = 0;
    auto* base = static_cast<std::uint8_t*>(d.lpSurface);
    for (int y = 0; y < 30; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(base + y * d.lPitch);
        for (int x = 0; x < 630; ++x) white += (row[x] & 0xFFFFFF) == 0xFFFFFF;
        if (y >= 25) {
            for (int x = 0; x < 630; ++x) EXPECT_EQ(row[x] & 0xFFFFFF, 0u) << "text below its line at " << x << "," << y;
        }
    }
    dx.BackSurface()->IDDSurface7()->Unlock(nullptr);
    EXPECT_GT(white, 100);
}

}  // namespace
}  // namespace vx
