#include "platform/dx/device_state.h"

#include <algorithm>
#include <cstdint>

#include "platform/dx/pixel_format.h"

namespace vx::dx {

using namespace win;

namespace {
constexpr DWORD kRenderStateCount = 256;
}

D3DDEVICEDESC7 DescribeFixedFunctionDevice(DWORD devCaps, DWORD maxTextureSize, const GUID& guid) {
    D3DDEVICEDESC7 device{};
    device.dwDevCaps = devCaps;
    device.dpcLineCaps.dwSize = sizeof(D3DPRIMCAPS);
    device.dpcTriCaps.dwSize = sizeof(D3DPRIMCAPS);
    device.dwDeviceRenderBitDepth = DDBD_32;
    device.dwDeviceZBufferBitDepth = 0;
    device.dwMinTextureWidth = 1;
    device.dwMinTextureHeight = 1;
    device.dwMaxTextureWidth = maxTextureSize;
    device.dwMaxTextureHeight = maxTextureSize;
    device.dwFVFCaps = 1;  // one texture coordinate set
    device.wMaxTextureBlendStages = 1;
    device.wMaxSimultaneousTextures = 1;
    device.dwMaxActiveLights = 0;
    device.dvMaxVertexW = 1e10f;
    device.deviceGUID = guid;
    return device;
}

FixedFunctionDevice::FixedFunctionDevice(int width, int height) : m_targetWidth(width), m_targetHeight(height) {
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

HRESULT FixedFunctionDevice::EnumTextureFormats(const LPD3DENUMPIXELFORMATSCALLBACK& callback) {
    if (!callback) return DDERR_INVALIDPARAMS;
    for (const dx::FormatInfo& info : dx::SupportedFormats()) {
        if (callback(info.pixelFormat) == D3DENUMRET_CANCEL) break;
    }
    return D3D_OK;
}

HRESULT FixedFunctionDevice::BeginScene() {
    if (m_inScene) return D3DERR_SCENE_IN_SCENE;
    m_inScene = true;
    return D3D_OK;
}

HRESULT FixedFunctionDevice::EndScene() {
    if (!m_inScene) return D3DERR_SCENE_NOT_IN_SCENE;
    m_inScene = false;
    return D3D_OK;
}

HRESULT FixedFunctionDevice::SetTransform(DWORD state, const D3DMATRIX* matrix) {
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

HRESULT FixedFunctionDevice::SetViewport(const D3DVIEWPORT7* viewport) {
    if (viewport == nullptr || viewport->dwWidth == 0 || viewport->dwHeight == 0 ||
        std::uint64_t{viewport->dwX} + viewport->dwWidth > static_cast<std::uint64_t>(m_targetWidth) ||
        std::uint64_t{viewport->dwY} + viewport->dwHeight > static_cast<std::uint64_t>(m_targetHeight) ||
        !(viewport->dvMinZ >= 0.0f && viewport->dvMinZ <= viewport->dvMaxZ && viewport->dvMaxZ <= 1.0f)) {
        return DDERR_INVALIDPARAMS;
    }
    m_viewport = *viewport;
    return D3D_OK;
}

HRESULT FixedFunctionDevice::SetMaterial(const D3DMATERIAL7* material) {
    if (material == nullptr) return DDERR_INVALIDPARAMS;
    m_material = *material;
    return D3D_OK;
}

HRESULT FixedFunctionDevice::SetRenderState(DWORD state, DWORD value) {
    if (state == 0 || state >= kRenderStateCount) return DDERR_INVALIDPARAMS;
    m_renderStates[state] = value;
    return D3D_OK;
}

HRESULT FixedFunctionDevice::SetTexture(DWORD stage, IDirectDrawSurface7* texture) {
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

FixedFunctionDevice::DrawCheck FixedFunctionDevice::CheckDraw(DWORD primitiveType, DWORD vertexFormat, const void* vertices,
                                                              DWORD count) const {
    if (!m_inScene) return {D3DERR_SCENE_NOT_IN_SCENE, {}};
    if (vertices == nullptr || count > D3DMAXNUMVERTICES) return {DDERR_INVALIDPARAMS, {}};
    const std::optional<dx::VertexLayout> layout = dx::LayoutOf(vertexFormat);
    if (!layout) return {DDERR_INVALIDPARAMS, {}};
    if (primitiveType == D3DPT_POINTLIST || primitiveType == D3DPT_LINELIST || primitiveType == D3DPT_LINESTRIP) {
        return {DDERR_UNSUPPORTED, {}};
    }
    if (primitiveType != D3DPT_TRIANGLELIST && primitiveType != D3DPT_TRIANGLESTRIP && primitiveType != D3DPT_TRIANGLEFAN) {
        return {DDERR_INVALIDPARAMS, {}};
    }
    return {count < 3 ? S_FALSE : D3D_OK, *layout};
}

HRESULT FixedFunctionDevice::CheckClear(DWORD count, const D3DRECT* rects, DWORD flags) {
    if ((count > 0 && rects == nullptr) || flags == 0 ||
        (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0) {
        return DDERR_INVALIDPARAMS;
    }
    // There is never a depth or stencil buffer to clear.
    return (flags & D3DCLEAR_TARGET) == 0 ? S_FALSE : D3D_OK;
}

RECT FixedFunctionDevice::ClearArea(const D3DRECT* rect) const {
    const std::int64_t viewLeft = m_viewport.dwX;
    const std::int64_t viewTop = m_viewport.dwY;
    const std::int64_t viewRight = std::min<std::int64_t>(viewLeft + m_viewport.dwWidth, m_targetWidth);
    const std::int64_t viewBottom = std::min<std::int64_t>(viewTop + m_viewport.dwHeight, m_targetHeight);
    if (rect == nullptr) {
        return RECT{static_cast<LONG>(viewLeft), static_cast<LONG>(viewTop), static_cast<LONG>(viewRight),
                    static_cast<LONG>(viewBottom)};
    }
    return RECT{static_cast<LONG>(std::max<std::int64_t>(rect->x1, viewLeft)),
                static_cast<LONG>(std::max<std::int64_t>(rect->y1, viewTop)),
                static_cast<LONG>(std::min<std::int64_t>(rect->x2, viewRight)),
                static_cast<LONG>(std::min<std::int64_t>(rect->y2, viewBottom))};
}

const D3DMATRIX& FixedFunctionDevice::Combined() {
    if (m_combinedStale) {
        m_combined = dx::Multiply(dx::Multiply(m_world, m_view), m_projection);
        m_combinedStale = false;
    }
    return m_combined;
}

dx::LightingState FixedFunctionDevice::Lighting() const {
    dx::LightingState lighting;
    lighting.lighting = m_renderStates[D3DRENDERSTATE_LIGHTING] != FALSE;
    lighting.colorVertex = m_renderStates[D3DRENDERSTATE_COLORVERTEX] != FALSE;
    lighting.diffuseSource = m_renderStates[D3DRENDERSTATE_DIFFUSEMATERIALSOURCE];
    lighting.ambientSource = m_renderStates[D3DRENDERSTATE_AMBIENTMATERIALSOURCE];
    lighting.emissiveSource = m_renderStates[D3DRENDERSTATE_EMISSIVEMATERIALSOURCE];
    lighting.ambientLight = m_renderStates[D3DRENDERSTATE_AMBIENT];
    lighting.material = m_material;
    return lighting;
}

}  // namespace vx::dx
