#include "framework/sdl/x11_errors.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace vx {

namespace {

XErrorHandler g_previousHandler = nullptr;

int LetStaleWakeUpsPass(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
    return g_previousHandler != nullptr ? g_previousHandler(display, error) : 0;
}

}  // namespace

void IgnoreStaleWakeUpErrors() {
    // Once per process: a second back end must not chain the handler to itself.
    static const bool installed = [] {
        g_previousHandler = XSetErrorHandler(LetStaleWakeUpsPass);
        return true;
    }();
    (void)installed;
}

}  // namespace vx
