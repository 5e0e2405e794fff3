// The header band: title and comment lines by page, the logo with its
// transparent colour, the etched bottom edge, and its repaint rules.
#include "widgets/wizard_header.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "widgets/widget_fixture.h"

namespace vx {
namespace {

using widget_test::kHighlight;
using widget_test::kSentinel;
using widget_test::kShadow;
using widget_test::Surface;

const TColor kWindow = ColorToRGB(clWindow);

void MakeHeader(TglWizardHeader& h) {
    h.SetBounds(0, 0, 632, 57);
    h.SetCaptions({"Vidorex V1.0 Beta5"});
    h.SetComments({"Sprawdź, czy Twój komputer nadaje się do odtwarzania filmów AVI!"});
    h.CaptionFont().SetName("Arial");
    h.CaptionFont().SetHeight(-19);
    h.CaptionFont().SetStyle(fsBold);
    h.Gradient().SetActive(false);
}

// A 213 x 48 logo: magenta (the colour to leave out, at the bottom left)
// with a red square in the middle.
Bitmap Logo() {
    Bitmap logo(213, 48, clFuchsia);
    for (int y = 10; y < 38; ++y) {
        for (int x = 90; x < 120; ++x) logo.SetPixel(x, y, clRed);
    }
    return logo;
}

Bitmap PaintHeader(TglWizardHeader& header) {
    Surface surface;
    header.Paint(surface.Fresh(header.Width(), header.Height()));
    return surface.Image();
}

bool SameImage(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    return std::equal(a.Pixels().begin(), a.Pixels().end(), b.Pixels().begin());
}

TEST(WizardHeaderPaintTest, BandLogoAndEtchedEdge) {
    TglWizardHeader header(nullptr);
    MakeHeader(header);
    header.SetGlyph(Logo());
    Surface surface;
    header.Paint(surface.Fresh(632, 57));
    // The logo at x = 632 - 213 - 4, y = (57 - 48) / 2 = 4: its transparent
    // colour shows the window colour, the square shows red.
    EXPECT_EQ(surface.At(415 + 90, 4 + 10), clRed);
    EXPECT_EQ(surface.At(415 + 119, 4 + 37), clRed);
    EXPECT_EQ(surface.At(415 + 89, 4 + 10), kWindow);
    EXPECT_EQ(surface.At(415 + 90, 4 + 38), kWindow);
    for (int x = 0; x < 632; ++x) {
        ASSERT_NE(surface.At(x, 30), clFuchsia) << x;
        ASSERT_EQ(surface.At(x, 55), kShadow) << x;
        ASSERT_EQ(surface.At(x, 56), kHighlight) << x;
    }
    EXPECT_EQ(surface.At(5, 5), kWindow);
    EXPECT_EQ(surface.At(631, 0), kWindow);
}

// The title at the text rectangle's corner (20, 8); the comment 20 pixels
// further in, below the title's line, centred in what is left of the
// rectangle down to 5 pixels above the bottom; nothing else left of it.
TEST(WizardHeaderPaintTest, TitleAndCommentLinesInTheTextRectangle) {
    TglWizardHeader header(nullptr);
    MakeHeader(header);
    Surface surface;
    header.Paint(surface.Fresh(632, 57));
    const int top = 8 + surface.TextSize(header.CaptionFont(), "Hy").cy;
    const int commentY = top + (52 - top - surface.Fonts().Face(header.CommentFont()).Metrics().height()) / 2;
    Bitmap expected(572, 55, kWindow);
    for (const auto& [mx, my] : surface.TextMask(header.CaptionFont(), "Vidorex V1.0 Beta5")) {
        if (8 + my < 52) expected.SetPixel(20 + mx, 8 + my, clBlack);
    }
    for (const auto& [mx, my] : surface.TextMask(header.CommentFont(), header.CurrentComment())) {
        expected.SetPixel(40 + mx, commentY + my, clBlack);
    }
    int wrong = 0;
    for (int y = 0; y < expected.Height(); ++y) {
        for (int x = 0; x < expected.Width(); ++x) wrong += surface.At(x, y) != expected.GetPixel(x, y) ? 1 : 0;
    }
    EXPECT_EQ(wrong, 0);
}

TEST(WizardHeaderPaintTest, PageNumberPicksTheLinesAndStopsAtTheLast) {
    const auto make = [](int page) {
        auto header = std::make_unique<TglWizardHeader>(nullptr);
        MakeHeader(*header);
        header->SetCaptions({"First page", "Last page"});
        header->SetComments({"first comment", "last comment"});
        header->SetPageNo(page);
        return header;
    };
    const auto last = make(1);
    const Bitmap lastImage = PaintHeader(*last);
    const struct {
        int page;
        const char* caption;
        const char* comment;
        bool looksLikeLast;
    } cases[] = {
        {0, "First page", "first comment", false},
        {1, "Last page", "last comment", true},
        {5, "Last page", "last comment", true},
    };
    for (const auto& c : cases) {
        const auto header = make(c.page);
        EXPECT_EQ(header->CurrentCaption(), c.caption) << c.page;
        EXPECT_EQ(header->CurrentComment(), c.comment) << c.page;
        EXPECT_EQ(SameImage(PaintHeader(*header), lastImage), c.looksLikeLast) << c.page;
    }
    TglWizardHeader empty(nullptr);
    EXPECT_EQ(empty.CurrentCaption(), "Caption");
    EXPECT_EQ(empty.CurrentComment(), "Some comment text");
}

TEST(WizardHeaderTest, WhatRepaintsAndHow) {
    using widget_test::Redraw;
    using F = std::function<void(TglWizardHeader&)>;
    const struct {
        const char* what;
        F change;
        Redraw redraw;
    } cases[] = {
        {"Captions", [](TglWizardHeader& h) { h.SetCaptions({"x"}); }, Redraw::Requested},
        {"Comments", [](TglWizardHeader& h) { h.SetComments({"x"}); }, Redraw::Requested},
        {"a font", [](TglWizardHeader& h) { h.CommentFont().SetHeight(-13); }, Redraw::Requested},
        {"Symbol", [](TglWizardHeader& h) { h.SetSymbol("J"); }, Redraw::Requested},
        {"PageNo draws at once", [](TglWizardHeader& h) { h.SetPageNo(1); }, Redraw::AtOnce},
        {"Glyph is taken quietly", [](TglWizardHeader& h) { h.SetGlyph(Logo()); }, Redraw::None},
        {"Gradient is taken quietly", [](TglWizardHeader& h) { h.Gradient().SetActive(true); }, Redraw::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(widget_test::RedrawOf<TglWizardHeader>(TRect::FromSize(0, 0, 632, 57), MakeHeader, c.change), c.redraw)
            << c.what;
    }
}

}  // namespace
}  // namespace vx
