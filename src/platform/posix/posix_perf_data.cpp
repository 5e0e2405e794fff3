#include "platform/posix/posix_perf_data.h"

#include <bit>
#include <charconv>
#include <cstring>

#include "platform/posix/posix_system_services.h"

namespace vx::win {

namespace {

constexpr std::size_t RoundUpTo8(std::size_t size) { return (size + 7) & ~std::size_t{7}; }

// Bytes of a UTF-16 name with its terminating zero.
constexpr std::size_t NameBytes(std::size_t characters) { return (characters + 1) * sizeof(WCHAR); }

std::string_view NextLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return line;
}

// The numbers after "cpuN"; at least user, nice, system and idle.
bool ParseTimes(std::string_view fields, ProcessorTimes& times) {
    std::uint64_t* const targets[] = {&times.user,   &times.nice, &times.system,  &times.idle,
                                      &times.iowait, &times.irq,  &times.softirq, &times.steal};
    int count = 0;
    const char* position = fields.data();
    const char* const end = fields.data() + fields.size();
    while (count < static_cast<int>(std::size(targets))) {
        while (position != end && *position == ' ') ++position;
        if (position == end) break;
        const auto [next, error] = std::from_chars(position, end, *targets[count]);
        if (error != std::errc{}) return false;
        position = next;
        ++count;
    }
    return count >= 4;
}

}  // namespace

bool ParseProcStat(std::string_view text, std::vector<ProcessorTimes>& processors) {
    processors.clear();
    while (!text.empty()) {
        const std::string_view line = NextLine(text);
        if (!line.starts_with("cpu")) {
            // The processor lines come first; the rest (interrupt counts and
            // so on) can be long and is of no interest.
            if (!processors.empty()) break;
            continue;
        }
        const std::string_view afterCpu = line.substr(3);
        if (afterCpu.empty() || afterCpu.front() == ' ') continue;  // the summary line
        ProcessorTimes times;
        const auto [next, error] = std::from_chars(afterCpu.data(), afterCpu.data() + afterCpu.size(), times.number);
        if (error != std::errc{} || !ParseTimes(afterCpu.substr(static_cast<std::size_t>(next - afterCpu.data())), times)) {
            processors.clear();
            return false;
        }
        processors.push_back(times);
    }
    return !processors.empty();
}

std::uint64_t TicksToHundredNanoseconds(std::uint64_t ticks, std::uint64_t ticksPerSecond) {
    if (ticksPerSecond == 0) return 0;
    return ticks / ticksPerSecond * kHundredNanosecondsPerSecond +
           ticks % ticksPerSecond * kHundredNanosecondsPerSecond / ticksPerSecond;
}

void CountersFromProcStat(std::span<const ProcessorTimes> processors, std::uint64_t ticksPerSecond,
                          std::vector<ProcessorCounters>& counters) {
    counters.clear();
    for (const ProcessorTimes& times : processors) {
        counters.push_back({times.number, TicksToHundredNanoseconds(times.user + times.nice, ticksPerSecond),
                            TicksToHundredNanoseconds(times.system + times.irq + times.softirq, ticksPerSecond),
                            TicksToHundredNanoseconds(times.idle + times.iowait, ticksPerSecond)});
    }
}

std::size_t BuildProcessorPerfData(const ProcessorPerfSample& sample, std::span<BYTE> out) {
    const std::size_t headerLength = RoundUpTo8(sizeof(PERF_DATA_BLOCK) + NameBytes(sample.systemName.size()));
    const std::size_t totalLength = headerLength + ProcessorObjectLength(sample.processors);
    if (out.size() < totalLength) return totalLength;

    BYTE* const data = out.data();
    std::memset(data, 0, headerLength);
    const ULONGLONG now = FileTimeFromSystemTime(sample.systemTime).value_or(0);

    PERF_DATA_BLOCK header;
    std::memset(&header, 0, sizeof header);
    std::memcpy(header.Signature, u"PERF", sizeof header.Signature);
    header.LittleEndian = std::endian::native == std::endian::little ? 1 : 0;
    header.Version = 1;
    header.Revision = 1;
    header.TotalByteLength = static_cast<DWORD>(totalLength);
    header.HeaderLength = static_cast<DWORD>(headerLength);
    header.NumObjectTypes = 1;
    header.DefaultObject = static_cast<LONG>(kProcessorObjectTitleIndex);
    header.SystemTime = sample.systemTime;
    // One clock for everything: the 100-nanosecond UTC time.
    header.PerfTime = static_cast<LARGE_INTEGER>(now);
    header.PerfFreq = static_cast<LARGE_INTEGER>(kHundredNanosecondsPerSecond);
    header.PerfTime100nSec = static_cast<LARGE_INTEGER>(now);
    header.SystemNameLength = static_cast<DWORD>(NameBytes(sample.systemName.size()));
    header.SystemNameOffset = sizeof(PERF_DATA_BLOCK);
    std::memcpy(data, &header, sizeof header);
    PutUtf16Name(data + sizeof header, sample.systemName);

    PutProcessorObject(data + headerLength, sample.processors, static_cast<LARGE_INTEGER>(now));
    return totalLength;
}

}  // namespace vx::win
