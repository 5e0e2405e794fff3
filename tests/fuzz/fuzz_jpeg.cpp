// The JPEG reader: any bytes give a picture or a PictureError, nothing else.
#include <cstddef>
#include <cstdint>
#include <span>

#include "graphics/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        (void)vx::DecodePicture(std::span<const unsigned char>(data, size), "fuzz.jpg");
    } catch (const vx::PictureError&) {
    }
    return 0;
}
