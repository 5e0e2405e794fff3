#include "platform/dx/soft/soft_direct_draw.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "soft_rig.h"

namespace vx::dx::testing {
namespace {

constexpr HWND kWindow = static_cast<HWND>(7);

class FakeHardwareFactory final : public DeviceFactory {
public:
    std::optional<DeviceOffer> Offer() override {
        ++offers;
        DeviceOffer offer{"Fake Hardware", "fake hardware device", {}};
        offer.device.dwDevCaps = D3DDEVCAPS_HWRASTERIZATION;
        offer.device.dwDeviceRenderBitDepth = DDBD_32;
        offer.device.deviceGUID = IID_IDirect3DHALDevice;
        return offer;
    }
    HRESULT Create(DeviceSurface&, std::shared_ptr<IDirect3DDevice7>*) override { return DDERR_GENERIC; }
    int offers = 0;
};

struct Listed {
    std::string name;
    bool hardware;
};

std::vector<Listed> ListDevices(IDirectDraw7& directDraw) {
    std::shared_ptr<IDirect3D7> direct3D;
    EXPECT_EQ(directDraw.QueryDirect3D7(&direct3D), DD_OK);
    std::vector<Listed> listed;
    direct3D->EnumDevices([&](const char*, const char* name, const D3DDEVICEDESC7& device) {
        listed.push_back({name, (device.dwDevCaps & D3DDEVCAPS_HWRASTERIZATION) != 0});
        return D3DENUMRET_OK;
    });
    return listed;
}

DDCAPS DriverCaps(IDirectDraw7& directDraw) {
    DDCAPS caps{};
    caps.dwSize = sizeof caps;
    EXPECT_EQ(directDraw.GetCaps(&caps, nullptr), DD_OK);
    return caps;
}

DWORD SurfaceCaps(IDirectDrawSurface7& surface) {
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    EXPECT_EQ(surface.GetSurfaceDesc(&description), DD_OK);
    return description.ddsCaps.dwCaps;
}

TEST(SoftDirectDrawTest, OnlyTheSoftwareDeviceWithoutHardware) {
    FakePresentation presentation;
    SoftDirectDrawLibrary library(presentation);
    std::shared_ptr<IDirectDraw7> directDraw;
    ASSERT_EQ(library.DirectDrawCreateEx(nullptr, &directDraw), DD_OK);

    const std::vector<Listed> listed = ListDevices(*directDraw);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_FALSE(listed[0].hardware);
    const DDCAPS caps = DriverCaps(*directDraw);
    EXPECT_EQ(caps.dwCaps & DDCAPS_3D, 0u);
    EXPECT_EQ(caps.ddsCaps.dwCaps & DDSCAPS_TEXTURE, 0u);

    DDSURFACEDESC2 description = PlainSurfaceDescription(4, 4, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    std::shared_ptr<IDirectDrawSurface7> target;
    ASSERT_EQ(directDraw->CreateSurface(&description, &target), DD_OK);
    EXPECT_EQ(SurfaceCaps(*target) & (DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY), DDSCAPS_SYSTEMMEMORY);

    std::shared_ptr<IDirect3D7> direct3D;
    directDraw->QueryDirect3D7(&direct3D);
    std::shared_ptr<IDirect3DDevice7> device;
    EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DHALDevice, target.get(), &device), D3DERR_INVALID_DEVICE);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DRGBDevice, nullptr, &device), DDERR_INVALIDPARAMS);
    description = PlainSurfaceDescription(4, 4, DDSCAPS_OFFSCREENPLAIN);
    std::shared_ptr<IDirectDrawSurface7> plain;
    directDraw->CreateSurface(&description, &plain);
    EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DRGBDevice, plain.get(), &device), DDERR_INVALIDCAPS);
    EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DRGBDevice, target.get(), &device), D3D_OK);
    EXPECT_NE(device, nullptr);
}

