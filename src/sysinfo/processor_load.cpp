#include "sysinfo/processor_load.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace vx::ProcessorLoadSampler {

using namespace win;

namespace {

constexpr const char* kProcessorObjectValue = "238";
constexpr DWORD kProcessorObjectIndex = 238;
constexpr DWORD kIdleCounterIndex = 6;
constexpr DWORD kInitialBufferSize = 8192;
constexpr DWORD kBufferGrowthStep = 4096;
// The processor object takes a few hundred bytes a processor. Services that
// still answer ERROR_MORE_DATA at this size never stop answering it, and the
// buffer must not grow until memory runs out.
constexpr DWORD kLargestBufferSize = 16u << 20;

constexpr const char* kStartStatKey = "PerfStats\\StartStat";
constexpr const char* kStatDataKey = "PerfStats\\StatData";
constexpr const char* kStopStatKey = "PerfStats\\StopStat";
constexpr const char* kCpuUsageValue = "KERNEL\\CPUUsage";

struct SamplerState {
    int startCount = 0;
    SystemServices* services = nullptr;
    bool isNtFamily = false;

    std::vector<BYTE> perfBuffer;
    DWORD perfBufferSize = 0;
    // The bytes of perfBuffer that the last successful query filled: the walk
    // reads nothing past them, whatever the lengths inside say.
    DWORD dataLength = 0;
    LONG instanceCount = -1;
    std::vector<LONGLONG> currentValues;
    std::vector<LONGLONG> previousValues;
    // The sample being read. Values land here first so that a sample that
    // turns out damaged half-way leaves the last two samples as they were;
    // the three arrays then swap roles without allocating.
    std::vector<LONGLONG> incomingValues;
    LONGLONG currentTime = 0;
    LONGLONG previousTime = 0;

    bool statisticsStarted = false;
    HKEY statDataKey{};
    DWORD usagePercent = 0;
};

SamplerState& State() {
    static SamplerState state;
    return state;
}

[[noreturn]] void Raise(const char* message) { throw EProcessorLoadError(message); }

SystemServices& Services(const SamplerState& state) {
    if (state.services == nullptr) Raise("The processor load sampler has not been started");
    return *state.services;
}

// The performance data as returned. Every read is checked against the
// returned length, so that a damaged length ends the sample instead of
// reading past the data; reads go through memcpy because the lengths need
// not keep the records aligned.
class PerfDataView {
public:
    PerfDataView(const BYTE* data, std::uint64_t length) : m_data(data), m_length(length) {}

    template <typename T>
    T Read(std::uint64_t offset) const {
        if (offset > m_length || m_length - offset < sizeof(T)) {
            Raise("The processor performance data is damaged: a record lies outside the data returned");
        }
        T value;
        std::memcpy(&value, m_data + offset, sizeof value);
        return value;
    }

    // The record that a length field leads to. A length of zero would keep
    // a walk on the same record for as many steps as the counts allow.
    std::uint64_t Next(std::uint64_t record, std::size_t lengthField) const {
        const DWORD length = Read<DWORD>(record + lengthField);
        if (length == 0) Raise("The processor performance data is damaged: a record has a length of zero");
        return record + length;
    }

