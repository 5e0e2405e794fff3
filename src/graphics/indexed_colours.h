// The window's image on a display of 256 colours (an 8-bit X screen): each
// pixel as one of the colours the display was asked for, a 6 x 6 x 6 colour
// cube and a ramp of greys between its steps, so that the widgets' greys
// (their faces, unlit lamps, bevels) stay grey. The display says which of
// its pixel values each colour got.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vx {

// The colours asked of the display, as 0x00RRGGBB: the cube first (red
// slowest), then the greys.
constexpr std::size_t kCubeSteps = 6;
constexpr std::size_t kIndexedColourCount = 256;
std::array<std::uint32_t, kIndexedColourCount> IndexedColours();

class IndexedColourMap {
public:
    // pixels[i]: the display's pixel value for IndexedColours()[i].
    explicit IndexedColourMap(const std::array<std::uint8_t, kIndexedColourCount>& pixels);
    // The display's pixel value for a 0x00RRGGBB colour: the nearest grey
    // for a grey, the nearest cube colour otherwise.
    std::uint8_t PixelFor(std::uint32_t rgb) const;

private:
    std::array<std::uint8_t, kIndexedColourCount> m_pixels;
};

}  // namespace vx
