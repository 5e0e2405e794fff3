// The digit display: where each segment lands, the text it shows, and which
// changes draw at once over the current image and which ask for a repaint.
#include "widgets/digits.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <set>
#include <string>
#include <utility>

#include "widgets/widget_fixture.h"

namespace vx {
namespace {

using widget_test::kSentinel;
using widget_test::NumericLocale;
using widget_test::Surface;
using widget_test::Window;
using Pixels = std::set<std::pair<int, int>>;

// A display set up as every display of the window is.
void MakeRowDisplay(TglDigits& d) {
    d.SetBounds(d.Left(), d.Top(), 129, 22);
    d.DigitSize().SetX(8);
    d.DigitSize().SetY(15);
    d.SetActiveColor(clLime);
    d.SetPassiveColor(clNavy);
    d.SetDigitCount(0);
    d.Bevel().SetOuter(bvLowered);
    d.Gradient().SetActive(true);
    d.Gradient().SetOrientation(fgdVertical);
    d.Gradient().SetFromColor(clGray);
    d.Gradient().SetToColor(clBlack);
}

// The lit pixels of one character cell at x0 (digit size 8 x 15, gap 1,
// pen 1, top 3): segments in the order top, middle, bottom, upper left,
// upper right, lower left, lower right.
Pixels Cell(int x0, unsigned mask) {
    Pixels p;
    const int rows[3] = {3, 10, 18};
    for (int s = 0; s < 3; ++s) {
        if ((mask & (1u << s)) == 0) continue;
        for (int x = x0 + 1; x <= x0 + 7; ++x) p.emplace(x, rows[s]);
    }
    const struct { int bit, x, from, to; } verticals[] = {{3, x0, 4, 9}, {4, x0 + 8, 4, 9}, {5, x0, 12, 17}, {6, x0 + 8, 12, 17}};
    for (const auto& v : verticals) {
        if ((mask & (1u << v.bit)) == 0) continue;
        for (int y = v.from; y <= v.to; ++y) p.emplace(v.x, y);
    }
    return p;
}

Pixels Union(std::initializer_list<Pixels> parts) {
    Pixels all;
    for (const Pixels& p : parts) all.insert(p.begin(), p.end());
    return all;
}

Pixels LitPixels(const Surface& surface, int width, int height) {
    Pixels lit;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (surface.At(x, y) == clLime) lit.emplace(x, y);
        }
    }
    return lit;
}

constexpr unsigned kMask[10] = {0x7D, 0x50, 0x37, 0x57, 0x5A, 0x4F, 0x6F, 0x51, 0x7F, 0x5F};

// The lowered frame of a 129 x 22 display: top, left, right, bottom edges.
const std::string kLoweredFrame =
    std::string(128, 'S') + "H|" + std::string(21, 'S') + "H|" + std::string(22, 'H') + '|' + std::string(129, 'H');

TEST(DigitsLayoutTest, ValuesLandOnTheDocumentedPixels) {
    NumericLocale polish("pl_PL.UTF-8");
    ASSERT_TRUE(polish.Active()) << "the pl_PL.UTF-8 locale is missing (scripts/setup.sh installs it)";
    const struct {
        double value;
        Pixels lit;
    } cases[] = {
        // "18": S = 25, start (127 - 25) / 2 + 3 = 54; cells at 54 and 65.
        {18, Union({Cell(54, kMask[1]), Cell(65, kMask[8])})},
        // "12,5": S = 39, start 47; the comma is the single pixel (69, 18).
        {12.5, Union({Cell(47, kMask[1]), Cell(58, kMask[2]), Pixels{{69, 18}}, Cell(72, kMask[5])})},
        // A display never set shows the single digit 0: S = 14, start 59.
        {0, Cell(59, kMask[0])},
        // "7": the same start as "0".
        {7, Cell(59, kMask[7])},
    };
    for (const auto& c : cases) {
        TglDigits digits(nullptr);
        MakeRowDisplay(digits);
        digits.SetValue(c.value);
        Surface surface;
        digits.Paint(surface.Fresh(129, 22));
        EXPECT_EQ(LitPixels(surface, 129, 22), c.lit) << c.value;
        EXPECT_EQ(widget_test::FrameEdges(surface.Image(), 129, 22), kLoweredFrame) << c.value;
        EXPECT_EQ(surface.At(1, 10), RGB(127, 127, 127)) << c.value << ": column 0 of the ramp is gray (128), under the frame";
        EXPECT_EQ(surface.At(127, 10), RGB(1, 1, 1)) << c.value;
    }
}