    std::uint64_t Length() const { return m_length; }

private:
    const BYTE* m_data;
    std::uint64_t m_length;
};

// Differences of counters that may have wrapped: computed unsigned, so
// that they never overflow, and read back as the signed delta.
LONGLONG Delta(LONGLONG later, LONGLONG earlier) {
    return static_cast<LONGLONG>(static_cast<ULONGLONG>(later) - static_cast<ULONGLONG>(earlier));
}

void QueryPerformanceData(SamplerState& state) {
    SystemServices& services = Services(state);
    DWORD size = state.perfBufferSize;
    LONG result =
        services.RegQueryValueExA(HKEY_PERFORMANCE_DATA, kProcessorObjectValue, nullptr, nullptr, state.perfBuffer.data(), &size);
    while (result == static_cast<LONG>(ERROR_MORE_DATA)) {
        if (state.perfBufferSize > kLargestBufferSize - kBufferGrowthStep) {
            Raise("The processor performance data does not fit in 16 MB");
        }
        state.perfBufferSize += kBufferGrowthStep;
        state.perfBuffer.resize(state.perfBufferSize);
        size = state.perfBufferSize;
        result = services.RegQueryValueExA(HKEY_PERFORMANCE_DATA, kProcessorObjectValue, nullptr, nullptr,
                                           state.perfBuffer.data(), &size);
    }
    // Any other failure is left to the walk: it then reads what the buffer
    // held before, that is the previous sample or the start-up zeros.
    if (result == static_cast<LONG>(ERROR_SUCCESS)) {
        state.dataLength = std::min(size, state.perfBufferSize);
    }
}

std::uint64_t FindProcessorObject(const PerfDataView& data) {
    const DWORD objectCount = data.Read<DWORD>(offsetof(PERF_DATA_BLOCK, NumObjectTypes));
    if (objectCount == 0) Raise("Unable to locate the \"Processor\" performance object");
    std::uint64_t object = data.Read<DWORD>(offsetof(PERF_DATA_BLOCK, HeaderLength));
    for (DWORD examined = 1;; ++examined) {
        if (data.Read<DWORD>(object + offsetof(PERF_OBJECT_TYPE, ObjectNameTitleIndex)) == kProcessorObjectIndex) {
            return object;
        }
        if (examined == objectCount) Raise("Unable to locate the \"Processor\" performance object");
        object = data.Next(object, offsetof(PERF_OBJECT_TYPE, TotalByteLength));
    }
}

// The idle counter's position inside each instance's counter block.
DWORD FindIdleCounterOffset(const PerfDataView& data, std::uint64_t object) {
    const DWORD counterCount = data.Read<DWORD>(object + offsetof(PERF_OBJECT_TYPE, NumCounters));
    if (counterCount == 0) Raise("Unable to locate the \"% of CPU usage\" performance counter");
    std::uint64_t counter = object + data.Read<DWORD>(object + offsetof(PERF_OBJECT_TYPE, HeaderLength));
    for (DWORD examined = 1;; ++examined) {
        if (data.Read<DWORD>(counter + offsetof(PERF_COUNTER_DEFINITION, CounterNameTitleIndex)) == kIdleCounterIndex) {
            return data.Read<DWORD>(counter + offsetof(PERF_COUNTER_DEFINITION, CounterOffset));
        }
        if (examined == counterCount) Raise("Unable to locate the \"% of CPU usage\" performance counter");
        counter = data.Next(counter, offsetof(PERF_COUNTER_DEFINITION, ByteLength));
    }
}

// The first sample fixes the number of processors for the program's life.
void FixInstanceCount(SamplerState& state, const PerfDataView& data, LONG instances) {
    // Each instance takes at least two bytes of data (both of its lengths are
    // non-zero), so a larger count is damage, and must not size the arrays.
    if (instances > 0 && static_cast<std::uint64_t>(instances) > data.Length() / 2) {
        Raise("The processor performance data is damaged: it counts more instances than it can hold");
    }
    state.instanceCount = instances;
    if (instances > 0) {
        const auto count = static_cast<std::size_t>(instances);
        state.currentValues.assign(count, 0);
        state.previousValues.assign(count, 0);
        state.incomingValues.assign(count, 0);
    }
}

void TakeNtSample(SamplerState& state) {
    SystemServices& services = Services(state);
    QueryPerformanceData(state);
    const PerfDataView data(state.perfBuffer.data(), state.dataLength);
    const std::uint64_t object = FindProcessorObject(data);
    const LONG instances = data.Read<LONG>(object + offsetof(PERF_OBJECT_TYPE, NumInstances));
    if (state.instanceCount < 0) {
        FixInstanceCount(state, data, instances);
    } else if (instances < state.instanceCount) {
        Raise("The \"Processor\" performance object holds fewer instances than when sampling began");
    }
    const DWORD counterOffset = FindIdleCounterOffset(data, object);

    std::uint64_t instance = object + data.Read<DWORD>(object + offsetof(PERF_OBJECT_TYPE, DefinitionLength));
    for (LONG index = 0; index < state.instanceCount; ++index) {
        const std::uint64_t counterBlock = data.Next(instance, offsetof(PERF_INSTANCE_DEFINITION, ByteLength));
        // Whatever size the definition declares, the value is read as 64 bits.
        state.incomingValues[static_cast<std::size_t>(index)] = data.Read<LONGLONG>(counterBlock + counterOffset);
        if (index + 1 < state.instanceCount) {
            instance = data.Next(counterBlock, offsetof(PERF_COUNTER_BLOCK, ByteLength));
        }
    }

    SYSTEMTIME systemTime = data.Read<SYSTEMTIME>(offsetof(PERF_DATA_BLOCK, SystemTime));
    FILETIME fileTime{};
    if (!services.SystemTimeToFileTime(&systemTime, &fileTime)) {
        Raise("The processor performance data is damaged: its time stamp is not a valid date");
    }

    std::swap(state.previousValues, state.currentValues);
    std::swap(state.currentValues, state.incomingValues);
    state.previousTime = state.currentTime;
    state.currentTime = static_cast<LONGLONG>((static_cast<ULONGLONG>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime);
}

// A failed read keeps the percentage read before.
void ReadCpuUsage(SystemServices& services, HKEY key, DWORD& usagePercent) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (services.RegQueryValueExA(key, kCpuUsageValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
        static_cast<LONG>(ERROR_SUCCESS)) {
        usagePercent = value;
    }
}

void Take9xSample(SamplerState& state) {
    SystemServices& services = Services(state);
    if (!state.statisticsStarted) {
        HKEY startKey{};
        if (services.RegOpenKeyExA(HKEY_DYN_DATA, kStartStatKey, 0, KEY_ALL_ACCESS, &startKey) !=
            static_cast<LONG>(ERROR_SUCCESS)) {
            Raise("Unable to start performance monitoring");
        }
        // Reading the start key is what starts the statistic.
        ReadCpuUsage(services, startKey, state.usagePercent);
        services.RegCloseKey(startKey);
        HKEY dataKey{};
        if (services.RegOpenKeyExA(HKEY_DYN_DATA, kStatDataKey, 0, KEY_READ, &dataKey) != static_cast<LONG>(ERROR_SUCCESS)) {
            Raise("Unable to read performance data");
        }
        state.statDataKey = dataKey;
        state.statisticsStarted = true;
    }
    ReadCpuUsage(services, state.statDataKey, state.usagePercent);
}

}  // namespace

void Startup(SystemServices& services) {
    SamplerState& state = State();
    if (state.startCount > 0) {
        ++state.startCount;
        return;
    }
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!services.GetVersionExA(&version)) Raise("Can't get the Windows version");
    state = SamplerState{};
    state.services = &services;
    state.isNtFamily = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    state.perfBufferSize = kInitialBufferSize;
    state.perfBuffer.assign(kInitialBufferSize, 0);
    state.dataLength = kInitialBufferSize;
    state.startCount = 1;
}

