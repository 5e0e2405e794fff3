// The processor counters' provider's Collect step, in the layouts its hosts
// give it, read back by the program's own sampler.
#include "platform/perf_provider.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fake/fake_system_services.h"
#include "sysinfo/processor_load.h"

namespace vx::win {
namespace {

TEST(PerfProviderTest, AnswersOnlyQueriesForItsObject) {
    struct Case {
        std::u16string_view query;
        bool asks;
    };
    const Case cases[] = {
        {u"Global", true},        {u"", true},        {u"238", true},
        {u"2 238 4", true},       {u" 238 ", true},   {u"2380", false},
        {u"23", false},           {u"238x 4", false}, {u"Costly", false},
        {u"Foreign host", false}, {u"6", false},      {u"99999999999238", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QueryAsksFor(c.query, 238), c.asks) << std::string(c.query.begin(), c.query.end());
    }
}

constexpr DWORD kHeaderLength = 96;  // a header with a short system name
constexpr SYSTEMTIME kNoon{2024, 5, 3, 15, 12, 0, 0, 0};
constexpr SYSTEMTIME kTenSecondsLater{2024, 5, 3, 15, 12, 0, 10, 0};

// A host's block as it calls the provider: the header counts only itself.
std::vector<BYTE> HostBlock(const SYSTEMTIME& time) {
    std::vector<BYTE> block(4096, 0xCD);
    PERF_DATA_BLOCK header;
    std::memset(&header, 0, sizeof header);
    std::memcpy(header.Signature, u"PERF", sizeof header.Signature);
    header.LittleEndian = 1;
    header.Version = 1;
    header.TotalByteLength = kHeaderLength;
    header.HeaderLength = kHeaderLength;
    header.SystemTime = time;
    std::memcpy(block.data(), &header, sizeof header);
    return block;
}

// The host's part after Collect: the header counts what was written.
void CountCollected(std::vector<BYTE>& block, const CollectedData& collected) {
    PERF_DATA_BLOCK header;
    std::memcpy(&header, block.data(), sizeof header);
    header.TotalByteLength += collected.bytes;
    header.NumObjectTypes += collected.objects;
    std::memcpy(block.data(), &header, sizeof header);
    block.resize(header.TotalByteLength);
}

TEST(PerfProviderTest, TheSamplerFindsTheObjectWhereverTheHostPointsTheProvider) {
    struct Layout {
        const char* host;
        std::size_t given;  // where the host points the provider
    };
    for (const Layout& layout : {Layout{"where the header says", kHeaderLength},
                                 Layout{"one header past it", kHeaderLength + sizeof(PERF_DATA_BLOCK)}}) {
        SCOPED_TRACE(layout.host);
        test::FakeSystemServices services;
        const ProcessorLoadSampler::Session session(services);
        const auto sample = [&](const SYSTEMTIME& time, std::uint64_t idle0, std::uint64_t idle1) {
            std::vector<BYTE> block = HostBlock(time);
            const ProcessorCounters processors[] = {{0, 0, 0, idle0}, {1, 0, 0, idle1}};
            BYTE* const given = block.data() + layout.given;
            const CollectedData collected =
                CollectProcessorObject(u"238", given, static_cast<DWORD>(block.size() - layout.given),
                                       std::span<const BYTE>(block.data(), layout.given), processors, 0);
            EXPECT_EQ(collected.status, ERROR_SUCCESS);
            EXPECT_EQ(collected.objects, 1u);
            EXPECT_EQ(collected.bytes, ProcessorObjectLength(processors));
            EXPECT_EQ(collected.next, block.data() + kHeaderLength + collected.bytes);
            CountCollected(block, collected);
            services.SetRegistryBinary(test::FakeSystemServices::kPerformanceDataKey, "238", std::move(block));
            ProcessorLoadSampler::TakeSample();
        };
        sample(kNoon, 0, 0);
        sample(kTenSecondsLater, 25'000'000, 100'000'000);
        EXPECT_DOUBLE_EQ(ProcessorLoadSampler::GetLoad(0), 0.75);
        EXPECT_DOUBLE_EQ(ProcessorLoadSampler::GetLoad(1), 0.0);
        EXPECT_DOUBLE_EQ(ProcessorLoadSampler::GetLoad(2), 1.0 - 62'500'000.0 / 100'000'000.0) << "_Total";
    }
}

TEST(PerfProviderTest, WritesNothingUnlessAskedAndTheObjectFits) {
    const ProcessorCounters processors[] = {{0, 1, 2, 3}};
    const std::size_t length = ProcessorObjectLength(processors);
    struct Case {
        const char* what;
        std::u16string_view query;
        std::size_t given;
        std::size_t room;
        DWORD status;
        bool written;
    };
    const Case cases[] = {
        {"asked, room to spare", u"Global", kHeaderLength, length + 8, ERROR_SUCCESS, true},
        {"asked, just fits", u"238", kHeaderLength, length, ERROR_SUCCESS, true},
        {"asked, one byte short", u"238", kHeaderLength, length - 1, ERROR_MORE_DATA, false},
        {"one header past, the gap counts as room", u"238", kHeaderLength + 88, length - 88, ERROR_SUCCESS, true},
        {"one header past, still short", u"238", kHeaderLength + 88, length - 89, ERROR_MORE_DATA, false},
        {"another object asked for", u"230 232", kHeaderLength, length, ERROR_SUCCESS, false},
        {"costly objects asked for", u"Costly", kHeaderLength, length, ERROR_SUCCESS, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<BYTE> block = HostBlock(kNoon);
        const std::vector<BYTE> before = block;
        BYTE* const given = block.data() + c.given;
        const CollectedData collected = CollectProcessorObject(c.query, given, static_cast<DWORD>(c.room),
                                                               std::span<const BYTE>(block.data(), c.given), processors, 0);
        EXPECT_EQ(collected.status, c.status);
        EXPECT_EQ(collected.bytes, c.written ? length : 0u);
        EXPECT_EQ(collected.objects, c.written ? 1u : 0u);
        if (!c.written) {
            EXPECT_EQ(collected.next, given);
            EXPECT_EQ(block, before) << "nothing written";
        }
    }
}

TEST(PerfProviderTest, PlacesTheObjectAtTheGivenPlaceUnlessAHeaderEndsBeforeIt) {
    struct Case {
        const char* what;
        DWORD totalLength;  // the header's
        std::size_t given;
        std::size_t readable;  // bytes before the place that may be read
        std::size_t expected;
    };
    const Case cases[] = {
        {"header counts up to the place", kHeaderLength, kHeaderLength, kHeaderLength, kHeaderLength},
        {"one header past", kHeaderLength, kHeaderLength + 88, kHeaderLength + 88, kHeaderLength},
        {"another provider's object counted", kHeaderLength + 64, kHeaderLength + 64 + 88, kHeaderLength + 64 + 88,
         kHeaderLength + 64},
        {"header beyond the readable bytes", kHeaderLength, kHeaderLength + 88, 100, kHeaderLength + 88},
        {"header counting past the place", kHeaderLength + 400, kHeaderLength + 88, kHeaderLength + 88, kHeaderLength + 88},
        {"unaligned length", kHeaderLength + 4, kHeaderLength + 88, kHeaderLength + 88, kHeaderLength + 88},
        {"nothing readable", kHeaderLength, kHeaderLength + 88, 0, kHeaderLength + 88},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> block = HostBlock(kNoon);
        std::memcpy(block.data() + offsetof(PERF_DATA_BLOCK, TotalByteLength), &c.totalLength, sizeof c.totalLength);
        BYTE* const given = block.data() + c.given;
        EXPECT_EQ(ObjectPlace(given, std::span<const BYTE>(given - c.readable, c.readable)) - block.data(),
                  static_cast<std::ptrdiff_t>(c.expected))
            << c.what;
    }
}

}  // namespace
}  // namespace vx::win
