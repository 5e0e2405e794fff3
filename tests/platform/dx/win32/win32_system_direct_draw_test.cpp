// The bridge to the system's own DirectDraw and Direct3D 7 (Wine's in the
// test run, drawing through Mesa's OpenGL): what the program asks reaches
// the system, and what the system answers comes back unchanged. Where a
// number can only come from the system, the system is asked directly
// (win32_system_yardstick.h). Every device the system lists also keeps the
// contract of the program's own devices (support/device_contract.h).
#ifdef _WIN32

#include "platform/dx/win32/system_direct_draw.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/win32/win32_backend.h"
#include "platform/dx/d3d.h"
#include "platform/dx/device_context_pixels.h"
#include "platform/dx/refresh_clock.h"
#include "platform/dx/soft_rig.h"
#include "platform/win32/win32_system_yardstick.h"
#include "support/device_contract.h"

namespace vx::dx {
namespace {

using testing::DeviceContract;
using testing::PlainSurfaceDescription;
using testing::ReadPixels;

constexpr int kWidth = 630;
constexpr int kHeight = 320;

// One window and one DirectDraw object for every case: the system takes its
// time to make them.
class SystemDirectDrawTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_backend = std::make_unique<Win32Backend>();
        WindowSettings settings;
        settings.caption = "Vidorex — DirectDraw";
        settings.clientWidth = 700;
        settings.clientHeight = 400;
        s_backend->CreateMainWindow(settings);
        s_overlay = s_backend->CreateOverlayWindow(kMainWindow);
        s_backend->PlaceOverlayWindow(s_overlay, TRect{10, 20, 10 + kWidth, 20 + kHeight}, true);
        s_library = LoadSystemDirectDraw();
    }
    static void TearDownTestSuite() {
        s_library.reset();
        s_backend.reset();
    }
    void SetUp() override {
        ASSERT_NE(s_library, nullptr) << "DDraw.dll not loaded";
        ASSERT_EQ(s_library->DirectDrawCreateEx(nullptr, &directDraw), win::DD_OK);
        ASSERT_EQ(directDraw->SetCooperativeLevel(Overlay(), win::DDSCL_NORMAL), win::DD_OK);
    }

    static win::HWND Overlay() { return static_cast<win::HWND>(s_overlay); }
    std::shared_ptr<win::IDirectDrawSurface7> Surface(int width, int height, win::DWORD caps) {
        win::DDSURFACEDESC2 description = PlainSurfaceDescription(width, height, caps);
        std::shared_ptr<win::IDirectDrawSurface7> surface;
        EXPECT_EQ(directDraw->CreateSurface(&description, &surface), win::DD_OK);
        return surface;
    }
    std::shared_ptr<win::IDirectDrawSurface7> Primary() {
        win::DDSURFACEDESC2 description{};
        description.dwSize = sizeof description;
        description.dwFlags = win::DDSD_CAPS;
        description.ddsCaps.dwCaps = win::DDSCAPS_PRIMARYSURFACE;
        std::shared_ptr<win::IDirectDrawSurface7> surface;
        EXPECT_EQ(directDraw->CreateSurface(&description, &surface), win::DD_OK);
        return surface;
    }
    win::DWORD CapsOf(win::IDirectDrawSurface7& surface) {
        win::DDSURFACEDESC2 description{};
        description.dwSize = sizeof description;
        EXPECT_EQ(surface.GetSurfaceDesc(&description), win::DD_OK);
        return description.ddsCaps.dwCaps;
    }

    static inline std::unique_ptr<Win32Backend> s_backend;
    static inline std::uintptr_t s_overlay = 0;
    static inline std::unique_ptr<win::DirectDrawLibrary> s_library;
    std::shared_ptr<win::IDirectDraw7> directDraw;
};

TEST_F(SystemDirectDrawTest, LoadsTheLibraryOnce) {
    const std::uintptr_t loaded = testing::DirectDrawModule();
    EXPECT_NE(loaded, 0u);
    EXPECT_NE(LoadSystemDirectDraw(), nullptr);
    EXPECT_EQ(testing::DirectDrawModule(), loaded);
}

