// The system services of the platform the program is built for, under one
// name, so that the program's start and the tests that need the real machine
// do not name a platform: NativeSystemServices is PosixSystemServices on
// Linux and Win32SystemServices on Windows. Both take SetDisplayFacts; on
// Windows the screen answers GetDC itself and the facts are not needed.
#pragma once

#if defined(_WIN32)
#include "platform/win32/win32_system_services.h"
namespace vx::win {
using NativeSystemServices = Win32SystemServices;
}
#else
#include "platform/posix/posix_system_services.h"
namespace vx::win {
using NativeSystemServices = PosixSystemServices;
}
#endif
