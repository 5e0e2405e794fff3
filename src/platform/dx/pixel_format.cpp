#include "platform/dx/pixel_format.h"

#include <array>
#include <bit>
#include <cstring>

namespace vx::dx {

using namespace win;

namespace {

constexpr DDPIXELFORMAT RgbFormat(DWORD bits, DWORD r, DWORD g, DWORD b, DWORD a) {
    return DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB | (a != 0 ? DDPF_ALPHAPIXELS : 0u), 0, bits, r, g, b, a};
}

constexpr std::array<FormatInfo, 7> kFormats = {{
    {SurfaceFormat::Palette8, 1, DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB | DDPF_PALETTEINDEXED8, 0, 8, 0, 0, 0, 0}},
    {SurfaceFormat::Rgb565, 2, RgbFormat(16, 0xF800, 0x07E0, 0x001F, 0)},
    {SurfaceFormat::Xrgb1555, 2, RgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0)},
    {SurfaceFormat::Argb1555, 2, RgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000)},
    {SurfaceFormat::Argb4444, 2, RgbFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000)},
    {SurfaceFormat::Xrgb8888, 4, RgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0)},
    {SurfaceFormat::Argb8888, 4, RgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u)},
}};

// One channel of a packed pixel, widened to 8 bits so that its largest
// value becomes 255.
struct Channel {
    DWORD mask;
    int shift;
    DWORD maximum;

    explicit Channel(DWORD channelMask)
        : mask(channelMask), shift(channelMask != 0 ? std::countr_zero(channelMask) : 0), maximum(channelMask >> shift) {}

    DWORD Expand(DWORD pixel, DWORD absent) const {
        if (maximum == 0) return absent;
        return (((pixel & mask) >> shift) * 255u + maximum / 2) / maximum;
    }
};

}  // namespace

std::span<const FormatInfo> SupportedFormats() { return kFormats; }

const FormatInfo& InfoOf(SurfaceFormat format) {
    for (const FormatInfo& info : kFormats) {
        if (info.format == format) return info;
    }
    return kFormats[5];
}

std::optional<SurfaceFormat> MatchPixelFormat(const DDPIXELFORMAT& pixelFormat) {
    if ((pixelFormat.dwFlags & DDPF_PALETTEINDEXED8) != 0) {
        if (pixelFormat.dwRGBBitCount == 8 || pixelFormat.dwRGBBitCount == 0) return SurfaceFormat::Palette8;
        return std::nullopt;
    }
    if ((pixelFormat.dwFlags & DDPF_RGB) == 0 ||
        (pixelFormat.dwFlags & (DDPF_FOURCC | DDPF_LUMINANCE | DDPF_ZBUFFER | DDPF_BUMPDUDV)) != 0) {
        return std::nullopt;
    }
    const bool alpha = (pixelFormat.dwFlags & DDPF_ALPHAPIXELS) != 0;
    for (const FormatInfo& info : kFormats) {
        const DDPIXELFORMAT& known = info.pixelFormat;
        if (info.format == SurfaceFormat::Palette8) continue;
        if (alpha != ((known.dwFlags & DDPF_ALPHAPIXELS) != 0)) continue;
        if (known.dwRGBBitCount == pixelFormat.dwRGBBitCount && known.dwRBitMask == pixelFormat.dwRBitMask &&
            known.dwGBitMask == pixelFormat.dwGBitMask && known.dwBBitMask == pixelFormat.dwBBitMask &&
            (!alpha || known.dwRGBAlphaBitMask == pixelFormat.dwRGBAlphaBitMask)) {
            return info.format;
        }
    }
    return std::nullopt;
}

void ConvertRowToArgb(SurfaceFormat format, const std::byte* row, int width, const PALETTEENTRY* palette, int paletteSize,
                      std::uint32_t* out) {
    const FormatInfo& info = InfoOf(format);
    if (format == SurfaceFormat::Palette8) {
        for (int x = 0; x < width; ++x) {
            const int index = std::to_integer<int>(row[x]);
            if (palette == nullptr || index >= paletteSize) {
                out[x] = 0xFF000000u;
                continue;
            }
            const PALETTEENTRY& e = palette[index];
            out[x] = 0xFF000000u | (DWORD{e.peRed} << 16) | (DWORD{e.peGreen} << 8) | e.peBlue;
        }
        return;
    }
    if (format == SurfaceFormat::Xrgb8888 || format == SurfaceFormat::Argb8888) {
        std::memcpy(out, row, static_cast<std::size_t>(width) * 4);
        if (format == SurfaceFormat::Xrgb8888) {
            for (int x = 0; x < width; ++x) out[x] |= 0xFF000000u;
        }
        return;
    }
    const Channel r(info.pixelFormat.dwRBitMask);
    const Channel g(info.pixelFormat.dwGBitMask);
    const Channel b(info.pixelFormat.dwBBitMask);
    const Channel a(info.pixelFormat.dwRGBAlphaBitMask);
    for (int x = 0; x < width; ++x) {
        std::uint16_t packed;
        std::memcpy(&packed, row + static_cast<std::ptrdiff_t>(x) * 2, 2);
        out[x] = (a.Expand(packed, 255) << 24) | (r.Expand(packed, 0) << 16) | (g.Expand(packed, 0) << 8) | b.Expand(packed, 0);
    }
}

}  // namespace vx::dx
