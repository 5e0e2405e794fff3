// Sections: Bitmap; Canvas state; Pixels and fills; Lines and shapes; Text; Bitmaps.
#include "graphics/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graphics/int128.h"

namespace vx {

namespace {

// The pixel for a colour, or nothing for clNone.
std::optional<std::uint32_t> Resolve(TColor color) {
    if (color == clNone) return std::nullopt;
    return ColorToPixel(ColorToRGB(color));
}

// Thicker pens than this make no sense on screen and would only risk overflow.
constexpr int kMaxPenWidth = 1024;

// Width 0 is the thinnest line, as on the platform.
int PenWidth(const TPen& pen) { return std::clamp(pen.Width, 1, kMaxPenWidth); }

TRect Normalized(const TRect& r) {
    return TRect{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right), std::max(r.Top, r.Bottom)};
}

// Floor of a / b for b > 0.
Int128 FloorDiv(Int128 a, Int128 b) {
    const Int128 q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

std::uint64_t ISqrt(UInt128 value) {
    auto root = static_cast<std::uint64_t>(std::sqrt(static_cast<long double>(value)));
    while (static_cast<UInt128>(root) * root > value) --root;
    while (static_cast<UInt128>(root + 1) * (root + 1) <= value) ++root;
    return root;
}

// Inclusive column range of one row of a filled ellipse; empty when left > right.
struct Span {
    std::int64_t left = 1;
    std::int64_t right = 0;
    bool Empty() const { return left > right; }
};

// Row `row` (0 = top) of the ellipse filling a width x height box whose left
// column is `left`. A pixel belongs to the ellipse when its centre lies inside
// or on the ellipse touching the box's outer edges. Working in doubled
// coordinates keeps the test exact, so the shape is symmetric about the box's
// centre in both directions.
Span EllipseRow(std::int64_t left, std::int64_t width, std::int64_t height, std::int64_t row) {
    if (row < 0 || row >= height) return {};
    const std::int64_t dy = std::llabs(2 * row + 1 - height);  // doubled distance of the pixel centre
    const UInt128 h2 = static_cast<UInt128>(height) * static_cast<UInt128>(height);
    const UInt128 w2 = static_cast<UInt128>(width) * static_cast<UInt128>(width);
    const UInt128 rest = h2 - static_cast<UInt128>(dy) * static_cast<UInt128>(dy);
    // Largest doubled horizontal distance m with m^2 * h^2 <= w^2 * (h^2 - dy^2).
    std::int64_t m = static_cast<std::int64_t>(ISqrt(w2 * rest / h2));
    // Pixel centres sit at doubled distances of the same parity as width - 1.
    if ((m & 1) != ((width - 1) & 1)) {
        if (m == 0) return {};
        --m;
    }
    return Span{left + (width - 1 - m) / 2, left + (width - 1 + m) / 2};
}

int ClampToInt(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, -(1LL << 30), 1LL << 30)); }

// Copies `sourceRect` of `source` onto `dest` (target coordinates) of
// `target`, scaling by nearest pixel centre, inside `clip` only.
void Blit(Bitmap& target, const Region& clip, const TRect& dest, const Bitmap& source, const TRect& sourceRect,
          std::optional<std::uint32_t> transparent) {
    if (dest.IsEmpty() || sourceRect.IsEmpty() || source.Empty()) return;
    const TRect area = dest.Intersect(TRect{0, 0, target.Width(), target.Height()});
    if (area.IsEmpty()) return;
    const std::int64_t destW = dest.Width();
    const std::int64_t destH = dest.Height();
    const std::int64_t srcW = sourceRect.Width();
    const std::int64_t srcH = sourceRect.Height();
    const bool sameSize = destW == srcW && destH == srcH;

    std::vector<int> sourceColumn(static_cast<std::size_t>(area.Width()));
    for (int x = area.Left; x < area.Right; ++x) {
        const std::int64_t offset = ((x - dest.Left) * 2LL + 1) * srcW / (2 * destW);
        sourceColumn[static_cast<std::size_t>(x - area.Left)] = sourceRect.Left + static_cast<int>(offset);
    }

    for (const TRect& clipRect : clip.Rects()) {
        const TRect part = clipRect.Intersect(area);
        if (part.IsEmpty()) continue;
        for (int y = part.Top; y < part.Bottom; ++y) {
            const int sy = sourceRect.Top + static_cast<int>(((y - dest.Top) * 2LL + 1) * srcH / (2 * destH));
            if (sy < 0 || sy >= source.Height()) continue;
            const std::uint32_t* srcRow = source.Row(sy);
            std::uint32_t* dstRow = target.Row(y);
            if (sameSize && !transparent) {
                const int shift = sourceRect.Left - dest.Left;
                const int from = std::max(part.Left, -shift);
                const int to = std::min(part.Right, source.Width() - shift);
                if (from < to) std::copy(srcRow + from + shift, srcRow + to + shift, dstRow + from);
                continue;
            }
            for (int x = part.Left; x < part.Right; ++x) {
                const int sx = sourceColumn[static_cast<std::size_t>(x - area.Left)];
                if (sx < 0 || sx >= source.Width()) continue;
                const std::uint32_t pixel = srcRow[sx];
                if (transparent && pixel == *transparent) continue;
                dstRow[x] = pixel;
            }
        }
    }
}

}  // namespace

