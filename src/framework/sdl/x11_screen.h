// What the program learns of the X screen before it makes its window, over
// one connection of its own: the desktop's resource string (its settings,
// such as Xft.dpi) and, on a screen of 256 colours, the screen's own visual,
// which the windows are to be made with so that they take the desktop's
// colour map (SDL would choose a direct-colour visual, with a colour map
// that nothing installs).
#pragma once

#include <optional>
#include <string>

namespace vx::sdl {

struct X11ScreenFacts {
    std::optional<std::string> resources;
    std::optional<unsigned long> eightBitVisual;
};

// Nothing is known without an X display.
X11ScreenFacts ReadX11ScreenFacts();

}  // namespace vx::sdl
