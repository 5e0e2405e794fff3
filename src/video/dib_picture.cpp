#include "video/dib_picture.h"

#include <algorithm>

#include "graphics/picture.h"

namespace vx {

std::uint32_t DibPicture::ColourAt(int x, int y) const {
    std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
    return Indexed() ? palette[indices[at]] : pixels[at];
}

DibPicture DecodeDibPicture(std::span<const unsigned char> b, const std::string& fileName) {
    const BmpLayout layout = ReadBmpLayout(b, fileName, BmpRules{16384LL * 16384LL, 16384, false});
    DibPicture picture;
    picture.width = layout.width;
    picture.height = layout.height;
    picture.bitsPerPixel = layout.bitsPerPixel == 8 ? 8 : 32;
    std::copy(layout.palette.begin(), layout.palette.end(), picture.palette.begin());
    const std::size_t count = static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.height);
    if (picture.Indexed()) {
        picture.indices.resize(count);
    } else {
        picture.pixels.resize(count);
    }
    for (int y = 0; y < layout.height; ++y) {
        const std::size_t row = layout.RowAt(y);
        for (int x = 0; x < layout.width; ++x) {
            const std::size_t out =
                static_cast<std::size_t>(y) * static_cast<std::size_t>(layout.width) + static_cast<std::size_t>(x);
            if (picture.Indexed()) {
                picture.indices[out] = b[row + static_cast<std::size_t>(x)];
            } else {
                picture.pixels[out] = layout.ColourAt(b, row, x);
            }
        }
    }
    return picture;
}

}  // namespace vx