// The capability records, as the system fills them.
TEST_F(SystemDirectDrawTest, PassesTheCapabilitiesThrough) {
    win::DDCAPS driver{};
    driver.dwSize = sizeof driver;
    win::DDCAPS emulation{};
    emulation.dwSize = sizeof emulation;
    ASSERT_EQ(directDraw->GetCaps(&driver, &emulation), win::DD_OK);
    EXPECT_NE(driver.dwCaps & win::DDCAPS_3D, 0u);
    EXPECT_NE(driver.ddsCaps.dwCaps & win::DDSCAPS_TEXTURE, 0u);
    EXPECT_GT(driver.dwVidMemTotal, 0u);
}

// The surfaces the video test makes, and where the system puts them.
TEST_F(SystemDirectDrawTest, MakesTheVideoTestsSurfaces) {
    struct Case {
        win::DWORD caps;
        win::DWORD expectedCaps;
        const char* what;
    };
    for (const Case& c : {
             Case{win::DDSCAPS_OFFSCREENPLAIN | win::DDSCAPS_3DDEVICE, win::DDSCAPS_VIDEOMEMORY | win::DDSCAPS_3DDEVICE,
                  "the back surface, in video memory"},
             Case{win::DDSCAPS_OFFSCREENPLAIN | win::DDSCAPS_SYSTEMMEMORY, win::DDSCAPS_SYSTEMMEMORY,
                  "a surface in system memory"},
         }) {
        auto surface = Surface(kWidth, kHeight, c.caps);
        ASSERT_NE(surface, nullptr) << c.what;
        EXPECT_EQ(CapsOf(*surface) & c.expectedCaps, c.expectedCaps) << c.what;
    }
    auto primary = Primary();
    ASSERT_NE(primary, nullptr);
    EXPECT_NE(CapsOf(*primary) & win::DDSCAPS_PRIMARYSURFACE, 0u);

    // The system's own refusal comes back as it is: a size with no caps.
    win::DDSURFACEDESC2 sizeless = PlainSurfaceDescription(0, 0, win::DDSCAPS_OFFSCREENPLAIN);
    std::shared_ptr<win::IDirectDrawSurface7> none;
    EXPECT_EQ(directDraw->CreateSurface(&sizeless, &none), win::DDERR_INVALIDPARAMS);
    EXPECT_EQ(none, nullptr);
}

// Pixels written one way come back the other: Lock, a colour fill, a copy
// between surfaces and the device context all reach the same memory.
TEST_F(SystemDirectDrawTest, LockBltAndDeviceContextSeeTheSamePixels) {
    auto first = Surface(64, 32, win::DDSCAPS_OFFSCREENPLAIN | win::DDSCAPS_3DDEVICE);
    auto second = Surface(64, 32, win::DDSCAPS_OFFSCREENPLAIN | win::DDSCAPS_3DDEVICE);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    win::DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0x00FF8040;
    ASSERT_EQ(first->Blt(nullptr, nullptr, nullptr, win::DDBLT_COLORFILL | win::DDBLT_WAIT, &fx), win::DD_OK);
    EXPECT_EQ(ReadPixels(*first), std::vector<std::uint32_t>(64 * 32, 0x00FF8040u));

    win::DDSURFACEDESC2 locked{};
    locked.dwSize = sizeof locked;
    win::RECT corner{0, 0, 8, 4};
    ASSERT_EQ(first->Lock(&corner, &locked, win::DDLOCK_WAIT, win::HANDLE{}), win::DD_OK);
    EXPECT_EQ(locked.ddpfPixelFormat.dwRGBBitCount, 32u);
    for (int y = 0; y < 4; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.lpSurface) + y * locked.lPitch);
        for (int x = 0; x < 8; ++x) row[x] = 0x00102030u + static_cast<std::uint32_t>(x + 8 * y);
    }
    ASSERT_EQ(first->Unlock(&corner), win::DD_OK);
    EXPECT_EQ(first->Unlock(nullptr), win::DDERR_NOTLOCKED) << "the system's answer to an Unlock too many";

    win::RECT whole{0, 0, 64, 32};
    fx.dwFillColor = 0;
    ASSERT_EQ(second->Blt(&whole, first.get(), &whole, win::DDBLT_WAIT, &fx), win::DD_OK);
    const std::vector<std::uint32_t> copied = ReadPixels(*second);
    ASSERT_EQ(copied.size(), 64u * 32u);
    EXPECT_EQ(copied[0], 0x00102030u);
    EXPECT_EQ(copied[3 * 64 + 7], 0x00102030u + 31u);
    EXPECT_EQ(copied[4 * 64], 0x00FF8040u);

    auto* pixels = dynamic_cast<DeviceContextPixels*>(second.get());
    ASSERT_NE(pixels, nullptr);
    win::HDC dc{};
    ASSERT_EQ(second->GetDC(&dc), win::DD_OK);
    std::vector<std::uint32_t> read(8 * 4);
    ASSERT_TRUE(pixels->ReadDeviceContext(dc, win::RECT{0, 0, 8, 4}, read.data(), 8));
    EXPECT_EQ(read[0] & 0xFFFFFF, 0x00102030u);
    EXPECT_EQ(read[31] & 0xFFFFFF, 0x00102030u + 31u);
    const std::vector<std::uint32_t> written(4 * 2, 0x000000FFu);
    ASSERT_TRUE(pixels->WriteDeviceContext(dc, win::RECT{60, 30, 64, 32}, written.data(), 4));
    ASSERT_EQ(second->ReleaseDC(dc), win::DD_OK);
    const std::vector<std::uint32_t> after = ReadPixels(*second);
    EXPECT_EQ(after[31 * 64 + 63], 0x000000FFu);
    EXPECT_EQ(after[31 * 64 + 59], 0x00FF8040u) << "only the written rectangle changes";
}

