// The video test's whole frame at 630 x 320, unthrottled, on the software
// device, beside a bare OpenGL loop drawing the same scene (the yardstick,
// see bare_gl_loop.h) and beside the program's own OpenGL device.
//
//   build/bench/vidorex_soft_device_bench [--rounds=N] [--seconds=S] [--wait-quiet=W]
//   build/bench/vidorex_soft_device_bench --only=SUBJECT --frames=F [--hash]
//
// The second form draws F frames of one subject (software, bare1, bare,
// opengl) in this process, for a profiler or callgrind; with --hash it also
// prints a hash of every frame's pixels, to show that a change to the
// device left its pictures as they were.
//
// Each measurement runs in a child process of its own, so that the devices
// do not share caches, heaps or OpenGL's threads, and the measurements
// alternate round by round (N rounds, default 3; S seconds each, default 2).
// Frame n shows the cube at t = n/60 everywhere. Reported: frames per second
// of wall time and per second of the process's processor time (all its
// threads), heap allocations per frame, the medians' ratios, and the
// machine's load average (one minute, /proc/loadavg) as each measurement
// starts: on a shared machine the wall figures mean little without it.
// With --wait-quiet=W each round first waits, for W seconds at most, until
// that load average is below 1, and says so when it never gets there.
//
//   software          the software device: clear, six strips, the frame-rate line
//   bare, one thread  the bare loop with LP_NUM_THREADS=0 (Mesa's llvmpipe on one core)
//   bare, threads     the bare loop with llvmpipe's default threads
//   OpenGL device     the OpenGL device, one thread: clear, six strips, the line
//
// Sections: Subjects and their measurements; The machine's load; Rounds and the table.

#include <SDL.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bare_gl_loop.h"
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
constexpr int kWarmUpFrames = 5;  // buffers sized, texture converted, glyphs loaded, shaders compiled

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

enum class Subject { Software, BareOneThread, BareThreads, OpenGLDevice };
constexpr Subject kSubjects[] = {Subject::Software, Subject::BareOneThread, Subject::BareThreads, Subject::OpenGLDevice};

// ---------------------------------------------------------------- Subjects and their measurements

const char* NameOf(Subject subject) {
    switch (subject) {
        case Subject::Software:
            return "software";
        case Subject::BareOneThread:
            return "bare, one thread";
        case Subject::BareThreads:
            return "bare, threads";
        default:
            return "OpenGL device";
    }
}

// What a child reports through its pipe.
struct Measurement {
    bool ok = false;
    double wallFps = 0;
    double cpuFps = 0;
    double allocationsPerFrame = 0;
    long frames = 0;
    std::uint64_t hash = 0;
    char note[120] = {};
};

bool g_hashFrames = false;

// FNV-1a over the frame's picture (the top byte of a pixel is no part of it).
std::uint64_t HashPixels(std::uint64_t hash, const std::uint32_t* pixels, int pitchPixels) {
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            hash = (hash ^ (pixels[static_cast<std::ptrdiff_t>(y) * pitchPixels + x] & 0xFFFFFFu)) * 1099511628211u;
        }
    }
    return hash;
}

double ProcessSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// How long a measurement runs after its warm-up: seconds of wall time, or
// a number of frames.
struct Span {
    double seconds = 2.0;
    long frames = 0;
};

template <typename DrawFrame>
Measurement Time(const Span& span, DrawFrame&& drawFrame) {
    long n = 0;
    for (; n < kWarmUpFrames; ++n) drawFrame(static_cast<double>(n) / 60.0);
    const std::size_t allocationsBefore = g_allocations.load();
    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = ProcessSeconds();
    long frames = 0;
    double wall = 0;
    do {
        for (int i = 0; i < 16 && (span.frames == 0 || frames < span.frames); ++i, ++n, ++frames) {
            drawFrame(static_cast<double>(n) / 60.0);
        }
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    } while (span.frames > 0 ? frames < span.frames : wall < span.seconds);
    const double cpu = ProcessSeconds() - cpuStart;
    Measurement m;
    m.ok = true;
    m.frames = frames;
    m.wallFps = static_cast<double>(frames) / wall;
    m.cpuFps = static_cast<double>(frames) / cpu;
    m.allocationsPerFrame = static_cast<double>(g_allocations.load() - allocationsBefore) / static_cast<double>(frames);
    return m;
}

void Note(Measurement& m, const std::string& text) { std::snprintf(m.note, sizeof m.note, "%s", text.c_str()); }

