// The flat button: its resting, hover, pushed and disabled looks pixel by
// pixel, and the press, drag-off and release through the window's input.
#include "widgets/speed_button.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "widgets/widget_fixture.h"

namespace vx {
namespace {

using widget_test::kHighlight;
using widget_test::kSentinel;
using widget_test::kShadow;
using widget_test::Surface;
using widget_test::Window;

const TColor kFace = RGB(255, 255, 246);
const TColor kPushedFace = RGB(245, 245, 236);

// A button as every test button of the window is set up.
void MakeFlatButton(TglExtSpeedButton& b, const std::string& caption) {
    b.SetBounds(b.Left(), b.Top(), 177, 22);
    b.SetCaption(caption);
    b.Style().SetColor(16187391);
    b.StyleActive().SetColor(clWhite);
    b.StylePushed().SetColor(15529461);
    b.Style().Bevel().SetInner(bvRaised);
    b.StyleActive().Bevel().SetInner(bvRaised);
    b.StylePushed().Bevel().SetInner(bvLowered);
}

// The expected image of a 177 x 22 button: the outline where it has its
// frame, one bevel ring inside it (at the edge without it), the face, and
// the caption's copies at the offsets given.
Bitmap ExpectedButton(Surface& surface, const std::string& caption, TBevelCut cut, TColor face,
                      const std::vector<std::pair<TPoint, TColor>>& captionCopies, bool frame = true) {
    Bitmap expected(177, 22, face);
    const TColor light = cut == bvRaised ? kHighlight : kShadow;
    const TColor dark = cut == bvRaised ? kShadow : kHighlight;
    const int l = frame ? 1 : 0, t = l, r = 176 - l, b = 21 - l;
    // Sides in drawing order (left, top, right, bottom); later ones win.
    for (int y = t; y <= (cut == bvRaised ? b : b - 1); ++y) expected.SetPixel(l, y, light);
    for (int x = l; x <= r - 1; ++x) expected.SetPixel(x, t, light);
    for (int y = t; y <= (cut == bvRaised ? b : b - 1); ++y) expected.SetPixel(r, y, dark);
    for (int x = l; x <= (cut == bvRaised ? r - 1 : r); ++x) expected.SetPixel(x, b, dark);
    TFont font;
    const auto mask = surface.TextMask(font, caption);
    for (const auto& [offset, colour] : captionCopies) {
        for (const auto& [mx, my] : mask) {
            const int x = offset.X + mx;
            const int y = offset.Y + my;
            if (x > l && x < r && y > t && y < b) expected.SetPixel(x, y, colour);
        }
    }
    for (int i = 0; frame && i < 177; ++i) {
        expected.SetPixel(i, 0, clBlack);
        expected.SetPixel(i, 21, clBlack);
        expected.SetPixel(0, std::min(i, 21), clBlack);
        expected.SetPixel(176, std::min(i, 21), clBlack);
    }
    return expected;
}

// Where the caption's top-left lands in a 177 x 22 button at rest.
TPoint CaptionOrigin(Surface& surface, const std::string& caption, bool frame = true) {
    const TSize size = surface.TextSize(TFont{}, caption);
    return frame ? TPoint{2 + (172 - size.cx) / 2, 2 + (17 - size.cy) / 2}
                 : TPoint{1 + (174 - size.cx) / 2, 1 + (19 - size.cy) / 2};
}

int CountDifferences(const Bitmap& a, const Bitmap& b, int left = 0, int top = 0) {
    int wrong = 0;
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) wrong += a.GetPixel(left + x, top + y) != b.GetPixel(x, y);
    }
    return wrong;
}

TEST(SpeedButtonPaintTest, RestingButtonPixelByPixel) {
    TglExtSpeedButton button(nullptr);
    MakeFlatButton(button, "Operating System");
    Surface surface;
    button.Paint(surface.Fresh(177, 22));
    const TPoint at = CaptionOrigin(surface, "Operating System");
    const Bitmap expected = ExpectedButton(surface, "Operating System", bvRaised, kFace, {{at, clBlack}});
    EXPECT_EQ(CountDifferences(surface.Image(), expected), 0);
    // The documented corners of the example.
    EXPECT_EQ(surface.At(1, 1), kHighlight);
    EXPECT_EQ(surface.At(175, 1), kShadow);
    EXPECT_EQ(surface.At(174, 20), kShadow);
    EXPECT_EQ(surface.At(2, 2), kFace);
    EXPECT_EQ(surface.At(174, 19), kFace);
}

TEST(SpeedButtonPaintTest, DisabledCaptionIsAPushedTextInTheFacesShades) {
    TglExtSpeedButton button(nullptr);
    MakeFlatButton(button, "Codecs");
    button.SetEnabled(false);
    Surface surface;
    button.Paint(surface.Fresh(177, 22));
    const TPoint at = CaptionOrigin(surface, "Codecs");
    // White (the face lightened by 60) at (x + 1, y + 1), then (195, 195, 186)
    // (darkened by 60) at (x, y); the font colour is not used.
    const Bitmap expected =
        ExpectedButton(surface, "Codecs", bvRaised, kFace, {{TPoint{at.X + 1, at.Y + 1}, clWhite}, {at, RGB(195, 195, 186)}});
    EXPECT_EQ(CountDifferences(surface.Image(), expected), 0);
}

