// The OpenGL device against the software device: the same calls on targets
// of the same size must give the same picture, exactly on small scenes whose
// edges do not pass through sample points; the blend table and the video
// test's cube are the contract of every device (support/device_contract.h).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "gl/device_rig.h"
#include "platform/dx/gl/gl_context.h"
#include "platform/dx/gl/gl_device_factory.h"
#include "platform/dx/soft/soft_direct_draw.h"
#include "support/device_contract.h"
#include "support/picture_difference.h"

namespace vx::dx::testing {
namespace {

// Both devices, or a skip where this machine has no OpenGL context.
struct DevicePair {
    DevicePair(int width, int height) : soft(Kind::Software, width, height), gl(Kind::OpenGL, width, height) {}
    bool Ready() const { return soft.device != nullptr && gl.device != nullptr; }
    DeviceRig soft;
    DeviceRig gl;
};

#define VX_NEED_OPENGL(pair)                                                                  \
    do {                                                                                      \
        ASSERT_NE((pair).soft.device, nullptr);                                               \
        if ((pair).gl.device == nullptr) GTEST_SKIP() << "no OpenGL context on this machine"; \
    } while (false)

using vx::testing::Compare;
using vx::testing::Difference;
using vx::testing::Lit;

struct UnlitVertex {
    float x, y, z;
    D3DCOLOR diffuse;
    float u, v;
};
constexpr DWORD kUnlitFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

void Draw(DeviceRig& rig, DWORD type, const std::vector<UnlitVertex>& vertices) {
    rig.device->BeginScene();
    EXPECT_EQ(rig.device->DrawPrimitive(type, kUnlitFormat, vertices.data(), static_cast<DWORD>(vertices.size()), 0), D3D_OK);
    rig.device->EndScene();
}

TEST(OpenGLDevice, OfferedBeforeTheSoftwareDeviceAndHardwareOnlyOnARealGpu) {
    DeviceRig rig(Kind::OpenGL, 8, 8);
    if (rig.device == nullptr) GTEST_SKIP() << "no OpenGL context on this machine";
    std::vector<std::string> names;
    std::vector<bool> hardware;
    std::string renderer;
    rig.direct3D->EnumDevices([&](const char* description, const char*, const D3DDEVICEDESC7& device) {
        names.emplace_back(description);
        hardware.push_back((device.dwDevCaps & D3DDEVCAPS_HWRASTERIZATION) != 0);
        return D3DENUMRET_OK;
    });
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].rfind("OpenGL (", 0), 0u) << names[0];
    EXPECT_EQ(hardware[0], !gl::IsSoftwareRenderer(names[0]));
    EXPECT_FALSE(hardware[1]);
}

TEST(OpenGLDevice, SoftwareRenderersAreKnownByName) {
    struct Case {
        const char* renderer;
        bool software;
    };
    const Case cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"softpipe", true},
        {"Software Rasterizer", true},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
        {"AMD Radeon RX 580 (polaris10, LLVM 15.0.6, DRM 3.49, 6.1.0)", false},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(gl::IsSoftwareRenderer(c.renderer), c.software) << c.renderer;
}

std::vector<ContractDevice> OpenGLDevices(int width, int height) {
    auto rig = std::make_shared<DeviceRig>(Kind::OpenGL, width, height);
    if (rig->device == nullptr) return {};
    return {ContractDevice{"OpenGL", rig, rig->directDraw, rig->target, rig->device}};
}
INSTANTIATE_TEST_SUITE_P(OpenGL, DeviceContract, ::testing::Values(DeviceKind{"OpenGL", OpenGLDevices}), DeviceKindName);

