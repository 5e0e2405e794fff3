// The program's run: the application object, the main window from its
// stored layout, and the message loop until the window closes.
#pragma once

#include "framework/backend.h"
#include "platform/system_services.h"

namespace vx {

// Runs Vidorex on a window backend; returns the process's exit status.
int RunVidorex(WindowBackend& backend, win::SystemServices& services);

}  // namespace vx
