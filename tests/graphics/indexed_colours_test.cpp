// The window's colours on a display of 256 colours.
#include "graphics/indexed_colours.h"

#include <gtest/gtest.h>

#include <set>

namespace vx {
namespace {

TEST(IndexedColoursTest, EachColourGoesToTheNearestColourAsked) {
    const std::array<std::uint32_t, kIndexedColourCount> colours = IndexedColours();
    EXPECT_EQ(std::set<std::uint32_t>(colours.begin(), colours.end()).size(), colours.size()) << "each colour once";
    // The display gives the colours pixel values of its own: here in reverse.
    std::array<std::uint8_t, kIndexedColourCount> pixels{};
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(255 - i);
    const IndexedColourMap map(pixels);
    const auto colourOf = [&](std::uint8_t pixel) { return colours[255 - pixel]; };
    struct Case {
        std::uint32_t rgb;
        std::uint32_t shown;
    };
    const Case cases[] = {
        {0x000000, 0x000000}, {0xFFFFFF, 0xFFFFFF}, {0xFF0000, 0xFF0000},
        {0x00FF00, 0x00FF00}, {0x000080, 0x000099},  // navy: the nearest step of blue
        {0x808080, 0x828282},                        // the lamps' unlit grey: a grey, from the ramp
        {0xFFFFF6, 0xFFFFFF},                        // the buttons' face
        {0xC0C0C0, 0xC0C0C0},                        // the dialog grey
        {0x333333, 0x333333},                        // a grey of the cube itself
        {0x1A1A1A, 0x181818},
    };
    for (const Case& c : cases) EXPECT_EQ(colourOf(map.PixelFor(c.rgb)), c.shown) << std::hex << c.rgb;
}

}  // namespace
}  // namespace vx
