#pragma once

#include "framework/layout.h"
#include "platform/system_services.h"
#include "video/dx_draw.h"

namespace vx {

// The DirectDraw services the program renders with: the system's own on
// Windows, the in-memory stand-in with its devices on Linux.
DirectDrawLoader StandardDirectDrawLoader();

// Registers the video test's components with their layout properties.
void RegisterVideoClasses(ClassRegistry& classes, win::SystemServices& services, DirectDrawLoader loader);

}  // namespace vx
