#include "framework/sdl/x11_error_filter.h"

#include <X11/Xlib.h>
#include <dlfcn.h>

namespace vx::sdl {

namespace {

using ErrorHandler = int (*)(Display*, XErrorEvent*);
using SetErrorHandler = ErrorHandler (*)(ErrorHandler);

// The X library calls its error handler without a context argument, so the
// handler it replaced is kept here, once per process.
ErrorHandler g_previousHandler = nullptr;

int FilterErrors(Display* display, XErrorEvent* error) {
    if (IsStaleWakeUpError(error->request_code, error->error_code)) return 0;
    return g_previousHandler != nullptr ? g_previousHandler(display, error) : 0;
}

}  // namespace

void InstallX11ErrorFilter() {
    static bool installed = false;
    if (installed) return;
    // The library stays loaded for the life of the process: SDL loads the
    // same one, and the handler lives inside it.
    void* library = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
    if (library == nullptr) return;
    auto setHandler = reinterpret_cast<SetErrorHandler>(dlsym(library, "XSetErrorHandler"));
    if (setHandler == nullptr) return;
    g_previousHandler = setHandler(FilterErrors);
    installed = true;
}

}  // namespace vx::sdl
