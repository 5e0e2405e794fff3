// The system's own DirectDraw, asked directly through its own headers: the
// yardstick that the bridge's answers are held against. Kept apart from the
// tests because the system's macros would rename the program's constants.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dx/ddraw.h"

namespace vx::dx::testing {

struct SystemDeviceListing {
    std::string name;
    win::GUID guid;
    win::DWORD caps;  // dwDevCaps
};

// The devices IDirect3D7::EnumDevices lists to the system's own callers.
std::vector<SystemDeviceListing> SystemDeviceList();
// The display's refresh rate as DirectDraw reports it; 0 when it does not say.
win::DWORD SystemRefreshRate();
// The handle of "DDraw.dll" in this process, 0 while it is not loaded.
std::uintptr_t DirectDrawModule();
// The system's millisecond clock (timeGetTime).
win::DWORD MillisecondClock();
// Keeps the calling thread busy on one processor for a while; false when the
// thread cannot be bound to it.
bool SpinOnProcessor(unsigned processor, win::DWORD milliseconds);

}  // namespace vx::dx::testing
