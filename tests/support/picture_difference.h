// How far two pictures of the same size (0x00RRGGBB pixels) are apart, for
// comparing one device's frame with another's within a stated tolerance.
#pragma once

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
            worst = std::max(worst, std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF)));
        }
        result.largest = std::max(result.largest, worst);
        if (worst > allowance) ++result.differing;
    }
    return result;
}

// Pixels that are not black.
inline int Lit(const std::vector<std::uint32_t>& pixels) {
    return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), [](std::uint32_t p) { return (p & 0xFFFFFF) != 0; }));
}

}  // namespace vx::testing