// The primary surface, clipped to the surface's own window, takes the back
// surface at screen coordinates; a palette keeps its entries.
TEST_F(SystemDirectDrawTest, PresentsThroughTheClippedPrimarySurface) {
    auto primary = Primary();
    ASSERT_NE(primary, nullptr);
    std::shared_ptr<win::IDirectDrawClipper> clipper;
    ASSERT_EQ(directDraw->CreateClipper(0, &clipper), win::DD_OK);
    ASSERT_EQ(clipper->SetHWnd(0, Overlay()), win::DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper), win::DD_OK);

    win::PALETTEENTRY entries[256]{};
    for (int i = 0; i < 256; ++i)
        entries[i] = win::PALETTEENTRY{static_cast<win::BYTE>(i), 0, static_cast<win::BYTE>(255 - i), 0};
    std::shared_ptr<win::IDirectDrawPalette> palette;
    ASSERT_EQ(directDraw->CreatePalette(win::DDPCAPS_8BIT | win::DDPCAPS_ALLOW256, entries, &palette), win::DD_OK);
    win::PALETTEENTRY back[256]{};
    ASSERT_EQ(palette->GetEntries(0, 0, 256, back), win::DD_OK);
    EXPECT_EQ(std::memcmp(back, entries, sizeof entries), 0);

    auto frame = Surface(kWidth, kHeight, win::DDSCAPS_OFFSCREENPLAIN | win::DDSCAPS_3DDEVICE);
    ASSERT_NE(frame, nullptr);
    const TPoint origin = s_backend->ClientOriginOnScreen(kMainWindow);
    win::RECT dest{origin.X + 10, origin.Y + 20, origin.X + 10 + kWidth, origin.Y + 20 + kHeight};
    win::RECT source{0, 0, kWidth, kHeight};
    win::DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    EXPECT_EQ(primary->Blt(&dest, frame.get(), &source, win::DDBLT_WAIT, &fx), win::DD_OK);
    // Nothing took the surfaces away: both answers are the system's own.
    EXPECT_EQ(primary->IsLost(), win::DD_OK);
    EXPECT_EQ(primary->Restore(), win::DD_OK);

    // Objects of another DirectDraw are refused, by the bridge, not the system.
    testing::FakePresentation presentation;
    SoftDirectDrawLibrary soft(presentation);
    std::shared_ptr<win::IDirectDraw7> softDraw;
    ASSERT_EQ(soft.DirectDrawCreateEx(nullptr, &softDraw), win::DD_OK);
    std::shared_ptr<win::IDirectDrawClipper> softClipper;
    ASSERT_EQ(softDraw->CreateClipper(0, &softClipper), win::DD_OK);
    EXPECT_EQ(primary->SetClipper(softClipper), win::DDERR_INVALIDPARAMS);
}

