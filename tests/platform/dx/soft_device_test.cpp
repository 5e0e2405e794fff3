// Sections: Coverage and fill rule; Textures, perspective and blending; Clipping, culling and
//   clearing; Bad calls.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/dx/soft/soft_direct_draw.h"
#include "platform/dx/transform.h"
#include "soft_rig.h"
#include "support/cube_frame.h"
#include "support/device_contract.h"
#include "support/picture_difference.h"

namespace vx::dx::testing {
namespace {

struct ColourVertex {
    float x, y, z;
    D3DCOLOR colour;
};
constexpr DWORD kColourFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE;

struct TexturedVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
constexpr DWORD kSceneFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

struct Point {
    float x, y;
};

// Draws screen-space triangles in colour, blending additively.
void DrawAdditive(SoftRig& rig, const std::vector<std::vector<Point>>& triangles, D3DCOLOR colour) {
    rig.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    rig.device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    rig.device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    rig.device->BeginScene();
    for (const std::vector<Point>& triangle : triangles) {
        std::vector<ColourVertex> vertices;
        for (const Point& p : triangle) vertices.push_back({rig.ClipX(p.x), rig.ClipY(p.y), 0.5f, colour});
        EXPECT_EQ(
            rig.device->DrawPrimitive(D3DPT_TRIANGLELIST, kColourFormat, vertices.data(), static_cast<DWORD>(vertices.size()), 0),
            D3D_OK);
    }
    rig.device->EndScene();
}

// The target after drawing triangles in blue 1: '.' where nothing was
// drawn, else how often the pixel was covered.
std::string DrawCoverage(SoftRig& rig, const std::vector<std::vector<Point>>& triangles) {
    DrawAdditive(rig, triangles, 1);
    std::string grid;
    const std::vector<std::uint32_t> pixels = rig.Pixels();
    for (int y = 0; y < rig.height; ++y) {
        for (int x = 0; x < rig.width; ++x) {
            const std::uint32_t blue = pixels[static_cast<std::size_t>(y * rig.width + x)] & 0xFF;
            grid += blue == 0 ? '.' : static_cast<char>('0' + std::min<std::uint32_t>(blue, 9));
        }
        grid += '\n';
    }
    return grid;
}

std::string Rows(std::initializer_list<const char*> rows) {
    std::string grid;
    for (const char* row : rows) grid += std::string(row) + '\n';
    return grid;
}

// ---------------------------------------------------------------- Coverage and fill rule

TEST(SoftDeviceTest, FillRuleCoversEachSamplePointOfATriangleMeshOnce) {
    struct Case {
        const char* name;
        std::vector<std::vector<Point>> triangles;
        std::string expected;
    };
    const std::string blank =
        Rows({"........", "........", "........", "........", "........", "........", "........", "........"});
    const std::vector<Case> cases = {
        {"a square split on its diagonal: every pixel once",
         {{{0, 0}, {4, 0}, {4, 4}}, {{0, 0}, {4, 4}, {0, 4}}},
         Rows({"1111....", "1111....", "1111....", "1111....", "........", "........", "........", "........"})},
        {"points on a diagonal right edge and on the bottom edge are left out",
         {{{0, 0}, {4, 0}, {0, 4}}},
         Rows({"1111....", "111.....", "11......", "1.......", "........", "........", "........", "........"})},
        {"the same diagonal as a left edge is drawn; the top corner alone is not",
         {{{4, 0}, {4, 4}, {0, 4}}},
         Rows({"........", "...1....", "..11....", ".111....", "........", "........", "........", "........"})},
        {"four triangles meeting at a pixel point draw it once",
         {{{2, 2}, {6, 2}, {4, 4}}, {{6, 2}, {6, 6}, {4, 4}}, {{6, 6}, {2, 6}, {4, 4}}, {{2, 6}, {2, 2}, {4, 4}}},
         Rows({"........", "........", "..1111..", "..1111..", "..1111..", "..1111..", "........", "........"})},
        {"pixel (i, j) is sampled at the point (i, j), not at the pixel's centre",
         {{{0.5f, 0.5f}, {4.5f, 0.5f}, {4.5f, 4.5f}}, {{0.5f, 0.5f}, {4.5f, 4.5f}, {0.5f, 4.5f}}},
         Rows({"........", ".1111...", ".1111...", ".1111...", ".1111...", "........", "........", "........"})},
        {"a sliver between two rows of sample points covers nothing", {{{0, 0.25f}, {8, 0.5f}, {0, 0.75f}}}, blank},
        {"a triangle far beyond the target (guard band, scissor) covers it once",
         {{{-20, -20}, {40, -20}, {-20, 40}}},
         Rows({"11111111", "11111111", "11111111", "11111111", "11111111", "11111111", "11111111", "11111111"})},
    };
    for (const Case& c : cases) {
        SoftRig rig(8, 8);
        EXPECT_EQ(DrawCoverage(rig, c.triangles), c.expected) << c.name;
    }
}

TEST(SoftDeviceTest, StripAndFanCoverTheirSquareOnce) {
    for (const DWORD type : {D3DPT_TRIANGLESTRIP, D3DPT_TRIANGLEFAN}) {
        SoftRig rig(8, 8);
        rig.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
        rig.device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
        rig.device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
        const Point corners[4] = {{1, 1}, {7, 1}, {1, 7}, {7, 7}};
        const int order[2][4] = {{0, 1, 2, 3}, {0, 1, 3, 2}};  // strip, fan
        std::vector<ColourVertex> vertices;
        for (int i : order[type == D3DPT_TRIANGLEFAN ? 1 : 0]) {
            vertices.push_back({rig.ClipX(corners[i].x), rig.ClipY(corners[i].y), 0.5f, 1});
        }
        rig.device->BeginScene();
        rig.device->DrawPrimitive(type, kColourFormat, vertices.data(), 4, 0);
        rig.device->EndScene();
        int covered = 0;
        for (std::uint32_t pixel : rig.Pixels()) {
            EXPECT_LE(pixel, 1u);
            covered += static_cast<int>(pixel);
        }
        EXPECT_EQ(covered, 36) << "primitive type " << type;
    }
}

// A 2-triangle quad in screen space with texture coordinates at its corners.
std::vector<TexturedVertex> ScreenQuad(const SoftRig& rig, Point topLeft, Point bottomRight, float u0, float v0, float u1,
                                       float v1) {
    const float left = rig.ClipX(topLeft.x), right = rig.ClipX(bottomRight.x);
    const float top = rig.ClipY(topLeft.y), bottom = rig.ClipY(bottomRight.y);
    return {{left, top, 0.5f, 0, 0, -1, u0, v0},
            {right, top, 0.5f, 0, 0, -1, u1, v0},
            {left, bottom, 0.5f, 0, 0, -1, u0, v1},
            {right, bottom, 0.5f, 0, 0, -1, u1, v1}};
}

// The scene's lighting: a white ambient material under white ambient light.
// ---------------------------------------------------------------- Textures, perspective and blending

void LightLikeTheScene(IDirect3DDevice7& device) {
    D3DMATERIAL7 material{};
    material.diffuse = {1, 1, 1, 0};
    material.ambient = {1, 1, 1, 0};
    device.SetMaterial(&material);
    device.SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
    device.SetRenderState(D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF);
}

PALETTEENTRY PaletteColour(int index) {
    return PALETTEENTRY{static_cast<BYTE>(index * 4), static_cast<BYTE>(255 - index), static_cast<BYTE>(index * 2 + 1), 0};
}

std::uint32_t ToXrgb(const PALETTEENTRY& e) {
    return (std::uint32_t{e.peRed} << 16) | (std::uint32_t{e.peGreen} << 8) | e.peBlue;
}

// An 8 x 8 palettised texture whose texel (x, y) holds index x + 8y.
std::shared_ptr<IDirectDrawSurface7> MakeIndexTexture(SoftRig& rig, std::shared_ptr<IDirectDrawPalette>* palette) {
    const DDPIXELFORMAT format{sizeof(DDPIXELFORMAT), DDPF_RGB | DDPF_PALETTEINDEXED8, 0, 8, 0, 0, 0, 0};
    std::shared_ptr<IDirectDrawSurface7> texture = rig.MakeTexture(8, 8, &format);
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    EXPECT_EQ(texture->Lock(nullptr, &description, DDLOCK_WAIT, HANDLE{}), DD_OK);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) static_cast<BYTE*>(description.lpSurface)[y * description.lPitch + x] = x + 8 * y;
    }
    texture->Unlock(nullptr);
    PALETTEENTRY entries[256];
    for (int i = 0; i < 256; ++i) entries[i] = PaletteColour(i);
    EXPECT_EQ(rig.directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, palette), DD_OK);
    EXPECT_EQ(texture->SetPalette(*palette), DD_OK);
    return texture;
}

