// A device-independent picture as the scene's texture needs it: an 8-bit
// picture keeps its colour table and indices, deeper ones their pixels.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vx {

struct DibPicture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;                      // 8 or 32
    std::array<std::uint32_t, 256> palette{};  // 0x00RRGGBB, 8-bit pictures
    std::vector<std::uint8_t> indices;         // 8-bit pictures, top row first
    std::vector<std::uint32_t> pixels;         // 32-bit pictures, 0x00RRGGBB, top row first

    bool Indexed() const { return bitsPerPixel == 8; }
    // The colour of a pixel, whatever the depth.
    std::uint32_t ColourAt(int x, int y) const;
};

// Reads an uncompressed 8-, 24- or 32-bit bitmap file; throws PictureError
// (graphics/picture.h) naming the file when it cannot.
DibPicture DecodeDibPicture(std::span<const unsigned char> bytes, const std::string& fileName);

}  // namespace vx
