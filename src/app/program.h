// The program's run: the processor load sampler, the application object, the
// main window from its stored layout, and the message loop until the window
// closes.
#pragma once

#include "framework/backend.h"
#include "platform/native_services.h"
#include "platform/system_services.h"

namespace vx {

// Runs Vidorex on a window backend; returns the process's exit status.
int RunVidorex(WindowBackend& backend, win::SystemServices& services);

// Lets the services answer the screen's device capabilities from the
// backend's display where the system cannot tell them itself (Linux). The
// backend must outlive the services' use of the screen.
void ConnectDisplay(win::NativeSystemServices& services, const WindowBackend& backend);

}  // namespace vx
