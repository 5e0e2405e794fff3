// How the DirectDraw stand-in reaches the program's window.
//
// The stand-in keeps every surface in memory. The primary surface has no
// pixels of its own: a Blt onto it hands the source pixels to the
// PresentationTarget, which the program implements over its window system.
// The program connects the stand-in by implementing this interface once and
// making a SoftDirectDrawLibrary with it (platform/dx/soft/soft_direct_draw.h).
//
// Coordinates: Blt on the primary surface takes rectangles in the coordinate
// system of ClientRectOf (screen coordinates on the platform); Present gets
// them relative to the window's client area, already clipped to it.
//
// Lost surfaces: while CanShow() is false the primary surface (and any
// surface that reports DDSCAPS_VIDEOMEMORY) answers IsLost with
// DDERR_SURFACELOST, and Restore succeeds again only once CanShow() is true.
//
// Clocks: WaitForVerticalBlank falls back to the clock below, so tests can
// drive it with a fake one.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/dx/ddraw.h"

namespace vx::dx {

class DeviceFactory;

struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;
    int refreshRate = 0;  // Hz; 0 or 1 when the display does not say
};

class PresentationTarget {
public:
    virtual ~PresentationTarget() = default;

    // Shows width x height pixels (0xXXRRGGBB, the top byte meaningless;
    // rows pitchPixels apart) at destInClient, a rectangle of window's client
    // area that lies wholly inside it and has exactly width x height pixels.
    // Called only while CanShow() is true.
    virtual void Present(win::HWND window, const std::uint32_t* pixels, int pitchPixels, int width, int height,
                         const win::RECT& destInClient) = 0;
    // False while the program's window cannot be seen (hidden, minimised) or
    // its drawing context is gone.
    virtual bool CanShow() const = 0;
    // The client area of window in Blt's coordinates; an empty rectangle for
    // an unknown window.
    virtual win::RECT ClientRectOf(win::HWND window) const = 0;
    virtual DisplayMode CurrentDisplayMode() const = 0;
    // Blocks until the display's next vertical blank begins and answers true;
    // false at once when the display gives no such signal.
    virtual bool WaitForVerticalBlank() = 0;
    // A millisecond clock that wraps at 2^32, and a sleep on the same clock.
    virtual win::DWORD NowMs() const = 0;
    virtual void SleepMs(win::DWORD ms) = 0;
    // A 3D device that the window system itself offers (OpenGL), listed
    // before the software device; null when there is none. Its offer is
    // asked for only when a DirectDraw object is made.
    virtual std::shared_ptr<DeviceFactory> DisplayDeviceFactory() { return nullptr; }
};

}  // namespace vx::dx
