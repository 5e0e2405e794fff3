#include "graphics/indexed_colours.h"

#include <cstdlib>

namespace vx {

namespace {

constexpr std::uint32_t kCubeStep = 51;  // 255 / 5
constexpr std::size_t kCubeColours = kCubeSteps * kCubeSteps * kCubeSteps;
constexpr std::size_t kGreyCount = kIndexedColourCount - kCubeColours;

// The cube's step nearest to a channel's value.
constexpr std::uint32_t CubeLevel(std::uint32_t value) { return (value + kCubeStep / 2) / kCubeStep; }

// The greys 1..kGreyCount spread evenly over 0..255 without its ends (the
// cube has black and white).
constexpr std::uint32_t GreyValue(std::size_t index) { return static_cast<std::uint32_t>((index + 1) * 255 / (kGreyCount + 1)); }

}  // namespace

std::array<std::uint32_t, kIndexedColourCount> IndexedColours() {
    std::array<std::uint32_t, kIndexedColourCount> colours{};
    std::size_t at = 0;
    for (std::uint32_t r = 0; r < kCubeSteps; ++r) {
        for (std::uint32_t g = 0; g < kCubeSteps; ++g) {
            for (std::uint32_t b = 0; b < kCubeSteps; ++b) {
                colours[at++] = (r * kCubeStep) << 16 | (g * kCubeStep) << 8 | b * kCubeStep;
            }
        }
    }
    for (std::size_t grey = 0; grey < kGreyCount; ++grey) {
        const std::uint32_t v = GreyValue(grey);
        colours[at++] = v << 16 | v << 8 | v;
    }
    return colours;
}

IndexedColourMap::IndexedColourMap(const std::array<std::uint8_t, kIndexedColourCount>& pixels) : m_pixels(pixels) {}

std::uint8_t IndexedColourMap::PixelFor(std::uint32_t rgb) const {
    const std::uint32_t r = rgb >> 16 & 0xFF;
    const std::uint32_t g = rgb >> 8 & 0xFF;
    const std::uint32_t b = rgb & 0xFF;
    const std::size_t cube = (CubeLevel(r) * kCubeSteps + CubeLevel(g)) * kCubeSteps + CubeLevel(b);
    if (r != g || g != b) return m_pixels[cube];
    // A grey: the nearest of the ramp and the cube's own greys.
    std::size_t best = cube;
    int bestDistance = std::abs(static_cast<int>(CubeLevel(r) * kCubeStep) - static_cast<int>(r));
    for (std::size_t grey = 0; grey < kGreyCount; ++grey) {
        const int distance = std::abs(static_cast<int>(GreyValue(grey)) - static_cast<int>(r));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = kCubeColours + grey;
        }
    }
    return m_pixels[best];
}

}  // namespace vx
