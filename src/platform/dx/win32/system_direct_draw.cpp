#include "platform/dx/win32/system_direct_draw.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "platform/dx/refresh_clock.h"
#include "platform/dx/win32/system_com.h"

#include <mmsystem.h>

namespace vx::dx::system {

namespace {

static_assert(kSameRecord<win::DDSURFACEDESC2, ::DDSURFACEDESC2>);
static_assert(offsetof(win::DDSURFACEDESC2, lpSurface) == offsetof(::DDSURFACEDESC2, lpSurface));
static_assert(offsetof(win::DDSURFACEDESC2, ddpfPixelFormat) == offsetof(::DDSURFACEDESC2, ddpfPixelFormat));
static_assert(offsetof(win::DDSURFACEDESC2, ddsCaps) == offsetof(::DDSURFACEDESC2, ddsCaps));
static_assert(kSameRecord<win::DDCAPS, ::DDCAPS_DX7>);
static_assert(offsetof(win::DDCAPS, ddsCaps) == offsetof(::DDCAPS_DX7, ddsCaps));
static_assert(kSameRecord<win::DDBLTFX, ::DDBLTFX>);
static_assert(offsetof(win::DDBLTFX, dwFillColor) == offsetof(::DDBLTFX, dwFillColor));

// ---------------------------------------------------------------- the library

// Libraries the program loads itself, by lower-cased name: each is loaded at
// its first request and kept for the rest of the program.
HMODULE LoadedLibrary(const std::string& name) {
    static std::map<std::string, HMODULE> loaded;
    std::string key = name;
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    auto found = loaded.find(key);
    if (found != loaded.end()) return found->second;
    HMODULE module = LoadLibraryA(name.c_str());
    if (module != nullptr) loaded.emplace(key, module);
    return module;
}

using DirectDrawCreateExFunction = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);

// ---------------------------------------------------------------- small objects

class SystemClipper final : public win::IDirectDrawClipper {
public:
    SystemClipper(DirectDrawRef owner, ComRef<::IDirectDrawClipper> clipper)
        : m_owner(std::move(owner)), m_clipper(std::move(clipper)) {}
    ::IDirectDrawClipper* Com() const { return m_clipper.Get(); }
    win::HRESULT SetHWnd(win::DWORD flags, win::HWND window) override { return m_clipper->SetHWnd(flags, SystemWindow(window)); }

private:
    DirectDrawRef m_owner;
    ComRef<::IDirectDrawClipper> m_clipper;
};

class SystemPalette final : public win::IDirectDrawPalette {
public:
    SystemPalette(DirectDrawRef owner, ComRef<::IDirectDrawPalette> palette)
        : m_owner(std::move(owner)), m_palette(std::move(palette)) {}
    ::IDirectDrawPalette* Com() const { return m_palette.Get(); }
    win::HRESULT GetEntries(win::DWORD flags, win::DWORD base, win::DWORD count, win::PALETTEENTRY* entries) override {
        return m_palette->GetEntries(flags, base, count, AsSystem<::PALETTEENTRY>(entries));
    }
    win::HRESULT SetEntries(win::DWORD flags, win::DWORD startingEntry, win::DWORD count,
                            const win::PALETTEENTRY* entries) override {
        return m_palette->SetEntries(flags, startingEntry, count, AsSystem<::PALETTEENTRY>(entries));
    }

private:
    DirectDrawRef m_owner;
    ComRef<::IDirectDrawPalette> m_palette;
};

// ---------------------------------------------------------------- the DirectDraw object

class SystemDirectDraw final : public win::IDirectDraw7 {
public:
    explicit SystemDirectDraw(DirectDrawRef directDraw) : m_directDraw(std::move(directDraw)) {}

