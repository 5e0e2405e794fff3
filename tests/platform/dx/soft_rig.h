// A fake window system for the DirectDraw stand-in, and a rig holding a
// software device on a small render target, for tests of both.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dx/soft/soft_direct_draw.h"

namespace vx::dx::testing {

using namespace vx::win;

class FakePresentation final : public PresentationTarget {
public:
    struct Frame {
        HWND window;
        RECT dest;
        int width;
        int height;
        std::vector<std::uint32_t> pixels;  // rows width apart
    };

    void Present(HWND window, const std::uint32_t* pixels, int pitchPixels, int width, int height,
                 const RECT& destInClient) override {
        Frame frame{window, destInClient, width, height, {}};
        for (int y = 0; y < height; ++y) {
            frame.pixels.insert(frame.pixels.end(), pixels + y * pitchPixels, pixels + y * pitchPixels + width);
        }
        frames.push_back(std::move(frame));
    }
    bool CanShow() const override { return canShow; }
    RECT ClientRectOf(HWND window) const override {
        const auto found = clients.find(window);
        return found != clients.end() ? found->second : RECT{};
    }
    DisplayMode CurrentDisplayMode() const override { return mode; }
    bool WaitForVerticalBlank() override { return hasVerticalBlank; }
    DWORD NowMs() const override { return now; }
    void SleepMs(DWORD ms) override {
        if (clockRuns) now += ms;
    }
    std::shared_ptr<DeviceFactory> DisplayDeviceFactory() override { return displayDevice; }

    std::vector<Frame> frames;
    bool canShow = true;
    std::map<HWND, RECT> clients;
    DisplayMode mode{1024, 768, 32, 0};
    bool hasVerticalBlank = false;
    bool clockRuns = true;
    DWORD now = 0;
    std::shared_ptr<DeviceFactory> displayDevice;
};

inline DDSURFACEDESC2 PlainSurfaceDescription(int width, int height, DWORD caps) {
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    description.dwWidth = static_cast<DWORD>(width);
    description.dwHeight = static_cast<DWORD>(height);
    description.ddsCaps.dwCaps = caps;
    return description;
}

// Surface pixels as 0x00RRGGBB through Lock.
inline std::vector<std::uint32_t> ReadPixels(IDirectDrawSurface7& surface) {
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    if (FAILED(surface.Lock(nullptr, &description, DDLOCK_WAIT, HANDLE{}))) return {};
    std::vector<std::uint32_t> pixels;
    for (DWORD y = 0; y < description.dwHeight; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::byte*>(description.lpSurface) +
                                                                 static_cast<std::ptrdiff_t>(y) * description.lPitch);
        for (DWORD x = 0; x < description.dwWidth; ++x) pixels.push_back(row[x] & 0x00FFFFFFu);
    }
    surface.Unlock(nullptr);
    return pixels;
}

// A device with identity transforms, no lighting and no culling on a
// width x height target cleared to black.
struct SoftRig {
    SoftRig(int targetWidth, int targetHeight) : width(targetWidth), height(targetHeight) {
        EXPECT_EQ(library.DirectDrawCreateEx(nullptr, &directDraw), DD_OK);
        DDSURFACEDESC2 description = PlainSurfaceDescription(width, height, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
        EXPECT_EQ(directDraw->CreateSurface(&description, &target), DD_OK);
        EXPECT_EQ(directDraw->QueryDirect3D7(&direct3D), DD_OK);
        EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DRGBDevice, target.get(), &device), DD_OK);
        device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    }

    // Clip-space x and y of a screen point under identity transforms.
    float ClipX(float screenX) const { return 2.0f * screenX / static_cast<float>(width) - 1.0f; }
    float ClipY(float screenY) const { return 1.0f - 2.0f * screenY / static_cast<float>(height); }

    std::shared_ptr<IDirectDrawSurface7> MakeTexture(int textureWidth, int textureHeight, const DDPIXELFORMAT* format) {
        DDSURFACEDESC2 description = PlainSurfaceDescription(textureWidth, textureHeight, DDSCAPS_TEXTURE);
        if (format != nullptr) {
            description.dwFlags |= DDSD_PIXELFORMAT;
            description.ddpfPixelFormat = *format;
        }
        std::shared_ptr<IDirectDrawSurface7> texture;
        EXPECT_EQ(directDraw->CreateSurface(&description, &texture), DD_OK);
        return texture;
    }

    std::vector<std::uint32_t> Pixels() { return ReadPixels(*target); }
    std::uint32_t Pixel(int x, int y) { return Pixels().at(static_cast<std::size_t>(y * width + x)); }

    int width;
    int height;
    FakePresentation presentation;
    SoftDirectDrawLibrary library{presentation};
    std::shared_ptr<IDirectDraw7> directDraw;
    std::shared_ptr<IDirectDrawSurface7> target;
    std::shared_ptr<IDirect3D7> direct3D;
    std::shared_ptr<IDirect3DDevice7> device;
};

}  // namespace vx::dx::testing
