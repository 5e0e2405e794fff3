// Sections: Fills and lines; Shapes; Clipping; Text; Bitmaps.
#include "graphics/canvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace vx {
namespace {

// Every test starts on this colour, so a pixel drawn one too far shows up.
constexpr TColor kSentinel = RGB(1, 2, 3);
constexpr TColor kPen = RGB(200, 0, 0);
constexpr TColor kBrush = RGB(0, 0, 200);

class CanvasTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_fonts = std::make_unique<FontCache>(); }
    static void TearDownTestSuite() { s_fonts.reset(); }

    // A fresh sentinel-filled target with pen and brush in test colours.
    Canvas& Fresh(int width, int height) {
        m_bitmap = std::make_unique<Bitmap>(width, height, kSentinel);
        m_canvas = std::make_unique<Canvas>(*m_bitmap, *s_fonts);
        m_canvas->Pen.Color = kPen;
        m_canvas->Brush.Color = kBrush;
        return *m_canvas;
    }

    int Count(TColor color) const {
        int n = 0;
        for (int y = 0; y < m_bitmap->Height(); ++y) {
            for (int x = 0; x < m_bitmap->Width(); ++x) n += m_bitmap->GetPixel(x, y) == color ? 1 : 0;
        }
        return n;
    }
    bool Painted(int x, int y) const { return m_bitmap->GetPixel(x, y) != kSentinel; }
    // Bounding box (exclusive) of all pixels that are no longer the sentinel.
    TRect PaintedBounds() const {
        TRect bounds;
        for (int y = 0; y < m_bitmap->Height(); ++y) {
            for (int x = 0; x < m_bitmap->Width(); ++x) {
                if (Painted(x, y)) bounds = bounds.Union(TRect{x, y, x + 1, y + 1});
            }
        }
        return bounds;
    }
    std::vector<TPoint> PaintedPoints() const {
        std::vector<TPoint> points;
        for (int y = 0; y < m_bitmap->Height(); ++y) {
            for (int x = 0; x < m_bitmap->Width(); ++x) {
                if (Painted(x, y)) points.push_back({x, y});
            }
        }
        return points;
    }

    static std::unique_ptr<FontCache> s_fonts;
    std::unique_ptr<Bitmap> m_bitmap;
    std::unique_ptr<Canvas> m_canvas;
};

std::unique_ptr<FontCache> CanvasTest::s_fonts;

// ---------------------------------------------------------------- Fills and lines

TEST_F(CanvasTest, FillRectExcludesRightAndBottom) {
    struct Row {
        const char* comment;
        TPoint origin;
        TRect rect;
        int count;
        TRect bounds;
    };
    const Row rows[] = {
        {"3x3 from the corner is 9 pixels", {0, 0}, {0, 0, 3, 3}, 9, {0, 0, 3, 3}},
        {"zero width draws nothing", {0, 0}, {3, 3, 3, 8}, 0, {}},
        {"inverted rectangle draws nothing", {0, 0}, {5, 5, 2, 2}, 0, {}},
        {"cut by the left and top edge", {0, 0}, {-2, -2, 2, 2}, 4, {0, 0, 2, 2}},
        {"cut by the right and bottom edge", {0, 0}, {18, 18, 25, 25}, 4, {18, 18, 20, 20}},
        {"origin moves the rectangle", {5, 6}, {0, 0, 2, 2}, 4, {5, 6, 7, 8}},
    };
    for (const Row& row : rows) {
        Canvas& canvas = Fresh(20, 20);
        canvas.SetOrigin(row.origin);
        canvas.FillRect(row.rect);
        EXPECT_EQ(Count(kBrush), row.count) << row.comment;
        EXPECT_EQ(PaintedBounds(), row.bounds) << row.comment;
    }
}

TEST_F(CanvasTest, SystemColoursAreResolved) {
    Canvas& canvas = Fresh(4, 4);
    canvas.FillRect({0, 0, 1, 1}, clBtnFace);
    canvas.Brush.Style = bsClear;
    canvas.FillRect({1, 1, 4, 4});
    EXPECT_EQ(m_bitmap->Row(0)[0], 0xD4D0C8u);
    EXPECT_EQ(canvas.GetPixel(0, 0), RGB(212, 208, 200));
    EXPECT_EQ(Count(kSentinel), 15) << "a clear brush fills nothing";
    EXPECT_EQ(canvas.GetPixel(4, 0), clNone);
}

