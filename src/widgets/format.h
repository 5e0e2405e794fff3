// Number and caption formatting for the widgets' texts.
#pragma once

#include <string>

namespace vx {

// The decimal separator of the current LC_NUMERIC locale ('.' when the
// locale names none). Asked afresh on every call, so a program that calls
// setlocale(LC_NUMERIC, "") at start gets the user's separator.
char DecimalSeparator();

// General number format: at most 15 significant digits, no trailing zeros,
// no thousands separator. Values of 1e15 or more and non-zero values below
// 1e-5 (in magnitude) take exponent form ("1E15", "1.5E-6"); infinities and
// not-a-number read "INF", "-INF", "NAN".
std::string FormatGeneral(double value, char separator);
inline std::string FormatGeneral(double value) { return FormatGeneral(value, DecimalSeparator()); }

// Formats a caption with one integer argument, as the bars' captions are
// written: "%d" (also "%u", "%x"), with an optional argument index "0:", a
// "-" for left alignment, a width and a ".precision" (minimum digits), and
// "%%" for a percent sign. A caption that does not fit one integer (a text
// or float placeholder, a second argument, a "*" width) comes back
// unchanged, so a caption typed by hand can never break the widget.
std::string FormatIntCaption(const std::string& format, long long value);

}  // namespace vx
