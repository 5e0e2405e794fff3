// The DirectDraw the program uses on the platform it is built for, under one
// name: the system's own on Windows ("DDraw.dll", loaded here at the first
// call), the stand-in over the program's window on Linux, whose devices are
// the display's OpenGL one and the software rasteriser.
#pragma once

#include <memory>

#include "platform/dx/ddraw.h"
#include "platform/dx/presentation.h"

#if defined(_WIN32)
#include "platform/dx/win32/system_direct_draw.h"
#else
#include "platform/dx/soft/soft_direct_draw.h"
#endif

namespace vx::dx {

// Null when the platform's DirectDraw cannot be loaded. The target is the
// stand-in's way into the window; the system's DirectDraw draws into the
// window itself and does not use it.
inline std::unique_ptr<win::DirectDrawLibrary> LoadNativeDirectDraw([[maybe_unused]] PresentationTarget& target) {
#if defined(_WIN32)
    return LoadSystemDirectDraw();
#else
    return std::make_unique<SoftDirectDrawLibrary>(target);
#endif
}

}  // namespace vx::dx
