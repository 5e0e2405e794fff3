// The program's view of the machine: a 32-bit Windows program's, whatever
// process it runs in. A 64-bit build asks the system as a 64-bit process,
// and the system answers such a process differently from the 32-bit program
// (another processor architecture, a larger address space); the services
// pass their answers through here, so both builds read the same records.
#pragma once

#include "platform/win_types.h"

namespace vx::win {

// The highest address of a 32-bit program that is not large-address-aware.
constexpr std::uintptr_t kThirtyTwoBitHighestAddress = 0x7FFEFFFF;
// The most memory the system tells such a program of: physical and virtual
// memory, and page file (committable) memory.
constexpr DWORD kThirtyTwoBitMostMemory = 0x7FFFFFFF;
constexpr DWORD kThirtyTwoBitMostPageFile = 0xFFFFFFFF;

// The machine's memory in full, as a 64-bit process learns it.
struct MemoryCounts {
    DWORD memoryLoad = 0;  // percent of physical memory in use
    ULONGLONG totalPhys = 0;
    ULONGLONG availPhys = 0;
    ULONGLONG totalPageFile = 0;
    ULONGLONG availPageFile = 0;
    ULONGLONG totalVirtual = 0;
    ULONGLONG availVirtual = 0;
};

// What GlobalMemoryStatus tells the 32-bit program: each count limited as
// the system limits it; the memory load stays the machine's.
MEMORYSTATUS AsThirtyTwoBitProgramSees(const MemoryCounts& memory);

// What GetSystemInfo tells a 32-bit x86 program on the same machine: the x86
// architecture and processor type (as the system's 32-bit emulation layer
// says on 64-bit processors), its 2 GiB address space and the processors the
// 32-bit mask can name. Processor count, level, revision, page size and
// granularity are the machine's and stay.
SYSTEM_INFO AsThirtyTwoBitProgramSees(const SYSTEM_INFO& system);

}  // namespace vx::win
