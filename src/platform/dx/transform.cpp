#include "platform/dx/transform.h"

#include <array>
#include <bit>

namespace vx::dx {

using namespace win;

D3DMATRIX Multiply(const D3DMATRIX& first, const D3DMATRIX& second) {
    using Elements = std::array<float, 16>;
    const auto a = std::bit_cast<Elements>(first);
    const auto b = std::bit_cast<Elements>(second);
    Elements c;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            c[row * 4 + column] = a[row * 4] * b[column] + a[row * 4 + 1] * b[4 + column] + a[row * 4 + 2] * b[8 + column] +
                                  a[row * 4 + 3] * b[12 + column];
        }
    }
    return std::bit_cast<D3DMATRIX>(c);
}

ClipPosition TransformPoint(const D3DMATRIX& m, float x, float y, float z) {
    return ClipPosition{x * m._11 + y * m._21 + z * m._31 + m._41, x * m._12 + y * m._22 + z * m._32 + m._42,
                        x * m._13 + y * m._23 + z * m._33 + m._43, x * m._14 + y * m._24 + z * m._34 + m._44};
}

std::optional<VertexLayout> LayoutOf(DWORD vertexFormat) {
    constexpr DWORD kKnown = D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEXCOUNT_MASK;
    // Other bits are reserved or give texture coordinate sets other sizes than two.
    if ((vertexFormat & ~kKnown) != 0 || (vertexFormat & D3DFVF_POSITION_MASK) != D3DFVF_XYZ) return std::nullopt;
    const DWORD textureSets = (vertexFormat & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (textureSets > 8) return std::nullopt;

    VertexLayout layout;
    int offset = 3 * sizeof(float);
    if ((vertexFormat & D3DFVF_NORMAL) != 0) offset += 3 * sizeof(float);
    if ((vertexFormat & D3DFVF_DIFFUSE) != 0) {
        layout.diffuse = offset;
        offset += sizeof(D3DCOLOR);
    }
    if ((vertexFormat & D3DFVF_SPECULAR) != 0) {
        layout.specular = offset;
        offset += sizeof(D3DCOLOR);
    }
    if (textureSets > 0) layout.texCoord = offset;
    offset += static_cast<int>(textureSets) * 2 * static_cast<int>(sizeof(float));
    layout.stride = offset;
    return layout;
}

}  // namespace vx::dx
