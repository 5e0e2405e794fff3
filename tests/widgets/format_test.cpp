#include "widgets/format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "widgets/digits.h"
#include "widgets/widget_fixture.h"

namespace vx {
namespace {

struct GeneralCase {
    double value;
    char separator;
    const char* expected;
};

TEST(FormatGeneralTest, FollowsTheGeneralNumberFormat) {
    const GeneralCase cases[] = {
        {18, '.', "18"},
        {0, '.', "0"},
        {-0.0, '.', "0"},
        {12.5, '.', "12.5"},
        {12.5, ',', "12,5"},
        {-7, '.', "-7"},
        {100, '.', "100"},                            // trailing zeros of a whole number stay
        {0.1 + 0.2, '.', "0.3"},                      // 15 significant digits hide binary noise
        {2.0 / 3.0, ',', "0,666666666666667"},        // rounded, not cut
        {123456789012345.0, '.', "123456789012345"},  // the largest fixed-form whole number
        {1e15, '.', "1E15"},                          // exponent form from 10^15 on
        {999999999999999.9, '.', "1E15"},             // rounding carries into the next decade
        {0.00001, '.', "0.00001"},                    // the smallest fixed-form value
        {0.0000015, ',', "1,5E-6"},                   // exponent form below 10^-5
        {-2.5e20, '.', "-2.5E20"},
        {std::numeric_limits<double>::infinity(), '.', "INF"},
        {-std::numeric_limits<double>::infinity(), '.', "-INF"},
        {std::nan(""), '.', "NAN"},
    };
    for (const GeneralCase& c : cases) {
        EXPECT_EQ(FormatGeneral(c.value, c.separator), c.expected) << "value " << c.value;
    }
}

TEST(FormatGeneralTest, NegativeValuesStartWithMinus) {
    for (double v : {-1.0, -12.5, -1e-7, -1e300}) EXPECT_EQ(FormatGeneral(v, '.').front(), '-') << v;
}

TEST(FormatGeneralTest, UsesTheLocaleSeparator) {
    {
        widget_test::NumericLocale c("C");
        EXPECT_EQ(DecimalSeparator(), '.');
        EXPECT_EQ(FormatGeneral(12.5), "12.5");
    }
    widget_test::NumericLocale polish("pl_PL.UTF-8");
    ASSERT_TRUE(polish.Active()) << "the pl_PL.UTF-8 locale is missing (scripts/setup.sh installs it)";
    EXPECT_EQ(DecimalSeparator(), ',');
    EXPECT_EQ(FormatGeneral(12.5), "12,5");
    EXPECT_EQ(DigitsText(12.5, DecimalSeparator(), 0, 0), "12,5");
}

struct CaptionCase {
    const char* format;
    long long value;
    const char* expected;
};

TEST(FormatIntCaptionTest, PutsInTheValueOrLeavesTheCaptionAlone) {
    const CaptionCase cases[] = {
        {"[%d%%]", 45, "[45%]"},
        {"progress...[%d%%]", 0, "progress...[0%]"},
        {"[%d%%]", 150, "[150%]"},
        {"Ready", 45, "Ready"},  // no placeholder: shown as it is
        {"", 45, ""},
        {"100%%", 7, "100%"},                  // an escaped percent alone
        {"%s", 45, "%s"},                      // a text placeholder cannot take a number
        {"[%d] of [%d]", 45, "[%d] of [%d]"},  // two placeholders, one value
        {"50%", 45, "50%"},                    // a dangling percent sign
        {"%n%d", 45, "%n%d"},                  // never let a writing placeholder through
        {"[%5d]", 45, "[   45]"},              // a width pads in front
        {"[%-5d]", 45, "[45   ]"},             // or behind
        {"%.3d%%", 7, "007%"},                 // a precision is a minimum of digits
        {"%x", 255, "FF"},
        {"%u%%", 45, "45%"},
        {"%D", 45, "45"},            // the type letter in either case
        {"%0:d/%0:d", 45, "45/45"},  // the one argument named twice
        {"%1:d", 45, "%1:d"},        // there is no second argument
        {"%*d", 45, "%*d"},          // a width taken from the arguments leaves none for the number
        {"%5.1f", 45, "%5.1f"},      // a float placeholder
        {"%99999d", 45, "%99999d"},  // an absurd width is refused, not built
        {"[%d%", 45, "[%d%"},        // a trailing percent sign
    };
    for (const CaptionCase& c : cases) EXPECT_EQ(FormatIntCaption(c.format, c.value), c.expected) << c.format;
}

struct DigitsTextCase {
    double value;
    int digitCount;
    int positions;
    const char* expected;
};

TEST(DigitsTextTest, PadsWithZerosThenBlanks) {
    const DigitsTextCase cases[] = {
        {5, -1, 0, "5"},       {5, 0, 0, "5"},                        // a count of 0 appends nothing
        {5, 3, 0, "500"},      {5, -1, 3, "  5"}, {5, 2, 4, "  50"},  // zeros first, then blanks in front
        {12.5, -1, 2, "12,5"},                                        // already long enough
    };
    for (const DigitsTextCase& c : cases) {
        EXPECT_EQ(DigitsText(c.value, ',', c.digitCount, c.positions), c.expected) << c.value;
    }
}

}  // namespace
}  // namespace vx