TEST(SoftDirectDrawTest, AHardwareFactoryIsAskedOnlyWhenDirectDrawIsMade) {
    FakePresentation presentation;
    SoftDirectDrawLibrary library(presentation);
    auto hardware = std::make_shared<FakeHardwareFactory>();
    library.AddDeviceFactory(hardware);
    EXPECT_EQ(hardware->offers, 0);
    std::shared_ptr<IDirectDraw7> directDraw;
    ASSERT_EQ(library.DirectDrawCreateEx(nullptr, &directDraw), DD_OK);
    EXPECT_EQ(hardware->offers, 1);

    const std::vector<Listed> listed = ListDevices(*directDraw);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_FALSE(listed[0].hardware);
    EXPECT_TRUE(listed[1].hardware);
    const DDCAPS caps = DriverCaps(*directDraw);
    EXPECT_NE(caps.dwCaps & DDCAPS_3D, 0u);
    EXPECT_NE(caps.ddsCaps.dwCaps & DDSCAPS_TEXTURE, 0u);

    struct Case {
        DWORD caps;
        DWORD memory;
    };
    const Case cases[] = {
        {DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, DDSCAPS_VIDEOMEMORY},
        {DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_SYSTEMMEMORY, DDSCAPS_SYSTEMMEMORY},
        {DDSCAPS_OFFSCREENPLAIN, DDSCAPS_SYSTEMMEMORY},
    };
    for (const Case& c : cases) {
        DDSURFACEDESC2 description = PlainSurfaceDescription(4, 4, c.caps);
        std::shared_ptr<IDirectDrawSurface7> surface;
        ASSERT_EQ(directDraw->CreateSurface(&description, &surface), DD_OK);
        EXPECT_EQ(SurfaceCaps(*surface) & (DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY), c.memory) << c.caps;
    }
}

TEST(SoftDirectDrawTest, CreateSurfaceRefusesWhatItCannotMake) {
    FakePresentation presentation;
    SoftDirectDrawLibrary library(presentation);
    std::shared_ptr<IDirectDraw7> directDraw;
    ASSERT_EQ(library.DirectDrawCreateEx(nullptr, &directDraw), DD_OK);
    DDSURFACEDESC2 primary{};
    primary.dwSize = sizeof primary;
    primary.dwFlags = DDSD_CAPS;
    primary.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    std::shared_ptr<IDirectDrawSurface7> first;
    ASSERT_EQ(directDraw->CreateSurface(&primary, &first), DD_OK);

    struct Case {
        const char* name;
        DDSURFACEDESC2 description;
        HRESULT expected;
    };
    DDSURFACEDESC2 wrongSize = PlainSurfaceDescription(4, 4, 0);
    wrongSize.dwSize = 100;
    DDSURFACEDESC2 noHeight = PlainSurfaceDescription(4, 4, 0);
    noHeight.dwFlags &= ~DDSD_HEIGHT;
    DDSURFACEDESC2 fourCC = PlainSurfaceDescription(4, 4, DDSCAPS_TEXTURE);
    fourCC.dwFlags |= DDSD_PIXELFORMAT;
    fourCC.ddpfPixelFormat = DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_FOURCC, 0x31545844, 0, 0, 0, 0, 0};
    const Case cases[] = {
        {"wrong record size", wrongSize, DDERR_INVALIDPARAMS},
        {"no height", noHeight, DDERR_INVALIDPARAMS},
        {"zero width", PlainSurfaceDescription(0, 4, 0), DDERR_INVALIDPARAMS},
        {"too wide", PlainSurfaceDescription(kMaxSurfaceSize + 1, 4, 0), DDERR_INVALIDPARAMS},
        {"a compressed format", fourCC, DDERR_INVALIDPIXELFORMAT},
        {"both kinds of memory", PlainSurfaceDescription(4, 4, DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY), DDERR_INVALIDCAPS},
        {"video memory without hardware", PlainSurfaceDescription(4, 4, DDSCAPS_VIDEOMEMORY), DDERR_OUTOFVIDEOMEMORY},
        {"a z-buffer", PlainSurfaceDescription(4, 4, DDSCAPS_ZBUFFER), DDERR_UNSUPPORTED},
        {"a second primary surface", primary, DDERR_PRIMARYSURFACEALREADYEXISTS},
    };
    for (Case c : cases) {
        std::shared_ptr<IDirectDrawSurface7> surface;
        EXPECT_EQ(directDraw->CreateSurface(&c.description, &surface), c.expected) << c.name;
        EXPECT_EQ(surface, nullptr) << c.name;
    }
    EXPECT_EQ(directDraw->CreateSurface(nullptr, &first), DDERR_INVALIDPARAMS);
}

