#include "platform/dx/soft/sampler.h"

#include <bit>

namespace vx::dx::soft {

TextureView MakeTextureView(const TexelImage& image) {
    if (image.texels == nullptr || image.width <= 0 || image.height <= 0) return TextureView{};
    const auto width = static_cast<unsigned>(image.width);
    const auto height = static_cast<unsigned>(image.height);
    const bool powerOfTwo = std::has_single_bit(width) && std::has_single_bit(height);
    return TextureView{image.texels, image.width, image.height, powerOfTwo, powerOfTwo ? std::countr_zero(width) : 0};
}

}  // namespace vx::dx::soft
