// Off-screen bitmaps and the drawing canvas.
//
// The canvas follows the platform's classic drawing rules, which the widgets
// rely on pixel for pixel:
//  - FillRect and Rectangle exclude the right and bottom edge;
//  - LineTo does not draw its end point;
//  - Ellipse lies in its bounding box with the right and bottom edge excluded;
//  - TextOut puts the top of the text cell at y; with a clear brush only the
//    glyphs are drawn, otherwise the cell is filled with the brush colour first.
// All coordinates are relative to the canvas origin and every pixel is clipped
// to the canvas's clip region (in target coordinates) and to the target.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "graphics/font.h"
#include "graphics/graphics.h"

namespace vx {

// A 32-bit pixel surface; pixels are 0x00RRGGBB.
class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, TColor fill = clBlack);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Empty() const { return m_width <= 0 || m_height <= 0; }
    // Resizes; the content is reset to black.
    void SetSize(int width, int height);

    // The colour depth that drawing code sees. Pixels are always stored in
    // 32 bits; a lower value only makes depth-dependent drawing (gradients)
    // behave as on such a display.
    int BitsPerPixel() const { return m_bitsPerPixel; }
    void SetBitsPerPixel(int bits) { m_bitsPerPixel = bits; }

    std::uint32_t* Row(int y) { return m_pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width); }
    const std::uint32_t* Row(int y) const {
        return m_pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width);
    }
    std::span<std::uint32_t> Pixels() { return m_pixels; }
    std::span<const std::uint32_t> Pixels() const { return m_pixels; }

    // Colour at (x, y) as 0x00BBGGRR; clNone outside the bitmap.
    TColor GetPixel(int x, int y) const;
    void SetPixel(int x, int y, TColor rgb);
    void Fill(TColor rgb);

private:
    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 32;
    std::vector<std::uint32_t> m_pixels;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TBrushStyle { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

class Canvas {
public:
    Canvas(Bitmap& target, FontCache& fonts);

    Bitmap& Target() { return *m_target; }
    FontCache& Fonts() { return *m_fonts; }
    int BitsPerPixel() const { return m_target->BitsPerPixel(); }

    TPen Pen;
    TBrush Brush;
    TFont Font;

    // Drawing origin: point (0, 0) of the canvas lands on Origin() of the target.
    TPoint Origin() const { return m_origin; }
    void SetOrigin(TPoint origin) { m_origin = origin; }
    // Clip region in target coordinates; the whole target when none is set.
    const Region& Clip() const { return m_clip; }
    void SetClip(const Region& clip) { m_clip = clip; }
    void ResetClip();
    // Narrows the clip to a rectangle given in canvas coordinates.
    void IntersectClip(const TRect& canvasRect);

    // Saves origin, clip, pen, brush and font; restores them when destroyed.
    class StateSaver {
    public:
        explicit StateSaver(Canvas& canvas);
        ~StateSaver();
        StateSaver(const StateSaver&) = delete;
        StateSaver& operator=(const StateSaver&) = delete;

    private:
        Canvas& m_canvas;
        TPoint m_origin;
        Region m_clip;
        TPen m_pen;
        TBrush m_brush;
        TFont m_font;
    };

    // Pixels.
    TColor GetPixel(int x, int y) const;  // clNone outside the target
    void SetPixel(int x, int y, TColor color);

    // Lines with the pen (width 1 and more, styles solid and clear; other
    // styles draw solid). The end point is not drawn.
    TPoint PenPos() const { return m_penPos; }
    void MoveTo(int x, int y);
    void LineTo(int x, int y);

    // Fills with the brush (nothing with a clear brush), or a given colour.
    void FillRect(const TRect& r);
    void FillRect(const TRect& r, TColor color);
    // A one-pixel frame in the brush colour, like the platform's FrameRect.
    void FrameRect(const TRect& r);
    // Outline with the pen, interior with the brush.
    void Rectangle(const TRect& r);
    void Ellipse(const TRect& r);

    // Text in Font (its colour), one line.
    void TextOut(int x, int y, const std::string& utf8);
    // The same, clipped to a rectangle in canvas coordinates.
    void TextRect(const TRect& clip, int x, int y, const std::string& utf8);
    TSize TextExtent(const std::string& utf8);
    int TextWidth(const std::string& utf8) { return TextExtent(utf8).cx; }
    int TextHeight(const std::string& utf8) { return TextExtent(utf8).cy; }
    FontFace& CurrentFace();

    // Bitmaps. Draw copies at (x, y); DrawTransparent skips pixels of the
    // given colour; StretchDraw scales (nearest pixel) to the rectangle;
    // CopyRect copies a part of a source bitmap onto a rectangle of this one.
    void Draw(int x, int y, const Bitmap& source);
    void DrawTransparent(int x, int y, const Bitmap& source, TColor transparent);
    void StretchDraw(const TRect& dest, const Bitmap& source);
    void CopyRect(const TRect& dest, const Bitmap& source, const TRect& sourceRect);

private:
    bool Visible(int tx, int ty) const;  // target coordinates
    void PlotTarget(int tx, int ty, std::uint32_t pixel);
    void FillTargetRect(TRect targetRect, std::uint32_t pixel);
    void DrawGlyphs(int x, int y, const std::string& utf8, const std::optional<TRect>& clip);

    Bitmap* m_target;
    FontCache* m_fonts;
    TPoint m_origin;
    Region m_clip;
    TPoint m_penPos;
};

}  // namespace vx
