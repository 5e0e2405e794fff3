// The DirectDraw stand-in: a DirectDraw object whose surfaces live in
// memory and are presented through the program's PresentationTarget, with
// the Direct3D devices that registered factories offer.
//
// To connect it the program implements PresentationTarget (presentation.h)
// over its window and makes one SoftDirectDrawLibrary with it; the target
// must outlive the library and everything made from it. The devices are
// listed in this order: the target's own display device (OpenGL), if any;
// the software device, always; then those that AddDeviceFactory adds. Each
// is asked for its offer only when DirectDrawCreateEx runs. Among devices of
// one kind the device choice takes the last one listed, so the software
// rasteriser comes after a software OpenGL.
//
// What the DirectDraw object reports:
//  - GetCaps: blits, colour fill, stretching and palettes always;
//    DDCAPS_3D, and DDSCAPS_TEXTURE, DDSCAPS_3DDEVICE and video memory among
//    the surface capabilities, only when a device with
//    D3DDEVCAPS_HWRASTERIZATION is offered; DDCAPS_NOHARDWARE otherwise.
//  - SetCooperativeLevel: DDSCL_NORMAL only (the window is remembered as the
//    presentation window when the primary surface has no clipper);
//    full-screen modes are not supported.
//  - CreateSurface: one primary surface (the display's format, no flipping
//    chain); off-screen plain surfaces and textures of 1 to 16384 pixels a
//    side in any format of SupportedFormats(), 32-bit XRGB by default. A
//    surface reports DDSCAPS_VIDEOMEMORY when it asks for it, or asks for
//    DDSCAPS_3DDEVICE without DDSCAPS_SYSTEMMEMORY, and a hardware device is
//    offered; DDSCAPS_SYSTEMMEMORY otherwise. Asking for video memory with
//    no hardware device fails with DDERR_OUTOFVIDEOMEMORY. No z-buffers,
//    overlays, mipmaps or flipping chains.
//  - WaitForVerticalBlank (DDWAITVB_BLOCKBEGIN or DDWAITVB_BLOCKEND): see
//    vertical_blank.h.
#pragma once

#include <memory>
#include <vector>

#include "platform/dx/device_factory.h"
#include "platform/dx/presentation.h"
#include "platform/dx/soft/direct3d.h"
#include "platform/dx/soft/display_link.h"
#include "platform/dx/soft/surface.h"

namespace vx::dx {

constexpr int kMaxSurfaceSize = 16384;

class SoftDirectDraw final : public win::IDirectDraw7 {
public:
    SoftDirectDraw(PresentationTarget& target, std::vector<OfferedDevice> devices);

    win::HRESULT GetCaps(win::DDCAPS* driverCaps, win::DDCAPS* emulationCaps) override;
    win::HRESULT SetCooperativeLevel(win::HWND window, win::DWORD flags) override;
    win::HRESULT CreateSurface(win::DDSURFACEDESC2* description, std::shared_ptr<win::IDirectDrawSurface7>* surface) override;
    win::HRESULT CreateClipper(win::DWORD flags, std::shared_ptr<win::IDirectDrawClipper>* clipper) override;
    win::HRESULT CreatePalette(win::DWORD flags, const win::PALETTEENTRY* entries,
                               std::shared_ptr<win::IDirectDrawPalette>* palette) override;
    win::HRESULT WaitForVerticalBlank(win::DWORD flags, win::HANDLE event) override;
    win::HRESULT QueryDirect3D7(std::shared_ptr<win::IDirect3D7>* direct3D) override;

private:
    void FillCaps(win::DDCAPS& caps, bool driver) const;

    std::shared_ptr<DisplayLink> m_link;
    std::shared_ptr<const std::vector<OfferedDevice>> m_devices;
    std::weak_ptr<SoftSurface> m_primary;
};

class SoftDirectDrawLibrary final : public win::DirectDrawLibrary {
public:
    explicit SoftDirectDrawLibrary(PresentationTarget& target);

    // Enumerated after the devices registered before it.
    void AddDeviceFactory(std::shared_ptr<DeviceFactory> factory);

    // driver must be null (the display the PresentationTarget shows on).
    win::HRESULT DirectDrawCreateEx(const win::GUID* driver, std::shared_ptr<win::IDirectDraw7>* directDraw) override;

private:
    PresentationTarget& m_target;
    std::vector<std::shared_ptr<DeviceFactory>> m_factories;
};

}  // namespace vx::dx
