// A device of either kind, the software rasteriser or the OpenGL device,
// on a render target of its own, for the OpenGL tests.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dx/gl/gl_device_factory.h"
#include "platform/dx/soft/soft_direct_draw.h"
#include "platform/dx/soft_rig.h"

namespace vx::dx::testing {

enum class Kind { Software, OpenGL };

// A device of either kind on a width x height render target.
struct DeviceRig {
    DeviceRig(Kind kind, int targetWidth, int targetHeight) : width(targetWidth), height(targetHeight) {
        if (kind == Kind::OpenGL) presentation.displayDevice = std::make_shared<gl::DeviceFactory>();
        library = std::make_unique<SoftDirectDrawLibrary>(presentation);
        if (FAILED(library->DirectDrawCreateEx(nullptr, &directDraw))) return;
        DDSURFACEDESC2 description = PlainSurfaceDescription(width, height, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
        if (FAILED(directDraw->CreateSurface(&description, &target)) || FAILED(directDraw->QueryDirect3D7(&direct3D))) return;
        std::optional<GUID> wanted;
        direct3D->EnumDevices([&](const char* description, const char*, const D3DDEVICEDESC7& device) {
            const bool isOpenGL = std::string(description).rfind("OpenGL", 0) == 0;
            if (isOpenGL == (kind == Kind::OpenGL) && !wanted) wanted = device.deviceGUID;
            return D3DENUMRET_OK;
        });
        if (!wanted || FAILED(direct3D->CreateDevice(*wanted, target.get(), &device))) device.reset();
    }

    void Plain() {
        device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    }
    std::vector<std::uint32_t> Pixels() { return ReadPixels(*target); }

    int width;
    int height;
    FakePresentation presentation;
    std::unique_ptr<SoftDirectDrawLibrary> library;
    std::shared_ptr<IDirectDraw7> directDraw;
    std::shared_ptr<IDirectDrawSurface7> target;
    std::shared_ptr<IDirect3D7> direct3D;
    std::shared_ptr<IDirect3DDevice7> device;
};

}  // namespace vx::dx::testing