TEST(DigitsLayoutTest, APeriodCountsAsAFullCellWhenCentring) {
    NumericLocale c("C");
    TglDigits digits(nullptr);
    MakeRowDisplay(digits);
    digits.SetValue(12.5);
    ASSERT_EQ(digits.Text(), "12.5");
    Surface surface;
    digits.Paint(surface.Fresh(129, 22));
    // S = 11 + 11 + 11 + 11 + 3 = 47: start 43, yet the point advances by 3 only.
    EXPECT_EQ(LitPixels(surface, 129, 22), Union({Cell(43, kMask[1]), Cell(54, kMask[2]), Pixels{{65, 18}}, Cell(68, kMask[5])}));
}

TEST(DigitsLayoutTest, EveryDigitLightsItsSegments) {
    for (int digit = 0; digit <= 9; ++digit) {
        TglDigits digits(nullptr);
        MakeRowDisplay(digits);
        digits.SetValue(digit);
        Surface surface;
        digits.Paint(surface.Fresh(129, 22));
        EXPECT_EQ(LitPixels(surface, 129, 22), Cell(59, kMask[digit])) << digit;
    }
}

TEST(DigitsLayoutTest, AlignmentsAndTextPadding) {
    const struct {
        const char* what;
        TAlignment alignment;
        int digitCount;
        int positions;
        Pixels lit;
    } cases[] = {
        {"left", taLeftJustify, 0, 0, Union({Cell(3, kMask[1]), Cell(14, kMask[8])})},
        // A - S + 3 = 127 - 25 + 3
        {"right", taRightJustify, 0, 0, Union({Cell(105, kMask[1]), Cell(116, kMask[8])})},
        {"zeros appended up to DigitCount", taLeftJustify, 3, 0,
         Union({Cell(3, kMask[1]), Cell(14, kMask[8]), Cell(25, kMask[0])})},
        {"blanks in front up to Positions", taLeftJustify, 0, 3, Union({Cell(14, kMask[1]), Cell(25, kMask[8])})},
    };
    for (const auto& c : cases) {
        TglDigits digits(nullptr);
        MakeRowDisplay(digits);
        digits.SetAlignment(c.alignment);
        digits.SetDigitCount(c.digitCount);
        digits.SetPositions(static_cast<std::uint16_t>(c.positions));
        digits.SetValue(18);
        Surface surface;
        digits.Paint(surface.Fresh(129, 22));
        EXPECT_EQ(LitPixels(surface, 129, 22), c.lit) << c.what;
    }
}

TEST(DigitsLayoutTest, CharactersStartingPastTheWidthAreNotDrawn) {
    TglDigits digits(nullptr);
    MakeRowDisplay(digits);
    digits.SetAlignment(taLeftJustify);
    digits.SetDigitCount(20);  // "18" and eighteen zeros: far wider than the display
    digits.SetValue(18);
    Surface surface;
    digits.Paint(surface.Fresh(170, 22));
    // Cells start at 3 + 11k; the one at 124 still starts inside (and reaches
    // 132), the one at 135 does not.
    EXPECT_EQ(surface.At(132, 5), clLime);
    for (int y = 0; y < 22; ++y) {
        for (int x = 133; x < 170; ++x) ASSERT_NE(surface.At(x, y), clLime) << x << "," << y;
    }
}

