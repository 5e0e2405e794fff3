// The processor load sampler on performance data blocks built here, and on
// the 9x kernel statistic, both answered by the scripted registry.
//
// Sections: Building performance data blocks; NT family; 9x family; Start and stop.
#include "sysinfo/processor_load.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fake/fake_system_services.h"

namespace vx {
namespace {

using namespace vx::win;
namespace Sampler = ProcessorLoadSampler;
using test::FakeSystemServices;

// ---------------------------------------------------------------- Building performance data blocks

struct BlockCounter {
    DWORD titleIndex;
    DWORD offset;  // inside the counter block
};

struct BlockObject {
    DWORD titleIndex = 238;
    // A decoy before the idle counter, so that the walk must step over it.
    std::vector<BlockCounter> counters{{142, 8}, {6, 16}};
    std::vector<LONGLONG> idle;        // the idle counter of each instance
    std::optional<LONG> numInstances;  // the instance count to report, if not idle.size()

    BlockObject Title(DWORD index) const {
        BlockObject copy = *this;
        copy.titleIndex = index;
        return copy;
    }
    BlockObject Counters(std::vector<BlockCounter> list) const {
        BlockObject copy = *this;
        copy.counters = std::move(list);
        return copy;
    }
    BlockObject Reporting(LONG instances) const {
        BlockObject copy = *this;
        copy.numInstances = instances;
        return copy;
    }
};

BlockObject Processor(std::vector<LONGLONG> idle = {}) {
    BlockObject object;
    object.idle = std::move(idle);
    return object;
}

constexpr std::size_t kCounterBlockLength = 24;
// Where the first object starts, and its parts for a block built by Block().
constexpr std::size_t kFirstObject = sizeof(PERF_DATA_BLOCK);

std::vector<BYTE> Block(const SYSTEMTIME& time, const std::vector<BlockObject>& objects) {
    std::vector<BYTE> data(sizeof(PERF_DATA_BLOCK));
    auto put = [&data](std::size_t at, auto value) { std::memcpy(data.data() + at, &value, sizeof value); };
    put(offsetof(PERF_DATA_BLOCK, HeaderLength), DWORD{sizeof(PERF_DATA_BLOCK)});
    put(offsetof(PERF_DATA_BLOCK, NumObjectTypes), static_cast<DWORD>(objects.size()));
    put(offsetof(PERF_DATA_BLOCK, SystemTime), time);
    for (const BlockObject& object : objects) {
        const std::size_t start = data.size();
        const std::size_t definitions = sizeof(PERF_OBJECT_TYPE) + object.counters.size() * sizeof(PERF_COUNTER_DEFINITION);
        const std::size_t instances = object.idle.size() * (sizeof(PERF_INSTANCE_DEFINITION) + kCounterBlockLength);
        data.resize(start + definitions + instances);
        put(start + offsetof(PERF_OBJECT_TYPE, TotalByteLength), static_cast<DWORD>(definitions + instances));
        put(start + offsetof(PERF_OBJECT_TYPE, DefinitionLength), static_cast<DWORD>(definitions));
        put(start + offsetof(PERF_OBJECT_TYPE, HeaderLength), DWORD{sizeof(PERF_OBJECT_TYPE)});
        put(start + offsetof(PERF_OBJECT_TYPE, ObjectNameTitleIndex), object.titleIndex);
        put(start + offsetof(PERF_OBJECT_TYPE, NumCounters), static_cast<DWORD>(object.counters.size()));
        put(start + offsetof(PERF_OBJECT_TYPE, NumInstances),
            object.numInstances.value_or(static_cast<LONG>(object.idle.size())));
        std::size_t at = start + sizeof(PERF_OBJECT_TYPE);
        for (const BlockCounter& counter : object.counters) {
            put(at + offsetof(PERF_COUNTER_DEFINITION, ByteLength), DWORD{sizeof(PERF_COUNTER_DEFINITION)});
            put(at + offsetof(PERF_COUNTER_DEFINITION, CounterNameTitleIndex), counter.titleIndex);
            put(at + offsetof(PERF_COUNTER_DEFINITION, CounterOffset), counter.offset);
            at += sizeof(PERF_COUNTER_DEFINITION);
        }
        for (const LONGLONG idle : object.idle) {
            put(at, DWORD{sizeof(PERF_INSTANCE_DEFINITION)});
            at += sizeof(PERF_INSTANCE_DEFINITION);
            put(at, DWORD{kCounterBlockLength});
            // The idle counter gets the value; any other counter a decoy.
            for (const BlockCounter& counter : object.counters) {
                put(at + counter.offset, counter.titleIndex == 6 ? idle : LONGLONG{0x7777'7777'7777});
            }
            at += kCounterBlockLength;
        }
    }
    return data;
}

std::vector<BYTE> ProcessorBlock(const SYSTEMTIME& time, std::vector<LONGLONG> idle) {
    return Block(time, {Processor(std::move(idle))});
}

void PutDword(std::vector<BYTE>& data, std::size_t at, DWORD value) { std::memcpy(data.data() + at, &value, sizeof value); }

// 2001-01-01 12:mm:ss UTC.
SYSTEMTIME At(WORD minute, WORD second) { return SYSTEMTIME{2001, 1, 1, 1, 12, minute, second, 0}; }

constexpr LONGLONG kTenSeconds = 100'000'000;

class ProcessorLoadTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (; m_starts > 0; --m_starts) Sampler::Shutdown();
    }

