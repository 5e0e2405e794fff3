// Frames per second of the software device drawing the video test's scene
// (clear, then a textured cube of six four-vertex strips, additive, no
// culling) on a 630 x 320 target, on one core and without the vertical-blank
// wait; and the heap allocations each frame makes (there should be none).

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

#include "platform/dx/soft/soft_direct_draw.h"

// The replaced operators below pair malloc with free themselves; once they
// are inlined the compiler sees only the operators and warns wrongly.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<std::size_t> g_allocations{0};

}  // namespace

void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

using namespace vx::win;

class NoWindow final : public vx::dx::PresentationTarget {
public:
    void Present(HWND, const std::uint32_t*, int, int, int, const RECT&) override {}
    bool CanShow() const override { return true; }
    RECT ClientRectOf(HWND) const override { return RECT{0, 0, 630, 320}; }
    vx::dx::DisplayMode CurrentDisplayMode() const override { return {1024, 768, 32, 60}; }
    bool WaitForVerticalBlank() override { return false; }
    DWORD NowMs() const override { return 0; }
    void SleepMs(DWORD) override {}
};

struct Vertex {
    float x, y, z, nx, ny, nz, u, v;
};

// The cube of the video test: six strips of four vertices, edges of length 2.
// clang-format off
constexpr Vertex kCube[24] = {
    {-1, 1, -1, 0, 0, -1, 0, 0}, {1, 1, -1, 0, 0, -1, 1, 0},  {-1, -1, -1, 0, 0, -1, 0, 1}, {1, -1, -1, 0, 0, -1, 1, 1},
    {-1, 1, 1, 0, 0, 1, 1, 0},   {-1, -1, 1, 0, 0, 1, 1, 1},  {1, 1, 1, 0, 0, 1, 0, 0},     {1, -1, 1, 0, 0, 1, 0, 1},
    {-1, 1, 1, 0, 1, 0, 0, 0},   {1, 1, 1, 0, 1, 0, 1, 0},    {-1, 1, -1, 0, 1, 0, 0, 1},   {1, 1, -1, 0, 1, 0, 1, 1},
    {-1, -1, 1, 0, -1, 0, 0, 0}, {-1, -1, -1, 0, -1, 0, 0, 1}, {1, -1, 1, 0, -1, 0, 1, 0},  {1, -1, -1, 0, -1, 0, 1, 1},
    {1, 1, -1, 1, 0, 0, 0, 0},   {1, 1, 1, 1, 0, 0, 1, 0},    {1, -1, -1, 1, 0, 0, 0, 1},   {1, -1, 1, 1, 0, 0, 1, 1},
    {-1, 1, -1, -1, 0, 0, 1, 0}, {-1, -1, -1, -1, 0, 0, 1, 1}, {-1, 1, 1, -1, 0, 0, 0, 0},  {-1, -1, 1, -1, 0, 0, 0, 1},
};
// clang-format on

// A 256 x 256 palettised picture: mottled dark green-grey, a yellow square
// in the middle and two thin black lines through the centre.
std::shared_ptr<IDirectDrawSurface7> MakeTexture(IDirectDraw7& directDraw, std::shared_ptr<IDirectDrawPalette>* palette) {
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    description.dwWidth = 256;
    description.dwHeight = 256;
    description.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    description.ddpfPixelFormat = DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB | DDPF_PALETTEINDEXED8, 0, 8, 0, 0, 0, 0};
    std::shared_ptr<IDirectDrawSurface7> texture;
    if (FAILED(directDraw.CreateSurface(&description, &texture))) return nullptr;
    PALETTEENTRY entries[256];
    for (int i = 0; i < 255; ++i) {
        entries[i] =
            PALETTEENTRY{static_cast<BYTE>(0x21 + i / 8), static_cast<BYTE>(0x21 + i / 6), static_cast<BYTE>(0x10 + i / 10), 0};
    }
    entries[255] = PALETTEENTRY{0xF0, 0xD0, 0x10, 0};
    directDraw.CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, palette);
    texture->SetPalette(*palette);
    texture->Lock(nullptr, &description, DDLOCK_WAIT, HANDLE{});
    std::uint32_t noise = 12345;
    for (int y = 0; y < 256; ++y) {
        auto* row = static_cast<BYTE*>(description.lpSurface) + y * description.lPitch;
        for (int x = 0; x < 256; ++x) {
            noise = noise * 1664525u + 1013904223u;
            BYTE index = static_cast<BYTE>((noise >> 24) % 200);
            if (x >= 80 && x < 176 && y >= 80 && y < 176) index = 255;
            if (x == 128 || y == 128) index = 0;
            row[x] = index;
        }
    }
    texture->Unlock(nullptr);
    return texture;
}

