// Helpers for the widget tests: an off-screen surface pre-filled with a
// sentinel colour (a pixel drawn one too far shows up), the pixel mask of a
// text as the canvas writes it, and a window without a display for the
// repaint and timer rules.
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>

#include "framework/application.h"
#include "framework/form.h"
#include "graphics/canvas.h"
#include "support/headless.h"
#include "support/locale_name.h"

namespace vx::widget_test {

constexpr TColor kSentinel = RGB(1, 2, 3);
inline const TColor kShadow = ColorToRGB(clBtnShadow);
inline const TColor kHighlight = ColorToRGB(clBtnHighlight);

// A widget painted on its own: Paint draws on a sentinel-filled bitmap.
class Surface {
public:
    Canvas& Fresh(int width, int height, int bitsPerPixel = 32) {
        m_bitmap = Bitmap(width, height, kSentinel);
        m_bitmap.SetBitsPerPixel(bitsPerPixel);
        m_canvas.emplace(m_bitmap, m_fonts);
        return *m_canvas;
    }
    TColor At(int x, int y) const { return m_bitmap.GetPixel(x, y); }
    const Bitmap& Image() const { return m_bitmap; }
    FontCache& Fonts() { return m_fonts; }

    // The pixels a text covers when the canvas writes it at (0, 0).
    std::set<std::pair<int, int>> TextMask(const TFont& font, const std::string& text) {
        TFont f = font;
        const TSize size = m_fonts.Face(f).Extent(text);
        Bitmap bitmap(size.cx + 8, size.cy + 8, clBlack);
        Canvas canvas(bitmap, m_fonts);
        canvas.Font = f;
        canvas.Font.SetColor(clWhite);
        canvas.Brush.Style = bsClear;
        canvas.TextOut(0, 0, text);
        std::set<std::pair<int, int>> mask;
        for (int y = 0; y < bitmap.Height(); ++y) {
            for (int x = 0; x < bitmap.Width(); ++x) {
                if (bitmap.GetPixel(x, y) == clWhite) mask.emplace(x, y);
            }
        }
        return mask;
    }
    TSize TextSize(const TFont& font, const std::string& text) { return m_fonts.Face(font).Extent(text); }

private:
    FontCache m_fonts;
    Bitmap m_bitmap;
    std::optional<Canvas> m_canvas;
};

// Part of a picture as text for a whole-shape comparison: a letter per
// pixel from the legend ('?' for a colour it does not name), '/' between rows.
inline std::string Picture(const Bitmap& image, const TRect& area, std::initializer_list<std::pair<TColor, char>> legend) {
    std::string picture;
    for (int y = area.Top; y < area.Bottom; ++y) {
        if (y > area.Top) picture += '/';
        for (int x = area.Left; x < area.Right; ++x) {
            char letter = '?';
            for (const auto& [colour, named] : legend) {
                if (image.GetPixel(x, y) == colour) letter = named;
            }
            picture += letter;
        }
    }
    return picture;
}

// A frame's outermost edges, top, left, right and bottom, each read left to
// right or downwards: 'S' shadow, 'H' highlight, '?' anything else.
inline std::string FrameEdges(const Bitmap& image, int width, int height) {
    const auto letter = [&](int x, int y) {
        const TColor c = image.GetPixel(x, y);
        return c == kShadow ? 'S' : c == kHighlight ? 'H' : '?';
    };
    std::string edges;
    for (int x = 0; x < width; ++x) edges += letter(x, 0);
    for (const int column : {0, width - 1}) {
        edges += '|';
        for (int y = 0; y < height; ++y) edges += letter(column, y);
    }
    edges += '|';
    for (int x = 0; x < width; ++x) edges += letter(x, height - 1);
    return edges;
}

// A shown window on the off-screen backend with a hand-moved clock; its
// background is the sentinel colour.
class Window {
public:
    explicit Window(int width = 640, int height = 120) {
        form.SetBounds(0, 0, width, height);
        form.SetColor(kSentinel);
        form.ShowWindow();
    }

    template <class T>
    T& Add(const TRect& bounds) {
        T& control = form.Make<T>();
        control.SetParent(&form);
        control.SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        return control;
    }
    TColor At(int x, int y) const { return form.Image().GetPixel(x, y); }
    // Lets the clock run and the loop deliver what fell due, then repaint.
    void Run(std::uint64_t ms) {
        clock.Advance(ms);
        app.ProcessMessages();
    }

    test::HeadlessBackend backend;
    test::ManualClock clock;
    Application app{backend, clock};
    TForm form{app};
};

// How a change shows: not at all, drawn at once over the current image, or
// a repaint request for the next turn of the loop.
enum class Redraw { None, AtOnce, Requested };

// A widget that counts its paints.
template <class W>
class Counting : public W {
public:
    using W::W;
    void Paint(Canvas& canvas) override {
        ++paints;
        W::Paint(canvas);
    }
    int paints = 0;
};

// Makes a widget in a fresh window, sets it up, paints everything, then
// tells how `change` redraws it.
template <class W, class SetUp, class Change>
Redraw RedrawOf(const TRect& bounds, SetUp setUp, Change change) {
    Window window(bounds.Right + 10, bounds.Bottom + 10);
    Counting<W>& widget = window.Add<Counting<W>>(bounds);
    setUp(static_cast<W&>(widget));
    window.form.PaintAll();
    widget.paints = 0;
    change(static_cast<W&>(widget));
    const bool requested = window.form.HasInvalid();
    EXPECT_FALSE(requested && widget.paints > 0) << "drawn at once and requested as well";
    return requested ? Redraw::Requested : widget.paints > 0 ? Redraw::AtOnce : Redraw::None;
}

inline std::ostream& operator<<(std::ostream& out, Redraw r) {
    return out << (r == Redraw::None ? "none" : r == Redraw::AtOnce ? "at once" : "requested");
}

// Sets LC_NUMERIC for the life of the object and restores it afterwards.
class NumericLocale {
public:
    explicit NumericLocale(const char* name) {
        if (const char* current = std::setlocale(LC_NUMERIC, nullptr)) m_saved = current;
        m_active = std::setlocale(LC_NUMERIC, test::SystemLocaleName(name)) != nullptr;
    }
    ~NumericLocale() { std::setlocale(LC_NUMERIC, m_saved.c_str()); }
    NumericLocale(const NumericLocale&) = delete;
    NumericLocale& operator=(const NumericLocale&) = delete;
    bool Active() const { return m_active; }

private:
    std::string m_saved = "C";
    bool m_active = false;
};

}  // namespace vx::widget_test
