// The 32-bit program's view of what a 64-bit process is told.
#include "platform/program_view.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vx::win {
namespace {

// A 64-bit process's highest address (as a 32-bit build holds it, cut short).
constexpr std::uintptr_t kSixtyFourBitHighest = static_cast<std::uintptr_t>(0x7FFFFFFEFFFFull);

TEST(ProgramViewTest, SystemInfoAsAThirtyTwoBitProgramSeesIt) {
    struct Case {
        const char* machine;
        SYSTEM_INFO told;
        WORD architecture;
        DWORD processorType;
        std::uintptr_t highestAddress;
        DWORD_PTR mask;
    };
    const Case cases[] = {
        {"64-bit x86, 64 processors",
         {PROCESSOR_ARCHITECTURE_AMD64, 0, 4096, 0x10000, kSixtyFourBitHighest, ~DWORD_PTR{0}, 64, PROCESSOR_AMD_X8664, 65536, 6,
          0x9E0A},
         PROCESSOR_ARCHITECTURE_INTEL,
         PROCESSOR_INTEL_PENTIUM,
         0x7FFEFFFF,
         0xFFFFFFFFu},
        {"64-bit ARM",
         {PROCESSOR_ARCHITECTURE_ARM64, 0, 4096, 0x10000, kSixtyFourBitHighest, 0xFF, 8, 0, 65536, 8, 0},
         PROCESSOR_ARCHITECTURE_INTEL,
         0,
         0x7FFEFFFF,
         0xFF},
        {"the 32-bit program's own answer",
         {PROCESSOR_ARCHITECTURE_INTEL, 0, 4096, 0x10000, 0x7FFEFFFF, 0x3, 2, PROCESSOR_INTEL_PENTIUM, 65536, 6, 0x9E0A},
         PROCESSOR_ARCHITECTURE_INTEL,
         PROCESSOR_INTEL_PENTIUM,
         0x7FFEFFFF,
         0x3},
    };
    for (const Case& c : cases) {
        const SYSTEM_INFO seen = AsThirtyTwoBitProgramSees(c.told);
        EXPECT_EQ(seen.wProcessorArchitecture, c.architecture) << c.machine;
        EXPECT_EQ(seen.dwProcessorType, c.processorType) << c.machine;
        EXPECT_EQ(seen.lpMaximumApplicationAddress, c.highestAddress) << c.machine;
        EXPECT_EQ(seen.dwActiveProcessorMask, c.mask) << c.machine;
        // What is the machine's, not the process's, stays.
        EXPECT_EQ(seen.dwNumberOfProcessors, c.told.dwNumberOfProcessors) << c.machine;
        EXPECT_EQ(seen.wProcessorLevel, c.told.wProcessorLevel) << c.machine;
        EXPECT_EQ(seen.wProcessorRevision, c.told.wProcessorRevision) << c.machine;
        EXPECT_EQ(seen.dwPageSize, c.told.dwPageSize) << c.machine;
        EXPECT_EQ(seen.lpMinimumApplicationAddress, c.told.lpMinimumApplicationAddress) << c.machine;
    }
}

TEST(ProgramViewTest, MemoryAsAThirtyTwoBitProgramIsToldIt) {
    constexpr ULONGLONG kGiB = 1ull << 30;
    struct Case {
        const char* machine;
        MemoryCounts told;
        MEMORYSTATUS seen;
    };
    const Case cases[] = {
        {"16 GiB, 40 % in use, 128 TiB of address space",
         {40, 16 * kGiB, 9 * kGiB, 20 * kGiB, 12 * kGiB, 128 * 1024 * kGiB, 127 * 1024 * kGiB},
         {32, 40, 0x7FFFFFFF, 0x7FFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF}},
        {"1 GiB, nothing limited",
         {50, kGiB, kGiB / 2, 2 * kGiB, 3 * kGiB / 2, kGiB, kGiB / 4},
         {32, 50, 0x40000000, 0x20000000, 0x80000000, 0x60000000, 0x40000000, 0x10000000}},
        {"exactly 2 GiB",
         {0, 2 * kGiB, 2 * kGiB - 1, 4 * kGiB, 4 * kGiB - 1, 0, 0},
         {32, 0, 0x7FFFFFFF, 0x7FFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0}},
    };
    for (const Case& c : cases) {
        const MEMORYSTATUS seen = AsThirtyTwoBitProgramSees(c.told);
        EXPECT_EQ(std::memcmp(&seen, &c.seen, sizeof seen), 0) << c.machine;
    }
}

}  // namespace
}  // namespace vx::win
