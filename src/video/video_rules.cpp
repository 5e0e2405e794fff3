#include "video/video_rules.h"

#include <algorithm>

namespace vx {

using namespace win;

TDXDrawOptions FilterOptions(TDXDrawOptions requested) {
    unsigned o = requested;
    if (!(o & doFullScreen)) o &= ~(doNoWindowChange | doAllowReboot | doAllowPalette256 | doFlip);
    if (!(o & do3D)) o &= ~(doDirectX7Mode | doRetainedMode | doHardware | doSelectDriver | doZBuffer);
    if (o & doSystemMemory) o &= ~doFlip;
    if (o & doDirectX7Mode) o &= ~doRetainedMode;
    o &= ~doHardware;
    return static_cast<TDXDrawOptions>(o);
}

TDXDrawOptions FilterOptionsWhileInitialized(TDXDrawOptions active, TDXDrawOptions requested) {
    unsigned o = (requested & kPresentationOptionMask) | (active & kKeptOptionMask);
    if (!(o & do3D)) o &= ~(doRetainedMode | doHardware | doSelectDriver | doZBuffer);
    return static_cast<TDXDrawOptions>(o);
}

PaletteTable SurfacePalette(const PaletteTable& colorTable, const PaletteTable& systemColorTable, TDXDrawOptions activeOptions) {
    PaletteTable palette = colorTable;
    if (activeOptions & doAllowPalette256) return palette;
    constexpr std::size_t kFixedAtEachEnd = 10;
    std::copy_n(systemColorTable.begin(), kFixedAtEachEnd, palette.begin());
    std::copy_n(systemColorTable.end() - kFixedAtEachEnd, kFixedAtEachEnd, palette.end() - kFixedAtEachEnd);
    return palette;
}

DWORD RenderBitDepthFlag(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 8:
            return DDBD_8;
        case 16:
            return DDBD_16;
        case 24:
            return DDBD_24;
        case 32:
            return DDBD_32;
        default:
            return 0;
    }
}

std::optional<std::size_t> ChooseDevice(const std::vector<DeviceCandidate>& devices, bool hardwareWanted,
                                        int backSurfaceBitsPerPixel) {
    std::optional<std::size_t> taken;
    bool takenIsHardware = false;
    DWORD depth = RenderBitDepthFlag(backSurfaceBitsPerPixel);
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const DeviceCandidate& d = devices[i];
        bool hardware = (d.description.dwDevCaps & D3DDEVCAPS_HWRASTERIZATION) != 0;
        if (hardware && !hardwareWanted) continue;
        if (d.guid == IID_IDirect3DRefDevice) continue;
        if ((d.description.dwDeviceRenderBitDepth & depth) == 0) continue;
        if (hardware || !takenIsHardware || !taken) {
            taken = i;
            takenIsHardware = hardware;
        }
    }
    if (!taken && !hardwareWanted) {
        for (std::size_t i = 0; i < devices.size(); ++i) {
            const DeviceCandidate& d = devices[i];
            if (d.guid == IID_IDirect3DRGBDevice && (d.description.dwDeviceRenderBitDepth & depth) != 0) taken = i;
        }
    }
    return taken;
}

}  // namespace vx
