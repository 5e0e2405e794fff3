// Vertex stage, part one: where a vertex's parts lie, and the move from
// model space to clip space. Points are row vectors multiplied from the
// left (p' = p x M), as the platform's matrices are laid out.
#pragma once

#include <optional>

#include "platform/dx/d3d.h"

namespace vx::dx {

struct ClipPosition {
    float x;
    float y;
    float z;
    float w;
};

constexpr win::D3DMATRIX kIdentity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// first x second: transforms by first, then by second.
win::D3DMATRIX Multiply(const win::D3DMATRIX& first, const win::D3DMATRIX& second);

// (x, y, z, 1) x m.
ClipPosition TransformPoint(const win::D3DMATRIX& m, float x, float y, float z);

// Byte offsets of a vertex's parts; -1 for a part it lacks.
struct VertexLayout {
    int stride = 0;
    int diffuse = -1;
    int specular = -1;
    int texCoord = -1;  // the first set, two floats
};

// The layout of a flexible vertex format with an untransformed position
// (D3DFVF_XYZ), an optional normal, diffuse and specular colour and up to
// eight two-dimensional texture coordinate sets; nullopt for anything else.
std::optional<VertexLayout> LayoutOf(win::DWORD vertexFormat);

}  // namespace vx::dx
