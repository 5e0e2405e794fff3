#include "widgets/label.h"

#include <algorithm>

namespace vx {

void TIllumination::SetShadowDepth(int depth) {
    const int stored = std::max(depth, 0);
    if (stored == m_shadowDepth) return;
    m_shadowDepth = stored;
    if (m_onChange) m_onChange();
}

TglLabel::TglLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 17);
    auto repaint = [this] { Invalidate(); };
    m_colors.SetOnChange(repaint);
    m_textStyles.SetOnChange(repaint);
    m_illumination.SetOnChange(repaint);
}

void TglLabel::SetTransparent(bool transparent) {
    if (transparent == m_transparent) return;
    m_transparent = transparent;
    Invalidate();
}

void TglLabel::SetAutoSize(bool autoSize) {
    if (autoSize == m_autoSize) return;
    m_autoSize = autoSize;
    Invalidate();
}

void TglLabel::SetAlignment(TAlignment alignment) {
    if (alignment == m_alignment) return;
    m_alignment = alignment;
    Invalidate();
}

void TglLabel::SetDirection(TglLabelDir direction) {
    if (direction == m_direction) return;
    m_direction = direction;
    Invalidate();
}

void TglLabel::SetOptions(TglLabelOptions options) {
    if (options == m_options) return;
    m_options = options;
    Invalidate();
}

TglLabel::Look TglLabel::LookFor(bool active) const {
    if (!Enabled()) return {m_textStyles.Disabled(), m_colors.TextDisabled(), m_colors.Delineate(), m_colors.Background()};
    if (active) return {m_textStyles.Active(), m_colors.TextActive(), m_colors.DelineateActive(), m_colors.BackgroundActive()};
    return {m_textStyles.Passive(), m_colors.Text(), m_colors.Delineate(), m_colors.Background()};
}

void TglLabel::SetActiveState(bool active) {
    if (active == m_active) return;
    const Look before = LookFor(m_active);
    m_active = active;
    const Look after = LookFor(m_active);
    const bool delineated = (m_options & floDelineatedText) != 0;
    const bool differs = before.style != after.style || before.text != after.text ||
                         (delineated && before.delineate != after.delineate) ||
                         (!m_transparent && before.background != after.background);
    if (differs) DrawNow();
}

void TglLabel::MouseEnter() {
    if (Enabled()) SetActiveState(true);
}

void TglLabel::MouseLeave() { SetActiveState(false); }

void TglLabel::EnabledChanged() {
    if (!Enabled()) m_active = false;
    Invalidate();
}

void TglLabel::Paint(Canvas& canvas) {
    const Look look = LookFor(m_active);
    const bool delineated = (m_options & floDelineatedText) != 0;
    const int depth = m_illumination.ShadowDepth();

    canvas.Font = Font();
    const TSize size = canvas.TextExtent(Caption());
    int w = size.cx + size.cx / 100 + 2;
    int h = size.cy + 2;
    if (look.style == fstShadow || look.style == fstVolumetric) {
        w += depth;
        h += depth;
    }
    if (delineated) {
        w += 2;
        h += 2;
    }
    // The new bounds are repainted in full by the request this makes.
    if (m_autoSize && (Width() != w || Height() != h)) SetBounds(Left(), Top(), w, h);

    int x = 0;
    if (m_alignment == taRightJustify) x = Width() - w;
    if (m_alignment == taCenter) x = (Width() - w) / 2;
    if (!m_transparent) canvas.FillRect(ClientRect(), look.background);
    DrawStyledText(canvas, x, 0, Font(), Caption(), look.style, delineated, look.text, m_colors.Shadow(), m_colors.Highlight(),
                   look.delineate, ClientRect(), depth);
}

}  // namespace vx
