// Blend stage: how a fragment's colour meets the render target's.
//
// Fragments are 0xAARRGGBB; the target is XRGB, so its alpha reads as 1 and
// the top byte of a target pixel is left as it was.
#pragma once

#include <cstdint>

#include "platform/dx/d3d.h"

namespace vx::dx {

struct BlendState {
    bool enabled = false;
    win::DWORD source = win::D3DBLEND_ONE;
    win::DWORD dest = win::D3DBLEND_ZERO;
};

// The "both" source factors set the target's factor too: the pair they stand for.
void ResolveBothFactors(win::DWORD& sourceFactor, win::DWORD& destFactor);

// Replace: blending off, or ONE/ZERO. Add: ONE/ONE. General: any other pair.
enum class BlendKind { Replace, Add, General };

BlendKind KindOf(const BlendState& state);

inline std::uint32_t BlendReplace(std::uint32_t dest, std::uint32_t source) {
    return (dest & 0xFF000000u) | (source & 0x00FFFFFFu);
}

// Per-channel dest + source, saturating at 255: the bytes are added in
// seven bits, then each byte's carry out is rebuilt and spread into a mask.
inline std::uint32_t BlendAdd(std::uint32_t dest, std::uint32_t source) {
    source &= 0x00FFFFFFu;
    const std::uint32_t low = (dest & 0x7F7F7F7Fu) + (source & 0x7F7F7F7Fu);
    const std::uint32_t sum = low ^ ((dest ^ source) & 0x80808080u);
    const std::uint32_t carries = ((dest & source) | ((dest | source) & ~sum)) & 0x80808080u;
    return sum | ((carries << 1) - (carries >> 7));
}

// Any factor pair of the platform; unknown factors count as the defaults
// (ONE for the source, ZERO for the target).
std::uint32_t BlendGeneral(std::uint32_t dest, std::uint32_t source, win::DWORD sourceFactor, win::DWORD destFactor);

}  // namespace vx::dx
