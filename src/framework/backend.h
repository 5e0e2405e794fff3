// What the framework needs from the windowing system, in the framework's own
// terms: the abilities every window back end has (WindowBackend), and the
// one ability in which back ends differ, how an error reaches the user
// (ErrorBoxSupport). The program's back ends are siblings, one folder each
// (framework/sdl, framework/win32; framework/native_backend.h names the one
// the program is built with); tests use an off-screen one. What the video
// test's render surface needs beyond this (overlay windows, the display's 3D
// device) is not the framework's: see video/render_surface_host.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "framework/control.h"
#include "graphics/canvas.h"
#include "graphics/graphics.h"

namespace vx {

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
    int bitsPerPixel = 32;  // as the platform counts it: 24-bit colour in 4-byte pixels is 32
    int refreshRate = 0;    // Hz; 0 when the display does not say
    int width = 0;
    int height = 0;
    int pixelsPerInch = 96;  // 96 when the display does not say
};

// The system's own modal error box (the Win32 back end's).
class SystemErrorBox {
public:
    virtual ~SystemErrorBox() = default;

    // Shows the box over the main window when there is one (alone, centred
    // on the screen, without) and returns when the user has closed it. While
    // the box is up the system runs its own loop, from which whileShown is
    // called every few milliseconds (the framework's timers and repaints go
    // on, as in the framework's own box), never while a call of it runs.
    virtual void ShowErrorBox(const std::string& title, const std::string& message, const std::function<void()>& whileShown) = 0;
};

// Further top-level windows owned by the main one: what the framework builds
// its own modal error box in (framework/error_box.h) where the system has no
// box of its own to offer (the SDL back end's).
class OwnedWindowHost {
public:
    virtual ~OwnedWindowHost() = default;

    // A window kept above its owner, centred on it (on the screen without a
    // main window), with a dialog's border and the keyboard focus. Its events
    // and frames go through the back end as the main window's do, under the
    // id returned. Input to the owner is the framework's to refuse while it
    // is up.
    virtual WindowId CreateOwnedWindow(const WindowSettings& settings) = 0;
    // The focus goes back to the owner.
    virtual void DestroyOwnedWindow(WindowId window) = 0;
};

// How a back end lets the framework show an error: the system's own box, or
// owned windows for the framework's box. Exactly one, never null. Owned
// windows belong to this choice rather than to every back end because the
// framework's error box is the only window besides the main one that the
// framework ever makes: a back end whose system has a box of its own would
// have windows to offer that nobody asks for, and one without a system box
// cannot do without them, or an error would have nowhere to show.
using ErrorBoxSupport = std::variant<SystemErrorBox*, OwnedWindowHost*>;

class WindowBackend {
public:
    virtual ~WindowBackend() = default;

    // Makes the main window (kMainWindow) and shows it.
    virtual void CreateMainWindow(const WindowSettings& settings) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void DestroyMainWindow() = 0;

    // The next pending event, without waiting.
    virtual std::optional<WindowEvent> PollEvent() = 0;
    // Waits at most timeoutMs (negative: without limit) for an event.
    virtual std::optional<WindowEvent> WaitEvent(int timeoutMs) = 0;

    // Shows the frame's pixels in the given parts of a window.
    virtual void Present(WindowId window, const Bitmap& frame, const Region& parts) = 0;
    virtual void SetCursor(TCursor cursor) = 0;
    // Puts text (UTF-8, lines ending in "\n") on the desktop's clipboard.
    virtual void SetClipboardText(const std::string& utf8) = 0;
    // Rows a notch of the mouse wheel scrolls, as the desktop is set up;
    // kWheelScrollPage for a page.
    virtual int WheelScrollLines() const { return 3; }
    virtual DisplayFacts Display() const = 0;

    // The system's own handle of a window (an HWND), for a service that the
    // system asks to own the windows it shows (the shell's prompts when it
    // starts a tool); 0 where the window system has no handles that the
    // system's services take.
    virtual std::uintptr_t SystemWindowHandle(WindowId window) const = 0;

    // The way errors are shown (the application's ShowErrorBox asks).
    virtual ErrorBoxSupport ErrorBoxes() = 0;
};

}  // namespace vx