TEST(SoftDeviceTest, TexturedQuadShowsEachTexelThroughThePalette) {
    SoftRig rig(8, 8);
    LightLikeTheScene(*rig.device);
    std::shared_ptr<IDirectDrawPalette> palette;
    std::shared_ptr<IDirectDrawSurface7> texture = MakeIndexTexture(rig, &palette);
    // Edges half a pixel out, so pixel (i, j) samples the centre of texel (i, j).
    const std::vector<TexturedVertex> quad = ScreenQuad(rig, {-0.5f, -0.5f}, {7.5f, 7.5f}, 0, 0, 1, 1);
    const auto draw = [&] {
        rig.device->BeginScene();
        rig.device->SetTexture(0, texture.get());
        rig.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kSceneFormat, quad.data(), 4, 0);
        rig.device->EndScene();
    };
    draw();
    std::vector<std::uint32_t> expected;
    for (int i = 0; i < 64; ++i) expected.push_back(ToXrgb(PaletteColour(i)));
    EXPECT_EQ(rig.Pixels(), expected);

    // A palette change reaches the next draw.
    const PALETTEENTRY red{255, 0, 0, 0};
    palette->SetEntries(0, 9, 1, &red);
    draw();
    EXPECT_EQ(rig.Pixel(1, 1), 0xFF0000u);
    EXPECT_EQ(rig.Pixel(2, 1), ToXrgb(PaletteColour(10)));
}