TEST(SpeedButtonPaintTest, WithoutFrameTheBevelReachesTheEdge) {
    TglExtSpeedButton button(nullptr);
    MakeFlatButton(button, "Result:");
    button.SetFrame(false);
    Surface surface;
    button.Paint(surface.Fresh(177, 22));
    // The caption is centred in the larger interior (1, 1, 175, 20).
    const Bitmap expected =
        ExpectedButton(surface, "Result:", bvRaised, kFace, {{CaptionOrigin(surface, "Result:", false), clBlack}}, false);
    EXPECT_EQ(CountDifferences(surface.Image(), expected), 0);
}

// ---------------------------------------------------------------- input

struct ButtonWindow {
    Window window{300, 60};
    TglExtSpeedButton& button = window.Add<TglExtSpeedButton>(TRect::FromSize(10, 10, 177, 22));
    Surface surface;  // fonts and masks for the expectations
    bool frame;
    int clicks = 0;

    explicit ButtonWindow(bool withFrame = true) : frame(withFrame) {
        MakeFlatButton(button, "Operating System");
        button.SetFrame(frame);
        button.OnClick = [this](TObject*) { ++clicks; };
        window.form.PaintAll();
    }
    void Move(int x, int y) { window.form.HandleMouseMove(0, x, y); }
    void Down(int x, int y, TMouseButton b = mbLeft) { window.form.HandleMouseDown(b, 0, x, y); }
    void Up(int x, int y, TMouseButton b = mbLeft) { window.form.HandleMouseUp(b, 0, x, y); }
    int Differences(TBevelCut cut, TColor face, int captionShift) {
        window.form.PaintInvalid();
        const TPoint at = CaptionOrigin(surface, "Operating System", frame);
        const Bitmap expected = ExpectedButton(surface, "Operating System", cut, face,
                                               {{TPoint{at.X + captionShift, at.Y + captionShift}, clBlack}}, frame);
        return CountDifferences(window.form.Image(), expected, 10, 10);
    }
};

TEST(SpeedButtonTest, LooksFollowThePointerAndThePress) {
    for (const bool frame : {true, false}) {
        SCOPED_TRACE(frame ? "framed" : "without frame");
        ButtonWindow w(frame);
        EXPECT_EQ(w.Differences(bvRaised, kFace, 0), 0) << "at rest";
        w.Move(50, 20);
        EXPECT_TRUE(w.button.Inside());
        EXPECT_EQ(w.Differences(bvRaised, clWhite, 0), 0) << "pointer over it";
        w.Down(50, 20);
        EXPECT_TRUE(w.button.Pressed());
        EXPECT_EQ(w.Differences(bvLowered, kPushedFace, 1), 0) << "pushed: lowered, darker, caption one pixel down and right";
        w.Move(250, 50);
        EXPECT_FALSE(w.button.Inside());
        EXPECT_EQ(w.Differences(bvRaised, kFace, 1), 0) << "dragged off: the resting look, the caption still shifted";
        w.Move(50, 20);
        EXPECT_EQ(w.Differences(bvLowered, kPushedFace, 1), 0) << "back on it";
        w.Move(250, 50);
        w.Up(250, 50);
        EXPECT_FALSE(w.button.Pressed());
        EXPECT_EQ(w.clicks, 0) << "released off the button: no click";
        EXPECT_EQ(w.Differences(bvRaised, kFace, 0), 0) << "released: at rest again";
    }
}

TEST(SpeedButtonTest, ClickRunsAfterTheFrameworksHandling) {
    ButtonWindow w;
    bool pressedSeenOnMouseDown = true;
    w.button.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { pressedSeenOnMouseDown = w.button.Pressed(); };
    w.Move(50, 20);
    w.Down(50, 20);
    EXPECT_FALSE(pressedSeenOnMouseDown) << "OnMouseDown sees the button as it was";
    w.Up(50, 20);
    EXPECT_EQ(w.clicks, 1);
    EXPECT_FALSE(w.button.Pressed());
}

TEST(SpeedButtonTest, AnyMouseButtonPushesButOnlyTheLeftClicks) {
    ButtonWindow w;
    w.Move(50, 20);
    w.Down(50, 20, mbRight);
    EXPECT_TRUE(w.button.Pressed());
    w.Up(50, 20, mbRight);
    EXPECT_FALSE(w.button.Pressed());
    EXPECT_EQ(w.clicks, 0);
}

TEST(SpeedButtonTest, DisabledButtonIgnoresThePointer) {
    ButtonWindow w;
    w.button.SetEnabled(false);
    w.Move(50, 20);
    EXPECT_FALSE(w.button.Inside());
    w.Down(50, 20);
    w.Up(50, 20);
    EXPECT_FALSE(w.button.Pressed());
    EXPECT_EQ(w.clicks, 0);
}

TEST(SpeedButtonTest, DisablingWhileHeldShowsTheRestingLook) {
    ButtonWindow w;
    w.Move(50, 20);
    w.Down(50, 20);
    w.button.SetEnabled(false);
    EXPECT_FALSE(w.button.Inside());
    EXPECT_FALSE(w.button.Pressed());
}

}  // namespace
}  // namespace vx
