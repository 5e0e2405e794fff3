#include "widgets/progress.h"

#include "widgets/format.h"

namespace vx {

TglProgress::TglProgress(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 150, 15);
    SetColor(clBlack);
    Font().SetColor(clWhite);
    auto redraw = [this] { DrawNow(); };
    m_colors.SetOnChange(redraw);
    m_gradient.SetOnChange(redraw);
    m_gradientBack.SetOnChange(redraw);
}

std::string TglProgress::CaptionText() const { return FormatIntCaption(Caption(), m_percent); }

void TglProgress::SetPercent(std::uint8_t percent) {
    if (percent == m_percent) return;
    m_percent = percent;
    // The ramp's fill follows the percentage; its change notice repaints.
    // The fill can already hold the new value (it starts at 100 while the
    // bar starts at 0), and the bar must show its new caption all the same.
    if (m_gradient.PercentFilling() != percent) {
        m_gradient.SetPercentFilling(percent);
    } else {
        DrawNow();
    }
}

// These setters repaint even when the value is unchanged: a layout that
// sets them while loading costs nothing, since nothing is shown yet.
void TglProgress::SetBevelOuter(TBevelCut cut) {
    m_bevelOuter = cut;
    DrawNow();
}

void TglProgress::SetBevelInner(TBevelCut cut) {
    m_bevelInner = cut;
    Invalidate();
}

void TglProgress::SetBevelBold(bool bold) {
    m_bevelBold = bold;
    DrawNow();
}

void TglProgress::SetCaptionAlignment(TAlignment alignment) {
    m_captionAlignment = alignment;
    DrawNow();
}

void TglProgress::SetCaptionDirection(TglLabelDir direction) {
    m_captionDirection = direction;
    DrawNow();
}

void TglProgress::SetCaptionStyle(TglTextStyle style) {
    m_captionStyle = style;
    DrawNow();
}

void TglProgress::SetStep(int step) {
    m_step = step;
    DrawNow();
}

void TglProgress::SetInterspace(int interspace) {
    m_interspace = interspace;
    DrawNow();
}

void TglProgress::SetOptions(TglProgressOptions options) {
    m_options = options & (fpoDelineatedText | fpoTransparent);
    m_backgroundStale = true;
    DrawNow();
}

void TglProgress::Paint(Canvas& canvas) {
    const int width = Width();
    const int height = Height();
    if (width <= 0 || height <= 0) return;
    if (m_work.Width() != width || m_work.Height() != height) {
        m_work.SetSize(width, height);
        m_background.SetSize(width, height);
        m_backgroundStale = true;
    }
    // Gradients depend on the depth of the surface the bar ends up on.
    m_work.SetBitsPerPixel(canvas.BitsPerPixel());
    if ((m_options & fpoTransparent) != 0 && m_backgroundStale) {
        const TPoint origin = canvas.Origin();
        Canvas background(m_background, canvas.Fonts());
        background.CopyRect(ClientRect(), canvas.Target(), ClientRect().Offset(origin.X, origin.Y));
        m_backgroundStale = false;
    }
    Canvas work(m_work, canvas.Fonts());
    work.Draw(0, 0, m_background);
    Compose(work);
    canvas.Draw(0, 0, m_work);
}

void TglProgress::Compose(Canvas& canvas) {
    const int width = Width();
    const int height = Height();
    const bool transparent = (m_options & fpoTransparent) != 0;
    const bool delineated = (m_options & fpoDelineatedText) != 0;
    const TRect inner = DrawBevel(canvas, TRect{0, 0, width - 1, height - 1}, kAllBevelSides, m_bevelOuter, m_bevelInner,
                                  m_bevelBold, !transparent, m_colors.Background());
    // The ramp leaves one background row at the top and bottom and one
    // column at the right inside the frame.
    const TRect ramp{inner.Left, inner.Top + 1, inner.Right, inner.Bottom};

    if (m_percent > 0) {
        FillGradient(canvas, ramp, m_gradientBack);
        FillGradient(canvas, ramp, m_gradient);
        // 64-bit steps: Step and Interspace come from the layout unchecked.
        const long long pitch = static_cast<long long>(m_step) + m_interspace;
        if (!transparent && pitch > 0 && m_interspace > 0) {
            long long x = inner.Left;
            const long long count = width / pitch + 2 - inner.Left;
            for (long long i = 0; i < count; ++i) {
                long long end = x + m_interspace;
                if (end > inner.Right) {
                    if (inner.Right <= x) break;
                    end = inner.Right;
                }
                canvas.FillRect(TRect{static_cast<int>(x), ramp.Top, static_cast<int>(end), ramp.Bottom}, m_colors.Background());
                x += pitch;
            }
        }
    }

    const std::string text = CaptionText();
    canvas.Font = Font();
    TSize size = canvas.TextExtent(text);
    int grow = 0;
    if (m_captionStyle == fstShadow || m_captionStyle == fstVolumetric) grow += 2;
    if (delineated) grow += 2;
    size.cx += grow;
    size.cy += grow;
    int x = (width - size.cx) / 2;
    if (m_captionAlignment == taLeftJustify) x = 2;
    if (m_captionAlignment == taRightJustify) x = width - size.cx;
    const int y = (height - size.cy) / 2;
    DrawStyledText(canvas, x, y, Font(), text, m_captionStyle, delineated, Font().Color(), m_colors.Shadow(),
                   m_colors.Highlight(), m_colors.Delineate(), ClientRect());
}

}  // namespace vx