TEST_F(CanvasTest, LineToLeavesOutTheEndPoint) {
    struct Row {
        const char* comment;
        TPoint from;
        TPoint to;
        TPenStyle style;
        std::vector<TPoint> pixels;  // in the order PaintedPoints lists them
    };
    const Row rows[] = {
        {"rightwards", {1, 1}, {5, 1}, psSolid, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
        {"leftwards starts at the start point", {5, 1}, {1, 1}, psSolid, {{2, 1}, {3, 1}, {4, 1}, {5, 1}}},
        {"downwards", {2, 0}, {2, 3}, psSolid, {{2, 0}, {2, 1}, {2, 2}}},
        {"45 degrees", {0, 0}, {3, 3}, psSolid, {{0, 0}, {1, 1}, {2, 2}}},
        {"shallow slope 1/3", {0, 0}, {6, 2}, psSolid, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}},
        {"steep, drawn upwards", {2, 6}, {0, 0}, psSolid, {{0, 1}, {1, 2}, {1, 3}, {1, 4}, {2, 5}, {2, 6}}},
        {"zero length draws nothing", {3, 3}, {3, 3}, psSolid, {}},
        {"clear pen draws nothing", {0, 0}, {5, 0}, psClear, {}},
        {"dotted styles draw solid", {0, 2}, {3, 2}, psDot, {{0, 2}, {1, 2}, {2, 2}}},
    };
    for (const Row& row : rows) {
        Canvas& canvas = Fresh(10, 10);
        canvas.Pen.Style = row.style;
        canvas.MoveTo(row.from.X, row.from.Y);
        canvas.LineTo(row.to.X, row.to.Y);
        EXPECT_EQ(PaintedPoints(), row.pixels) << row.comment;
        EXPECT_EQ(canvas.PenPos(), row.to) << row.comment;
    }
}

// ---------------------------------------------------------------- Shapes

TEST_F(CanvasTest, ShapesStayInsideTheirBox) {
    struct Row {
        const char* comment;
        std::function<void(Canvas&)> draw;
        int penPixels;
        int brushPixels;
        TRect bounds;
    };
    const Row rows[] = {
        {"rectangle: outline on the last column and row, fill inside",
         [](Canvas& c) {
             c.Rectangle({1, 1, 5, 4});
         },
         10,
         2,
         {1, 1, 5, 4}},
        {"rectangle with swapped corners is the same",
         [](Canvas& c) {
             c.Rectangle({5, 4, 1, 1});
         },
         10,
         2,
         {1, 1, 5, 4}},
        {"rectangle without pen is one pixel smaller",
         [](Canvas& c) {
             c.Pen.Style = psClear;
             c.Rectangle({1, 1, 5, 4});
         },
         0,
         6,
         {1, 1, 4, 3}},
        {"rectangle with clear brush keeps the inside",
         [](Canvas& c) {
             c.Brush.Style = bsClear;
             c.Rectangle({1, 1, 5, 4});
         },
         10,
         0,
         {1, 1, 5, 4}},
        {"1x1 rectangle is one pen pixel",
         [](Canvas& c) {
             c.Rectangle({2, 2, 3, 3});
         },
         1,
         0,
         {2, 2, 3, 3}},
        {"inside-frame wide pen stays in the box",
         [](Canvas& c) {
             c.Pen.Width = 2;
             c.Pen.Style = psInsideFrame;
             c.Rectangle({1, 1, 7, 7});
         },
         32,
         4,
         {1, 1, 7, 7}},
        {"wide pen line is centred on the path",
         [](Canvas& c) {
             c.Pen.Width = 3;
             c.MoveTo(2, 5);
             c.LineTo(6, 5);
         },
         18,
         0,
         {1, 4, 7, 7}},
        {"frame is one pixel in the brush colour",
         [](Canvas& c) {
             c.FrameRect({1, 1, 5, 5});
         },
         0,
         12,
         {1, 1, 5, 5}},
        {"frame with clear brush draws nothing",
         [](Canvas& c) {
             c.Brush.Style = bsClear;
             c.FrameRect({1, 1, 5, 5});
         },
         0,
         0,
         {}},
        {"1x1 ellipse is a pixel",
         [](Canvas& c) {
             c.Ellipse({3, 3, 4, 4});
         },
         1,
         0,
         {3, 3, 4, 4}},
        {"2x2 ellipse is a square",
         [](Canvas& c) {
             c.Ellipse({3, 3, 5, 5});
         },
         4,
         0,
         {3, 3, 5, 5}},
        {"1-wide ellipse is a column",
         [](Canvas& c) {
             c.Ellipse({3, 3, 4, 8});
         },
         5,
         0,
         {3, 3, 4, 8}},
        {"zero-wide ellipse draws nothing",
         [](Canvas& c) {
             c.Ellipse({3, 3, 3, 8});
         },
         0,
         0,
         {}},
        {"ellipse follows the origin",
         [](Canvas& c) {
             c.SetOrigin({4, 5});
             c.Ellipse({0, 0, 2, 2});
         },
         4,
         0,
         {4, 5, 6, 7}},
    };
    for (const Row& row : rows) {
        Canvas& canvas = Fresh(12, 12);
        row.draw(canvas);
        EXPECT_EQ(Count(kPen), row.penPixels) << row.comment;
        EXPECT_EQ(Count(kBrush), row.brushPixels) << row.comment;
        EXPECT_EQ(PaintedBounds(), row.bounds) << row.comment;
    }
}

