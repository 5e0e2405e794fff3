// The video test's frame (clear, the six strips of the textured cube,
// additive, no culling, and the white frame-rate line) on a 630 x 320
// target, unthrottled: frames per second and heap allocations per frame of
// the software device, beside the system's OpenGL drawing the same frame
// through the OpenGL device. OpenGL is asked to work on one thread
// (LP_NUM_THREADS=0 for Mesa's llvmpipe) so that both use one core.
//
//   build/bench/vidorex_soft_device_bench [--benchmark_min_time=2]

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <string>

#include "platform/dx/gl/gl_device_factory.h"
#include "platform/dx/soft/soft_direct_draw.h"
#include "support/cube_frame.h"

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

constexpr int kWidth = 630;
constexpr int kHeight = 320;

class NoWindow final : public vx::dx::PresentationTarget {
public:
    explicit NoWindow(std::shared_ptr<vx::dx::DeviceFactory> display) : m_display(std::move(display)) {}
    void Present(HWND, const std::uint32_t*, int, int, int, const RECT&) override {}
    bool CanShow() const override { return true; }
    RECT ClientRectOf(HWND) const override { return RECT{0, 0, kWidth, kHeight}; }
    vx::dx::DisplayMode CurrentDisplayMode() const override { return {1024, 768, 32, 60}; }
    bool WaitForVerticalBlank() override { return false; }
    DWORD NowMs() const override { return 0; }
    void SleepMs(DWORD) override {}
    std::shared_ptr<vx::dx::DeviceFactory> DisplayDeviceFactory() override { return m_display; }

private:
    std::shared_ptr<vx::dx::DeviceFactory> m_display;
};

// Frames per second of each run, for the summary.
std::map<std::string, double> g_framesPerSecond;

enum class Device { Software, OpenGL };

void RunCubeFrames(benchmark::State& state, Device kind, bool overlay) {
    NoWindow window(kind == Device::OpenGL ? std::make_shared<vx::dx::gl::DeviceFactory>() : nullptr);
    vx::dx::SoftDirectDrawLibrary library(window);
    std::shared_ptr<IDirectDraw7> directDraw;
    std::shared_ptr<IDirectDrawSurface7> back;
    std::shared_ptr<IDirect3D7> direct3D;
    std::shared_ptr<IDirect3DDevice7> device;
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    description.dwWidth = kWidth;
    description.dwHeight = kHeight;
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    std::string renderer;
    std::optional<GUID> wanted;
    if (SUCCEEDED(library.DirectDrawCreateEx(nullptr, &directDraw)) && SUCCEEDED(directDraw->CreateSurface(&description, &back)) &&
        SUCCEEDED(directDraw->QueryDirect3D7(&direct3D))) {
        direct3D->EnumDevices([&](const char* description, const char*, const D3DDEVICEDESC7& d) {
            const bool isOpenGL = std::string(description).rfind("OpenGL", 0) == 0;
            if (isOpenGL == (kind == Device::OpenGL) && !wanted) {
                wanted = d.deviceGUID;
                renderer = description;
            }
            return D3DENUMRET_OK;
        });
    }
    if (!wanted || FAILED(direct3D->CreateDevice(*wanted, back.get(), &device))) {
        state.SkipWithError("no such device here");
        return;
    }
    vx::testing::CubeFrame frame(*directDraw, back, *device, kWidth, kHeight);
    const std::string text = "FPS: 60 (Device: Software)";
    const auto drawFrame = [&](double t) {
        frame.DrawScene(t);
        if (overlay) {
            frame.DrawOverlay(text);
        } else if (kind == Device::OpenGL) {
            // The frame is not finished before it is in the surface's memory.
            DDSURFACEDESC2 locked{};
            locked.dwSize = sizeof locked;
            back->Lock(nullptr, &locked, DDLOCK_WAIT, HANDLE{});
            back->Unlock(nullptr);
        }
    };

    // The first frames size the buffers, convert the texture and load the glyphs.
    for (int i = 0; i < 3; ++i) drawFrame(0.0);
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
    state.SetLabel(renderer);
}

void BM_SoftwareCubeScene(benchmark::State& state) { RunCubeFrames(state, Device::Software, false); }
void BM_SoftwareCubeFrame(benchmark::State& state) { RunCubeFrames(state, Device::Software, true); }
void BM_OpenGLCubeScene(benchmark::State& state) { RunCubeFrames(state, Device::OpenGL, false); }
void BM_OpenGLCubeFrame(benchmark::State& state) { RunCubeFrames(state, Device::OpenGL, true); }

BENCHMARK(BM_SoftwareCubeScene)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_SoftwareCubeFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_OpenGLCubeScene)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_OpenGLCubeFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Keeps each run's frame rate for the closing comparison.
class SummaryReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const auto found = run.counters.find("frames_per_second");
            if (!run.error_occurred && found != run.counters.end()) g_framesPerSecond[run.run_name.function_name] = found->second;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    // One rasteriser thread, and OpenGL without a screen unless one is named.
    setenv("LP_NUM_THREADS", "0", 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) std::fprintf(stderr, "no window system for OpenGL: %s\n", SDL_GetError());
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double software = g_framesPerSecond["BM_SoftwareCubeFrame"];
    const double opengl = g_framesPerSecond["BM_OpenGLCubeFrame"];
    std::printf("\nwhole frame at %d x %d: software device %.0f fps, OpenGL device %.0f fps", kWidth, kHeight, software, opengl);
    if (opengl > 0) std::printf(", %.2f times as fast (goal: 3)", software / opengl);
    std::printf("\n");
    benchmark::Shutdown();
    SDL_Quit();
    return 0;
}