// Scenes whose edges miss every sample point: the same pixels exactly.
TEST(OpenGLDevice, SmallScenesGiveTheSoftwareDevicesPixels) {
    struct Scene {
        const char* name;
        DWORD type;
        std::vector<UnlitVertex> vertices;
    };
    // Identity transforms: clip x = screen x / 8 - 1, y = 1 - screen y / 8 on 16 x 16.
    const auto at = [](float sx, float sy, float z, D3DCOLOR c, float u = 0, float v = 0) {
        return UnlitVertex{sx / 8.0f - 1.0f, 1.0f - sy / 8.0f, z, c, u, v};
    };
    const Scene scenes[] = {
        {"a square of two triangles",
         D3DPT_TRIANGLESTRIP,
         {at(2.3f, 2.3f, 0.5f, 0xFF404040), at(12.7f, 2.3f, 0.5f, 0xFF404040), at(2.3f, 12.7f, 0.5f, 0xFF404040),
          at(12.7f, 12.7f, 0.5f, 0xFF404040)}},
        {"a fan of shaded colours",
         D3DPT_TRIANGLEFAN,
         {at(7.6f, 7.6f, 0.5f, 0xFFFF0000), at(1.3f, 1.2f, 0.5f, 0xFF00FF00), at(14.2f, 1.7f, 0.5f, 0xFF0000FF),
          at(13.6f, 14.1f, 0.5f, 0xFFFFFFFF)}},
        {"a list crossing the target's edge",
         D3DPT_TRIANGLELIST,
         {at(-4.5f, 3.6f, 0.5f, 0xFF80FF20), at(20.5f, 6.5f, 0.5f, 0xFF80FF20), at(6.5f, 30.5f, 0.5f, 0xFF80FF20)}},
    };
    for (const Scene& scene : scenes) {
        DevicePair pair(16, 16);
        VX_NEED_OPENGL(pair);
        for (DeviceRig* rig : {&pair.soft, &pair.gl}) {
            rig->Plain();
            rig->device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
            rig->device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
            rig->device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
            Draw(*rig, scene.type, scene.vertices);
        }
        const Difference difference = Compare(pair.soft.Pixels(), pair.gl.Pixels(), 1);
        EXPECT_EQ(difference.differing, 0) << scene.name << ", largest " << difference.largest;
        EXPECT_GT(Lit(pair.gl.Pixels()), 0) << scene.name;
    }
}

// Texel boundaries that miss every sample point: the same texels exactly,
// the texture's top row at the top, its left column on the left.
TEST(OpenGLDevice, MapsATextureAsTheSoftwareDeviceDoes) {
    DevicePair pair(16, 16);
    VX_NEED_OPENGL(pair);
    const auto at = [](float sx, float sy, float u, float v) {
        return UnlitVertex{sx / 8.0f - 1.0f, 1.0f - sy / 8.0f, 0.5f, 0xFFFFFFFF, u, v};
    };
    std::vector<std::shared_ptr<IDirectDrawSurface7>> textures;
    for (DeviceRig* rig : {&pair.soft, &pair.gl}) {
        rig->Plain();
        // 4 x 4 texels, texel (x, y) = 0x0F, 0x10 (4y + x) twice.
        DDSURFACEDESC2 description = PlainSurfaceDescription(4, 4, DDSCAPS_TEXTURE);
        std::shared_ptr<IDirectDrawSurface7> texture;
        ASSERT_EQ(rig->directDraw->CreateSurface(&description, &texture), DD_OK);
        ASSERT_EQ(texture->Lock(nullptr, &description, DDLOCK_WAIT, HANDLE{}), DD_OK);
        for (int y = 0; y < 4; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::byte*>(description.lpSurface) + y * description.lPitch);
            for (int x = 0; x < 4; ++x) row[x] = 0x000F0000u + 0x00001010u * static_cast<std::uint32_t>(4 * y + x);
        }
        texture->Unlock(nullptr);
        rig->device->SetTexture(0, texture.get());
        textures.push_back(texture);
        // Texel boundaries at 4.075, 7.9 and 11.725 across and down.
        Draw(*rig, D3DPT_TRIANGLESTRIP,
             {at(0.25f, 0.25f, 0, 0), at(15.55f, 0.25f, 1, 0), at(0.25f, 15.55f, 0, 1), at(15.55f, 15.55f, 1, 1)});
    }
    const std::vector<std::uint32_t> gl = pair.gl.Pixels();
    EXPECT_EQ(Compare(pair.soft.Pixels(), gl, 0).differing, 0);
    EXPECT_EQ(gl[1 * 16 + 1], 0x0F0000u);
    EXPECT_EQ(gl[1 * 16 + 14], 0x0F3030u);
    EXPECT_EQ(gl[14 * 16 + 1], 0x0FC0C0u);
    EXPECT_EQ(gl[0], 0u);
}

