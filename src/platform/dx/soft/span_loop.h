// The span loop of span_renderer.cpp, for any number of pixels at a time
// in the compiler's portable vector types. It is compiled three times: four
// lanes for every processor, eight in span_renderer_wide.cpp for those with
// AVX2, sixteen in span_renderer_avx512.cpp for those with AVX-512. Lane
// arithmetic is the scalar arithmetic, division included and nothing
// contracted, so a pixel's value does not depend on the lane width nor on
// where it falls in a group.
//
// Include it only from those files: everything here has internal linkage,
// so that each file keeps the code its own flags made.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/dx/soft/span_renderer.h"

#if defined(__AVX2__) || defined(__AVX512F__)
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

// Clamps into [low, high]; NaN becomes low.
template <typename Floats>
inline Floats Clamp(Floats value, float low, float high) {
    const Floats lowest = Floats{} + low;
    const Floats highest = Floats{} + high;
    value = value > lowest ? value : lowest;
    return value < highest ? value : highest;
}

// floor() of each lane; huge values and NaN first go into a range that wraps
// alike for every texture size up to 2^30 (as FloorToInt in sampler.h).
template <int kLanes>
inline typename LaneTypes<kLanes>::Ints FloorLanes(typename LaneTypes<kLanes>::Floats value) {
    using Ints = typename LaneTypes<kLanes>::Ints;
    using Floats = typename LaneTypes<kLanes>::Floats;
    value = Clamp(value, -1073741824.0f, 1073741824.0f);
    const Ints truncated = __builtin_convertvector(value, Ints);
    return truncated + (value < __builtin_convertvector(truncated, Floats));  // a true lane is -1
}

template <int kLanes>
inline typename LaneTypes<kLanes>::Words Gather(const std::uint32_t* texels, typename LaneTypes<kLanes>::Ints index,
                                                [[maybe_unused]] int count) {
#if defined(__AVX512F__)
    if constexpr (kLanes == 16) {
        // Only the lanes in the span load a texel.
        const __mmask16 lanes = static_cast<__mmask16>(count >= 16 ? 0xFFFFu : (1u << count) - 1u);
        return (typename LaneTypes<kLanes>::Words)_mm512_mask_i32gather_epi32(_mm512_setzero_si512(), lanes, (__m512i)index,
                                                                                 texels, 4);
    }
#endif
#if defined(__AVX2__)
    if constexpr (kLanes == 8) {
        return (typename LaneTypes<kLanes>::Words)_mm256_i32gather_epi32(reinterpret_cast<const int*>(texels), (__m256i)index, 4);
    }
#endif
    std::int32_t indices[kLanes];
    std::uint32_t words[kLanes];
    std::memcpy(indices, &index, sizeof indices);
    for (int lane = 0; lane < kLanes; ++lane) words[lane] = texels[indices[lane]];
    typename LaneTypes<kLanes>::Words gathered;
    std::memcpy(&gathered, words, sizeof words);
    return gathered;
}

template <int kLanes, TextureKind kTexture>
inline typename LaneTypes<kLanes>::Words SampleLanes(const TextureView& texture, typename LaneTypes<kLanes>::Floats u,
                                                     typename LaneTypes<kLanes>::Floats v, int count) {
    using Ints = typename LaneTypes<kLanes>::Ints;
    Ints x = FloorLanes<kLanes>(u);
    Ints y = FloorLanes<kLanes>(v);
    Ints index;
    if constexpr (kTexture == TextureKind::PowerOfTwo) {
        index = ((y & (texture.height - 1)) << texture.widthShift) | (x & (texture.width - 1));
    } else {
        x %= texture.width;
        y %= texture.height;
        x += (x < 0) & texture.width;
        y += (y < 0) & texture.height;
        index = y * texture.width + x;
    }
    return Gather<kLanes>(texture.texels, index, count);
}

// [0, 1] to [0, scale] with rounding; NaN to 0.
template <int kLanes>
inline typename LaneTypes<kLanes>::Words Scaled(typename LaneTypes<kLanes>::Floats value, float scale) {
    return __builtin_convertvector(Clamp(value, 0.0f, 1.0f) * scale + 0.5f, typename LaneTypes<kLanes>::Words);
}

template <int kLanes>
inline typename LaneTypes<kLanes>::Words AddSaturate(typename LaneTypes<kLanes>::Words dest,
                                                     typename LaneTypes<kLanes>::Words fragment) {
    using Bytes = typename LaneTypes<kLanes>::Bytes;
    using Words = typename LaneTypes<kLanes>::Words;
    const Bytes d = reinterpret_cast<Bytes>(dest);
    const Bytes f = reinterpret_cast<Bytes>(fragment & 0x00FFFFFFu);
    const Bytes room = ~d;
    return reinterpret_cast<Words>(d + (f < room ? f : room));
}

