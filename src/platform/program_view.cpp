#include "platform/program_view.h"

#include <algorithm>

namespace vx::win {

SYSTEM_INFO AsThirtyTwoBitProgramSees(const SYSTEM_INFO& system) {
    SYSTEM_INFO seen = system;
    switch (system.wProcessorArchitecture) {
        case PROCESSOR_ARCHITECTURE_AMD64:
        case PROCESSOR_ARCHITECTURE_ARM64:
            // The system runs 32-bit x86 programs on both, and tells them
            // they run on an x86 processor.
            seen.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
            break;
        default:
            break;
    }
    if (system.dwProcessorType == PROCESSOR_AMD_X8664) seen.dwProcessorType = PROCESSOR_INTEL_PENTIUM;
    seen.lpMinimumApplicationAddress = std::min(system.lpMinimumApplicationAddress, kThirtyTwoBitHighestAddress);
    seen.lpMaximumApplicationAddress = std::min(system.lpMaximumApplicationAddress, kThirtyTwoBitHighestAddress);
    seen.dwActiveProcessorMask = system.dwActiveProcessorMask & 0xFFFFFFFFu;
    return seen;
}

}  // namespace vx::win
