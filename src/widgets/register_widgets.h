// Makes the widget classes known to the layout reader, with their
// properties by name (sub-objects use dotted names: Gradient.Active).
#pragma once

#include "framework/layout.h"

namespace vx {

// Needs the framework's classes registered first (RegisterFrameworkClasses, framework/framework_classes.h).
void RegisterWidgetClasses(ClassRegistry& classes);

}  // namespace vx
