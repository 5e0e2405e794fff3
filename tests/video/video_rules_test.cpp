// Option filtering, the device choice and the video score table.
#include <gtest/gtest.h>

#include "video/video_rules.h"

namespace vx {
namespace {

using namespace win;

TEST(OptionFilterTest, NotInitialised) {
    struct Case {
        TDXDrawOptions requested;
        TDXDrawOptions active;
        const char* why;
    };
    const TDXDrawOptions form = doAllowReboot | doWaitVBlank | doCenter | do3D | doDirectX7Mode | doSelectDriver;
    for (const Case& c : {
             Case{form, doWaitVBlank | doCenter | do3D | doDirectX7Mode | doSelectDriver, "the video test's options"},
             Case{static_cast<TDXDrawOptions>(form | doHardware),
                  doWaitVBlank | doCenter | do3D | doDirectX7Mode | doSelectDriver,
                  "hardware is never in force before the device step"},
             Case{0x348C, doWaitVBlank | doCenter, "the default mask without 3D drops the 3D options"},
             Case{doFullScreen | doFlip | doSystemMemory, doFullScreen | doSystemMemory, "system memory cannot flip"},
             Case{do3D | doDirectX7Mode | doRetainedMode, do3D | doDirectX7Mode, "the 7 mode has no retained mode"},
             Case{doFullScreen | doAllowReboot | doNoWindowChange, doFullScreen | doAllowReboot | doNoWindowChange,
                  "full screen keeps its options"},
         }) {
        EXPECT_EQ(FilterOptions(c.requested), c.active) << c.why;
    }
}

TEST(OptionFilterTest, WhileInitialisedOnlyPresentationOptionsChange) {
    TDXDrawOptions active = doWaitVBlank | doCenter | do3D | doDirectX7Mode | doHardware;
    // Dropping the wait and adding stretch takes effect; adding or dropping
    // hardware does not until the next initialisation.
    EXPECT_EQ(FilterOptionsWhileInitialized(active, doStretch | do3D | doDirectX7Mode),
              doStretch | do3D | doDirectX7Mode | doHardware);
    EXPECT_EQ(FilterOptionsWhileInitialized(doWaitVBlank | do3D, doWaitVBlank | do3D | doHardware), doWaitVBlank | do3D);
    EXPECT_EQ(FilterOptionsWhileInitialized(doWaitVBlank | doHardware, doWaitVBlank), doWaitVBlank)
        << "without 3D in force the 3D options go";
}

DeviceCandidate Device(DWORD data1, bool hardware, DWORD depths) {
    DeviceCandidate d;
    d.guid.Data1 = data1;
    d.description.dwDevCaps = hardware ? D3DDEVCAPS_HWRASTERIZATION : 0;
    d.description.dwDeviceRenderBitDepth = depths;
    return d;
}

TEST(DeviceChoiceTest, Table) {
    DeviceCandidate reference = Device(0, false, DDBD_32);
    reference.guid = IID_IDirect3DRefDevice;
    const DeviceCandidate soft = Device(1, false, DDBD_16 | DDBD_32);
    const DeviceCandidate soft2 = Device(2, false, DDBD_32);
    const DeviceCandidate hard = Device(3, true, DDBD_16 | DDBD_32);
    const DeviceCandidate hard16 = Device(4, true, DDBD_16);
    // A system that marks its software emulation as hardware too.
    DeviceCandidate markedEmulation = Device(0, true, DDBD_16 | DDBD_32);
    markedEmulation.guid = IID_IDirect3DRGBDevice;
    struct Case {
        std::vector<DeviceCandidate> devices;
        bool hardwareWanted;
        int depth;
        std::optional<std::size_t> expected;
        const char* why;
    };
    for (const Case& c : {
             Case{{soft, hard}, false, 32, 0, "hardware not wanted"},
             Case{{soft, hard}, true, 32, 1, "hardware wanted and offered"},
             Case{{hard, soft}, true, 32, 0, "hardware beats a later software device"},
             Case{{soft, soft2}, false, 32, 1, "the last enumerated of a kind wins"},
             Case{{reference}, false, 32, std::nullopt, "the reference rasteriser is skipped"},
             Case{{soft, hard16}, true, 32, 0, "the depth must match"},
             Case{{soft2}, false, 16, std::nullopt, "no device for that depth"},
             Case{{}, true, 32, std::nullopt, "nothing enumerated"},
             Case{{hard, markedEmulation}, false, 32, 1, "every device marked hardware: the software emulation"},
             Case{{markedEmulation, hard16}, false, 16, 0, "the emulation device at its depth"},
             Case{{markedEmulation}, false, 8, std::nullopt, "the emulation device must match the depth too"},
             Case{{soft, markedEmulation}, false, 32, 0, "a device marked software still comes first"},
             Case{{hard, markedEmulation}, true, 32, 1, "with hardware wanted the marks decide as usual"},
         }) {
        EXPECT_EQ(ChooseDevice(c.devices, c.hardwareWanted, c.depth), c.expected) << c.why;
    }
}

}  // namespace
}  // namespace vx