TEST(DigitsLayoutTest, UndrawableCharactersStopTheDrawingSilently) {
    const struct {
        double value;
        Pixels lit;  // left-aligned cells at 3, 14, ...
    } cases[] = {
        {-18, {}},                                      // the minus sign comes first: nothing is drawn
        {1e20, Cell(3, kMask[1])},                      // "1E20": the exponent stops it after the 1
        {std::numeric_limits<double>::infinity(), {}},  // "INF"
    };
    for (const auto& c : cases) {
        TglDigits digits(nullptr);
        MakeRowDisplay(digits);
        digits.SetAlignment(taLeftJustify);
        digits.SetValue(c.value);
        Surface surface;
        digits.Paint(surface.Fresh(129, 22));
        EXPECT_EQ(LitPixels(surface, 129, 22), c.lit) << c.value;
        EXPECT_EQ(widget_test::FrameEdges(surface.Image(), 129, 22), kLoweredFrame) << c.value << ": the frame is drawn as usual";
        EXPECT_EQ(surface.At(60, 1), RGB(68, 68, 68)) << c.value << ": and the ramp beneath";
    }
}

TEST(DigitsLayoutTest, WithoutGradientDepthTheDigitsStandOnTheParent) {
    TglDigits digits(nullptr);
    MakeRowDisplay(digits);
    digits.SetValue(18);
    Surface surface;
    digits.Paint(surface.Fresh(129, 22, 8));
    EXPECT_EQ(surface.At(30, 10), kSentinel) << "no ramp, and no solid background either";
    EXPECT_EQ(surface.At(62, 5), clLime);
    EXPECT_EQ(surface.At(54, 5), kSentinel) << "unlit segments are not drawn while the gradient is active";
}

TEST(DigitsLayoutTest, SolidBackgroundOnlyWhenErasingAndUnlitSegmentsInThePassiveColour) {
    NumericLocale polish("pl_PL.UTF-8");
    ASSERT_TRUE(polish.Active());
    TglDigits digits(nullptr);
    MakeRowDisplay(digits);
    digits.Gradient().SetActive(false);
    digits.SetAlignment(taLeftJustify);
    Surface surface;
    Canvas& canvas = surface.Fresh(129, 22);
    digits.SetValue(8);
    digits.Paint(canvas);
    EXPECT_EQ(surface.At(100, 10), clBlack) << "the first paint erases";

    // The same length draws over the current image: no erasing, and the
    // segments 7 leaves unlit are drawn in the passive colour.
    canvas.SetPixel(100, 10, clRed);
    digits.SetValue(7);
    digits.Paint(canvas);
    EXPECT_EQ(surface.At(100, 10), clRed);
    EXPECT_EQ(surface.At(5, 10), clNavy) << "the middle segment of 7 is unlit";
    EXPECT_EQ(surface.At(5, 3), clLime);

    // Every paint ends with the erase flag set, so the next one erases.
    digits.Paint(canvas);
    EXPECT_EQ(surface.At(100, 10), clBlack);

    // A decimal point that moves makes the paint erase the old one.
    digits.SetValue(1.5);  // "1,5", the point at position 2
    digits.Paint(canvas);
    digits.SetValue(12.5);  // different length: erases anyway
    digits.Paint(canvas);
    canvas.SetPixel(100, 10, clRed);
    digits.SetValue(1.25);  // "1,25": same length, the point moved from 3 to 2
    digits.Paint(canvas);
    EXPECT_EQ(surface.At(100, 10), clBlack);
}

// ---------------------------------------------------------------- repaints

using widget_test::Counting;
using widget_test::Redraw;
using widget_test::RedrawOf;

