#include "widgets/speed_button.h"

namespace vx {

TglSpeedButtonStyle::TglSpeedButtonStyle() {
    auto changed = [this] { Changed(); };
    m_font.SetOnChange(changed);
    m_bevel.SetOnChange(changed);
    m_gradient.SetOnChange(changed);
    m_textGradient.SetOnChange(changed);
}

void TglSpeedButtonStyle::SetColor(TColor color) { Update(m_color, color); }
void TglSpeedButtonStyle::SetDelineateColor(TColor color) { Update(m_delineateColor, color); }
void TglSpeedButtonStyle::SetTextStyle(TglTextStyle style) { Update(m_textStyle, style); }

TglExtSpeedButton::TglExtSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 23, 22);
    m_style.SetColor(LightenColor(clBtnFace, 30));
    m_styleActive.SetColor(LightenColor(m_style.Color(), 10));
    m_stylePushed.SetColor(DarkenColor(m_style.Color(), 10));
    m_style.Bevel().SetInner(bvRaised);
    m_styleActive.Bevel().SetInner(bvRaised);
    m_stylePushed.Bevel().SetInner(bvLowered);
    auto repaint = [this] { Invalidate(); };
    m_style.SetOnChange(repaint);
    m_styleActive.SetOnChange(repaint);
    m_stylePushed.SetOnChange(repaint);
}

void TglExtSpeedButton::SetFrame(bool frame) {
    if (frame == m_frame) return;
    m_frame = frame;
    Invalidate();
}

void TglExtSpeedButton::SetFrameColor(TColor color) {
    if (color == m_frameColor) return;
    m_frameColor = color;
    Invalidate();
}

void TglExtSpeedButton::SetDefaultStyle(bool defaultStyle) {
    if (defaultStyle == m_defaultStyle) return;
    m_defaultStyle = defaultStyle;
    Invalidate();
}

void TglExtSpeedButton::EnabledChanged() {
    // A disabled button shows its resting look, whatever the pointer does.
    if (!Enabled()) {
        m_inside = false;
        m_pressed = false;
    }
    Invalidate();
}

void TglExtSpeedButton::MouseEnter() {
    if (!Enabled()) return;
    m_inside = true;
    DrawNow();
}

void TglExtSpeedButton::MouseLeave() {
    m_inside = false;
    DrawNow();
}

// The framework's handling (OnMouseDown, click tracking) comes first in both,
// so a handler sees the button as it was.
void TglExtSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (!Enabled()) return;
    m_pressed = true;
    Invalidate();
}

void TglExtSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    m_pressed = false;
    Invalidate();
}

void TglExtSpeedButton::Paint(Canvas& canvas) {
    if (m_defaultStyle) {
        PaintDefault(canvas);
        return;
    }
    // Held down but dragged off: the button shows its resting look.
    const TglSpeedButtonStyle& style = m_pressed && m_inside ? m_stylePushed : (m_inside ? m_styleActive : m_style);
    TRect r = ClientRect();
    if (m_frame) r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    r.Right -= 1;
    r.Bottom -= 1;
    const TglBevel& bevel = style.Bevel();
    const TRect inner = DrawBevel(canvas, r, bevel.Sides(), bevel.Outer(), bevel.Inner(), bevel.Bold(),
                                  !style.Gradient().Active(), style.Color());
    const TRect face{inner.Left, inner.Top, inner.Right + 1, inner.Bottom + 1};
    if (style.Gradient().Active()) FillGradient(canvas, face, style.Gradient());

    canvas.Font = style.Font();
    const TSize size = canvas.TextExtent(Caption());
    // The caption stays shifted while the button is held, even off it.
    const int shift = m_pressed ? 1 : 0;
    const int x = inner.Left + (inner.Right - inner.Left - size.cx) / 2 + shift;
    const int y = inner.Top + (inner.Bottom - inner.Top - size.cy) / 2 + shift;
    DrawStyledText(canvas, x, y, style.Font(), Caption(), Enabled() ? style.TextStyle() : fstPushed, false, style.Font().Color(),
                   DarkenColor(style.Color(), 60), LightenColor(style.Color(), 60), style.DelineateColor(), face);

    if (m_frame) {
        canvas.Brush.Color = m_frameColor;
        canvas.Brush.Style = bsSolid;
        canvas.FrameRect(ClientRect());
    }
}

void TglExtSpeedButton::PaintDefault(Canvas& canvas) {
    canvas.FillRect(ClientRect(), clBtnFace);
    const bool down = m_pressed && m_inside;
    const TRect inner = DrawFrame3D(canvas, ClientRect(), down ? clBtnShadow : clBtnHighlight, down ? clBtnShadow : cl3DDkShadow);
    canvas.Font = Font();
    const TSize size = canvas.TextExtent(Caption());
    const int shift = down ? 1 : 0;
    const int x = inner.Left + (inner.Width() - size.cx) / 2 + shift;
    const int y = inner.Top + (inner.Height() - size.cy) / 2 + shift;
    DrawStyledText(canvas, x, y, Font(), Caption(), Enabled() ? fstNone : fstPushed, false, Font().Color(), clBtnShadow,
                   clBtnHighlight, clBlack, inner);
}

}  // namespace vx
