// Colours, points, rectangles and regions shared by every drawing routine.
//
// Pixel conventions (fixed for the whole program):
//  - TRect holds Left, Top, Right, Bottom. For fills, gradients, clipping and
//    bounds, Right and Bottom are exclusive (the rectangle covers
//    Left..Right-1 and Top..Bottom-1).
//  - A bevel rectangle is the one exception: its Right and Bottom are the last
//    column and row of the frame (inclusive). The bevel painter says so.
//  - A line leaves out its end point; an ellipse stays inside its bounding box
//    with the right and bottom edge excluded.
//  - Every scaling goes through MulDiv, which rounds halves away from zero.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vx {

// A colour value: 0x00BBGGRR for a plain colour; with the top bit set the low
// byte names a system colour (0x80000000 | COLOR_xxx index).
using TColor = std::int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;

constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }
constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);

constexpr TColor RGB(int r, int g, int b) { return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16)); }
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

// The classic desktop scheme's value of a system colour index (0x00BBGGRR).
TColor GetSysColor(int index);
// A plain colour stays as it is; a system colour becomes its current value.
TColor ColorToRGB(TColor color);

// Bitmap pixels are 0x00RRGGBB, the order of the window's framebuffer.
constexpr std::uint32_t ColorToPixel(TColor rgb) {
    return static_cast<std::uint32_t>((GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb));
}
constexpr TColor PixelToColor(std::uint32_t p) {
    return RGB(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF));
}

// a * b / d with a 64-bit intermediate, rounded to nearest, halves away from
// zero; -1 when d is 0 (as the platform's own MulDiv answers).
int MulDiv(int a, int b, int d);

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    static constexpr TRect FromSize(int left, int top, int width, int height) {
        return TRect{left, top, left + width, top + height};
    }
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    constexpr bool Contains(TPoint p) const { return Contains(p.X, p.Y); }
    constexpr TRect Offset(int dx, int dy) const { return TRect{Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    constexpr TRect Intersect(const TRect& o) const {
        TRect r{std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right), std::min(Bottom, o.Bottom)};
        return r.IsEmpty() ? TRect{} : r;
    }
    constexpr bool Intersects(const TRect& o) const { return !Intersect(o).IsEmpty(); }
    // The smallest rectangle holding both; an empty side is ignored.
    constexpr TRect Union(const TRect& o) const {
        if (IsEmpty()) return o;
        if (o.IsEmpty()) return *this;
        return TRect{std::min(Left, o.Left), std::min(Top, o.Top), std::max(Right, o.Right), std::max(Bottom, o.Bottom)};
    }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// A set of pixels kept as disjoint rectangles (exclusive right and bottom).
class Region {
public:
    Region() = default;
    explicit Region(const TRect& r);

    bool IsEmpty() const { return m_rects.empty(); }
    bool Contains(int x, int y) const;
    TRect Bounds() const;
    const std::vector<TRect>& Rects() const { return m_rects; }

    void Clear() { m_rects.clear(); }
    void Add(const TRect& r);        // union
    void Subtract(const TRect& r);   // difference
    void Intersect(const TRect& r);  // intersection with one rectangle
    void Offset(int dx, int dy);

private:
    std::vector<TRect> m_rects;
};

}  // namespace vx
