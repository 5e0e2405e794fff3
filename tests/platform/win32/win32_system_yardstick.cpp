#ifdef _WIN32

#include "platform/win32/win32_system_yardstick.h"

#include <cstring>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <d3d.h>
#include <ddraw.h>
#include <mmsystem.h>

namespace vx::dx::testing {

namespace {

// Released with the holder.
template <typename Interface>
struct Held {
    Interface* object = nullptr;
    ~Held() {
        if (object != nullptr) object->Release();
    }
};

bool MakeDirectDraw(Held<::IDirectDraw7>& directDraw) {
    using Create = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);
    HMODULE module = LoadLibraryA("ddraw.dll");
    if (module == nullptr) return false;
    auto create = reinterpret_cast<Create>(reinterpret_cast<void (*)()>(GetProcAddress(module, "DirectDrawCreateEx")));
    return create != nullptr &&
           SUCCEEDED(create(nullptr, reinterpret_cast<void**>(&directDraw.object), IID_IDirectDraw7, nullptr));
}

HRESULT CALLBACK ListDevice(char*, char* name, ::D3DDEVICEDESC7* device, void* context) {
    win::GUID guid;
    std::memcpy(&guid, &device->deviceGUID, sizeof guid);
    static_cast<std::vector<SystemDeviceListing>*>(context)->push_back(SystemDeviceListing{name, guid, device->dwDevCaps});
    return D3DENUMRET_OK;
}

}  // namespace

std::vector<SystemDeviceListing> SystemDeviceList() {
    std::vector<SystemDeviceListing> devices;
    Held<::IDirectDraw7> directDraw;
    Held<::IDirect3D7> direct3D;
    if (!MakeDirectDraw(directDraw) ||
        FAILED(directDraw.object->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D.object)))) {
        return devices;
    }
    direct3D.object->EnumDevices(&ListDevice, &devices);
    return devices;
}

win::DWORD SystemRefreshRate() {
    Held<::IDirectDraw7> directDraw;
    DWORD hertz = 0;
    if (!MakeDirectDraw(directDraw) || FAILED(directDraw.object->GetMonitorFrequency(&hertz))) return 0;
    return hertz;
}

std::uintptr_t DirectDrawModule() { return reinterpret_cast<std::uintptr_t>(GetModuleHandleA("ddraw.dll")); }

win::DWORD MillisecondClock() { return timeGetTime(); }

bool SpinOnProcessor(unsigned processor, win::DWORD milliseconds) {
    const HANDLE thread = GetCurrentThread();
    const DWORD_PTR before = SetThreadAffinityMask(thread, DWORD_PTR{1} << processor);
    if (before == 0) return false;
    const DWORD start = timeGetTime();
    volatile unsigned long long spins = 0;
    while (timeGetTime() - start < milliseconds) spins = spins + 1;
    SetThreadAffinityMask(thread, before);
    return true;
}

}  // namespace vx::dx::testing

#endif  // _WIN32