TEST(DigitsRepaintTest, ValueChangesDrawAtOnceOrAskForARepaint) {
    Window window(200, 40);
    Counting<TglDigits>& digits = window.Add<Counting<TglDigits>>(TRect::FromSize(10, 10, 129, 22));
    MakeRowDisplay(digits);
    window.form.PaintAll();
    const struct {
        double value;
        Redraw redraw;
    } steps[] = {
        {7, Redraw::Requested},                              // the first value: the text's length is not known yet
        {7, Redraw::None},                                   // the same value draws nothing
        {8, Redraw::AtOnce},                                 // same length: over the current image
        {9, Redraw::AtOnce},       {10, Redraw::Requested},  // a new length: erased and repainted
        {12.5, Redraw::Requested}, {-1, Redraw::Requested},
    };
    for (const auto& s : steps) {
        window.form.PaintInvalid();
        digits.paints = 0;
        digits.SetValue(s.value);
        const Redraw redraw = window.form.HasInvalid() ? Redraw::Requested : digits.paints > 0 ? Redraw::AtOnce : Redraw::None;
        EXPECT_EQ(redraw, s.redraw) << s.value;
    }
}

TEST(DigitsRepaintTest, EachSetterFollowsItsRule) {
    using F = std::function<void(TglDigits&)>;
    const struct {
        const char* what;
        F change;
        Redraw redraw;
    } cases[] = {
        {"ActiveColor", [](TglDigits& d) { d.SetActiveColor(clRed); }, Redraw::AtOnce},
        {"ActiveColor unchanged", [](TglDigits& d) { d.SetActiveColor(clLime); }, Redraw::None},
        {"PassiveColor", [](TglDigits& d) { d.SetPassiveColor(clRed); }, Redraw::AtOnce},
        {"PenStyle", [](TglDigits& d) { d.SetPenStyle(psDot); }, Redraw::AtOnce},
        {"InsertSpSymbolAt", [](TglDigits& d) { d.SetInsertSpSymbolAt(1); }, Redraw::AtOnce},
        {"BackgrColor", [](TglDigits& d) { d.SetBackgrColor(clRed); }, Redraw::Requested},
        {"BackgrColor unchanged", [](TglDigits& d) { d.SetBackgrColor(clBlack); }, Redraw::None},
        {"Positions", [](TglDigits& d) { d.SetPositions(4); }, Redraw::Requested},
        {"PenWidth", [](TglDigits& d) { d.SetPenWidth(2); }, Redraw::Requested},
        {"Interspace", [](TglDigits& d) { d.SetInterspace(4); }, Redraw::Requested},
        {"Gap", [](TglDigits& d) { d.SetGap(2); }, Redraw::Requested},
        {"Transparent", [](TglDigits& d) { d.SetTransparent(true); }, Redraw::Requested},
        {"Alignment", [](TglDigits& d) { d.SetAlignment(taLeftJustify); }, Redraw::Requested},
        {"InteriorOffset", [](TglDigits& d) { d.SetInteriorOffset(1); }, Redraw::Requested},
        {"SpecialSymbol", [](TglDigits& d) { d.SetSpecialSymbol(ssSlash); }, Redraw::Requested},
        {"SpecialSymbol unchanged", [](TglDigits& d) { d.SetSpecialSymbol(ssNone); }, Redraw::None},
        {"DigitCount", [](TglDigits& d) { d.SetDigitCount(-1); }, Redraw::Requested},
        {"DigitSize", [](TglDigits& d) { d.DigitSize().SetX(9); }, Redraw::AtOnce},
        {"Bevel", [](TglDigits& d) { d.Bevel().SetOuter(bvRaised); }, Redraw::AtOnce},
        {"Gradient", [](TglDigits& d) { d.Gradient().SetToColor(clNavy); }, Redraw::AtOnce},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RedrawOf<TglDigits>(TRect::FromSize(10, 10, 129, 22), MakeRowDisplay, c.change), c.redraw) << c.what;
    }
    TglDigits digits(nullptr);
    digits.SetSpecialSymbol(ssColon);
    digits.SetInsertSpSymbolAt(2);
    digits.SetSpecialSymbol(ssNone);
    EXPECT_EQ(digits.InsertSpSymbolAt(), -1) << "no symbol, no position";
}

}  // namespace
}  // namespace vx
