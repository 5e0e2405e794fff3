#include "platform/dx/soft/soft_direct_draw.h"

#include <new>

#include "platform/dx/soft/soft_device_factory.h"
#include "platform/dx/soft/vertical_blank.h"

namespace vx::dx {

using namespace win;
using dx::SurfaceFormat;

namespace {

bool OffersHardware(const std::vector<OfferedDevice>& devices) {
    for (const OfferedDevice& device : devices) {
        if ((device.offer.device.dwDevCaps & D3DDEVCAPS_HWRASTERIZATION) != 0) return true;
    }
    return false;
}

SurfaceFormat DisplayFormat(int bitsPerPixel) {
    if (bitsPerPixel == 8) return SurfaceFormat::Palette8;
    if (bitsPerPixel == 16) return SurfaceFormat::Rgb565;
    return SurfaceFormat::Xrgb8888;
}

// The shape of the primary surface, or of an off-screen surface or texture,
// that a description asks for; a failure code when it cannot be made.
HRESULT ShapeOf(const DDSURFACEDESC2& description, const DisplayLink& link, SurfaceShape* shape) {
    const DWORD caps = (description.dwFlags & DDSD_CAPS) != 0 ? description.ddsCaps.dwCaps : 0;
    const DWORD caps2 = (description.dwFlags & DDSD_CAPS) != 0 ? description.ddsCaps.dwCaps2 : 0;
    constexpr DWORD kMemory = DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
    if ((caps & DDSCAPS_SYSTEMMEMORY) != 0 && (caps & DDSCAPS_VIDEOMEMORY) != 0) return DDERR_INVALIDCAPS;

    if ((caps & DDSCAPS_PRIMARYSURFACE) != 0) {
        if ((description.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) != 0) return DDERR_INVALIDPARAMS;
        if ((caps & (DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_BACKBUFFER | DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE)) != 0 ||
            (description.dwFlags & DDSD_BACKBUFFERCOUNT) != 0) {
            return DDERR_UNSUPPORTED;
        }
        const DisplayMode mode = link.Target().CurrentDisplayMode();
        shape->kind = SurfaceKind::Primary;
        shape->format = DisplayFormat(mode.bitsPerPixel);
        shape->width = mode.width > 0 ? mode.width : 0;
        shape->height = mode.height > 0 ? mode.height : 0;
        shape->caps = DDSCAPS2{DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM, 0, 0, 0};
        return DD_OK;
    }

    if ((caps & (DDSCAPS_ZBUFFER | DDSCAPS_OVERLAY | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_BACKBUFFER | DDSCAPS_MIPMAP)) !=
        0) {
        return DDERR_UNSUPPORTED;
    }
    if ((description.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) || description.dwWidth == 0 ||
        description.dwHeight == 0 || description.dwWidth > kMaxSurfaceSize || description.dwHeight > kMaxSurfaceSize) {
        return DDERR_INVALIDPARAMS;
    }
    SurfaceFormat format = SurfaceFormat::Xrgb8888;
    if ((description.dwFlags & DDSD_PIXELFORMAT) != 0) {
        const std::optional<SurfaceFormat> match = dx::MatchPixelFormat(description.ddpfPixelFormat);
        if (!match) return DDERR_INVALIDPIXELFORMAT;
        format = *match;
    }
    bool videoMemory = false;
    if ((caps & DDSCAPS_VIDEOMEMORY) != 0) {
        if (!link.Hardware3D()) return DDERR_OUTOFVIDEOMEMORY;
        videoMemory = true;
    } else if ((caps & DDSCAPS_SYSTEMMEMORY) == 0) {
        videoMemory = link.Hardware3D() && (caps & DDSCAPS_3DDEVICE) != 0;
    }
    shape->kind = (caps & DDSCAPS_TEXTURE) != 0 ? SurfaceKind::Texture : SurfaceKind::Plain;
    shape->format = format;
    shape->width = static_cast<int>(description.dwWidth);
    shape->height = static_cast<int>(description.dwHeight);
    DWORD reported = caps & ~kMemory;
    if ((reported & (DDSCAPS_TEXTURE | DDSCAPS_OFFSCREENPLAIN)) == 0) reported |= DDSCAPS_OFFSCREENPLAIN;
    reported |= videoMemory ? DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM : DDSCAPS_SYSTEMMEMORY;
    shape->caps = DDSCAPS2{reported, caps2, 0, 0};
    return DD_OK;
}

}  // namespace

SoftDirectDraw::SoftDirectDraw(PresentationTarget& target, std::vector<OfferedDevice> devices)
    : m_link(std::make_shared<DisplayLink>(target, OffersHardware(devices))),
      m_devices(std::make_shared<const std::vector<OfferedDevice>>(std::move(devices))) {}

void SoftDirectDraw::FillCaps(DDCAPS& caps, bool driver) const {
    caps = DDCAPS{};
    caps.dwSize = sizeof(DDCAPS);
    caps.dwCaps = DDCAPS_BLT | DDCAPS_BLTCOLORFILL | DDCAPS_BLTSTRETCH | DDCAPS_PALETTE;
    caps.dwPalCaps = DDPCAPS_4BIT | DDPCAPS_8BIT | DDPCAPS_ALLOW256;
    DWORD surfaceCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PALETTE | DDSCAPS_SYSTEMMEMORY;
    if (!driver) {
        surfaceCaps |= DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE;
    } else if (m_link->Hardware3D()) {
        caps.dwCaps |= DDCAPS_3D;
        surfaceCaps |= DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
    } else {
        caps.dwCaps |= DDCAPS_NOHARDWARE;
    }
    caps.ddsOldCaps.dwCaps = surfaceCaps;
    caps.ddsCaps.dwCaps = surfaceCaps;
}

HRESULT SoftDirectDraw::GetCaps(DDCAPS* driverCaps, DDCAPS* emulationCaps) {
    if ((driverCaps == nullptr && emulationCaps == nullptr) || (driverCaps != nullptr && driverCaps->dwSize != sizeof(DDCAPS)) ||
        (emulationCaps != nullptr && emulationCaps->dwSize != sizeof(DDCAPS))) {
        return DDERR_INVALIDPARAMS;
    }
    if (driverCaps != nullptr) FillCaps(*driverCaps, true);
    if (emulationCaps != nullptr) FillCaps(*emulationCaps, false);
    return DD_OK;
}

HRESULT SoftDirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
    if ((flags & (DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE)) != 0) return DDERR_UNSUPPORTED;
    if ((flags & DDSCL_NORMAL) == 0) return DDERR_INVALIDPARAMS;
    m_link->SetCooperativeWindow(window);
    return DD_OK;
}