Measurement MeasureDevice(bool openGL, const Span& span) {
    Measurement failed;
    NoWindow window(openGL ? std::make_shared<vx::dx::gl::DeviceFactory>() : nullptr);
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
    if (SUCCEEDED(library.DirectDrawCreateEx(nullptr, &directDraw)) &&
        SUCCEEDED(directDraw->CreateSurface(&description, &back)) && SUCCEEDED(directDraw->QueryDirect3D7(&direct3D))) {
        direct3D->EnumDevices([&](const char* name, const char*, const D3DDEVICEDESC7& d) {
            const bool isOpenGL = std::string(name).rfind("OpenGL", 0) == 0;
            if (isOpenGL == openGL && !wanted) {
                wanted = d.deviceGUID;
                renderer = name;
            }
            return D3DENUMRET_OK;
        });
    }
    if (!wanted || FAILED(direct3D->CreateDevice(*wanted, back.get(), &device))) {
        Note(failed, "no such device here");
        return failed;
    }
    vx::testing::CubeFrame frame(*directDraw, back, *device, kWidth, kHeight);
    const std::string text = "FPS: 60 (Device: Software)";
    std::uint64_t hash = 14695981039346656037u;
    Measurement m = Time(span, [&](double t) {
        frame.DrawScene(t);
        frame.DrawOverlay(text);
        if (!g_hashFrames) return;
        DDSURFACEDESC2 locked{};
        locked.dwSize = sizeof locked;
        if (FAILED(back->Lock(nullptr, &locked, DDLOCK_WAIT, HANDLE{}))) return;
        hash = HashPixels(hash, static_cast<const std::uint32_t*>(locked.lpSurface), locked.lPitch / 4);
        back->Unlock(nullptr);
    });
    m.hash = hash;
    Note(m, renderer);
    return m;
}

Measurement MeasureBareLoop(const Span& span) {
    vx::bench::BareGlLoop loop(kWidth, kHeight);
    Measurement m = Time(span, [&](double t) { loop.DrawFrame(t); });
    Note(m, loop.Renderer());
    return m;
}

Measurement Measure(Subject subject, const Span& span) {
    // Read by llvmpipe when OpenGL starts up in this process.
    if (subject == Subject::BareThreads) {
        unsetenv("LP_NUM_THREADS");
    } else {
        setenv("LP_NUM_THREADS", "0", 1);
    }
    try {
        switch (subject) {
            case Subject::Software:
                return MeasureDevice(false, span);
            case Subject::OpenGLDevice: {
                setenv("SDL_VIDEODRIVER", "offscreen", 0);
                if (SDL_Init(SDL_INIT_VIDEO) != 0) {
                    Measurement failed;
                    Note(failed, std::string("no window system for OpenGL: ") + SDL_GetError());
                    return failed;
                }
                Measurement m = MeasureDevice(true, span);
                SDL_Quit();
                return m;
            }
            default:
                return MeasureBareLoop(span);
        }
    } catch (const std::exception& error) {
        Measurement failed;
        Note(failed, error.what());
        return failed;
    }
}

// Runs one measurement in a child process.
Measurement MeasureApart(Subject subject, const Span& span) {
    int ends[2];
    Measurement m;
    if (pipe(ends) != 0) return m;
    std::fflush(stdout);  // nothing buffered is written twice
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        const Measurement result = Measure(subject, span);
        const ssize_t written = write(ends[1], &result, sizeof result);
        _exit(written == static_cast<ssize_t>(sizeof result) ? 0 : 1);
    }
    close(ends[1]);
    if (child > 0) {
        if (read(ends[0], &m, sizeof m) != static_cast<ssize_t>(sizeof m)) m = Measurement{};
        waitpid(child, nullptr, 0);
    }
    close(ends[0]);
    return m;
}

// The one-minute load average; negative where the system does not tell.
// ---------------------------------------------------------------- The machine's load

double LoadAverage() {
    std::ifstream file("/proc/loadavg");
    double load = -1;
    if (!(file >> load)) return -1;
    return load;
}

constexpr double kQuietLoad = 1.0;

// Waits until the load average is below kQuietLoad, for limitSeconds at
// most, and tells what came of it.
void WaitForQuiet(int round, double limitSeconds) {
    const auto start = std::chrono::steady_clock::now();
    double waited = 0;
    double load = LoadAverage();
    while (load >= kQuietLoad && waited < limitSeconds) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        load = LoadAverage();
    }
    if (load < 0) {
        std::printf("round %d: the load average cannot be read here; not waiting\n", round);
    } else if (load < kQuietLoad) {
        std::printf("round %d: quiet, load average %.2f (waited %.0f s)\n", round, load, waited);
    } else {
        std::printf("round %d: NOT QUIET: load average still %.2f after %.0f s; measuring anyway\n", round, load, waited);
    }
    std::fflush(stdout);
}

// ---------------------------------------------------------------- Rounds and the table

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

const char* Option(int argc, char** argv, const char* name) {
    const std::size_t length = std::strlen(name);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], name, length) == 0 && argv[i][length] == '=') return argv[i] + length + 1;
    }
    return nullptr;
}

