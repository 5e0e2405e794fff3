#include "framework/display_scale.h"

#include <charconv>

namespace vx {

namespace {

constexpr int kLargestScale = 8;

std::optional<double> Number(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The value of "Xft.dpi:" in the resource string: one "name:\tvalue" a line.
std::optional<double> XftDpi(std::string_view resources) {
    constexpr std::string_view kName = "Xft.dpi:";
    while (!resources.empty()) {
        const std::size_t end = resources.find('\n');
        const std::string_view line = resources.substr(0, end);
        resources.remove_prefix(end == std::string_view::npos ? resources.size() : end + 1);
        if (line.starts_with(kName)) return Number(line.substr(kName.size()));
    }
    return std::nullopt;
}

}  // namespace

int RequestedScale(const ScaleRequest& request) {
    if (request.gdkScale) {
        const std::optional<double> scale = Number(*request.gdkScale);
        if (scale && *scale >= 1 && *scale <= kLargestScale && *scale == static_cast<int>(*scale)) {
            return static_cast<int>(*scale);
        }
    }
    if (request.xResources) {
        const std::optional<double> dpi = XftDpi(*request.xResources);
        if (dpi && *dpi >= 96) return *dpi / 96 >= kLargestScale ? kLargestScale : static_cast<int>(*dpi / 96);
    }
    return 1;
}

int DisplayScale(const ScaleRequest& request, ScreenRoom screen, int clientWidth, int clientHeight) {
    int scale = RequestedScale(request);
    const auto fits = [&](int k) {
        return (screen.width <= 0 || clientWidth * k <= screen.width) &&
               (screen.height <= 0 || clientHeight * k <= screen.height);
    };
    while (scale > 1 && !fits(scale)) --scale;
    return scale;
}

}  // namespace vx
