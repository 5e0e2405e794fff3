// The two timed workloads: the processor test's floating-point loop and the
// memory test's byte-by-byte copy. They measure by doing a fixed amount of
// work, so the work must really happen as written: workloads.cpp is compiled
// without floating-point contraction, reassociation or vectorisation (see
// the top-level CMakeLists.txt), and a test reads their machine code.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vx {

// The accumulator's format: the 80-bit extended format where the processor
// has it; elsewhere long double is either plain double or a software format
// far slower than the hardware the test means to time.
#if defined(__x86_64__) || defined(__i386__)
using ExtendedFloat = long double;
#else
using ExtendedFloat = double;
#endif

constexpr int kSpeedTestSlices = 10;
// The loop counter runs from 0 to 10,000,000 inclusive.
constexpr std::int32_t kProcessorLastIteration = 10'000'000;
constexpr std::size_t kMemoryBlockBytes = 10'485'760;
constexpr int kMemoryCopiesPerSlice = 51;

// One slice of the processor test: for each iteration, the block
//   x := (j + slice / 1000) × (x / 6535);  x := x / 7 × 3 + 5;
//   x := x / 4567.123456;                  x := x / 45 × 34
// twice, in that order. Returns the accumulator for the next slice.
ExtendedFloat RunProcessorSlice(int slice, ExtendedFloat accumulator);

// One slice of the memory test: kMemoryCopiesPerSlice copies of size bytes
// from source to target, one byte load and one byte store at a time, in
// ascending address order.
void RunMemorySlice(const std::uint8_t* source, std::uint8_t* target, std::size_t size);

}  // namespace vx
