// Pictures from the program's resources, decoded into bitmaps.
#pragma once

#include <span>
#include <stdexcept>
#include <string>

#include "framework/canvas.h"

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

}  // namespace vx
