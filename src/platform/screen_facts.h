// What the screen's device context reports, in the platform's terms, where
// the operating system layer cannot learn it from the display itself and the
// window framework hands it over (Linux).
#pragma once

namespace vx::win {

struct ScreenFacts {
    int bitsPerPixel = 32;  // as the platform counts: 24-bit colour in 4-byte pixels is 32
    int refreshRate = 0;    // Hz; 0 when the display does not say
    int width = 0;
    int height = 0;
    int pixelsPerInch = 96;  // 96 when the display does not say
};

}  // namespace vx::win
