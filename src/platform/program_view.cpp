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

MEMORYSTATUS AsThirtyTwoBitProgramSees(const MemoryCounts& memory) {
    const auto limited = [](ULONGLONG count, DWORD most) { return static_cast<DWORD>(std::min<ULONGLONG>(count, most)); };
    MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    status.dwMemoryLoad = memory.memoryLoad;
    status.dwTotalPhys = limited(memory.totalPhys, kThirtyTwoBitMostMemory);
    status.dwAvailPhys = limited(memory.availPhys, kThirtyTwoBitMostMemory);
    status.dwTotalPageFile = limited(memory.totalPageFile, kThirtyTwoBitMostPageFile);
    status.dwAvailPageFile = limited(memory.availPageFile, kThirtyTwoBitMostPageFile);
    status.dwTotalVirtual = limited(memory.totalVirtual, kThirtyTwoBitMostMemory);
    status.dwAvailVirtual = limited(memory.availVirtual, kThirtyTwoBitMostMemory);
    return status;
}

}  // namespace vx::win
