// The render surface on its own form: its notification list, a change of the
// back surface's size, the fall-back to system memory, the devices' marks
// and the palette of 8-bit displays, over the software DirectDraw stand-in
// with faults to order.
#include "video/dx_draw.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fake/fake_system_services.h"
#include "framework/application.h"
#include "framework/form.h"
#include "platform/dx/device_factory.h"
#include "platform/dx/soft/soft_direct_draw.h"
#include "support/faulty_direct_draw.h"
#include "support/headless.h"

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
    test::FakeSystemServices services;
    Application app{backend, clock};
    TForm form{app};
    test::DirectDrawFaults faults;
    std::shared_ptr<HardwareOffer> hardware;  // offered when set before Initialize
    test::MadePalette madePalette;
    TDXDraw* dx = nullptr;

    // systemPalette: the screen's when the surface is made.
    explicit SurfaceOnAForm(std::vector<PALETTEENTRY> systemPalette = {}) {
        services.systemPalette = std::move(systemPalette);
        faults.madePalette = &madePalette;
        form.SetBounds(0, 0, 200, 150);
        dx = &form.Make<TDXDraw>(services, [this](dx::PresentationTarget& target) -> std::unique_ptr<DirectDrawLibrary> {
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
        case DXDrawNotice::Initializing:
            return "initializing";
        case DXDrawNotice::Initialize:
            return "initialize";
        case DXDrawNotice::InitializeSurface:
            return "initialize-surface";
        case DXDrawNotice::Restore:
            return "restore";
        case DXDrawNotice::FinalizeSurface:
            return "finalize-surface";
        case DXDrawNotice::Finalize:
            return "finalize";
        case DXDrawNotice::SurfaceSize:
            return "size";
        case DXDrawNotice::Destroying:
            return "destroying";
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
    EXPECT_EQ(heard,
              (std::vector<std::string>{"B initializing", "A initializing", "B size", "A size", "B initialize", "A initialize",
                                        "B initialize-surface", "A initialize-surface", "B restore", "A restore"}));

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
    for (const Case& c : {Case{"video memory available", false, false, true}, Case{"video memory refused", true, true, false}}) {
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
    for (const Case& c :
         {Case{"marks as listed, software asked", false, do3D | doDirectX7Mode},
          Case{"every device marked hardware, software asked", true, do3D | doDirectX7Mode},
          Case{"every device marked hardware, hardware asked without video memory", true, do3D | doDirectX7Mode | doHardware}}) {
        SCOPED_TRACE(c.what);
        SurfaceOnAForm s;
        s.faults.everyDeviceHardware = c.everyDeviceHardware;
        s.dx->SetOptions(c.asked);
        s.dx->Initialize();
        ASSERT_TRUE(s.dx->Initialized());
        EXPECT_EQ(s.dx->DeviceDescription().deviceGUID, IID_IDirect3DRGBDevice);
        EXPECT_EQ(static_cast<bool>(s.dx->DeviceDescription().dwDevCaps & D3DDEVCAPS_HWRASTERIZATION), c.everyDeviceHardware)
            << "the system's mark, as listed";
        EXPECT_FALSE(s.dx->ActiveOptions() & doHardware);
    }
}

// The palette of an 8-bit display comes from the colour table, which
// starts as the system palette of the moment the surface was made. Its
// first and last ten entries stay the system's, the colours every other
// window on the desktop is drawn with, unless the palette may take all 256;
// what the program fills in reaches the palette at the next restore.
TEST(RenderSurfaceTest, PaletteOfAnEightBitDisplay) {
    auto system = [](int i) { return PALETTEENTRY{static_cast<BYTE>(i), 0x11, 0x22, 0}; };
    auto filled = [](int i) { return PALETTEENTRY{0x33, static_cast<BYTE>(i), 0x44, 0}; };
    std::vector<PALETTEENTRY> systemPalette;
    for (int i = 0; i < 256; ++i) systemPalette.push_back(system(i));
    struct Case {
        const char* name;
        TDXDrawOptions options;
        DWORD flags;
        bool systemAtTheEnds;
    };
    for (const Case& c :
         {Case{"the video test's", doAllowReboot | doWaitVBlank | doCenter | doDirectX7Mode | doSelectDriver,
               DDPCAPS_8BIT | DDPCAPS_INITIALIZE, true},
          Case{"all 256 allowed", doFullScreen | doAllowPalette256, DDPCAPS_8BIT | DDPCAPS_INITIALIZE | DDPCAPS_ALLOW256, false},
          Case{"256 asked for in a window", doAllowPalette256, DDPCAPS_8BIT | DDPCAPS_INITIALIZE, true}}) {
        SCOPED_TRACE(c.name);
        SurfaceOnAForm s(systemPalette);
        EXPECT_EQ(s.dx->ColorTable(), s.dx->SystemColorTable());
        EXPECT_EQ(s.dx->SystemColorTable()[200], system(200));
        s.services.systemPalette.assign(256, PALETTEENTRY{9, 9, 9, 0});  // later changes are not seen
        for (int i = 0; i < 256; ++i) s.dx->ColorTable()[static_cast<std::size_t>(i)] = filled(i);
        s.dx->SetOptions(c.options);
        s.dx->Initialize();
        ASSERT_TRUE(s.dx->Initialized());
        ASSERT_NE(s.madePalette.palette, nullptr);
        EXPECT_EQ(s.madePalette.flags, c.flags);

        auto expected = [&](int i) { return c.systemAtTheEnds && (i < 10 || i >= 246) ? system(i) : filled(i); };
        std::array<PALETTEENTRY, 256> entries{};
        ASSERT_EQ(s.madePalette.palette->GetEntries(0, 0, 256, entries.data()), DD_OK);
        for (int i : {0, 9, 10, 128, 245, 246, 255}) EXPECT_EQ(entries[static_cast<std::size_t>(i)], expected(i)) << i;

        const PALETTEENTRY changed{0x55, 0x66, 0x77, 0};
        s.dx->ColorTable()[0] = s.dx->ColorTable()[128] = changed;
        s.dx->Restore();
        ASSERT_EQ(s.madePalette.palette->GetEntries(0, 0, 256, entries.data()), DD_OK);
        EXPECT_EQ(entries[128], changed);
        EXPECT_EQ(entries[0], c.systemAtTheEnds ? system(0) : changed);
    }
}

}  // namespace
}  // namespace vx
