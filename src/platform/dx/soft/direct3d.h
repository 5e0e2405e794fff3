// IDirect3D7 of the stand-in: lists the devices its DirectDraw object was
// offered and makes them on a render target.
#pragma once

#include <memory>
#include <vector>

#include "platform/dx/device_factory.h"

namespace vx::dx {

struct OfferedDevice {
    std::shared_ptr<DeviceFactory> factory;
    DeviceOffer offer;
};

class SoftDirect3D final : public win::IDirect3D7 {
public:
    explicit SoftDirect3D(std::shared_ptr<const std::vector<OfferedDevice>> devices) : m_devices(std::move(devices)) {}

    win::HRESULT EnumDevices(const win::LPD3DENUMDEVICESCALLBACK7& callback) override;
    // D3DERR_INVALID_DEVICE for a GUID no device has; DDERR_INVALIDCAPS for a
    // target made without DDSCAPS_3DDEVICE.
    win::HRESULT CreateDevice(const win::GUID& deviceGuid, win::IDirectDrawSurface7* renderTarget,
                              std::shared_ptr<win::IDirect3DDevice7>* device) override;

private:
    std::shared_ptr<const std::vector<OfferedDevice>> m_devices;
};

}  // namespace vx::dx
