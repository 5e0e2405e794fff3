// The styled text label: a one-line caption in a 3D text style, used as a
// clickable link. Its look can differ while the pointer is over it.
//
// What each setter repaints. A label sized to its text (AutoSize) takes its
// new size first wherever the needed size can change.
//
//   setter                          repaint                when
//   Colors                          invalidates            on a change
//   TextStyles, Illumination        resizes, invalidates   on a change
//   AutoSize, Options               resizes, invalidates   on a change
//   Transparent, Alignment,         invalidates            on a change
//     Direction
//   Caption, Font                   resizes, invalidates   on a change
//   Enabled                         invalidates            (drops the hover look)
//   pointer enters or leaves        paints now             only when the hover
//                                                          look differs (1)
//
// (1) Style, text colour, a delineated text's outline or an opaque label's
//     background; a link that looks the same under the pointer is not
//     painted again.
#pragma once

#include <algorithm>

#include "framework/control.h"
#include "widgets/painters.h"
#include "widgets/property_group.h"

namespace vx {

enum TglLabelOption : unsigned { floActiveWhileControlFocused = 1, floDelineatedText = 2 };
using TglLabelOptions = unsigned;

// Small groups of label settings; each reports changes to its owner.
class TglLabelColors : public PropertyGroup {
public:
    TColor Text() const { return m_text; }
    void SetText(TColor c) { Update(m_text, c); }
    TColor TextActive() const { return m_textActive; }
    void SetTextActive(TColor c) { Update(m_textActive, c); }
    TColor TextDisabled() const { return m_textDisabled; }
    void SetTextDisabled(TColor c) { Update(m_textDisabled, c); }
    TColor Delineate() const { return m_delineate; }
    void SetDelineate(TColor c) { Update(m_delineate, c); }
    TColor DelineateActive() const { return m_delineateActive; }
    void SetDelineateActive(TColor c) { Update(m_delineateActive, c); }
    TColor Highlight() const { return m_highlight; }
    void SetHighlight(TColor c) { Update(m_highlight, c); }
    TColor Shadow() const { return m_shadow; }
    void SetShadow(TColor c) { Update(m_shadow, c); }
    TColor Background() const { return m_background; }
    void SetBackground(TColor c) { Update(m_background, c); }
    TColor BackgroundActive() const { return m_backgroundActive; }
    void SetBackgroundActive(TColor c) { Update(m_backgroundActive, c); }

private:
    TColor m_text = clBlack;
    TColor m_textActive = clBlack;
    TColor m_textDisabled = clGray;
    TColor m_delineate = clWhite;
    TColor m_delineateActive = clWhite;
    TColor m_highlight = clBtnHighlight;
    TColor m_shadow = clBtnShadow;
    TColor m_background = clBtnFace;
    TColor m_backgroundActive = clBtnFace;
};

class TglLabelTextStyles : public PropertyGroup {
public:
    TglTextStyle Passive() const { return m_passive; }
    void SetPassive(TglTextStyle s) { Update(m_passive, s); }
    TglTextStyle Active() const { return m_active; }
    void SetActive(TglTextStyle s) { Update(m_active, s); }
    TglTextStyle Disabled() const { return m_disabled; }
    void SetDisabled(TglTextStyle s) { Update(m_disabled, s); }

private:
    TglTextStyle m_passive = fstRaised;
    TglTextStyle m_active = fstRaised;
    TglTextStyle m_disabled = fstPushed;
};

class TIllumination : public PropertyGroup {
public:
    int ShadowDepth() const { return m_shadowDepth; }
    // Negative depths are stored as 0.
    void SetShadowDepth(int depth) { Update(m_shadowDepth, std::max(depth, 0)); }

private:
    int m_shadowDepth = 2;
};

class TglLabel : public TGraphicControl {
public:
    explicit TglLabel(TComponent* owner);

    TglLabelColors& Colors() { return m_colors; }
    TglLabelTextStyles& TextStyles() { return m_textStyles; }
    TIllumination& Illumination() { return m_illumination; }

    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    TglLabelDir Direction() const { return m_direction; }
    void SetDirection(TglLabelDir direction);
    TglLabelOptions Options() const { return m_options; }
    void SetOptions(TglLabelOptions options);

    // The pointer is over the enabled label.
    bool IsActive() const { return m_active; }

    void MouseEnter() override;
    void MouseLeave() override;
    void Paint(Canvas& canvas) override;
    void Loaded() override;

protected:
    void EnabledChanged() override;
    void CaptionChanged() override {
        AdjustSize();
        Invalidate();
    }
    void FontChanged() override {
        AdjustSize();
        Invalidate();
    }

private:
    struct Look {
        TglTextStyle style;
        TColor text;
        TColor delineate;
        TColor background;
    };
    Look LookFor(bool active) const;
    // The size the caption needs in a style (AutoSize takes it).
    TSize NeededSize(FontCache& fonts, TglTextStyle style) const;
    void AdjustSize();
    // Redraws on hover only when the active look differs from the passive one.
    void SetActiveState(bool active);

    TglLabelColors m_colors;
    TglLabelTextStyles m_textStyles;
    TIllumination m_illumination;
    bool m_transparent = true;
    bool m_autoSize = true;
    TAlignment m_alignment = taLeftJustify;
    TglLabelDir m_direction = fldLeftRight;
    TglLabelOptions m_options = floActiveWhileControlFocused;
    bool m_active = false;
};

}  // namespace vx
