#include "video/dib_picture.h"

#include "framework/picture.h"

namespace vx {

namespace {
std::uint32_t ReadLe(std::span<const unsigned char> b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}
}  // namespace

std::uint32_t DibPicture::ColourAt(int x, int y) const {
    std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
    return Indexed() ? palette[indices[at]] : pixels[at];
}

DibPicture DecodeDibPicture(std::span<const unsigned char> b, const std::string& fileName) {
    auto fail = [&](const std::string& why) { return PictureError("picture \"" + fileName + "\" is damaged: " + why); };
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') throw fail("not a bitmap file");
    std::uint32_t dataOffset = ReadLe(b, 10, 4);
    std::uint32_t headerSize = ReadLe(b, 14, 4);
    if (headerSize < 40 || 14 + static_cast<std::size_t>(headerSize) > b.size()) throw fail("unknown header");
    auto width = static_cast<std::int32_t>(ReadLe(b, 18, 4));
    auto height = static_cast<std::int32_t>(ReadLe(b, 22, 4));
    std::uint32_t bits = ReadLe(b, 28, 2);
    std::uint32_t compression = ReadLe(b, 30, 4);
    std::uint32_t coloursUsed = ReadLe(b, 46, 4);
    bool bottomUp = height > 0;
    if (height < 0) height = -height;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) throw fail("bad size");
    if (compression != 0) throw fail("compressed bitmaps are not supported");
    if (bits != 8 && bits != 24 && bits != 32) throw fail("only 8, 24 and 32 bits per pixel are supported");

    DibPicture picture;
    picture.width = width;
    picture.height = height;
    picture.bitsPerPixel = bits == 8 ? 8 : 32;
    if (bits == 8) {
        std::uint32_t count = coloursUsed == 0 ? 256 : coloursUsed;
        std::size_t at = 14 + headerSize;
        if (count > 256 || at + static_cast<std::size_t>(count) * 4 > b.size()) throw fail("bad colour table");
        for (std::uint32_t i = 0; i < count; ++i) {
            std::size_t e = at + static_cast<std::size_t>(i) * 4;
            picture.palette[i] = (static_cast<std::uint32_t>(b[e + 2]) << 16) | (static_cast<std::uint32_t>(b[e + 1]) << 8) | b[e];
        }
    }
    std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    if (dataOffset > b.size() || stride * static_cast<std::size_t>(height) > b.size() - dataOffset) throw fail("pixels missing");
    std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (bits == 8) picture.indices.resize(count);
    else picture.pixels.resize(count);
    for (int y = 0; y < height; ++y) {
        std::size_t row = dataOffset + stride * static_cast<std::size_t>(bottomUp ? height - 1 - y : y);
        for (int x = 0; x < width; ++x) {
            std::size_t out = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
            if (bits == 8) {
                picture.indices[out] = b[row + static_cast<std::size_t>(x)];
            } else {
                std::size_t at = row + static_cast<std::size_t>(x) * (bits / 8);
                picture.pixels[out] = (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 1]) << 8) | b[at];
            }
        }
    }
    return picture;
}

}  // namespace vx