// The first count lanes of fragment blended into dest.
template <int kLanes, BlendKind kBlend>
inline typename LaneTypes<kLanes>::Words Blend(const BlendState& blend, typename LaneTypes<kLanes>::Words dest,
                                               typename LaneTypes<kLanes>::Words fragment, int count) {
    if constexpr (kBlend == BlendKind::Replace) {
        return (dest & 0xFF000000u) | (fragment & 0x00FFFFFFu);
    } else if constexpr (kBlend == BlendKind::Add) {
        return AddSaturate<kLanes>(dest, fragment);
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

template <int kLanes, TextureKind kTexture, bool kModulate, BlendKind kBlend>
void DrawSpanWith(const PixelState& state, const Span& span) {
    using Floats = typename LaneTypes<kLanes>::Floats;
    using Words = typename LaneTypes<kLanes>::Words;
    std::uint32_t* row = state.target.pixels + static_cast<std::ptrdiff_t>(span.y) * state.target.pitchPixels;
    const auto textureWidth = static_cast<float>(state.texture.width);
    const auto textureHeight = static_cast<float>(state.texture.height);
    const auto start = [&](Attribute a) { return Floats{} + span.start[a]; };
    const auto step = [&](Attribute a) { return Floats{} + span.step[a]; };
    float laneNumbers[kLanes];
    for (int lane = 0; lane < kLanes; ++lane) laneNumbers[lane] = static_cast<float>(lane);
    Floats lanes;
    std::memcpy(&lanes, laneNumbers, sizeof lanes);
    const Words laneWords = __builtin_convertvector(lanes, Words);

    for (int x = span.xBegin; x < span.xEnd; x += kLanes) {
        const int count = std::min(kLanes, span.xEnd - x);
        // Every attribute at these pixels straight from the span's start, so
        // that no error piles up along a long span.
        const Floats k = static_cast<float>(x - span.xBegin) + lanes;
        Words fragment;
        if constexpr (kTexture == TextureKind::None) {
            fragment = (Scaled<kLanes>(start(kAlpha) + k * step(kAlpha), 255.0f) << 24) |
                       (Scaled<kLanes>(start(kRed) + k * step(kRed), 255.0f) << 16) |
                       (Scaled<kLanes>(start(kGreen) + k * step(kGreen), 255.0f) << 8) |
                       Scaled<kLanes>(start(kBlue) + k * step(kBlue), 255.0f);
        } else {
            // Perspective-correct: u/w and v/w run linearly on the screen, so divide by 1/w.
            const Floats w = 1.0f / (start(kInvW) + k * step(kInvW));
            const Floats u = (start(kUOverW) + k * step(kUOverW)) * w * textureWidth;
            const Floats v = (start(kVOverW) + k * step(kVOverW)) * w * textureHeight;
            fragment = SampleLanes<kLanes, kTexture>(state.texture, u, v, count);
            if constexpr (kModulate) {
                // White scales by 256, leaving the texel exactly as it is.
                const Words red = (((fragment >> 16) & 0xFF) * Scaled<kLanes>(start(kRed) + k * step(kRed), 256.0f)) >> 8;
                const Words green = (((fragment >> 8) & 0xFF) * Scaled<kLanes>(start(kGreen) + k * step(kGreen), 256.0f)) >> 8;
                const Words blue = ((fragment & 0xFF) * Scaled<kLanes>(start(kBlue) + k * step(kBlue), 256.0f)) >> 8;
                fragment = (fragment & 0xFF000000u) | (red << 16) | (green << 8) | blue;
            }
        }

        // A group moves as one vector load and store, also where it runs past
        // the span's end: the pixels beyond keep their value through the lane
        // mask. Only a group that would run past the target's right edge
        // moves its pixels one by one.
        if (x + kLanes <= state.target.width) {
            Words dest;
            std::memcpy(&dest, row + x, sizeof dest);
            Words blended = Blend<kLanes, kBlend>(state.blend, dest, fragment, count);
            if (count < kLanes) blended = laneWords < static_cast<std::uint32_t>(count) ? blended : dest;
            std::memcpy(row + x, &blended, sizeof blended);
        } else {
            std::uint32_t pixels[kLanes] = {};
            for (int lane = 0; lane < count; ++lane) pixels[lane] = row[x + lane];
            Words dest;
            std::memcpy(&dest, pixels, sizeof dest);
            const Words blended = Blend<kLanes, kBlend>(state.blend, dest, fragment, count);
            std::memcpy(pixels, &blended, sizeof pixels);
            for (int lane = 0; lane < count; ++lane) row[x + lane] = pixels[lane];
        }
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