TEST(SoftDeviceTest, TextureWrapsAndModulatesWithTheVertexColour) {
    SoftRig rig(8, 8);
    LightLikeTheScene(*rig.device);
    D3DMATERIAL7 material{};
    material.ambient = {0.5f, 1, 0, 0};  // halves red, keeps green, drops blue
    rig.device->SetMaterial(&material);
    std::shared_ptr<IDirectDrawPalette> palette;
    std::shared_ptr<IDirectDrawSurface7> texture = MakeIndexTexture(rig, &palette);
    // u from 1 to 2 and v from -1 to 0: wrapping gives the same texels as 0 to 1.
    const std::vector<TexturedVertex> quad = ScreenQuad(rig, {-0.5f, -0.5f}, {7.5f, 7.5f}, 1, -1, 2, 0);
    rig.device->BeginScene();
    rig.device->SetTexture(0, texture.get());
    rig.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kSceneFormat, quad.data(), 4, 0);
    rig.device->EndScene();
    const PALETTEENTRY texel = PaletteColour(3 + 8 * 5);
    EXPECT_EQ(rig.Pixel(3, 5), (std::uint32_t{texel.peRed / 2u} << 16) | (std::uint32_t{texel.peGreen} << 8));
}

TEST(SoftDeviceTest, TextureCoordinatesArePerspectiveCorrect) {
    SoftRig rig(16, 16);
    // w = z; the left edge lies at z = 1, the right one at z = 3, filling the target.
    D3DMATRIX projection{};
    projection._11 = 1;
    projection._22 = 1;
    projection._33 = 0.5f;
    projection._34 = 1;
    rig.device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    const DDPIXELFORMAT format{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0};
    std::shared_ptr<IDirectDrawSurface7> texture = rig.MakeTexture(16, 1, &format);
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    texture->Lock(nullptr, &description, DDLOCK_WAIT, HANDLE{});
    for (int x = 0; x < 16; ++x) static_cast<std::uint32_t*>(description.lpSurface)[x] = static_cast<std::uint32_t>(x);
    texture->Unlock(nullptr);

    struct Vertex {
        float x, y, z, u, v;
    };
    const Vertex quad[4] = {{-1, 1, 1, 0, 0.5f}, {3, 3, 3, 1, 0.5f}, {-1, -1, 1, 0, 0.5f}, {3, -3, 3, 1, 0.5f}};
    rig.device->BeginScene();
    rig.device->SetTexture(0, texture.get());
    rig.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_XYZ | D3DFVF_TEX1, quad, 4, 0);
    rig.device->EndScene();
    // At screen x = 16s the texture coordinate is (s/3) / ((1 - s) + s/3):
    // 0.1, 0.357 and 0.7 at x = 4, 10, 14, i.e. texels 1, 5 and 11 (an
    // affine mapping would give 4, 10 and 14).
    EXPECT_EQ(rig.Pixel(4, 8), 1u);
    EXPECT_EQ(rig.Pixel(10, 8), 5u);
    EXPECT_EQ(rig.Pixel(14, 8), 11u);
}

