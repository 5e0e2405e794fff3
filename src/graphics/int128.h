// 128-bit integers for the canvas's exact shape arithmetic (products of two
// 64-bit coordinates). The compiler's own types where it has them; 32-bit
// targets have none, so there a pair of 64-bit words does the few operations
// the canvas needs, with the same results (wrapping multiplication, division
// truncating towards zero).
#pragma once

#include <cstdint>

namespace vx {

class PortableUInt128 {
public:
    constexpr PortableUInt128() = default;
    constexpr PortableUInt128(std::uint64_t value) : m_lo(value) {}  // NOLINT: an integer, as the native type
    constexpr PortableUInt128(std::uint64_t hi, std::uint64_t lo) : m_hi(hi), m_lo(lo) {}

    constexpr std::uint64_t High() const { return m_hi; }
    constexpr std::uint64_t Low() const { return m_lo; }

    explicit constexpr operator std::uint64_t() const { return m_lo; }
    explicit constexpr operator std::int64_t() const { return static_cast<std::int64_t>(m_lo); }
    explicit constexpr operator long double() const {
        return static_cast<long double>(m_hi) * 18446744073709551616.0L + static_cast<long double>(m_lo);
    }

    friend constexpr PortableUInt128 operator+(PortableUInt128 a, PortableUInt128 b) {
        const std::uint64_t lo = a.m_lo + b.m_lo;
        return {a.m_hi + b.m_hi + (lo < a.m_lo ? 1 : 0), lo};
    }
    friend constexpr PortableUInt128 operator-(PortableUInt128 a, PortableUInt128 b) {
        return {a.m_hi - b.m_hi - (a.m_lo < b.m_lo ? 1 : 0), a.m_lo - b.m_lo};
    }
    friend constexpr PortableUInt128 operator*(PortableUInt128 a, PortableUInt128 b) {
        PortableUInt128 product = MultiplyWords(a.m_lo, b.m_lo);
        product.m_hi += a.m_hi * b.m_lo + a.m_lo * b.m_hi;
        return product;
    }
    // b must not be 0, as for the native type.
    friend constexpr PortableUInt128 operator/(PortableUInt128 a, PortableUInt128 b) { return DivMod(a, b, nullptr); }
    friend constexpr PortableUInt128 operator%(PortableUInt128 a, PortableUInt128 b) {
        PortableUInt128 rest;
        DivMod(a, b, &rest);
        return rest;
    }

    friend constexpr bool operator==(PortableUInt128 a, PortableUInt128 b) = default;
    friend constexpr bool operator<(PortableUInt128 a, PortableUInt128 b) {
        return a.m_hi != b.m_hi ? a.m_hi < b.m_hi : a.m_lo < b.m_lo;
    }
    friend constexpr bool operator>(PortableUInt128 a, PortableUInt128 b) { return b < a; }
    friend constexpr bool operator<=(PortableUInt128 a, PortableUInt128 b) { return !(b < a); }
    friend constexpr bool operator>=(PortableUInt128 a, PortableUInt128 b) { return !(a < b); }

private:
    static constexpr PortableUInt128 MultiplyWords(std::uint64_t a, std::uint64_t b) {
        const std::uint64_t aLo = a & 0xFFFFFFFFu, aHi = a >> 32;
        const std::uint64_t bLo = b & 0xFFFFFFFFu, bHi = b >> 32;
        const std::uint64_t lowProduct = aLo * bLo;
        const std::uint64_t cross1 = aHi * bLo + (lowProduct >> 32);
        const std::uint64_t cross2 = aLo * bHi + (cross1 & 0xFFFFFFFFu);
        return {aHi * bHi + (cross1 >> 32) + (cross2 >> 32), (cross2 << 32) | (lowProduct & 0xFFFFFFFFu)};
    }

    static constexpr PortableUInt128 DivMod(PortableUInt128 a, PortableUInt128 b, PortableUInt128* rest) {
        // The canvas's operands mostly fit one word: the processor divides those.
        if (a.m_hi == 0 && b.m_hi == 0) {
            if (rest) *rest = PortableUInt128(a.m_lo % b.m_lo);
            return PortableUInt128(a.m_lo / b.m_lo);
        }
        PortableUInt128 quotient;
        PortableUInt128 remainder;
        for (int bit = 127; bit >= 0; --bit) {
            remainder = PortableUInt128((remainder.m_hi << 1) | (remainder.m_lo >> 63), remainder.m_lo << 1);
            const std::uint64_t next = bit >= 64 ? (a.m_hi >> (bit - 64)) & 1 : (a.m_lo >> bit) & 1;
            remainder.m_lo |= next;
            if (remainder >= b) {
                remainder = remainder - b;
                if (bit >= 64) {
                    quotient.m_hi |= std::uint64_t{1} << (bit - 64);
                } else {
                    quotient.m_lo |= std::uint64_t{1} << bit;
                }
            }
        }
        if (rest) *rest = remainder;
        return quotient;
    }

    std::uint64_t m_hi = 0;
    std::uint64_t m_lo = 0;
};

// Two's complement over the unsigned pair.
class PortableInt128 {
public:
    constexpr PortableInt128() = default;
    constexpr PortableInt128(std::int64_t value)  // NOLINT: an integer, as the native type
        : m_bits(value < 0 ? ~std::uint64_t{0} : 0, static_cast<std::uint64_t>(value)) {}

    explicit constexpr operator std::int64_t() const { return static_cast<std::int64_t>(m_bits.Low()); }

    friend constexpr PortableInt128 operator+(PortableInt128 a, PortableInt128 b) { return Bits(a.m_bits + b.m_bits); }
    friend constexpr PortableInt128 operator-(PortableInt128 a, PortableInt128 b) { return Bits(a.m_bits - b.m_bits); }
    friend constexpr PortableInt128 operator*(PortableInt128 a, PortableInt128 b) { return Bits(a.m_bits * b.m_bits); }
    // Truncates towards zero; b must not be 0.
    friend constexpr PortableInt128 operator/(PortableInt128 a, PortableInt128 b) {
        const PortableInt128 quotient = Bits(a.Magnitude() / b.Magnitude());
        return a.Negative() != b.Negative() ? -quotient : quotient;
    }
    // Takes the dividend's sign, as the native type.
    friend constexpr PortableInt128 operator%(PortableInt128 a, PortableInt128 b) {
        const PortableInt128 rest = Bits(a.Magnitude() % b.Magnitude());
        return a.Negative() ? -rest : rest;
    }
    constexpr PortableInt128 operator-() const { return Bits(PortableUInt128(0) - m_bits); }

    friend constexpr bool operator==(PortableInt128 a, PortableInt128 b) = default;
    friend constexpr bool operator<(PortableInt128 a, PortableInt128 b) {
        if (a.Negative() != b.Negative()) return a.Negative();
        return a.m_bits < b.m_bits;
    }

private:
    static constexpr PortableInt128 Bits(PortableUInt128 bits) {
        PortableInt128 value;
        value.m_bits = bits;
        return value;
    }
    constexpr bool Negative() const { return (m_bits.High() >> 63) != 0; }
    constexpr PortableUInt128 Magnitude() const { return Negative() ? (-*this).m_bits : m_bits; }

    PortableUInt128 m_bits;
};

#if defined(__SIZEOF_INT128__)
__extension__ using Int128 = __int128;
__extension__ using UInt128 = unsigned __int128;
#else
using Int128 = PortableInt128;
using UInt128 = PortableUInt128;
#endif

}  // namespace vx
