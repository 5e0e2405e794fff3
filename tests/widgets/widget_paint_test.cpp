// Widgets painted on an off-screen surface, checked against the documented
// pixel examples. Each surface starts in a sentinel colour so that a pixel
// drawn one too far shows up.
#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/form.h"
#include "widgets/digits.h"
#include "widgets/painters.h"
#include "widgets/progress.h"
#include "widgets/shadow.h"
#include "widgets/status_led.h"
#include "widgets/test_window.h"
#include "widgets/wizard_header.h"

namespace vx {
namespace {

using widget_test::ManualClock;
using widget_test::NoWindowBackend;

constexpr TColor kSentinel = RGB(1, 2, 3);
const TColor kShadow = ColorToRGB(clBtnShadow);
const TColor kHighlight = ColorToRGB(clBtnHighlight);

class WidgetPaintTest : public ::testing::Test {
protected:
    Canvas& Surface(int width, int height) {
        m_bitmap = Bitmap(width, height, kSentinel);
        m_canvas.emplace(m_bitmap, m_fonts);
        return *m_canvas;
    }
    TColor At(int x, int y) const { return m_bitmap.GetPixel(x, y); }

    FontCache m_fonts;
    Bitmap m_bitmap;
    std::optional<Canvas> m_canvas;
};

TEST_F(WidgetPaintTest, BevelCutsFollowTheirSideRules) {
    const struct {
        const char* what;
        TglBevelSides sides;
        TBevelCut outer, inner;
        TRect interior;
        TColor topLeft, bottomRight, bottomLeft;
    } cases[] = {
        {"lowered", kAllBevelSides, bvLowered, bvNone, {1, 1, 223, 20}, kShadow, kHighlight, kHighlight},
        {"raised", kAllBevelSides, bvRaised, bvNone, {1, 1, 223, 20}, kHighlight, kShadow, kShadow},
        {"inner cut only", kAllBevelSides, bvNone, bvRaised, {1, 1, 223, 20}, kHighlight, kShadow, kShadow},
        {"two cuts", kAllBevelSides, bvLowered, bvRaised, {2, 2, 222, 19}, kShadow, kHighlight, kHighlight},
        {"left and top only", fsdLeft | fsdTop, bvLowered, bvNone, {1, 1, 224, 21}, kShadow, kSentinel, kSentinel},
        {"no cut", kAllBevelSides, bvNone, bvNone, {0, 0, 224, 21}, kSentinel, kSentinel, kSentinel},
    };
    for (const auto& c : cases) {
        Canvas& canvas = Surface(226, 23);
        const TRect interior = DrawBevel(canvas, TRect{0, 0, 224, 21}, c.sides, c.outer, c.inner, false, false, clNone);
        EXPECT_EQ(interior, c.interior) << c.what;
        EXPECT_EQ(At(0, 0), c.topLeft) << c.what;
        EXPECT_EQ(At(224, 21), c.bottomRight) << c.what;
        EXPECT_EQ(At(0, 21), c.bottomLeft) << c.what;
        EXPECT_EQ(At(225, 22), kSentinel) << c.what << ": nothing beyond the frame's last column and row";
    }
}

TEST_F(WidgetPaintTest, BevelFillCoversTheInteriorsLastColumnAndRow) {
    Canvas& canvas = Surface(12, 12);
    DrawBevel(canvas, TRect{0, 0, 9, 9}, kAllBevelSides, bvLowered, bvNone, false, true, clLime);
    EXPECT_EQ(At(1, 1), clLime);
    EXPECT_EQ(At(8, 8), clLime);
    EXPECT_EQ(At(10, 10), kSentinel);
}

TEST_F(WidgetPaintTest, DigitsAreCentredInTheBevelInterior) {
    TglDigits digits(nullptr);
    digits.SetBounds(0, 0, 129, 22);
    digits.DigitSize().SetX(8);
    digits.DigitSize().SetY(15);
    digits.SetActiveColor(clLime);
    digits.Bevel().SetOuter(bvLowered);
    digits.SetValue(18);
    digits.Paint(Surface(129, 22));
    // "1" at x 54 lights only its right verticals (column 62); "8" at x 65
    // lights its top row from 66 to 72 and both verticals.
    EXPECT_EQ(At(62, 4), clLime);
    EXPECT_NE(At(54, 4), clLime);
    EXPECT_NE(At(65, 3), clLime);
    for (int x = 66; x <= 72; ++x) EXPECT_EQ(At(x, 3), clLime) << x;
    EXPECT_NE(At(73, 3), clLime);
    EXPECT_EQ(At(65, 12), clLime);
    EXPECT_EQ(At(73, 17), clLime);
    EXPECT_EQ(At(0, 0), kShadow) << "the lowered bevel";
}

TEST_F(WidgetPaintTest, RampIsCutIntoSegmentsAndStopsPastThePercent) {
    TglProgress bar(nullptr);
    bar.SetBounds(0, 0, 225, 22);
    bar.Colors().SetBackground(clBlack);
    bar.Gradient().SetActive(true);
    bar.Gradient().SetOrientation(fgdVertical);
    bar.Gradient().SetFromColor(clRed);
    bar.Gradient().SetToColor(clGreen);
    bar.SetPercent(1);
    bar.Paint(Surface(225, 22));
    // At 1 percent bands 0 to 3 (columns 1 to 4) are coloured; column 1 is
    // a gap, so the first segment shows on columns 2 to 4.
    EXPECT_EQ(At(1, 10), clBlack);
    EXPECT_EQ(At(2, 10), RGB(254, 1, 0)) << "band 1: 255 + MulDiv(1, -255, 221), MulDiv(1, 128, 221)";
    EXPECT_NE(At(4, 10), clBlack);
    EXPECT_EQ(At(5, 10), clBlack);
    EXPECT_EQ(At(6, 10), clBlack);
    EXPECT_EQ(At(2, 1), clBlack) << "the row under the frame keeps the background";
}

TEST_F(WidgetPaintTest, LampPaintsACircleWithAGlintAndNothingOutside) {
    TStatusLed led(nullptr);
    led.SetLedOnColor(clLime);
    led.SetLedisOn(true);
    led.Paint(Surface(20, 20));
    EXPECT_EQ(At(8, 10), clLime);
    EXPECT_EQ(At(6, 5), clWhite);
    EXPECT_EQ(At(2, 8), clGray) << "outline";
    EXPECT_EQ(At(0, 0), kSentinel);
    EXPECT_EQ(At(14, 8), kSentinel) << "the box's right edge is excluded";
    led.SetLedisOn(false);
    led.Paint(Surface(20, 20));
    EXPECT_EQ(At(8, 10), clGreen);
}

TEST_F(WidgetPaintTest, ShadowDithersOnlyItsOwnBand) {
    TglShadow shadow(nullptr);
    shadow.SetBounds(0, 0, 617, 20);
    shadow.Paint(Surface(617, 20));
    const TColor window = ColorToRGB(clWindow);
    EXPECT_EQ(At(0, 0), window);
    EXPECT_EQ(At(611, 14), window) << "the box's last column and row";
    EXPECT_EQ(At(612, 6), clBlack) << "even x + y from the shadow's corner";
    EXPECT_EQ(At(613, 6), kSentinel) << "odd pixels keep what lies beneath";
    EXPECT_EQ(At(6, 19), kSentinel);
    EXPECT_EQ(At(7, 19), clBlack);
    EXPECT_EQ(At(3, 17), kSentinel) << "left of the shadow's corner";
}

TEST(WizardHeaderTest, PageLinesFallBackToTheLastLineOrAPlaceholder) {
    TglWizardHeader header(nullptr);
    EXPECT_EQ(header.CurrentCaption(), "Caption");
    EXPECT_EQ(header.CurrentComment(), "Some comment text");
    header.SetCaptions({"one", "two"});
    header.SetPageNo(5);
    EXPECT_EQ(header.CurrentCaption(), "two");
    header.SetPageNo(-1);
    EXPECT_EQ(header.CurrentCaption(), "one");
}

TEST(DigitsRepaintTest, SameLengthDrawsAtOnceNewLengthRequestsARepaint) {
    ManualClock clock;
    NoWindowBackend backend;
    Application app(backend, clock);
    TForm form(app);
    form.SetBounds(0, 0, 200, 40);
    TglDigits& digits = form.Make<TglDigits>();
    digits.SetParent(&form);
    form.PaintAll();
    const struct {
        double value;
        bool repaintRequested;
    } steps[] = {
        {7, true},      // the first value: nothing is known of what is shown
        {8, false},     // same length: drawn over the old digits at once
        {10, true},     // new length: the background must be erased first
        {10, false},    // unchanged: nothing at all
        {12.5, true},
    };
    for (const auto& s : steps) {
        digits.SetValue(s.value);
        EXPECT_EQ(form.HasInvalid(), s.repaintRequested) << s.value;
        form.PaintInvalid();
    }
}

}  // namespace
}  // namespace vx
