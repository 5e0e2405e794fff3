// The render surface on its own form: its notification list, a change of the
// back surface's size, the fall-back to system memory and the devices' marks,
// over the software DirectDraw stand-in with faults to order.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/form.h"
#include "platform/dx/device_factory.h"
#include "platform/dx/soft/soft_direct_draw.h"
#include "support/faulty_direct_draw.h"
#include "support/headless.h"
#include "video/dx_draw.h"

namespace vx {
namespace {

using namespace win;

// A device that says it rasterises in hardware, so that the stand-in offers
// video memory; it counts the devices asked of it and makes none.
class HardwareOffer final : public dx::DeviceFactory {
public:
    std::optional<dx::DeviceOffer> Offer() override {
        dx::DeviceOffer offer{"Test HAL", "hardware in name only", {}};
        offer.device.dwDevCaps = D3DDEVCAPS_HWRASTERIZATION;
        offer.device.deviceGUID = GUID{0x7e57u, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
        offer.device.dwDeviceRenderBitDepth = DDBD_32;
        return offer;
    }
    HRESULT Create(dx::DeviceSurface&, std::shared_ptr<IDirect3DDevice7>*) override {
        ++creates;
        return DDERR_GENERIC;
    }
    int creates = 0;
};

struct SurfaceOnAForm {
    test::HeadlessBackend backend;
    test::ManualClock clock;
    Application app{backend, clock};
    TForm form{app};
    test::DirectDrawFaults faults;
    std::shared_ptr<HardwareOffer> hardware;  // offered when set before Initialize
    TDXDraw* dx = nullptr;