TEST(SoftDirectDrawTest, TextureFormatsIncludeWhatTheSceneNeeds) {
    SoftRig rig(4, 4);
    std::vector<DDPIXELFORMAT> formats;
    rig.device->EnumTextureFormats([&](const DDPIXELFORMAT& format) {
        formats.push_back(format);
        return D3DENUMRET_OK;
    });
    const auto has = [&](DWORD flag, DWORD bits, DWORD red) {
        for (const DDPIXELFORMAT& f : formats) {
            if ((f.dwFlags & flag) != 0 && f.dwRGBBitCount == bits && f.dwRBitMask == red) return true;
        }
        return false;
    };
    EXPECT_TRUE(has(DDPF_PALETTEINDEXED8, 8, 0));
    EXPECT_TRUE(has(DDPF_RGB, 16, 0xF800));
    EXPECT_TRUE(has(DDPF_RGB, 32, 0xFF0000));
    for (const DDPIXELFORMAT& format : formats) {
        DDSURFACEDESC2 description = PlainSurfaceDescription(2, 2, DDSCAPS_TEXTURE);
        description.dwFlags |= DDSD_PIXELFORMAT;
        description.ddpfPixelFormat = format;
        std::shared_ptr<IDirectDrawSurface7> texture;
        EXPECT_EQ(rig.directDraw->CreateSurface(&description, &texture), DD_OK) << format.dwRGBBitCount;
    }
    int seen = 0;
    rig.device->EnumTextureFormats([&](const DDPIXELFORMAT&) {
        ++seen;
        return D3DENUMRET_CANCEL;
    });
    EXPECT_EQ(seen, 1);
}

// A back surface of 4 x 2 whose pixel (x, y) holds 0x10 * y + x.
struct PresentRig {
    PresentRig() {
        presentation.clients[kWindow] = RECT{100, 50, 140, 80};
        library.DirectDrawCreateEx(nullptr, &directDraw);
        directDraw->SetCooperativeLevel(kWindow, DDSCL_NORMAL);
        DDSURFACEDESC2 description{};
        description.dwSize = sizeof description;
        description.dwFlags = DDSD_CAPS;
        description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        EXPECT_EQ(directDraw->CreateSurface(&description, &primary), DD_OK);
        description = PlainSurfaceDescription(4, 2, DDSCAPS_OFFSCREENPLAIN);
        EXPECT_EQ(directDraw->CreateSurface(&description, &back), DD_OK);
        description = DDSURFACEDESC2{};
        description.dwSize = sizeof description;
        back->Lock(nullptr, &description, DDLOCK_WAIT, HANDLE{});
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 4; ++x) {
                reinterpret_cast<std::uint32_t*>(static_cast<std::byte*>(description.lpSurface) + y * description.lPitch)[x] =
                    static_cast<std::uint32_t>(0x10 * y + x);
            }
        }
        back->Unlock(nullptr);
    }

    HRESULT Present(RECT dest) { return primary->Blt(&dest, back.get(), nullptr, DDBLT_WAIT, nullptr); }

    FakePresentation presentation;
    SoftDirectDrawLibrary library{presentation};
    std::shared_ptr<IDirectDraw7> directDraw;
    std::shared_ptr<IDirectDrawSurface7> primary;
    std::shared_ptr<IDirectDrawSurface7> back;
};

