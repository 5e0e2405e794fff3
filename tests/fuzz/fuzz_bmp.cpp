// The bitmap reader, as the window's pictures and the cube's texture use it:
// any bytes give a picture or a PictureError, nothing else.
#include <cstddef>
#include <cstdint>
#include <span>

#include "graphics/picture.h"
#include "video/dib_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const unsigned char> bytes(data, size);
    try {
        (void)vx::DecodePicture(bytes, "fuzz.bmp");
    } catch (const vx::PictureError&) {
    }
    try {
        (void)vx::DecodeDibPicture(bytes, "fuzz.bmp");
    } catch (const vx::PictureError&) {
    }
    return 0;
}
