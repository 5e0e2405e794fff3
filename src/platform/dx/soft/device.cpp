#include "platform/dx/soft/device.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/dx/pixel_format.h"

namespace vx::dx {

using namespace win;
using namespace soft;

namespace {

// Fixed-point screen coordinates stay far inside the rasteriser's range:
// the guard band and the surface size limit keep real ones below 2^17 pixels.
constexpr double kScreenLimit = static_cast<double>(1 << 22) * kSubPixelScale;

// The library's memset is the fastest fill there is, and the usual clear
// colour (black) is made of equal bytes.
void FillPixels(std::uint32_t* pixels, std::int64_t count, std::uint32_t value) {
    if (count <= 0) return;
    if ((value & 0xFF) * 0x01010101u == value) {
        std::memset(pixels, static_cast<int>(value & 0xFF), static_cast<std::size_t>(count) * sizeof value);
        return;
    }
    using Words = std::uint32_t __attribute__((vector_size(16)));
    const Words four = Words{} + value;
    std::int64_t i = 0;
    for (; i + 4 <= count; i += 4) std::memcpy(pixels + i, &four, sizeof four);
    for (; i < count; ++i) pixels[i] = value;
}

template <typename T>
T Read(const unsigned char* at) {
    T value;
    std::memcpy(&value, at, sizeof(T));
    return value;
}

}  // namespace

SoftDevice::SoftDevice(std::weak_ptr<DeviceSurface> target, int width, int height)
    : FixedFunctionDevice(width, height), m_target(std::move(target)) {}

HRESULT SoftDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float /*z*/, DWORD /*stencil*/) {
    if (const HRESULT check = CheckClear(count, rects, flags); check != D3D_OK) return SUCCEEDED(check) ? D3D_OK : check;
    const std::shared_ptr<DeviceSurface> target = m_target.lock();
    if (target == nullptr) return DDERR_SURFACELOST;
    RenderMemory memory;
    if (const HRESULT result = target->GetRenderMemory(&memory); FAILED(result)) return result;

    const std::uint32_t value = color & 0x00FFFFFFu;
    const auto fill = [&](const RECT& area) {
        // Whole rows that lie one after the other fill as one run: one call
        // instead of one a row.
        if (area.left == 0 && area.right == memory.pitchPixels) {
            FillPixels(memory.pixels + std::int64_t{area.top} * memory.pitchPixels,
                       (std::int64_t{area.bottom} - area.top) * memory.pitchPixels, value);
            return;
        }
        for (std::int64_t y = area.top; y < area.bottom; ++y) {
            FillPixels(memory.pixels + y * memory.pitchPixels + area.left, std::int64_t{area.right} - area.left, value);
        }
    };
    if (count == 0) {
        fill(ClearArea(nullptr));
    } else {
        for (DWORD i = 0; i < count; ++i) fill(ClearArea(&rects[i]));
    }
    return D3D_OK;
}

HRESULT SoftDevice::DrawPrimitive(DWORD primitiveType, DWORD vertexFormat, const void* vertices, DWORD count, DWORD /*flags*/) {
    const DrawCheck check = CheckDraw(primitiveType, vertexFormat, vertices, count);
    if (check.result != D3D_OK) return SUCCEEDED(check.result) ? D3D_OK : check.result;

    const std::shared_ptr<DeviceSurface> target = m_target.lock();
    if (target == nullptr) return DDERR_SURFACELOST;
    PixelState pixels;
    if (const HRESULT result = target->GetRenderMemory(&pixels.target); FAILED(result)) return result;
    // Held to the end of the draw: the texels belong to it.
    const std::shared_ptr<DeviceSurface> texture = Texture();
    if (texture != nullptr) {
        TexelImage image;
        if (SUCCEEDED(texture->GetTexels(&image))) pixels.texture = MakeTextureView(image);
    }
    try {
        if (m_vertices.size() < count) m_vertices.resize(count);
    } catch (const std::bad_alloc&) {
        return DDERR_OUTOFMEMORY;
    }

    // Vertex stage.
    const D3DVIEWPORT7& viewport = Viewport();
    const std::int64_t viewRight = std::int64_t{viewport.dwX} + viewport.dwWidth;
    const std::int64_t viewBottom = std::int64_t{viewport.dwY} + viewport.dwHeight;
    m_scissor = PixelRect{static_cast<int>(viewport.dwX), static_cast<int>(viewport.dwY),
                          static_cast<int>(std::min<std::int64_t>(viewRight, pixels.target.width)),
                          static_cast<int>(std::min<std::int64_t>(viewBottom, pixels.target.height))};
    TransformAndLight(static_cast<const unsigned char*>(vertices), count, check.layout);

    // Pixel stage set-up, once per draw.
    pixels.modulate = !m_allWhite;
    pixels.blend = BlendState{RenderState(D3DRENDERSTATE_ALPHABLENDENABLE) != FALSE, RenderState(D3DRENDERSTATE_SRCBLEND),
                              RenderState(D3DRENDERSTATE_DESTBLEND)};
    m_spans.Configure(pixels);
    m_cullMode = RenderState(D3DRENDERSTATE_CULLMODE);
    m_flatShading = RenderState(D3DRENDERSTATE_SHADEMODE) == D3DSHADE_FLAT;

    // Triangle assembly. Every second triangle of a strip is taken in the
    // order that keeps the strip's winding, which culling depends on.
    const ProcessedVertex* v = m_vertices.data();
    switch (primitiveType) {
        case D3DPT_TRIANGLELIST:
            for (DWORD i = 0; i + 2 < count; i += 3) DrawTriangle(v[i], v[i + 1], v[i + 2]);
            break;
        case D3DPT_TRIANGLESTRIP:
            for (DWORD i = 0; i + 2 < count; ++i) {
                if (i % 2 == 0) {
                    DrawTriangle(v[i], v[i + 1], v[i + 2]);
                } else {
                    DrawTriangle(v[i + 1], v[i], v[i + 2]);
                }
            }
            break;
        default:
            for (DWORD i = 1; i + 1 < count; ++i) DrawTriangle(v[0], v[i], v[i + 1]);
            break;
    }
    return D3D_OK;
}

