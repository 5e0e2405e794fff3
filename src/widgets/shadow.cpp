#include "widgets/shadow.h"

namespace vx {

TglShadow::TglShadow(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 100, 100);
    auto repaint = [this] { Invalidate(); };
    m_style.SetOnChange(repaint);
    m_styleActive.SetOnChange(repaint);
}

void TglShadow::SetShadowed(bool shadowed) { Update(m_shadowed, shadowed); }
void TglShadow::SetShadowDepth(std::uint16_t depth) { Update(m_shadowDepth, depth); }
void TglShadow::SetTransparentShadow(bool transparent) { Update(m_transparentShadow, transparent); }
void TglShadow::SetTransparentColor(TColor color) { Update(m_transparentColor, color); }
void TglShadow::SetMaskedShadow(bool masked) { Update(m_maskedShadow, masked); }

void TglShadow::Paint(Canvas& canvas) {
    const int width = Width();
    const int height = Height();
    const int depth = m_shadowDepth;
    TRect box{0, 0, width - 1, height - 1};
    if (m_shadowed) {
        if (!m_transparentShadow) canvas.FillRect(TRect{depth, depth, width, height}, clBtnFace);
        // Every other pixel turns black, counted from the shadow's own corner.
        // The window has already painted what lies beneath, and blackening
        // is idempotent, so a repaint over the current image looks the same.
        for (int y = depth; y < height; ++y) {
            for (int x = depth + (y - depth) % 2; x < width; x += 2) canvas.SetPixel(x, y, clBlack);
        }
        box = TRect{0, 0, width - depth, height - depth};
    }
    const BevelColors colors{m_style.ShadowColor(), m_style.HighlightColor(), cl3DDkShadow};
    DrawBevel(canvas, box, m_style.Sides(), m_style.Outer(), m_style.Inner(), m_style.Bold(), true, m_style.BackgroundColor(),
              colors);
}

}  // namespace vx
