// The X11 error that SDL's event wait can provoke at shut-down, kept from
// ending the program.
//
// While SDL waits for events it wakes itself by sending a message to the
// main window over a second connection to the X server. When the window is
// destroyed right after such a wake-up (the closing click is one), a busy
// server may handle the destruction first and answer the message with
// BadWindow; Xlib's default handler then ends the process with status 1
// while SDL closes that connection. Only that error is dropped; every other
// X error goes to the handler that was in place before.
#pragma once

namespace vx::sdl {

// Installs the filter in the process's X library, loading it as SDL would.
// Must run before SDL's video starts, so that SDL's own handler chains to
// it and puts it back when SDL shuts down. Does nothing without the library.
void InstallX11ErrorFilter();

// The rule, for tests: request 25 is SendEvent, error 3 is BadWindow.
constexpr bool IsStaleWakeUpError(int requestCode, int errorCode) { return requestCode == 25 && errorCode == 3; }

}  // namespace vx::sdl
