// The window's scale on high-density screens, from what the desktop asks.
#include "framework/display_scale.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(DisplayScaleTest, TheDesktopsRequestWithinTheScreen) {
    constexpr ScreenRoom kLarge{3840, 2160};
    struct Case {
        const char* what;
        ScaleRequest request;
        ScreenRoom screen;
        int scale;
    };
    const Case cases[] = {
        {"nothing asked", {}, kLarge, 1},
        {"GDK_SCALE 2", {"2", std::nullopt}, kLarge, 2},
        {"GDK_SCALE before Xft.dpi", {"1", "Xft.dpi:\t192\n"}, kLarge, 1},
        {"GDK_SCALE not a whole number: Xft.dpi", {"1.5", "Xft.dpi:\t192\n"}, kLarge, 2},
        {"GDK_SCALE nonsense", {"two", std::nullopt}, kLarge, 1},
        {"GDK_SCALE 0", {"0", std::nullopt}, kLarge, 1},
        {"Xft.dpi 192 among other resources", {std::nullopt, "Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"}, kLarge, 2},
        {"Xft.dpi 144 rounds down", {std::nullopt, "Xft.dpi:\t144\n"}, kLarge, 1},
        {"Xft.dpi 288", {std::nullopt, "Xft.dpi:\t288\n"}, kLarge, 3},
        {"Xft.dpi 96", {std::nullopt, "Xft.dpi:\t96\n"}, kLarge, 1},
        {"a resource of a similar name", {std::nullopt, "Xft.dpiX:\t192\n"}, kLarge, 1},
        {"3 asked, 2 fits", {"3", std::nullopt}, {1920, 1200}, 2},
        {"2 asked, the screen too small", {"2", std::nullopt}, {1024, 768}, 1},
        {"exactly the screen", {"2", std::nullopt}, {1264, 882}, 2},
        {"unknown screen", {"2", std::nullopt}, {0, 0}, 2},
    };
    for (const Case& c : cases) EXPECT_EQ(DisplayScale(c.request, c.screen, 632, 441), c.scale) << c.what;
}

}  // namespace
}  // namespace vx
