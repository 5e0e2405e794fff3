// Rating a score into one of a row's three lamps, and the operating system
// check's scoring.
#pragma once

#include <cstdint>

namespace vx {

enum class Lamp { Green, Yellow, Red };

// Strict greater-than comparisons tried from green downwards, so a score
// equal to a threshold falls to the lower colour.
constexpr Lamp RateLamp(double score, double greenAbove, double yellowAbove) {
    if (score > greenAbove) return Lamp::Green;
    if (score > yellowAbove) return Lamp::Yellow;
    return Lamp::Red;
}

// What a check writes into its row.
struct RowScore {
    double value = 0;          // the digit display
    std::uint8_t percent = 0;  // the bar, at most 100
    Lamp lamp = Lamp::Red;
};

// Version points: a base by major version (5: 90, 4: 60, 3: 40, else 70)
// plus 5 per minor version, in 32-bit arithmetic.
std::int32_t OsVersionPoints(std::uint32_t major, std::uint32_t minor);
// The operating system row: display points div 5, bar the points limited to
// 0..100, lamp on the full points (above 75 green, above 30 yellow).
RowScore ScoreOperatingSystem(std::uint32_t major, std::uint32_t minor);

}  // namespace vx