// ---------------------------------------------------------------- Bitmap

Bitmap::Bitmap(int width, int height, TColor fill) {
    SetSize(width, height);
    Fill(fill);
}

void Bitmap::SetSize(int width, int height) {
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_pixels.assign(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), 0);
}

TColor Bitmap::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return clNone;
    return PixelToColor(Row(y)[x]);
}

void Bitmap::SetPixel(int x, int y, TColor rgb) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    Row(y)[x] = ColorToPixel(ColorToRGB(rgb));
}

void Bitmap::Fill(TColor rgb) { std::fill(m_pixels.begin(), m_pixels.end(), ColorToPixel(ColorToRGB(rgb))); }

// ---------------------------------------------------------------- Canvas state

Canvas::Canvas(Bitmap& target, FontCache& fonts) : m_target(&target), m_fonts(&fonts) { ResetClip(); }

void Canvas::ResetClip() { m_clip = Region(TRect{0, 0, m_target->Width(), m_target->Height()}); }

void Canvas::IntersectClip(const TRect& canvasRect) { m_clip.Intersect(canvasRect.Offset(m_origin.X, m_origin.Y)); }

Canvas::StateSaver::StateSaver(Canvas& canvas)
    : m_canvas(canvas),
      m_origin(canvas.m_origin),
      m_clip(canvas.m_clip),
      m_pen(canvas.Pen),
      m_brush(canvas.Brush),
      m_font(canvas.Font) {}

Canvas::StateSaver::~StateSaver() {
    m_canvas.m_origin = m_origin;
    m_canvas.m_clip = std::move(m_clip);
    m_canvas.Pen = m_pen;
    m_canvas.Brush = m_brush;
    m_canvas.Font.Assign(m_font);
}

// ---------------------------------------------------------------- Pixels and fills

bool Canvas::Visible(int tx, int ty) const {
    return tx >= 0 && ty >= 0 && tx < m_target->Width() && ty < m_target->Height() && m_clip.Contains(tx, ty);
}

void Canvas::PlotTarget(int tx, int ty, std::uint32_t pixel) {
    if (Visible(tx, ty)) m_target->Row(ty)[tx] = pixel;
}

void Canvas::FillTargetRect(TRect targetRect, std::uint32_t pixel) {
    targetRect = targetRect.Intersect(TRect{0, 0, m_target->Width(), m_target->Height()});
    if (targetRect.IsEmpty()) return;
    for (const TRect& clipRect : m_clip.Rects()) {
        const TRect part = clipRect.Intersect(targetRect);
        if (part.IsEmpty()) continue;
        for (int y = part.Top; y < part.Bottom; ++y) {
            std::uint32_t* row = m_target->Row(y);
            std::fill(row + part.Left, row + part.Right, pixel);
        }
    }
}

TColor Canvas::GetPixel(int x, int y) const { return m_target->GetPixel(x + m_origin.X, y + m_origin.Y); }

void Canvas::SetPixel(int x, int y, TColor color) {
    if (const auto pixel = Resolve(color)) PlotTarget(x + m_origin.X, y + m_origin.Y, *pixel);
}

void Canvas::FillRect(const TRect& r) {
    if (Brush.Style != bsClear) FillRect(r, Brush.Color);
}