    SurfaceOnAForm() {
        form.SetBounds(0, 0, 200, 150);
        dx = &form.Make<TDXDraw>([this](dx::PresentationTarget& target) -> std::unique_ptr<DirectDrawLibrary> {
            return std::make_unique<test::FaultyDirectDrawLibrary>(target, hardware, faults);
        });
        dx->SetParent(&form);
        dx->SetAutoInitialize(false);
        dx->SetBounds(10, 10, 64, 48);
        form.ShowWindow();
    }
};

const char* Name(DXDrawNotice n) {
    switch (n) {
        case DXDrawNotice::Initializing: return "initializing";
        case DXDrawNotice::Initialize: return "initialize";
        case DXDrawNotice::InitializeSurface: return "initialize-surface";
        case DXDrawNotice::Restore: return "restore";
        case DXDrawNotice::FinalizeSurface: return "finalize-surface";
        case DXDrawNotice::Finalize: return "finalize";
        case DXDrawNotice::SurfaceSize: return "size";
        case DXDrawNotice::Destroying: return "destroying";
    }
    return "?";
}

TEST(RenderSurfaceTest, NotificationList) {
    std::vector<std::string> heard;
    SurfaceOnAForm s;
    auto member = [&heard](const char* who) {
        return [&heard, who](DXDrawNotice n) { heard.push_back(std::string(who) + " " + Name(n)); };
    };
    const int first = s.dx->RegisterNotification(member("A"));
    EXPECT_EQ(heard, (std::vector<std::string>{"A size"})) << "a member registered early catches up with the size only";
    const int second = s.dx->RegisterNotification(member("B"));
    heard.clear();

    s.dx->Initialize();
    ASSERT_TRUE(s.dx->Initialized());
    // Last registered first, for every notice, in the initialisation's order.
    EXPECT_EQ(heard, (std::vector<std::string>{"B initializing", "A initializing", "B size", "A size", "B initialize",
                                               "A initialize", "B initialize-surface", "A initialize-surface",
                                               "B restore", "A restore"}));

    heard.clear();
    const int late = s.dx->RegisterNotification(member("C"));
    EXPECT_EQ(heard, (std::vector<std::string>{"C size", "C initialize", "C initialize-surface", "C restore"}))
        << "a late member catches up with the whole state";

    heard.clear();
    s.dx->UnregisterNotification(second);
    EXPECT_EQ(heard, (std::vector<std::string>{"B finalize-surface", "B finalize"})) << "leaving while initialised";
    heard.clear();
    s.dx->Finalize();
    EXPECT_EQ(heard, (std::vector<std::string>{"C finalize-surface", "A finalize-surface", "C finalize", "A finalize"}));

    heard.clear();
    s.dx->UnregisterNotification(late);
    s.dx->UnregisterNotification(first);
    EXPECT_TRUE(heard.empty()) << "leaving a finalised surface is told nothing";
}

TEST(RenderSurfaceTest, ResizeMakesTheBackSurfaceAnew) {
    // Declared before the surface, which tells its members of its end.
    std::vector<std::string> heard;
    int events = 0;
    SurfaceOnAForm s;
    s.dx->SetAutoSize(false);
    s.dx->OnFinalizeSurface = [&](TObject*) { heard.push_back("OnFinalizeSurface"); };
    s.dx->OnInitializeSurface = [&](TObject*) { heard.push_back("OnInitializeSurface"); };

    // Not initialised: the size is only stored, and told.
    s.dx->RegisterNotification([&](DXDrawNotice n) {
        ++events;
        heard.push_back(Name(n));
    });
    heard.clear();
    s.dx->SetSurfaceWidth(100);
    EXPECT_EQ(s.dx->SurfaceWidth(), 100);
    EXPECT_EQ(heard, (std::vector<std::string>{"size"}));

    s.dx->Initialize();
    ASSERT_EQ(s.dx->BackSurface()->Width(), 100);
    heard.clear();
    events = 0;
    s.dx->SetSurfaceHeight(48);
    EXPECT_EQ(events, 0) << "an unchanged size does nothing";

    s.dx->SetSurfaceHeight(70);
    EXPECT_EQ(s.dx->BackSurface()->Width(), 100);
    EXPECT_EQ(s.dx->BackSurface()->Height(), 70);
    EXPECT_EQ(heard, (std::vector<std::string>{"finalize-surface", "OnFinalizeSurface", "initialize-surface",
                                               "OnInitializeSurface", "size"}));
    EXPECT_TRUE(s.dx->Initialized());

    // Sizes below 1 are taken as 1 while initialised.
    s.dx->SetSurfaceWidth(0);
    EXPECT_EQ(s.dx->BackSurface()->Width(), 1);

    // With AutoSize the surface follows the control's bounds.
    s.dx->SetAutoSize(true);
    s.dx->SetBounds(10, 10, 40, 30);
    EXPECT_EQ(s.dx->BackSurface()->Width(), 40);
    EXPECT_EQ(s.dx->BackSurface()->Height(), 30);

    // A back surface that cannot be made finalises the surface and reports.
    s.faults.refuseSurface = [](const DDSURFACEDESC2& d) { return (d.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN) != 0; };
    EXPECT_THROW(s.dx->SetSurfaceWidth(50), EDXDrawError);
    EXPECT_FALSE(s.dx->Initialized());
}

TEST(RenderSurfaceTest, BackSurfaceFallsBackToSystemMemory) {
    struct Case {
        const char* name;
        bool refuseVideoMemory;
        bool inSystemMemory;
        bool hardwareAttempted;
    };
    for (const Case& c : {Case{"video memory available", false, false, true},
                          Case{"video memory refused", true, true, false}}) {
        SCOPED_TRACE(c.name);
        SurfaceOnAForm s;
        s.hardware = std::make_shared<HardwareOffer>();
        s.faults.refuseSurface = [&c](const DDSURFACEDESC2& d) {
            return c.refuseVideoMemory && (d.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN) != 0 &&
                   (d.ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY) == 0;
        };
        s.dx->SetOptions(do3D | doDirectX7Mode | doHardware);
        s.dx->Initialize();
        ASSERT_TRUE(s.dx->Initialized());
        EXPECT_EQ(s.dx->BackSurface()->InVideoMemory(), !c.inSystemMemory);
        EXPECT_EQ(static_cast<bool>(s.dx->ActiveOptions() & doSystemMemory), c.inSystemMemory);
        EXPECT_EQ(s.hardware->creates, c.hardwareAttempted ? 1 : 0);
        // The hardware device makes nothing where it is tried: the software
        // device stands in, and the options say so.
        ASSERT_NE(s.dx->Device(), nullptr);
        EXPECT_FALSE(s.dx->DeviceDescription().dwDevCaps & D3DDEVCAPS_HWRASTERIZATION);
        EXPECT_FALSE(s.dx->ActiveOptions() & doHardware);
    }
    // Refused in system memory too: the surface cannot be made at all.
    SurfaceOnAForm s;
    s.faults.refuseSurface = [](const DDSURFACEDESC2& d) { return (d.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN) != 0; };
    try {
        s.dx->Initialize();
        ADD_FAILURE() << "no error";
    } catch (const EDXDrawError& e) {
        EXPECT_STREQ(e.what(), "Surface cannot be made");
    }
    EXPECT_FALSE(s.dx->Initialized());
}

// Where the system marks every device as hardware, the software emulation
// device that the software phase takes is still the software device: the
// options in force (and the frame rate's overlay, which reads them) say so,
// and the texture is made as for a software device.
TEST(RenderSurfaceTest, TheSoftwareEmulationIsSoftwareWhateverItsMark) {
    struct Case {
        const char* what;
        bool everyDeviceHardware;
        TDXDrawOptions asked;
    };
    for (const Case& c : {Case{"marks as listed, software asked", false, do3D | doDirectX7Mode},
                          Case{"every device marked hardware, software asked", true, do3D | doDirectX7Mode},
                          Case{"every device marked hardware, hardware asked without video memory", true,
                               do3D | doDirectX7Mode | doHardware}}) {
        SCOPED_TRACE(c.what);
        SurfaceOnAForm s;
        s.faults.everyDeviceHardware = c.everyDeviceHardware;
        s.dx->SetOptions(c.asked);
        s.dx->Initialize();
        ASSERT_TRUE(s.dx->Initialized());
        EXPECT_EQ(s.dx->DeviceDescription().deviceGUID, IID_IDirect3DRGBDevice);
        EXPECT_EQ(static_cast<bool>(s.dx->DeviceDescription().dwDevCaps & D3DDEVCAPS_HWRASTERIZATION),
                  c.everyDeviceHardware)
            << "the system's mark, as listed";
        EXPECT_FALSE(s.dx->ActiveOptions() & doHardware);
    }
}

}  // namespace
}  // namespace vx
