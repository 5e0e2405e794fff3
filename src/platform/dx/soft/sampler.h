// Sampling stage: point sampling with wrap addressing.
//
// A texel covers [i, i + 1) in texel units, so the sample at (u, v) is the
// texel floor(u * width), floor(v * height), wrapped into the texture.
#pragma once

#include <cstdint>

#include "platform/dx/device_factory.h"

namespace vx::dx::soft {

struct TextureView {
    const std::uint32_t* texels = nullptr;  // 0xAARRGGBB, rows width apart; null: no texture
    int width = 0;
    int height = 0;
    bool powerOfTwo = false;
    int widthShift = 0;  // log2(width) when powerOfTwo
};

TextureView MakeTextureView(const TexelImage& image);

// floor(value) for any float: huge values and NaN are first brought into a
// range that wraps the same for every texture size up to 2^30.
inline int FloorToInt(float value) {
    constexpr float kLimit = 1073741824.0f;
    value = value > -kLimit ? value : -kLimit;
    value = value < kLimit ? value : kLimit;
    const int truncated = static_cast<int>(value);
    return truncated - (value < static_cast<float>(truncated) ? 1 : 0);
}

inline int WrapIndex(int index, int size) {
    const int remainder = index % size;
    return remainder < 0 ? remainder + size : remainder;
}

// u and v in texels (already multiplied by the texture's size).
template <bool kPowerOfTwo>
inline std::uint32_t SamplePointWrap(const TextureView& texture, float u, float v) {
    int x = FloorToInt(u);
    int y = FloorToInt(v);
    if constexpr (kPowerOfTwo) {
        x &= texture.width - 1;
        y &= texture.height - 1;
    } else {
        x = WrapIndex(x, texture.width);
        y = WrapIndex(y, texture.height);
    }
    return texture.texels[y * texture.width + x];
}

}  // namespace vx::dx::soft
