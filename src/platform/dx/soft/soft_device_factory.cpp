#include "platform/dx/soft/soft_device_factory.h"

#include "platform/dx/device_state.h"
#include "platform/dx/soft/device.h"

namespace vx::dx {

using namespace win;

std::optional<DeviceOffer> SoftDeviceFactory::Offer() {
    DeviceOffer offer;
    offer.name = "Software Rasteriser";
    offer.description = "Vidorex software rasteriser";
    offer.device = DescribeFixedFunctionDevice(D3DDEVCAPS_TEXTURESYSTEMMEMORY, 4096, IID_IDirect3DRGBDevice);
    return offer;
}

HRESULT SoftDeviceFactory::Create(DeviceSurface& target, std::shared_ptr<IDirect3DDevice7>* device) {
    if (device == nullptr) return DDERR_INVALIDPARAMS;
    RenderMemory memory;
    if (const HRESULT result = target.GetRenderMemory(&memory); FAILED(result)) return result;
    *device = std::make_shared<SoftDevice>(target.WeakSelf(), memory.width, memory.height);
    return D3D_OK;
}

}  // namespace vx::dx
