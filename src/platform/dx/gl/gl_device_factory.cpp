#include "platform/dx/gl/gl_device_factory.h"

#include <algorithm>

#include "platform/dx/device_state.h"
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
    offer.device = DescribeFixedFunctionDevice(
        D3DDEVCAPS_TEXTURESYSTEMMEMORY | (hardware ? D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_TEXTUREVIDEOMEMORY : 0),
        textureLimit, hardware ? IID_IDirect3DHALDevice : IID_IDirect3DMMXDevice);
    return offer;
}

HRESULT DeviceFactory::Create(DeviceSurface& target, std::shared_ptr<IDirect3DDevice7>* device) {
    if (device == nullptr) return DDERR_INVALIDPARAMS;
    if (m_context == nullptr) return D3DERR_INVALID_DEVICE;
    return Device::Create(m_context, target, device);
}

}  // namespace vx::dx::gl
