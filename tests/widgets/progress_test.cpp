// The percent bar: the cut ramp inside its frame, the caption with the
// percentage, and when it repaints.
#include "widgets/progress.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
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

void MakeRowBar(TglProgress& bar) {
    bar.SetBounds(bar.Left(), bar.Top(), 225, 22);
    bar.SetCaption("[%d%%]");
    bar.Font().SetColor(clWhite);
    bar.Colors().SetDelineate(clGray);
    bar.Colors().SetShadow(clBlack);
    bar.Colors().SetBackground(clBlack);
    bar.Gradient().SetActive(true);
    bar.Gradient().SetOrientation(fgdVertical);
    bar.Gradient().SetFromColor(clRed);
    bar.Gradient().SetToColor(clGreen);
}

// Ramp column 1 + i of a row bar.
TColor RampColour(int i) { return RGB(255 + MulDiv(i, -255, 221), MulDiv(i, 128, 221), 0); }

// The caption's pixels: the black shadow copy two pixels down and right,
// then the white text, as a map from pixel to colour.
std::map<std::pair<int, int>, TColor> CaptionPixels(Surface& surface, const TFont& font, const std::string& text, int width,
                                                    int height) {
    const TSize size = surface.TextSize(font, text);
    const int x = (width - (size.cx + 2)) / 2;
    const int y = (height - (size.cy + 2)) / 2;
    std::map<std::pair<int, int>, TColor> pixels;
    const auto mask = surface.TextMask(font, text);
    for (const auto& [mx, my] : mask) pixels[{x + 2 + mx, y + 2 + my}] = clBlack;
    for (const auto& [mx, my] : mask) pixels[{x + mx, y + my}] = clWhite;
    return pixels;
}

void MakeOverallBar(TglProgress& bar) {
    bar.SetBounds(bar.Left(), bar.Top(), 613, 15);
    bar.SetCaption("progress...[%d%%]");
    bar.SetBevelInner(bvRaised);
    bar.Colors().SetShadow(clBlack);
    bar.Colors().SetBackground(clBlack);
    bar.Gradient().SetActive(true);
    bar.Gradient().SetOrientation(fgdVertical);
    bar.Gradient().SetFromColor(clGreen);
    bar.Gradient().SetToColor(clLime);
}

// Ramp column 1 + i of the overall bar: 255 bands over 610 columns, green
// (0, 128, 0) to lime (0, 255, 0).
TColor OverallRampColour(int i) {
    int band = 0;
    while (band < 254 && MulDiv(band + 1, 610, 255) <= i) ++band;
    return RGB(0, 128 + MulDiv(band, 127, 254), 0);
}

struct BarLook {
    void (*make)(TglProgress&);
    int width, height;
    TBevelCut frame;
    TColor (*ramp)(int column);
};
const BarLook kRowBar{MakeRowBar, 225, 22, bvLowered, RampColour};
const BarLook kOverallBar{MakeOverallBar, 613, 15, bvRaised, OverallRampColour};

