// Raster stage: which pixels a triangle covers.
//
// Conventions (fixed; tests pin them):
//  - Pixel (i, j) is sampled at the screen point (i, j) itself, not at its
//    centre, as the platform's Direct3D 7 does.
//  - Corners arrive in fixed point with kSubPixelBits fraction bits.
//  - Top-left fill rule: a sample point exactly on an edge belongs to the
//    triangle only if the edge is a left edge or a horizontal top edge, so
//    triangles that share an edge cover each of its points exactly once.
//  - Attributes are interpolated linearly in screen space; perspective-
//    correct ones arrive divided by w (with 1/w as an attribute of its own).
#pragma once

#include <array>
#include <cstdint>

namespace vx::dx::soft {

constexpr int kSubPixelBits = 4;
constexpr int kSubPixelScale = 1 << kSubPixelBits;

enum Attribute { kInvW, kUOverW, kVOverW, kRed, kGreen, kBlue, kAlpha, kAttributeCount };

struct ScreenVertex {
    std::int32_t x;  // fixed point, kSubPixelBits fraction bits
    std::int32_t y;
    std::array<float, kAttributeCount> attributes;
};

// Pixels left <= x < right, top <= y < bottom.
struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;
};

// One row of covered pixels, xBegin <= x < xEnd, with the attributes at
// pixel xBegin and their change per pixel to the right.
struct Span {
    int y;
    int xBegin;
    int xEnd;
    std::array<float, kAttributeCount> start;
    std::array<float, kAttributeCount> step;
};

// A bit (1 << attribute) for each attribute a sink reads.
using AttributeSet = unsigned;
constexpr AttributeSet kAllAttributes = (1u << kAttributeCount) - 1;

class SpanSink {
public:
    virtual ~SpanSink() = default;
    // The attributes whose start the sink reads; the others' start values
    // in the spans it is given stay zero.
    virtual AttributeSet Attributes() const { return kAllAttributes; }
    virtual void DrawSpan(const Span& span) = 0;
};

// Corners may have any order and winding; their coordinates must lie within
// +-2^22 pixels. Nothing outside scissor is handed to the sink.
void RasterizeTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, const PixelRect& scissor,
                       SpanSink& sink);

}  // namespace vx::dx::soft
