// The status lamp: its fixed size, its circle and glint, its repaint rules
// and blinking on the application's timers (driven by a hand-moved clock).
#include "widgets/status_led.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "widgets/widget_fixture.h"

namespace vx {
namespace {

using widget_test::kSentinel;
using widget_test::Surface;
using widget_test::Window;

TEST(StatusLedPaintTest, A20By20LampPaints15By15) {
    TStatusLed led(nullptr);
    led.SetBounds(560, 11, 20, 20);
    EXPECT_EQ(led.BoundsRect(), TRect::FromSize(560, 11, 15, 15));
    led.SetLedisOn(true);
    Surface surface;
    led.Paint(surface.Fresh(20, 20));
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            if (x >= 14 || y >= 14 || x < 2 || y < 2) {
                ASSERT_EQ(surface.At(x, y), kSentinel) << x << "," << y;
            }
        }
    }
}

TEST(StatusLedPaintTest, CircleOutlineFillAndGlint) {
    // A circle 12 pixels across in the box (2, 2)-(14, 14): a gray outline
    // 'o', the lamp's colour '#', the nine-pixel glint '*' at its upper left.
    const char* const kLamp =
        ".............../"
        ".............../"
        "......oooo...../"
        "....oo####oo.../"
        "...o########o../"
        "...o##***###o../"
        "..o##***#####o./"
        "..o##**######o./"
        "..o##*#######o./"
        "..o##########o./"
        "...o########o../"
        "...o########o../"
        "....oo####oo.../"
        "......oooo...../"
        "...............";
    for (const bool on : {true, false}) {
        TStatusLed led(nullptr);
        led.SetLedOnColor(clLime);
        led.SetLedOffColor(clMaroon);
        led.SetLedShadow(clWhite);
        led.SetLedisOn(on);
        Surface surface;
        led.Paint(surface.Fresh(15, 15));
        EXPECT_EQ(widget_test::Picture(surface.Image(), {0, 0, 15, 15},
                                       {{clGray, 'o'}, {on ? clLime : clMaroon, '#'}, {clWhite, '*'}, {kSentinel, '.'}}),
                  kLamp)
            << (on ? "on" : "off");
    }
}

// ---------------------------------------------------------------- repaints and blinking

struct LampWindow {
    Window window{100, 40};
    TStatusLed& led = window.Add<TStatusLed>(TRect::FromSize(20, 10, 15, 15));

    LampWindow() {
        led.SetLedOnColor(clRed);
        led.SetLedOffColor(clGray);
        window.form.PaintAll();
        window.app.ProcessMessages();  // shows the first frame
    }
    TColor Centre() const { return window.At(20 + 9, 10 + 9); }
};

TEST(StatusLedTest, SettersRepaintWithoutComparing) {
    using widget_test::Redraw;
    using F = std::function<void(TStatusLed&)>;
    const struct {
        const char* what;
        F change;
        Redraw redraw;
    } cases[] = {
        {"LedisOn, even unchanged", [](TStatusLed& l) { l.SetLedisOn(false); }, Redraw::Requested},
        {"LedOnColor draws at once", [](TStatusLed& l) { l.SetLedOnColor(clRed); }, Redraw::AtOnce},
        {"LedOffColor", [](TStatusLed& l) { l.SetLedOffColor(clGreen); }, Redraw::Requested},
        {"LedShadow", [](TStatusLed& l) { l.SetLedShadow(clWhite); }, Redraw::Requested},
        {"Blinking", [](TStatusLed& l) { l.SetBlinking(false); }, Redraw::Requested},
        {"Interval does not repaint", [](TStatusLed& l) { l.SetInterval(300); }, Redraw::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(widget_test::RedrawOf<TStatusLed>(
                      TRect::FromSize(20, 10, 15, 15), [](TStatusLed&) {}, c.change),
                  c.redraw)
            << c.what;
    }
}

TEST(StatusLedTest, RepaintRequestCoversOnly15By15) {
    LampWindow w;
    w.led.SetLedisOn(true);
    w.window.backend.presented.Clear();
    w.window.app.ProcessMessages();
    EXPECT_EQ(w.window.backend.presented.Bounds(), TRect::FromSize(20, 10, 15, 15));
    EXPECT_EQ(w.Centre(), clRed);
}

TEST(StatusLedTest, BlinksOnItsOwnTimerOnFirstThenOff) {
    LampWindow w;
    w.led.SetLedisOn(true);
    w.led.SetBlinking(true);
    w.window.Run(0);
    EXPECT_EQ(w.Centre(), clRed) << "a lamp switched on and set blinking shows its on colour first";
    w.window.Run(199);
    EXPECT_TRUE(w.led.LedisOn());
    w.window.Run(1);
    EXPECT_FALSE(w.led.LedisOn()) << "off at the first tick";
    EXPECT_EQ(w.Centre(), clGray);
    w.window.Run(100);  // 300 ms after blinking began
    w.led.SetBlinking(false);
    w.window.Run(1000);
    EXPECT_FALSE(w.led.LedisOn()) << "stopped, it stays as the last tick left it";
    EXPECT_EQ(w.Centre(), clGray);
    EXPECT_FALSE(w.window.app.Timers().MsUntilNextDue().has_value());
}

TEST(StatusLedTest, BlinkingPhasesAndPeriods) {
    const struct {
        const char* what;
        bool startOn;
        unsigned interval;
        std::uint64_t elapsed;
        bool onAfter;
    } cases[] = {
        {"an unlit lamp turns on at the first tick", false, 200, 200, true},
        {"two ticks bring it back", true, 200, 400, true},
        {"three ticks", true, 200, 600, false},
        {"a longer period", true, 500, 499, true},
        {"a longer period, one tick", true, 500, 500, false},
    };
    for (const auto& c : cases) {
        LampWindow w;
        w.led.SetInterval(c.interval);
        w.led.SetLedisOn(c.startOn);
        w.led.SetBlinking(true);
        for (std::uint64_t t = 0; t < c.elapsed; t += 100) w.window.Run(std::min<std::uint64_t>(100, c.elapsed - t));
        EXPECT_EQ(w.led.LedisOn(), c.onAfter) << c.what;
    }
}

TEST(StatusLedTest, TimerEndsWithTheLamp) {
    Window window;
    {
        TStatusLed led(&window.form);
        led.SetParent(&window.form);
        led.SetBlinking(true);
        led.SetInterval(0);
        EXPECT_FALSE(window.app.Timers().MsUntilNextDue().has_value()) << "a zero period does not blink";
        led.SetInterval(200);
        EXPECT_TRUE(window.app.Timers().MsUntilNextDue().has_value());
    }
    EXPECT_FALSE(window.app.Timers().MsUntilNextDue().has_value()) << "a tick must never reach a destroyed lamp";
    window.Run(1000);
}

}  // namespace
}  // namespace vx
