#include "widgets/format.h"

#include <array>
#include <cctype>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

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
    const auto [end, ec] =
        std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value), std::chars_format::scientific, 14);
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

namespace {

// One placeholder of a caption: "%" [index ":"] ["-"] [width] ["." precision] type.
struct Placeholder {
    std::size_t end = 0;  // position after the type character
    int index = -1;       // -1: the next argument
    bool leftAligned = false;
    int width = 0;
    int precision = -1;
    char type = 0;
};

// Wider fields than this cannot show on any widget; they are refused rather
// than built.
constexpr int kMaxField = 1000;

// Reads a decimal number at pos; false when it is absurdly large.
bool ReadNumber(const std::string& s, std::size_t& pos, int& value) {
    value = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        value = value * 10 + (s[pos] - '0');
        if (value > kMaxField) return false;
        ++pos;
    }
    return true;
}

std::optional<Placeholder> ParsePlaceholder(const std::string& s, std::size_t pos) {
    Placeholder p;
    ++pos;  // the percent sign
    std::size_t digitsStart = pos;
    int number = 0;
    if (!ReadNumber(s, pos, number)) return std::nullopt;
    if (pos > digitsStart && pos < s.size() && s[pos] == ':') {
        p.index = number;
        ++pos;
        digitsStart = pos;
        if (!ReadNumber(s, pos, number)) return std::nullopt;
    }
    if (pos == digitsStart && pos < s.size() && s[pos] == '-') {
        p.leftAligned = true;
        ++pos;
        digitsStart = pos;
        if (!ReadNumber(s, pos, number)) return std::nullopt;
    }
    p.width = number;
    if (pos < s.size() && s[pos] == '.') {
        ++pos;
        if (!ReadNumber(s, pos, p.precision)) return std::nullopt;
    }
    if (pos >= s.size()) return std::nullopt;
    p.type = static_cast<char>(std::tolower(static_cast<unsigned char>(s[pos])));
    p.end = pos + 1;
    return p;
}

}  // namespace

std::string FormatIntCaption(const std::string& format, long long value) {
    std::string out;
    int nextArgument = 0;
    for (std::size_t i = 0; i < format.size();) {
        if (format[i] != '%') {
            out += format[i++];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        // Anything but an integer placeholder for the one argument (a text
        // or float placeholder, a second argument, "*" widths) cannot be
        // formatted: the caption is then shown as it was written.
        const std::optional<Placeholder> p = ParsePlaceholder(format, i);
        if (!p || (p->type != 'd' && p->type != 'u' && p->type != 'x')) return format;
        const int argument = p->index >= 0 ? p->index : nextArgument;
        if (argument != 0) return format;
        nextArgument = argument + 1;

        std::string digits;
        const bool negative = value < 0 && p->type == 'd';
        if (p->type == 'x') {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(value));
            digits = buf;
        } else if (p->type == 'u' && value < 0) {
            digits = std::to_string(static_cast<unsigned long long>(static_cast<std::uint32_t>(value)));
        } else {
            digits = std::to_string(negative ? -(value + 1) + 1ULL : static_cast<unsigned long long>(value));
        }
        if (p->precision > static_cast<int>(digits.size())) {
            digits.insert(0, static_cast<std::size_t>(p->precision) - digits.size(), '0');
        }
        if (negative) digits.insert(0, 1, '-');
        if (p->width > static_cast<int>(digits.size())) {
            const std::string pad(static_cast<std::size_t>(p->width) - digits.size(), ' ');
            digits = p->leftAligned ? digits + pad : pad + digits;
        }
        out += digits;
        i = p->end;
    }
    return out;
}

}  // namespace vx
