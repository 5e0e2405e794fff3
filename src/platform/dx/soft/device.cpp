#include "platform/dx/soft/device.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/dx/soft/pixel_format.h"

namespace vx::dx {

using namespace win;
using namespace soft;

namespace {

constexpr DWORD kRenderStateCount = 256;

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
    : m_target(std::move(target)), m_targetWidth(width), m_targetHeight(height) {
    m_viewport = D3DVIEWPORT7{0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0.0f, 1.0f};
    m_renderStates[D3DRENDERSTATE_TEXTUREPERSPECTIVE] = TRUE;
    m_renderStates[D3DRENDERSTATE_FILLMODE] = 3;  // solid
    m_renderStates[D3DRENDERSTATE_SHADEMODE] = D3DSHADE_GOURAUD;
    m_renderStates[D3DRENDERSTATE_ZWRITEENABLE] = TRUE;
    m_renderStates[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
    m_renderStates[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
    m_renderStates[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
    m_renderStates[D3DRENDERSTATE_ZFUNC] = 4;  // less or equal
    m_renderStates[D3DRENDERSTATE_LIGHTING] = TRUE;
    m_renderStates[D3DRENDERSTATE_COLORVERTEX] = TRUE;
    m_renderStates[D3DRENDERSTATE_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    m_renderStates[D3DRENDERSTATE_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    m_renderStates[D3DRENDERSTATE_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    m_renderStates[D3DRENDERSTATE_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
}

HRESULT SoftDevice::EnumTextureFormats(const LPD3DENUMPIXELFORMATSCALLBACK& callback) {
    if (!callback) return DDERR_INVALIDPARAMS;
    for (const FormatInfo& info : SupportedFormats()) {
        if (callback(info.pixelFormat) == D3DENUMRET_CANCEL) break;
    }
    return D3D_OK;
}

HRESULT SoftDevice::BeginScene() {
    if (m_inScene) return D3DERR_SCENE_IN_SCENE;
    m_inScene = true;
    return D3D_OK;
}

HRESULT SoftDevice::EndScene() {
    if (!m_inScene) return D3DERR_SCENE_NOT_IN_SCENE;
    m_inScene = false;
    return D3D_OK;
}

HRESULT SoftDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float /*z*/, DWORD /*stencil*/) {
    if ((count > 0 && rects == nullptr) || flags == 0 ||
        (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0) {
        return DDERR_INVALIDPARAMS;
    }
    // There is never a depth or stencil buffer to clear.
    if ((flags & D3DCLEAR_TARGET) == 0) return D3D_OK;
    const std::shared_ptr<DeviceSurface> target = m_target.lock();
    if (target == nullptr) return DDERR_SURFACELOST;
    RenderMemory memory;
    if (const HRESULT result = target->GetRenderMemory(&memory); FAILED(result)) return result;

    const std::int64_t viewLeft = m_viewport.dwX;
    const std::int64_t viewTop = m_viewport.dwY;
    const std::int64_t viewRight = std::min<std::int64_t>(viewLeft + m_viewport.dwWidth, memory.width);
    const std::int64_t viewBottom = std::min<std::int64_t>(viewTop + m_viewport.dwHeight, memory.height);
    const std::uint32_t value = color & 0x00FFFFFFu;
    const auto fill = [&](std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
        left = std::max(left, viewLeft);
        top = std::max(top, viewTop);
        right = std::min(right, viewRight);
        bottom = std::min(bottom, viewBottom);
        for (std::int64_t y = top; y < bottom; ++y) {
            FillPixels(memory.pixels + y * memory.pitchPixels + left, right - left, value);
        }
    };
    if (count == 0) {
        fill(viewLeft, viewTop, viewRight, viewBottom);
    } else {
        for (DWORD i = 0; i < count; ++i) fill(rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2);
    }
    return D3D_OK;
}

HRESULT SoftDevice::SetTransform(DWORD state, const D3DMATRIX* matrix) {
    if (matrix == nullptr) return DDERR_INVALIDPARAMS;
    switch (state) {
        case D3DTRANSFORMSTATE_WORLD:
            m_world = *matrix;
            break;
        case D3DTRANSFORMSTATE_VIEW:
            m_view = *matrix;
            break;
        case D3DTRANSFORMSTATE_PROJECTION:
            m_projection = *matrix;
            break;
        default:
            return DDERR_INVALIDPARAMS;
    }
    m_combinedStale = true;
    return D3D_OK;
}

HRESULT SoftDevice::SetViewport(const D3DVIEWPORT7* viewport) {
    if (viewport == nullptr || viewport->dwWidth == 0 || viewport->dwHeight == 0 ||
        std::uint64_t{viewport->dwX} + viewport->dwWidth > static_cast<std::uint64_t>(m_targetWidth) ||
        std::uint64_t{viewport->dwY} + viewport->dwHeight > static_cast<std::uint64_t>(m_targetHeight) ||
        !(viewport->dvMinZ >= 0.0f && viewport->dvMinZ <= viewport->dvMaxZ && viewport->dvMaxZ <= 1.0f)) {
        return DDERR_INVALIDPARAMS;
    }
    m_viewport = *viewport;
    return D3D_OK;
}

HRESULT SoftDevice::SetMaterial(const D3DMATERIAL7* material) {
    if (material == nullptr) return DDERR_INVALIDPARAMS;
    m_material = *material;
    return D3D_OK;
}

HRESULT SoftDevice::SetRenderState(DWORD state, DWORD value) {
    if (state == 0 || state >= kRenderStateCount) return DDERR_INVALIDPARAMS;
    m_renderStates[state] = value;
    return D3D_OK;
}

HRESULT SoftDevice::SetTexture(DWORD stage, IDirectDrawSurface7* texture) {
    if (stage >= 8) return DDERR_INVALIDPARAMS;
    DeviceSurface* surface = nullptr;
    if (texture != nullptr) {
        surface = dynamic_cast<DeviceSurface*>(texture);
        DDSURFACEDESC2 description{};
        description.dwSize = sizeof description;
        if (surface == nullptr || FAILED(texture->GetSurfaceDesc(&description)) ||
            (description.ddsCaps.dwCaps & DDSCAPS_TEXTURE) == 0) {
            return DDERR_INVALIDPARAMS;
        }
    }
    // Only stage 0 draws; the platform leaves the later stages disabled.
    if (stage == 0) m_texture = surface != nullptr ? surface->WeakSelf() : std::weak_ptr<DeviceSurface>{};
    return D3D_OK;
}

HRESULT SoftDevice::DrawPrimitive(DWORD primitiveType, DWORD vertexFormat, const void* vertices, DWORD count, DWORD /*flags*/) {
    if (!m_inScene) return D3DERR_SCENE_NOT_IN_SCENE;
    if (vertices == nullptr || count > D3DMAXNUMVERTICES) return DDERR_INVALIDPARAMS;
    const std::optional<VertexLayout> layout = LayoutOf(vertexFormat);
    if (!layout) return DDERR_INVALIDPARAMS;
    if (primitiveType == D3DPT_POINTLIST || primitiveType == D3DPT_LINELIST || primitiveType == D3DPT_LINESTRIP) {
        return DDERR_UNSUPPORTED;
    }
    if (primitiveType != D3DPT_TRIANGLELIST && primitiveType != D3DPT_TRIANGLESTRIP && primitiveType != D3DPT_TRIANGLEFAN) {
        return DDERR_INVALIDPARAMS;
    }
    if (count < 3) return D3D_OK;

    const std::shared_ptr<DeviceSurface> target = m_target.lock();
    if (target == nullptr) return DDERR_SURFACELOST;
    PixelState pixels;
    if (const HRESULT result = target->GetRenderMemory(&pixels.target); FAILED(result)) return result;
    // Held to the end of the draw: the texels belong to it.
    const std::shared_ptr<DeviceSurface> texture = m_texture.lock();
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
    if (m_combinedStale) {
        m_combined = Multiply(Multiply(m_world, m_view), m_projection);
        m_combinedStale = false;
    }
    const std::int64_t viewRight = std::int64_t{m_viewport.dwX} + m_viewport.dwWidth;
    const std::int64_t viewBottom = std::int64_t{m_viewport.dwY} + m_viewport.dwHeight;
    m_scissor = PixelRect{static_cast<int>(m_viewport.dwX), static_cast<int>(m_viewport.dwY),
                          static_cast<int>(std::min<std::int64_t>(viewRight, pixels.target.width)),
                          static_cast<int>(std::min<std::int64_t>(viewBottom, pixels.target.height))};
    TransformAndLight(static_cast<const unsigned char*>(vertices), count, *layout);

    // Pixel stage set-up, once per draw.
    pixels.modulate = !m_allWhite;
    pixels.blend = BlendState{m_renderStates[D3DRENDERSTATE_ALPHABLENDENABLE] != FALSE, m_renderStates[D3DRENDERSTATE_SRCBLEND],
                              m_renderStates[D3DRENDERSTATE_DESTBLEND]};
    m_spans.Configure(pixels);
    m_cullMode = m_renderStates[D3DRENDERSTATE_CULLMODE];
    m_flatShading = m_renderStates[D3DRENDERSTATE_SHADEMODE] == D3DSHADE_FLAT;

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
    LightingState lighting;
    lighting.lighting = m_renderStates[D3DRENDERSTATE_LIGHTING] != FALSE;
    lighting.colorVertex = m_renderStates[D3DRENDERSTATE_COLORVERTEX] != FALSE;
    lighting.diffuseSource = m_renderStates[D3DRENDERSTATE_DIFFUSEMATERIALSOURCE];
    lighting.ambientSource = m_renderStates[D3DRENDERSTATE_AMBIENTMATERIALSOURCE];
    lighting.emissiveSource = m_renderStates[D3DRENDERSTATE_EMISSIVEMATERIALSOURCE];
    lighting.ambientLight = m_renderStates[D3DRENDERSTATE_AMBIENT];
    lighting.material = m_material;
    const bool ownColours = layout.diffuse >= 0 || layout.specular >= 0;
    const Colour shared = VertexColour(lighting, nullptr, nullptr);

    m_allWhite = true;
    for (DWORD i = 0; i < count; ++i) {
        const unsigned char* at = vertices + static_cast<std::size_t>(i) * static_cast<std::size_t>(layout.stride);
        const ClipPosition position = TransformPoint(m_combined, Read<float>(at), Read<float>(at + 4), Read<float>(at + 8));
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
    const double w = vertex.w;
    const double x = (m_viewport.dwX + (1.0 + vertex.x / w) * m_viewport.dwWidth * 0.5) * kSubPixelScale;
    const double y = (m_viewport.dwY + (1.0 - vertex.y / w) * m_viewport.dwHeight * 0.5) * kSubPixelScale;
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