void Canvas::FillRect(const TRect& r, TColor color) {
    if (const auto pixel = Resolve(color)) FillTargetRect(r.Offset(m_origin.X, m_origin.Y), *pixel);
}

namespace {

// The four bands of a frame `thickness` pixels wide just inside `outer`.
std::vector<TRect> FrameBands(const TRect& outer, int thickness) {
    const int innerTop = std::min(outer.Top + thickness, outer.Bottom);
    const int innerBottom = std::max(outer.Bottom - thickness, innerTop);
    return {
        TRect{outer.Left, outer.Top, outer.Right, innerTop},
        TRect{outer.Left, innerBottom, outer.Right, outer.Bottom},
        TRect{outer.Left, innerTop, std::min(outer.Left + thickness, outer.Right), innerBottom},
        TRect{std::max(outer.Right - thickness, outer.Left), innerTop, outer.Right, innerBottom},
    };
}

}  // namespace

void Canvas::FrameRect(const TRect& r) {
    if (Brush.Style == bsClear || r.IsEmpty()) return;
    const auto pixel = Resolve(Brush.Color);
    if (!pixel) return;
    for (const TRect& band : FrameBands(r.Offset(m_origin.X, m_origin.Y), 1)) FillTargetRect(band, *pixel);
}

// ---------------------------------------------------------------- Lines and shapes

void Canvas::MoveTo(int x, int y) { m_penPos = TPoint{x, y}; }

void Canvas::LineTo(int x, int y) {
    const TPoint from = m_penPos;
    m_penPos = TPoint{x, y};
    if (Pen.Style == psClear) return;
    const auto pixel = Resolve(Pen.Color);
    if (!pixel) return;
    const int width = PenWidth(Pen);
    const int half = width / 2;

    const std::int64_t x0 = static_cast<std::int64_t>(from.X) + m_origin.X;
    const std::int64_t y0 = static_cast<std::int64_t>(from.Y) + m_origin.Y;
    const std::int64_t dx = static_cast<std::int64_t>(x) - from.X;
    const std::int64_t dy = static_cast<std::int64_t>(y) - from.Y;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t steps = xMajor ? std::llabs(dx) : std::llabs(dy);
    const std::int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minorDelta = xMajor ? dy : dx;

    // Steps whose major coordinate cannot reach the target are skipped, so a
    // line with far-away ends costs no more than its visible part.
    const std::int64_t majorStart = xMajor ? x0 : y0;
    const std::int64_t majorLimit = xMajor ? m_target->Width() : m_target->Height();
    std::int64_t first = majorStep > 0 ? -width - majorStart : majorStart - majorLimit - width;
    std::int64_t last = majorStep > 0 ? majorLimit + width - majorStart : majorStart + width;
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, steps - 1);

    // Bresenham's choice written in closed form: at each step of the major
    // axis the minor coordinate is the line's exact value rounded, ties
    // towards +infinity. The tie rule depends only on the line, so a line
    // covers the same pixels whichever end it starts from. Stopping before
    // `steps` leaves out the end point.
    for (std::int64_t i = first; i <= last; ++i) {
        const Int128 twice = Int128{2} * i * minorDelta;
        const auto minor = static_cast<std::int64_t>(FloorDiv(twice + steps, Int128{2} * steps));
        const std::int64_t px = xMajor ? x0 + i * majorStep : x0 + minor;
        const std::int64_t py = xMajor ? y0 + minor : y0 + i * majorStep;
        if (width == 1) {
            if (px >= 0 && py >= 0 && px < m_target->Width() && py < m_target->Height()) {
                PlotTarget(static_cast<int>(px), static_cast<int>(py), *pixel);
            }
        } else {
            FillTargetRect(TRect::FromSize(ClampToInt(px - half), ClampToInt(py - half), width, width), *pixel);
        }
    }
}

