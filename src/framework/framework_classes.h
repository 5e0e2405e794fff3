// The framework's own classes as the stored layout names them, with the
// properties a layout may set on each.
#pragma once

#include "framework/layout.h"

namespace vx {

// Registers the framework's own classes (TComponent, TControl, TForm, TPanel,
// TMemo, TButton, TTimer, ...) with their properties.
void RegisterFrameworkClasses(ClassRegistry& classes);

}  // namespace vx