    win::HRESULT GetCaps(win::DDCAPS* driverCaps, win::DDCAPS* emulationCaps) override {
        return Com()->GetCaps(AsSystem<::DDCAPS_DX7>(driverCaps), AsSystem<::DDCAPS_DX7>(emulationCaps));
    }
    win::HRESULT SetCooperativeLevel(win::HWND window, win::DWORD flags) override {
        return Com()->SetCooperativeLevel(SystemWindow(window), flags);
    }
    win::HRESULT CreateSurface(win::DDSURFACEDESC2* description, std::shared_ptr<win::IDirectDrawSurface7>* surface) override {
        if (surface == nullptr) return DDERR_INVALIDPARAMS;
        ComRef<::IDirectDrawSurface7> made;
        const HRESULT result = Com()->CreateSurface(AsSystem<::DDSURFACEDESC2>(description), made.Out(), nullptr);
        if (SUCCEEDED(result)) *surface = std::make_shared<SystemSurface>(m_directDraw, std::move(made));
        return result;
    }
    win::HRESULT CreateClipper(win::DWORD flags, std::shared_ptr<win::IDirectDrawClipper>* clipper) override {
        if (clipper == nullptr) return DDERR_INVALIDPARAMS;
        ComRef<::IDirectDrawClipper> made;
        const HRESULT result = Com()->CreateClipper(flags, made.Out(), nullptr);
        if (SUCCEEDED(result)) *clipper = std::make_shared<SystemClipper>(m_directDraw, std::move(made));
        return result;
    }
    win::HRESULT CreatePalette(win::DWORD flags, const win::PALETTEENTRY* entries,
                               std::shared_ptr<win::IDirectDrawPalette>* palette) override {
        if (palette == nullptr) return DDERR_INVALIDPARAMS;
        ComRef<::IDirectDrawPalette> made;
        const HRESULT result = Com()->CreatePalette(flags, AsSystem<::PALETTEENTRY>(entries), made.Out(), nullptr);
        if (SUCCEEDED(result)) *palette = std::make_shared<SystemPalette>(m_directDraw, std::move(made));
        return result;
    }
    // The system's wait; where the system answers it at once, time and
    // again (VerticalBlankSignal), the refresh period is waited by the clock,
    // so that a frame per wait still cannot outrun the display.
    win::HRESULT WaitForVerticalBlank(win::DWORD flags, win::HANDLE event) override {
        const DWORD start = timeGetTime();
        const HRESULT result = Com()->WaitForVerticalBlank(flags, reinterpret_cast<HANDLE>(win::HandleValue(event)));
        const bool waitsForTheBlank = (flags & (DDWAITVB_BLOCKBEGIN | DDWAITVB_BLOCKEND)) != 0;
        if (SUCCEEDED(result) && waitsForTheBlank && m_signal.Observe(timeGetTime() - start)) {
            DWORD hertz = 0;
            if (FAILED(Com()->GetMonitorFrequency(&hertz))) hertz = 0;
            WaitForNextRefreshPeriod([] { return static_cast<win::DWORD>(timeGetTime()); }, [](win::DWORD ms) { Sleep(ms); },
                                     static_cast<int>(hertz));
        }
        return result;
    }
    win::HRESULT QueryDirect3D7(std::shared_ptr<win::IDirect3D7>* direct3D) override {
        if (direct3D == nullptr) return DDERR_INVALIDPARAMS;
        ComRef<::IDirect3D7> made;
        const HRESULT result = Com()->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(made.Out()));
        if (SUCCEEDED(result)) *direct3D = MakeSystemDirect3D(m_directDraw, std::move(made));
        return result;
    }

private:
    ::IDirectDraw7* Com() const { return m_directDraw->Get(); }

    DirectDrawRef m_directDraw;
    VerticalBlankSignal m_signal;
};

class SystemDirectDrawLibrary final : public win::DirectDrawLibrary {
public:
    explicit SystemDirectDrawLibrary(DirectDrawCreateExFunction create) : m_create(create) {}

    win::HRESULT DirectDrawCreateEx(const win::GUID* driver, std::shared_ptr<win::IDirectDraw7>* directDraw) override {
        if (directDraw == nullptr) return DDERR_INVALIDPARAMS;
        ::GUID driverGuid{};
        if (driver != nullptr) driverGuid = SystemGuid(*driver);
        auto made = std::make_shared<ComRef<::IDirectDraw7>>();
        const HRESULT result =
            m_create(driver != nullptr ? &driverGuid : nullptr, reinterpret_cast<void**>(made->Out()), IID_IDirectDraw7, nullptr);
        if (SUCCEEDED(result)) *directDraw = std::make_shared<SystemDirectDraw>(std::move(made));
        return result;
    }

private:
    DirectDrawCreateExFunction m_create;
};

::HDC SystemDc(win::HDC dc) { return reinterpret_cast<::HDC>(win::HandleValue(dc)); }

}  // namespace

// ---------------------------------------------------------------- surfaces

win::HRESULT SystemSurface::Blt(win::RECT* destRect, win::IDirectDrawSurface7* source, win::RECT* sourceRect, win::DWORD flags,
                                win::DDBLTFX* fx) {
    ::IDirectDrawSurface7* from = nullptr;
    if (source != nullptr) {
        auto* own = dynamic_cast<SystemSurface*>(source);
        if (own == nullptr) return DDERR_INVALIDPARAMS;
        from = own->Com();
    }
    return m_surface->Blt(AsSystem<::RECT>(destRect), from, AsSystem<::RECT>(sourceRect), flags, AsSystem<::DDBLTFX>(fx));
}