    void Start() {
        Sampler::Startup(services);
        ++m_starts;
    }
    void Stop() {
        Sampler::Shutdown();
        --m_starts;
    }
    void Answer(std::vector<BYTE> block) {
        services.SetRegistryBinary(FakeSystemServices::kPerformanceDataKey, "238", std::move(block));
    }
    void Sample(std::vector<BYTE> block) {
        Answer(std::move(block));
        Sampler::TakeSample();
    }

    FakeSystemServices services;

private:
    int m_starts = 0;
};

// The message a call raises, or "" when it raises nothing.
std::string MessageOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Sampler::EProcessorLoadError& e) {
        return e.what();
    }
    return {};
}

const std::string kOutOfBounds = "CPU index out of bounds";
const std::string kDamaged = "The processor performance data is damaged: a record lies outside the data returned";

// ---------------------------------------------------------------- NT family

TEST_F(ProcessorLoadTest, LoadIsOneLessTheIdleShareOfTheTimeBetweenTwoSamples) {
    struct Case {
        const char* what;
        SYSTEMTIME secondTime;
        LONGLONG idleDelta;
        double load;
    };
    const Case cases[] = {
        {"a quarter idle", At(0, 10), 25'000'000, 0.75},
        {"never idle", At(0, 10), 0, 1.0},
        {"always idle", At(0, 10), kTenSeconds, 0.0},
        {"more idle than time is not clamped", At(0, 10), 150'000'000, -0.5},
        {"idle going backwards is not clamped", At(0, 10), -kTenSeconds, 2.0},
        {"equal times give 0 whatever the counters did", At(0, 0), 25'000'000, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Start();
        Sample(ProcessorBlock(At(0, 0), {1'000'000'000, 5}));
        Sample(ProcessorBlock(c.secondTime, {1'000'000'000 + c.idleDelta, 5}));
        EXPECT_DOUBLE_EQ(Sampler::GetLoad(0), c.load);
        Stop();
    }
}

TEST_F(ProcessorLoadTest, WalksPastOtherObjectsCountersAndInstances) {
    Start();
    const BlockObject other = Processor({9, 9, 9}).Title(230).Counters({{6, 8}});
    auto processor = [](std::vector<LONGLONG> idle) {
        // The idle counter is third, its value at the end of the block.
        return Processor(std::move(idle)).Counters({{142, 8}, {144, 16}, {6, 16}});
    };
    Sample(Block(At(0, 0), {other, processor({0, 0, 0})}));
    Sample(Block(At(0, 10), {other, processor({0, 25'000'000, kTenSeconds})}));
    EXPECT_DOUBLE_EQ(Sampler::GetLoad(0), 1.0);
    EXPECT_DOUBLE_EQ(Sampler::GetLoad(1), 0.75);
    EXPECT_DOUBLE_EQ(Sampler::GetLoad(2), 0.0);
}

TEST_F(ProcessorLoadTest, FirstLoadCountsFromTheEpochAndIsNearlyOne) {
    Start();
    Answer(ProcessorBlock(At(0, 0), {50'000'000'000}));
    // GetLoad takes the first sample itself.
    const double load = Sampler::GetLoad(0);
    EXPECT_GT(load, 0.999);
    EXPECT_LT(load, 1.0);
}

TEST_F(ProcessorLoadTest, BufferGrowsBy4096UntilTheBlockFits) {
    struct Case {
        std::size_t blockSize;
        int queries;
    };
    const Case cases[] = {{8192, 1}, {8193, 2}, {12288, 2}, {16384, 3}, {16385, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blockSize);
        Start();
        std::vector<BYTE> block = ProcessorBlock(At(0, 0), {0});
        block.resize(c.blockSize);
        services.registryQueryCount = 0;
        Sample(block);
        EXPECT_EQ(services.registryQueryCount, c.queries);
        // The buffer keeps its size: the next sample asks once.
        Sample(block);
        EXPECT_EQ(services.registryQueryCount, c.queries + 1);
        Stop();
    }
}

TEST_F(ProcessorLoadTest, EndlessRefusalsEndInAnError) {
    Start();
    services.registryQueryResults.assign(5000, static_cast<LONG>(ERROR_MORE_DATA));
    Answer(ProcessorBlock(At(0, 0), {0}));
    EXPECT_EQ(MessageOf(Sampler::TakeSample), "The processor performance data does not fit in 16 MB");
}

TEST_F(ProcessorLoadTest, BadIndexesAreOutOfBounds) {
    Start();
    Sample(ProcessorBlock(At(0, 0), {0, 0}));
    for (const int index : {-1, 2, 1000}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(MessageOf([index] { Sampler::GetLoad(index); }), kOutOfBounds);
    }
    EXPECT_EQ(MessageOf([] { Sampler::GetLoad(1); }), "");
}

TEST_F(ProcessorLoadTest, AnObjectWithoutInstancesHasNoLoads) {
    for (const LONG instances : {0, PERF_NO_INSTANCES}) {
        SCOPED_TRACE(instances);
        Start();
        Sample(Block(At(0, 0), {Processor().Reporting(instances)}));
        for (const int index : {-1, 0, 1}) {
            EXPECT_EQ(MessageOf([index] { Sampler::GetLoad(index); }), kOutOfBounds);
        }
        Stop();
    }
}

TEST_F(ProcessorLoadTest, TheFirstSampleFixesTheInstanceCount) {
    Start();
    Sample(ProcessorBlock(At(0, 0), {0, 0}));
    // A processor that appears later is not read, the others still are.
    Sample(ProcessorBlock(At(0, 10), {0, 25'000'000, 0}));
    EXPECT_EQ(MessageOf([] { Sampler::GetLoad(2); }), kOutOfBounds);
    EXPECT_DOUBLE_EQ(Sampler::GetLoad(1), 0.75);
}

TEST_F(ProcessorLoadTest, MissingObjectOrCounterIsReported) {
    struct Case {
        const char* what;
        std::vector<BlockObject> objects;
        std::string message;
    };
    const std::string noObject = "Unable to locate the \"Processor\" performance object";
    const std::string noCounter = "Unable to locate the \"% of CPU usage\" performance counter";
    const Case cases[] = {
        {"no objects", {}, noObject},
        {"other objects only", {Processor({0}).Title(230), Processor().Title(234)}, noObject},
        {"no counters", {Processor({0}).Counters({})}, noCounter},
        {"other counters only", {Processor({0}).Counters({{142, 8}, {144, 16}})}, noCounter},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Start();
        Answer(Block(At(0, 0), c.objects));
        EXPECT_EQ(MessageOf(Sampler::TakeSample), c.message);
        Stop();
    }
    // A first query that fails leaves the start-up zeros to be walked.
    Start();
    services.registryQueryResults = {static_cast<LONG>(ERROR_FILE_NOT_FOUND)};
    Answer(ProcessorBlock(At(0, 0), {0}));
    EXPECT_EQ(MessageOf(Sampler::TakeSample), noObject);
}

TEST_F(ProcessorLoadTest, AFailedQueryRepeatsTheLastSampleSoTheNextLoadIsZero) {
    Start();
    Sample(ProcessorBlock(At(0, 0), {0}));
    Sample(ProcessorBlock(At(0, 10), {25'000'000}));
    services.registryQueryResults = {static_cast<LONG>(ERROR_ACCESS_DENIED)};
    Sample(ProcessorBlock(At(0, 20), {0}));
    EXPECT_DOUBLE_EQ(Sampler::GetLoad(0), 0.0);
    // The time base did not move, so the next real sample spans 20 seconds.
    Sample(ProcessorBlock(At(0, 30), {75'000'000}));
    EXPECT_DOUBLE_EQ(Sampler::GetLoad(0), 0.75);
}

// Damage to a block whose first object is the processor object with two
// instances: each must fail the sample without reading outside the data,
// and leave the last two samples as they were.
TEST_F(ProcessorLoadTest, DamagedDataFailsTheSampleAndKeepsThePreviousOne) {
    const std::size_t counters = kFirstObject + sizeof(PERF_OBJECT_TYPE);
    const std::size_t firstInstance = counters + 2 * sizeof(PERF_COUNTER_DEFINITION);
    const std::size_t firstCounterBlock = firstInstance + sizeof(PERF_INSTANCE_DEFINITION);
    const std::string zeroLength = "The processor performance data is damaged: a record has a length of zero";
    struct Case {
        const char* what;
        std::function<void(std::vector<BYTE>&)> damage;
        std::string message;
    };
    const Case cases[] = {
        {"header length past the end", [](auto& d) { PutDword(d, offsetof(PERF_DATA_BLOCK, HeaderLength), 0x7FFF'FFF0); },
         kDamaged},
        {"object header cut off", [](auto& d) { d.resize(kFirstObject + 20); }, kDamaged},
        {"next object past the end",
         [](auto& d) {
             PutDword(d, kFirstObject + offsetof(PERF_OBJECT_TYPE, ObjectNameTitleIndex), 230);
             PutDword(d, offsetof(PERF_DATA_BLOCK, NumObjectTypes), 2);
             PutDword(d, kFirstObject + offsetof(PERF_OBJECT_TYPE, TotalByteLength), 0xFFFF'FFF0);
         },
         kDamaged},
        {"objects of length zero",
         [](auto& d) {
             PutDword(d, kFirstObject + offsetof(PERF_OBJECT_TYPE, ObjectNameTitleIndex), 230);
             PutDword(d, offsetof(PERF_DATA_BLOCK, NumObjectTypes), 0xFFFF'FFFF);
             PutDword(d, kFirstObject + offsetof(PERF_OBJECT_TYPE, TotalByteLength), 0);
         },
         zeroLength},
        {"counter definitions past the end",
         [](auto& d) { PutDword(d, kFirstObject + offsetof(PERF_OBJECT_TYPE, HeaderLength), 0x8000'0000); }, kDamaged},
        {"counter definition of length zero",
         [=](auto& d) { PutDword(d, counters + offsetof(PERF_COUNTER_DEFINITION, ByteLength), 0); }, zeroLength},
        {"counter offset past the end",
         [=](auto& d) {
             PutDword(d, counters + sizeof(PERF_COUNTER_DEFINITION) + offsetof(PERF_COUNTER_DEFINITION, CounterOffset),
                      0xFFFF'FFFC);
         },
         kDamaged},
        {"instances past the end",
         [](auto& d) { PutDword(d, kFirstObject + offsetof(PERF_OBJECT_TYPE, DefinitionLength), 0xFFFF'0000); }, kDamaged},
        {"instance definition of length zero", [=](auto& d) { PutDword(d, firstInstance, 0); }, zeroLength},
        {"instance length past the end", [=](auto& d) { PutDword(d, firstInstance, 0x10'0000); }, kDamaged},
        {"counter block length past the end", [=](auto& d) { PutDword(d, firstCounterBlock, 0x7FFF'FFFF); }, kDamaged},
        {"second instance missing from the data", [=](auto& d) { d.resize(firstCounterBlock + kCounterBlockLength); }, kDamaged},
        {"second instance's counter cut off", [](auto& d) { d.resize(d.size() - 4); }, kDamaged},
        {"fewer instances than at first",
         [](auto& d) { PutDword(d, kFirstObject + offsetof(PERF_OBJECT_TYPE, NumInstances), 1); },
         "The \"Processor\" performance object holds fewer instances than when sampling began"},
        {"time stamp that is no date",
         [](auto& d) { d[offsetof(PERF_DATA_BLOCK, SystemTime) + offsetof(SYSTEMTIME, wMonth)] = 13; },
         "The processor performance data is damaged: its time stamp is not a valid date"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Start();
        Sample(ProcessorBlock(At(0, 0), {0, 0}));
        Sample(ProcessorBlock(At(0, 10), {25'000'000, kTenSeconds}));
        std::vector<BYTE> damaged = ProcessorBlock(At(0, 20), {kTenSeconds, kTenSeconds});
        c.damage(damaged);
        Answer(damaged);
        EXPECT_EQ(MessageOf(Sampler::TakeSample), c.message);
        EXPECT_DOUBLE_EQ(Sampler::GetLoad(0), 0.75);
        EXPECT_DOUBLE_EQ(Sampler::GetLoad(1), 0.0);
        Stop();
    }
}

TEST_F(ProcessorLoadTest, AFirstSampleCountingMoreInstancesThanItsDataHoldsFixesNothing) {
    Start();
    Answer(Block(At(0, 0), {Processor({0, 0}).Reporting(0x7FFF'FFFF)}));
    EXPECT_EQ(MessageOf(Sampler::TakeSample),
              "The processor performance data is damaged: it counts more instances than it can hold");
    // The count is still open, so a sound block fixes it.
    Sample(ProcessorBlock(At(0, 0), {0, 0}));
    EXPECT_EQ(MessageOf([] { Sampler::GetLoad(1); }), "");
}

// ---------------------------------------------------------------- 9x family

class ProcessorLoad9xTest : public ProcessorLoadTest {
protected:
    void SetUp() override { services.platformId = VER_PLATFORM_WIN32_WINDOWS; }
};

TEST_F(ProcessorLoad9xTest, LoadIsTheKernelsPercentage) {
    struct Case {
        DWORD percent;
        double load;
    };
    for (const Case c : {Case{57, 0.57}, Case{0, 0.0}, Case{100, 1.0}}) {
        SCOPED_TRACE(c.percent);
        services.SetDynDataCpuUsage(c.percent);
        Start();
        // GetLoad starts the statistic itself.
        EXPECT_DOUBLE_EQ(Sampler::GetLoad(0), c.load);
        Stop();
    }
}

TEST_F(ProcessorLoad9xTest, OnlyIndexZeroExists) {
    services.SetDynDataCpuUsage(57);
    Start();
    for (const int index : {-1, 1}) {
        EXPECT_EQ(MessageOf([index] { Sampler::GetLoad(index); }), kOutOfBounds);
    }
}

TEST_F(ProcessorLoad9xTest, AFailedReadKeepsThePreviousPercentage) {
    services.SetDynDataCpuUsage(57);
    Start();
    Sampler::TakeSample();
    services.SetDynDataCpuUsage(80);
    services.registryQueryResults = {static_cast<LONG>(ERROR_ACCESS_DENIED)};
    Sampler::TakeSample();
    EXPECT_DOUBLE_EQ(Sampler::GetLoad(0), 0.57);
    Sampler::TakeSample();
    EXPECT_DOUBLE_EQ(Sampler::GetLoad(0), 0.8);
}

TEST_F(ProcessorLoad9xTest, AFailedStartIsTriedAgainWhole) {
    struct Case {
        std::deque<LONG> openResults;
        std::string message;
    };
    const LONG denied = static_cast<LONG>(ERROR_ACCESS_DENIED);
    const Case cases[] = {
        {{denied}, "Unable to start performance monitoring"},
        {{static_cast<LONG>(ERROR_SUCCESS), denied}, "Unable to read performance data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        services.SetDynDataCpuUsage(57);
        Start();
        services.registryOpenResults = c.openResults;
        EXPECT_EQ(MessageOf(Sampler::TakeSample), c.message);
        EXPECT_EQ(services.OpenRegistryKeyCount(), 0u);
        EXPECT_DOUBLE_EQ(Sampler::GetLoad(0), 0.57);
        EXPECT_EQ(services.OpenRegistryKeyCount(), 1u);
        Stop();
    }
}

TEST_F(ProcessorLoad9xTest, ShutdownStopsTheStatistic) {
    services.SetDynDataCpuUsage(57);
    Start();
    Sampler::TakeSample();
    EXPECT_EQ(services.OpenRegistryKeyCount(), 1u);
    const int queries = services.registryQueryCount;
    Stop();
    // The data key is closed and the stop key read once.
    EXPECT_EQ(services.OpenRegistryKeyCount(), 0u);
    EXPECT_EQ(services.registryQueryCount, queries + 1);
}

TEST_F(ProcessorLoad9xTest, ShutdownBeforeAnySampleTouchesNoKey) {
    services.SetDynDataCpuUsage(57);
    services.registryOpenResults = {static_cast<LONG>(ERROR_ACCESS_DENIED)};
    Start();
    Stop();
    // The scripted refusal is still waiting: nothing was opened.
    EXPECT_EQ(services.registryOpenResults.size(), 1u);
    EXPECT_EQ(services.registryQueryCount, 0);
}

// ---------------------------------------------------------------- Start and stop

TEST_F(ProcessorLoadTest, StartupWithoutTheVersionFailsAndCountsForNothing) {
    services.failGetVersion = true;
    EXPECT_EQ(MessageOf([this] { Sampler::Startup(services); }), "Can't get the Windows version");
    EXPECT_EQ(MessageOf(Sampler::TakeSample), "The processor load sampler has not been started");
    services.failGetVersion = false;
    Start();
    EXPECT_EQ(MessageOf([this] { Sample(ProcessorBlock(At(0, 0), {0})); }), "");
}

TEST_F(ProcessorLoadTest, OnlyTheBalancingShutdownStops) {
    Start();
    Sample(ProcessorBlock(At(0, 0), {0}));
    Start();  // acts not: the first sample is still there
    Sample(ProcessorBlock(At(0, 10), {25'000'000}));
    EXPECT_DOUBLE_EQ(Sampler::GetLoad(0), 0.75);
    Stop();
    EXPECT_DOUBLE_EQ(Sampler::GetLoad(0), 0.75);
    Stop();
    EXPECT_EQ(MessageOf(Sampler::TakeSample), "The processor load sampler has not been started");
}

}  // namespace
}  // namespace vx
