// The 32-bit program's view of what a 64-bit process is told.
#include "platform/program_view.h"

#include <gtest/gtest.h>

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
         {PROCESSOR_ARCHITECTURE_AMD64, 0, 4096, 0x10000, kSixtyFourBitHighest, ~DWORD_PTR{0}, 64, PROCESSOR_AMD_X8664,
          65536, 6, 0x9E0A},
         PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_INTEL_PENTIUM, 0x7FFEFFFF, 0xFFFFFFFFu},
        {"64-bit ARM", {PROCESSOR_ARCHITECTURE_ARM64, 0, 4096, 0x10000, kSixtyFourBitHighest, 0xFF, 8, 0, 65536, 8, 0},
         PROCESSOR_ARCHITECTURE_INTEL, 0, 0x7FFEFFFF, 0xFF},
        {"the 32-bit program's own answer",
         {PROCESSOR_ARCHITECTURE_INTEL, 0, 4096, 0x10000, 0x7FFEFFFF, 0x3, 2, PROCESSOR_INTEL_PENTIUM, 65536, 6, 0x9E0A},
         PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_INTEL_PENTIUM, 0x7FFEFFFF, 0x3},
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

}  // namespace
}  // namespace vx::win
