// What the framework needs from the windowing system, in the framework's own
// terms. The program's implementation lives in framework/sdl; tests use an
// off-screen one.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "framework/canvas.h"
#include "framework/control.h"
#include "framework/graphics.h"

namespace vx {

namespace dx {
class DeviceFactory;
}

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
    };
    Kind kind = MouseMove;
    int x = 0;  // client coordinates
    int y = 0;
    TMouseButton button = mbLeft;
    TShiftState shift = 0;
};

struct WindowSettings {
    std::string caption;
    int clientWidth = 0;
    int clientHeight = 0;
    bool resizable = false;
    bool maximizeBox = false;
    bool centred = true;
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

    // Makes the (single) main window and shows it.
    virtual void CreateMainWindow(const WindowSettings& settings) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void DestroyMainWindow() = 0;

    // The next pending event, without waiting.
    virtual std::optional<WindowEvent> PollEvent() = 0;
    // Waits at most timeoutMs (negative: without limit) for an event.
    virtual std::optional<WindowEvent> WaitEvent(int timeoutMs) = 0;

    // Shows the frame's pixels in the given parts of the window.
    virtual void Present(const Bitmap& frame, const Region& parts) = 0;
    virtual void SetCursor(TCursor cursor) = 0;
    // A modal error box; returns when the user has closed it.
    virtual void ShowErrorBox(const std::string& title, const std::string& message) = 0;
    virtual DisplayFacts Display() const = 0;
    // The 3D device that the window system offers (OpenGL), made on first
    // use; null when it offers none.
    virtual std::shared_ptr<dx::DeviceFactory> DisplayDeviceFactory() { return nullptr; }
};

}  // namespace vx
