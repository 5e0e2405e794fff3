#include "platform/processor_perf_object.h"

#include <charconv>
#include <cstring>

namespace vx::win {

namespace {

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
constexpr std::size_t kDefinitionLength = sizeof(PERF_OBJECT_TYPE) + kCounterCount * sizeof(PERF_COUNTER_DEFINITION);

constexpr std::size_t RoundUpTo8(std::size_t size) { return (size + 7) & ~std::size_t{7}; }
constexpr std::size_t NameBytes(std::size_t characters) { return (characters + 1) * sizeof(WCHAR); }

template <typename Record>
void PutRecord(BYTE* at, const Record& record) {
    std::memcpy(at, &record, sizeof record);
}

// A record whose padding reads as zeros.
template <typename Record>
Record ZeroRecord() {
    Record record;
    std::memset(&record, 0, sizeof record);
    return record;
}

std::string_view InstanceName(unsigned number, char (&storage)[kLongestInstanceName]) {
    const auto result = std::to_chars(storage, storage + sizeof storage, number);
    return {storage, static_cast<std::size_t>(result.ptr - storage)};
}

std::size_t InstanceLength(std::string_view name) {
    return RoundUpTo8(sizeof(PERF_INSTANCE_DEFINITION) + NameBytes(name.size()));
}

// Writes one instance with its counter block; returns the bytes written.
std::size_t PutInstance(BYTE* at, std::string_view name, const ProcessorCounters& values) {
    const std::size_t length = InstanceLength(name);
    std::memset(at, 0, length + kCounterBlockLength);
    auto instance = ZeroRecord<PERF_INSTANCE_DEFINITION>();
    instance.ByteLength = static_cast<DWORD>(length);
    instance.UniqueID = kPerfNoUniqueId;
    instance.NameOffset = sizeof(PERF_INSTANCE_DEFINITION);
    instance.NameLength = static_cast<DWORD>(NameBytes(name.size()));
    PutRecord(at, instance);
    PutUtf16Name(at + sizeof instance, name);
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

void PutUtf16Name(BYTE* at, std::string_view name) {
    for (std::size_t index = 0; index <= name.size(); ++index) {
        const WCHAR character = index < name.size() ? static_cast<unsigned char>(name[index]) : 0;
        std::memcpy(at + index * sizeof(WCHAR), &character, sizeof character);
    }
}

std::size_t ProcessorObjectLength(std::span<const ProcessorCounters> processors) {
    std::size_t length = kDefinitionLength + InstanceLength("_Total") + kCounterBlockLength;
    for (const ProcessorCounters& processor : processors) {
        char storage[kLongestInstanceName];
        length += InstanceLength(InstanceName(processor.number, storage)) + kCounterBlockLength;
    }
    return length;
}

void PutProcessorObject(BYTE* at, std::span<const ProcessorCounters> processors, LARGE_INTEGER perfTime) {
    auto object = ZeroRecord<PERF_OBJECT_TYPE>();
    object.TotalByteLength = static_cast<DWORD>(ProcessorObjectLength(processors));
    object.DefinitionLength = static_cast<DWORD>(kDefinitionLength);
    object.HeaderLength = sizeof(PERF_OBJECT_TYPE);
    object.ObjectNameTitleIndex = kProcessorObjectTitleIndex;
    object.ObjectHelpTitleIndex = kProcessorObjectTitleIndex + 1;
    object.DetailLevel = PERF_DETAIL_NOVICE;
    object.NumCounters = kCounterCount;
    object.DefaultCounter = 2;  // the idle time, from which the load is shown
    object.NumInstances = static_cast<LONG>(processors.size() + 1);
    object.CodePage = 0;  // instance names are UTF-16
    object.PerfTime = perfTime;
    object.PerfFreq = static_cast<LARGE_INTEGER>(kHundredNanosecondsPerSecond);
    PutRecord(at, object);

    at += sizeof object;
    for (const auto& definition : {CounterDefinition(kUserTimeTitleIndex, kPerf100NsecTimer, kUserTimeOffset),
                                   CounterDefinition(kPrivilegedTimeTitleIndex, kPerf100NsecTimer, kPrivilegedTimeOffset),
                                   CounterDefinition(kIdleTimeTitleIndex, PERF_100NSEC_TIMER_INV, kIdleTimeOffset)}) {
        PutRecord(at, definition);
        at += sizeof definition;
    }

    ProcessorCounters sum;
    for (const ProcessorCounters& processor : processors) {
        sum.user += processor.user;
        sum.privileged += processor.privileged;
        sum.idle += processor.idle;
        char storage[kLongestInstanceName];
        at += PutInstance(at, InstanceName(processor.number, storage), processor);
    }
    const std::uint64_t count = processors.empty() ? 1 : processors.size();
    PutInstance(at, "_Total", {0, sum.user / count, sum.privileged / count, sum.idle / count});
}

}  // namespace vx::win
