// The main window as its layout builds it, the sequencer's states and the
// operating system check, driven without a display.
//
// Sections: The operating system check; The sequencer; The stored layout.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/check_window.h"
#include "app/main_form.h"
#include "checks/rating.h"
#include "fake/fake_system_services.h"
#include "framework/application.h"
#include "support/headless.h"
#include "video/dx_draw.h"
#include "widgets/digits.h"
#include "widgets/label.h"
#include "widgets/pro_image.h"
#include "widgets/progress.h"
#include "widgets/shadow.h"
#include "widgets/speed_button.h"
#include "widgets/status_led.h"
#include "widgets/wizard_header.h"

namespace vx {
namespace {

// The main window with fast scripted workloads (see check_window.h).
struct MainWindow : test::CheckWindow<> {
    // A click on a control at its centre, through the window's input.
    void ClickOn(const TControl& c, TMouseButton button = mbLeft) {
        TRect r = c.WindowRect();
        backend.Click((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2, button);
        app.ProcessMessages();
    }
    std::vector<bool> Lamps(TStatusLed* a, TStatusLed* b, TStatusLed* c) { return {a->LedisOn(), b->LedisOn(), c->LedisOn()}; }
};

// ---------------------------------------------------------------- The operating system check

TEST(OperatingSystemCheckTest, VersionTable) {
    struct Case {
        unsigned major, minor;
        int points;
        double display;
        int bar;
        Lamp lamp;
    };
    for (const Case& c : {
             Case{5, 1, 95, 19, 95, Lamp::Green},
             Case{5, 0, 90, 18, 90, Lamp::Green},
             Case{5, 2, 100, 20, 100, Lamp::Green},
             Case{4, 0, 60, 12, 60, Lamp::Yellow},
             Case{4, 10, 110, 22, 100, Lamp::Green},
             Case{4, 90, 510, 102, 100, Lamp::Green},
             Case{6, 0, 70, 14, 70, Lamp::Yellow},
             Case{6, 1, 75, 15, 75, Lamp::Yellow},  // 75 is not above 75
             Case{6, 2, 80, 16, 80, Lamp::Green},
             Case{10, 0, 70, 14, 70, Lamp::Yellow},
         }) {
        SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor));
        EXPECT_EQ(OsVersionPoints(c.major, c.minor), c.points);
        RowScore s = ScoreOperatingSystem(c.major, c.minor);
        EXPECT_EQ(s.value, c.display);
        EXPECT_EQ(s.percent, c.bar);
        EXPECT_EQ(s.lamp, c.lamp);
    }
}

TEST(OperatingSystemCheckTest, ThresholdsAreStrictAndTriedFromGreenDown) {
    EXPECT_EQ(RateLamp(75, 75, 30), Lamp::Yellow);
    EXPECT_EQ(RateLamp(75.0001, 75, 30), Lamp::Green);
    EXPECT_EQ(RateLamp(30, 75, 30), Lamp::Red);
    EXPECT_EQ(RateLamp(-5, 75, 30), Lamp::Red);
}

TEST(OperatingSystemCheckTest, ScoresItsRowAdvancesTheBarAndAddsLamps) {
    MainWindow w;
    w.services.versionMajor = 4;
    w.services.versionMinor = 0;
    w.form->BOSClick(nullptr);
    EXPECT_EQ(w.form->OSD->Value(), 12);
    EXPECT_EQ(w.form->OSP->Percent(), 60);
    EXPECT_EQ(w.Lamps(w.form->OSL1, w.form->OSL2, w.form->OSL3), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(w.form->progress1->Percent(), 10);
    EXPECT_FALSE(w.form->OSHelp->Enabled());

    // Another outcome lights a second lamp; none goes out. A minor version
    // so large that the 32-bit sum wraps below zero rates red.
    w.services.versionMajor = 3;
    w.services.versionMinor = static_cast<unsigned>(-10);  // 40 - 50 = -10 points
    w.form->BOSClick(nullptr);
    EXPECT_TRUE(w.form->OSL2->LedisOn());
    EXPECT_TRUE(w.form->OSL3->LedisOn());
    EXPECT_TRUE(w.form->OSL3->Blinking());
    EXPECT_EQ(w.form->OSD->Value(), -2);
    EXPECT_EQ(w.form->OSP->Percent(), 0) << "a negative sum shows an empty bar, not a wrapped byte";
    EXPECT_EQ(w.form->progress1->Percent(), 20);
}

// ---------------------------------------------------------------- The sequencer

TEST(SequencerTest, StartRunsTheBatteryAndScoresTheOperatingSystemRow) {
    MainWindow w;
    EXPECT_EQ(w.form->BStartStop->Caption(), "Start Test");
    w.ClickOn(*w.form->BStartStop);
    EXPECT_EQ(w.form->BStartStop->Tag(), BatteryRunning);
    EXPECT_EQ(w.form->BStartStop->Caption(), "Przerwij Test");
    EXPECT_EQ(w.form->OSD->Value(), 19) << "the fake reports 5.1";
    EXPECT_TRUE(w.form->OSL1->LedisOn());
    // Every check's steps up to the video test: 10 + 10 + 10 + 10 + 10 + 10 + 10.
    EXPECT_EQ(w.form->progress1->Percent(), 70);
    EXPECT_TRUE(w.form->DXDraw->Visible()) << "the video test has started and returned";
    EXPECT_TRUE(w.errors.empty()) << w.errors.front();
}

TEST(SequencerTest, StopInsideAPumpThenClose) {
    MainWindow w;
    // The stop click waits in the queue and is handled inside the operating
    // system check's pump, nested in the battery.
    TRect start = w.form->BStartStop->WindowRect();
    w.backend.Click(start.Left + 5, start.Top + 5);
    w.backend.Click(start.Left + 5, start.Top + 5);
    w.app.ProcessMessages();
    EXPECT_EQ(w.form->BStartStop->Tag(), BatteryEnded);
    EXPECT_EQ(w.form->BStartStop->Caption(), "Zamknij");
    EXPECT_EQ(w.form->progress1->Percent(), 10) << "the stop click reset the bar; the free-space check still ran";
    EXPECT_TRUE(w.form->OSL1->LedisOn()) << "the check that was running finished";
    EXPECT_TRUE(w.form->HddFreeL1->LedisOn() || w.form->HddFreeL2->LedisOn() || w.form->HddFreeL3->LedisOn());
    EXPECT_EQ(w.passes, 0) << "the battery ended before the throughput test";
    EXPECT_FALSE(w.app.Terminated());

    w.ClickOn(*w.form->BStartStop);
    EXPECT_TRUE(w.app.Terminated()) << "in the ended state the button closes the program";
}

TEST(SequencerTest, ExceptionEndsTheBatteryAndTheNextClickStops) {
    // A check that fails: its error reaches the report, the battery ends
    // there in the running state, and the next click is a stop request.
    struct FailingServices : test::FakeSystemServices {
        bool failing = false;
        win::BOOL GetVersionExA(win::OSVERSIONINFOA* info) override {
            if (failing) throw std::runtime_error("I/O error 5");
            return FakeSystemServices::GetVersionExA(info);
        }
    } services;
    test::HeadlessBackend backend;
    test::ManualClock clock;
    Application app(backend, clock);
    std::vector<std::string> errors;
    app.SetErrorReport([&](const std::string& m) { errors.push_back(m); });
    TForm1 form(app, services);
    form.ShowWindow();
    services.failing = true;
    TRect start = form.BStartStop->WindowRect();
    backend.Click(start.Left + 5, start.Top + 5);
    app.ProcessMessages();
    EXPECT_EQ(errors, std::vector<std::string>{"I/O error 5"});
    EXPECT_EQ(form.BStartStop->Tag(), BatteryRunning);
    EXPECT_EQ(form.BStartStop->Caption(), "Przerwij Test");
    backend.Click(start.Left + 5, start.Top + 5);
    app.ProcessMessages();
    EXPECT_EQ(form.BStartStop->Tag(), BatteryEnded);
    EXPECT_EQ(form.BStartStop->Caption(), "Zamknij");
}

TEST(SequencerTest, ClosingTheWindowDuringABatteryStopsIt) {
    MainWindow w;
    // The close request waits in the queue and arrives inside the operating
    // system check's pump: the battery must unwind, not run on unseen.
    TRect start = w.form->BStartStop->WindowRect();
    w.backend.Click(start.Left + 5, start.Top + 5);
    w.backend.queue.push_back(WindowEvent{WindowEvent::CloseRequested});
    w.app.ProcessMessages();
    EXPECT_TRUE(w.app.Terminated());
    EXPECT_TRUE(w.form->BatteryStopped());
}

TEST(SequencerTest, ClosingTheWindowDuringACheckRunAloneStopsIt) {
    // Each sliced check run by its own button, the close request arriving in
    // its first slice's pump: no second slice, no score, the loop ends.
    struct Case {
        const char* name;
        TglExtSpeedButton* TForm1::*button;
        int MainWindow::*slices;
        TglDigits* TForm1::*digits;
    };
    for (const Case& c : {Case{"disk throughput", &TForm1::BHddTest, &MainWindow::passes, &TForm1::HddTestD},
                          Case{"processor", &TForm1::BCPU, &MainWindow::cpuSlices, &TForm1::CPUD},
                          Case{"memory speed", &TForm1::BMemSpeed, &MainWindow::memSlices, &TForm1::MemSpeedD}}) {
        SCOPED_TRACE(c.name);
        MainWindow w;
        const TRect r = (w.form.get()->*c.button)->WindowRect();
        w.backend.Click(r.Left + 5, r.Top + 5);
        w.backend.queue.push_back(WindowEvent{WindowEvent::CloseRequested});
        w.app.ProcessMessages();
        EXPECT_TRUE(w.app.Terminated());
        EXPECT_EQ(w.*c.slices, 1);
        EXPECT_EQ((w.form.get()->*c.digits)->Value(), 0) << "the row stays unscored";
    }
}

// The ink of the window's image inside r: pixels darker than mid-grey.
TRect InkBox(const Bitmap& image, const TRect& r) {
    TRect box{r.Right, r.Bottom, r.Left, r.Top};
    for (int y = r.Top; y < r.Bottom; ++y) {
        for (int x = r.Left; x < r.Right; ++x) {
            const std::uint32_t p = image.Row(y)[x];
            if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) >= 100) continue;
            box = TRect{std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
        }
    }
    return box;
}

TEST(WindowFacesTest, TheClassicDialogFaceAsDesigned) {
    if (!std::filesystem::exists("/usr/share/wine/fonts/ms_sans_serif.ttf")) {
        GTEST_SKIP() << "fonts-wine is not installed";
    }
    MainWindow w;
    w.app.ProcessMessages();
    // A row caption's ink, inside the button's frame and bevel.
    const TRect button = w.form->BOS->WindowRect();
    const TRect ink = InkBox(w.form->Image(), TRect{button.Left + 3, button.Top + 3, button.Right - 3, button.Bottom - 3});
    EXPECT_EQ(ink.Width(), 82) << "\"Operating System\" in the 8-point strike";
    EXPECT_EQ(ink.Height(), 11);

    // The memo's 52 pixels hold four 13-pixel rows.
    TMemo& memo = *w.form->Memo;
    EXPECT_EQ(memo.VisibleRowCount(), 4);
    memo.Lines().Clear();
    for (const char* line : {"1", "2", "3", "4", "5"}) memo.Lines().Add(line);
    memo.SetSelStart(0);
    w.app.ProcessMessages();
    const TRect m = memo.WindowRect();
    auto rowHasInk = [&](int row) {
        for (int y = m.Top + 13 * row; y < std::min(m.Top + 13 * (row + 1), m.Bottom); ++y) {
            for (int x = m.Left; x < m.Left + 20; ++x) {
                if ((w.form->Image().Row(y)[x] & 0xFFFFFF) == 0xFFFF00) return true;  // yellow text
            }
        }
        return false;
    };
    for (int row = 0; row < 4; ++row) EXPECT_TRUE(rowHasInk(row)) << "row " << row;
}

TEST(SequencerTest, VideoTestAloneLeavesTheBatteryImpossibleToStart) {
    MainWindow w;
    w.form->EndOfBattery(nullptr);
    EXPECT_EQ(w.form->BStartStop->Tag(), BatteryEnded);
    EXPECT_EQ(w.form->BStartStop->Caption(), "Zamknij");
    ASSERT_EQ(w.form->Memo->Lines().Count(), 2u);
    EXPECT_EQ(w.form->Memo->Lines()[0], "UWAGA: TEST ZAKOŃCZONY!");
    EXPECT_EQ(w.form->Memo->Lines()[1],
              "Jeżeli mruga czerwona lampka przy którymś teście kliknij na znak \">>\" obok tej lampki, aby uzyskać "
              "podpowiedź...");
    EXPECT_FALSE(w.form->Button1->Visible());
    EXPECT_FALSE(w.form->Button2->Visible());
    w.ClickOn(*w.form->BStartStop);
    EXPECT_TRUE(w.app.Terminated());
    EXPECT_FALSE(w.form->OSL1->LedisOn()) << "no battery ran";
}

TEST(SequencerTest, ResultSumsTheNineDisplays) {
    MainWindow w;
    w.ClickOn(*w.form->BResult);
    EXPECT_EQ(w.form->SumaD->Value(), 0) << "before any test";
    w.ClickOn(*w.form->BOS);
    w.form->DesktopD->SetValue(80);
    w.form->CodecsD->SetValue(0);
    w.ClickOn(*w.form->BResult);
    EXPECT_EQ(w.form->SumaD->Value(), 19 + 80);
    EXPECT_EQ(w.form->SumaP->Percent(), 0) << "the result bar is never written";
    // A distinct power of two on each display: any display left out of the
    // sum, or counted twice, shows in the total's bits.
    TForm1& f = *w.form;
    int bit = 1;
    for (TglDigits* d : {f.OSD, f.HddFreeD, f.HddTestD, f.CPUD, f.MemFreeD, f.MemSpeedD, f.DesktopD, f.VideoSpeedD, f.CodecsD}) {
        d->SetValue(bit);
        bit *= 2;
    }
    w.ClickOn(*w.form->BResult);
    EXPECT_EQ(w.form->SumaD->Value(), 511);
}

TEST(SequencerTest, MouseDownOnATestButtonResetsTheBarOnlyALeftClickRunsTheTest) {
    MainWindow w;
    w.form->progress1->SetPercent(50);
    w.ClickOn(*w.form->BOS, mbRight);
    EXPECT_EQ(w.form->progress1->Percent(), 0);
    EXPECT_FALSE(w.form->OSL1->LedisOn());
    w.form->progress1->SetPercent(50);
    w.ClickOn(*w.form->BOS);
    EXPECT_EQ(w.form->progress1->Percent(), 10) << "reset on mouse-down, then the check's step";
    EXPECT_TRUE(w.form->OSL1->LedisOn());
}

// ---------------------------------------------------------------- The stored layout

TEST(MainWindowLayoutTest, WindowSettings) {
    MainWindow w;
    EXPECT_EQ(w.form->ClientWidth(), 632);
    EXPECT_EQ(w.form->ClientHeight(), 441);
    EXPECT_EQ(w.backend.lastSettings.caption, "www.tervalo.example - Tervalo Vidorex");
    EXPECT_FALSE(w.backend.lastSettings.resizable);
    EXPECT_FALSE(w.backend.lastSettings.maximizeBox);
    EXPECT_TRUE(w.backend.lastSettings.centred);
    EXPECT_EQ(w.app.MainForm(), w.form.get());
}

TEST(MainWindowLayoutTest, ComponentsStandInTheOrderOfTheFields) {
    // Every object of the stored layout is a field of the window, in the
    // same order; a field the layout lacks stops the start (see below).
    MainWindow w;
    std::vector<std::string> components;
    for (std::size_t i = 0; i < w.form->ComponentCount(); ++i) components.push_back(w.form->Component(i).Name());
    const auto fields = TForm1::FieldNames();
    EXPECT_EQ(components, std::vector<std::string>(fields.begin(), fields.end()));
}

TEST(MainWindowLayoutTest, EveryRowControlAtItsPlaceWithItsHandlers) {
    MainWindow w;
    TForm1& f = *w.form;
    struct Row {
        TglExtSpeedButton* button;
        const char* caption;
        TglDigits* digits;
        TglProgress* bar;
        TStatusLed* lamps[3];
        int top;
        bool click;
        bool mouseDown;
    };
    const std::vector<Row> rows = {
        {f.BOS, "Operating System", f.OSD, f.OSP, {f.OSL1, f.OSL2, f.OSL3}, 8, true, true},
        {f.BHddFree, "HDD Free", f.HddFreeD, f.HddFreeP, {f.HddFreeL1, f.HddFreeL2, f.HddFreeL3}, 32, true, true},
        {f.BHddTest, "HDD Speed/Test", f.HddTestD, f.HddTestP, {f.HddTestL1, f.HddTestL2, f.HddTestL3}, 56, true, true},
        {f.BCPU, "CPU Speed", f.CPUD, f.CPUP, {f.CPUL1, f.CPUL2, f.CPUL3}, 80, true, true},
        {f.BMemFree, "Memory Free", f.MemFreeD, f.MemFreeP, {f.MemFreeL1, f.MemFreeL2, f.MemFreeL3}, 104, true, true},
        {f.BMemSpeed, "Memory Speed", f.MemSpeedD, f.MemSpeedP, {f.MemSpeedL1, f.MemSpeedL2, f.MemSpeedL3}, 128, true, true},
        {f.BDesktop, "Desktop", f.DesktopD, f.DesktopP, {f.DesktopL1, f.DesktopL2, f.DesktopL3}, 152, true, true},
        {f.BVideoSpeed,
         "Video Speed",
         f.VideoSpeedD,
         f.VideoSpeedP,
         {f.VideoSpeedL1, f.VideoSpeedL2, f.VideoSpeedL3},
         176,
         true,
         true},
        {f.glExtSpeedButton7,
         "Codecs",
         f.CodecsD,
         f.glProgress11,
         {f.StatusLed25, f.StatusLed26, f.StatusLed27},
         200,
         false,
         true},
        {f.BResult, "Result:", f.SumaD, f.SumaP, {f.StatusLed4, f.StatusLed5, f.StatusLed6}, 232, true, false},
    };
    const TColor lampColours[3] = {clLime, clYellow, clRed};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.caption);
        EXPECT_EQ(r.button->Parent(), f.Panel1);
        EXPECT_EQ(r.button->BoundsRect(), TRect::FromSize(8, r.top, 177, 22));
        EXPECT_EQ(r.button->Caption(), r.caption);
        EXPECT_EQ(static_cast<bool>(r.button->OnClick), r.click);
        EXPECT_EQ(static_cast<bool>(r.button->OnMouseDown), r.mouseDown);
        EXPECT_EQ(r.button->Enabled(), r.button != f.glExtSpeedButton7);
        EXPECT_EQ(r.digits->BoundsRect(), TRect::FromSize(192, r.top, 129, 22));
        EXPECT_EQ(r.digits->Value(), 0);
        EXPECT_EQ(r.bar->BoundsRect(), TRect::FromSize(328, r.top, 225, 22));
        EXPECT_EQ(r.bar->Caption(), "[%d%%]");
        EXPECT_EQ(r.bar->Percent(), 0);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(r.lamps[i]->BoundsRect(), TRect::FromSize(560 + 16 * i, r.top + 3, 15, 15));
            EXPECT_EQ(r.lamps[i]->LedOnColor(), lampColours[i]);
            EXPECT_EQ(r.lamps[i]->LedOffColor(), clGray);
            EXPECT_FALSE(r.lamps[i]->LedisOn());
            EXPECT_FALSE(r.lamps[i]->Blinking());
        }
    }
    struct Link {
        TglLabel* link;
        int top;
        bool click;
    };
    for (const Link& l : {Link{f.OSHelp, 10, false}, Link{f.HDDFreeHelp, 34, true}, Link{f.HDDTestHelp, 58, true},
                          Link{f.DesktopHelp, 154, true}}) {
        EXPECT_EQ(l.link->Left(), 612);
        EXPECT_EQ(l.link->Top(), l.top);
        EXPECT_EQ(l.link->Caption(), ">>");
        EXPECT_FALSE(l.link->Enabled());
        EXPECT_EQ(l.link->Cursor(), crHandPoint);
        EXPECT_EQ(static_cast<bool>(l.link->OnClick), l.click);
    }
}

