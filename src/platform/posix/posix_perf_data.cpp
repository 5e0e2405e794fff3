#include "platform/posix/posix_perf_data.h"

#include <bit>
#include <charconv>
#include <cstring>

#include "platform/posix/posix_system_services.h"

namespace vx::win {

namespace {

constexpr std::uint64_t kHundredNanosecondsPerSecond = 10'000'000;
constexpr DWORD kPerf100NsecTimer = 0x20510500;  // a busy time in 100 ns, not inverted
constexpr LONG kPerfNoUniqueId = -1;
constexpr int kCounterCount = 3;
// Each counter block: its ByteLength, padding to keep the 64-bit values
// 8-aligned, then user, privileged and idle time.
constexpr DWORD kUserTimeOffset = 8;
constexpr DWORD kPrivilegedTimeOffset = 16;
constexpr DWORD kIdleTimeOffset = 24;
constexpr DWORD kCounterBlockLength = 32;
constexpr std::size_t kLongestInstanceName = 16;  // "4294967295" or "_Total", with room to spare

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

// Writes a record whose padding must read as zeros.
template <typename Record>
void PutRecord(BYTE* at, const Record& record) {
    std::memcpy(at, &record, sizeof record);
}

template <typename Record>
Record ZeroRecord() {
    Record record;
    std::memset(&record, 0, sizeof record);
    return record;
}

// Writes an ASCII name as zero-terminated UTF-16.
void PutName(BYTE* at, std::string_view name) {
    for (std::size_t index = 0; index <= name.size(); ++index) {
        const WCHAR character = index < name.size() ? static_cast<unsigned char>(name[index]) : 0;
        std::memcpy(at + index * sizeof(WCHAR), &character, sizeof character);
    }
}

std::string_view InstanceName(unsigned number, char (&storage)[kLongestInstanceName]) {
    const auto result = std::to_chars(storage, storage + sizeof storage, number);
    return {storage, static_cast<std::size_t>(result.ptr - storage)};
}

std::size_t InstanceLength(std::string_view name) {
    return RoundUpTo8(sizeof(PERF_INSTANCE_DEFINITION) + NameBytes(name.size()));
}

struct CounterValues {
    std::uint64_t user = 0;
    std::uint64_t privileged = 0;
    std::uint64_t idle = 0;
};

CounterValues CountersOf(const ProcessorTimes& times, std::uint64_t ticksPerSecond) {
    return {TicksToHundredNanoseconds(times.user + times.nice, ticksPerSecond),
            TicksToHundredNanoseconds(times.system + times.irq + times.softirq, ticksPerSecond),
            TicksToHundredNanoseconds(times.idle + times.iowait, ticksPerSecond)};
}

// Writes one instance with its counter block; returns the bytes written.
std::size_t PutInstance(BYTE* at, std::string_view name, const CounterValues& values) {
    const std::size_t length = InstanceLength(name);
    auto instance = ZeroRecord<PERF_INSTANCE_DEFINITION>();
    instance.ByteLength = static_cast<DWORD>(length);
    instance.UniqueID = kPerfNoUniqueId;
    instance.NameOffset = sizeof(PERF_INSTANCE_DEFINITION);
    instance.NameLength = static_cast<DWORD>(NameBytes(name.size()));
    PutRecord(at, instance);
    PutName(at + sizeof instance, name);
    BYTE* const block = at + length;
    PutRecord(block, PERF_COUNTER_BLOCK{kCounterBlockLength});
    std::memcpy(block + kUserTimeOffset, &values.user, sizeof values.user);
    std::memcpy(block + kPrivilegedTimeOffset, &values.privileged, sizeof values.privileged);
    std::memcpy(block + kIdleTimeOffset, &values.idle, sizeof values.idle);
    return length + kCounterBlockLength;
}

PERF_COUNTER_DEFINITION CounterDefinition(DWORD titleIndex, DWORD type, DWORD offset) {
    auto definition = ZeroRecord<PERF_COUNTER_DEFINITION>();
    definition.ByteLength = sizeof(PERF_COUNTER_DEFINITION);
    definition.CounterNameTitleIndex = titleIndex;
    definition.CounterHelpTitleIndex = titleIndex + 1;
    definition.DetailLevel = PERF_DETAIL_NOVICE;
    definition.CounterType = type;
    definition.CounterSize = sizeof(LONGLONG);
    definition.CounterOffset = offset;
    return definition;
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

std::size_t BuildProcessorPerfData(const ProcessorPerfSample& sample, std::span<BYTE> out) {
    const std::size_t headerLength = RoundUpTo8(sizeof(PERF_DATA_BLOCK) + NameBytes(sample.systemName.size()));
    const std::size_t definitionLength = sizeof(PERF_OBJECT_TYPE) + kCounterCount * sizeof(PERF_COUNTER_DEFINITION);
    std::size_t objectLength = definitionLength + InstanceLength("_Total") + kCounterBlockLength;
    for (const ProcessorTimes& processor : sample.processors) {
        char storage[kLongestInstanceName];
        objectLength += InstanceLength(InstanceName(processor.number, storage)) + kCounterBlockLength;
    }
    const std::size_t totalLength = headerLength + objectLength;
    if (out.size() < totalLength) return totalLength;

    BYTE* const data = out.data();
    std::memset(data, 0, totalLength);
    const ULONGLONG now = FileTimeFromSystemTime(sample.systemTime).value_or(0);

    auto header = ZeroRecord<PERF_DATA_BLOCK>();
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
    PutRecord(data, header);
    PutName(data + sizeof header, sample.systemName);

    BYTE* const objectStart = data + headerLength;
    auto object = ZeroRecord<PERF_OBJECT_TYPE>();
    object.TotalByteLength = static_cast<DWORD>(objectLength);
    object.DefinitionLength = static_cast<DWORD>(definitionLength);
    object.HeaderLength = sizeof(PERF_OBJECT_TYPE);
    object.ObjectNameTitleIndex = kProcessorObjectTitleIndex;
    object.ObjectHelpTitleIndex = kProcessorObjectTitleIndex + 1;
    object.DetailLevel = PERF_DETAIL_NOVICE;
    object.NumCounters = kCounterCount;
    object.DefaultCounter = 2;  // the idle time, from which the load is shown
    object.NumInstances = static_cast<LONG>(sample.processors.size() + 1);
    object.CodePage = 0;  // instance names are UTF-16
    object.PerfTime = static_cast<LARGE_INTEGER>(now);
    object.PerfFreq = static_cast<LARGE_INTEGER>(kHundredNanosecondsPerSecond);
    PutRecord(objectStart, object);

    BYTE* at = objectStart + sizeof object;
    for (const auto& definition : {CounterDefinition(kUserTimeTitleIndex, kPerf100NsecTimer, kUserTimeOffset),
                                   CounterDefinition(kPrivilegedTimeTitleIndex, kPerf100NsecTimer, kPrivilegedTimeOffset),
                                   CounterDefinition(kIdleTimeTitleIndex, PERF_100NSEC_TIMER_INV, kIdleTimeOffset)}) {
        PutRecord(at, definition);
        at += sizeof definition;
    }

    CounterValues sum;
    for (const ProcessorTimes& processor : sample.processors) {
        const CounterValues values = CountersOf(processor, sample.ticksPerSecond);
        sum.user += values.user;
        sum.privileged += values.privileged;
        sum.idle += values.idle;
        char storage[kLongestInstanceName];
        at += PutInstance(at, InstanceName(processor.number, storage), values);
    }
    const std::uint64_t count = sample.processors.empty() ? 1 : sample.processors.size();
    PutInstance(at, "_Total", {sum.user / count, sum.privileged / count, sum.idle / count});
    return totalLength;
}

}  // namespace vx::win
