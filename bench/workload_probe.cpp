// Runs the processor test's and the memory test's real workloads once, as
// the checks run them but without the window, and prints their seconds:
//   processor 6.213
//   memory 7.481
// Usage: vidorex_workload_probe [processor|memory]   (both by default)
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

#include "checks/workloads.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double ProcessorSeconds() {
    const auto start = Clock::now();
    vx::ExtendedFloat accumulator = 0;
    for (int slice = 0; slice < vx::kSpeedTestSlices; ++slice) accumulator = vx::RunProcessorSlice(slice, accumulator);
    return Since(start);
}

double MemorySeconds() {
    auto source = std::make_unique<std::uint8_t[]>(vx::kMemoryBlockBytes);
    auto target = std::make_unique<std::uint8_t[]>(vx::kMemoryBlockBytes);
    // As in the check: the allocation is not timed, the release is.
    const auto start = Clock::now();
    for (int slice = 0; slice < vx::kSpeedTestSlices; ++slice) {
        vx::RunMemorySlice(source.get(), target.get(), vx::kMemoryBlockBytes);
    }
    source.reset();
    target.reset();
    return Since(start);
}

}  // namespace

int main(int argc, char** argv) {
    const char* which = argc > 1 ? argv[1] : "both";
    const bool both = std::strcmp(which, "both") == 0;
    if (both || std::strcmp(which, "processor") == 0) std::printf("processor %.3f\n", ProcessorSeconds());
    if (both || std::strcmp(which, "memory") == 0) std::printf("memory %.3f\n", MemorySeconds());
    return 0;
}
