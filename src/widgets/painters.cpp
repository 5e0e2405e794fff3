#include "widgets/painters.h"

#include <algorithm>

namespace vx {

namespace {

int ShiftChannel(int channel, int step) { return std::clamp(channel + step, 0, 255); }

TColor ShiftColor(TColor color, int step) {
    const TColor rgb = ColorToRGB(color);
    return RGB(ShiftChannel(GetRValue(rgb), step), ShiftChannel(GetGValue(rgb), step), ShiftChannel(GetBValue(rgb), step));
}

}  // namespace

TColor LightenColor(TColor color, int step) { return ShiftColor(color, step); }
TColor DarkenColor(TColor color, int step) { return ShiftColor(color, -step); }

// ---------------------------------------------------------------- TTwainColors / TGradient

// The RGB value is taken even when the colour is unchanged: a system colour
// may have changed its value since.
void TTwainColors::SetFromColor(TColor color) {
    m_rgbFrom = ColorToRGB(color);
    Update(m_fromColor, color);
}

void TTwainColors::SetToColor(TColor color) {
    m_rgbTo = ColorToRGB(color);
    Update(m_toColor, color);
}

void TGradient::SetActive(bool active) { Update(m_active, active); }

void TGradient::SetOrientation(TglGradientDir orientation) {
    if (orientation == m_orientation) return;
    m_orientation = orientation;
    if (m_active) Changed();
}

void TGradient::SetSteps(int steps) { Update(m_steps, steps >= 256 ? 255 : (steps <= 0 ? 1 : steps)); }

void TGradient::SetPercentFilling(std::uint8_t percent) { Update(m_percentFilling, percent); }

void TGradient::SetBufferedDraw(bool buffered) { Update(m_bufferedDraw, buffered); }

void TGradient::SetBrushStyle(TBrushStyle style) {
    m_brushStyle = style;
    Changed();
}

// ---------------------------------------------------------------- TglBevel

void TglBevel::SetOuter(TBevelCut cut) { Update(m_outer, cut); }
void TglBevel::SetInner(TBevelCut cut) { Update(m_inner, cut); }
void TglBevel::SetSides(TglBevelSides sides) { Update(m_sides, sides & kAllBevelSides); }
void TglBevel::SetBold(bool bold) { Update(m_bold, bold); }

// ---------------------------------------------------------------- DrawBevel

namespace {

// Inclusive pixel ranges, as the bevel rules are written.
void HLine(Canvas& canvas, int x1, int x2, int y, TColor color) {
    if (x2 >= x1) canvas.FillRect(TRect{x1, y, x2 + 1, y + 1}, color);
}
void VLine(Canvas& canvas, int x, int y1, int y2, TColor color) {
    if (y2 >= y1) canvas.FillRect(TRect{x, y1, x + 1, y2 + 1}, color);
}

// One ring of a cut. All four sides use the corners the rectangle had when
// the ring began; each drawn side moves its own edge inward.
void DrawRing(Canvas& canvas, TRect& r, TglBevelSides sides, TBevelCut cut, TColor shadow, TColor highlight) {
    const int l = r.Left, t = r.Top, rt = r.Right, b = r.Bottom;
    switch (cut) {
        case bvLowered:
            if (sides & fsdLeft) VLine(canvas, l, t, b - 1, shadow);
            if (sides & fsdTop) HLine(canvas, l, rt - 1, t, shadow);
            if (sides & fsdRight) VLine(canvas, rt, t, b - 1, highlight);
            if (sides & fsdBottom) HLine(canvas, l, rt, b, highlight);
            break;
        case bvRaised:
            if (sides & fsdLeft) VLine(canvas, l, t, b, highlight);
            if (sides & fsdTop) HLine(canvas, l, rt - 1, t, highlight);
            if (sides & fsdRight) VLine(canvas, rt, t, b, shadow);
            if (sides & fsdBottom) HLine(canvas, l, rt - 1, b, shadow);
            break;
        case bvSpace:
            if (sides & fsdLeft) VLine(canvas, l, t, b - 1, shadow);
            if (sides & fsdTop) HLine(canvas, l, rt - 1, t, shadow);
            if (sides & fsdRight) VLine(canvas, rt, t, b - 1, shadow);
            if (sides & fsdBottom) HLine(canvas, l, rt, b, shadow);
            break;
        case bvNone:
            return;
    }
    if (sides & fsdLeft) ++r.Left;
    if (sides & fsdTop) ++r.Top;
    if (sides & fsdRight) --r.Right;
    if (sides & fsdBottom) --r.Bottom;
}

void DrawCut(Canvas& canvas, TRect& r, TglBevelSides sides, TBevelCut cut, bool bold, const BevelColors& colors) {
    if (!bold || cut == bvNone || cut == bvSpace) {
        DrawRing(canvas, r, sides, cut, colors.shadow, colors.highlight);
        return;
    }
    // A heavy edge: the dark shadow goes on the outside of a raised cut and
    // on the inside of a lowered one, as the desktop's own 3D edges do.
    if (cut == bvRaised) {
        DrawRing(canvas, r, sides, cut, colors.darkShadow, colors.highlight);
        DrawRing(canvas, r, sides, cut, colors.shadow, colors.highlight);
    } else {
        DrawRing(canvas, r, sides, cut, colors.shadow, colors.highlight);
        DrawRing(canvas, r, sides, cut, colors.darkShadow, colors.highlight);
    }
}

}  // namespace

TRect DrawBevel(Canvas& canvas, TRect rect, TglBevelSides sides, TBevelCut outer, TBevelCut inner, bool bold, bool fill,
                TColor fillColor, const BevelColors& colors) {
    const BevelColors resolved{ColorToRGB(colors.shadow), ColorToRGB(colors.highlight), ColorToRGB(colors.darkShadow)};
    DrawCut(canvas, rect, sides, outer, bold, resolved);
    DrawCut(canvas, rect, sides, inner, bold, resolved);
    if (fill && rect.Right >= rect.Left && rect.Bottom >= rect.Top) {
        canvas.FillRect(TRect{rect.Left, rect.Top, rect.Right + 1, rect.Bottom + 1}, fillColor);
    }
    return rect;
}

// ---------------------------------------------------------------- FillGradient

namespace {

TColor BandColor(TColor from, TColor to, int index, int last) {
    auto channel = [&](int f, int t) { return f + (last > 0 ? MulDiv(index, t - f, last) : 0); };
    return RGB(channel(GetRValue(from), GetRValue(to)), channel(GetGValue(from), GetGValue(to)),
               channel(GetBValue(from), GetBValue(to)));
}

// True once the band has passed the filling percentage.
bool PastFilling(const TGradient& gradient, int index, int bands) {
    return static_cast<double>(gradient.PercentFilling()) < static_cast<double>(index) * 100.0 / bands;
}

}  // namespace

void FillGradient(Canvas& canvas, const TRect& rect, const TGradient& gradient) {
    if (!gradient.Active() || gradient.Steps() == 1 || canvas.BitsPerPixel() < 16) return;
    const int width = rect.Right - rect.Left;
    const int height = rect.Bottom - rect.Top;
    if (width <= 0 || height <= 0) return;
    const TColor from = gradient.RGBFromColor();
    const TColor to = gradient.RGBToColor();

    switch (gradient.Orientation()) {
        case fgdHorizontal:
        case fgdHorzConvergent: {
            const int n = std::min(gradient.Steps(), height);
            const bool converge = gradient.Orientation() == fgdHorzConvergent;
            for (int i = 0; i < n; ++i) {
                // A converging ramp runs from the edges to the middle and back.
                const int shade = converge ? std::min(2 * std::min(i, n - 1 - i), n - 1) : i;
                canvas.FillRect(
                    TRect{rect.Left, rect.Top + MulDiv(i, height, n), rect.Right, rect.Top + MulDiv(i + 1, height, n)},
                    BandColor(from, to, shade, n - 1));
                if (PastFilling(gradient, i, n)) break;
            }
            break;
        }
        case fgdRectangle: {
            // Concentric frames from the edge inwards.
            const int depth = (std::min(width, height) + 1) / 2;
            const int n = std::min(gradient.Steps(), depth);
            for (int i = 0; i < n; ++i) {
                const int inset = MulDiv(i, depth, n);
                const TRect band{rect.Left + inset, rect.Top + inset, rect.Right - inset, rect.Bottom - inset};
                canvas.FillRect(band, BandColor(from, to, i, n - 1));
                if (PastFilling(gradient, i, n)) break;
            }
            break;
        }
        case fgdVertical:
        case fgdVertConvergent:
        case fgdLeftBias:
        case fgdRightBias: {
            // The diagonal directions ramp left to right as well.
            const int n = std::min(gradient.Steps(), width);
            const bool converge = gradient.Orientation() == fgdVertConvergent;
            for (int i = 0; i < n; ++i) {
                const int shade = converge ? std::min(2 * std::min(i, n - 1 - i), n - 1) : i;
                canvas.FillRect(
                    TRect{rect.Left + MulDiv(i, width, n), rect.Top, rect.Left + MulDiv(i + 1, width, n), rect.Bottom},
                    BandColor(from, to, shade, n - 1));
                if (PastFilling(gradient, i, n)) break;
            }
            break;
        }
    }
}

// ---------------------------------------------------------------- DrawStyledText

void DrawStyledText(Canvas& canvas, int x, int y, const TFont& font, const std::string& text, TglTextStyle style, bool delineated,
                    TColor fontColor, TColor shadowColor, TColor highlightColor, TColor delineateColor, const TRect& clip,
                    int shadowDepth, bool skip3DCopies) {
    if (text.empty()) return;
    Canvas::StateSaver saver(canvas);
    canvas.Font = font;
    canvas.Brush.Style = bsClear;
    auto write = [&](int px, int py, TColor color) {
        canvas.Font.SetColor(color);
        canvas.TextRect(clip, px, py, text);
    };
    auto mainText = [&](int offset) {
        const int px = x + offset;
        const int py = y + offset;
        if (delineated) {
            write(px, py, delineateColor);
            write(px + 2, py + 2, delineateColor);
            write(px, py + 2, delineateColor);
            write(px + 2, py, delineateColor);
            write(px + 1, py + 1, fontColor);
        } else {
            write(px, py, fontColor);
        }
    };

    switch (style) {
        case fstNone:
            mainText(0);
            break;
        case fstShadow: {
            const int g = delineated ? 1 : 0;
            write(x + g + shadowDepth, y + g + shadowDepth, shadowColor);
            mainText(0);
            break;
        }
        case fstVolumetric: {
            // A solid extrusion: every step between the text and its shadow.
            const int g = delineated ? 1 : 0;
            for (int d = std::max(shadowDepth, 1); d >= 1; --d) write(x + g + d, y + g + d, shadowColor);
            mainText(0);
            break;
        }
        case fstRaised:
        case fstRecessed: {
            if (!skip3DCopies) {
                const int g = delineated ? 4 : 2;
                const bool raised = style == fstRaised;
                write(x, y, raised ? highlightColor : shadowColor);
                write(x + g, y + g, raised ? shadowColor : highlightColor);
            }
            mainText(1);
            break;
        }
        case fstPushed:
            write(x + 1, y + 1, highlightColor);
            write(x, y, shadowColor);
            break;
    }
}

}  // namespace vx
