// The form: the top-level window, the root of its controls. It owns the
// window's image, paints what was invalidated in stacking order, presents it
// through the backend, and routes the pointer to the controls.
#pragma once

#include <optional>
#include <string>

#include "framework/application.h"
#include "framework/control.h"
#include "graphics/canvas.h"

namespace vx {

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;
enum TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter, poMainFormCenter };

class TForm : public TWinControl {
public:
    explicit TForm(Application& app);
    ~TForm() override;

    Application* App() const override { return &m_app; }

    int ClientWidth() const { return Width(); }
    int ClientHeight() const { return Height(); }
    void SetClientWidth(int width) { SetWidth(width); }
    void SetClientHeight(int height) { SetHeight(height); }
    TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TFormBorderStyle style) { m_borderStyle = style; }
    TBorderIcons BorderIcons() const { return m_borderIcons; }
    void SetBorderIcons(TBorderIcons icons) { m_borderIcons = icons; }
    TPosition Position() const { return m_position; }
    void SetPosition(TPosition position) { m_position = position; }
    const Bitmap& Icon() const { return m_icon; }
    void SetIcon(Bitmap icon) { m_icon = std::move(icon); }

    // Makes the window and shows it; the first form shown becomes the
    // application's main form.
    void ShowWindow();
    // Makes the window as one owned by the main window (a modal box) and
    // shows it; the form does not become the main form. Only a back end
    // without a system error box makes owned windows (WindowBackend::
    // ErrorBoxes); std::logic_error on another.
    void ShowOwnedWindow();
    bool HasWindow() const { return m_hasWindow; }
    WindowId Window() const { return m_window; }
    // Closes the window; closing the main form ends the application's loop.
    virtual void Close();

    // Window image and repaints.
    const Bitmap& Image() const { return m_image; }
    void InvalidateWindowRect(const TRect& windowRect);
    bool HasInvalid() const { return !m_invalid.IsEmpty(); }
    // Paints the invalidated parts, in stacking order.
    void PaintInvalid();
    // Paints one control at once over the current image.
    void PaintControlNow(TControl& control);
    // Shows the changed parts of the image.
    void PresentChanges();
    // Copies pixels (0x00RRGGBB, rows pitchPixels apart) onto the image at a
    // rectangle of the client area and shows them at once: the path of a
    // child window that renders its own frames.
    void DrawPixels(const std::uint32_t* pixels, int pitchPixels, const TRect& dest);
    // False while the window is minimised or hidden.
    bool WindowShowing() const { return m_hasWindow && m_windowShowing; }
    void SetWindowShowing(bool showing) { m_windowShowing = showing; }
    // Paints the whole window into the image (for tests and benchmarks).
    void PaintAll();

    // Pointer input in client coordinates.
    void HandleMouseMove(TShiftState shift, int x, int y);
    void HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void HandleMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void HandleMouseLeaveWindow();
    // The wheel goes to the control under the pointer, or up its parents to
    // one that scrolls, and else to the focused control.
    void HandleMouseWheel(int delta, TShiftState shift, int x, int y);
    // Keys go to the dialog keys first, then to the focused control.
    void HandleKeyDown(int key, TShiftState shift);
    void HandleKeyUp(int key, TShiftState shift);
    // A control that goes away must not stay the pointer's target.
    void ForgetControl(TControl& control);

    // The control with the keyboard focus, or null.
    TControl* ActiveControl() const { return m_activeControl; }
    void SetActiveControl(TControl* control);

protected:
    void BoundsChanged() override;
    void CaptionChanged() override;
    // Keys the window itself handles before the focused control (a box's
    // Return and Escape); true when handled.
    virtual bool DialogKey(int /*key*/, TShiftState /*shift*/) { return false; }

private:
    void MakeWindow(bool owned);
    void PaintTree(TControl& control, Canvas& canvas, const Region& area);
    void UpdateHover(TPoint p);

    Application& m_app;
    TFormBorderStyle m_borderStyle = bsSizeable;
    TBorderIcons m_borderIcons = biSystemMenu | biMinimize | biMaximize;
    TPosition m_position = poDesigned;
    Bitmap m_icon;
    bool m_hasWindow = false;
    bool m_windowShowing = true;
    WindowId m_window = kMainWindow;
    TControl* m_activeControl = nullptr;

    Bitmap m_image;
    Region m_invalid;
    Region m_changed;

    TControl* m_hover = nullptr;
    TControl* m_capture = nullptr;
    unsigned m_buttonsDown = 0;
    TCursor m_shownCursor = crDefault;
    TPoint m_lastPointer{-1, -1};
};

}  // namespace vx