// The devices and their marks are the system's: the bridge's list is the
// one the system gives its own callers.
TEST_F(SystemDirectDrawTest, ListsTheDevicesAsTheSystemMarksThem) {
    std::vector<testing::SystemDeviceListing> bridged;
    std::shared_ptr<win::IDirect3D7> direct3D;
    ASSERT_EQ(directDraw->QueryDirect3D7(&direct3D), win::DD_OK);
    ASSERT_EQ(direct3D->EnumDevices([&](const char*, const char* name, const win::D3DDEVICEDESC7& device) {
        bridged.push_back(testing::SystemDeviceListing{name, device.deviceGUID, device.dwDevCaps});
        return win::D3DENUMRET_OK;
    }),
              win::D3D_OK);

    const std::vector<testing::SystemDeviceListing> system = testing::SystemDeviceList();
    ASSERT_FALSE(bridged.empty());
    ASSERT_EQ(bridged.size(), system.size());
    for (std::size_t i = 0; i < system.size(); ++i) {
        EXPECT_EQ(bridged[i].name, system[i].name);
        EXPECT_EQ(bridged[i].guid, system[i].guid) << system[i].name;
        EXPECT_EQ(bridged[i].caps, system[i].caps) << system[i].name;
    }

    // A callback that stops the enumeration stops it.
    int seen = 0;
    direct3D->EnumDevices([&](const char*, const char*, const win::D3DDEVICEDESC7&) {
        ++seen;
        return win::D3DENUMRET_CANCEL;
    });
    EXPECT_EQ(seen, 1);
}

// Every listed device renders into the back surface and offers the texture
// formats the scene chooses from.
TEST_F(SystemDirectDrawTest, EveryListedDeviceDrawsIntoTheBackSurface) {
    std::shared_ptr<win::IDirect3D7> direct3D;
    ASSERT_EQ(directDraw->QueryDirect3D7(&direct3D), win::DD_OK);
    std::vector<std::pair<std::string, win::GUID>> devices;
    direct3D->EnumDevices([&](const char*, const char* name, const win::D3DDEVICEDESC7& device) {
        devices.emplace_back(name, device.deviceGUID);
        return win::D3DENUMRET_OK;
    });
    for (const auto& [name, guid] : devices) {
        auto target = Surface(32, 16, win::DDSCAPS_OFFSCREENPLAIN | win::DDSCAPS_3DDEVICE);
        ASSERT_NE(target, nullptr);
        std::shared_ptr<win::IDirect3DDevice7> device;
        ASSERT_EQ(direct3D->CreateDevice(guid, target.get(), &device), win::D3D_OK) << name;
        EXPECT_EQ(device->Clear(0, nullptr, win::D3DCLEAR_TARGET, 0x00336699, 1.0f, 0), win::D3D_OK) << name;
        EXPECT_EQ(ReadPixels(*target), std::vector<std::uint32_t>(32 * 16, 0x00336699u)) << name;
        int rgb32 = 0;
        device->EnumTextureFormats([&](const win::DDPIXELFORMAT& format) {
            if ((format.dwFlags & win::DDPF_RGB) != 0 && format.dwRGBBitCount == 32) ++rgb32;
            return win::D3DENUMRET_OK;
        });
        EXPECT_GT(rgb32, 0) << name;
    }
    // A render target of another DirectDraw is refused by the bridge.
    testing::FakePresentation presentation;
    SoftDirectDrawLibrary soft(presentation);
    std::shared_ptr<win::IDirectDraw7> softDraw;
    ASSERT_EQ(soft.DirectDrawCreateEx(nullptr, &softDraw), win::DD_OK);
    win::DDSURFACEDESC2 description = PlainSurfaceDescription(8, 8, win::DDSCAPS_OFFSCREENPLAIN | win::DDSCAPS_3DDEVICE);
    std::shared_ptr<win::IDirectDrawSurface7> foreign;
    ASSERT_EQ(softDraw->CreateSurface(&description, &foreign), win::DD_OK);
    std::shared_ptr<win::IDirect3DDevice7> device;
    EXPECT_EQ(direct3D->CreateDevice(devices.front().second, foreign.get(), &device), win::DDERR_INVALIDPARAMS);
}