TEST(SoftDirectDrawTest, BltOntoThePrimaryPresentsIntoTheClippersWindow) {
    struct Case {
        const char* name;
        RECT dest;  // screen coordinates; the window's client area is (100, 50)-(140, 80)
        RECT expectedDest;
        std::vector<std::uint32_t> expectedPixels;
    };
    const Case cases[] = {
        {"inside", {110, 60, 114, 62}, {10, 10, 14, 12}, {0, 1, 2, 3, 0x10, 0x11, 0x12, 0x13}},
        {"cut at the left and top edge", {98, 49, 102, 51}, {0, 0, 2, 1}, {0x12, 0x13}},
        {"stretched twice as wide",
         {100, 50, 108, 52},
         {0, 0, 8, 2},
         {0, 0, 1, 1, 2, 2, 3, 3, 0x10, 0x10, 0x11, 0x11, 0x12, 0x12, 0x13, 0x13}},
    };
    for (const Case& c : cases) {
        PresentRig rig;
        std::shared_ptr<IDirectDrawClipper> clipper;
        rig.directDraw->CreateClipper(0, &clipper);
        clipper->SetHWnd(0, kWindow);
        rig.primary->SetClipper(clipper);
        rig.directDraw->SetCooperativeLevel(HWND{}, DDSCL_NORMAL);  // the clipper's window counts
        ASSERT_EQ(rig.Present(c.dest), DD_OK) << c.name;
        ASSERT_EQ(rig.presentation.frames.size(), 1u) << c.name;
        const FakePresentation::Frame& frame = rig.presentation.frames[0];
        EXPECT_EQ(frame.window, kWindow);
        EXPECT_EQ(frame.dest.left, c.expectedDest.left) << c.name;
        EXPECT_EQ(frame.dest.top, c.expectedDest.top) << c.name;
        EXPECT_EQ(frame.dest.right, c.expectedDest.right) << c.name;
        EXPECT_EQ(frame.dest.bottom, c.expectedDest.bottom) << c.name;
        EXPECT_EQ(frame.pixels, c.expectedPixels) << c.name;
    }
}

TEST(SoftDirectDrawTest, PresentationNeedsAWindowAndSkipsWhatLiesOutsideIt) {
    PresentRig rig;
    EXPECT_EQ(rig.Present(RECT{0, 0, 4, 2}), DD_OK);  // outside the cooperative window's client area
    EXPECT_TRUE(rig.presentation.frames.empty());
    rig.directDraw->SetCooperativeLevel(HWND{}, DDSCL_NORMAL);
    EXPECT_EQ(rig.Present(RECT{100, 50, 104, 52}), DDERR_NOHWND);
    EXPECT_EQ(rig.directDraw->SetCooperativeLevel(kWindow, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DDERR_UNSUPPORTED);
}

TEST(SoftDirectDrawTest, ThePrimarySurfaceIsLostWhileTheWindowCannotShow) {
    PresentRig rig;
    EXPECT_EQ(rig.primary->IsLost(), DD_OK);
    rig.presentation.canShow = false;
    EXPECT_EQ(rig.primary->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(rig.back->IsLost(), DD_OK);  // system memory is never lost
    EXPECT_EQ(rig.Present(RECT{100, 50, 104, 52}), DDERR_SURFACELOST);
    EXPECT_TRUE(rig.presentation.frames.empty());
    EXPECT_EQ(rig.primary->Restore(), DDERR_SURFACELOST);

    rig.presentation.canShow = true;
    EXPECT_EQ(rig.primary->IsLost(), DDERR_SURFACELOST);  // until restored
    EXPECT_EQ(rig.primary->Restore(), DD_OK);
    EXPECT_EQ(rig.primary->IsLost(), DD_OK);
    EXPECT_EQ(rig.Present(RECT{100, 50, 104, 52}), DD_OK);
    EXPECT_EQ(rig.presentation.frames.size(), 1u);
}

TEST(SoftDirectDrawTest, WaitForVerticalBlankWaitsForTheNextRefreshPeriod) {
    struct Case {
        int refreshRate;
        DWORD start;
        DWORD end;
    };
    const Case cases[] = {
        {0, 10, 17},                          // 60 Hz when the display does not say: the period ends at 16.7 ms
        {1, 0, 17},                           // 1 means the hardware default, as 0
        {60, 17, 34},                         // from just after one period's start to the next
        {100, 10, 20},                        // exactly on a period's start: the next one
        {75, 13, 14},  {60, 0xFFFFFFFEu, 4},  // across the wrap of the 32-bit clock
    };
    for (const Case& c : cases) {
        FakePresentation presentation;
        presentation.mode.refreshRate = c.refreshRate;
        presentation.now = c.start;
        SoftDirectDrawLibrary library(presentation);
        std::shared_ptr<IDirectDraw7> directDraw;
        library.DirectDrawCreateEx(nullptr, &directDraw);
        EXPECT_EQ(directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, HANDLE{}), DD_OK);
        EXPECT_EQ(presentation.now, c.end) << c.refreshRate << " Hz from " << c.start;
    }

    FakePresentation presentation;
    SoftDirectDrawLibrary library(presentation);
    std::shared_ptr<IDirectDraw7> directDraw;
    library.DirectDrawCreateEx(nullptr, &directDraw);
    presentation.hasVerticalBlank = true;  // a real signal: no clock wait
    EXPECT_EQ(directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, HANDLE{}), DD_OK);
    EXPECT_EQ(presentation.now, 0u);
    presentation.hasVerticalBlank = false;
    presentation.clockRuns = false;  // a stuck clock must not hang the caller
    EXPECT_EQ(directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, HANDLE{}), DD_OK);
    EXPECT_EQ(directDraw->WaitForVerticalBlank(0x80, HANDLE{}), DDERR_INVALIDPARAMS);
}

