#include "support/device_contract.h"

#include <cstdint>

#include "platform/dx/soft/soft_direct_draw.h"
#include "platform/dx/soft_rig.h"
#include "support/cube_frame.h"
#include "support/picture_difference.h"

namespace vx::dx::testing {

std::vector<ContractDevice> SoftwareDevices(int width, int height) {
    struct Library {
        FakePresentation presentation;
        SoftDirectDrawLibrary library{presentation};
    };
    auto owner = std::make_shared<Library>();
    ContractDevice soft{"software", owner, nullptr, nullptr, nullptr};
    DDSURFACEDESC2 description = PlainSurfaceDescription(width, height, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    std::shared_ptr<IDirect3D7> direct3D;
    EXPECT_EQ(owner->library.DirectDrawCreateEx(nullptr, &soft.directDraw), DD_OK);
    EXPECT_EQ(soft.directDraw->CreateSurface(&description, &soft.target), DD_OK);
    EXPECT_EQ(soft.directDraw->QueryDirect3D7(&direct3D), DD_OK);
    EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DRGBDevice, soft.target.get(), &soft.device), D3D_OK);
    return {soft};
}

namespace {

TEST_P(DeviceContract, BlendStatesCombineSourceAndTarget) {
    const std::vector<ContractDevice> devices = GetParam().devices(4, 4);
    if (devices.empty()) GTEST_SKIP() << "no " << GetParam().name << " device on this machine";
    struct Case {
        const char* name;
        BOOL enabled;
        DWORD source;
        DWORD dest;
        D3DCOLOR fragment;
        std::uint32_t expected;  // over a target of 0x204060
    };
    const Case cases[] = {
        {"ONE/ONE adds and saturates", TRUE, D3DBLEND_ONE, D3DBLEND_ONE, 0xFFF0C010, 0xFFFF70},
        {"ONE/ZERO replaces", TRUE, D3DBLEND_ONE, D3DBLEND_ZERO, 0xFF102030, 0x102030},
        {"ZERO/ONE keeps the target", TRUE, D3DBLEND_ZERO, D3DBLEND_ONE, 0xFF102030, 0x204060},
        {"SRCALPHA/INVSRCALPHA mixes by alpha", TRUE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, 0x80E0C0A0, 0x808080},
        {"blending off ignores the factors", FALSE, D3DBLEND_ONE, D3DBLEND_ONE, 0xFF102030, 0x102030},
    };
    struct Vertex {
        float x, y, z;
        D3DCOLOR colour;
    };
    for (const ContractDevice& d : devices) {
        d.device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
        d.device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
        for (const Case& c : cases) {
            d.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x204060, 1.0f, 0);
            d.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, c.enabled);
            d.device->SetRenderState(D3DRENDERSTATE_SRCBLEND, c.source);
            d.device->SetRenderState(D3DRENDERSTATE_DESTBLEND, c.dest);
            const Vertex triangle[3] = {{-1, 1, 0.5f, c.fragment}, {3, 1, 0.5f, c.fragment}, {-1, -3, 0.5f, c.fragment}};
            d.device->BeginScene();
            d.device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_XYZ | D3DFVF_DIFFUSE, triangle, 3, 0);
            d.device->EndScene();
            EXPECT_EQ(ReadPixels(*d.target), std::vector<std::uint32_t>(16, c.expected)) << d.name << ": " << c.name;
        }
    }
}

// The cube at several moments; then, with the frame-rate line, two frames in
// a row: the line goes through the surface's memory between the device's
// frames, and must neither be lost nor hold the next frame back.
TEST_P(DeviceContract, DrawsTheVideoTestsCubeAsTheSoftwareDeviceDoes) {
    constexpr int kWidth = 630;
    constexpr int kHeight = 320;
    const std::vector<ContractDevice> devices = GetParam().devices(kWidth, kHeight);
    if (devices.empty()) GTEST_SKIP() << "no " << GetParam().name << " device on this machine";
    const ContractDevice soft = SoftwareDevices(kWidth, kHeight).front();
    vx::testing::CubeFrame reference(*soft.directDraw, soft.target, *soft.device, kWidth, kHeight);
    for (const ContractDevice& d : devices) {
        vx::testing::CubeFrame frame(*d.directDraw, d.target, *d.device, kWidth, kHeight);
        for (const double t : {0.0, 0.7, 1.9, 3.3, 5.2, 100.25, 0.4, 0.45}) {
            SCOPED_TRACE(::testing::Message() << d.name << ", t = " << t);
            reference.DrawScene(t);
            frame.DrawScene(t);
            const bool withLine = t == 0.4 || t == 0.45;
            if (withLine) {
                reference.DrawOverlay("FPS: 60 (Device: Software)");
                frame.DrawOverlay("FPS: 60 (Device: Software)");
            }
            const std::vector<std::uint32_t> expected = ReadPixels(*soft.target);
            const std::vector<std::uint32_t> drawn = ReadPixels(*d.target);
            EXPECT_GT(vx::testing::Lit(drawn), kWidth * kHeight / 20);
            EXPECT_TRUE(vx::testing::WithinCubeAllowance(expected, drawn));
            if (!withLine) continue;
            // The line itself, on the black above the cube: the same pixels.
            int differing = 0;
            int white = 0;
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 200; ++x) {
                    const std::size_t i = static_cast<std::size_t>(y * kWidth + x);
                    differing += drawn[i] != expected[i] ? 1 : 0;
                    white += drawn[i] == 0xFFFFFFu ? 1 : 0;
                }
            }
            EXPECT_EQ(differing, 0);
            EXPECT_GT(white, 50);
        }
    }
}

}  // namespace
}  // namespace vx::dx::testing