// Every device the system lists, each on a DirectDraw object of its own (the
// system gives one object one device at a time), with a window of their own
// as the fixture's: the contract of support/device_contract.h.
std::vector<testing::ContractDevice> SystemDevices(int width, int height) {
    struct System {
        std::unique_ptr<Win32Backend> backend = std::make_unique<Win32Backend>();
        std::unique_ptr<win::DirectDrawLibrary> library;
    };
    auto system = std::make_shared<System>();
    WindowSettings settings;
    settings.caption = "Vidorex — devices";
    settings.clientWidth = width + 20;
    settings.clientHeight = height + 20;
    system->backend->CreateMainWindow(settings);
    const std::uintptr_t overlay = system->backend->CreateOverlayWindow(kMainWindow);
    system->backend->PlaceOverlayWindow(overlay, TRect{10, 10, 10 + width, 10 + height}, true);
    system->library = LoadSystemDirectDraw();
    const auto open = [&](testing::ContractDevice& device, std::shared_ptr<win::IDirect3D7>& direct3D) {
        return system->library != nullptr && system->library->DirectDrawCreateEx(nullptr, &device.directDraw) == win::DD_OK &&
               device.directDraw->SetCooperativeLevel(static_cast<win::HWND>(overlay), win::DDSCL_NORMAL) == win::DD_OK &&
               device.directDraw->QueryDirect3D7(&direct3D) == win::DD_OK;
    };
    testing::ContractDevice lister;
    std::shared_ptr<win::IDirect3D7> direct3D;
    if (!open(lister, direct3D)) {
        ADD_FAILURE() << "the system's DirectDraw cannot be had";
        return {};
    }
    std::vector<std::pair<std::string, win::GUID>> listed;
    direct3D->EnumDevices([&](const char*, const char* name, const win::D3DDEVICEDESC7& device) {
        listed.emplace_back(name, device.deviceGUID);
        return win::D3DENUMRET_OK;
    });
    std::vector<testing::ContractDevice> devices;
    for (const auto& [name, guid] : listed) {
        testing::ContractDevice device{name, system, nullptr, nullptr, nullptr};
        win::DDSURFACEDESC2 description =
            PlainSurfaceDescription(width, height, win::DDSCAPS_OFFSCREENPLAIN | win::DDSCAPS_3DDEVICE);
        EXPECT_TRUE(open(device, direct3D)) << name;
        EXPECT_EQ(device.directDraw->CreateSurface(&description, &device.target), win::DD_OK) << name;
        EXPECT_EQ(direct3D->CreateDevice(guid, device.target.get(), &device.device), win::D3D_OK) << name;
        if (device.device != nullptr) devices.push_back(std::move(device));
    }
    EXPECT_FALSE(devices.empty());
    return devices;
}
INSTANTIATE_TEST_SUITE_P(System, DeviceContract, ::testing::Values(testing::DeviceKind{"System", SystemDevices}),
                         testing::DeviceKindName);

// Where the system answers the wait at once (Wine does), the refresh
// period is waited by the clock: waits in a row cannot outrun the display.
TEST_F(SystemDirectDrawTest, WaitsNoFasterThanTheDisplayRefreshes) {
    win::DWORD hertz = testing::SystemRefreshRate();
    if (hertz <= 1) hertz = 60;
    constexpr int kWaits = 30;
    const win::DWORD start = testing::MillisecondClock();
    for (int i = 0; i < kWaits; ++i) {
        ASSERT_EQ(directDraw->WaitForVerticalBlank(win::DDWAITVB_BLOCKBEGIN, win::HANDLE{}), win::DD_OK);
    }
    const win::DWORD elapsed = testing::MillisecondClock() - start;
    // The first waits may be early ones; the rest take a period each.
    const win::DWORD periods = kWaits - VerticalBlankSignal::kAtOnceRunning - 1;
    EXPECT_GE(elapsed, periods * 1000 / hertz) << "at " << hertz << " Hz";
}

}  // namespace
}  // namespace vx::dx

#endif  // _WIN32