void Shutdown() {
    SamplerState& state = State();
    if (state.startCount == 0 || --state.startCount > 0) return;
    StopStatistics();
    // Frees the buffers and forgets the services, which may end with the program.
    state = SamplerState{};
}

void TakeSample() {
    SamplerState& state = State();
    if (state.isNtFamily) {
        TakeNtSample(state);
    } else {
        Take9xSample(state);
    }
}

double GetLoad(int index) {
    SamplerState& state = State();
    if (!state.isNtFamily) {
        if (index != 0) Raise("CPU index out of bounds");
        if (!state.statisticsStarted) TakeSample();
        return state.usagePercent / 100.0;
    }
    if (state.instanceCount < 0) TakeSample();
    if (index < 0 || index >= state.instanceCount) Raise("CPU index out of bounds");
    if (state.currentTime == state.previousTime) return 0.0;
    const auto slot = static_cast<std::size_t>(index);
    const LONGLONG idle = Delta(state.currentValues[slot], state.previousValues[slot]);
    const LONGLONG elapsed = Delta(state.currentTime, state.previousTime);
    return 1.0 - static_cast<double>(idle) / static_cast<double>(elapsed);
}

void StopStatistics() {
    SamplerState& state = State();
    if (state.isNtFamily || !state.statisticsStarted || state.services == nullptr) return;
    SystemServices& services = *state.services;
    state.statisticsStarted = false;
    services.RegCloseKey(state.statDataKey);
    state.statDataKey = HKEY{};
    HKEY stopKey{};
    if (services.RegOpenKeyExA(HKEY_DYN_DATA, kStopStatKey, 0, KEY_ALL_ACCESS, &stopKey) != static_cast<LONG>(ERROR_SUCCESS)) {
        return;
    }
    // Reading the stop key is what stops the statistic.
    ReadCpuUsage(services, stopKey, state.usagePercent);
    services.RegCloseKey(stopKey);
}

}  // namespace vx::ProcessorLoadSampler
