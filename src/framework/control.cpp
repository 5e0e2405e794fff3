#include "framework/control.h"

#include <algorithm>
#include <stdexcept>

#include "framework/form.h"

namespace vx {

TControl::TControl(TComponent* owner) : TComponent(owner) {
    m_font.SetOnChange([this] { FontChanged(); });
}

TControl::~TControl() {
    if (TForm* form = ParentForm()) form->ForgetControl(*this);
    if (m_parent != nullptr) {
        if (m_visible) m_parent->InvalidateRect(m_bounds);
        m_parent->RemoveControl(*this);
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    TRect next = TRect::FromSize(left, top, std::max(width, 0), std::max(height, 0));
    if (next == m_bounds) return;
    Invalidate();
    m_bounds = next;
    Invalidate();
    BoundsChanged();
}

TPoint TControl::WindowOrigin() const {
    TPoint p{m_bounds.Left, m_bounds.Top};
    // A form's own bounds are its client size; its origin is (0, 0).
    if (m_parent == nullptr) return TPoint{0, 0};
    TPoint parentOrigin = m_parent->WindowOrigin();
    return TPoint{p.X + parentOrigin.X, p.Y + parentOrigin.Y};
}

TRect TControl::WindowRect() const {
    TPoint o = WindowOrigin();
    return TRect::FromSize(o.X, o.Y, Width(), Height());
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == m_parent) return;
    // A parent chain that came back to the control would make every walk up
    // it (Showing, ParentForm, WindowOrigin) endless.
    for (const TControl* above = parent; above != nullptr; above = above->m_parent) {
        if (above == this) throw std::invalid_argument("\"" + Name() + "\" cannot be placed inside itself");
    }
    if (m_parent != nullptr) {
        Invalidate();
        if (TForm* form = ParentForm()) form->ForgetControl(*this);
        m_parent->RemoveControl(*this);
    }
    m_parent = parent;
    if (m_parent != nullptr) {
        m_parent->InsertControl(*this);
        Invalidate();
    }
}

TForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c->m_parent != nullptr) c = c->m_parent;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::StackBelow(TControl& sibling) {
    if (m_parent == nullptr || sibling.m_parent != m_parent || &sibling == this) return;
    m_parent->MoveBelow(*this, sibling);
    Invalidate();
}

void TControl::SetVisible(bool visible) {
    if (visible == m_visible) return;
    if (!visible) Invalidate();
    m_visible = visible;
    if (visible) Invalidate();
    VisibleChanged();
}

bool TControl::Showing() const {
    for (const TControl* c = this; c != nullptr; c = c->m_parent) {
        if (!c->m_visible) return false;
    }
    return true;
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    EnabledChanged();
}

void TControl::SetCaption(const std::string& caption) {
    if (caption == m_caption) return;
    m_caption = caption;
    CaptionChanged();
}

void TControl::SetColor(TColor color) {
    if (color == m_color) return;
    m_color = color;
    Invalidate();
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) m_clickPending = true;
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
    // A click: the left button went down on the control and came up on it.
    if (button == mbLeft && m_clickPending) {
        m_clickPending = false;
        if (ClientRect().Contains(x, y)) Click();
    }
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

bool TControl::Focused() const {
    const TForm* form = ParentForm();
    return form != nullptr && form->ActiveControl() == this;
}

void TControl::SetFocus() {
    if (TForm* form = ParentForm()) form->SetActiveControl(this);
}

void TControl::Paint(Canvas&) {}

void TControl::Invalidate() { InvalidateRect(ClientRect()); }

void TControl::InvalidateRect(const TRect& controlRect) {
    if (!Showing()) return;
    TForm* form = ParentForm();
    if (form == nullptr) return;
    TPoint o = WindowOrigin();
    form->InvalidateWindowRect(controlRect.Offset(o.X, o.Y));
}

void TControl::DrawNow() {
    if (!Showing()) return;
    if (TForm* form = ParentForm()) form->PaintControlNow(*this);
}

Region TControl::VisibleRegion() const {
    Region region(WindowRect());
    const TControl* child = this;
    for (const TWinControl* parent = m_parent; parent != nullptr; child = parent, parent = parent->m_parent) {
        region.Intersect(parent->WindowRect());
        // Child windows above `child` in its parent's stacking order cover it.
        const auto& siblings = parent->m_controls;
        auto it = std::find(siblings.begin(), siblings.end(), child);
        for (++it; it != siblings.end(); ++it) {
            if ((*it)->IsWindowed() && (*it)->m_visible) region.Subtract((*it)->WindowRect());
        }
    }
    return region;
}

TWinControl::~TWinControl() {
    // Children that outlive their parent (owned elsewhere) lose it.
    for (TControl* c : m_controls) c->m_parent = nullptr;
}

void TWinControl::InsertControl(TControl& control) {
    // Windowless controls stay below every child window.
    if (control.IsWindowed()) {
        m_controls.push_back(&control);
    } else {
        auto firstWindow = std::find_if(m_controls.begin(), m_controls.end(), [](TControl* c) { return c->IsWindowed(); });
        m_controls.insert(firstWindow, &control);
    }
}

void TWinControl::RemoveControl(TControl& control) { std::erase(m_controls, &control); }

void TWinControl::MoveBelow(TControl& control, TControl& sibling) {
    if (control.IsWindowed() != sibling.IsWindowed()) return;
    std::erase(m_controls, &control);
    auto at = std::find(m_controls.begin(), m_controls.end(), &sibling);
    m_controls.insert(at, &control);
}

TControl* TWinControl::ControlAt(TPoint p, bool allowDisabled) {
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
        TControl* c = *it;
        if (!c->Visible() || !c->BoundsRect().Contains(p)) continue;
        TPoint local{p.X - c->Left(), p.Y - c->Top()};
        if (c->IsWindowed()) {
            // A disabled child window takes the pointer and does nothing with it.
            if (!c->Enabled() && !allowDisabled) return nullptr;
            return static_cast<TWinControl*>(c)->ControlAt(local, allowDisabled);
        }
        if (c->Enabled() || allowDisabled) return c;
    }
    return this;
}

void TWinControl::Paint(Canvas& canvas) { canvas.FillRect(ClientRect(), Color()); }

}  // namespace vx
