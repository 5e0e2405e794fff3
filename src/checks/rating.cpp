#include "checks/rating.h"

#include <algorithm>

namespace vx {

std::int32_t OsVersionPoints(std::uint32_t major, std::uint32_t minor) {
    std::uint32_t base = major == 5 ? 90 : major == 4 ? 60 : major == 3 ? 40 : 70;
    // Unsigned arithmetic wraps where a 32-bit signed sum would overflow.
    return static_cast<std::int32_t>(base + 5u * minor);
}

RowScore ScoreOperatingSystem(std::uint32_t major, std::uint32_t minor) {
    std::int32_t points = OsVersionPoints(major, minor);
    RowScore score;
    score.value = static_cast<double>(points / 5);
    // A bar byte cannot show less than nothing: a wrapped negative sum reads 0.
    score.percent = static_cast<std::uint8_t>(std::clamp(points, 0, 100));
    score.lamp = RateLamp(points, 75, 30);
    return score;
}

}  // namespace vx
