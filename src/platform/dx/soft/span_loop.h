// The span loop of span_renderer.cpp, for any number of pixels at a time
// in the compiler's portable vector types. It is compiled three times: four
// lanes for every processor, eight in span_renderer_wide.cpp for those with
// AVX2, sixteen in span_renderer_avx512.cpp for those with AVX-512. Lane
// arithmetic is the scalar arithmetic, division included and nothing
// contracted, so a pixel's value does not depend on the lane width nor on
// where it falls in a group. Where a width has one instruction for a step
// that gives exactly what the portable form gives (max, min, floor, a
// saturating add, a gather), that instruction is used: the loop is bound
// by the instructions it issues a group.
//
// Include it only from those files: everything here has internal linkage,
// so that each file keeps the code its own flags made.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/dx/soft/span_renderer.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace vx::dx::soft {
namespace {

// One specialisation per width: the compiler does not take a vector size
// that depends on a template's argument.
template <int kLanes>
struct LaneTypes;

template <>
struct LaneTypes<4> {
    using Floats = float __attribute__((vector_size(16)));
    using Ints = std::int32_t __attribute__((vector_size(16)));
    using Words = std::uint32_t __attribute__((vector_size(16)));
    using Bytes = std::uint8_t __attribute__((vector_size(16)));
};

template <>
struct LaneTypes<8> {
    using Floats = float __attribute__((vector_size(32)));
    using Ints = std::int32_t __attribute__((vector_size(32)));
    using Words = std::uint32_t __attribute__((vector_size(32)));
    using Bytes = std::uint8_t __attribute__((vector_size(32)));
};

template <>
struct LaneTypes<16> {
    using Floats = float __attribute__((vector_size(64)));
    using Ints = std::int32_t __attribute__((vector_size(64)));
    using Words = std::uint32_t __attribute__((vector_size(64)));
    using Bytes = std::uint8_t __attribute__((vector_size(64)));
};

enum class TextureKind { None, PowerOfTwo, AnySize };

// The sixteen-lane forms below are the masked ones with every lane set:
// the plain ones start from an undefined register, which this compiler
// wrongly warns of.
constexpr unsigned kAllSixteen = 0xFFFFu;

// The lanes' larger and smaller values, a > b ? a : b and a < b ? a : b,
// which is what the processor's max and min instructions give: one
// instruction instead of a compare and a select.
template <typename Floats>
inline Floats MaxLanes(Floats a, Floats b) {
#if defined(__AVX512F__)
    if constexpr (sizeof(Floats) == 64) return (Floats)_mm512_maskz_max_ps(kAllSixteen, (__m512)a, (__m512)b);
#endif
#if defined(__AVX__)
    if constexpr (sizeof(Floats) == 32) return (Floats)_mm256_max_ps((__m256)a, (__m256)b);
#endif
#if defined(__SSE2__)
    if constexpr (sizeof(Floats) == 16) return (Floats)_mm_max_ps((__m128)a, (__m128)b);
#endif
    return a > b ? a : b;
}

template <typename Floats>
inline Floats MinLanes(Floats a, Floats b) {
#if defined(__AVX512F__)
    if constexpr (sizeof(Floats) == 64) return (Floats)_mm512_maskz_min_ps(kAllSixteen, (__m512)a, (__m512)b);
#endif
#if defined(__AVX__)
    if constexpr (sizeof(Floats) == 32) return (Floats)_mm256_min_ps((__m256)a, (__m256)b);
#endif
#if defined(__SSE2__)
    if constexpr (sizeof(Floats) == 16) return (Floats)_mm_min_ps((__m128)a, (__m128)b);
#endif
    return a < b ? a : b;
}

// Clamps into [low, high]; NaN becomes low.
template <typename Floats>
inline Floats Clamp(Floats value, Floats low, Floats high) {
    return MinLanes(MaxLanes(value, low), high);
}

template <typename Floats>
inline Floats Clamp(Floats value, float low, float high) {
    return Clamp(value, Floats{} + low, Floats{} + high);
}

// floor() of each lane, already clamped to +-2^30 (as FloorToInt in
// sampler.h), where every float converts exactly.
template <int kLanes>
inline typename LaneTypes<kLanes>::Ints FloorClamped(typename LaneTypes<kLanes>::Floats value) {
    using Ints = typename LaneTypes<kLanes>::Ints;
    using Floats = typename LaneTypes<kLanes>::Floats;
#if defined(__AVX512F__)
    if constexpr (kLanes == 16)
        return (Ints)_mm512_maskz_cvt_roundps_epi32(kAllSixteen, (__m512)value, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
#endif
#if defined(__AVX__)
    if constexpr (kLanes == 8) return __builtin_convertvector((Floats)_mm256_floor_ps((__m256)value), Ints);
#endif
    const Ints truncated = __builtin_convertvector(value, Ints);
    return truncated + (value < __builtin_convertvector(truncated, Floats));  // a true lane is -1
}

// Each byte of dest plus the same byte of fragment, at most 255; the
// fragment's alpha byte must be zero.
template <int kLanes>
inline typename LaneTypes<kLanes>::Words AddBytesSaturated(typename LaneTypes<kLanes>::Words dest,
                                                           typename LaneTypes<kLanes>::Words fragment) {
    using Words = typename LaneTypes<kLanes>::Words;
#if defined(__AVX512BW__)
    if constexpr (sizeof(Words) == 64) return (Words)_mm512_adds_epu8((__m512i)dest, (__m512i)fragment);
#endif
#if defined(__AVX2__)
    if constexpr (sizeof(Words) == 32) return (Words)_mm256_adds_epu8((__m256i)dest, (__m256i)fragment);
#endif
#if defined(__SSE2__)
    if constexpr (sizeof(Words) == 16) return (Words)_mm_adds_epu8((__m128i)dest, (__m128i)fragment);
#endif
    using Bytes = typename LaneTypes<kLanes>::Bytes;
    const Bytes d = reinterpret_cast<Bytes>(dest);
    const Bytes f = reinterpret_cast<Bytes>(fragment);
    const Bytes room = ~d;
    return reinterpret_cast<Words>(d + (f < room ? f : room));
}

// The first count lanes' texels (all of them from kLanes on). Every
// texel index is wrapped into the texture, so the lanes beyond may load
// too; where the processor can skip them it does, as each lane's load is
// what the gather costs.
template <int kLanes>
inline typename LaneTypes<kLanes>::Words Gather(const std::uint32_t* texels, typename LaneTypes<kLanes>::Ints index,
                                                [[maybe_unused]] int count) {
    using Words = typename LaneTypes<kLanes>::Words;
#if defined(__AVX512F__)
    if constexpr (kLanes == 16) {
        const __mmask16 lanes = static_cast<__mmask16>(count >= 16 ? kAllSixteen : (1u << count) - 1u);
        return (Words)_mm512_mask_i32gather_epi32(_mm512_setzero_si512(), lanes, (__m512i)index, texels, 4);
    }
#endif
#if defined(__AVX2__)
    if constexpr (kLanes == 8) {
        const auto* base = reinterpret_cast<const int*>(texels);
        if (count >= 8) return (Words)_mm256_i32gather_epi32(base, (__m256i)index, 4);
        const __m256i lanes = _mm256_cmpgt_epi32(_mm256_set1_epi32(count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
        return (Words)_mm256_mask_i32gather_epi32(_mm256_setzero_si256(), base, (__m256i)index, lanes, 4);
    }
#endif
    std::int32_t indices[kLanes];
    std::uint32_t words[kLanes];
    std::memcpy(indices, &index, sizeof indices);
    for (int lane = 0; lane < kLanes; ++lane) words[lane] = texels[indices[lane]];
    Words gathered;
    std::memcpy(&gathered, words, sizeof words);
    return gathered;
}

// [0, 1] to [0, scale] with rounding; NaN to 0.
template <int kLanes>
inline typename LaneTypes<kLanes>::Words Scaled(typename LaneTypes<kLanes>::Floats value, float scale) {
    return __builtin_convertvector(Clamp(value, 0.0f, 1.0f) * scale + 0.5f, typename LaneTypes<kLanes>::Words);
}

// The first count lanes of fragment blended into dest (all of them for
// the vector kinds, whose caller keeps the lanes beyond).
template <int kLanes, BlendKind kBlend>
inline typename LaneTypes<kLanes>::Words Blend(const BlendState& blend, typename LaneTypes<kLanes>::Words dest,
                                               typename LaneTypes<kLanes>::Words fragment, int count) {
    if constexpr (kBlend == BlendKind::Replace) {
        return (dest & 0xFF000000u) | (fragment & 0x00FFFFFFu);
    } else if constexpr (kBlend == BlendKind::Add) {
        return AddBytesSaturated<kLanes>(dest, fragment & 0x00FFFFFFu);
    } else {
        std::uint32_t targets[kLanes];
        std::uint32_t fragments[kLanes];
        std::memcpy(targets, &dest, sizeof targets);
        std::memcpy(fragments, &fragment, sizeof fragments);
        for (int lane = 0; lane < count; ++lane) {
            targets[lane] = BlendGeneral(targets[lane], fragments[lane], blend.source, blend.dest);
        }
        std::memcpy(&dest, targets, sizeof dest);
        return dest;
    }
}

// One span's attributes and texture, read once into values of the loop's
// own: the loop's stores into the target could otherwise alias them, and
// the compiler would read them again for every group.
template <int kLanes, TextureKind kTexture, bool kModulate>
class FragmentShader {
public:
    using Floats = typename LaneTypes<kLanes>::Floats;
    using Ints = typename LaneTypes<kLanes>::Ints;
    using Words = typename LaneTypes<kLanes>::Words;

    FragmentShader(const TextureView& texture, const Span& span)
        : m_texels(texture.texels),
          m_textureWidth(Floats{} + static_cast<float>(texture.width)),
          m_textureHeight(Floats{} + static_cast<float>(texture.height)),
          m_widthInts(Ints{} + texture.width),
          m_heightInts(Ints{} + texture.height),
          m_widthMask(Ints{} + (texture.width - 1)),
          m_heightMask(Ints{} + (texture.height - 1)),
          m_widthShift(texture.widthShift) {
        // Only the attributes the loop reads: a short span pays for the rest.
        const auto load = [&](Attribute a) {
            m_start[a] = Floats{} + span.start[a];
            m_step[a] = Floats{} + span.step[a];
        };
        if constexpr (kTexture != TextureKind::None) {
            load(kInvW);
            load(kUOverW);
            load(kVOverW);
        }
        if constexpr (kTexture == TextureKind::None || kModulate) {
            load(kRed);
            load(kGreen);
            load(kBlue);
        }
        if constexpr (kTexture == TextureKind::None) load(kAlpha);
    }

    // The fragments at the pixels k (counted from the span's first), of
    // which the first count are drawn: every attribute straight from the
    // span's start, so that no error piles up along a long span.
    Words operator()(Floats k, int count = kLanes) const {
        if constexpr (kTexture == TextureKind::None) {
            return (Scaled<kLanes>(At(kAlpha, k), 255.0f) << 24) | (Scaled<kLanes>(At(kRed, k), 255.0f) << 16) |
                   (Scaled<kLanes>(At(kGreen, k), 255.0f) << 8) | Scaled<kLanes>(At(kBlue, k), 255.0f);
        } else {
            // Perspective-correct: u/w and v/w run linearly on the screen, so divide by 1/w.
            const Floats w = 1.0f / At(kInvW, k);
            const Floats u = At(kUOverW, k) * w * m_textureWidth;
            const Floats v = At(kVOverW, k) * w * m_textureHeight;
            Words fragment = Gather<kLanes>(m_texels, Index(u, v), count);
            if constexpr (kModulate) {
                // White scales by 256, leaving the texel exactly as it is.
                const Words red = (((fragment >> 16) & 0xFF) * Scaled<kLanes>(At(kRed, k), 256.0f)) >> 8;
                const Words green = (((fragment >> 8) & 0xFF) * Scaled<kLanes>(At(kGreen, k), 256.0f)) >> 8;
                const Words blue = ((fragment & 0xFF) * Scaled<kLanes>(At(kBlue, k), 256.0f)) >> 8;
                fragment = (fragment & 0xFF000000u) | (red << 16) | (green << 8) | blue;
            }
            return fragment;
        }
    }

private:
    Floats At(Attribute a, Floats k) const { return m_start[a] + k * m_step[a]; }

    // The wrapped texel under (u, v), in texels; huge values and NaN first
    // go into a range that wraps alike for every texture size up to 2^30.
    Ints Index(Floats u, Floats v) const {
        const Floats low = Floats{} - 1073741824.0f;
        const Floats high = Floats{} + 1073741824.0f;
        Ints x = FloorClamped<kLanes>(Clamp(u, low, high));
        Ints y = FloorClamped<kLanes>(Clamp(v, low, high));
        if constexpr (kTexture == TextureKind::PowerOfTwo) {
            return ((y & m_heightMask) << m_widthShift) | (x & m_widthMask);
        } else {
            x %= m_widthInts;
            y %= m_heightInts;
            x += (x < 0) & m_widthInts;
            y += (y < 0) & m_heightInts;
            return y * m_widthInts + x;
        }
    }

    const std::uint32_t* m_texels;
    Floats m_textureWidth;
    Floats m_textureHeight;
    Ints m_widthInts;
    Ints m_heightInts;
    Ints m_widthMask;
    Ints m_heightMask;
    int m_widthShift;
    Floats m_start[kAttributeCount];
    Floats m_step[kAttributeCount];
};

template <int kLanes, TextureKind kTexture, bool kModulate, BlendKind kBlend>
void DrawSpanWith(const PixelState& state, const Span& span) {
    using Floats = typename LaneTypes<kLanes>::Floats;
    using Words = typename LaneTypes<kLanes>::Words;
    std::uint32_t* const row = state.target.pixels + static_cast<std::ptrdiff_t>(span.y) * state.target.pitchPixels;
    const BlendState blend = state.blend;
    const int targetWidth = state.target.width;
    const int xBegin = span.xBegin;
    const int xEnd = span.xEnd;
    const FragmentShader<kLanes, kTexture, kModulate> shade(state.texture, span);
    float laneNumbers[kLanes];
    for (int lane = 0; lane < kLanes; ++lane) laneNumbers[lane] = static_cast<float>(lane);
    Floats lanes;
    std::memcpy(&lanes, laneNumbers, sizeof lanes);
    // Pixel numbers within the span: small whole numbers, so that adding
    // kLanes a group is exact.
    Floats k = lanes;
    const Floats groupStep = Floats{} + static_cast<float>(kLanes);

    int x = xBegin;
    for (; x + kLanes <= xEnd; x += kLanes, k += groupStep) {
        Words dest;
        std::memcpy(&dest, row + x, sizeof dest);
        const Words blended = Blend<kLanes, kBlend>(blend, dest, shade(k), kLanes);
        std::memcpy(row + x, &blended, sizeof blended);
    }
    if (x == xEnd) return;

    // The last group runs past the span's end. It moves as one vector load
    // and store all the same where the target is wide enough, the pixels
    // beyond keeping their value through the lane mask; at the target's
    // right edge its pixels move one by one.
    const int count = xEnd - x;
    const Words fragment = shade(k, count);
    if (x + kLanes <= targetWidth) {
        Words dest;
        std::memcpy(&dest, row + x, sizeof dest);
        const Words blended = Blend<kLanes, kBlend>(blend, dest, fragment, count);
        const Words kept = __builtin_convertvector(lanes, Words) < static_cast<std::uint32_t>(count) ? blended : dest;
        std::memcpy(row + x, &kept, sizeof kept);
    } else {
        std::uint32_t pixels[kLanes] = {};
        for (int lane = 0; lane < count; ++lane) pixels[lane] = row[x + lane];
        Words dest;
        std::memcpy(&dest, pixels, sizeof dest);
        const Words blended = Blend<kLanes, kBlend>(blend, dest, fragment, count);
        std::memcpy(pixels, &blended, sizeof pixels);
        for (int lane = 0; lane < count; ++lane) row[x + lane] = pixels[lane];
    }
}

template <int kLanes, TextureKind kTexture, bool kModulate>
SpanRenderer::DrawFunction ChooseBlend(BlendKind blend) {
    switch (blend) {
        case BlendKind::Replace:
            return &DrawSpanWith<kLanes, kTexture, kModulate, BlendKind::Replace>;
        case BlendKind::Add:
            return &DrawSpanWith<kLanes, kTexture, kModulate, BlendKind::Add>;
        default:
            return &DrawSpanWith<kLanes, kTexture, kModulate, BlendKind::General>;
    }
}

// The loop for a draw's pixel state.
template <int kLanes>
SpanRenderer::DrawFunction ChooseLoop(const PixelState& state) {
    const BlendKind blend = KindOf(state.blend);
    if (state.texture.texels == nullptr) return ChooseBlend<kLanes, TextureKind::None, true>(blend);
    if (state.texture.powerOfTwo) {
        return state.modulate ? ChooseBlend<kLanes, TextureKind::PowerOfTwo, true>(blend)
                              : ChooseBlend<kLanes, TextureKind::PowerOfTwo, false>(blend);
    }
    return state.modulate ? ChooseBlend<kLanes, TextureKind::AnySize, true>(blend)
                          : ChooseBlend<kLanes, TextureKind::AnySize, false>(blend);
}

}  // namespace
}  // namespace vx::dx::soft
