#include "widgets/label.h"

#include <algorithm>

#include "framework/application.h"

namespace vx {

TglLabel::TglLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 17);
    m_colors.SetOnChange([this] { Invalidate(); });
    auto resize = [this] {
        AdjustSize();
        Invalidate();
    };
    m_textStyles.SetOnChange(resize);
    m_illumination.SetOnChange(resize);
}

void TglLabel::SetTransparent(bool transparent) {
    if (transparent == m_transparent) return;
    m_transparent = transparent;
    Invalidate();
}

void TglLabel::SetAutoSize(bool autoSize) {
    if (autoSize == m_autoSize) return;
    m_autoSize = autoSize;
    AdjustSize();
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
    AdjustSize();
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

TSize TglLabel::NeededSize(FontCache& fonts, TglTextStyle style) const {
    const TSize text = fonts.Face(Font()).Extent(Caption());
    int w = text.cx + text.cx / 100 + 2;
    int h = text.cy + 2;
    if (style == fstShadow || style == fstVolumetric) {
        w += m_illumination.ShadowDepth();
        h += m_illumination.ShadowDepth();
    }
    if ((m_options & floDelineatedText) != 0) {
        w += 2;
        h += 2;
    }
    return TSize{w, h};
}

void TglLabel::AdjustSize() {
    // Sized as soon as the text is known, so that the label can be hit
    // before its first paint; without an application there are no fonts yet.
    Application* app = App();
    if (app == nullptr || !m_autoSize || Loading()) return;
    const TSize size = NeededSize(app->Fonts(), LookFor(m_active).style);
    if (Width() != size.cx || Height() != size.cy) SetBounds(Left(), Top(), size.cx, size.cy);
}

void TglLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustSize();
}

void TglLabel::Paint(Canvas& canvas) {
    const Look look = LookFor(m_active);
    const bool delineated = (m_options & floDelineatedText) != 0;
    const TSize size = NeededSize(canvas.Fonts(), look.style);
    // The new bounds are repainted in full by the request this makes.
    if (m_autoSize && (Width() != size.cx || Height() != size.cy)) SetBounds(Left(), Top(), size.cx, size.cy);

    int x = 0;
    if (m_alignment == taRightJustify) x = Width() - size.cx;
    if (m_alignment == taCenter) x = (Width() - size.cx) / 2;
    if (!m_transparent) canvas.FillRect(ClientRect(), look.background);
    DrawStyledText(canvas, x, 0, Font(), Caption(), look.style, delineated, look.text, m_colors.Shadow(), m_colors.Highlight(),
                   look.delineate, ClientRect(), m_illumination.ShadowDepth());
}

}  // namespace vx