TEST(SoftDeviceTest, OverlappingAdditiveQuadsSaturate) {
    SoftRig rig(8, 8);
    DrawAdditive(rig, {{{0, 0}, {6, 0}, {0, 8}}, {{2, 0}, {8, 0}, {8, 8}}}, 0x00C80000);  // red 200 each
    EXPECT_EQ(rig.Pixel(0, 1), 0xC80000u);
    EXPECT_EQ(rig.Pixel(4, 1), 0xFF0000u);
    EXPECT_EQ(rig.Pixel(7, 1), 0xC80000u);
}

// ---------------------------------------------------------------- Clipping, culling and clearing

TEST(SoftDeviceTest, TriangleCrossingTheNearPlaneDrawsOnlyItsVisiblePart) {
    SoftRig rig(16, 16);
    // The scene's projection: clip = (2x, 2y, z - 1, z), near plane z = 1.
    D3DMATRIX projection{};
    projection._11 = 2;
    projection._22 = 2;
    projection._33 = 1;
    projection._34 = 1;
    projection._43 = -1;
    rig.device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    rig.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    rig.device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    rig.device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    // Two corners at z = 3 on screen row 8; the third behind the eye (z = -1)
    // would project to (8, 0). The cut at z = 1 runs from (-4, 12) to (20, 12).
    const ColourVertex triangle[3] = {{-1.5f, 0, 3, 1}, {1.5f, 0, 3, 1}, {0, -0.5f, -1, 1}};
    rig.device->BeginScene();
    rig.device->DrawPrimitive(D3DPT_TRIANGLELIST, kColourFormat, triangle, 3, 0);
    rig.device->EndScene();
    const std::vector<std::uint32_t> pixels = rig.Pixels();
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(pixels[static_cast<std::size_t>(y * 16 + x)], (y >= 8 && y < 12) ? 1u : 0u) << x << "," << y;
        }
    }
}

TEST(SoftDeviceTest, UnusableGeometryDrawsNothing) {
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* name;
        D3DMATRIX world;
        ColourVertex triangle[3];
    };
    D3DMATRIX nanMatrix = dx::kIdentity;
    nanMatrix._11 = kNaN;
    const ColourVertex good[3] = {{-1, 1, 0.5f, 0xFFFFFF}, {1, 1, 0.5f, 0xFFFFFF}, {-1, -1, 0.5f, 0xFFFFFF}};
    const Case cases[] = {
        {"a NaN in the world matrix", nanMatrix, {good[0], good[1], good[2]}},
        {"an infinite corner", dx::kIdentity, {{kInf, 1, 0.5f, 0xFFFFFF}, good[1], good[2]}},
        {"a huge corner", dx::kIdentity, {{3e38f, 1, 0.5f, 0xFFFFFF}, good[1], good[2]}},
        {"all corners behind the eye", dx::kIdentity, {{-1, 1, -1, 0xFFFFFF}, {1, 1, -1, 0xFFFFFF}, {-1, -1, -1, 0xFFFFFF}}},
    };
    for (const Case& c : cases) {
        SoftRig rig(8, 8);
        rig.device->SetTransform(D3DTRANSFORMSTATE_WORLD, &c.world);
        rig.device->BeginScene();
        EXPECT_EQ(rig.device->DrawPrimitive(D3DPT_TRIANGLELIST, kColourFormat, c.triangle, 3, 0), D3D_OK) << c.name;
        rig.device->EndScene();
        EXPECT_EQ(rig.Pixels(), std::vector<std::uint32_t>(64, 0u)) << c.name;
    }
}

