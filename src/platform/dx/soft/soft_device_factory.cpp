#include "platform/dx/soft/soft_device_factory.h"

#include "platform/dx/soft/device.h"

namespace vx::dx {

using namespace win;

std::optional<DeviceOffer> SoftDeviceFactory::Offer() {
    DeviceOffer offer;
    offer.name = "Software Rasteriser";
    offer.description = "Vidorex software rasteriser";
    D3DDEVICEDESC7& device = offer.device;
    device.dwDevCaps = D3DDEVCAPS_TEXTURESYSTEMMEMORY;
    device.dpcLineCaps.dwSize = sizeof(D3DPRIMCAPS);
    device.dpcTriCaps.dwSize = sizeof(D3DPRIMCAPS);
    device.dwDeviceRenderBitDepth = DDBD_32;
    device.dwDeviceZBufferBitDepth = 0;
    device.dwMinTextureWidth = 1;
    device.dwMinTextureHeight = 1;
    device.dwMaxTextureWidth = 4096;
    device.dwMaxTextureHeight = 4096;
    device.dwFVFCaps = 1;  // one texture coordinate set
    device.wMaxTextureBlendStages = 1;
    device.wMaxSimultaneousTextures = 1;
    device.dwMaxActiveLights = 0;
    device.dvMaxVertexW = 1e10f;
    device.deviceGUID = IID_IDirect3DRGBDevice;
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
