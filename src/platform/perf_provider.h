// What the processor counters' provider does when the system collects its
// performance data: the provider's Collect step, apart from where the
// processors' times come from, so that it is the same on every platform and
// testable without the system. The Windows library around it is
// platform/win32/processor_counters/.
//
// A provider is handed a place to write, the bytes it may use there and a
// query: "Global" (every object), "Costly" or "Foreign ..." (objects of
// other kinds) or title indexes separated by spaces. It writes its objects
// only when asked for one of them and only when they fit; otherwise it
// writes nothing and says how it went.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "platform/processor_perf_object.h"
#include "platform/win_types.h"

namespace vx::win {

// Whether a collection query asks for the object with this title index.
bool QueryAsksFor(std::u16string_view query, DWORD titleIndex);

// Where the object goes: normally at the place given. One host (Wine 8's
// performance data) hands its providers a place one data block header (88
// bytes) past the end of what its block's header counts, and leaves those
// bytes out of the sizes it returns, so that a reader who follows the
// header, as the program's sampler does, finds nothing there. When the
// block's header lies just before the place given (its "PERF" signature,
// 8-aligned, within the bytes that may be read there) and its
// TotalByteLength ends before the place, the object goes where that length
// ends. before: the bytes just before the place given that may be read.
BYTE* ObjectPlace(BYTE* given, std::span<const BYTE> before);

struct CollectedData {
    DWORD status = ERROR_SUCCESS;  // ERROR_MORE_DATA when the object does not fit
    BYTE* next = nullptr;          // where the host's next object may go
    DWORD bytes = 0;               // written
    DWORD objects = 0;             // written
};

// The Collect step for the "Processor" object: at place (see ObjectPlace),
// with room bytes usable from the place given.
CollectedData CollectProcessorObject(std::u16string_view query, BYTE* given, DWORD room, std::span<const BYTE> before,
                                     std::span<const ProcessorCounters> processors, LARGE_INTEGER perfTime);

}  // namespace vx::win
