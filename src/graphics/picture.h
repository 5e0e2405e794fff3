// Pictures from the program's resources, decoded into bitmaps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "graphics/canvas.h"

namespace vx {

// A picture that cannot be decoded; the message says which and why.
class PictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decodes a picture by its file name's ending: .jpg/.jpeg (JPEG) or .bmp
// (uncompressed 8-, 24- or 32-bit). Throws PictureError.
Bitmap DecodePicture(std::span<const unsigned char> bytes, const std::string& fileName);
Bitmap DecodeJpeg(std::span<const unsigned char> bytes, const std::string& fileName);
Bitmap DecodeBmp(std::span<const unsigned char> bytes, const std::string& fileName);

// What a reader of bitmap files accepts beyond the uncompressed 8-, 24- and
// 32-bit kinds every one takes.
struct BmpRules {
    long long maxPixels;
    int maxSide;
    bool bitFields32;  // 32-bit pictures with channel masks (taken as X8R8G8B8)
};

// A bitmap file's checked layout: its size, depth, colour table and where
// its rows lie, so that a reader takes the pixels it needs straight from the
// bytes. Throws PictureError naming the file when the file is damaged.
struct BmpLayout {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;                // 8, 24 or 32
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB, 8-bit pictures
    std::size_t dataOffset = 0;
    std::size_t stride = 0;
    bool bottomUp = true;

    // Where row y (the top row is 0) begins in the file.
    std::size_t RowAt(int y) const { return dataOffset + stride * static_cast<std::size_t>(bottomUp ? height - 1 - y : y); }
    // The colour 0x00RRGGBB of pixel x of a 24- or 32-bit row.
    std::uint32_t ColourAt(std::span<const unsigned char> bytes, std::size_t row, int x) const {
        const std::size_t at = row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bitsPerPixel / 8);
        return (static_cast<std::uint32_t>(bytes[at + 2]) << 16) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) | bytes[at];
    }
};
BmpLayout ReadBmpLayout(std::span<const unsigned char> bytes, const std::string& fileName, const BmpRules& rules);

}  // namespace vx
