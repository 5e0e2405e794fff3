// The window back end of the platform the program is built for, under one
// name, as platform/native_services.h and platform/dx/native_direct_draw.h
// name the services and the DirectDraw: NativeWindowBackend is Win32Backend
// on Windows and SdlBackend on Linux. Its constructor throws
// NativeWindowBackendError when no window can be made (no display, or the
// system refuses the window class); ReportNativeWindowBackendError tells the
// user so, the program having no window to show it in.
#pragma once

#include <cstdio>
#include <string>

#if defined(_WIN32)
#include "framework/win32/win32_backend.h"
namespace vx {
using NativeWindowBackend = Win32Backend;
using NativeWindowBackendError = Win32WindowError;
// On stderr as "program: message", and in the system's error box titled
// title: a program without a console would otherwise say nothing.
inline void ReportNativeWindowBackendError(const std::string& program, const std::string& title, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", program.c_str(), message.c_str());
    ShowSystemErrorBox(title, message);
}
}  // namespace vx
#else
#include "framework/sdl/sdl_backend.h"
namespace vx {
using NativeWindowBackend = SdlBackend;
using NativeWindowBackendError = DisplayUnavailable;
// On stderr only, as "program: message": without a display there is nothing
// to show a box on.
inline void ReportNativeWindowBackendError(const std::string& program, const std::string& /*title*/, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", program.c_str(), message.c_str());
}
}  // namespace vx
#endif