HRESULT SoftDirectDraw::CreateSurface(DDSURFACEDESC2* description, std::shared_ptr<IDirectDrawSurface7>* surface) {
    if (surface == nullptr) return DDERR_INVALIDPARAMS;
    surface->reset();
    if (description == nullptr || description->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    SurfaceShape shape;
    if (const HRESULT result = ShapeOf(*description, *m_link, &shape); FAILED(result)) return result;
    if (shape.kind == SurfaceKind::Primary && !m_primary.expired()) return DDERR_PRIMARYSURFACEALREADYEXISTS;
    try {
        auto made = std::make_shared<SoftSurface>(m_link, shape);
        if (shape.kind == SurfaceKind::Primary) m_primary = made;
        *surface = std::move(made);
    } catch (const std::bad_alloc&) {
        return DDERR_OUTOFMEMORY;
    }
    return DD_OK;
}

HRESULT SoftDirectDraw::CreateClipper(DWORD flags, std::shared_ptr<IDirectDrawClipper>* clipper) {
    if (clipper == nullptr || flags != 0) return DDERR_INVALIDPARAMS;
    try {
        *clipper = std::make_shared<SoftClipper>();
    } catch (const std::bad_alloc&) {
        return DDERR_OUTOFMEMORY;
    }
    return DD_OK;
}

HRESULT SoftDirectDraw::CreatePalette(DWORD flags, const PALETTEENTRY* entries, std::shared_ptr<IDirectDrawPalette>* palette) {
    if (palette == nullptr) return DDERR_INVALIDPARAMS;
    palette->reset();
    if (entries == nullptr) return DDERR_INVALIDPARAMS;
    if ((flags & DDPCAPS_8BITENTRIES) != 0) return DDERR_UNSUPPORTED;
    const bool eightBit = (flags & DDPCAPS_8BIT) != 0;
    const bool fourBit = (flags & DDPCAPS_4BIT) != 0;
    if (eightBit == fourBit) return DDERR_INVALIDPARAMS;
    try {
        *palette = std::make_shared<SoftPalette>(eightBit ? 256 : 16, entries);
    } catch (const std::bad_alloc&) {
        return DDERR_OUTOFMEMORY;
    }
    return DD_OK;
}

HRESULT SoftDirectDraw::WaitForVerticalBlank(DWORD flags, HANDLE /*event*/) {
    if (flags == DDWAITVB_BLOCKBEGINEVENT) return DDERR_UNSUPPORTED;
    if (flags != DDWAITVB_BLOCKBEGIN && flags != DDWAITVB_BLOCKEND) return DDERR_INVALIDPARAMS;
    WaitForNextRefresh(m_link->Target());
    return DD_OK;
}

HRESULT SoftDirectDraw::QueryDirect3D7(std::shared_ptr<IDirect3D7>* direct3D) {
    if (direct3D == nullptr) return DDERR_INVALIDPARAMS;
    try {
        *direct3D = std::make_shared<SoftDirect3D>(m_devices);
    } catch (const std::bad_alloc&) {
        return DDERR_OUTOFMEMORY;
    }
    return DD_OK;
}

SoftDirectDrawLibrary::SoftDirectDrawLibrary(PresentationTarget& target) : m_target(target) {
    if (std::shared_ptr<DeviceFactory> display = target.DisplayDeviceFactory()) m_factories.push_back(std::move(display));
    m_factories.push_back(std::make_shared<SoftDeviceFactory>());
}

void SoftDirectDrawLibrary::AddDeviceFactory(std::shared_ptr<DeviceFactory> factory) {
    if (factory != nullptr) m_factories.push_back(std::move(factory));
}

HRESULT SoftDirectDrawLibrary::DirectDrawCreateEx(const GUID* driver, std::shared_ptr<IDirectDraw7>* directDraw) {
    if (directDraw == nullptr) return DDERR_INVALIDPARAMS;
    directDraw->reset();
    if (driver != nullptr) return DDERR_INVALIDPARAMS;
    try {
        std::vector<OfferedDevice> devices;
        for (const std::shared_ptr<DeviceFactory>& factory : m_factories) {
            if (std::optional<DeviceOffer> offer = factory->Offer()) devices.push_back({factory, std::move(*offer)});
        }
        *directDraw = std::make_shared<SoftDirectDraw>(m_target, std::move(devices));
    } catch (const std::bad_alloc&) {
        return DDERR_OUTOFMEMORY;
    }
    return DD_OK;
}

}  // namespace vx::dx
