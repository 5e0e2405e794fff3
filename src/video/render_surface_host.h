// What the video test's render surface (TDXDraw, video/dx_draw.h) needs from
// the window system that shows it, beyond the framework's windows. Two
// abilities, each a small interface that a window back end implements beside
// WindowBackend where its system has it:
//   OverlayWindowHost  windows of the system's own over the surface's place,
//                      for the system's DirectDraw, which draws into windows
//                      itself (the Win32 back end);
//   DisplayDeviceHost  the display's own 3D device, which the DirectDraw
//                      stand-in offers before its software one (OpenGL: the
//                      SDL back end).
// The framework sits below the video code and knows nothing of them: the
// surface asks its application's back end (RenderSurfaceHostOf). Without
// overlays the stand-in's own names of the windows serve; without a display
// device the software one draws.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/backend.h"
#include "graphics/graphics.h"

namespace vx {

namespace dx {
class DeviceFactory;
}

class OverlayWindowHost {
public:
    virtual ~OverlayWindowHost() = default;

    // A window of the system's own over part of a window's client area, for
    // the system's DirectDraw to draw into, given by its system handle (an
    // HWND). The overlay is borderless, owned by that window and kept over
    // the same part of it when it moves or is minimised; it never becomes
    // active, the mouse passes through it to the window beneath, and the
    // framework's own drawing does not show where it lies. Made hidden;
    // bounds are in the owner's client coordinates. 0 when it cannot be made
    // (a window without overlays).
    virtual std::uintptr_t CreateOverlayWindow(WindowId owner) = 0;
    // An overlay unknown (or gone) is left alone.
    virtual void PlaceOverlayWindow(std::uintptr_t overlay, const TRect& bounds, bool visible) = 0;
    virtual void DestroyOverlayWindow(std::uintptr_t overlay) = 0;
    // Where a window's client area's top-left corner lies on the screen: the
    // system's DirectDraw takes the overlays' rectangles in screen
    // coordinates.
    virtual TPoint ClientOriginOnScreen(WindowId window) const = 0;
};

class DisplayDeviceHost {
public:
    virtual ~DisplayDeviceHost() = default;

    // The 3D device that the window system offers (OpenGL), made on first
    // use; null when it cannot offer one after all.
    virtual std::shared_ptr<dx::DeviceFactory> DisplayDeviceFactory() = 0;
};

// What a render surface finds on its window back end: either ability, both
// or neither (null).
struct RenderSurfaceHost {
    OverlayWindowHost* overlays = nullptr;
    DisplayDeviceHost* displayDevice = nullptr;
};

inline RenderSurfaceHost RenderSurfaceHostOf(WindowBackend& backend) {
    return RenderSurfaceHost{dynamic_cast<OverlayWindowHost*>(&backend), dynamic_cast<DisplayDeviceHost*>(&backend)};
}

}  // namespace vx