void SoftDevice::TransformAndLight(const unsigned char* vertices, DWORD count, const VertexLayout& layout) {
    const LightingState lighting = Lighting();
    const D3DMATRIX& combined = Combined();
    const bool ownColours = layout.diffuse >= 0 || layout.specular >= 0;
    const Colour shared = VertexColour(lighting, nullptr, nullptr);

    m_allWhite = true;
    for (DWORD i = 0; i < count; ++i) {
        const unsigned char* at = vertices + static_cast<std::size_t>(i) * static_cast<std::size_t>(layout.stride);
        const ClipPosition position = TransformPoint(combined, Read<float>(at), Read<float>(at + 4), Read<float>(at + 8));
        Colour colour = shared;
        if (ownColours) {
            const D3DCOLOR diffuse = layout.diffuse >= 0 ? Read<D3DCOLOR>(at + layout.diffuse) : 0;
            const D3DCOLOR specular = layout.specular >= 0 ? Read<D3DCOLOR>(at + layout.specular) : 0;
            colour = VertexColour(lighting, layout.diffuse >= 0 ? &diffuse : nullptr, layout.specular >= 0 ? &specular : nullptr);
        }
        m_allWhite = m_allWhite && colour.r >= 1.0f && colour.g >= 1.0f && colour.b >= 1.0f;
        float u = 0.0f;
        float v = 0.0f;
        if (layout.texCoord >= 0) {
            u = Read<float>(at + layout.texCoord);
            v = Read<float>(at + layout.texCoord + 4);
        }
        ProcessedVertex& out = m_vertices[i];
        out.clip = ClipVertex{position.x, position.y, position.z, position.w, u, v, colour.r, colour.g, colour.b, colour.a};
        out.codes = ClipCodesOf(out.clip);
        if (out.codes == 0 && !ToScreen(out.clip, &out.screen)) out.codes = kUnusable;
    }
}

bool SoftDevice::ToScreen(const ClipVertex& vertex, ScreenVertex* screen) const {
    // The viewport mapping: X + (1 + x/w) W/2, Y + (1 - y/w) H/2, in fixed point.
    const D3DVIEWPORT7& viewport = Viewport();
    const double w = vertex.w;
    const double x = (viewport.dwX + (1.0 + vertex.x / w) * viewport.dwWidth * 0.5) * kSubPixelScale;
    const double y = (viewport.dwY + (1.0 - vertex.y / w) * viewport.dwHeight * 0.5) * kSubPixelScale;
    if (!(std::fabs(x) < kScreenLimit && std::fabs(y) < kScreenLimit)) return false;
    const float invW = 1.0f / vertex.w;
    screen->x = static_cast<std::int32_t>(std::lrint(x));
    screen->y = static_cast<std::int32_t>(std::lrint(y));
    screen->attributes = {invW, vertex.u * invW, vertex.v * invW, vertex.r, vertex.g, vertex.b, vertex.a};
    return true;
}

void SoftDevice::DrawTriangle(const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c) {
    const ClipCodes any = a.codes | b.codes | c.codes;
    if ((any & kUnusable) != 0 || (a.codes & b.codes & c.codes) != 0) return;

    if (any == 0 && !m_flatShading) {
        RasterizeFacing(a.screen, b.screen, c.screen);
        return;
    }
    m_polygon[0] = a.clip;
    m_polygon[1] = b.clip;
    m_polygon[2] = c.clip;
    if (m_flatShading) {
        // The first corner's colour for the whole triangle.
        for (int i = 1; i < 3; ++i) {
            m_polygon[i].r = a.clip.r;
            m_polygon[i].g = a.clip.g;
            m_polygon[i].b = a.clip.b;
            m_polygon[i].a = a.clip.a;
        }
    }
    const int corners = ClipToPlanes(any, m_polygon, 3, m_clipScratch);
    for (int i = 0; i < corners; ++i) {
        if (!ToScreen(m_polygon[i], &m_screenPolygon[i])) return;
    }
    for (int i = 1; i + 1 < corners; ++i) RasterizeFacing(m_screenPolygon[0], m_screenPolygon[i], m_screenPolygon[i + 1]);
}

void SoftDevice::RasterizeFacing(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
    // Positive: clockwise as seen on the screen (y points down).
    const std::int64_t area =
        (std::int64_t{b.x} - a.x) * (std::int64_t{c.y} - a.y) - (std::int64_t{c.x} - a.x) * (std::int64_t{b.y} - a.y);
    if ((m_cullMode == D3DCULL_CW && area > 0) || (m_cullMode == D3DCULL_CCW && area < 0)) return;
    RasterizeTriangle(a, b, c, m_scissor, m_spans);
}

}  // namespace vx::dx
