#include "widgets/format.h"

#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>

namespace vx {

char DecimalSeparator() {
    const std::lconv* conv = std::localeconv();
    if (conv == nullptr || conv->decimal_point == nullptr || conv->decimal_point[0] == '\0') return '.';
    return conv->decimal_point[0];
}

std::string FormatGeneral(double value, char separator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";

    // Rounding to 15 significant digits first: rounding can carry into a new
    // decade (9.9999999999999999e14 becomes 1e15), and the layout follows
    // the rounded exponent. to_chars ignores the locale, which keeps the
    // separator under our control.
    std::array<char, 64> buf{};
    const auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value), std::chars_format::scientific, 14);
    if (ec != std::errc()) return "NAN";
    const std::string sci(buf.data(), end);  // d.ddddddddddddde[+-]xx
    const std::size_t ePos = sci.find('e');
    std::string digits = sci.substr(0, 1) + sci.substr(2, ePos - 2);
    const int exponent = std::atoi(sci.c_str() + ePos + 1);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = value < 0 ? "-" : "";
    if (exponent >= 15 || exponent < -5) {
        out += digits[0];
        if (digits.size() > 1) out += separator + digits.substr(1);
        out += 'E';
        out += std::to_string(exponent);
        return out;
    }
    if (exponent >= 0) {
        const auto intDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits + std::string(intDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, intDigits) + separator + digits.substr(intDigits);
        }
        return out;
    }
    out += '0';
    out += separator;
    out += std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    return out;
}

std::string FormatIntCaption(const std::string& format, long long value) {
    std::string out;
    bool used = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        const char next = i + 1 < format.size() ? format[i + 1] : '\0';
        if (next == '%') {
            out += '%';
        } else if (next == 'd' && !used) {
            out += std::to_string(value);
            used = true;
        } else {
            return format;
        }
        ++i;
    }
    return out;
}

}  // namespace vx
