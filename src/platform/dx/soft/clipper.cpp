#include "platform/dx/soft/clipper.h"

#include <cmath>
#include <utility>

namespace vx::dx::soft {

namespace {

constexpr int kPlaneCount = 7;
constexpr float kSaneMagnitude = 1e30f;

float Distance(int plane, const ClipVertex& v) {
    switch (plane) {
        case 0:
            return v.z;  // first: the plane that usually cuts, so its points are exact
        case 1:
            return v.w - kMinW;
        case 2:
            return v.w - v.z;
        case 3:
            return kGuardBand * v.w + v.x;
        case 4:
            return kGuardBand * v.w - v.x;
        case 5:
            return kGuardBand * v.w + v.y;
        default:
            return kGuardBand * v.w - v.y;
    }
}

ClipVertex Crossing(const ClipVertex& inside, float insideDistance, const ClipVertex& outside, float outsideDistance) {
    const float t = insideDistance / (insideDistance - outsideDistance);
    const auto lerp = [t](float from, float to) { return from + t * (to - from); };
    return ClipVertex{lerp(inside.x, outside.x), lerp(inside.y, outside.y), lerp(inside.z, outside.z), lerp(inside.w, outside.w),
                      lerp(inside.u, outside.u), lerp(inside.v, outside.v), lerp(inside.r, outside.r), lerp(inside.g, outside.g),
                      lerp(inside.b, outside.b), lerp(inside.a, outside.a)};
}

bool Sane(float value) { return std::fabs(value) <= kSaneMagnitude; }  // false for NaN and infinities

}  // namespace

ClipCodes ClipCodesOf(const ClipVertex& vertex) {
    if (!Sane(vertex.x) || !Sane(vertex.y) || !Sane(vertex.z) || !Sane(vertex.w)) return kUnusable;
    ClipCodes codes = 0;
    for (int plane = 0; plane < kPlaneCount; ++plane) {
        if (Distance(plane, vertex) < 0.0f) codes |= 1u << plane;
    }
    return codes;
}

int ClipToPlanes(ClipCodes planes, ClipPolygon& polygon, int count, ClipPolygon& scratch) {
    ClipPolygon* in = &polygon;
    ClipPolygon* out = &scratch;
    for (int plane = 0; plane < kPlaneCount && count >= 3; ++plane) {
        if ((planes & (1u << plane)) == 0) continue;
        int kept = 0;
        const ClipVertex* previous = &(*in)[count - 1];
        float previousDistance = Distance(plane, *previous);
        for (int i = 0; i < count; ++i) {
            const ClipVertex& current = (*in)[i];
            const float currentDistance = Distance(plane, current);
            const bool currentInside = currentDistance >= 0.0f;
            const bool previousInside = previousDistance >= 0.0f;
            if (currentInside != previousInside) {
                (*out)[kept++] = currentInside ? Crossing(current, currentDistance, *previous, previousDistance)
                                               : Crossing(*previous, previousDistance, current, currentDistance);
            }
            if (currentInside) (*out)[kept++] = current;
            previous = &current;
            previousDistance = currentDistance;
        }
        count = kept;
        std::swap(in, out);
    }
    if (in != &polygon) {
        for (int i = 0; i < count; ++i) polygon[i] = (*in)[i];
    }
    return count;
}

}  // namespace vx::dx::soft
