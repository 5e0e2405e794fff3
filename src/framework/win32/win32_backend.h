// The window back end on Win32: the one place of the framework that talks to
// the system's window manager. The message loop is the system's own: waiting
// is GetMessage (or a timed wait for input), polling is PeekMessage, so the
// application's ProcessMessages pumps the system's queue. Besides the
// windows every back end has, it shows the system's own error box, and hosts
// the overlay windows that the system's DirectDraw draws the video test's
// render surface into (video/render_surface_host.h).
//
// <windows.h> stays inside the implementation file: its macros clash with
// the program's own Windows-named records (platform/win_types.h).
#pragma once

#include <deque>
#include <memory>
#include <stdexcept>
#include <string>

#include "framework/backend.h"
#include "video/render_surface_host.h"

namespace vx {

// The window class or the main window cannot be made.
class Win32WindowError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// No 3D device of the window system's own (it is no DisplayDeviceHost): the
// video test draws with the system's DirectDraw into its overlay windows.
// No owned windows: the error box is the system's own, so no window besides
// the main one is ever asked for.
class Win32Backend final : public WindowBackend, public SystemErrorBox, public OverlayWindowHost {
public:
    // Registers the main window's class; throws Win32WindowError when the
    // system refuses it.
    Win32Backend();
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    void CreateMainWindow(const WindowSettings& settings) override;
    void SetCaption(const std::string& caption) override;
    void DestroyMainWindow() override;
    std::optional<WindowEvent> PollEvent() override;
    std::optional<WindowEvent> WaitEvent(int timeoutMs) override;
    void Present(WindowId window, const Bitmap& frame, const Region& parts) override;
    void SetCursor(TCursor cursor) override;
    void SetClipboardText(const std::string& utf8) override;
    int WheelScrollLines() const override;
    DisplayFacts Display() const override;
    std::uintptr_t SystemWindowHandle(WindowId window) const override;
    ErrorBoxSupport ErrorBoxes() override { return static_cast<SystemErrorBox*>(this); }

    // SystemErrorBox: MessageBox, task-modal.
    void ShowErrorBox(const std::string& title, const std::string& message, const std::function<void()>& whileShown) override;

    // OverlayWindowHost: owned pop-up windows, over the main window only;
    // the system hides them with their owner when it is minimised, and
    // WM_MOVE of the owner moves them along.
    std::uintptr_t CreateOverlayWindow(WindowId owner) override;
    void PlaceOverlayWindow(std::uintptr_t overlay, const TRect& bounds, bool visible) override;
    void DestroyOverlayWindow(std::uintptr_t overlay) override;
    TPoint ClientOriginOnScreen(WindowId window) const override;

private:
    // Everything that holds a system handle; defined beside the window
    // procedure, which feeds its event queue.
    struct Window;

    // Dispatches the system's pending messages until one of them becomes an
    // event of the framework's; false when the queue is empty.
    bool PumpUntilEvent();
    std::optional<WindowEvent> TakeEvent();

    // The system's timer period at one millisecond while the program runs.
    struct TimerPeriod;

    std::unique_ptr<TimerPeriod> m_timerPeriod;
    std::unique_ptr<Window> m_window;
    std::deque<WindowEvent> m_events;
    int m_cursor = crDefault;
};

// The system's error box without an owner window, for failures before any
// window exists; a program without a console would otherwise say nothing.
void ShowSystemErrorBox(const std::string& title, const std::string& message);

}  // namespace vx
