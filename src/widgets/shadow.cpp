#include "widgets/shadow.h"

#include <algorithm>

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

void TglShadow::PaintBeneath(Canvas& target, const TRect& band) {
    TWinControl* parent = Parent();
    if (parent == nullptr) return;
    Canvas canvas(m_shadowImage, target.Fonts());
    // Parent coordinates of the band's top-left corner land on the image's (0, 0).
    const TPoint bandInParent{Left() + band.Left, Top() + band.Top};
    const TRect bandRect = TRect::FromSize(bandInParent.X, bandInParent.Y, band.Width(), band.Height());
    {
        Canvas::StateSaver saver(canvas);
        // The parent paints in its own client coordinates.
        canvas.SetOrigin(TPoint{-bandInParent.X, -bandInParent.Y});
        parent->Paint(canvas);
    }
    for (TControl* sibling : parent->Controls()) {
        if (sibling == this) break;
        if (sibling->IsWindowed() || !sibling->Visible() || !sibling->BoundsRect().Intersects(bandRect)) continue;
        Canvas::StateSaver saver(canvas);
        canvas.SetOrigin(TPoint{sibling->Left() - bandInParent.X, sibling->Top() - bandInParent.Y});
        canvas.IntersectClip(sibling->ClientRect());
        sibling->Paint(canvas);
    }
}

void TglShadow::BuildShadowImage(Canvas& target, const TRect& band) {
    m_shadowImage = Bitmap(band.Width(), band.Height(), clBtnFace);
    m_shadowImage.SetBitsPerPixel(target.BitsPerPixel());
    if (m_transparentShadow) PaintBeneath(target, band);
    // A 50 percent dither: the pixels whose x + y is even turn black.
    const std::uint32_t black = ColorToPixel(clBlack);
    for (int y = 0; y < m_shadowImage.Height(); ++y) {
        std::uint32_t* row = m_shadowImage.Row(y);
        for (int x = y % 2; x < m_shadowImage.Width(); x += 2) row[x] = black;
    }
    m_shadowStale = false;
}

void TglShadow::Paint(Canvas& canvas) {
    const int width = Width();
    const int height = Height();
    const int depth = m_shadowDepth;
    TRect box{0, 0, width - 1, height - 1};
    if (m_shadowed) {
        const TRect band{depth, depth, width, height};
        if (!band.IsEmpty()) {
            // Built once: what lies beneath does not change while the window
            // lives, and a repaint must not darken the shadow twice.
            if (m_shadowStale || m_shadowImage.Width() != band.Width() || m_shadowImage.Height() != band.Height()) {
                BuildShadowImage(canvas, band);
            }
            canvas.Draw(band.Left, band.Top, m_shadowImage);
        }
        box = TRect{0, 0, width - depth, height - depth};
    }
    const BevelColors colors{m_style.ShadowColor(), m_style.HighlightColor(), cl3DDkShadow};
    DrawBevel(canvas, box, m_style.Sides(), m_style.Outer(), m_style.Inner(), m_style.Bold(), true, m_style.BackgroundColor(),
              colors);
}

}  // namespace vx
