#include "platform/dx/soft/direct3d.h"

#include <new>

namespace vx::dx {

using namespace win;

HRESULT SoftDirect3D::EnumDevices(const LPD3DENUMDEVICESCALLBACK7& callback) {
    if (!callback) return DDERR_INVALIDPARAMS;
    for (const OfferedDevice& device : *m_devices) {
        if (callback(device.offer.description.c_str(), device.offer.name.c_str(), device.offer.device) == D3DENUMRET_CANCEL) {
            break;
        }
    }
    return D3D_OK;
}

HRESULT SoftDirect3D::CreateDevice(const GUID& deviceGuid, IDirectDrawSurface7* renderTarget,
                                   std::shared_ptr<IDirect3DDevice7>* device) {
    if (device == nullptr) return DDERR_INVALIDPARAMS;
    device->reset();
    if (renderTarget == nullptr) return DDERR_INVALIDPARAMS;
    auto* target = dynamic_cast<DeviceSurface*>(renderTarget);
    if (target == nullptr) return DDERR_INVALIDPARAMS;
    for (const OfferedDevice& offered : *m_devices) {
        if (!(offered.offer.device.deviceGUID == deviceGuid)) continue;
        DDSURFACEDESC2 description{};
        description.dwSize = sizeof description;
        if (FAILED(renderTarget->GetSurfaceDesc(&description))) return DDERR_INVALIDPARAMS;
        if ((description.ddsCaps.dwCaps & DDSCAPS_3DDEVICE) == 0) return DDERR_INVALIDCAPS;
        try {
            return offered.factory->Create(*target, device);
        } catch (const std::bad_alloc&) {
            device->reset();
            return DDERR_OUTOFMEMORY;
        }
    }
    return D3DERR_INVALID_DEVICE;
}

}  // namespace vx::dx
