// The flat button: a bevelled face with a centred caption, in one of three
// looks (at rest, pointer over it, pushed).
//
// What each setter and input repaints.
//
//   setter or input                 repaint       when
//   Style, StyleActive,             invalidates   on a change of the look, its
//     StylePushed                                 font, bevel or gradients (1)
//   Frame, FrameColor,              invalidates   on a change
//     DefaultStyle
//   ModalResult                     nothing
//   Enabled                         invalidates   (drops the hover and the press)
//   pointer enters or leaves        paints now    (enters: an enabled button) (2)
//   button down or up               invalidates   (down: an enabled button) (2)
//
// (1) A look's TextGradient is not drawn; its change still invalidates.
// (2) No reason is known for hovering to paint at once while a press waits
//     for the next repaint. Kept as it is.
#pragma once

#include "framework/control.h"
#include "widgets/painters.h"
#include "widgets/property_group.h"

namespace vx {

// One look of a flat button. Any change is reported to the owner.
class TglSpeedButtonStyle : public PropertyGroup {
public:
    TglSpeedButtonStyle();

    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TColor DelineateColor() const { return m_delineateColor; }
    void SetDelineateColor(TColor color);
    TglTextStyle TextStyle() const { return m_textStyle; }
    void SetTextStyle(TglTextStyle style);
    TFont& Font() { return m_font; }
    const TFont& Font() const { return m_font; }
    TglBevel& Bevel() { return m_bevel; }
    const TglBevel& Bevel() const { return m_bevel; }
    TGradient& Gradient() { return m_gradient; }
    const TGradient& Gradient() const { return m_gradient; }
    TGradient& TextGradient() { return m_textGradient; }

private:
    TColor m_color = clBtnFace;
    TColor m_delineateColor = clBlack;
    TglTextStyle m_textStyle = fstNone;
    TFont m_font;
    TglBevel m_bevel;
    TGradient m_gradient;
    TGradient m_textGradient;
};

class TglExtSpeedButton : public TGraphicControl {
public:
    explicit TglExtSpeedButton(TComponent* owner);

    TglSpeedButtonStyle& Style() { return m_style; }
    TglSpeedButtonStyle& StyleActive() { return m_styleActive; }
    TglSpeedButtonStyle& StylePushed() { return m_stylePushed; }

    bool Frame() const { return m_frame; }
    void SetFrame(bool frame);
    TColor FrameColor() const { return m_frameColor; }
    void SetFrameColor(TColor color);
    bool DefaultStyle() const { return m_defaultStyle; }
    void SetDefaultStyle(bool defaultStyle);
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int result) { m_modalResult = result; }

    // The pointer is over the (enabled) button.
    bool Inside() const { return m_inside; }
    // A mouse button went down on it and has not come up yet.
    bool Pressed() const { return m_pressed; }

    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Paint(Canvas& canvas) override;

protected:
    void EnabledChanged() override;

private:
    void PaintDefault(Canvas& canvas);

    TglSpeedButtonStyle m_style;
    TglSpeedButtonStyle m_styleActive;
    TglSpeedButtonStyle m_stylePushed;
    bool m_frame = true;
    TColor m_frameColor = clBlack;
    bool m_defaultStyle = false;
    int m_modalResult = 0;
    bool m_inside = false;
    bool m_pressed = false;
};

}  // namespace vx
