#pragma once

#include "framework/layout.h"
#include "platform/system_services.h"

namespace vx {

// Registers the video test's components with their layout properties.
void RegisterVideoClasses(ClassRegistry& classes, win::SystemServices& services);

}  // namespace vx