void BM_SoftDeviceCubeFrame(benchmark::State& state) {
    NoWindow window;
    vx::dx::SoftDirectDrawLibrary library(window);
    std::shared_ptr<IDirectDraw7> directDraw;
    library.DirectDrawCreateEx(nullptr, &directDraw);
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    description.dwWidth = 630;
    description.dwHeight = 320;
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    std::shared_ptr<IDirectDrawSurface7> back;
    std::shared_ptr<IDirect3D7> direct3D;
    std::shared_ptr<IDirect3DDevice7> device;
    std::shared_ptr<IDirectDrawPalette> palette;
    if (FAILED(directDraw->CreateSurface(&description, &back)) || FAILED(directDraw->QueryDirect3D7(&direct3D)) ||
        FAILED(direct3D->CreateDevice(IID_IDirect3DRGBDevice, back.get(), &device))) {
        state.SkipWithError("no device");
        return;
    }
    std::shared_ptr<IDirectDrawSurface7> texture = MakeTexture(*directDraw, &palette);

    const D3DVIEWPORT7 viewport{0, 0, 630, 320, 0.0f, 1.0f};
    device->SetViewport(&viewport);
    D3DMATERIAL7 material{};
    material.diffuse = {1, 1, 1, 0};
    material.ambient = {1, 1, 1, 0};
    device->SetMaterial(&material);
    device->SetRenderState(D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF);
    D3DMATRIX projection{};
    projection._11 = 2;
    projection._22 = 2;
    projection._33 = 1;
    projection._34 = 1;
    projection._43 = -1;
    device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    D3DMATRIX view{};
    view._11 = 1;
    view._22 = std::cos(-0.5f);
    view._23 = std::sin(-0.5f);
    view._32 = -std::sin(-0.5f);
    view._33 = std::cos(-0.5f);
    view._43 = 5;
    view._44 = 1;
    const D3DRECT whole{0, 0, 630, 320};

    const auto drawFrame = [&](double t) {
        D3DMATRIX world{};
        world._11 = static_cast<float>(std::cos(t));
        world._13 = static_cast<float>(std::sin(t));
        world._22 = 1;
        world._31 = static_cast<float>(-std::sin(t));
        world._33 = static_cast<float>(std::cos(t));
        world._44 = 1;
        device->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
        device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
        device->Clear(1, &whole, D3DCLEAR_TARGET, 0, 1.0f, 0);
        device->BeginScene();
        device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
        device->SetTexture(0, texture.get());
        for (int k = 0; k < 6; ++k) {
            device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, &kCube[4 * k], 4, 0);
        }
        device->EndScene();
    };

    // The first frame sizes the vertex buffer and converts the texture once.
    drawFrame(0.0);
    double t = 0.0;
    const std::size_t allocationsBefore = g_allocations.load();
    for (auto _ : state) {
        t += 0.013;  // the cube turns a little each frame, as it does in the test
        drawFrame(t);
    }
    const std::size_t allocations = g_allocations.load() - allocationsBefore;
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["allocations_per_frame"] =
        static_cast<double>(allocations) / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
}
BENCHMARK(BM_SoftDeviceCubeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
