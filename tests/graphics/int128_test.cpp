#include "graphics/int128.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace vx {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

// (a * b + c) / d and % d through products wider than 64 bits, as the
// canvas's line and ellipse arithmetic forms them; q * d + r must give the
// dividend back, and the results are the native type's.
TEST(PortableInt128Test, QuotientsAndRemaindersOfWideProducts) {
    struct Case {
        std::int64_t a, b, c, d;
        std::int64_t quotient, remainder;
    };
    const Case cases[] = {
        {7, 3, 0, 2, 10, 1},
        {-7, 3, 0, 2, -10, -1},  // truncates towards zero, the remainder takes the dividend's sign
        {7, -3, 0, -2, 10, -1},
        {kMax, kMax, 0, kMax, kMax, 0},  // a product of 126 bits
        {kMax, 4, 3, 8, kMax / 2, 7},    // a carry across the words
        {kMin, 2, 0, kMin, 2, 0},
        {1LL << 40, 1LL << 40, 12345, 1LL << 50, 1LL << 30, 12345},
        {-(1LL << 40), (1LL << 40) + 1, -5, 1LL << 41, -(1LL << 39), -(1LL << 40) - 5},
    };
    for (const Case& c : cases) {
        const PortableInt128 n = PortableInt128(c.a) * PortableInt128(c.b) + PortableInt128(c.c);
        const PortableInt128 q = n / PortableInt128(c.d);
        const PortableInt128 r = n % PortableInt128(c.d);
        EXPECT_EQ(q * PortableInt128(c.d) + r, n) << c.a << " * " << c.b << " + " << c.c << " / " << c.d;
        EXPECT_EQ(static_cast<std::int64_t>(q), c.quotient) << c.a << " * " << c.b << " / " << c.d;
        EXPECT_EQ(static_cast<std::int64_t>(r), c.remainder) << c.a << " * " << c.b << " % " << c.d;
        EXPECT_EQ(n < PortableInt128(0), (c.a < 0) != (c.b < 0));
#if defined(__SIZEOF_INT128__)
        __extension__ const __int128 native = static_cast<__int128>(c.a) * c.b + c.c;
        EXPECT_EQ(static_cast<std::int64_t>(native / c.d), c.quotient);
        EXPECT_EQ(static_cast<std::int64_t>(native % c.d), c.remainder);
#endif
    }
}

TEST(PortableUInt128Test, ProductsOfFullWords) {
    const std::uint64_t big = 0xFFFFFFFFFFFFFFFFull;
    const PortableUInt128 square = PortableUInt128(big) * PortableUInt128(big);  // 2^128 - 2^65 + 1
    EXPECT_EQ(square.High(), big - 1);
    EXPECT_EQ(square.Low(), 1u);
    EXPECT_EQ(square / PortableUInt128(big), PortableUInt128(big));
    EXPECT_EQ(square % PortableUInt128(big), PortableUInt128(0));
    EXPECT_EQ((square - PortableUInt128(2)) % PortableUInt128(big), PortableUInt128(big - 2));
    EXPECT_TRUE(PortableUInt128(1, 0) > PortableUInt128(big));
    EXPECT_EQ(static_cast<long double>(PortableUInt128(1, 0)), 18446744073709551616.0L);
}

}  // namespace
}  // namespace vx
