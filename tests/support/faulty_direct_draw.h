// The DirectDraw stand-in with faults to order: surfaces it refuses, devices
// it lists with other marks or not at all, devices it refuses to make; and
// the palette the program made, to look at. The faults are read when the
// program asks, so a test may set them after the window is made.
#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "platform/dx/device_factory.h"
#include "platform/dx/soft/soft_direct_draw.h"

namespace vx::test {

// The palette the program made last and the flags it asked for.
struct MadePalette {
    win::DWORD flags = 0;
    std::shared_ptr<win::IDirectDrawPalette> palette;
};

struct DirectDrawFaults {
    std::function<bool(const win::DDSURFACEDESC2&)> refuseSurface;
    bool everyDeviceHardware = false;    // every device listed as hardware-rasterised
    bool noDevices = false;              // no device listed
    bool refuseDevices = false;          // CreateDevice fails
    MadePalette* madePalette = nullptr;  // where to keep the palette made, when set
};

class FaultyDirect3D final : public win::IDirect3D7 {
public:
    FaultyDirect3D(std::shared_ptr<win::IDirect3D7> inner, const DirectDrawFaults& faults)
        : m_inner(std::move(inner)), m_faults(faults) {}
    win::HRESULT EnumDevices(const win::LPD3DENUMDEVICESCALLBACK7& callback) override {
        if (m_faults.noDevices) return win::D3D_OK;
        const bool marked = m_faults.everyDeviceHardware;
        return m_inner->EnumDevices(
            [&callback, marked](const char* description, const char* name, const win::D3DDEVICEDESC7& device) {
                win::D3DDEVICEDESC7 listed = device;
                if (marked) listed.dwDevCaps |= win::D3DDEVCAPS_HWRASTERIZATION;
                return callback(description, name, listed);
            });
    }
    win::HRESULT CreateDevice(const win::GUID& guid, win::IDirectDrawSurface7* target,
                              std::shared_ptr<win::IDirect3DDevice7>* device) override {
        if (m_faults.refuseDevices) return win::DDERR_GENERIC;
        return m_inner->CreateDevice(guid, target, device);
    }

private:
    std::shared_ptr<win::IDirect3D7> m_inner;
    const DirectDrawFaults& m_faults;
};

class FaultyDirectDraw final : public win::IDirectDraw7 {
public:
    FaultyDirectDraw(std::shared_ptr<win::IDirectDraw7> inner, const DirectDrawFaults& faults)
        : m_inner(std::move(inner)), m_faults(faults) {}

    win::HRESULT GetCaps(win::DDCAPS* driver, win::DDCAPS* emulation) override { return m_inner->GetCaps(driver, emulation); }
    win::HRESULT SetCooperativeLevel(win::HWND window, win::DWORD flags) override {
        return m_inner->SetCooperativeLevel(window, flags);
    }
    win::HRESULT CreateSurface(win::DDSURFACEDESC2* d, std::shared_ptr<win::IDirectDrawSurface7>* surface) override {
        if (d != nullptr && m_faults.refuseSurface && m_faults.refuseSurface(*d)) return win::DDERR_OUTOFVIDEOMEMORY;
        return m_inner->CreateSurface(d, surface);
    }
    win::HRESULT CreateClipper(win::DWORD flags, std::shared_ptr<win::IDirectDrawClipper>* clipper) override {
        return m_inner->CreateClipper(flags, clipper);
    }
    win::HRESULT CreatePalette(win::DWORD flags, const win::PALETTEENTRY* entries,
                               std::shared_ptr<win::IDirectDrawPalette>* palette) override {
        const win::HRESULT result = m_inner->CreatePalette(flags, entries, palette);
        if (win::SUCCEEDED(result) && m_faults.madePalette != nullptr) *m_faults.madePalette = MadePalette{flags, *palette};
        return result;
    }
    win::HRESULT WaitForVerticalBlank(win::DWORD flags, win::HANDLE event) override {
        return m_inner->WaitForVerticalBlank(flags, event);
    }
    win::HRESULT QueryDirect3D7(std::shared_ptr<win::IDirect3D7>* direct3D) override {
        const win::HRESULT result = m_inner->QueryDirect3D7(direct3D);
        if (win::SUCCEEDED(result) && *direct3D) *direct3D = std::make_shared<FaultyDirect3D>(*direct3D, m_faults);
        return result;
    }

private:
    std::shared_ptr<win::IDirectDraw7> m_inner;
    const DirectDrawFaults& m_faults;
};

class FaultyDirectDrawLibrary final : public win::DirectDrawLibrary {
public:
    // extra: a device listed after the stand-in's own, when not null.
    FaultyDirectDrawLibrary(dx::PresentationTarget& target, std::shared_ptr<dx::DeviceFactory> extra,
                            const DirectDrawFaults& faults)
        : m_inner(target), m_faults(faults) {
        m_inner.AddDeviceFactory(std::move(extra));
    }
    win::HRESULT DirectDrawCreateEx(const win::GUID* driver, std::shared_ptr<win::IDirectDraw7>* directDraw) override {
        std::shared_ptr<win::IDirectDraw7> inner;
        const win::HRESULT result = m_inner.DirectDrawCreateEx(driver, &inner);
        if (win::FAILED(result)) return result;
        *directDraw = std::make_shared<FaultyDirectDraw>(std::move(inner), m_faults);
        return win::DD_OK;
    }

private:
    dx::SoftDirectDrawLibrary m_inner;
    const DirectDrawFaults& m_faults;
};

}  // namespace vx::test
