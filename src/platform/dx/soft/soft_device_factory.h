// Offers the software rasteriser device (platform/dx/soft/device.h). It is
// always available and never hardware: its description lacks
// D3DDEVCAPS_HWRASTERIZATION and it renders into 32-bit XRGB targets only.
#pragma once

#include "platform/dx/device_factory.h"

namespace vx::dx {

class SoftDeviceFactory final : public DeviceFactory {
public:
    std::optional<DeviceOffer> Offer() override;
    win::HRESULT Create(DeviceSurface& target, std::shared_ptr<win::IDirect3DDevice7>* device) override;
};

}  // namespace vx::dx
