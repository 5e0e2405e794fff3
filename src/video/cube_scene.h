// The spinning cube the video test draws: its vertices and the matrices
// that place it. The drawing itself runs in the main window's frame handler.
#pragma once

#include <array>

#include "platform/dx/d3d.h"

namespace vx {

// A vertex as the scene hands it to the device: position, normal and one
// texture coordinate pair, eight single floats.
struct CubeVertex {
    float x, y, z;
    float nx, ny, nz;
    float tu, tv;
};
static_assert(sizeof(CubeVertex) == 32);

constexpr win::DWORD kCubeVertexFormat = win::D3DFVF_XYZ | win::D3DFVF_NORMAL | win::D3DFVF_TEX1;
static_assert(kCubeVertexFormat == 274);

// Six faces, each a strip of four vertices (strip k is vertices 4k..4k+3).
using CubeVertexArray = std::array<CubeVertex, 24>;

win::D3DVECTOR MakeVector(float x, float y, float z);
CubeVertex MakeVertex(const win::D3DVECTOR& position, const win::D3DVECTOR& normal, float tu, float tv);
void BuildCube(CubeVertexArray& vertices);

// The projection: the near plane at z = 1, no far plane, a field of view of
// 2·atan(1/2) in both directions.
win::D3DMATRIX CubeProjection();
// The view: a tilt of −0.5 rad about x, then 5 units away along +z.
win::D3DMATRIX CubeView();
// The world: a turn about the vertical axis by t radians (one per second).
win::D3DMATRIX CubeWorld(double t);

}  // namespace vx
