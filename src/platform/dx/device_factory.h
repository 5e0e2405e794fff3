// How a Direct3D device type is offered to the DirectDraw stand-in, and what
// a device sees of the surfaces it draws into and samples from.
//
// The DirectDraw object asks every registered DeviceFactory for its offer
// when the object is made (DirectDrawCreateEx), never earlier: a factory may
// load its libraries (OpenGL) at that moment, and answers nothing when its
// device cannot exist on this machine. IDirect3D7::EnumDevices then lists
// the offers in registration order: the display's own device (OpenGL) when
// the presentation target has one, then the software device, then any added
// later (tests). CreateDevice hands the render target to the factory whose
// GUID was asked for. The DirectDraw object reports DDCAPS_3D,
// DDSCAPS_TEXTURE and video memory only when some offer has
// D3DDEVCAPS_HWRASTERIZATION.
//
// Surfaces made by the stand-in keep their pixels in memory. A device that
// draws elsewhere (a GPU) registers a DeferredContent with its render target,
// so that the memory is brought up to date before anyone else reads or
// writes it (Lock, GetDC, Blt) and the device learns when it was changed.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/dx/d3d.h"

namespace vx::dx {

// A 32-bit XRGB render target's memory: pixels 0xXXRRGGBB (the top byte is
// not part of the picture), rows pitchPixels apart.
struct RenderMemory {
    std::uint32_t* pixels = nullptr;
    int pitchPixels = 0;
    int width = 0;
    int height = 0;
};

// A surface's picture as 0xAARRGGBB texels, rows width apart (formats
// without alpha give 0xFF). version changes whenever the texels do, so a
// device can keep an upload until then. Valid until the surface changes.
struct TexelImage {
    const std::uint32_t* texels = nullptr;
    int width = 0;
    int height = 0;
    std::uint64_t version = 0;
};

class DeferredContent {
public:
    virtual ~DeferredContent() = default;
    // Write the picture the device holds into the surface's memory now.
    virtual void WriteBack() = 0;
    // The memory was changed by someone else; take it from there next time.
    virtual void MemoryChanged() = 0;
};

// What a device needs of a surface beyond IDirectDrawSurface7. Every surface
// the stand-in makes implements both; a device finds this side with
// dynamic_cast and keeps only the weak reference, so a surface released too
// early makes its calls fail instead of crash.
class DeviceSurface {
public:
    virtual ~DeviceSurface() = default;
    virtual std::weak_ptr<DeviceSurface> WeakSelf() = 0;
    // DDERR_SURFACELOST while lost, DDERR_INVALIDPIXELFORMAT unless 32-bit XRGB.
    virtual win::HRESULT GetRenderMemory(RenderMemory* memory) = 0;
    // The picture as texels, palettes applied; converted again only after a change.
    virtual win::HRESULT GetTexels(TexelImage* image) = 0;
    // Null to unregister; the holder must unregister before it goes.
    virtual void SetDeferredContent(DeferredContent* holder) = 0;
    // For a device whose own resources went (a lost GL context): the surface
    // answers IsLost with DDERR_SURFACELOST until restored.
    virtual void MarkLost() = 0;
};

struct DeviceOffer {
    std::string name;
    std::string description;
    win::D3DDEVICEDESC7 device{};  // deviceGUID names the device
};

class DeviceFactory {
public:
    virtual ~DeviceFactory() = default;
    // See the top of this file for when it is called; nullopt when the device
    // cannot be made on this machine.
    virtual std::optional<DeviceOffer> Offer() = 0;
    // A device that renders into target (which it does not own). Fails with
    // DDERR_INVALIDPIXELFORMAT for a target it cannot draw into.
    virtual win::HRESULT Create(DeviceSurface& target, std::shared_ptr<win::IDirect3DDevice7>* device) = 0;
};

}  // namespace vx::dx