TEST_F(CanvasTest, EllipseIsASymmetricCircleInsideItsBox) {
    Canvas& canvas = Fresh(15, 15);
    canvas.Ellipse({2, 2, 14, 14});
    // Touches columns and rows 2 and 13, not 1 or 14.
    EXPECT_EQ(PaintedBounds(), (TRect{2, 2, 14, 14}));
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 15; ++x) {
            // The box's centre is 7.5, so pixel x mirrors onto 15 - x.
            const int mx = 15 - x;
            const int my = 15 - y;
            if (mx < 15 && my < 15) {
                EXPECT_EQ(Painted(x, y), Painted(mx, y)) << x << "," << y;
                EXPECT_EQ(Painted(x, y), Painted(x, my)) << x << "," << y;
            }
            EXPECT_EQ(Painted(x, y), Painted(y, x)) << "a circle is its own transpose at " << x << "," << y;
        }
    }
    // The middle rows reach from column 2 to 13 with the pen at both ends.
    for (int y : {7, 8}) {
        EXPECT_EQ(canvas.GetPixel(2, y), kPen);
        EXPECT_EQ(canvas.GetPixel(13, y), kPen);
        EXPECT_EQ(canvas.GetPixel(3, y), kBrush);
    }
    EXPECT_EQ(canvas.GetPixel(7, 7), kBrush);
    // Each row of the outline is closed: the first and last pixel are pen.
    for (int y = 2; y < 14; ++y) {
        int first = 0;
        while (!Painted(first, y)) ++first;
        int last = 14;
        while (!Painted(last, y)) --last;
        EXPECT_EQ(canvas.GetPixel(first, y), kPen) << y;
        EXPECT_EQ(canvas.GetPixel(last, y), kPen) << y;
    }
}

// ---------------------------------------------------------------- Clipping

