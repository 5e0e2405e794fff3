// The system's own DirectDraw 7 and Direct3D 7 behind the program's
// interfaces (platform/dx/ddraw.h and d3d.h), one to one: every call goes to
// the system's COM object with the same arguments, and its result comes back
// unchanged. Window, device-context and event handles are the system's own.
//
// "DDraw.dll" is not linked: the first LoadSystemDirectDraw loads it and
// keeps it loaded for the rest of the program, later calls reuse it.
#pragma once

#include <memory>

#include "platform/dx/ddraw.h"

namespace vx::dx {

// Null when "DDraw.dll" or its DirectDrawCreateEx cannot be loaded.
std::unique_ptr<win::DirectDrawLibrary> LoadSystemDirectDraw();

}  // namespace vx::dx