void Canvas::Rectangle(const TRect& r) {
    const TRect box = Normalized(r).Offset(m_origin.X, m_origin.Y);
    if (box.IsEmpty()) return;
    const bool hasPen = Pen.Style != psClear;
    // The shape is outlined through the last column and row inside the box;
    // the fill covers the area up to (not on) that path, as the platform's
    // Rectangle does. Without a pen that leaves the shape one pixel smaller.
    if (Brush.Style != bsClear) {
        if (const auto brush = Resolve(Brush.Color)) {
            FillTargetRect(TRect{box.Left, box.Top, box.Right - 1, box.Bottom - 1}, *brush);
        }
    }
    if (!hasPen) return;
    const auto pen = Resolve(Pen.Color);
    if (!pen) return;
    const int width = PenWidth(Pen);
    TRect outer = box;
    if (Pen.Style != psInsideFrame) {
        // A wide pen is centred on the path.
        const int half = width / 2;
        outer = TRect{box.Left - half, box.Top - half, box.Right - 1 - half + width, box.Bottom - 1 - half + width};
    }
    for (const TRect& band : FrameBands(outer, width)) FillTargetRect(band, *pen);
}

void Canvas::Ellipse(const TRect& r) {
    const TRect box = Normalized(r).Offset(m_origin.X, m_origin.Y);
    const std::int64_t width = static_cast<std::int64_t>(box.Right) - box.Left;
    const std::int64_t height = static_cast<std::int64_t>(box.Bottom) - box.Top;
    if (width <= 0 || height <= 0) return;
    const auto brush = Brush.Style != bsClear ? Resolve(Brush.Color) : std::nullopt;
    const auto pen = Pen.Style != psClear ? Resolve(Pen.Color) : std::nullopt;
    if (!brush && !pen) return;
    const std::int64_t penWidth = PenWidth(Pen);

    // Only rows that can reach the target are worked out.
    const std::int64_t firstRow = std::max<std::int64_t>(0, -static_cast<std::int64_t>(box.Top));
    const std::int64_t lastRow = std::min<std::int64_t>(height, static_cast<std::int64_t>(m_target->Height()) - box.Top);
    const auto row = [&](std::int64_t i) { return EllipseRow(box.Left, width, height, i); };
    const auto fillSpan = [&](std::int64_t i, std::int64_t from, std::int64_t to, std::uint32_t pixel) {
        if (from > to) return;
        const int y = static_cast<int>(box.Top + i);
        FillTargetRect(TRect{ClampToInt(from), y, ClampToInt(to + 1), y + 1}, pixel);
    };

    for (std::int64_t i = firstRow; i < lastRow; ++i) {
        const Span span = row(i);
        if (span.Empty()) continue;
        if (brush) fillSpan(i, span.left, span.right, *brush);
        if (!pen) continue;
        // The outline is what erosion by the pen width takes away: a pixel is
        // inside only if the pixels penWidth away left, right, above and
        // below are all part of the ellipse.
        Span inner{span.left + penWidth, span.right - penWidth};
        for (std::int64_t k = 1; k <= penWidth && !inner.Empty(); ++k) {
            for (const Span other : {row(i - k), row(i + k)}) {
                if (other.Empty()) {
                    inner = Span{};
                    break;
                }
                inner.left = std::max(inner.left, other.left);
                inner.right = std::min(inner.right, other.right);
            }
        }
        if (inner.Empty()) {
            fillSpan(i, span.left, span.right, *pen);
        } else {
            fillSpan(i, span.left, inner.left - 1, *pen);
            fillSpan(i, inner.right + 1, span.right, *pen);
        }
    }
}

// ---------------------------------------------------------------- Text

FontFace& Canvas::CurrentFace() { return m_fonts->Face(Font); }

TSize Canvas::TextExtent(const std::string& utf8) { return CurrentFace().Extent(utf8); }

void Canvas::TextOut(int x, int y, const std::string& utf8) { DrawGlyphs(x, y, utf8, std::nullopt); }

void Canvas::TextRect(const TRect& clip, int x, int y, const std::string& utf8) { DrawGlyphs(x, y, utf8, clip); }

