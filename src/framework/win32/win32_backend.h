// The window backend on Win32: the one place of the framework that talks to
// the system's window manager. The message loop is the system's own: waiting
// is GetMessage (or a timed wait for input), polling is PeekMessage, so the
// application's ProcessMessages pumps the system's queue.
//
// <windows.h> stays inside the implementation file: its macros clash with
// the program's own Windows-named records (platform/win_types.h).
#pragma once

#include <deque>
#include <memory>
#include <stdexcept>
#include <string>

#include "framework/backend.h"

namespace vx {

// The window class or the main window cannot be made.
class Win32WindowError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Win32Backend final : public WindowBackend {
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
    // The error box is the system's own (ShowSystemErrorBox), so no window
    // besides the main one is ever asked for.
    WindowId CreateOwnedWindow(const WindowSettings& settings) override;
    void DestroyOwnedWindow(WindowId window) override;
    void Present(WindowId window, const Bitmap& frame, const Region& parts) override;
    void SetCursor(TCursor cursor) override;
    bool ShowSystemErrorBox(const std::string& title, const std::string& message,
                            const std::function<void()>& whileShown) override;
    void SetClipboardText(const std::string& utf8) override;
    int WheelScrollLines() const override;
    DisplayFacts Display() const override;
    // Owned pop-up windows: the system hides them with their owner when it
    // is minimised, and WM_MOVE of the owner moves them along.
    std::uintptr_t CreateOverlayWindow(WindowId owner) override;
    void PlaceOverlayWindow(std::uintptr_t overlay, const TRect& bounds, bool visible) override;
    void DestroyOverlayWindow(std::uintptr_t overlay) override;
    TPoint ClientOriginOnScreen(WindowId window) const override;
    std::uintptr_t SystemWindowHandle(WindowId window) const override;
    // No 3D device of the window system's own: the video test draws with the
    // software device and presents through Present.

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
