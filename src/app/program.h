// The program's run: the processor load sampler, the application object, the
// main window from its stored layout, and the message loop until the window
// closes.
#pragma once

#include "framework/backend.h"
#include "platform/system_services.h"

namespace vx {

namespace win {
class PosixSystemServices;
}

// Runs Vidorex on a window backend; returns the process's exit status.
int RunVidorex(WindowBackend& backend, win::SystemServices& services);

// Lets the Linux services answer the screen's device capabilities from the
// backend's display. The backend must outlive the services' use of the screen.
void ConnectDisplay(win::PosixSystemServices& services, const WindowBackend& backend);

}  // namespace vx
