// What the framework needs from the windowing system, in the framework's own
// terms. The program's implementation lives in framework/sdl; tests use an
// off-screen one.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "graphics/canvas.h"
#include "framework/control.h"
#include "graphics/graphics.h"

namespace vx {

namespace dx {
class DeviceFactory;
}

// Top-level windows: the main one and the windows it owns (a modal box).
using WindowId = int;
constexpr WindowId kMainWindow = 0;
// Events of the application rather than of one window (a quit request from
// the session or a signal).
constexpr WindowId kNoWindow = -1;

struct WindowEvent {
    enum Kind {
        MouseMove,
        MouseDown,
        MouseUp,
        FocusGained,
        FocusLost,
        PointerLeft,  // the pointer left the window
        CloseRequested,
        Exposed,
        Hidden,  // minimised or otherwise unable to show
        KeyDown,
        KeyUp,
        MouseWheel,
    };
    Kind kind = MouseMove;
    int x = 0;  // client coordinates
    int y = 0;
    TMouseButton button = mbLeft;
    TShiftState shift = 0;
    WindowId window = kMainWindow;
    int key = 0;         // KeyDown, KeyUp: a virtual-key code (framework/keys.h)
    int wheelDelta = 0;  // MouseWheel: kWheelDelta a notch, positive away from the user
};

// What one notch of the mouse wheel reports.
constexpr int kWheelDelta = 120;
// WheelScrollLines' answer when a notch scrolls a page.
constexpr int kWheelScrollPage = -1;

struct WindowSettings {
    std::string caption;
    int clientWidth = 0;
    int clientHeight = 0;
    bool resizable = false;
    bool maximizeBox = false;
    bool centred = true;  // an owned window: on its owner
    const Bitmap* icon = nullptr;
};

// Facts about the display the window is on.
struct DisplayFacts {
    int bitsPerPixel = 32;   // as the platform counts it: 24-bit colour in 4-byte pixels is 32
    int refreshRate = 0;     // Hz; 0 when the display does not say
    int width = 0;
    int height = 0;
    int pixelsPerInch = 96;  // 96 when the display does not say
};

class WindowBackend {
public:
    virtual ~WindowBackend() = default;

    // Makes the main window (kMainWindow) and shows it.
    virtual void CreateMainWindow(const WindowSettings& settings) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void DestroyMainWindow() = 0;
    // A further top-level window owned by the main one (the framework's modal
    // box): kept above its owner, centred on it (on the screen without a main
    // window), with a dialog's border and the keyboard focus. Input to the
    // owner is the framework's to refuse while it is up.
    virtual WindowId CreateOwnedWindow(const WindowSettings& settings) = 0;
    // The focus goes back to the owner.
    virtual void DestroyOwnedWindow(WindowId window) = 0;

    // The next pending event, without waiting.
    virtual std::optional<WindowEvent> PollEvent() = 0;
    // Waits at most timeoutMs (negative: without limit) for an event.
    virtual std::optional<WindowEvent> WaitEvent(int timeoutMs) = 0;

    // Shows the frame's pixels in the given parts of a window.
    virtual void Present(WindowId window, const Bitmap& frame, const Region& parts) = 0;
    virtual void SetCursor(TCursor cursor) = 0;
    // The system's own modal error box, over the main window when there is
    // one; returns when the user has closed it. False when the system has
    // none: the framework then shows its own (framework/error_box.h). While
    // the box is up the system runs its own loop, from which whileShown is
    // called every few milliseconds (the framework's timers and repaints go
    // on, as in the framework's own box), never while a call of it runs.
    virtual bool ShowSystemErrorBox(const std::string& /*title*/, const std::string& /*message*/,
                                    const std::function<void()>& /*whileShown*/) {
        return false;
    }
    // Puts text (UTF-8, lines ending in "\n") on the desktop's clipboard.
    virtual void SetClipboardText(const std::string& utf8) = 0;
    // Rows a notch of the mouse wheel scrolls, as the desktop is set up;
    // kWheelScrollPage for a page.
    virtual int WheelScrollLines() const { return 3; }
    virtual DisplayFacts Display() const = 0;

    // For a service that draws into windows itself (the system's
    // DirectDraw): a window of the system's own over part of a window's
    // client area, for the service to draw into, given by its system handle
    // (an HWND). The overlay is borderless, owned by that window and kept
    // over the same part of it when it moves or is minimised; it never
    // becomes active, the mouse passes through it to the window beneath, and
    // the framework's own drawing does not show where it lies. Made hidden;
    // bounds are in the owner's client coordinates. 0 where the system has
    // no such windows.
    virtual std::uintptr_t CreateOverlayWindow(WindowId /*owner*/) { return 0; }
    virtual void PlaceOverlayWindow(std::uintptr_t /*overlay*/, const TRect& /*bounds*/, bool /*visible*/) {}
    virtual void DestroyOverlayWindow(std::uintptr_t /*overlay*/) {}
    // The system's own handle of a window (an HWND), for a service that the
    // system asks to own the windows it shows (the shell's prompts when it
    // starts a tool); 0 where the window system has no such handles.
    virtual std::uintptr_t SystemWindowHandle(WindowId /*window*/) const { return 0; }
    // Where a window's client area's top-left corner lies on the screen.
    virtual TPoint ClientOriginOnScreen(WindowId /*window*/) const { return TPoint{0, 0}; }
    // The 3D device that the window system offers (OpenGL), made on first
    // use; null when it offers none.
    virtual std::shared_ptr<dx::DeviceFactory> DisplayDeviceFactory() { return nullptr; }
};

}  // namespace vx
