// Compiled with -ffp-contract=off -fno-fast-math -fno-tree-vectorize
// -fno-tree-slp-vectorize -fno-unsafe-math-optimizations: the work below is
// the measurement, and each of those would change it.
#include "checks/workloads.h"

namespace vx {

namespace {

// Hands a value to code the optimiser cannot see into: the value must exist
// in memory, so every operation that produced it must be performed. It
// keeps no state, unlike a volatile global would.
template <class T>
inline void Sink(T& value) {
    __asm__ __volatile__("" : : "m"(value) : "memory");
}

}  // namespace

ExtendedFloat RunProcessorSlice(int slice, ExtendedFloat accumulator) {
    ExtendedFloat x = accumulator;
    const ExtendedFloat offset = static_cast<ExtendedFloat>(slice) / 1000;
    for (std::int32_t j = 0; j <= kProcessorLastIteration; ++j) {
        const ExtendedFloat counter = static_cast<ExtendedFloat>(j);
        x = (counter + offset) * (x / 6535);
        x = x / 7 * 3 + 5;
        x = x / static_cast<ExtendedFloat>(4567.123456L);
        x = x / 45 * 34;
        x = (counter + offset) * (x / 6535);
        x = x / 7 * 3 + 5;
        x = x / static_cast<ExtendedFloat>(4567.123456L);
        x = x / 45 * 34;
    }
    Sink(x);
    return x;
}

void RunMemorySlice(const std::uint8_t* source, std::uint8_t* target, std::size_t size) {
    // Volatile byte accesses may be neither merged, widened, vectorised,
    // reordered, turned into a library copy nor dropped, although nothing
    // ever reads the target.
    const volatile std::uint8_t* from = source;
    volatile std::uint8_t* to = target;
    for (int copy = 0; copy < kMemoryCopiesPerSlice; ++copy) {
        for (std::size_t i = 0; i < size; ++i) {
            to[i] = from[i];
        }
    }
}

}  // namespace vx
