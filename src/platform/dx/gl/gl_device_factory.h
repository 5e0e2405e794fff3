// Offers the OpenGL device (gl_device.h). The first offer makes the OpenGL
// context (loading the system's OpenGL); a machine without one gets no
// offer. The device counts as hardware (D3DDEVCAPS_HWRASTERIZATION, the HAL
// GUID) unless the renderer is a software one, when it is offered as a
// second software device under the MMX GUID.
#pragma once

#include <memory>

#include "platform/dx/device_factory.h"
#include "platform/dx/gl/gl_context.h"

namespace vx::dx::gl {

class DeviceFactory final : public dx::DeviceFactory {
public:
    std::optional<DeviceOffer> Offer() override;
    win::HRESULT Create(DeviceSurface& target, std::shared_ptr<win::IDirect3DDevice7>* device) override;

private:
    bool m_tried = false;
    std::shared_ptr<Context> m_context;
};

}  // namespace vx::dx::gl
