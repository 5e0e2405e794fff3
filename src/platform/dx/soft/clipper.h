// Clip stage: cuts triangles in homogeneous clip space, one
// Sutherland-Hodgman pass per plane, before the perspective divide.
//
// The planes are the platform's near and far planes (0 <= z <= w), a
// minimum w that keeps the divide finite, and a guard band of kGuardBand
// times the viewport on each side instead of the viewport's own edges: the
// rasteriser scissors to the viewport exactly, and the band only bounds the
// screen coordinates so that they fit its fixed-point arithmetic.
#pragma once

#include <array>
#include <cstdint>

namespace vx::dx::soft {

struct ClipVertex {
    float x, y, z, w;
    float u, v;
    float r, g, b, a;
};

using ClipCodes = std::uint32_t;  // one bit per plane the vertex lies outside

constexpr float kGuardBand = 4.0f;
constexpr float kMinW = 1e-5f;
// Set for a vertex with a coordinate that is not a finite number of sane size;
// a triangle with such a corner is not drawn.
constexpr ClipCodes kUnusable = 1u << 7;

// Each pass adds at most one corner to a convex polygon.
constexpr int kMaxClipVertices = 16;
using ClipPolygon = std::array<ClipVertex, kMaxClipVertices>;

ClipCodes ClipCodesOf(const ClipVertex& vertex);

// Clips the first count corners of polygon against every plane in planes
// and returns how many are left (fewer than 3: nothing to draw). A point
// where an edge crosses a plane is always computed from the inside corner
// towards the outside one, so that two triangles sharing an edge get the
// same point.
int ClipToPlanes(ClipCodes planes, ClipPolygon& polygon, int count, ClipPolygon& scratch);

}  // namespace vx::dx::soft
