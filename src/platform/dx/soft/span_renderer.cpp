#include "platform/dx/soft/span_renderer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace vx::dx::soft {

namespace {

// Four pixels at a time, in the compiler's portable vector types (SSE2 on
// x86-64). Lane arithmetic is the scalar arithmetic, division included, so
// a pixel's value does not depend on where it falls in a group of four.
using Floats = float __attribute__((vector_size(16)));
using Ints = std::int32_t __attribute__((vector_size(16)));
using Words = std::uint32_t __attribute__((vector_size(16)));
using Bytes = std::uint8_t __attribute__((vector_size(16)));

constexpr int kLanes = 4;

enum class TextureKind { None, PowerOfTwo, AnySize };

// Clamps into [low, high]; NaN becomes low.
inline Floats Clamp(Floats value, float low, float high) {
    const Floats lowest = Floats{} + low;
    const Floats highest = Floats{} + high;
    value = value > lowest ? value : lowest;
    return value < highest ? value : highest;
}

// floor() of each lane; huge values and NaN first go into a range that wraps
// alike for every texture size up to 2^30 (as FloorToInt in sampler.h).
inline Ints FloorLanes(Floats value) {
    value = Clamp(value, -1073741824.0f, 1073741824.0f);
    const Ints truncated = __builtin_convertvector(value, Ints);
    return truncated + (value < __builtin_convertvector(truncated, Floats));  // a true lane is -1
}

template <TextureKind kTexture>
inline Words SampleLanes(const TextureView& texture, Floats u, Floats v) {
    Ints x = FloorLanes(u);
    Ints y = FloorLanes(v);
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
    return Words{texture.texels[index[0]], texture.texels[index[1]], texture.texels[index[2]], texture.texels[index[3]]};
}

// [0, 1] to [0, scale] with rounding; NaN to 0.
inline Words Scaled(Floats value, float scale) { return __builtin_convertvector(Clamp(value, 0.0f, 1.0f) * scale + 0.5f, Words); }

inline Words AddSaturate(Words dest, Words fragment) {
    const Bytes d = reinterpret_cast<Bytes>(dest);
    const Bytes f = reinterpret_cast<Bytes>(fragment & 0x00FFFFFFu);
    const Bytes room = ~d;
    return reinterpret_cast<Words>(d + (f < room ? f : room));
}

template <TextureKind kTexture, bool kModulate, BlendKind kBlend>
void DrawSpanWith(const PixelState& state, const Span& span) {
    std::uint32_t* row = state.target.pixels + static_cast<std::ptrdiff_t>(span.y) * state.target.pitchPixels;
    const auto textureWidth = static_cast<float>(state.texture.width);
    const auto textureHeight = static_cast<float>(state.texture.height);
    const auto start = [&](Attribute a) { return Floats{} + span.start[a]; };
    const auto step = [&](Attribute a) { return Floats{} + span.step[a]; };
    const Floats lanes = {0.0f, 1.0f, 2.0f, 3.0f};

    for (int x = span.xBegin; x < span.xEnd; x += kLanes) {
        const int count = std::min(kLanes, span.xEnd - x);
        // Every attribute at these pixels straight from the span's start, so
        // that no error piles up along a long span.
        const Floats k = static_cast<float>(x - span.xBegin) + lanes;
        Words fragment;
        if constexpr (kTexture == TextureKind::None) {
            fragment = (Scaled(start(kAlpha) + k * step(kAlpha), 255.0f) << 24) |
                       (Scaled(start(kRed) + k * step(kRed), 255.0f) << 16) |
                       (Scaled(start(kGreen) + k * step(kGreen), 255.0f) << 8) | Scaled(start(kBlue) + k * step(kBlue), 255.0f);
        } else {
            // Perspective-correct: u/w and v/w run linearly on the screen, so divide by 1/w.
            const Floats w = 1.0f / (start(kInvW) + k * step(kInvW));
            const Floats u = (start(kUOverW) + k * step(kUOverW)) * w * textureWidth;
            const Floats v = (start(kVOverW) + k * step(kVOverW)) * w * textureHeight;
            fragment = SampleLanes<kTexture>(state.texture, u, v);
            if constexpr (kModulate) {
                // White scales by 256, leaving the texel exactly as it is.
                const Words red = (((fragment >> 16) & 0xFF) * Scaled(start(kRed) + k * step(kRed), 256.0f)) >> 8;
                const Words green = (((fragment >> 8) & 0xFF) * Scaled(start(kGreen) + k * step(kGreen), 256.0f)) >> 8;
                const Words blue = ((fragment & 0xFF) * Scaled(start(kBlue) + k * step(kBlue), 256.0f)) >> 8;
                fragment = (fragment & 0xFF000000u) | (red << 16) | (green << 8) | blue;
            }
        }

        // Whole groups move as one 16-byte load and store; only a span's tail goes lane by lane.
        Words dest{};
        if (count == kLanes) {
            std::memcpy(&dest, row + x, sizeof dest);
        } else {
            for (int lane = 0; lane < count; ++lane) dest[lane] = row[x + lane];
        }
        if constexpr (kBlend == BlendKind::Replace) {
            dest = (dest & 0xFF000000u) | (fragment & 0x00FFFFFFu);
        } else if constexpr (kBlend == BlendKind::Add) {
            dest = AddSaturate(dest, fragment);
        } else {
            for (int lane = 0; lane < count; ++lane) {
                dest[lane] = BlendGeneral(dest[lane], fragment[lane], state.blend.source, state.blend.dest);
            }
        }
        if (count == kLanes) {
            std::memcpy(row + x, &dest, sizeof dest);
        } else {
            for (int lane = 0; lane < count; ++lane) row[x + lane] = dest[lane];
        }
    }
}

template <TextureKind kTexture, bool kModulate>
SpanRenderer::DrawFunction ChooseBlend(BlendKind blend) {
    switch (blend) {
        case BlendKind::Replace:
            return &DrawSpanWith<kTexture, kModulate, BlendKind::Replace>;
        case BlendKind::Add:
            return &DrawSpanWith<kTexture, kModulate, BlendKind::Add>;
        default:
            return &DrawSpanWith<kTexture, kModulate, BlendKind::General>;
    }
}

}  // namespace

SpanRenderer::SpanRenderer() : m_draw(&DrawSpanWith<TextureKind::None, true, BlendKind::Replace>) {}

void SpanRenderer::Configure(const PixelState& state) {
    m_state = state;
    const BlendKind blend = KindOf(state.blend);
    if (state.texture.texels == nullptr) {
        m_draw = ChooseBlend<TextureKind::None, true>(blend);
    } else if (state.texture.powerOfTwo) {
        m_draw = state.modulate ? ChooseBlend<TextureKind::PowerOfTwo, true>(blend)
                                : ChooseBlend<TextureKind::PowerOfTwo, false>(blend);
    } else {
        m_draw =
            state.modulate ? ChooseBlend<TextureKind::AnySize, true>(blend) : ChooseBlend<TextureKind::AnySize, false>(blend);
    }
}

}  // namespace vx::dx::soft
