#include "framework/sdl/x11_screen.h"

#include <X11/Xlib.h>
#include <dlfcn.h>

namespace vx::sdl {

X11ScreenFacts ReadX11ScreenFacts() {
    using OpenDisplay = Display* (*)(const char*);
    using CloseDisplay = int (*)(Display*);
    using ResourceString = char* (*)(Display*);
    using DefaultScreenOfDisplay = Screen* (*)(Display*);
    using DefaultVisualOfScreen = Visual* (*)(Screen*);
    using DefaultDepthOfScreen = int (*)(Screen*);
    using VisualIdFromVisual = VisualID (*)(Visual*);
    // The X library SDL loads; the program itself does not link it.
    void* library = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
    if (library == nullptr) return {};
    auto open = reinterpret_cast<OpenDisplay>(dlsym(library, "XOpenDisplay"));
    auto close = reinterpret_cast<CloseDisplay>(dlsym(library, "XCloseDisplay"));
    auto resources = reinterpret_cast<ResourceString>(dlsym(library, "XResourceManagerString"));
    auto screenOf = reinterpret_cast<DefaultScreenOfDisplay>(dlsym(library, "XDefaultScreenOfDisplay"));
    auto visualOf = reinterpret_cast<DefaultVisualOfScreen>(dlsym(library, "XDefaultVisualOfScreen"));
    auto depthOf = reinterpret_cast<DefaultDepthOfScreen>(dlsym(library, "XDefaultDepthOfScreen"));
    auto idOf = reinterpret_cast<VisualIdFromVisual>(dlsym(library, "XVisualIDFromVisual"));
    if (!open || !close || !resources || !screenOf || !visualOf || !depthOf || !idOf) return {};
    Display* display = open(nullptr);
    if (display == nullptr) return {};
    X11ScreenFacts facts;
    if (const char* text = resources(display)) facts.resources = text;
    Screen* screen = screenOf(display);
    if (depthOf(screen) == 8) facts.eightBitVisual = idOf(visualOf(screen));
    close(display);
    return facts;
}

}  // namespace vx::sdl
