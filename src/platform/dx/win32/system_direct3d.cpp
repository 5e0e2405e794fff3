// The Direct3D 7 half of the bridge to the system's DirectDraw.

#include <exception>

#include "platform/dx/win32/system_com.h"

namespace vx::dx::system {

namespace {

static_assert(kSameRecord<win::D3DDEVICEDESC7, ::D3DDEVICEDESC7>);
static_assert(offsetof(win::D3DDEVICEDESC7, deviceGUID) == offsetof(::D3DDEVICEDESC7, deviceGUID));
static_assert(kSameRecord<win::DDPIXELFORMAT, ::DDPIXELFORMAT>);
static_assert(kSameRecord<win::D3DMATRIX, ::D3DMATRIX>);
static_assert(kSameRecord<win::D3DVIEWPORT7, ::D3DVIEWPORT7>);
static_assert(kSameRecord<win::D3DMATERIAL7, ::D3DMATERIAL7>);
static_assert(kSameRecord<win::D3DRECT, ::D3DRECT>);

// The program's callbacks run inside the system's enumeration; an exception
// must not cross the system's frames, so it waits there and is thrown again
// once the system has returned.
template <typename Callback>
struct Enumeration {
    const Callback& callback;
    std::exception_ptr failure;

    template <typename Call>
    HRESULT Run(Call&& call) {
        try {
            return call();
        } catch (...) {
            failure = std::current_exception();
            return D3DENUMRET_CANCEL;
        }
    }
};

// Runs the system's enumeration, start(context) handing EachDevice or
// EachFormat the context, and throws what a callback threw.
template <typename Callback, typename Start>
win::HRESULT Enumerate(const Callback& callback, Start start) {
    Enumeration<Callback> enumeration{callback, nullptr};
    const HRESULT result = start(&enumeration);
    if (enumeration.failure) std::rethrow_exception(enumeration.failure);
    return result;
}

HRESULT CALLBACK EachDevice(char* description, char* name, ::D3DDEVICEDESC7* device, void* context) {
    auto& self = *static_cast<Enumeration<win::LPD3DENUMDEVICESCALLBACK7>*>(context);
    return self.Run([&] {
        win::D3DDEVICEDESC7 ours{};
        if (device != nullptr) std::memcpy(&ours, device, sizeof ours);
        return self.callback(description != nullptr ? description : "", name != nullptr ? name : "", ours);
    });
}

HRESULT CALLBACK EachFormat(::DDPIXELFORMAT* format, void* context) {
    auto& self = *static_cast<Enumeration<win::LPD3DENUMPIXELFORMATSCALLBACK>*>(context);
    return self.Run([&] {
        win::DDPIXELFORMAT ours{};
        if (format != nullptr) std::memcpy(&ours, format, sizeof ours);
        return self.callback(ours);
    });
}

::IDirectDrawSurface7* ComOf(win::IDirectDrawSurface7* surface) {
    auto* own = dynamic_cast<SystemSurface*>(surface);
    return own != nullptr ? own->Com() : nullptr;
}

class SystemDevice final : public win::IDirect3DDevice7 {
public:
    SystemDevice(DirectDrawRef owner, ComRef<::IDirect3DDevice7> device)
        : m_owner(std::move(owner)), m_device(std::move(device)) {}

    win::HRESULT EnumTextureFormats(const win::LPD3DENUMPIXELFORMATSCALLBACK& callback) override {
        return Enumerate(callback, [this](void* context) { return m_device->EnumTextureFormats(&EachFormat, context); });
    }
    win::HRESULT BeginScene() override { return m_device->BeginScene(); }
    win::HRESULT EndScene() override { return m_device->EndScene(); }
    win::HRESULT Clear(win::DWORD count, const win::D3DRECT* rects, win::DWORD flags, win::D3DCOLOR color, float z,
                       win::DWORD stencil) override {
        return m_device->Clear(count, AsSystem<::D3DRECT>(rects), flags, color, z, stencil);
    }
    win::HRESULT SetTransform(win::DWORD state, const win::D3DMATRIX* matrix) override {
        return m_device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(state), AsSystem<::D3DMATRIX>(matrix));
    }
    win::HRESULT SetViewport(const win::D3DVIEWPORT7* viewport) override {
        return m_device->SetViewport(AsSystem<::D3DVIEWPORT7>(viewport));
    }
    win::HRESULT SetMaterial(const win::D3DMATERIAL7* material) override {
        return m_device->SetMaterial(AsSystem<::D3DMATERIAL7>(material));
    }
    win::HRESULT SetRenderState(win::DWORD state, win::DWORD value) override {
        return m_device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), value);
    }
    win::HRESULT DrawPrimitive(win::DWORD primitiveType, win::DWORD vertexFormat, const void* vertices, win::DWORD count,
                               win::DWORD flags) override {
        return m_device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(primitiveType), vertexFormat, const_cast<void*>(vertices),
                                       count, flags);
    }
    win::HRESULT SetTexture(win::DWORD stage, win::IDirectDrawSurface7* texture) override {
        ::IDirectDrawSurface7* com = nullptr;
        if (texture != nullptr && (com = ComOf(texture)) == nullptr) return DDERR_INVALIDPARAMS;
        return m_device->SetTexture(stage, com);
    }

private:
    DirectDrawRef m_owner;
    ComRef<::IDirect3DDevice7> m_device;
};

class SystemDirect3D final : public win::IDirect3D7 {
public:
    SystemDirect3D(DirectDrawRef owner, ComRef<::IDirect3D7> direct3D)
        : m_owner(std::move(owner)), m_direct3D(std::move(direct3D)) {}

    win::HRESULT EnumDevices(const win::LPD3DENUMDEVICESCALLBACK7& callback) override {
        return Enumerate(callback, [this](void* context) { return m_direct3D->EnumDevices(&EachDevice, context); });
    }
    win::HRESULT CreateDevice(const win::GUID& deviceGuid, win::IDirectDrawSurface7* renderTarget,
                              std::shared_ptr<win::IDirect3DDevice7>* device) override {
        if (device == nullptr) return DDERR_INVALIDPARAMS;
        ::IDirectDrawSurface7* target = ComOf(renderTarget);
        if (target == nullptr) return DDERR_INVALIDPARAMS;
        ComRef<::IDirect3DDevice7> made;
        const ::GUID guid = SystemGuid(deviceGuid);
        const HRESULT result = m_direct3D->CreateDevice(guid, target, made.Out());
        if (SUCCEEDED(result)) *device = std::make_shared<SystemDevice>(m_owner, std::move(made));
        return result;
    }

private:
    DirectDrawRef m_owner;
    ComRef<::IDirect3D7> m_direct3D;
};

}  // namespace

std::shared_ptr<win::IDirect3D7> MakeSystemDirect3D(DirectDrawRef owner, ComRef<::IDirect3D7> direct3D) {
    return std::make_shared<SystemDirect3D>(std::move(owner), std::move(direct3D));
}

}  // namespace vx::dx::system
