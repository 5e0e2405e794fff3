#include "framework/stdctrls.h"

#include <algorithm>

#include "framework/application.h"
#include "framework/backend.h"
#include "framework/form.h"
#include "framework/keys.h"

namespace vx {

TRect DrawFrame3D(Canvas& canvas, const TRect& r, TColor topLeft, TColor bottomRight) {
    if (r.IsEmpty()) return r;
    canvas.FillRect(TRect{r.Left, r.Top, r.Right - 1, r.Top + 1}, topLeft);
    canvas.FillRect(TRect{r.Left, r.Top, r.Left + 1, r.Bottom - 1}, topLeft);
    canvas.FillRect(TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
    canvas.FillRect(TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
    return TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}

namespace {
TRect DrawCut(Canvas& canvas, const TRect& r, TBevelCut cut) {
    switch (cut) {
        case bvLowered:
            return DrawFrame3D(canvas, r, clBtnShadow, clBtnHighlight);
        case bvRaised:
            return DrawFrame3D(canvas, r, clBtnHighlight, clBtnShadow);
        case bvSpace:
            return DrawFrame3D(canvas, r, clBtnFace, clBtnFace);
        case bvNone:
            break;
    }
    return r;
}
}  // namespace

// ---------------------------------------------------------------- TPanel

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 41); }

void TPanel::SetBevelOuter(TBevelCut cut) {
    if (cut == m_bevelOuter) return;
    m_bevelOuter = cut;
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut cut) {
    if (cut == m_bevelInner) return;
    m_bevelInner = cut;
    Invalidate();
}

void TPanel::Paint(Canvas& canvas) {
    canvas.FillRect(ClientRect(), Color());
    TRect r = DrawCut(canvas, ClientRect(), m_bevelOuter);
    r = DrawCut(canvas, r, m_bevelInner);
    if (!Caption().empty()) {
        canvas.Font = Font();
        canvas.Brush.Style = bsClear;
        TSize size = canvas.TextExtent(Caption());
        canvas.TextRect(r, (Width() - size.cx) / 2, (Height() - size.cy) / 2, Caption());
    }
}

// ---------------------------------------------------------------- TButton

TButton::TButton(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 75, 25); }

void TButton::SetDefault(bool isDefault) {
    if (isDefault == m_default) return;
    m_default = isDefault;
    Invalidate();
}

namespace {
// The dotted focus rectangle: every other pixel of its outline.
void DrawFocusRect(Canvas& canvas, const TRect& r) {
    for (int x = r.Left; x < r.Right; x += 2) {
        canvas.SetPixel(x, r.Top, clBlack);
        canvas.SetPixel(x, r.Bottom - 1, clBlack);
    }
    for (int y = r.Top; y < r.Bottom; y += 2) {
        canvas.SetPixel(r.Left, y, clBlack);
        canvas.SetPixel(r.Right - 1, y, clBlack);
    }
}
}  // namespace

void TButton::Paint(Canvas& canvas) {
    TRect r = ClientRect();
    canvas.FillRect(r, clBtnFace);
    const bool framed = m_default || Focused();
    if (framed) r = DrawFrame3D(canvas, r, cl3DDkShadow, cl3DDkShadow);
    if (Pressed() && framed) {
        // The framed button pressed: flat, with a shadow line.
        DrawFrame3D(canvas, r, clBtnShadow, clBtnShadow);
    } else if (Pressed()) {
        r = DrawFrame3D(canvas, r, cl3DDkShadow, clBtnHighlight);
        DrawFrame3D(canvas, r, clBtnShadow, cl3DLight);
    } else {
        r = DrawFrame3D(canvas, r, clBtnHighlight, cl3DDkShadow);
        DrawFrame3D(canvas, r, cl3DLight, clBtnShadow);
    }
    canvas.Font = Font();
    canvas.Brush.Style = bsClear;
    TSize size = canvas.TextExtent(Caption());
    int x = (Width() - size.cx) / 2;
    int y = (Height() - size.cy) / 2;
    if (Pressed()) {
        ++x;
        ++y;
    }
    TRect inside{2, 2, Width() - 2, Height() - 2};
    if (Enabled()) {
        canvas.TextRect(inside, x, y, Caption());
    } else {
        // The classic engraved look of a disabled caption.
        canvas.Font.SetColor(clBtnHighlight);
        canvas.TextRect(inside, x + 1, y + 1, Caption());
        canvas.Font.SetColor(clBtnShadow);
        canvas.TextRect(inside, x, y, Caption());
    }
    if (Focused()) DrawFocusRect(canvas, TRect{4, 4, Width() - 4, Height() - 4});
}

void TButton::KeyDown(int key, TShiftState shift) {
    if (key == vkSpace && (shift & (ssCtrl | ssAlt)) == 0) {
        m_spaceDown = true;
        m_pressed = m_inside = true;
        Invalidate();
    } else if (key == vkReturn) {
        Click();
    }
}

void TButton::KeyUp(int key, TShiftState) {
    if (key != vkSpace || !m_spaceDown) return;
    m_spaceDown = false;
    m_pressed = m_inside = false;
    Invalidate();
    Click();
}

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    m_pressed = true;
    m_inside = ClientRect().Contains(x, y);
    Invalidate();
}

void TButton::MouseMove(TShiftState shift, int x, int y) {
    TCustomControl::MouseMove(shift, x, y);
    bool inside = ClientRect().Contains(x, y);
    if (m_pressed && inside != m_inside) {
        m_inside = inside;
        Invalidate();
    }
}

void TButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    bool wasPressed = m_pressed;
    if (button == mbLeft) {
        m_pressed = false;
        if (wasPressed) Invalidate();
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

}  // namespace vx
