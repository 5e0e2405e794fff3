// The framework's stock controls: panel and push button, in the classic
// desktop look, and the 3D frame every control of that look draws (the memo
// is framework/memo.h).
#pragma once

#include <string>
#include <vector>

#include "framework/control.h"

namespace vx {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBorderStyle { bsNoBorder, bsSingleBorder };

// Draws the classic one-pixel 3D frame inside r (exclusive right and
// bottom) and returns the rectangle inside it.
TRect DrawFrame3D(Canvas& canvas, const TRect& r, TColor topLeft, TColor bottomRight);

// A child window that groups controls, with an optional raised or lowered frame.
class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner);

    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut cut);
    TBevelCut BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TBevelCut cut);

    void Paint(Canvas& canvas) override;

private:
    TBevelCut m_bevelOuter = bvRaised;
    TBevelCut m_bevelInner = bvNone;
};

// A push button: a click is a left press and release on the button, or
// Space pressed and released (or Return) while it has the focus. A press
// gives it the focus; the focused or default button wears the dark frame.
class TButton : public TCustomControl {
public:
    explicit TButton(TComponent* owner);

    bool Pressed() const { return m_pressed && m_inside; }
    bool Default() const { return m_default; }
    void SetDefault(bool isDefault);

    void Paint(Canvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    bool CanTakeFocus() const override { return Enabled(); }
    void KeyDown(int key, TShiftState shift) override;
    void KeyUp(int key, TShiftState shift) override;

private:
    bool m_pressed = false;
    bool m_inside = false;
    bool m_spaceDown = false;
    bool m_default = false;
};

}  // namespace vx
