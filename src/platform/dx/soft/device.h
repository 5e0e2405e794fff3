// The software rasteriser device: the fixed-function subset of Direct3D 7
// that the video test draws with, computed on the processor.
//
// Pipeline, one file per stage: transform (world x view x projection, row
// vectors) and lighting (no light sources: ambient and emissive) per
// vertex; triangle assembly (lists, strips, fans) and culling; clipping in
// homogeneous space; the perspective divide and viewport mapping to
// fixed-point screen corners; the rasteriser (top-left rule, pixel (i, j)
// sampled at the point (i, j)); per pixel the point-sampled, wrapped,
// perspective-correct texture, the default stage-0 modulation and the blend.
//
// Not done: depth buffers (Clear ignores D3DCLEAR_ZBUFFER and
// D3DCLEAR_STENCIL), light sources, fog, alpha test, specular, wireframe and
// point fill, lines and points, texture stages other than 0, and filtering
// other than point sampling.
//
// Nothing is allocated per frame: vertex buffers grow to the largest draw
// and stay; clipping works in fixed arrays.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "platform/dx/device_factory.h"
#include "platform/dx/device_state.h"
#include "platform/dx/soft/clipper.h"
#include "platform/dx/soft/rasterizer.h"
#include "platform/dx/soft/span_renderer.h"

namespace vx::dx {

class SoftDevice final : public FixedFunctionDevice {
public:
    // target is width x height pixels of 32-bit XRGB; the viewport starts as all of it.
    SoftDevice(std::weak_ptr<DeviceSurface> target, int width, int height);

    win::HRESULT Clear(win::DWORD count, const win::D3DRECT* rects, win::DWORD flags, win::D3DCOLOR color, float z,
                       win::DWORD stencil) override;
    win::HRESULT DrawPrimitive(win::DWORD primitiveType, win::DWORD vertexFormat, const void* vertices, win::DWORD count,
                               win::DWORD flags) override;

private:
    struct ProcessedVertex {
        soft::ClipVertex clip;
        soft::ClipCodes codes;
        soft::ScreenVertex screen;  // valid when codes is 0
    };

    void TransformAndLight(const unsigned char* vertices, win::DWORD count, const dx::VertexLayout& layout);
    bool ToScreen(const soft::ClipVertex& vertex, soft::ScreenVertex* screen) const;
    void DrawTriangle(const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c);
    void RasterizeFacing(const soft::ScreenVertex& a, const soft::ScreenVertex& b, const soft::ScreenVertex& c);

    std::weak_ptr<DeviceSurface> m_target;

    // Per draw.
    std::vector<ProcessedVertex> m_vertices;
    bool m_allWhite = true;
    bool m_flatShading = false;
    win::DWORD m_cullMode = win::D3DCULL_CCW;
    soft::PixelRect m_scissor{};
    soft::ClipPolygon m_polygon{};
    soft::ClipPolygon m_clipScratch{};
    std::array<soft::ScreenVertex, soft::kMaxClipVertices> m_screenPolygon{};
    soft::SpanRenderer m_spans;
};

}  // namespace vx::dx
