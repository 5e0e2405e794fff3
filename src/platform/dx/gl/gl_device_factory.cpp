#include "platform/dx/gl/gl_device_factory.h"

#include <algorithm>

#include "platform/dx/gl/gl_device.h"

namespace vx::dx::gl {

using namespace win;

std::optional<DeviceOffer> DeviceFactory::Offer() {
    if (!m_tried) {
        m_tried = true;
        m_context = Context::Create();
    }
    if (m_context == nullptr || !m_context->MakeCurrent()) return std::nullopt;
    const bool hardware = !IsSoftwareRenderer(m_context->Renderer());
    GLint maxTexture = 0;
    m_context->Gl().GetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    const auto textureLimit = static_cast<DWORD>(std::clamp(maxTexture, 64, 4096));

    DeviceOffer offer;
    offer.name = hardware ? "OpenGL HAL" : "OpenGL Software";
    offer.description = "OpenGL (" + m_context->Renderer() + ")";
    D3DDEVICEDESC7& device = offer.device;
    device.dwDevCaps = D3DDEVCAPS_TEXTURESYSTEMMEMORY | (hardware ? D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_TEXTUREVIDEOMEMORY : 0);
    device.dpcLineCaps.dwSize = sizeof(D3DPRIMCAPS);
    device.dpcTriCaps.dwSize = sizeof(D3DPRIMCAPS);
    device.dwDeviceRenderBitDepth = DDBD_32;
    device.dwDeviceZBufferBitDepth = 0;
    device.dwMinTextureWidth = 1;
    device.dwMinTextureHeight = 1;
    device.dwMaxTextureWidth = textureLimit;
    device.dwMaxTextureHeight = textureLimit;
    device.dwFVFCaps = 1;  // one texture coordinate set
    device.wMaxTextureBlendStages = 1;
    device.wMaxSimultaneousTextures = 1;
    device.dwMaxActiveLights = 0;
    device.dvMaxVertexW = 1e10f;
    device.deviceGUID = hardware ? IID_IDirect3DHALDevice : IID_IDirect3DMMXDevice;
    return offer;
}

HRESULT DeviceFactory::Create(DeviceSurface& target, std::shared_ptr<IDirect3DDevice7>* device) {
    if (device == nullptr) return DDERR_INVALIDPARAMS;
    if (m_context == nullptr) return D3DERR_INVALID_DEVICE;
    return Device::Create(m_context, target, device);
}

}  // namespace vx::dx::gl