TEST(MainWindowLayoutTest, OtherControls) {
    MainWindow w;
    TForm1& f = *w.form;
    EXPECT_EQ(f.glWizardHeader1->BoundsRect(), TRect::FromSize(0, 0, 632, 57));
    EXPECT_EQ(f.Panel1->BoundsRect(), TRect::FromSize(0, 57, 632, 384));
    EXPECT_EQ(f.ProImage1->BoundsRect(), TRect::FromSize(1, 1, 630, 382));
    EXPECT_EQ(f.Memo->BoundsRect(), TRect::FromSize(8, 264, 613, 52));
    EXPECT_EQ(f.Memo->Color(), clNavy);
    EXPECT_EQ(f.Memo->Font().Color(), clYellow);
    EXPECT_TRUE(f.Memo->ReadOnly());
    EXPECT_EQ(f.Memo->Lines().Count(), 0u);
    EXPECT_EQ(f.Button1->BoundsRect(), TRect::FromSize(448, 296, 81, 17));
    EXPECT_EQ(f.Button1->Caption(), "Oczyść");
    EXPECT_FALSE(f.Button1->Visible());
    EXPECT_EQ(f.Button2->BoundsRect(), TRect::FromSize(536, 296, 81, 17));
    EXPECT_EQ(f.Button2->Caption(), "Defragmentuj");
    EXPECT_FALSE(f.Button2->Visible());
    EXPECT_EQ(f.progress1->BoundsRect(), TRect::FromSize(8, 328, 613, 15));
    EXPECT_EQ(f.progress1->Caption(), "progress...[%d%%]");
    EXPECT_EQ(f.BStartStop->BoundsRect(), TRect::FromSize(520, 352, 105, 22));
    EXPECT_EQ(f.BStartStop->Tag(), BatteryIdle);
    EXPECT_FALSE(static_cast<bool>(f.BStartStop->OnMouseDown));
    EXPECT_EQ(f.DXDraw->BoundsRect(), TRect::FromSize(1, 1, 40, 40));
    EXPECT_FALSE(f.DXDraw->Visible());
    EXPECT_EQ(f.DXDraw->Options(), doAllowReboot | doWaitVBlank | doCenter | do3D | doDirectX7Mode | doSelectDriver);
    EXPECT_EQ(f.DXTimer->Interval(), 1);
    EXPECT_FALSE(f.DXTimer->Enabled());
    EXPECT_TRUE(f.DXTimer->ActiveOnly());
    EXPECT_EQ(f.TimerDX->Interval(), 7000u);
    EXPECT_FALSE(f.TimerDX->Enabled());
    // Child windows lie above every drawn control; the overall bar above its shadow.
    const auto& stack = f.Panel1->Controls();
    auto at = [&](const TControl* c) { return std::find(stack.begin(), stack.end(), c) - stack.begin(); };
    EXPECT_LT(at(f.glShadow2), at(f.progress1));
    EXPECT_LT(at(f.glShadow1), at(f.Memo));
    EXPECT_LT(at(f.Memo), at(f.Button1));
    EXPECT_EQ(at(f.ProImage1), 0);
}

TEST(MainWindowLayoutTest, BadLayoutStopsTheStartNamingTheCulprit) {
    test::HeadlessBackend backend;
    test::ManualClock clock;
    test::FakeSystemServices services;
    Application app(backend, clock);
    std::string layout = MainFormLayout();
    struct Case {
        std::string from, to, expected;
    };
    for (const Case& c : {Case{"OnClick = BOSClick", "OnClick = BOSClik", "unknown event handler \"BOSClik\""},
                          Case{"object TMemo Memo", "object TMemoo Memo", "unknown class \"TMemoo\""},
                          Case{"LedShadow = clWhite", "LedShadoww = clWhite", "no property \"LedShadoww\""},
                          Case{"object TTimer TimerDX", "object TTimer TimerDXX", "\"TimerDX\""}}) {
        std::string bad = layout;
        std::size_t at = bad.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        bad.replace(at, c.from.size(), c.to);
        try {
            TForm1 form(app, services, bad);
            ADD_FAILURE() << "no error for " << c.to;
        } catch (const LayoutError& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
        }
    }
    EXPECT_FALSE(backend.created);
}

}  // namespace
}  // namespace vx
