// The one X error the window back end expects and lets pass.
#pragma once

namespace vx {

// SDL wakes a waiting event loop by sending an event to one of its windows
// over a second connection to the X server. When that window has just been
// destroyed (a closed box, the main window at the end), the server may take
// the event after the window is gone and answer BadWindow, and Xlib's
// default handler then ends the process with status 1 as SDL shuts down.
// Installs a handler that lets exactly that error pass and hands every
// other to the handler it replaces. For SDL's X11 driver only.
void IgnoreStaleWakeUpErrors();

}  // namespace vx