TEST(SoftDeviceTest, CullModeDropsTrianglesByScreenWinding) {
    struct Case {
        DWORD cullMode;
        bool clockwise;
        bool drawn;
    };
    const Case cases[] = {{D3DCULL_NONE, true, true},  {D3DCULL_NONE, false, true}, {D3DCULL_CCW, true, true},
                          {D3DCULL_CCW, false, false}, {D3DCULL_CW, true, false},   {D3DCULL_CW, false, true}};
    for (const Case& c : cases) {
        SoftRig rig(8, 8);
        rig.device->SetRenderState(D3DRENDERSTATE_CULLMODE, c.cullMode);
        // Top-left, top-right, bottom-left is clockwise on the screen.
        ColourVertex triangle[3] = {{-1, 1, 0.5f, 0xFF}, {1, 1, 0.5f, 0xFF}, {-1, -1, 0.5f, 0xFF}};
        if (!c.clockwise) std::swap(triangle[1], triangle[2]);
        rig.device->BeginScene();
        rig.device->DrawPrimitive(D3DPT_TRIANGLELIST, kColourFormat, triangle, 3, 0);
        rig.device->EndScene();
        EXPECT_EQ(rig.Pixel(1, 1), c.drawn ? 0xFFu : 0u) << "cull " << c.cullMode << " clockwise " << c.clockwise;
    }
}

TEST(SoftDeviceTest, ClearFillsRectanglesWithinTheViewport) {
    struct Case {
        const char* name;
        std::vector<D3DRECT> rects;
        std::string expected;  // 4 x 4, viewport is columns 1-3, rows 0-2
    };
    const std::vector<Case> cases = {
        {"no rectangles: the whole viewport", {}, Rows({".###", ".###", ".###", "...."})},
        {"a rectangle cut to the viewport", {{-5, 1, 2, 99}}, Rows({"....", ".#..", ".#..", "...."})},
        {"two rectangles; an inverted one is empty", {{3, 0, 4, 1}, {3, 2, 1, 0}}, Rows({"...#", "....", "....", "...."})},
    };
    for (const Case& c : cases) {
        SoftRig rig(4, 4);
        const D3DVIEWPORT7 viewport{1, 0, 3, 3, 0.0f, 1.0f};
        ASSERT_EQ(rig.device->SetViewport(&viewport), D3D_OK);
        EXPECT_EQ(rig.device->Clear(static_cast<DWORD>(c.rects.size()), c.rects.empty() ? nullptr : c.rects.data(),
                                    D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF123456, 1.0f, 0),
                  D3D_OK);
        std::string grid;
        const std::vector<std::uint32_t> pixels = rig.Pixels();
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            grid += pixels[i] == 0x123456u ? '#' : '.';
            if (i % 4 == 3) grid += '\n';
        }
        EXPECT_EQ(grid, c.expected) << c.name;
    }
}

// ---------------------------------------------------------------- Bad calls

