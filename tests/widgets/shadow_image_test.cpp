// The drop shadow, built once from what lies beneath it, and the
// background picture it usually lies on.
#include <gtest/gtest.h>

#include <memory>

#include "framework/stdctrls.h"
#include "widgets/pro_image.h"
#include "widgets/shadow.h"
#include "widgets/widget_fixture.h"

namespace vx {
namespace {

using widget_test::kSentinel;
using widget_test::Surface;
using widget_test::Window;

const TColor kWindow = ColorToRGB(clWindow);

// Every pixel its own colour, so a pixel taken from the wrong place shows.
Bitmap Pattern(int width, int height, int blue) {
    Bitmap b(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) b.SetPixel(x, y, RGB(x % 256, y % 256, blue));
    }
    return b;
}

struct ShadowWindow {
    Window window{200, 100};
    TProImage& picture = window.Add<TProImage>(TRect::FromSize(0, 0, 200, 100));
    TglShadow& shadow = window.Add<TglShadow>(TRect::FromSize(20, 30, 100, 40));

    ShadowWindow() {
        picture.SetPicture(Pattern(200, 100, 77));
        window.form.PaintAll();
    }
    // The colour the window shows at a pixel of the shadow widget.
    TColor At(int x, int y) const { return window.At(20 + x, 30 + y); }
};

// What the shadow widget (W 100, H 40, depth 6) must show at (x, y), given
// what lies beneath it.
TColor ExpectedShadowPixel(int x, int y, TColor beneath) {
    if (x <= 94 && y <= 34) return kWindow;  // the box, last column and row included
    if (x < 6 || y < 6) return beneath;      // outside the band: untouched
    return ((x - 6) + (y - 6)) % 2 == 0 ? clBlack : beneath;
}

TEST(ShadowTest, BoxAndAFiftyPercentDitherOfWhatLiesBeneath) {
    ShadowWindow w;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 100; ++x) {
            const TColor beneath = RGB((20 + x) % 256, 30 + y, 77);
            ASSERT_EQ(w.At(x, y), ExpectedShadowPixel(x, y, beneath)) << x << "," << y;
        }
    }
}

TEST(ShadowTest, BuiltOnceAndCopiedAtEveryPaint) {
    ShadowWindow w;
    const Bitmap first = w.shadow.ShadowImage();
    ASSERT_EQ(first.Width(), 94);
    ASSERT_EQ(first.Height(), 34);
    // A repaint of the shadow alone, and one of everything, must not darken
    // the dither further.
    w.shadow.DrawNow();
    w.window.form.PaintAll();
    for (int y = 6; y < 40; ++y) {
        for (int x = 95; x < 100; ++x) {
            ASSERT_EQ(w.At(x, y), ExpectedShadowPixel(x, y, RGB((20 + x) % 256, 30 + y, 77))) << x << "," << y;
        }
    }
    // What lies beneath is taken at the first paint only.
    w.picture.SetPicture(Pattern(200, 100, 200));
    w.window.form.PaintInvalid();
    EXPECT_EQ(w.At(97, 6), RGB(117, 36, 77)) << "the cached shadow";
    EXPECT_EQ(w.At(97, 0), RGB(117, 30, 200)) << "the new picture beside it";
    // A change of the shadow's own settings builds it again.
    w.shadow.SetShadowDepth(5);
    w.shadow.SetShadowDepth(6);
    w.window.form.PaintInvalid();
    EXPECT_EQ(w.At(97, 6), RGB(117, 36, 200));
}

TEST(ShadowTest, OnlyTheParentAndWhatLiesBelowGoIntoTheShadow) {
    Window window(200, 100);
    TPanel& panel = window.Add<TPanel>(TRect::FromSize(10, 10, 180, 80));
    panel.SetBevelOuter(bvNone);
    panel.SetColor(clTeal);
    TglShadow& shadow = window.form.Make<TglShadow>();
    shadow.SetParent(&panel);
    shadow.SetBounds(10, 10, 60, 30);
    TProImage& above = window.form.Make<TProImage>();
    above.SetParent(&panel);
    above.SetBounds(50, 30, 40, 40);
    above.SetPicture(Bitmap(40, 40, clLime));
    window.form.PaintAll();
    const Bitmap& image = shadow.ShadowImage();
    ASSERT_EQ(image.Width(), 54);
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            ASSERT_EQ(image.GetPixel(x, y), (x + y) % 2 == 0 ? clBlack : clTeal) << x << "," << y;
        }
    }
    EXPECT_EQ(window.At(10 + 50 + 5, 10 + 30 + 5), clLime) << "the control above still covers the shadow on screen";
}

TEST(ShadowTest, OpaqueShadowDithersTheButtonFace) {
    ShadowWindow w;
    w.shadow.SetTransparentShadow(false);
    w.window.form.PaintInvalid();
    EXPECT_EQ(w.At(97, 6), ColorToRGB(clBtnFace));
    EXPECT_EQ(w.At(96, 6), clBlack);
}

TEST(ShadowTest, WithoutShadowTheBoxFillsTheWidget) {
    TglShadow shadow(nullptr);
    shadow.SetBounds(0, 0, 30, 20);
    shadow.SetShadowed(false);
    Surface surface;
    shadow.Paint(surface.Fresh(31, 21));
    EXPECT_EQ(surface.At(29, 19), kWindow);
    EXPECT_EQ(surface.At(30, 20), kSentinel);
    // A depth beyond the widget's size leaves an empty box and no band.
    shadow.SetShadowed(true);
    shadow.SetShadowDepth(40);
    shadow.Paint(surface.Fresh(31, 21));
    EXPECT_EQ(surface.At(0, 0), kSentinel);
}

// ---------------------------------------------------------------- background picture

TEST(ProImageTest, PlacementsOfThePicture) {
    // A 2 x 2 picture: red, lime / blue, white.
    Bitmap picture(2, 2);
    picture.SetPixel(0, 0, clRed);
    picture.SetPixel(1, 0, clLime);
    picture.SetPixel(0, 1, clBlue);
    picture.SetPixel(1, 1, clWhite);
    const struct {
        const char* what;
        bool stretch, center, tiled;
        TPoint probe;
        TColor colour;
    } cases[] = {
        {"stretched: upper left quarter", true, false, false, {4, 4}, clRed},
        {"stretched: lower right quarter", true, false, false, {9, 9}, clWhite},
        {"stretched: upper right quarter", true, false, false, {5, 0}, clLime},
        {"at the top-left corner", false, false, false, {1, 1}, clWhite},
        {"nothing beyond it", false, false, false, {2, 2}, kSentinel},
        {"centred", false, true, false, {5, 4}, clLime},
        {"centred, nothing at the corner", false, true, false, {0, 0}, kSentinel},
        {"tiled", false, false, true, {8, 7}, clBlue},
        {"tiling wins over stretching", true, false, true, {8, 9}, clBlue},
    };
    for (const auto& c : cases) {
        TProImage image(nullptr);
        image.SetBounds(0, 0, 10, 10);
        image.SetPicture(picture);
        image.SetStretch(c.stretch);
        image.SetCenter(c.center);
        image.SetTiled(c.tiled);
        Surface surface;
        image.Paint(surface.Fresh(10, 10));
        EXPECT_EQ(surface.At(c.probe.X, c.probe.Y), c.colour) << c.what;
    }
}

}  // namespace
}  // namespace vx
