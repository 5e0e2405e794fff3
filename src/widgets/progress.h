// The percent bar: a segmented colour ramp filled from the left with a
// caption formatted from the percentage written over it. It composes each
// frame off screen and shows it with one copy, so frequent updates do not
// flicker.
//
// What each setter repaints. The bar covers its whole rectangle, so it can
// paint over the current image without the area being erased first.
//
//   setter                          repaint      when
//   Percent                         paints now   on a change (1)
//   Caption                         paints now   on a change
//   BevelOuter, BevelBold,          paints now   always, even unchanged (2)
//     CaptionAlignment, Step,
//     CaptionDirection, Interspace,
//     CaptionStyle, Options
//   BevelInner                      invalidates  always (3)
//   Colors, Gradient, GradientBack  paints now   on a change of the group
//   Options, bounds                 the background beneath a transparent bar
//                                   is taken again at the next paint
//
// (1) Through the ramp's fill, which follows the percentage, or directly
//     when the fill already holds the new value.
// (2) The layout sets them while nothing is shown yet, so not comparing
//     costs nothing.
// (3) An accident: nothing sets it apart from BevelOuter. Kept, since the
//     pixels are the same once the window has repainted.
#pragma once

#include <cstdint>

#include "framework/control.h"
#include "widgets/painters.h"
#include "widgets/property_group.h"

namespace vx {

enum TglProgressOption : unsigned { fpoDelineatedText = 1, fpoTransparent = 2 };
using TglProgressOptions = unsigned;

// The colours of a bar's frame, caption effects and background.
class TglSimpleLabelColors : public PropertyGroup {
public:
    TColor Delineate() const { return m_delineate; }
    void SetDelineate(TColor color) { Update(m_delineate, color); }
    TColor Shadow() const { return m_shadow; }
    void SetShadow(TColor color) { Update(m_shadow, color); }
    TColor Background() const { return m_background; }
    void SetBackground(TColor color) { Update(m_background, color); }
    TColor Highlight() const { return m_highlight; }
    void SetHighlight(TColor color) { Update(m_highlight, color); }

private:
    TColor m_delineate = clWhite;
    TColor m_shadow = clBtnShadow;
    TColor m_background = clBtnFace;
    TColor m_highlight = clBtnHighlight;
};

class TglProgress : public TGraphicControl {
public:
    explicit TglProgress(TComponent* owner);

    std::uint8_t Percent() const { return m_percent; }
    // The declared range is 0..100 but larger values are kept as they are;
    // the ramp then fills completely.
    void SetPercent(std::uint8_t percent);
    // The caption with the percentage put in.
    std::string CaptionText() const;

    TglSimpleLabelColors& Colors() { return m_colors; }
    TGradient& Gradient() { return m_gradient; }
    const TGradient& Gradient() const { return m_gradient; }
    TGradient& GradientBack() { return m_gradientBack; }

    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut cut);
    TBevelCut BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TBevelCut cut);
    bool BevelBold() const { return m_bevelBold; }
    void SetBevelBold(bool bold);
    TAlignment CaptionAlignment() const { return m_captionAlignment; }
    void SetCaptionAlignment(TAlignment alignment);
    TglLabelDir CaptionDirection() const { return m_captionDirection; }
    void SetCaptionDirection(TglLabelDir direction);
    TglTextStyle CaptionStyle() const { return m_captionStyle; }
    void SetCaptionStyle(TglTextStyle style);
    int Step() const { return m_step; }
    void SetStep(int step);
    int Interspace() const { return m_interspace; }
    void SetInterspace(int interspace);
    TglProgressOptions Options() const { return m_options; }
    void SetOptions(TglProgressOptions options);

    void Paint(Canvas& canvas) override;

protected:
    void CaptionChanged() override { DrawNow(); }
    void BoundsChanged() override { m_backgroundStale = true; }

private:
    void Compose(Canvas& canvas);

    std::uint8_t m_percent = 0;
    TglSimpleLabelColors m_colors;
    TGradient m_gradient;
    TGradient m_gradientBack;
    TBevelCut m_bevelOuter = bvNone;
    TBevelCut m_bevelInner = bvLowered;
    bool m_bevelBold = false;
    TAlignment m_captionAlignment = taCenter;
    TglLabelDir m_captionDirection = fldLeftRight;
    TglTextStyle m_captionStyle = fstShadow;
    int m_step = 3;
    int m_interspace = 1;
    TglProgressOptions m_options = 0;

    Bitmap m_work;        // each frame is composed here
    Bitmap m_background;  // what lies beneath a transparent bar
    bool m_backgroundStale = true;
};

}  // namespace vx
