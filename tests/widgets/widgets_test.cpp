#include <gtest/gtest.h>

#include <memory>

#include "framework/application.h"
#include "framework/form.h"
#include "framework/layout.h"
#include "widgets/digits.h"
#include "widgets/label.h"
#include "widgets/progress.h"
#include "widgets/register_widgets.h"
#include "widgets/speed_button.h"
#include "widgets/status_led.h"
#include "widgets/test_window.h"

namespace vx {
namespace {

using widget_test::ManualClock;
using widget_test::NoWindowBackend;

class WidgetBehaviourTest : public ::testing::Test {
protected:
    int Tick(std::uint64_t ms) {
        m_clock.Advance(ms);
        return m_app.Timers().DeliverDue([](const std::function<void()>& tick) { tick(); });
    }

    ManualClock m_clock;
    NoWindowBackend m_backend;
    Application m_app{m_backend, m_clock};
    TForm m_form{m_app};
};

TEST_F(WidgetBehaviourTest, BlinkingLampInvertsOnEveryTickAndStaysWhereItStopped) {
    TStatusLed& led = m_form.Make<TStatusLed>();
    led.SetLedisOn(true);
    led.SetBlinking(true);
    EXPECT_EQ(Tick(199), 0);
    EXPECT_TRUE(led.LedisOn()) << "the on colour shows for a whole period first";
    EXPECT_EQ(Tick(1), 1);
    EXPECT_FALSE(led.LedisOn());
    Tick(200);
    EXPECT_TRUE(led.LedisOn());
    Tick(200);
    led.SetBlinking(false);
    EXPECT_EQ(Tick(1000), 0);
    EXPECT_FALSE(led.LedisOn());
}

TEST_F(WidgetBehaviourTest, LampTimerEndsWithTheLamp) {
    {
        TStatusLed led(&m_form);
        led.SetBlinking(true);
        led.SetInterval(0);  // a zero period stops the blinking
        EXPECT_FALSE(m_app.Timers().MsUntilNextDue().has_value());
        led.SetInterval(200);
        EXPECT_TRUE(m_app.Timers().MsUntilNextDue().has_value());
    }
    EXPECT_FALSE(m_app.Timers().MsUntilNextDue().has_value()) << "a tick must never reach a destroyed lamp";
}

TEST_F(WidgetBehaviourTest, LampKeepsItsSize) {
    TStatusLed& led = m_form.Make<TStatusLed>();
    led.SetBounds(560, 11, 20, 20);
    EXPECT_EQ(led.BoundsRect(), TRect::FromSize(560, 11, 15, 15));
}

TEST_F(WidgetBehaviourTest, PercentIsStoredUncheckedAndDrivesTheRampAndCaption) {
    TglProgress& bar = m_form.Make<TglProgress>();
    bar.SetCaption("[%d%%]");
    bar.SetPercent(150);
    EXPECT_EQ(bar.Percent(), 150);
    EXPECT_EQ(bar.Gradient().PercentFilling(), 150);
    EXPECT_EQ(bar.CaptionText(), "[150%]");
}

TEST_F(WidgetBehaviourTest, ClearingTheSpecialSymbolForgetsItsPosition) {
    TglDigits& digits = m_form.Make<TglDigits>();
    digits.SetSpecialSymbol(ssColon);
    digits.SetInsertSpSymbolAt(2);
    digits.SetSpecialSymbol(ssNone);
    EXPECT_EQ(digits.InsertSpSymbolAt(), -1);
}

TEST_F(WidgetBehaviourTest, ButtonPressFollowsTheLeftButtonAfterTheFrameworkHandlers) {
    TglExtSpeedButton& button = m_form.Make<TglExtSpeedButton>();
    bool pressedSeenByHandler = true;
    int clicks = 0;
    button.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { pressedSeenByHandler = button.Pressed(); };
    button.OnClick = [&](TObject*) { ++clicks; };
    button.MouseDown(mbRight, 0, 1, 1);
    EXPECT_FALSE(button.Pressed());
    button.MouseDown(mbLeft, 0, 1, 1);
    EXPECT_FALSE(pressedSeenByHandler);
    EXPECT_TRUE(button.Pressed());
    button.MouseUp(mbLeft, 0, 1, 1);
    EXPECT_FALSE(button.Pressed());
    EXPECT_EQ(clicks, 1);

    button.SetEnabled(false);
    button.MouseEnter();
    EXPECT_FALSE(button.Inside()) << "a disabled button ignores the pointer";
}

TEST(WidgetBehaviourLabelTest, NegativeShadowDepthIsStoredAsZero) {
    TIllumination illumination;
    illumination.SetShadowDepth(-3);
    EXPECT_EQ(illumination.ShadowDepth(), 0);
}

TEST_F(WidgetBehaviourTest, LayoutSetsDottedAndRangeCheckedProperties) {
    ClassRegistry classes;
    RegisterFrameworkClasses(classes);
    RegisterWidgetClasses(classes);
    HandlerTable handlers;
    const std::string layout = R"(
object TForm Form1
end
object TglDigits OSD
  Parent = Form1
  DigitSize.X = 8
  Gradient.Steps = 300
  Bevel.Sides = [fsdLeft, fsdTop]
end
object TglProgress OSP
  Parent = Form1
  Caption = "[%d%%]"
  Options = [fpoTransparent]
  Gradient.FromColor = clRed
end
)";
    LoadLayout(layout, m_form, "TForm", classes, handlers);
    auto* digits = dynamic_cast<TglDigits*>(m_form.FindComponent("OSD"));
    ASSERT_NE(digits, nullptr);
    EXPECT_EQ(digits->DigitSize().X(), 8);
    EXPECT_EQ(digits->Gradient().Steps(), 255);
    EXPECT_EQ(digits->Bevel().Sides(), fsdLeft | fsdTop);
    auto* bar = dynamic_cast<TglProgress*>(m_form.FindComponent("OSP"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Options(), fpoTransparent);
    EXPECT_EQ(bar->Gradient().RGBFromColor(), clRed);

    TForm other(m_app);
    EXPECT_THROW(LoadLayout("object TForm F\nend\nobject TglDigits D\n  Gap = -1\nend\n", other, "TForm", classes, handlers),
                 LayoutError);
    TForm third(m_app);
    EXPECT_THROW(LoadLayout("object TForm F\nend\nobject TglProgress P\n  Percent = 256\nend\n", third, "TForm", classes, handlers),
                 LayoutError);
}

}  // namespace
}  // namespace vx
