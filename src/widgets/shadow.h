// A drop shadow: a box with a dithered black shadow along its right and
// bottom edges, laid beneath another control to lift it off the window.
//
// Every setter invalidates, on a change only: the shadow darkens what lies
// beneath it, so that must be painted again first.
//
//   setter                          repaint                        note
//   Style                           invalidates
//   StyleActive                     invalidates                    (1)
//   Shadowed, ShadowDepth,          shadow built again,
//     TransparentShadow             invalidates
//   TransparentColor, MaskedShadow  shadow built again,            (1)
//                                   invalidates
//   bounds                          shadow built again at the next paint
//
// (1) Not drawn by this widget, so the repaint changes no pixel. Kept as
//     it is.
#pragma once

#include <cstdint>

#include "framework/control.h"
#include "widgets/painters.h"
#include "widgets/property_group.h"

namespace vx {

// The look of the shadow's box.
class TglShadowStyle : public PropertyGroup {
public:
    TBevelCut Inner() const { return m_inner; }
    void SetInner(TBevelCut cut) { Update(m_inner, cut); }
    TBevelCut Outer() const { return m_outer; }
    void SetOuter(TBevelCut cut) { Update(m_outer, cut); }
    bool Bold() const { return m_bold; }
    void SetBold(bool bold) { Update(m_bold, bold); }
    TglBevelSides Sides() const { return m_sides; }
    void SetSides(TglBevelSides sides) { Update(m_sides, sides & kAllBevelSides); }
    TColor HighlightColor() const { return m_highlightColor; }
    void SetHighlightColor(TColor color) { Update(m_highlightColor, color); }
    TColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(TColor color) { Update(m_shadowColor, color); }
    TColor BackgroundColor() const { return m_backgroundColor; }
    void SetBackgroundColor(TColor color) { Update(m_backgroundColor, color); }
    TColor TextColor() const { return m_textColor; }
    void SetTextColor(TColor color) { Update(m_textColor, color); }

private:
    TBevelCut m_inner = bvNone;
    TBevelCut m_outer = bvNone;
    bool m_bold = false;
    TglBevelSides m_sides = kAllBevelSides;
    TColor m_highlightColor = clBtnHighlight;
    TColor m_shadowColor = clBtnShadow;
    TColor m_backgroundColor = clWindow;
    TColor m_textColor = clWindowText;
};

class TglShadow : public TGraphicControl {
public:
    explicit TglShadow(TComponent* owner);

    TglShadowStyle& Style() { return m_style; }
    TglShadowStyle& StyleActive() { return m_styleActive; }

    bool Shadowed() const { return m_shadowed; }
    void SetShadowed(bool shadowed);
    std::uint16_t ShadowDepth() const { return m_shadowDepth; }
    void SetShadowDepth(std::uint16_t depth);
    // The shadow darkens what lies beneath it instead of a plain face.
    bool TransparentShadow() const { return m_transparentShadow; }
    void SetTransparentShadow(bool transparent);
    TColor TransparentColor() const { return m_transparentColor; }
    void SetTransparentColor(TColor color);
    bool MaskedShadow() const { return m_maskedShadow; }
    void SetMaskedShadow(bool masked);

    void Paint(Canvas& canvas) override;

    // The cached shadow: what lay beneath the shadow's band at the first
    // paint, every other pixel blackened. Empty before the first paint.
    const Bitmap& ShadowImage() const { return m_shadowImage; }

protected:
    void BoundsChanged() override { m_shadowStale = true; }

private:
    template <class T>
    void Update(T& field, T value) {
        if (field == value) return;
        field = value;
        m_shadowStale = true;
        Invalidate();
    }
    // Paints what lies beneath `band` (this control's coordinates) into the
    // shadow image: the parent's own face, then the visible windowless
    // siblings below this one.
    void PaintBeneath(Canvas& target, const TRect& band);
    void BuildShadowImage(Canvas& target, const TRect& band);

    TglShadowStyle m_style;
    TglShadowStyle m_styleActive;
    bool m_shadowed = true;
    std::uint16_t m_shadowDepth = 6;
    bool m_transparentShadow = true;
    TColor m_transparentColor = clWhite;
    bool m_maskedShadow = false;

    Bitmap m_shadowImage;
    bool m_shadowStale = true;
};

}  // namespace vx
