#include "framework/form.h"

#include <algorithm>
#include <stdexcept>
#include <variant>

namespace vx {

namespace {
TPoint ToControl(const TControl& c, int x, int y) {
    TPoint o = c.WindowOrigin();
    return TPoint{x - o.X, y - o.Y};
}
// The back end's owned windows; null where the system shows its own error
// box and so makes none (WindowBackend::ErrorBoxes).
OwnedWindowHost* OwnedWindowsOf(WindowBackend& backend) {
    const ErrorBoxSupport boxes = backend.ErrorBoxes();
    OwnedWindowHost* const* owned = std::get_if<OwnedWindowHost*>(&boxes);
    return owned != nullptr ? *owned : nullptr;
}
}  // namespace

TForm::TForm(Application& app) : TWinControl(nullptr), m_app(app) { SetColor(clBtnFace); }

TForm::~TForm() {
    // The components go while this is still a form, so that they can reach
    // the application (timers to stop) and their window.
    DestroyComponents();
    if (m_app.MainForm() == this) m_app.SetMainForm(nullptr);
    if (m_hasWindow) {
        m_app.ForgetWindow(*this);
        if (m_window == kMainWindow) {
            m_app.Backend().DestroyMainWindow();
        } else if (OwnedWindowHost* owned = OwnedWindowsOf(m_app.Backend())) {
            owned->DestroyOwnedWindow(m_window);
        }
    }
}

void TForm::ShowWindow() {
    if (m_app.MainForm() == nullptr) m_app.SetMainForm(this);
    MakeWindow(false);
}

void TForm::ShowOwnedWindow() { MakeWindow(true); }

void TForm::MakeWindow(bool owned) {
    OwnedWindowHost* ownedWindows = owned ? OwnedWindowsOf(m_app.Backend()) : nullptr;
    if (owned && ownedWindows == nullptr) {
        throw std::logic_error("this window system shows its own error box; it makes no owned windows");
    }
    m_image.SetSize(ClientWidth(), ClientHeight());
    m_image.SetBitsPerPixel(m_app.Backend().Display().bitsPerPixel);
    WindowSettings settings;
    settings.caption = Caption();
    settings.clientWidth = ClientWidth();
    settings.clientHeight = ClientHeight();
    settings.resizable = m_borderStyle == bsSizeable || m_borderStyle == bsSizeToolWin;
    settings.maximizeBox = (m_borderIcons & biMaximize) != 0;
    settings.centred = m_position == poScreenCenter || m_position == poDesktopCenter;
    settings.icon = m_icon.Empty() ? nullptr : &m_icon;
    m_hasWindow = true;
    // The first frame is painted before the window is shown, so it never
    // appears blank.
    m_invalid = Region(ClientRect());
    PaintInvalid();
    if (owned) {
        settings.centred = true;
        m_window = ownedWindows->CreateOwnedWindow(settings);
    } else {
        m_app.Backend().CreateMainWindow(settings);
        m_window = kMainWindow;
    }
    m_app.RegisterWindow(*this);
    m_app.Backend().Present(m_window, m_image, Region(ClientRect()));
    m_changed.Clear();
}

void TForm::Close() {
    if (m_app.MainForm() == this) m_app.Terminate();
}

void TForm::BoundsChanged() {
    if (m_hasWindow && (m_image.Width() != Width() || m_image.Height() != Height())) {
        m_image.SetSize(Width(), Height());
        InvalidateWindowRect(ClientRect());
    }
}

void TForm::CaptionChanged() {
    if (m_hasWindow && m_window == kMainWindow) m_app.Backend().SetCaption(Caption());
}

void TForm::InvalidateWindowRect(const TRect& windowRect) {
    TRect r = windowRect.Intersect(ClientRect());
    if (!r.IsEmpty()) m_invalid.Add(r);
}

void TForm::PaintInvalid() {
    if (m_invalid.IsEmpty() || m_image.Empty()) return;
    Region area = m_invalid;
    m_invalid.Clear();
    Canvas canvas(m_image, m_app.Fonts());
    PaintTree(*this, canvas, area);
    for (const TRect& r : area.Rects()) m_changed.Add(r);
}

void TForm::PaintAll() {
    if (m_image.Width() != Width() || m_image.Height() != Height()) m_image.SetSize(Width(), Height());
    m_invalid = Region(ClientRect());
    PaintInvalid();
}

void TForm::PaintTree(TControl& control, Canvas& canvas, const Region& area) {
    if (!control.Visible()) return;
    Region clip = area;
    clip.Intersect(control.WindowRect());
    if (clip.IsEmpty()) return;
    {
        Canvas::StateSaver saver(canvas);
        canvas.SetOrigin(control.WindowOrigin());
        canvas.SetClip(clip);
        // One control's failure to paint must not stop the window's painting.
        m_app.SafeCall([&] { control.Paint(canvas); });
    }
    if (auto* parent = dynamic_cast<TWinControl*>(&control)) {
        // Copy: painting must not be disturbed by a control that reparents.
        std::vector<TControl*> children = parent->Controls();
        for (TControl* child : children) PaintTree(*child, canvas, clip);
    }
}

void TForm::PaintControlNow(TControl& control) {
    if (m_image.Empty() || !control.Showing()) return;
    Region clip = control.VisibleRegion();
    if (clip.IsEmpty()) return;
    if (control.IsWindowed()) {
        Canvas canvas(m_image, m_app.Fonts());
        PaintTree(control, canvas, clip);
    } else {
        Canvas canvas(m_image, m_app.Fonts());
        canvas.SetOrigin(control.WindowOrigin());
        canvas.SetClip(clip);
        control.Paint(canvas);
    }
    for (const TRect& r : clip.Rects()) m_changed.Add(r);
}

void TForm::PresentChanges() {
    if (!m_hasWindow || m_changed.IsEmpty()) return;
    m_app.Backend().Present(m_window, m_image, m_changed);
    m_changed.Clear();
}

void TForm::DrawPixels(const std::uint32_t* pixels, int pitchPixels, const TRect& dest) {
    TRect r = dest.Intersect(TRect{0, 0, m_image.Width(), m_image.Height()});
    if (r.IsEmpty() || pixels == nullptr) return;
    for (int y = r.Top; y < r.Bottom; ++y) {
        const std::uint32_t* from = pixels + static_cast<std::ptrdiff_t>(y - dest.Top) * pitchPixels + (r.Left - dest.Left);
        std::copy(from, from + r.Width(), m_image.Row(y) + r.Left);
    }
    m_changed.Add(r);
    PresentChanges();
}

void TForm::ForgetControl(TControl& control) {
    if (m_hover == &control) m_hover = nullptr;
    if (m_capture == &control) m_capture = nullptr;
    if (m_activeControl == &control) m_activeControl = nullptr;
}

void TForm::SetActiveControl(TControl* control) {
    if (control != nullptr && (control->ParentForm() != this || !control->CanTakeFocus())) return;
    if (control == m_activeControl) return;
    TControl* old = m_activeControl;
    m_activeControl = control;
    if (old != nullptr) old->FocusChanged(false);
    if (control != nullptr) control->FocusChanged(true);
}

void TForm::HandleMouseWheel(int delta, TShiftState shift, int x, int y) {
    TPoint p{x, y};
    for (TControl* c = ClientRect().Contains(p) ? ControlAt(p, false) : nullptr; c != nullptr; c = c->Parent()) {
        TPoint local = ToControl(*c, x, y);
        if (c->Enabled() && c->MouseWheel(delta, shift, local.X, local.Y)) return;
    }
    if (m_activeControl != nullptr && m_activeControl->Showing()) {
        TPoint local = ToControl(*m_activeControl, x, y);
        m_activeControl->MouseWheel(delta, shift, local.X, local.Y);
    }
}

void TForm::HandleKeyDown(int key, TShiftState shift) {
    if (DialogKey(key, shift)) return;
    if (m_activeControl != nullptr && m_activeControl->Showing() && m_activeControl->Enabled()) {
        m_activeControl->KeyDown(key, shift);
    }
}

void TForm::HandleKeyUp(int key, TShiftState shift) {
    if (m_activeControl != nullptr && m_activeControl->Showing() && m_activeControl->Enabled()) {
        m_activeControl->KeyUp(key, shift);
    }
}

void TForm::UpdateHover(TPoint p) {
    TControl* under = ClientRect().Contains(p) ? ControlAt(p, true) : nullptr;
    if (under != m_hover) {
        TControl* old = m_hover;
        m_hover = under;
        if (old != nullptr) old->MouseLeave();
        if (under != nullptr) under->MouseEnter();
    }
    // The pointer shape comes from the enabled control under the pointer
    // or its nearest parent that names one.
    TCursor cursor = crDefault;
    for (TControl* c = ClientRect().Contains(p) ? ControlAt(p, false) : nullptr; c != nullptr; c = c->Parent()) {
        if (c->Cursor() != crDefault) {
            cursor = c->Cursor();
            break;
        }
    }
    if (cursor != m_shownCursor) {
        m_shownCursor = cursor;
        m_app.Backend().SetCursor(cursor);
    }
}

void TForm::HandleMouseMove(TShiftState shift, int x, int y) {
    m_lastPointer = TPoint{x, y};
    UpdateHover(m_lastPointer);
    TControl* target = m_capture != nullptr ? m_capture : ControlAt(m_lastPointer, false);
    if (target == nullptr) return;
    TPoint local = ToControl(*target, x, y);
    target->MouseMove(shift, local.X, local.Y);
}

void TForm::HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    m_lastPointer = TPoint{x, y};
    UpdateHover(m_lastPointer);
    TControl* target = m_capture != nullptr ? m_capture : ControlAt(m_lastPointer, false);
    m_buttonsDown |= 1u << button;
    if (target == nullptr) return;
    // A press on a control that takes the focus gives it the focus first,
    // as a click on the platform's edit boxes and buttons does.
    if (m_capture == nullptr) {
        for (TControl* c = target; c != nullptr; c = c->Parent()) {
            if (c->CanTakeFocus()) {
                SetActiveControl(c);
                break;
            }
        }
    }
    m_capture = target;
    TPoint local = ToControl(*target, x, y);
    target->MouseDown(button, shift, local.X, local.Y);
}

void TForm::HandleMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    m_lastPointer = TPoint{x, y};
    TControl* target = m_capture != nullptr ? m_capture : ControlAt(m_lastPointer, false);
    m_buttonsDown &= ~(1u << button);
    if (m_buttonsDown == 0) m_capture = nullptr;
    if (target != nullptr) {
        TPoint local = ToControl(*target, x, y);
        target->MouseUp(button, shift, local.X, local.Y);
    }
    UpdateHover(m_lastPointer);
}

void TForm::HandleMouseLeaveWindow() {
    if (m_hover != nullptr) {
        TControl* old = m_hover;
        m_hover = nullptr;
        old->MouseLeave();
    }
}

}  // namespace vx