TEST_F(CanvasTest, ClipHoleIsRespected) {
    const TRect hole{10, 5, 20, 25};
    struct Row {
        const char* comment;
        std::function<void(Canvas&)> draw;
    };
    const Row rows[] = {
        {"fill",
         [](Canvas& c) {
             c.FillRect({0, 0, 40, 30});
         }},
        {"line",
         [](Canvas& c) {
             c.MoveTo(0, 15);
             c.LineTo(40, 12);
         }},
        {"wide line",
         [](Canvas& c) {
             c.Pen.Width = 4;
             c.MoveTo(0, 15);
             c.LineTo(40, 15);
         }},
        {"ellipse",
         [](Canvas& c) {
             c.Ellipse({2, 2, 38, 28});
         }},
        {"text with background", [](Canvas& c) { c.TextOut(1, 8, "HHHHHHHH"); }},
        {"text only",
         [](Canvas& c) {
             c.Brush.Style = bsClear;
             c.TextOut(1, 8, "HHHHHHHH");
         }},
    };
    for (const Row& row : rows) {
        // The same drawing without the hole is the reference for every pixel
        // outside it.
        Canvas& reference = Fresh(40, 30);
        row.draw(reference);
        const Bitmap expected = *m_bitmap;

        Canvas& canvas = Fresh(40, 30);
        Region clip(TRect{0, 0, 40, 30});
        clip.Subtract(hole);
        canvas.SetClip(clip);
        row.draw(canvas);
        int drawnOutside = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                if (hole.Contains(x, y)) {
                    ASSERT_FALSE(Painted(x, y)) << row.comment << " at " << x << "," << y;
                } else {
                    ASSERT_EQ(m_bitmap->GetPixel(x, y), expected.GetPixel(x, y)) << row.comment << " at " << x << "," << y;
                    drawnOutside += Painted(x, y) ? 1 : 0;
                }
            }
        }
        EXPECT_GT(drawnOutside, 0) << row.comment;
    }
}

TEST_F(CanvasTest, ClipFollowsOriginAndStateIsRestored) {
    Canvas& canvas = Fresh(20, 20);
    {
        Canvas::StateSaver saver(canvas);
        canvas.SetOrigin({5, 5});
        canvas.IntersectClip({0, 0, 4, 4});
        canvas.Brush.Color = kPen;
        canvas.FillRect({-5, -5, 20, 20});
        EXPECT_EQ(canvas.Clip().Bounds(), (TRect{5, 5, 9, 9}));
    }
    EXPECT_EQ(PaintedBounds(), (TRect{5, 5, 9, 9}));
    EXPECT_EQ(Count(kPen), 16);
    EXPECT_EQ(canvas.Origin(), (TPoint{0, 0}));
    EXPECT_EQ(canvas.Brush.Color, kBrush);
    EXPECT_EQ(canvas.Clip().Bounds(), (TRect{0, 0, 20, 20}));

    canvas.SetClip(Region(TRect{0, 0, 1, 1}));
    canvas.ResetClip();
    canvas.FillRect({0, 0, 20, 20});
    EXPECT_EQ(Count(kBrush), 400);
}

// ---------------------------------------------------------------- Text

TEST_F(CanvasTest, TextCellAndBaseline) {
    Canvas& canvas = Fresh(120, 40);
    canvas.Font.SetColor(kPen);
    FontFace& face = canvas.CurrentFace();
    const int ascent = face.Metrics().ascent;
    const TSize extent = canvas.TextExtent("Hello");
    const TRect cell = TRect::FromSize(10, 5, extent.cx, extent.cy);
    int advances = 0;
    for (char c : std::string("Hello")) advances += face.GlyphFor(static_cast<char32_t>(c)).advance;
    ASSERT_EQ(extent, (TSize{advances, face.Metrics().height()}));

    // Solid brush: exactly the cell is painted.
    canvas.TextOut(10, 5, "Hello");
    EXPECT_EQ(PaintedBounds(), cell);
    EXPECT_EQ(Count(kSentinel), 120 * 40 - extent.cx * extent.cy);
    EXPECT_GT(Count(kPen), 0);

    // Clear brush: only glyph pixels, inside the cell, and H stands on the
    // baseline (its lowest row is the one just above it).
    Canvas& clear = Fresh(120, 40);
    clear.Font.SetColor(kPen);
    clear.Brush.Style = bsClear;
    clear.TextOut(10, 5, "H");
    EXPECT_EQ(Count(kPen) + Count(kSentinel), 120 * 40) << "only glyph pixels in the font colour";
    const TRect ink = PaintedBounds();
    EXPECT_EQ(ink.Bottom, 5 + ascent);
    EXPECT_EQ(ink.Union(cell), cell);
}