win::HRESULT SystemSurface::Lock(win::RECT* rect, win::DDSURFACEDESC2* description, win::DWORD flags, win::HANDLE event) {
    return m_surface->Lock(AsSystem<::RECT>(rect), AsSystem<::DDSURFACEDESC2>(description), flags,
                           reinterpret_cast<HANDLE>(win::HandleValue(event)));
}

win::HRESULT SystemSurface::GetDC(win::HDC* dc) {
    if (dc == nullptr) return DDERR_INVALIDPARAMS;
    ::HDC context = nullptr;
    const HRESULT result = m_surface->GetDC(&context);
    if (SUCCEEDED(result)) *dc = static_cast<win::HDC>(reinterpret_cast<std::uintptr_t>(context));
    return result;
}

win::HRESULT SystemSurface::ReleaseDC(win::HDC dc) { return m_surface->ReleaseDC(SystemDc(dc)); }

win::HRESULT SystemSurface::SetClipper(std::shared_ptr<win::IDirectDrawClipper> clipper) {
    if (clipper == nullptr) return m_surface->SetClipper(nullptr);
    auto* own = dynamic_cast<SystemClipper*>(clipper.get());
    if (own == nullptr) return DDERR_INVALIDPARAMS;
    return m_surface->SetClipper(own->Com());
}

win::HRESULT SystemSurface::SetPalette(std::shared_ptr<win::IDirectDrawPalette> palette) {
    if (palette == nullptr) return m_surface->SetPalette(nullptr);
    auto* own = dynamic_cast<SystemPalette*>(palette.get());
    if (own == nullptr) return DDERR_INVALIDPARAMS;
    return m_surface->SetPalette(own->Com());
}

win::HRESULT SystemSurface::GetSurfaceDesc(win::DDSURFACEDESC2* description) {
    return m_surface->GetSurfaceDesc(AsSystem<::DDSURFACEDESC2>(description));
}

win::HRESULT SystemSurface::AddAttachedSurface(std::shared_ptr<win::IDirectDrawSurface7> surface) {
    auto* own = dynamic_cast<SystemSurface*>(surface.get());
    if (own == nullptr) return DDERR_INVALIDPARAMS;
    return m_surface->AddAttachedSurface(own->Com());
}

bool SystemSurface::EnsureScratch(int width, int height) {
    if (m_scratch.Bits() != nullptr && m_scratch.Width() >= width && m_scratch.Height() >= height) return true;
    return m_scratch.Resize(std::max(width, m_scratch.Width()), std::max(height, m_scratch.Height()));
}

bool SystemSurface::ReadDeviceContext(win::HDC dc, const win::RECT& area, std::uint32_t* pixels, int pitchPixels) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0 || pixels == nullptr || !EnsureScratch(width, height)) return false;
    if (!BitBlt(m_scratch.Dc(), 0, 0, width, height, SystemDc(dc), area.left, area.top, SRCCOPY)) return false;
    GdiFlush();
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* from = m_scratch.Bits() + static_cast<std::ptrdiff_t>(y) * m_scratch.Width();
        std::copy(from, from + width, pixels + static_cast<std::ptrdiff_t>(y) * pitchPixels);
    }
    return true;
}

bool SystemSurface::WriteDeviceContext(win::HDC dc, const win::RECT& area, const std::uint32_t* pixels, int pitchPixels) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0 || pixels == nullptr || !EnsureScratch(width, height)) return false;
    GdiFlush();
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* from = pixels + static_cast<std::ptrdiff_t>(y) * pitchPixels;
        std::copy(from, from + width, m_scratch.Bits() + static_cast<std::ptrdiff_t>(y) * m_scratch.Width());
    }
    return BitBlt(SystemDc(dc), area.left, area.top, width, height, m_scratch.Dc(), 0, 0, SRCCOPY) != FALSE;
}

}  // namespace vx::dx::system

namespace vx::dx {

std::unique_ptr<win::DirectDrawLibrary> LoadSystemDirectDraw() {
    HMODULE library = system::LoadedLibrary("DDraw.dll");
    if (library == nullptr) return nullptr;
    auto create = reinterpret_cast<system::DirectDrawCreateExFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "DirectDrawCreateEx")));
    if (create == nullptr) return nullptr;
    return std::make_unique<system::SystemDirectDrawLibrary>(create);
}

}  // namespace vx::dx
