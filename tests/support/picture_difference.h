// How far two pictures of the same size (0x00RRGGBB pixels) are apart, for
// comparing one device's frame with another's within a stated tolerance.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace vx::testing {

struct Difference {
    int differing = 0;  // pixels with some channel further apart than the allowance
    int largest = 0;    // the largest channel difference anywhere
};

inline Difference Compare(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int allowance) {
    Difference result;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        int worst = 0;
        for (int shift : {0, 8, 16}) {
            worst =
                std::max(worst, std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF)));
        }
        result.largest = std::max(result.largest, worst);
        if (worst > allowance) ++result.differing;
    }
    return result;
}

// How far any device's frame of the video test's cube may be from the
// software device's. The software device snaps corners to a sixteenth of a
// pixel, the others (OpenGL, the system's devices) to a finer grid, so where
// a texel boundary passes close to a sample point they may take neighbouring
// texels: about 2 % of the pixels, on a texture of about a texel per pixel.
// Narrow all the same: the software device's own frame a fifth of a degree
// later is outside it.
struct FrameAllowance {
    int levels;   // per channel
    int percent;  // of the pixels, that may differ by more
};
inline constexpr FrameAllowance kCubeAllowance{2, 3};

inline ::testing::AssertionResult WithinCubeAllowance(const std::vector<std::uint32_t>& expected,
                                                      const std::vector<std::uint32_t>& drawn) {
    if (drawn.size() != expected.size()) return ::testing::AssertionFailure() << "pictures of different sizes";
    const Difference difference = Compare(expected, drawn, kCubeAllowance.levels);
    const bool within = difference.differing <= static_cast<int>(expected.size()) * kCubeAllowance.percent / 100;
    return (within ? ::testing::AssertionSuccess() : ::testing::AssertionFailure())
           << difference.differing << " of " << expected.size() << " pixels differ by more than " << kCubeAllowance.levels
           << " levels (largest " << difference.largest << ")";
}

// Pixels that are not black.
inline int Lit(const std::vector<std::uint32_t>& pixels) {
    return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), [](std::uint32_t p) { return (p & 0xFFFFFF) != 0; }));
}

}  // namespace vx::testing