// Paints a bar at a percent and checks every pixel against the rules: the
// frame, black rows above and below the ramp and black right column, ramp
// columns 1 to lastColumn in the ramp's colours except the gaps at 1, 5, 9,
// ..., and the caption on top.
void ExpectBar(const BarLook& look, std::uint8_t percent, int lastColumn, const std::string& caption) {
    TglProgress bar(nullptr);
    look.make(bar);
    bar.SetPercent(percent);
    Surface surface;
    bar.Paint(surface.Fresh(look.width, look.height));
    const auto text = CaptionPixels(surface, bar.Font(), caption, look.width, look.height);
    const int right = look.width - 1, bottom = look.height - 1;
    int wrong = 0;
    for (int y = 0; y <= bottom; ++y) {
        for (int x = 0; x <= right; ++x) {
            TColor expected = clBlack;
            if (look.frame == bvLowered && ((x == 0 && y < bottom) || (y == 0 && x < right))) {
                expected = kShadow;
            } else if (look.frame == bvLowered && (x == right || y == bottom)) {
                expected = kHighlight;
            } else if (look.frame == bvRaised && (x == right || y == bottom)) {
                expected = kShadow;
            } else if (look.frame == bvRaised && (x == 0 || y == 0)) {
                expected = kHighlight;
            } else if (y >= 2 && y <= bottom - 2 && x >= 1 && x <= lastColumn && (x - 1) % 4 != 0) {
                expected = look.ramp(x - 1);
            }
            if (auto it = text.find({x, y}); it != text.end()) expected = it->second;
            if (surface.At(x, y) != expected) {
                if (++wrong <= 5) ADD_FAILURE() << caption << " at " << x << "," << y;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << caption;
}

TEST(PercentBarPaintTest, RowBarsPixelByPixel) {
    const struct {
        std::uint8_t percent;
        int lastColumn;  // the last ramp column coloured
        const char* caption;
    } cases[] = {
        {0, 0, "[0%]"},        // black inside: only the caption
        {1, 4, "[1%]"},        // bands 0 to 3: column 1 is a gap, 2 to 4 coloured
        {45, 101, "[45%]"},    // 100 * 100 / 222 > 45 first at band 100
        {100, 222, "[100%]"},  // every band, red at the left to green at the right
        {150, 222, "[150%]"},  // stored as it is: the whole ramp
    };
    for (const auto& c : cases) ExpectBar(kRowBar, c.percent, c.lastColumn, c.caption);
}

TEST(PercentBarPaintTest, OverallBarPixelByPixel) {
    ExpectBar(kOverallBar, 0, 0, "progress...[0%]");
    // 115 * 100 / 255 > 45 first at band 115, whose last pixel is x = MulDiv(116, 610, 255) = 277.
    ExpectBar(kOverallBar, 45, 277, "progress...[45%]");
    ExpectBar(kOverallBar, 100, 610, "progress...[100%]");
}

TEST(PercentBarPaintTest, CaptionWithoutPlaceholderIsShownAsItIs) {
    for (std::uint8_t percent : {0, 37, 100}) {
        TglProgress bar(nullptr);
        MakeRowBar(bar);
        bar.SetCaption("Ready");
        bar.SetPercent(percent);
        EXPECT_EQ(bar.CaptionText(), "Ready");
        Surface surface;
        bar.Paint(surface.Fresh(225, 22));
        for (const auto& [p, colour] : CaptionPixels(surface, bar.Font(), "Ready", 225, 22)) {
            ASSERT_EQ(surface.At(p.first, p.second), colour) << int{percent};
        }
    }
}

TEST(PercentBarPaintTest, NoRampOnASurfaceOfFewerThan16Bits) {
    TglProgress bar(nullptr);
    MakeRowBar(bar);
    bar.SetCaption("");
    bar.SetPercent(100);
    Surface surface;
    bar.Paint(surface.Fresh(225, 22, 8));
    EXPECT_EQ(surface.At(0, 0), kShadow);
    for (int x = 1; x <= 223; ++x) ASSERT_EQ(surface.At(x, 10), clBlack) << x;
}

TEST(PercentBarPaintTest, ComposedOffScreenAndShownWithOneCopy) {
    // Everything the bar draws lands in its own image first: the surface
    // ends up holding exactly the bar's image, whatever was there before.
    TglProgress bar(nullptr);
    MakeRowBar(bar);
    bar.SetPercent(45);
    Surface first;
    bar.Paint(first.Fresh(225, 22));
    Surface second;
    Canvas& canvas = second.Fresh(225, 22);
    canvas.FillRect(TRect{0, 0, 225, 22}, clYellow);
    bar.Paint(canvas);
    for (int y = 0; y < 22; ++y) {
        for (int x = 0; x < 225; ++x) ASSERT_EQ(second.At(x, y), first.At(x, y)) << x << "," << y;
    }
}

// ---------------------------------------------------------------- values and repaints

TEST(PercentBarTest, PercentIsStoredUncheckedAndDrivesTheFill) {
    TglProgress bar(nullptr);
    bar.SetCaption("[%d%%]");
    const struct {
        std::uint8_t percent;
        const char* caption;
    } cases[] = {{45, "[45%]"}, {0, "[0%]"}, {100, "[100%]"}, {150, "[150%]"}, {255, "[255%]"}};
    for (const auto& c : cases) {
        bar.SetPercent(c.percent);
        EXPECT_EQ(bar.Percent(), c.percent);
        EXPECT_EQ(bar.Gradient().PercentFilling(), c.percent);
        EXPECT_EQ(bar.CaptionText(), c.caption);
    }
}

TEST(PercentBarTest, WhatRepaintsAndHow) {
    using widget_test::Redraw;
    using F = std::function<void(TglProgress&)>;
    const struct {
        const char* what;
        F change;
        Redraw redraw;
    } cases[] = {
        {"Percent unchanged", [](TglProgress& b) { b.SetPercent(0); }, Redraw::None},
        {"Percent", [](TglProgress& b) { b.SetPercent(45); }, Redraw::AtOnce},
        // The ramp's fill starts at 100: the bar must show 100 all the same.
        {"Percent equal to the fill it already had", [](TglProgress& b) { b.SetPercent(100); }, Redraw::AtOnce},
        {"Caption", [](TglProgress& b) { b.SetCaption("x%d"); }, Redraw::AtOnce},
        {"BevelOuter, even unchanged", [](TglProgress& b) { b.SetBevelOuter(bvNone); }, Redraw::AtOnce},
        {"BevelInner asks for a repaint", [](TglProgress& b) { b.SetBevelInner(bvRaised); }, Redraw::Requested},
        {"Step, even unchanged", [](TglProgress& b) { b.SetStep(3); }, Redraw::AtOnce},
        {"Options", [](TglProgress& b) { b.SetOptions(fpoDelineatedText); }, Redraw::AtOnce},
        {"Colors", [](TglProgress& b) { b.Colors().SetShadow(clGray); }, Redraw::AtOnce},
        {"GradientBack", [](TglProgress& b) { b.GradientBack().SetActive(true); }, Redraw::AtOnce},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(widget_test::RedrawOf<TglProgress>(TRect::FromSize(5, 5, 225, 22), MakeRowBar, c.change), c.redraw) << c.what;
    }
}

TEST(PercentBarTest, PercentShowsInTheWindowAtOnce) {
    Window window(300, 40);
    TglProgress& bar = window.Add<TglProgress>(TRect::FromSize(5, 5, 225, 22));
    MakeRowBar(bar);
    window.form.PaintAll();
    EXPECT_EQ(window.At(5 + 3, 5 + 10), clBlack);
    bar.SetPercent(100);
    EXPECT_EQ(window.At(5 + 3, 5 + 10), RampColour(2));
}

}  // namespace
}  // namespace vx
