#pragma once

#include "framework/layout.h"

namespace vx {

// Registers the video test's components with their layout properties.
void RegisterVideoClasses(ClassRegistry& classes);

}  // namespace vx
