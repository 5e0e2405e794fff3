// The processor load sampler on this machine's real statistics.
//
//   vidorex_sampler_bench steady [SAMPLES]   time and allocations per TakeSample
//   vidorex_sampler_bench load SECONDS       the load of each processor over SECONDS
//
// Allocations are counted by replacing the global operator new in this
// binary; steady sampling should make none.

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/posix_system_services.h"
#include "sysinfo/processor_load.h"

namespace {

std::atomic<long> g_allocations{0};
std::atomic<long> g_allocatedBytes{0};

void* CountedAllocation(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    g_allocatedBytes.fetch_add(static_cast<long>(size), std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

namespace Sampler = vx::ProcessorLoadSampler;

int Steady(int samples) {
    vx::win::PosixSystemServices services;
    const Sampler::Session session(services);
    // The first samples size the buffer and the arrays.
    Sampler::TakeSample();
    Sampler::TakeSample();
    std::vector<double> micros(static_cast<std::size_t>(samples));
    const long allocationsBefore = g_allocations.load();
    const long bytesBefore = g_allocatedBytes.load();
    double sink = 0;
    for (double& time : micros) {
        const auto start = std::chrono::steady_clock::now();
        Sampler::TakeSample();
        sink += Sampler::GetLoad(0);
        time = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    }
    const long allocations = g_allocations.load() - allocationsBefore;
    const long bytes = g_allocatedBytes.load() - bytesBefore;
    std::sort(micros.begin(), micros.end());
    double total = 0;
    for (const double time : micros) total += time;
    std::printf("steady TakeSample+GetLoad over %d samples: mean %.1f us, median %.1f us, p99 %.1f us\n", samples,
                total / samples, micros[micros.size() / 2], micros[micros.size() * 99 / 100]);
    std::printf("allocations per sample: %.3f (%ld in all, %ld bytes)%s\n", static_cast<double>(allocations) / samples,
                allocations, bytes, std::isnan(sink) ? " (a load was not a number)" : "");
    return allocations == 0 ? 0 : 1;
}

int Load(double seconds) {
    vx::win::PosixSystemServices services;
    const Sampler::Session session(services);
    Sampler::TakeSample();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    Sampler::TakeSample();
    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    for (int index = 0; index <= processors; ++index) {
        const std::string name = index < processors ? "cpu" + std::to_string(index) : "total";
        std::printf("sampler %s %.2f%%\n", name.c_str(), 100.0 * Sampler::GetLoad(index));
    }
    return 0;
}

}  // namespace

void* operator new(std::size_t size) { return CountedAllocation(size); }
void* operator new[](std::size_t size) { return CountedAllocation(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "steady";
    try {
        if (mode == "steady") return Steady(argc > 2 ? std::max(1, std::atoi(argv[2])) : 2000);
        if (mode == "load" && argc > 2) return Load(std::atof(argv[2]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vidorex_sampler_bench: %s\n", e.what());
        return 2;
    }
    std::fprintf(stderr, "usage: %s steady [SAMPLES] | load SECONDS\n", argv[0]);
    return 2;
}
