// Inside the bridge to the system's DirectDraw (system_direct_draw.h): the
// system's headers, the ownership of its COM objects, and the wrappers that
// the two halves of the bridge hand each other. Included only by this
// folder's implementation files: the system's macros would rename the
// program's own constants everywhere else.
#pragma once

// The program's headers come first: after them the system's headers may
// define their macros without renaming anything the program declares. Code
// below uses the system's names for constants and the win:: names only for
// the program's records.
#include <cstring>
#include <memory>
#include <type_traits>

#include "platform/dx/d3d.h"
#include "platform/dx/ddraw.h"
#include "platform/dx/device_context_pixels.h"

// <windows.h> comes with the GDI objects' header.
#include "platform/win32/gdi_objects.h"

#include <ddraw.h>

#include <d3d.h>

namespace vx::dx::system {

// One reference to a COM object, released with the holder.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    // Takes over a reference the system handed out.
    explicit ComRef(Interface* object) : m_object(object) {}
    ~ComRef() { Reset(); }
    ComRef(ComRef&& other) noexcept : m_object(other.m_object) { other.m_object = nullptr; }
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            m_object = other.m_object;
            other.m_object = nullptr;
        }
        return *this;
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    Interface* Get() const { return m_object; }
    Interface* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    // For the system's out-parameters: the old reference goes first.
    Interface** Out() {
        Reset();
        return &m_object;
    }
    void Reset() {
        if (m_object != nullptr) m_object->Release();
        m_object = nullptr;
    }

private:
    Interface* m_object = nullptr;
};

// The DirectDraw object, kept alive by every object made from it: the
// system releases a DirectDraw object's surfaces with it.
using DirectDrawRef = std::shared_ptr<ComRef<::IDirectDraw7>>;

// The program's records are the system's, field for field; these are the
// ones passed to the system by pointer.
template <typename Ours, typename Systems>
constexpr bool kSameRecord = sizeof(Ours) == sizeof(Systems) &&
                             alignof(Ours) <= alignof(Systems) && std::is_trivially_copyable_v<Ours>;

template <typename Systems, typename Ours>
Systems* AsSystem(Ours* record) {
    static_assert(kSameRecord<std::remove_const_t<Ours>, Systems>);
    return reinterpret_cast<Systems*>(const_cast<std::remove_const_t<Ours>*>(record));
}

inline ::GUID SystemGuid(const win::GUID& guid) {
    ::GUID result;
    static_assert(sizeof result == sizeof guid);
    std::memcpy(&result, &guid, sizeof result);
    return result;
}

inline win::GUID ProgramGuid(const ::GUID& guid) {
    win::GUID result;
    std::memcpy(&result, &guid, sizeof result);
    return result;
}

inline ::HWND SystemWindow(win::HWND window) { return reinterpret_cast<::HWND>(win::HandleValue(window)); }

// A surface of the system's, as the program holds it.
class SystemSurface final : public win::IDirectDrawSurface7, public DeviceContextPixels {
public:
    SystemSurface(DirectDrawRef owner, ComRef<::IDirectDrawSurface7> surface)
        : m_owner(std::move(owner)), m_surface(std::move(surface)) {}

    ::IDirectDrawSurface7* Com() const { return m_surface.Get(); }

    win::HRESULT Blt(win::RECT* destRect, win::IDirectDrawSurface7* source, win::RECT* sourceRect, win::DWORD flags,
                     win::DDBLTFX* fx) override;
    win::HRESULT IsLost() override { return m_surface->IsLost(); }
    win::HRESULT Restore() override { return m_surface->Restore(); }
    win::HRESULT Lock(win::RECT* rect, win::DDSURFACEDESC2* description, win::DWORD flags, win::HANDLE event) override;
    win::HRESULT Unlock(win::RECT* rect) override { return m_surface->Unlock(AsSystem<::RECT>(rect)); }
    win::HRESULT GetDC(win::HDC* dc) override;
    win::HRESULT ReleaseDC(win::HDC dc) override;
    win::HRESULT SetClipper(std::shared_ptr<win::IDirectDrawClipper> clipper) override;
    win::HRESULT SetPalette(std::shared_ptr<win::IDirectDrawPalette> palette) override;
    win::HRESULT GetSurfaceDesc(win::DDSURFACEDESC2* description) override;
    win::HRESULT AddAttachedSurface(std::shared_ptr<win::IDirectDrawSurface7> surface) override;

    bool ReadDeviceContext(win::HDC dc, const win::RECT& area, std::uint32_t* pixels, int pitchPixels) override;
    bool WriteDeviceContext(win::HDC dc, const win::RECT& area, const std::uint32_t* pixels, int pitchPixels) override;

private:
    // The scratch bitmap at least width x height, kept for the next copy so
    // that text on every frame allocates nothing.
    bool EnsureScratch(int width, int height);

    DirectDrawRef m_owner;
    ComRef<::IDirectDrawSurface7> m_surface;
    gdi::DibSection m_scratch;
};

// The Direct3D 7 object of a DirectDraw object (system_direct3d.cpp).
std::shared_ptr<win::IDirect3D7> MakeSystemDirect3D(DirectDrawRef owner, ComRef<::IDirect3D7> direct3D);

}  // namespace vx::dx::system
