// The ">>" advice link: its enabled and disabled looks, its size, and a
// hover that changes nothing but the pointer.
#include "widgets/label.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widgets/widget_fixture.h"

namespace vx {
namespace {

using widget_test::kHighlight;
using widget_test::kSentinel;
using widget_test::kShadow;
using widget_test::Surface;
using widget_test::Window;

TFont LinkFont() {
    TFont f;
    f.SetName("Arial");
    f.SetHeight(-11);
    f.SetStyle(fsBold);
    return f;
}

void MakeLink(TglLabel& link) {
    link.SetCaption(">>");
    link.Font().Assign(LinkFont());
    link.SetCursor(crHandPoint);
}

struct TextCopy {
    int dx, dy;
    TColor colour;
};

TEST(LabelPaintTest, EnabledAndDisabledCopies) {
    const struct {
        const char* what;
        bool enabled;
        std::vector<TextCopy> copies;
    } cases[] = {
        // Raised: highlight at (0, 0), shadow at (2, 2), the black text at (1, 1).
        {"enabled", true, {{0, 0, kHighlight}, {2, 2, kShadow}, {1, 1, clBlack}}},
        // Pushed: highlight at (1, 1) under the shadow at (0, 0).
        {"disabled", false, {{1, 1, kHighlight}, {0, 0, kShadow}}},
    };
    for (const auto& c : cases) {
        Window window(100, 40);
        TglLabel& link = window.Add<TglLabel>(TRect::FromSize(10, 5, 14, 16));
        MakeLink(link);
        link.SetEnabled(c.enabled);
        window.form.PaintAll();
        Surface surface;
        const auto mask = surface.TextMask(LinkFont(), ">>");
        Bitmap expected(window.form.Width(), window.form.Height(), kSentinel);
        for (const TextCopy& copy : c.copies) {
            for (const auto& [mx, my] : mask) {
                const int x = copy.dx + mx;
                const int y = copy.dy + my;
                // Clipped to the label.
                if (x < link.Width() && y < link.Height()) expected.SetPixel(10 + x, 5 + y, copy.colour);
            }
        }
        int wrong = 0;
        for (int y = 0; y < window.form.Height(); ++y) {
            for (int x = 0; x < window.form.Width(); ++x) wrong += window.At(x, y) != expected.GetPixel(x, y);
        }
        EXPECT_EQ(wrong, 0) << c.what << ": a transparent label paints only its text";
    }
}

TEST(LabelPaintTest, AutoSizeTakesTheTextsSize) {
    Window window(100, 40);
    TglLabel& link = window.Add<TglLabel>(TRect::FromSize(612, 10, 14, 16));
    MakeLink(link);
    Surface surface;
    const TSize text = surface.TextSize(LinkFont(), ">>");
    // w = cx + trunc(cx * 0.01) + 2, h = cy + 2
    EXPECT_EQ(link.Width(), text.cx + text.cx / 100 + 2);
    EXPECT_EQ(link.Height(), text.cy + 2);
    link.Illumination().SetShadowDepth(4);
    link.TextStyles().SetPassive(fstShadow);
    EXPECT_EQ(link.Width(), text.cx + text.cx / 100 + 2 + 4) << "a shadow style adds its depth";
    EXPECT_EQ(link.Height(), text.cy + 2 + 4);
}

TEST(LabelTest, HoverChangesNothingButThePointer) {
    Window window(100, 40);
    TglLabel& link = window.Add<TglLabel>(TRect::FromSize(10, 5, 14, 16));
    MakeLink(link);
    link.SetEnabled(true);
    window.form.PaintAll();
    window.app.ProcessMessages();
    const Bitmap before = window.form.Image();
    window.backend.presentCount = 0;

    window.form.HandleMouseMove(0, 12, 8);
    EXPECT_TRUE(link.IsActive());
    EXPECT_FALSE(window.form.HasInvalid());
    window.app.ProcessMessages();
    EXPECT_EQ(window.backend.presentCount, 0) << "nothing was drawn";
    EXPECT_EQ(window.backend.cursor, crHandPoint);
    for (int y = 0; y < before.Height(); ++y) {
        for (int x = 0; x < before.Width(); ++x) ASSERT_EQ(window.At(x, y), before.GetPixel(x, y));
    }
    window.form.HandleMouseMove(0, 90, 30);
    EXPECT_FALSE(link.IsActive());
    EXPECT_EQ(window.backend.cursor, crDefault);
    EXPECT_FALSE(window.form.HasInvalid());
}

TEST(LabelTest, HoverRedrawsWhenTheActiveLookDiffers) {
    const struct {
        const char* what;
        void (*setUp)(TglLabel&);
        bool redraws;
    } cases[] = {
        {"same look", [](TglLabel&) {}, false},
        {"another active text colour", [](TglLabel& l) { l.Colors().SetTextActive(clRed); }, true},
        {"another active style", [](TglLabel& l) { l.TextStyles().SetActive(fstNone); }, true},
        {"another delineate colour, not delineated", [](TglLabel& l) { l.Colors().SetDelineateActive(clRed); }, false},
        {"another delineate colour, delineated",
         [](TglLabel& l) {
             l.SetOptions(floDelineatedText);
             l.Colors().SetDelineateActive(clRed);
         },
         true},
        {"another background, transparent", [](TglLabel& l) { l.Colors().SetBackgroundActive(clRed); }, false},
        {"another background, opaque",
         [](TglLabel& l) {
             l.SetTransparent(false);
             l.Colors().SetBackgroundActive(clRed);
         },
         true},
    };
    for (const auto& c : cases) {
        Window window(100, 40);
        TglLabel& link = window.Add<TglLabel>(TRect::FromSize(10, 5, 14, 16));
        MakeLink(link);
        c.setUp(link);
        window.form.PaintAll();
        window.app.ProcessMessages();
        window.backend.presentCount = 0;
        window.form.HandleMouseMove(0, 12, 8);
        window.app.ProcessMessages();
        EXPECT_EQ(window.backend.presentCount > 0, c.redraws) << c.what;
    }
}

TEST(LabelTest, DisabledLinkIsNeverActive) {
    Window window(100, 40);
    TglLabel& link = window.Add<TglLabel>(TRect::FromSize(10, 5, 14, 16));
    MakeLink(link);
    link.SetEnabled(false);
    window.form.HandleMouseMove(0, 12, 8);
    EXPECT_FALSE(link.IsActive());
    EXPECT_EQ(window.backend.cursor, crDefault) << "a disabled link gives no hand";
}

}  // namespace
}  // namespace vx
