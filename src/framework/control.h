// Controls: components with a place on a window.
//
// Stacking: inside a parent, windowless controls (TGraphicControl) lie below
// child windows (TWinControl); within each kind, a later control in the
// parent's list lies above an earlier one. A windowless control paints on its
// parent's surface and its drawing is clipped by the child windows above it.
//
// Repaints: Invalidate() requests a repaint of the control's rectangle; the
// window repaints everything that lies there, in stacking order, before the
// next presentation (so the area is erased first). DrawNow() paints the
// control at once over the current image.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/component.h"
#include "graphics/canvas.h"
#include "graphics/graphics.h"

namespace vx {

class TWinControl;
class TForm;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using TShiftState = unsigned;

// Cursor identifiers, the platform's numbering.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crHandPoint = -21;

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // Geometry, relative to the parent's client area.
    int Left() const { return m_bounds.Left; }
    int Top() const { return m_bounds.Top; }
    int Width() const { return m_bounds.Width(); }
    int Height() const { return m_bounds.Height(); }
    TRect BoundsRect() const { return m_bounds; }
    TRect ClientRect() const { return TRect{0, 0, Width(), Height()}; }
    void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
    virtual void SetBounds(int left, int top, int width, int height);
    // The control's top-left corner in the window's client coordinates.
    TPoint WindowOrigin() const;
    // The control's rectangle in the window's client coordinates.
    TRect WindowRect() const;

    TWinControl* Parent() const { return m_parent; }
    // Throws std::invalid_argument when the parent is the control itself or
    // lies inside it: a parent chain never comes back to where it began.
    void SetParent(TWinControl* parent);
    // The window the control lies on, or null when it has no parent chain.
    TForm* ParentForm() const;
    // Moves the control just below a sibling of the same kind in the stacking order.
    void StackBelow(TControl& sibling);

    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so are all its parents.
    bool Showing() const;
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TFont& Font() { return m_font; }
    const TFont& Font() const { return m_font; }
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor cursor) { m_cursor = cursor; }

    virtual bool IsWindowed() const { return false; }

    // Events.
    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // Input as the window delivers it; coordinates are the control's own.
    // A click is a left-button press and release on the control.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void Click();
    // A notch is kWheelDelta, positive away from the user; true when the
    // control scrolled (or would, and is at its end), so that the wheel does
    // not go on to its parent.
    virtual bool MouseWheel(int /*delta*/, TShiftState /*shift*/, int /*x*/, int /*y*/) { return false; }

    // Keyboard focus: a control that takes it gets the keys (framework/keys.h).
    virtual bool CanTakeFocus() const { return false; }
    bool Focused() const;
    // Gives the control the keyboard focus of its window.
    void SetFocus();
    virtual void KeyDown(int /*key*/, TShiftState /*shift*/) {}
    virtual void KeyUp(int /*key*/, TShiftState /*shift*/) {}
    // The window gave the control the focus or took it away.
    virtual void FocusChanged(bool /*focused*/) { Invalidate(); }

    // Painting. The canvas origin is the control's top-left corner and the
    // clip covers what of the control may be drawn now.
    virtual void Paint(Canvas& canvas);
    void Invalidate();
    void InvalidateRect(const TRect& controlRect);
    void DrawNow();

    // What of the control is not covered by child windows above it, in the
    // window's client coordinates.
    Region VisibleRegion() const;

protected:
    virtual void BoundsChanged() {}
    virtual void VisibleChanged() {}
    virtual void EnabledChanged() { Invalidate(); }
    virtual void CaptionChanged() { Invalidate(); }
    virtual void FontChanged() { Invalidate(); }

private:
    friend class TWinControl;
    TRect m_bounds;
    TWinControl* m_parent = nullptr;
    bool m_visible = true;
    bool m_enabled = true;
    std::string m_caption;
    TColor m_color = clBtnFace;
    TFont m_font;
    TCursor m_cursor = crDefault;
    bool m_clickPending = false;
};

// A control without a window of its own; it paints on its parent's surface.
class TGraphicControl : public TControl {
public:
    using TControl::TControl;
};

// A control with a window of its own: it can hold other controls and lies
// above every windowless sibling.
class TWinControl : public TControl {
public:
    using TControl::TControl;
    ~TWinControl() override;

    bool IsWindowed() const override { return true; }

    // Children in stacking order, lowest first.
    const std::vector<TControl*>& Controls() const { return m_controls; }
    // The topmost visible child (descending into child windows) under a
    // point in this control's client coordinates; this control itself when
    // no child is there. Disabled windowless controls let the point through.
    TControl* ControlAt(TPoint p, bool allowDisabled);

    // A child window paints its own background with its colour.
    void Paint(Canvas& canvas) override;

private:
    friend class TControl;
    void InsertControl(TControl& control);
    void RemoveControl(TControl& control);
    void MoveBelow(TControl& control, TControl& sibling);

    std::vector<TControl*> m_controls;
};

// A child window that draws itself completely.
class TCustomControl : public TWinControl {
public:
    using TWinControl::TWinControl;
};

}  // namespace vx