TEST(SoftDirectDrawTest, BltCopiesAndFillsBetweenMemorySurfaces) {
    PresentRig rig;
    DDSURFACEDESC2 description = PlainSurfaceDescription(4, 2, DDSCAPS_OFFSCREENPLAIN);
    std::shared_ptr<IDirectDrawSurface7> copy;
    ASSERT_EQ(rig.directDraw->CreateSurface(&description, &copy), DD_OK);
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0xABCDEF;
    ASSERT_EQ(copy->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    RECT from{1, 0, 3, 2};
    RECT to{2, 0, 4, 2};
    ASSERT_EQ(copy->Blt(&to, rig.back.get(), &from, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(ReadPixels(*copy), (std::vector<std::uint32_t>{0xABCDEF, 0xABCDEF, 1, 2, 0xABCDEF, 0xABCDEF, 0x11, 0x12}));

    // Within one surface, overlapping.
    RECT left{0, 0, 3, 1};
    RECT right{1, 0, 4, 1};
    ASSERT_EQ(rig.back->Blt(&right, rig.back.get(), &left, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(ReadPixels(*rig.back)[3], 2u);

    RECT outside{3, 0, 5, 1};
    EXPECT_EQ(copy->Blt(&outside, rig.back.get(), nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    fx.dwSize = 4;
    EXPECT_EQ(copy->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDPARAMS);
}

TEST(SoftDirectDrawTest, LockCallsTellADeviceHoldingThePicture) {
    struct Holder final : DeferredContent {
        void WriteBack() override { ++writeBacks; }
        void MemoryChanged() override { ++changes; }
        int writeBacks = 0;
        int changes = 0;
    } holder;
    PresentRig rig;
    auto* surface = dynamic_cast<DeviceSurface*>(rig.back.get());
    ASSERT_NE(surface, nullptr);
    surface->SetDeferredContent(&holder);
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    ASSERT_EQ(rig.back->Lock(nullptr, &description, DDLOCK_WAIT, HANDLE{}), DD_OK);
    EXPECT_EQ(holder.writeBacks, 1);
    EXPECT_EQ(rig.back->Unlock(nullptr), DD_OK);
    EXPECT_EQ(holder.changes, 1);
    EXPECT_EQ(rig.back->Unlock(nullptr), DDERR_NOTLOCKED);
    surface->SetDeferredContent(nullptr);

    description.dwSize = 0;
    EXPECT_EQ(rig.back->Lock(nullptr, &description, DDLOCK_WAIT, HANDLE{}), DDERR_INVALIDPARAMS);
    RECT outside{0, 0, 5, 1};
    description.dwSize = sizeof description;
    EXPECT_EQ(rig.back->Lock(&outside, &description, DDLOCK_WAIT, HANDLE{}), DDERR_INVALIDRECT);
    EXPECT_EQ(rig.primary->Lock(nullptr, &description, DDLOCK_WAIT, HANDLE{}), DDERR_UNSUPPORTED);
}

}  // namespace
}  // namespace vx::dx::testing
