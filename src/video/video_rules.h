// The video test's decisions that need no device: which options are in
// force, which 3D device is taken, and how two frame rates score.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/dx/d3d.h"
#include "platform/dx/ddraw.h"
#include "video/dx_draw.h"

namespace vx {

// The options in force for a surface that is not initialised: full-screen,
// 3D and memory options that do not apply are dropped, and so is the
// hardware request, which only the device step can grant.
TDXDrawOptions FilterOptions(TDXDrawOptions requested);
// The options in force when new ones are set on an initialised surface:
// only the presentation options (vertical-blank wait, stretch, centre) are
// taken; everything else stays as it was.
TDXDrawOptions FilterOptionsWhileInitialized(TDXDrawOptions active, TDXDrawOptions requested);

// The palette set on the surfaces of an 8-bit display: the colour table,
// but for its first and last ten entries, which stay the system's fixed
// colours (the ones the desktop's other windows are drawn with) unless the
// options allow the palette all 256.
PaletteTable SurfacePalette(const PaletteTable& colorTable, const PaletteTable& systemColorTable, TDXDrawOptions activeOptions);

constexpr TDXDrawOptions kPresentationOptionMask = 0x80C8;
constexpr TDXDrawOptions kKeptOptionMask = 0x7F37;

// One device as the 3D object enumerates it.
struct DeviceCandidate {
    win::GUID guid{};
    win::D3DDEVICEDESC7 description{};
};

// The render bit-depth flag for a surface's bits per pixel (0 for none).
win::DWORD RenderBitDepthFlag(int bitsPerPixel);

// Chooses among enumerated devices: hardware-rasterised ones only when
// hardware is wanted, never the reference rasteriser, only devices that
// render at the back surface's depth; a hardware device beats a software
// one and among equals the last enumerated wins. Nothing when none fits.
//
// A system may mark every device as hardware-rasterised, its software
// emulation included (Wine draws them all through OpenGL). Without hardware
// wanted nothing would then fit, and the test would stop at "3D device not
// found" on a machine with three working devices; the software emulation
// device (IID_IDirect3DRGBDevice) is then taken by its name, as the
// software device it is: the surface does not report it as hardware.
std::optional<std::size_t> ChooseDevice(const std::vector<DeviceCandidate>& devices, bool hardwareWanted,
                                        int backSurfaceBitsPerPixel);

}  // namespace vx