TEST(SoftDeviceTest, BadCallsFailWithoutDrawing) {
    SoftRig rig(8, 8);
    const ColourVertex triangle[3] = {{-1, 1, 0.5f, 0xFF}, {1, 1, 0.5f, 0xFF}, {-1, -1, 0.5f, 0xFF}};
    EXPECT_EQ(rig.device->DrawPrimitive(D3DPT_TRIANGLELIST, kColourFormat, triangle, 3, 0), D3DERR_SCENE_NOT_IN_SCENE);
    EXPECT_EQ(rig.device->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
    ASSERT_EQ(rig.device->BeginScene(), D3D_OK);
    EXPECT_EQ(rig.device->BeginScene(), D3DERR_SCENE_IN_SCENE);
    EXPECT_EQ(rig.device->DrawPrimitive(D3DPT_TRIANGLELIST, kColourFormat, nullptr, 3, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(rig.device->DrawPrimitive(D3DPT_TRIANGLELIST, kColourFormat, triangle, D3DMAXNUMVERTICES + 1, 0),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(rig.device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW, triangle, 3, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(rig.device->DrawPrimitive(99, kColourFormat, triangle, 3, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(rig.device->DrawPrimitive(D3DPT_TRIANGLELIST, kColourFormat, triangle, 2, 0), D3D_OK);
    rig.device->EndScene();
    EXPECT_EQ(rig.Pixels(), std::vector<std::uint32_t>(64, 0u));

    const D3DVIEWPORT7 tooWide{4, 0, 5, 8, 0.0f, 1.0f};
    const D3DVIEWPORT7 empty{0, 0, 0, 8, 0.0f, 1.0f};
    EXPECT_EQ(rig.device->SetViewport(&tooWide), DDERR_INVALIDPARAMS);
    EXPECT_EQ(rig.device->SetViewport(&empty), DDERR_INVALIDPARAMS);
    EXPECT_EQ(rig.device->SetViewport(nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(rig.device->SetTransform(D3DTRANSFORMSTATE_WORLD, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(rig.device->SetRenderState(100000, 1), DDERR_INVALIDPARAMS);
    EXPECT_EQ(rig.device->Clear(2, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), DDERR_INVALIDPARAMS);
    // An off-screen plain surface is no texture.
    EXPECT_EQ(rig.device->SetTexture(0, rig.target.get()), DDERR_INVALIDPARAMS);
}

TEST(SoftDeviceTest, ReleasedSurfacesMakeCallsFailOrDrawUntextured) {
    SoftRig rig(8, 8);
    {
        std::shared_ptr<IDirectDrawSurface7> texture = rig.MakeTexture(4, 4, nullptr);
        rig.device->SetTexture(0, texture.get());
    }
    const ColourVertex triangle[3] = {{-1, 1, 0.5f, 0xFF}, {3, 1, 0.5f, 0xFF}, {-1, -3, 0.5f, 0xFF}};
    rig.device->BeginScene();
    EXPECT_EQ(rig.device->DrawPrimitive(D3DPT_TRIANGLELIST, kColourFormat, triangle, 3, 0), D3D_OK);
    rig.device->EndScene();
    EXPECT_EQ(rig.Pixel(3, 3), 0xFFu);

    rig.target.reset();
    rig.device->BeginScene();
    EXPECT_EQ(rig.device->DrawPrimitive(D3DPT_TRIANGLELIST, kColourFormat, triangle, 3, 0), DDERR_SURFACELOST);
    EXPECT_EQ(rig.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), DDERR_SURFACELOST);
}

INSTANTIATE_TEST_SUITE_P(Software, DeviceContract, ::testing::Values(DeviceKind{"Software", SoftwareDevices}), DeviceKindName);

// The allowance the other devices' cubes are held to must not pass a cube
// turned a fifth of a degree further.
TEST(CubeAllowanceTest, IsNarrowerThanAFifthOfADegree) {
    const ContractDevice soft = SoftwareDevices(630, 320).front();
    vx::testing::CubeFrame frame(*soft.directDraw, soft.target, *soft.device, 630, 320);
    frame.DrawScene(0.7);
    const std::vector<std::uint32_t> before = ReadPixels(*soft.target);
    frame.DrawScene(0.702);
    EXPECT_FALSE(vx::testing::WithinCubeAllowance(before, ReadPixels(*soft.target)));
}

}  // namespace
}  // namespace vx::dx::testing
