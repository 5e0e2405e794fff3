// The integer scale at which the window is shown on a high-density screen:
// every pixel of the window's image a k x k block, never smoothed. The
// desktop says the scale it wants (GDK_SCALE, or the X resources' Xft.dpi
// divided by 96, rounded down); the window is never made larger than the
// screen, so the largest scale that fits is taken below that.
#pragma once

#include <optional>
#include <string_view>

namespace vx {

struct ScaleRequest {
    std::optional<std::string_view> gdkScale;    // the GDK_SCALE variable, when set
    std::optional<std::string_view> xResources;  // the X server's resource string, when there is one
};

struct ScreenRoom {
    int width = 0;  // usable screen, in pixels
    int height = 0;
};

// The scale asked for: GDK_SCALE when it is a whole number from 1, else
// Xft.dpi / 96 rounded down, else 1.
int RequestedScale(const ScaleRequest& request);

// The requested scale, lowered until a window of the client size fits the
// screen; at least 1. A screen of unknown size (0) limits nothing.
int DisplayScale(const ScaleRequest& request, ScreenRoom screen, int clientWidth, int clientHeight);

}  // namespace vx