double OptionValue(int argc, char** argv, const char* name, double fallback) {
    const char* value = Option(argc, argv, name);
    return value != nullptr ? std::atof(value) : fallback;
}

int RunOne(const std::string& name, long frames) {
    const char* names[] = {"software", "bare1", "bare", "opengl"};
    for (std::size_t s = 0; s < std::size(kSubjects); ++s) {
        if (name != names[s]) continue;
        const Measurement m = Measure(kSubjects[s], Span{0, std::max(1L, frames)});
        std::printf("%s: %ld frames, %.0f fps wall, %.0f fps processor, %.2f allocations a frame; %s\n", NameOf(kSubjects[s]),
                    m.frames, m.wallFps, m.cpuFps, m.allocationsPerFrame, m.note);
        if (g_hashFrames) std::printf("hash of every frame: %016llx\n", static_cast<unsigned long long>(m.hash));
        return m.ok ? 0 : 1;
    }
    std::fprintf(stderr, "--only takes software, bare1, bare or opengl\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (const char* only = Option(argc, argv, "--only")) {
        for (int i = 1; i < argc; ++i) g_hashFrames = g_hashFrames || std::strcmp(argv[i], "--hash") == 0;
        return RunOne(only, static_cast<long>(OptionValue(argc, argv, "--frames", 300)));
    }
    const int rounds = std::max(1, static_cast<int>(OptionValue(argc, argv, "--rounds", 3)));
    const double seconds = std::max(0.1, OptionValue(argc, argv, "--seconds", 2.0));
    const double waitQuiet = OptionValue(argc, argv, "--wait-quiet", -1);
    constexpr std::size_t kCount = std::size(kSubjects);
    std::vector<double> wall[kCount];
    std::vector<double> cpu[kCount];
    double allocations[kCount] = {};
    std::string notes[kCount];
    double lowestLoad = 1e9;
    double highestLoad = -1;

    std::printf("frame at %d x %d, %d rounds of %.1f s each", kWidth, kHeight, rounds, seconds);
    if (waitQuiet >= 0)
        std::printf(", each round after waiting up to %.0f s for a load average below %.0f", waitQuiet, kQuietLoad);
    std::printf("\n%-5s %-18s %12s %12s %8s %6s  %s\n", "round", "subject", "wall fps", "cpu fps", "alloc/f", "load", "renderer");
    for (int round = 1; round <= rounds; ++round) {
        if (waitQuiet >= 0) WaitForQuiet(round, waitQuiet);
        for (std::size_t s = 0; s < kCount; ++s) {
            const double load = LoadAverage();
            lowestLoad = std::min(lowestLoad, load);
            highestLoad = std::max(highestLoad, load);
            const Measurement m = MeasureApart(kSubjects[s], Span{seconds, 0});
            if (!m.ok) {
                std::printf("%-5d %-18s %12s %12s %8s %6.2f  %s\n", round, NameOf(kSubjects[s]), "-", "-", "-", load, m.note);
                continue;
            }
            wall[s].push_back(m.wallFps);
            cpu[s].push_back(m.cpuFps);
            allocations[s] = std::max(allocations[s], m.allocationsPerFrame);
            notes[s] = m.note;
            std::printf("%-5d %-18s %12.0f %12.0f %8.2f %6.2f  %s\n", round, NameOf(kSubjects[s]), m.wallFps, m.cpuFps,
                        m.allocationsPerFrame, load, m.note);
            std::fflush(stdout);
        }
    }

    std::printf("\nload average (one minute) %.2f to %.2f as the measurements started%s\n", lowestLoad, highestLoad,
                highestLoad >= kQuietLoad ? ": NOT a quiet machine" : "");
    std::printf("\nmedians      %12s %12s %10s %10s\n", "wall fps", "cpu fps", "x bare/1", "cpu x");
    const double bareWall = Median(wall[1]);
    const double bareCpu = Median(cpu[1]);
    for (std::size_t s = 0; s < kCount; ++s) {
        const double w = Median(wall[s]);
        const double c = Median(cpu[s]);
        std::printf("%-18s %8.0f %12.0f %10.2f %10.2f\n", NameOf(kSubjects[s]), w, c, bareWall > 0 ? w / bareWall : 0.0,
                    bareCpu > 0 ? c / bareCpu : 0.0);
    }
    const double software = Median(wall[0]);
    const double device = Median(wall[3]);
    std::printf("\nsoftware device: %.2f times the bare loop on one core (goal 3, stretch 5), %.2f allocations a frame\n",
                bareWall > 0 ? software / bareWall : 0.0, allocations[0]);
    if (device > 0 && bareWall > 0) {
        std::printf("OpenGL device: frame time %.2f times the bare loop's (goal at most 1.5);", bareWall / device);
        std::printf(" software %.2f times the OpenGL device\n", software / device);
    }
    return 0;
}