TEST_F(CanvasTest, TextRectClipsBackgroundAndGlyphs) {
    Canvas& canvas = Fresh(120, 40);
    canvas.SetOrigin({3, 2});
    const TRect clip{12, 4, 30, 9};
    canvas.TextRect(clip, 10, 3, "Hello world");
    EXPECT_EQ(PaintedBounds(), clip.Offset(3, 2));
}

// ---------------------------------------------------------------- Bitmaps

TEST_F(CanvasTest, BitmapDrawing) {
    // Source pixel (x, y) has colour RGB(10 + x, 20 + y, 99); one is "magenta".
    Bitmap source(4, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) source.SetPixel(x, y, RGB(10 + x, 20 + y, 99));
    }
    source.SetPixel(1, 1, clFuchsia);
    const auto src = [](int x, int y) { return RGB(10 + x, 20 + y, 99); };

    struct Check {
        TPoint at;  // target coordinates
        TColor color;
    };
    struct Row {
        const char* comment;
        std::function<void(Canvas&)> draw;
        int painted;
        std::vector<Check> checks;
    };
    const Row rows[] = {
        {"draw at a point with origin",
         [&](Canvas& c) {
             c.SetOrigin({1, 0});
             c.Draw(2, 3, source);
         },
         16,
         {{{3, 3}, src(0, 0)}, {{6, 6}, src(3, 3)}, {{7, 3}, kSentinel}}},
        {"draw partly off the target", [&](Canvas& c) { c.Draw(-2, -3, source); }, 2, {{{0, 0}, src(2, 3)}, {{1, 0}, src(3, 3)}}},
        {"draw inside a clip",
         [&](Canvas& c) {
             c.IntersectClip({0, 0, 2, 10});
             c.Draw(0, 0, source);
         },
         8,
         {{{1, 3}, src(1, 3)}, {{2, 0}, kSentinel}}},
        {"transparent colour is skipped",
         [&](Canvas& c) { c.DrawTransparent(0, 0, source, clFuchsia); },
         15,
         {{{1, 1}, kSentinel}, {{2, 1}, src(2, 1)}}},
        {"stretch up doubles each pixel",
         [&](Canvas& c) {
             c.StretchDraw({0, 0, 8, 8}, source);
         },
         64,
         {{{0, 0}, src(0, 0)}, {{1, 1}, src(0, 0)}, {{2, 2}, clFuchsia}, {{7, 7}, src(3, 3)}, {{8, 8}, kSentinel}}},
        {"stretch down samples pixel centres",
         [&](Canvas& c) {
             c.StretchDraw({0, 0, 2, 2}, source);
         },
         4,
         {{{0, 0}, clFuchsia}, {{1, 0}, src(3, 1)}, {{1, 1}, src(3, 3)}}},
        {"copy a part",
         [&](Canvas& c) {
             c.CopyRect({5, 5, 7, 6}, source, {2, 3, 4, 4});
         },
         2,
         {{{5, 5}, src(2, 3)}, {{6, 5}, src(3, 3)}}},
        {"source rectangle beyond the bitmap copies only what exists",
         [&](Canvas& c) {
             c.CopyRect({0, 0, 3, 3}, source, {2, 2, 5, 5});
         },
         4,
         {{{1, 1}, src(3, 3)}}},
    };
    for (const Row& row : rows) {
        Canvas& canvas = Fresh(10, 10);
        row.draw(canvas);
        EXPECT_EQ(static_cast<int>(PaintedPoints().size()), row.painted) << row.comment;
        for (const Check& check : row.checks) {
            EXPECT_EQ(m_bitmap->GetPixel(check.at.X, check.at.Y), check.color)
                << row.comment << " at " << check.at.X << "," << check.at.Y;
        }
    }
}

TEST_F(CanvasTest, CopyWithinTheSameBitmapReadsTheOriginal) {
    Canvas& canvas = Fresh(6, 1);
    for (int x = 0; x < 6; ++x) canvas.SetPixel(x, 0, RGB(x, 0, 0));
    canvas.CopyRect({1, 0, 6, 1}, *m_bitmap, {0, 0, 5, 1});
    for (int x = 1; x < 6; ++x) EXPECT_EQ(canvas.GetPixel(x, 0), RGB(x - 1, 0, 0)) << x;
}

}  // namespace
}  // namespace vx
