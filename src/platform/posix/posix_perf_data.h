// The processor statistics in the platform's performance data layout, built
// from the kernel's per-processor times in /proc/stat: one "Processor"
// object (platform/processor_perf_object.h) behind the block's header, whose
// SystemTime is the UTC time at which the times were read.
//
// Idle time is the kernel's idle plus iowait: a processor waiting for the
// disk runs nothing, which is what the platform's idle counter counts. Steal
// time (the hypervisor running someone else) is not idle: the time was
// lost to this machine, so it shows as load.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/processor_perf_object.h"
#include "platform/win_types.h"

namespace vx::win {

// One processor line of /proc/stat, in the kernel's clock ticks (USER_HZ).
struct ProcessorTimes {
    unsigned number = 0;  // N of "cpuN"
    std::uint64_t user = 0;
    std::uint64_t nice = 0;
    std::uint64_t system = 0;
    std::uint64_t idle = 0;
    std::uint64_t iowait = 0;
    std::uint64_t irq = 0;
    std::uint64_t softirq = 0;
    std::uint64_t steal = 0;
};

// Reads the "cpuN" lines of /proc/stat's text into processors, reusing its
// storage, so that steady sampling does not allocate. The summary line
// "cpu" is skipped; fields that an older kernel does not print read 0. False
// when the text holds no processor line or a processor line is malformed
// (processors is then empty).
bool ParseProcStat(std::string_view text, std::vector<ProcessorTimes>& processors);

// Kernel clock ticks as 100-nanosecond units, without overflow for any tick
// count a machine can reach.
std::uint64_t TicksToHundredNanoseconds(std::uint64_t ticks, std::uint64_t ticksPerSecond);

// The processors' times as the object's counters: user with nice, system
// with the interrupts, idle with iowait. Reuses counters' storage.
void CountersFromProcStat(std::span<const ProcessorTimes> processors, std::uint64_t ticksPerSecond,
                          std::vector<ProcessorCounters>& counters);

struct ProcessorPerfSample {
    std::span<const ProcessorCounters> processors;
    SYSTEMTIME systemTime{};      // UTC, when the times were read
    std::string_view systemName;  // the computer's name, as ASCII
};

// The size of the block for this sample. The block is written to out only
// when it fits, and nothing past the size is touched.
std::size_t BuildProcessorPerfData(const ProcessorPerfSample& sample, std::span<BYTE> out);

}  // namespace vx::win
