// What a surface whose device context is a real one (the system's) offers
// beside IDirectDrawSurface7: copies between its context and 32-bit pixels.
// The program's canvas draws text in memory with the program's own fonts;
// through these copies the text reaches the surface by its device context
// (GetDC ... ReleaseDC), as text on the system's surfaces must. A surface
// without it (the stand-in's) is written through Lock instead.
#pragma once

#include <cstdint>

#include "platform/dx/ddraw.h"

namespace vx::dx {

class DeviceContextPixels {
public:
    virtual ~DeviceContextPixels() = default;
    // area's pixels of dc into pixels (0xXXRRGGBB, rows pitchPixels apart),
    // or back; false when the system refuses the copy.
    virtual bool ReadDeviceContext(win::HDC dc, const win::RECT& area, std::uint32_t* pixels, int pitchPixels) = 0;
    virtual bool WriteDeviceContext(win::HDC dc, const win::RECT& area, const std::uint32_t* pixels, int pitchPixels) = 0;
};

}  // namespace vx::dx
