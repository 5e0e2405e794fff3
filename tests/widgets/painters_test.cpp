// The shared painters (bevels, gradients, styled text) and the description
// objects they draw, checked pixel by pixel on an off-screen surface.
#include "widgets/painters.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <vector>

#include "widgets/widget_fixture.h"

namespace vx {
namespace {

using widget_test::kHighlight;
using widget_test::kSentinel;
using widget_test::kShadow;
using widget_test::Surface;

// ---------------------------------------------------------------- gradients

struct RampResult {
    std::vector<TColor> columns;  // the colour of every column of row 1
    int lastFilled = -1;
    std::size_t bands = 0;  // runs of equal colour
};

RampResult DrawRamp(int width, int bitsPerPixel, int steps, std::uint8_t percent, TColor from = clRed, TColor to = clGreen) {
    Surface surface;
    Canvas& canvas = surface.Fresh(width + 2, 3, bitsPerPixel);
    TGradient g;
    g.SetActive(true);
    g.SetOrientation(fgdVertical);
    g.SetFromColor(from);
    g.SetToColor(to);
    g.SetSteps(steps);
    g.SetPercentFilling(percent);
    FillGradient(canvas, TRect{1, 0, width + 1, 3}, g);
    RampResult r;
    EXPECT_EQ(surface.At(0, 1), kSentinel) << "nothing left of the rectangle";
    EXPECT_EQ(surface.At(width + 1, 1), kSentinel) << "nothing on its exclusive right edge";
    for (int x = 1; x <= width; ++x) {
        const TColor c = surface.At(x, 1);
        r.columns.push_back(c);
        if (c == kSentinel) continue;
        r.lastFilled = x - 1;
        if (r.bands == 0 || c != r.columns[r.columns.size() - 2]) ++r.bands;
    }
    return r;
}

TEST(FillGradientTest, BandsFollowWidthStepsFillingAndDepth) {
    const struct {
        const char* what;
        int width, bits, steps;
        std::uint8_t percent;
        std::size_t bands;
        int lastFilled;
    } cases[] = {
        {"222 columns: one band per pixel", 222, 32, 255, 100, 222, 221},
        {"610 columns: 255 bands", 610, 32, 255, 100, 255, 609},
        {"50 percent over 222 bands stops after band 112 (band 111 is exactly 50)", 222, 32, 255, 50, 113, 112},
        {"0 percent still fills the first two bands", 222, 32, 255, 0, 2, 1},
        {"one step draws nothing", 222, 32, 1, 100, 0, -1},
        {"a surface of 256 colours gets no gradient", 222, 8, 255, 100, 0, -1},
        {"a surface of 15 bits gets none either", 222, 15, 255, 100, 0, -1},
        {"16 bits is enough", 222, 16, 255, 100, 222, 221},
        {"two steps: halves", 10, 32, 2, 100, 2, 9},
    };
    for (const auto& c : cases) {
        const RampResult r = DrawRamp(c.width, c.bits, c.steps, c.percent);
        EXPECT_EQ(r.bands, c.bands) << c.what;
        EXPECT_EQ(r.lastFilled, c.lastFilled) << c.what;
    }
}

TEST(FillGradientTest, InactiveDrawsNothing) {
    Surface surface;
    TGradient g;
    FillGradient(surface.Fresh(10, 10), TRect{0, 0, 10, 10}, g);
    EXPECT_EQ(surface.At(5, 5), kSentinel);
}

TEST(FillGradientTest, WideRampBandsAreTwoOrThreePixels) {
    // Red to green: every band has a colour of its own, so runs are bands.
    const RampResult r = DrawRamp(610, 32, 255, 100);
    std::vector<int> widths;
    int run = 1;
    for (std::size_t i = 1; i < r.columns.size(); ++i) {
        if (r.columns[i] == r.columns[i - 1]) {
            ++run;
        } else {
            widths.push_back(run);
            run = 1;
        }
    }
    widths.push_back(run);
    ASSERT_EQ(widths.size(), 255u);
    for (int w : widths) EXPECT_TRUE(w == 2 || w == 3) << w;
    // The overall bar's ramp: green (0, 128, 0) to lime (0, 255, 0).
    const RampResult overall = DrawRamp(610, 32, 255, 100, clGreen, clLime);
    EXPECT_EQ(overall.columns.front(), RGB(0, 128, 0));
    EXPECT_EQ(overall.columns[2], RGB(0, 129, 0)) << "band 1 starts at column 2: MulDiv(1, 610, 255) = 2";
    EXPECT_EQ(overall.columns.back(), RGB(0, 255, 0));
}

TEST(FillGradientTest, BandColoursRoundHalvesAwayFromZero) {
    // Column i of a 222-column red-to-green ramp: red 255 + MulDiv(i, -255, 221),
    // green MulDiv(i, 128, 221).
    const RampResult r = DrawRamp(222, 32, 255, 100);
    const struct {
        int column;
        TColor colour;
    } cases[] = {
        {0, RGB(255, 0, 0)},   {1, RGB(254, 1, 0)},  // -1.15 -> -1, 0.58 -> 1
        {3, RGB(252, 2, 0)},                         // -3.46 -> -3, 1.74 -> 2
        {13, RGB(240, 8, 0)},                        // -15.0 -> -15, 7.53 -> 8
        {221, RGB(0, 128, 0)},
    };
    for (const auto& c : cases) EXPECT_EQ(r.columns[static_cast<std::size_t>(c.column)], c.colour) << c.column;
}

// ---------------------------------------------------------------- description objects

TEST(GradientTest, StepsAreKeptBetweenOneAnd255) {
    const struct {
        int set;
        int stored;
    } cases[] = {{300, 255}, {256, 255}, {255, 255}, {254, 254}, {2, 2}, {1, 1}, {0, 1}, {-5, 1}};
    for (const auto& c : cases) {
        TGradient g;
        g.SetSteps(c.set);
        EXPECT_EQ(g.Steps(), c.stored) << "set " << c.set;
    }
}

TEST(GradientTest, NotifiesOnRealChangesOnly) {
    const auto none = [](TGradient&) {};
    const auto activate = [](TGradient& g) { g.SetActive(true); };
    const struct {
        const char* what;
        std::function<void(TGradient&)> prepare;  // before counting starts
        std::function<void(TGradient&)> act;
        int notices;
    } cases[] = {
        {"Active unchanged", none, [](TGradient& g) { g.SetActive(false); }, 0},
        {"Active changed", none, [](TGradient& g) { g.SetActive(true); }, 1},
        {"Orientation while inactive", none, [](TGradient& g) { g.SetOrientation(fgdVertical); }, 0},
        {"Orientation while active", activate, [](TGradient& g) { g.SetOrientation(fgdVertical); }, 1},
        {"Orientation unchanged while active", activate, [](TGradient& g) { g.SetOrientation(fgdHorizontal); }, 0},
        {"Steps kept at the value it has", none, [](TGradient& g) { g.SetSteps(300); }, 0},
        {"Steps changed", none, [](TGradient& g) { g.SetSteps(0); }, 1},
        {"PercentFilling unchanged", none, [](TGradient& g) { g.SetPercentFilling(100); }, 0},
        {"PercentFilling changed", none, [](TGradient& g) { g.SetPercentFilling(50); }, 1},
        {"FromColor unchanged", none, [](TGradient& g) { g.SetFromColor(clGray); }, 0},
        {"ToColor changed", none, [](TGradient& g) { g.SetToColor(clLime); }, 1},
        {"BufferedDraw unchanged", none, [](TGradient& g) { g.SetBufferedDraw(false); }, 0},
        {"BrushStyle notifies even unchanged", none, [](TGradient& g) { g.SetBrushStyle(bsSolid); }, 1},
    };
    for (const auto& c : cases) {
        TGradient g;
        c.prepare(g);
        int notices = 0;
        g.SetOnChange([&] { ++notices; });
        c.act(g);
        EXPECT_EQ(notices, c.notices) << c.what;
    }
}

TEST(GradientTest, SystemColoursAreResolvedWhenSet) {
    TGradient g;
    EXPECT_EQ(g.RGBFromColor(), clGray);
    EXPECT_EQ(g.RGBToColor(), clBlack);
    g.SetFromColor(clBtnFace);
    EXPECT_EQ(g.FromColor(), clBtnFace);
    EXPECT_EQ(g.RGBFromColor(), GetSysColor(15));
}

TEST(BevelObjectTest, NotifiesOnChangeOnly) {
    TglExtBevel bevel;
    int notices = 0;
    bevel.SetOnChange([&] { ++notices; });
    bevel.SetOuter(bvNone);
    bevel.SetSides(kAllBevelSides);
    bevel.SetActive(true);
    EXPECT_EQ(notices, 0);
    bevel.SetOuter(bvLowered);
    bevel.SetBold(true);
    bevel.SetInteriorOffset(1);
    EXPECT_EQ(notices, 3);
}

TEST(ColorShiftTest, ChannelsSaturate) {
    EXPECT_EQ(LightenColor(RGB(250, 10, 100), 30), RGB(255, 40, 130));
    EXPECT_EQ(DarkenColor(RGB(250, 10, 100), 30), RGB(220, 0, 70));
    EXPECT_EQ(LightenColor(RGB(255, 255, 246), 60), clWhite);
    EXPECT_EQ(DarkenColor(RGB(255, 255, 246), 60), RGB(195, 195, 186));
    EXPECT_EQ(LightenColor(clBtnFace, 30), LightenColor(GetSysColor(15), 30)) << "system colours are resolved first";
}

// ---------------------------------------------------------------- bevels

TEST(DrawBevelTest, CutsFollowTheirSideTable) {
    // The whole 7 x 6 surface after a bevel on (0, 0)-(5, 4), rows split by
    // '/': 'S' shadow, 'H' highlight, '.' untouched. Later sides overwrite
    // earlier ones where they cross.
    const struct {
        const char* what;
        TglBevelSides sides;
        TBevelCut outer, inner;
        TRect interior;
        const char* picture;
    } cases[] = {
        {"lowered", kAllBevelSides, bvLowered, bvNone, {1, 1, 4, 3}, "SSSSSH./S....H./S....H./S....H./HHHHHH./......."},
        {"raised", kAllBevelSides, bvRaised, bvNone, {1, 1, 4, 3}, "HHHHHS./H....S./H....S./H....S./SSSSSS./......."},
        {"space", kAllBevelSides, bvSpace, bvNone, {1, 1, 4, 3}, "SSSSSS./S....S./S....S./S....S./SSSSSS./......."},
        {"an inner cut alone", kAllBevelSides, bvNone, bvRaised, {1, 1, 4, 3}, "HHHHHS./H....S./H....S./H....S./SSSSSS./......."},
        {"two cuts", kAllBevelSides, bvLowered, bvRaised, {2, 2, 3, 2}, "SSSSSH./SHHHSH./SH..SH./SSSSSH./HHHHHH./......."},
        {"upper left", fsdLeft | fsdTop, bvLowered, bvNone, {1, 1, 5, 4}, "SSSSS../S....../S....../S....../......./......."},
        {"lower right", fsdRight | fsdBottom, bvRaised, bvNone, {0, 0, 4, 3}, ".....S./.....S./.....S./.....S./SSSSSS./......."},
        {"no cut", kAllBevelSides, bvNone, bvNone, {0, 0, 5, 4}, "......./......./......./......./......./......."},
    };
    for (const auto& c : cases) {
        Surface surface;
        Canvas& canvas = surface.Fresh(7, 6);
        EXPECT_EQ(DrawBevel(canvas, TRect{0, 0, 5, 4}, c.sides, c.outer, c.inner, false, false, clNone), c.interior) << c.what;
        EXPECT_EQ(widget_test::Picture(surface.Image(), {0, 0, 7, 6}, {{kShadow, 'S'}, {kHighlight, 'H'}, {kSentinel, '.'}}),
                  c.picture)
            << c.what;
    }
}

TEST(DrawBevelTest, CallerColoursAndFill) {
    Surface surface;
    Canvas& canvas = surface.Fresh(12, 12);
    const TRect interior = DrawBevel(canvas, TRect{0, 0, 9, 9}, kAllBevelSides, bvRaised, bvNone, false, true, clLime,
                                     BevelColors{clRed, clBlue, clBlack});
    EXPECT_EQ(interior, (TRect{1, 1, 8, 8}));
    EXPECT_EQ(surface.At(0, 0), clBlue);
    EXPECT_EQ(surface.At(9, 9), clRed);
    EXPECT_EQ(surface.At(1, 1), clLime);
    EXPECT_EQ(surface.At(8, 8), clLime) << "the interior's last column and row are filled";
    EXPECT_EQ(surface.At(10, 10), kSentinel);
    // Rectangles that are empty or reach off the surface draw without harm.
    for (const TRect& r : {TRect{2, 2, 1, 1}, TRect{-5, -5, 100, 100}}) {
        DrawBevel(canvas, r, kAllBevelSides, bvRaised, bvLowered, true, true, clLime);
    }
}

// ---------------------------------------------------------------- styled text

struct Copy {
    int dx, dy;
    TColor colour;
};

TEST(DrawStyledTextTest, EachStyleWritesItsCopiesInOrder) {
    const TColor font = clWhite, shadow = clBlack, highlight = clYellow, delineate = clBlue;
    const struct {
        const char* what;
        TglTextStyle style;
        bool delineated;
        int depth;
        std::vector<Copy> copies;
    } cases[] = {
        {"none", fstNone, false, 2, {{0, 0, font}}},
        {"shadow", fstShadow, false, 2, {{2, 2, shadow}, {0, 0, font}}},
        {"shadow of another depth", fstShadow, false, 4, {{4, 4, shadow}, {0, 0, font}}},
        {"raised", fstRaised, false, 2, {{0, 0, highlight}, {2, 2, shadow}, {1, 1, font}}},
        {"pushed", fstPushed, false, 2, {{1, 1, highlight}, {0, 0, shadow}}},
        {"delineated",
         fstNone,
         true,
         2,
         {{0, 0, delineate}, {2, 2, delineate}, {0, 2, delineate}, {2, 0, delineate}, {1, 1, font}}},
        {"delineated shadow",
         fstShadow,
         true,
         2,
         {{3, 3, shadow}, {0, 0, delineate}, {2, 2, delineate}, {0, 2, delineate}, {2, 0, delineate}, {1, 1, font}}},
        {"delineated raised",
         fstRaised,
         true,
         2,
         {{0, 0, highlight},
          {4, 4, shadow},
          {1, 1, delineate},
          {3, 3, delineate},
          {1, 3, delineate},
          {3, 1, delineate},
          {2, 2, font}}},
    };
    TFont f;
    f.SetName("MS Sans Serif");
    f.SetHeight(-11);
    const std::string text = "[45%]";
    const int x = 3, y = 2;
    for (const auto& c : cases) {
        Surface surface;
        const auto mask = surface.TextMask(f, text);
        Canvas& canvas = surface.Fresh(60, 24);
        DrawStyledText(canvas, x, y, f, text, c.style, c.delineated, font, shadow, highlight, delineate, TRect{0, 0, 60, 24},
                       c.depth);
        Bitmap expected(60, 24, kSentinel);
        for (const Copy& copy : c.copies) {
            for (const auto& [mx, my] : mask) expected.SetPixel(x + copy.dx + mx, y + copy.dy + my, copy.colour);
        }
        int wrong = 0;
        for (int py = 0; py < 24; ++py) {
            for (int px = 0; px < 60; ++px) wrong += surface.At(px, py) != expected.GetPixel(px, py);
        }
        EXPECT_EQ(wrong, 0) << c.what;
        EXPECT_EQ(canvas.Brush.Style, bsSolid) << c.what << ": the canvas is left as it was";
    }
}

// The widget tests draw every expected text through the widget's own font
// cache, so they would follow it to a wrong face; these letters of the
// window's default face (MS Sans Serif, 11 pixels) would not. GDI's letters
// on Windows are the system's (GdiGlyphSourceTest).
#if !defined(_WIN32)
TEST(TextMaskTest, IsTheDialogFacesOwnLettering) {
    if (!std::filesystem::exists("/usr/share/wine/fonts/ms_sans_serif.ttf")) GTEST_SKIP() << "fonts-wine is not installed";
    const char* const kLetters =
        "................../"
        "................../"
        "...#......#...###./"
        "...#.........#...#/"
        "..#.#........#...#/"
        "..#.#...####.#...#/"
        ".#...#.....#..###./"
        ".#####....#..#...#/"
        "#.....#..#...#...#/"
        "#.....#.#....#...#/"
        "#.....#.####..###./"
        "................../"
        "..................";
    Surface surface;
    const auto mask = surface.TextMask(TFont{}, "A\u017C8");
    Bitmap ink(40, 20, clBlack);
    for (const auto& [x, y] : mask) ink.SetPixel(x, y, clWhite);
    EXPECT_EQ(widget_test::Picture(ink, {0, 0, 18, 13}, {{clWhite, '#'}, {clBlack, '.'}}), kLetters);
}
#endif

TEST(DrawStyledTextTest, ClippedToTheGivenRectangle) {
    Surface surface;
    TFont f;
    Canvas& canvas = surface.Fresh(60, 24);
    DrawStyledText(canvas, 0, 0, f, "WWWWWW", fstShadow, false, clWhite, clBlack, clWhite, clGray, TRect{0, 0, 10, 24});
    for (int y = 0; y < 24; ++y) {
        for (int x = 10; x < 60; ++x) ASSERT_EQ(surface.At(x, y), kSentinel) << x << "," << y;
    }
}

}  // namespace
}  // namespace vx
