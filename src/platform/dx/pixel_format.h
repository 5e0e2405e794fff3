// The pixel formats the stand-in's surfaces can have, and their conversion to
// the 0xAARRGGBB texels the devices sample.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/dx/ddraw.h"

namespace vx::dx {

enum class SurfaceFormat { Palette8, Rgb565, Xrgb1555, Argb1555, Argb4444, Xrgb8888, Argb8888 };

struct FormatInfo {
    SurfaceFormat format;
    int bytesPerPixel;
    win::DDPIXELFORMAT pixelFormat;
};

// Every format a surface can be made in, in the order texture formats are
// enumerated.
std::span<const FormatInfo> SupportedFormats();
const FormatInfo& InfoOf(SurfaceFormat format);
// The supported format a description names; nullopt for any other (FourCC,
// luminance, z-buffer, other masks).
std::optional<SurfaceFormat> MatchPixelFormat(const win::DDPIXELFORMAT& pixelFormat);

// Converts width pixels of row into 0xAARRGGBB. palette has paletteSize
// entries (it may be null for RGB formats); an index beyond it gives opaque black.
void ConvertRowToArgb(SurfaceFormat format, const std::byte* row, int width, const win::PALETTEENTRY* palette, int paletteSize,
                      std::uint32_t* out);

}  // namespace vx::dx