void Canvas::DrawGlyphs(int x, int y, const std::string& utf8, const std::optional<TRect>& clip) {
    // A narrower clip applies to the background as well as the glyphs.
    std::optional<Region> savedClip;
    if (clip) {
        savedClip = m_clip;
        IntersectClip(*clip);
    }
    FontFace& face = CurrentFace();
    const FontMetrics& metrics = face.Metrics();
    const int left = x + m_origin.X;
    const int top = y + m_origin.Y;
    const TSize extent = face.Extent(utf8);
    if (Brush.Style != bsClear) {
        if (const auto brush = Resolve(Brush.Color)) {
            FillTargetRect(TRect::FromSize(left, top, extent.cx, extent.cy), *brush);
        }
    }

    if (const auto ink = Resolve(Font.Color())) {
        const TRect bounds{0, 0, m_target->Width(), m_target->Height()};
        const int baseline = top + metrics.ascent;
        int penX = left;
        char32_t cp = 0;
        for (std::size_t pos = 0; pos < utf8.size();) {
            pos = DecodeUtf8At(utf8, pos, cp);
            const Glyph& glyph = face.GlyphFor(cp);
            const TRect box = TRect::FromSize(penX + glyph.left, baseline - glyph.top, glyph.width, glyph.height);
            penX += glyph.advance;
            if (!box.Intersects(bounds)) continue;
            // Most glyphs lie wholly inside one clip rectangle; those skip the
            // per-pixel region test.
            const bool whole =
                box.Intersect(bounds) == box && std::any_of(m_clip.Rects().begin(), m_clip.Rects().end(),
                                                            [&](const TRect& c) { return c.Intersect(box) == box; });
            for (int gy = 0; gy < glyph.height; ++gy) {
                const std::uint8_t* bits =
                    glyph.bits.data() + static_cast<std::size_t>(gy) * static_cast<std::size_t>(glyph.width);
                const int ty = box.Top + gy;
                for (int gx = 0; gx < glyph.width; ++gx) {
                    if (bits[gx] == 0) continue;
                    const int tx = box.Left + gx;
                    if (whole) {
                        m_target->Row(ty)[tx] = *ink;
                    } else {
                        PlotTarget(tx, ty, *ink);
                    }
                }
            }
        }
        // Lines one pixel below the baseline and through the middle of the
        // lower-case letters.
        const int thickness = std::max(1, metrics.height() / 14);
        if (Font.Style() & fsUnderline) {
            const int underlineY = baseline + std::min(1, std::max(metrics.descent - thickness, 0));
            FillTargetRect(TRect::FromSize(left, underlineY, extent.cx, thickness), *ink);
        }
        if (Font.Style() & fsStrikeOut) {
            FillTargetRect(TRect::FromSize(left, baseline - metrics.ascent / 3, extent.cx, thickness), *ink);
        }
    }
    if (savedClip) m_clip = std::move(*savedClip);
}

// ---------------------------------------------------------------- Bitmaps

namespace {

// Drawing a bitmap onto itself must read the pixels as they were.
const Bitmap& Unaliased(const Bitmap& source, const Bitmap& target, std::optional<Bitmap>& copy) {
    if (&source != &target) return source;
    copy.emplace(source);
    return *copy;
}

}  // namespace

void Canvas::Draw(int x, int y, const Bitmap& source) {
    std::optional<Bitmap> copy;
    const Bitmap& src = Unaliased(source, *m_target, copy);
    Blit(*m_target, m_clip, TRect::FromSize(x + m_origin.X, y + m_origin.Y, src.Width(), src.Height()), src,
         TRect{0, 0, src.Width(), src.Height()}, std::nullopt);
}

void Canvas::DrawTransparent(int x, int y, const Bitmap& source, TColor transparent) {
    std::optional<Bitmap> copy;
    const Bitmap& src = Unaliased(source, *m_target, copy);
    Blit(*m_target, m_clip, TRect::FromSize(x + m_origin.X, y + m_origin.Y, src.Width(), src.Height()), src,
         TRect{0, 0, src.Width(), src.Height()}, Resolve(transparent));
}

void Canvas::StretchDraw(const TRect& dest, const Bitmap& source) {
    std::optional<Bitmap> copy;
    const Bitmap& src = Unaliased(source, *m_target, copy);
    Blit(*m_target, m_clip, dest.Offset(m_origin.X, m_origin.Y), src, TRect{0, 0, src.Width(), src.Height()}, std::nullopt);
}

void Canvas::CopyRect(const TRect& dest, const Bitmap& source, const TRect& sourceRect) {
    std::optional<Bitmap> copy;
    const Bitmap& src = Unaliased(source, *m_target, copy);
    Blit(*m_target, m_clip, dest.Offset(m_origin.X, m_origin.Y), src, sourceRect, std::nullopt);
}

}  // namespace vx
