// The processor counters' provider: a performance data library, loaded by
// the system's performance data collection when it is registered under
// HKLM\SYSTEM\CurrentControlSet\Services\<name>\Performance (values
// Library, Open, Collect, Close and "Object List"). It answers the
// "Processor" object from the system's own per-processor times, for systems
// whose performance data has no such object (Wine's has none; Windows has
// its own, and there the provider need not be registered).
//
// It runs inside whatever process asks for performance data, so it never
// lets an exception or a fault of its own reach its host: what it cannot
// answer it leaves out.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/perf_provider.h"
#include "platform/processor_perf_object.h"

#include <windows.h>
#include <winternl.h>

namespace {

// The system's per-processor times since it started, in 100 ns units; the
// kernel time includes the idle time.
struct ProcessorPerformance {
    LARGE_INTEGER IdleTime;
    LARGE_INTEGER KernelTime;
    LARGE_INTEGER UserTime;
    LARGE_INTEGER Reserved1[2];
    ULONG Reserved2;
};
constexpr auto kSystemProcessorPerformanceInformation = static_cast<SYSTEM_INFORMATION_CLASS>(8);

std::vector<vx::win::ProcessorCounters> ReadProcessorCounters() {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    std::vector<ProcessorPerformance> times(system.dwNumberOfProcessors > 0 ? system.dwNumberOfProcessors : 1);
    ULONG returned = 0;
    const NTSTATUS status =
        ::NtQuerySystemInformation(kSystemProcessorPerformanceInformation, times.data(),
                                   static_cast<ULONG>(times.size() * sizeof(ProcessorPerformance)), &returned);
    if (status < 0) return {};
    times.resize(returned / sizeof(ProcessorPerformance));
    std::vector<vx::win::ProcessorCounters> counters;
    counters.reserve(times.size());
    for (std::size_t number = 0; number < times.size(); ++number) {
        const auto idle = static_cast<std::uint64_t>(times[number].IdleTime.QuadPart);
        const auto kernel = static_cast<std::uint64_t>(times[number].KernelTime.QuadPart);
        counters.push_back({static_cast<unsigned>(number), static_cast<std::uint64_t>(times[number].UserTime.QuadPart),
                            kernel > idle ? kernel - idle : 0, idle});
    }
    return counters;
}

// How many bytes just before address may be read: those of its own region,
// when that is committed and readable.
std::size_t ReadableBefore(const BYTE* address) {
    MEMORY_BASIC_INFORMATION region{};
    if (::VirtualQuery(address - 1, &region, sizeof region) != sizeof region) return 0;
    constexpr DWORD kReadable =
        PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    if (region.State != MEM_COMMIT || (region.Protect & kReadable) == 0 || (region.Protect & PAGE_GUARD) != 0) return 0;
    // A header with its system name is far smaller than this.
    constexpr std::size_t kFarthestHeader = 4096;
    const auto start = reinterpret_cast<std::uintptr_t>(region.BaseAddress);
    const auto end = reinterpret_cast<std::uintptr_t>(address);
    return end - start < kFarthestHeader ? end - start : kFarthestHeader;
}

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI OpenPerformanceData(LPWSTR /*deviceNames*/) { return ERROR_SUCCESS; }

__declspec(dllexport) DWORD WINAPI CollectPerformanceData(LPWSTR query, LPVOID* data, LPDWORD bytes, LPDWORD objects) {
    if (data == nullptr || *data == nullptr || bytes == nullptr || objects == nullptr) return ERROR_SUCCESS;
    const DWORD room = *bytes;
    *bytes = 0;
    *objects = 0;
    try {
        const std::u16string_view asked =
            query != nullptr ? std::u16string_view(reinterpret_cast<const char16_t*>(query)) : std::u16string_view{};
        if (!vx::win::QueryAsksFor(asked, vx::win::kProcessorObjectTitleIndex)) return ERROR_SUCCESS;
        const std::vector<vx::win::ProcessorCounters> processors = ReadProcessorCounters();
        if (processors.empty()) return ERROR_SUCCESS;
        FILETIME now{};
        ::GetSystemTimeAsFileTime(&now);
        const auto perfTime =
            static_cast<vx::win::LARGE_INTEGER>((static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
        auto* const given = static_cast<BYTE*>(*data);
        const std::size_t readable = ReadableBefore(given);
        const vx::win::CollectedData collected = vx::win::CollectProcessorObject(
            asked, given, room, std::span<const BYTE>(given - readable, readable), processors, perfTime);
        if (collected.status != ERROR_SUCCESS) return collected.status;
        *data = collected.next;
        *bytes = collected.bytes;
        *objects = collected.objects;
    } catch (...) {
        // Nothing of the object was counted; the host goes on without it.
    }
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI ClosePerformanceData() { return ERROR_SUCCESS; }

}  // extern "C"