// A triangle reaching behind the eye is cut at the near plane by both.
TEST(OpenGLDevice, ClipsAtTheNearPlaneAsTheSoftwareDeviceDoes) {
    DevicePair pair(32, 32);
    VX_NEED_OPENGL(pair);
    D3DMATRIX projection{};
    projection._11 = 1;
    projection._22 = 1;
    projection._33 = 1;
    projection._34 = 1;
    projection._43 = -1;
    const std::vector<UnlitVertex> triangle = {
        {-1.5f, -0.7f, 2.0f, 0xFFFFFFFF, 0, 0}, {1.3f, -0.9f, 2.0f, 0xFFFFFFFF, 0, 0}, {0.1f, 0.4f, -3.0f, 0xFFFFFFFF, 0, 0}};
    for (DeviceRig* rig : {&pair.soft, &pair.gl}) {
        rig->Plain();
        rig->device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
        Draw(*rig, D3DPT_TRIANGLELIST, triangle);
    }
    const Difference difference = Compare(pair.soft.Pixels(), pair.gl.Pixels(), 0);
    EXPECT_LE(difference.differing, 2) << "largest " << difference.largest;
    EXPECT_GT(Lit(pair.gl.Pixels()), 50);
}

// What the program writes into the surface's memory between draws (the
// text) survives the next draw, and a device let go leaves its picture.
TEST(OpenGLDevice, TakesUpTheMemoryAndLeavesItsPictureBehind) {
    DeviceRig rig(Kind::OpenGL, 16, 16);
    if (rig.device == nullptr) GTEST_SKIP() << "no OpenGL context on this machine";
    rig.Plain();
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    ASSERT_EQ(rig.target->Lock(nullptr, &description, DDLOCK_WAIT, HANDLE{}), DD_OK);
    static_cast<std::uint32_t*>(description.lpSurface)[0] = 0x00123456;  // pixel (0, 0)
    rig.target->Unlock(nullptr);

    const std::vector<UnlitVertex> corner = {{0.0f, 0.0f, 0.5f, 0xFF00FF00, 0, 0},
                                             {1.0f, 0.0f, 0.5f, 0xFF00FF00, 0, 0},
                                             {1.0f, -1.0f, 0.5f, 0xFF00FF00, 0, 0}};  // the lower right quarter's upper half
    Draw(rig, D3DPT_TRIANGLELIST, corner);
    std::vector<std::uint32_t> pixels = rig.Pixels();
    EXPECT_EQ(pixels[0], 0x123456u);
    EXPECT_EQ(pixels[static_cast<std::size_t>(9 * 16 + 14)], 0x00FF00u);
    EXPECT_EQ(pixels[static_cast<std::size_t>(14 * 16 + 9)], 0x000000u);

    const D3DRECT lower{0, 8, 16, 16};
    rig.device->Clear(1, &lower, D3DCLEAR_TARGET, 0x000000FF, 1.0f, 0);
    rig.device.reset();
    pixels = rig.Pixels();
    EXPECT_EQ(pixels[0], 0x123456u);
    EXPECT_EQ(pixels[static_cast<std::size_t>(9 * 16 + 14)], 0x0000FFu);
    EXPECT_EQ(pixels[static_cast<std::size_t>(2 * 16 + 14)], 0x000000u);
}

}  // namespace
}  // namespace vx::dx::testing
