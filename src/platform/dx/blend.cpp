#include "platform/dx/blend.h"

#include <algorithm>

namespace vx::dx {

using namespace win;

namespace {

constexpr std::uint32_t kDestAlpha = 255;  // an XRGB target is opaque

std::uint32_t Factor(DWORD factor, std::uint32_t sourceChannel, std::uint32_t sourceAlpha, std::uint32_t destChannel,
                     std::uint32_t fallback) {
    switch (factor) {
        case D3DBLEND_ZERO:
            return 0;
        case D3DBLEND_ONE:
            return 255;
        case D3DBLEND_SRCCOLOR:
            return sourceChannel;
        case D3DBLEND_INVSRCCOLOR:
            return 255 - sourceChannel;
        case D3DBLEND_SRCALPHA:
            return sourceAlpha;
        case D3DBLEND_INVSRCALPHA:
            return 255 - sourceAlpha;
        case D3DBLEND_DESTALPHA:
            return kDestAlpha;
        case D3DBLEND_INVDESTALPHA:
            return 255 - kDestAlpha;
        case D3DBLEND_DESTCOLOR:
            return destChannel;
        case D3DBLEND_INVDESTCOLOR:
            return 255 - destChannel;
        case D3DBLEND_SRCALPHASAT:
            return std::min(sourceAlpha, 255 - kDestAlpha);
        default:
            return fallback;
    }
}

}  // namespace

BlendKind KindOf(const BlendState& state) {
    if (!state.enabled) return BlendKind::Replace;
    if (state.source == D3DBLEND_ONE && state.dest == D3DBLEND_ZERO) return BlendKind::Replace;
    if (state.source == D3DBLEND_ONE && state.dest == D3DBLEND_ONE) return BlendKind::Add;
    return BlendKind::General;
}

void ResolveBothFactors(DWORD& sourceFactor, DWORD& destFactor) {
    if (sourceFactor == D3DBLEND_BOTHSRCALPHA) {
        sourceFactor = D3DBLEND_SRCALPHA;
        destFactor = D3DBLEND_INVSRCALPHA;
    } else if (sourceFactor == D3DBLEND_BOTHINVSRCALPHA) {
        sourceFactor = D3DBLEND_INVSRCALPHA;
        destFactor = D3DBLEND_SRCALPHA;
    }
}

std::uint32_t BlendGeneral(std::uint32_t dest, std::uint32_t source, DWORD sourceFactor, DWORD destFactor) {
    const std::uint32_t sourceAlpha = source >> 24;
    ResolveBothFactors(sourceFactor, destFactor);
    std::uint32_t result = dest & 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t s = (source >> shift) & 0xFF;
        const std::uint32_t d = (dest >> shift) & 0xFF;
        const std::uint32_t sf = Factor(sourceFactor, s, sourceAlpha, d, 255);
        const std::uint32_t df = Factor(destFactor, s, sourceAlpha, d, 0);
        result |= std::min<std::uint32_t>(255, (s * sf + d * df + 127) / 255) << shift;
    }
    return result;
}

}  // namespace vx::dx
