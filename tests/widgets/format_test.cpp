#include "widgets/format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "widgets/digits.h"

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
        {100, '.', "100"},                                  // trailing zeros of a whole number stay
        {0.1 + 0.2, '.', "0.3"},                            // 15 significant digits hide binary noise
        {2.0 / 3.0, ',', "0,666666666666667"},              // rounded, not cut
        {123456789012345.0, '.', "123456789012345"},        // the largest fixed-form whole number
        {1e15, '.', "1E15"},                                // exponent form from 10^15 on
        {999999999999999.9, '.', "1E15"},                   // rounding carries into the next decade
        {0.00001, '.', "0.00001"},                          // the smallest fixed-form value
        {0.0000015, ',', "1,5E-6"},                         // exponent form below 10^-5
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
    ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
    EXPECT_EQ(DecimalSeparator(), '.');
    EXPECT_EQ(FormatGeneral(12.5), "12.5");

    bool found = false;
    for (const char* name : {"pl_PL.UTF-8", "pl_PL.utf8", "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            found = true;
            break;
        }
    }
    if (!found) GTEST_SKIP() << "no locale with a decimal comma is installed";
    EXPECT_EQ(DecimalSeparator(), ',');
    EXPECT_EQ(FormatGeneral(12.5), "12,5");
    std::setlocale(LC_NUMERIC, "C");
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
        {"Ready", 45, "Ready"},          // no placeholder: shown as it is
        {"", 45, ""},
        {"100%%", 7, "100%"},            // an escaped percent alone
        {"%s", 45, "%s"},                // a text placeholder cannot take a number
        {"[%d] of [%d]", 45, "[%d] of [%d]"},  // two placeholders, one value
        {"%5d", 45, "%5d"},              // widths are not supported
        {"50%", 45, "50%"},              // a dangling percent sign
        {"%n%d", 45, "%n%d"},            // never let a writing placeholder through
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
        {5, -1, 0, "5"},
        {5, 0, 0, "5"},       // a count of 0 appends nothing
        {5, 3, 0, "500"},
        {5, -1, 3, "  5"},
        {5, 2, 4, "  50"},    // zeros first, then blanks in front
        {12.5, -1, 2, "12,5"},  // already long enough
    };
    for (const DigitsTextCase& c : cases) {
        EXPECT_EQ(DigitsText(c.value, ',', c.digitCount, c.positions), c.expected) << c.value;
    }
}

}  // namespace
}  // namespace vx
