// The "Processor" object of the platform's performance data: the processors'
// times as the load sampler (and any reader of the published layout) walks
// them. Written by the Linux services into the block they answer with, and
// by the processor counters' provider that the Windows program brings for
// systems without the object (Wine).
//
// The object has three 100-nanosecond counters: user time (142), privileged
// time (144) and the idle time (6) that the sampler reads, in that order, so
// that a reader has to walk the definitions to find its counter. The
// instances are the processors, named by their numbers ("0", "1", ...),
// then "_Total", which holds each counter's average over the processors, so
// that its idle time, too, grows by at most the elapsed time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/win_types.h"

namespace vx::win {

constexpr DWORD kProcessorObjectTitleIndex = 238;
constexpr DWORD kIdleTimeTitleIndex = 6;
constexpr DWORD kUserTimeTitleIndex = 142;
constexpr DWORD kPrivilegedTimeTitleIndex = 144;

constexpr std::uint64_t kHundredNanosecondsPerSecond = 10'000'000;

// One processor's times since the system started, in 100-nanosecond units.
struct ProcessorCounters {
    unsigned number = 0;  // the instance's name
    std::uint64_t user = 0;
    std::uint64_t privileged = 0;
    std::uint64_t idle = 0;
};

// The object's size in bytes (a multiple of 8) for these processors.
std::size_t ProcessorObjectLength(std::span<const ProcessorCounters> processors);

// Writes the object, exactly ProcessorObjectLength bytes, at an 8-aligned
// place; perfTime is the object's time stamp in 100-nanosecond units.
void PutProcessorObject(BYTE* at, std::span<const ProcessorCounters> processors, LARGE_INTEGER perfTime);

// Writes an ASCII name as zero-terminated UTF-16 (the data's names).
void PutUtf16Name(BYTE* at, std::string_view name);

}  // namespace vx::win
