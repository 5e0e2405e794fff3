// The Linux answers for memory, processors, names, the screen and the
// processor performance data: the parsers on given /proc texts, and the real
// calls on this machine (sane values, no exact numbers).
//
// Sections: /proc/stat; The performance data block; /proc/meminfo and /proc/cpuinfo; The screen;
//   The real calls on this machine.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "fake/fake_system_services.h"
#include "platform/posix/posix_perf_data.h"
#include "platform/posix/posix_system_services.h"
#include "sysinfo/processor_load.h"

namespace vx::win {
namespace {

template <typename T>
T ReadAt(const std::vector<BYTE>& data, std::size_t at) {
    T value;
    EXPECT_LE(at + sizeof value, data.size());
    std::memcpy(&value, data.data() + at, sizeof value);
    return value;
}

std::u16string NameAt(const std::vector<BYTE>& data, std::size_t at, std::size_t bytes) {
    std::u16string name(bytes / 2, u'\0');
    std::memcpy(name.data(), data.data() + at, bytes);
    if (!name.empty() && name.back() == u'\0') name.pop_back();
    return name;
}

// ---------------------------------------------------------------- /proc/stat

const char* const kTwoProcessors =
    "cpu  3000 10 900 40000 70 0 30 5 0 0\n"
    "cpu0 1000 5 400 20000 50 0 10 2 0 0\n"
    "cpu1 2000 5 500 20000 20 0 20 3 0 0\n"
    "intr 786438 0 0 0\n"
    "ctxt 938124\n";

TEST(ParseProcStatTest, ReadsTheProcessorLines) {
    std::vector<ProcessorTimes> processors;
    ASSERT_TRUE(ParseProcStat(kTwoProcessors, processors));
    ASSERT_EQ(processors.size(), 2u);
    const ProcessorTimes& second = processors[1];
    EXPECT_EQ(second.number, 1u);
    EXPECT_EQ(second.user, 2000u);
    EXPECT_EQ(second.nice, 5u);
    EXPECT_EQ(second.system, 500u);
    EXPECT_EQ(second.idle, 20000u);
    EXPECT_EQ(second.iowait, 20u);
    EXPECT_EQ(second.irq, 0u);
    EXPECT_EQ(second.softirq, 20u);
    EXPECT_EQ(second.steal, 3u);
}

TEST(ParseProcStatTest, EdgeCases) {
    struct Case {
        const char* what;
        const char* text;
        std::vector<unsigned> numbers;  // empty: the parse fails
    };
    const Case cases[] = {
        {"an old kernel's four fields", "cpu 1 2 3 4\ncpu0 1 2 3 4\n", {0}},
        {"an offline processor leaves a gap", "cpu 1 2 3 4\ncpu0 1 2 3 4\ncpu2 1 2 3 4\n", {0, 2}},
        {"no final newline", "cpu0 1 2 3 4 5 6 7 8 9 10", {0}},
        {"lines after the processors are not read", "cpu0 1 2 3 4\nintr 1\ncpu9 x\n", {0}},
        {"the summary alone", "cpu  1 2 3 4\nintr 1\n", {}},
        {"empty", "", {}},
        {"too few fields", "cpu0 1 2 3\n", {}},
        {"a word among the numbers", "cpu0 1 2 x 4\ncpu1 1 2 3 4\n", {}},
        {"a negative number", "cpu0 1 -2 3 4\n", {}},
        {"a number too large", "cpu0 1 2 3 99999999999999999999\n", {}},
        {"no processor number", "cpux 1 2 3 4\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<ProcessorTimes> processors(3);
        EXPECT_EQ(ParseProcStat(c.text, processors), !c.numbers.empty());
        std::vector<unsigned> numbers;
        for (const ProcessorTimes& processor : processors) numbers.push_back(processor.number);
        EXPECT_EQ(numbers, c.numbers);
    }
}

TEST(TicksToHundredNanosecondsTest, ConvertsWithoutOverflow) {
    struct Case {
        std::uint64_t ticks;
        std::uint64_t perSecond;
        std::uint64_t expected;
    };
    const Case cases[] = {
        {1, 100, 100'000},
        {250, 100, 25'000'000},
        {1, 1024, 9'765},
        {1024, 1024, 10'000'000},
        {1ull << 62, 100, (1ull << 62) / 100 * 10'000'000 + (1ull << 62) % 100 * 100'000},
        {5, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TicksToHundredNanoseconds(c.ticks, c.perSecond), c.expected) << c.ticks << " at " << c.perSecond;
    }
}

// ---------------------------------------------------------------- The performance data block

constexpr SYSTEMTIME kNoon{2024, 5, 3, 15, 12, 0, 0, 0};

std::vector<BYTE> BuildFrom(const char* procStat, const SYSTEMTIME& time = kNoon, std::string_view name = "host") {
    std::vector<ProcessorTimes> processors;
    EXPECT_TRUE(ParseProcStat(procStat, processors));
    std::vector<ProcessorCounters> counters;
    CountersFromProcStat(processors, 100, counters);
    const ProcessorPerfSample sample{counters, time, name};
    std::vector<BYTE> data(BuildProcessorPerfData(sample, {}));
    EXPECT_EQ(BuildProcessorPerfData(sample, data), data.size());
    return data;
}

TEST(ProcessorPerfDataTest, BlockWalksToEachProcessorsIdleTime) {
    const std::vector<BYTE> data = BuildFrom(kTwoProcessors);
    EXPECT_EQ(NameAt(data, 0, 8), u"PERF");
    EXPECT_EQ(ReadAt<DWORD>(data, offsetof(PERF_DATA_BLOCK, TotalByteLength)), data.size());
    EXPECT_EQ(ReadAt<DWORD>(data, offsetof(PERF_DATA_BLOCK, NumObjectTypes)), 1u);
    const auto time = ReadAt<SYSTEMTIME>(data, offsetof(PERF_DATA_BLOCK, SystemTime));
    EXPECT_EQ(std::memcmp(&time, &kNoon, sizeof time), 0);
    EXPECT_EQ(NameAt(data, ReadAt<DWORD>(data, offsetof(PERF_DATA_BLOCK, SystemNameOffset)),
                     ReadAt<DWORD>(data, offsetof(PERF_DATA_BLOCK, SystemNameLength))),
              u"host");

    const std::size_t object = ReadAt<DWORD>(data, offsetof(PERF_DATA_BLOCK, HeaderLength));
    EXPECT_EQ(object % 8, 0u);
    EXPECT_EQ(ReadAt<DWORD>(data, object + offsetof(PERF_OBJECT_TYPE, ObjectNameTitleIndex)), 238u);
    EXPECT_EQ(object + ReadAt<DWORD>(data, object + offsetof(PERF_OBJECT_TYPE, TotalByteLength)), data.size());
    ASSERT_EQ(ReadAt<LONG>(data, object + offsetof(PERF_OBJECT_TYPE, NumInstances)), 3);

    // The idle counter is not the first definition.
    std::size_t counter = object + ReadAt<DWORD>(data, object + offsetof(PERF_OBJECT_TYPE, HeaderLength));
    const DWORD counterCount = ReadAt<DWORD>(data, object + offsetof(PERF_OBJECT_TYPE, NumCounters));
    std::vector<DWORD> titles;
    DWORD idleOffset = 0;
    for (DWORD index = 0; index < counterCount; ++index) {
        titles.push_back(ReadAt<DWORD>(data, counter + offsetof(PERF_COUNTER_DEFINITION, CounterNameTitleIndex)));
        if (titles.back() == 6) {
            idleOffset = ReadAt<DWORD>(data, counter + offsetof(PERF_COUNTER_DEFINITION, CounterOffset));
            EXPECT_EQ(ReadAt<DWORD>(data, counter + offsetof(PERF_COUNTER_DEFINITION, CounterType)), PERF_100NSEC_TIMER_INV);
        }
        counter += ReadAt<DWORD>(data, counter + offsetof(PERF_COUNTER_DEFINITION, ByteLength));
    }
    EXPECT_EQ(titles, (std::vector<DWORD>{142, 144, 6}));

    struct Expected {
        std::u16string name;
        LONGLONG idle;  // idle + iowait in 100 ns
    };
    const Expected expected[] = {
        {u"0", (20000 + 50) * 100'000},
        {u"1", (20000 + 20) * 100'000},
        {u"_Total", (40070 / 2) * 100'000},  // the average, so that it keeps pace with the clock
    };
    std::size_t instance = object + ReadAt<DWORD>(data, object + offsetof(PERF_OBJECT_TYPE, DefinitionLength));
    for (const Expected& e : expected) {
        EXPECT_EQ(NameAt(data, instance + ReadAt<DWORD>(data, instance + offsetof(PERF_INSTANCE_DEFINITION, NameOffset)),
                         ReadAt<DWORD>(data, instance + offsetof(PERF_INSTANCE_DEFINITION, NameLength))),
                  e.name);
        const std::size_t block = instance + ReadAt<DWORD>(data, instance);
        EXPECT_EQ(block % 8, 0u);
        EXPECT_EQ(ReadAt<LONGLONG>(data, block + idleOffset), e.idle);
        instance = block + ReadAt<DWORD>(data, block);
    }
    EXPECT_EQ(instance, data.size());
}

TEST(ProcessorPerfDataTest, WritesOnlyWhenTheBlockFitsAndNothingPastIt) {
    std::vector<ProcessorTimes> processors;
    ASSERT_TRUE(ParseProcStat(kTwoProcessors, processors));
    std::vector<ProcessorCounters> counters;
    CountersFromProcStat(processors, 100, counters);
    const ProcessorPerfSample sample{counters, kNoon, "host"};
    const std::size_t size = BuildProcessorPerfData(sample, {});
    for (const std::size_t room : {std::size_t{0}, size - 1, size, size + 64}) {
        SCOPED_TRACE(room);
        std::vector<BYTE> out(size + 64, 0xAB);
        EXPECT_EQ(BuildProcessorPerfData(sample, std::span<BYTE>(out.data(), room)), size);
        const std::size_t written = room >= size ? size : 0;
        for (std::size_t at = written; at < out.size(); ++at) ASSERT_EQ(out[at], 0xAB) << at;
    }
}

TEST(ProcessorPerfDataTest, TheSamplerReadsTheBlock) {
    // Ten seconds apart; processor 0 idle (or waiting for the disk) for 2.5 of them.
    test::FakeSystemServices services;
    const ProcessorLoadSampler::Session session(services);
    const auto sample = [&services](const char* procStat, const SYSTEMTIME& time) {
        services.SetRegistryBinary(test::FakeSystemServices::kPerformanceDataKey, "238", BuildFrom(procStat, time));
        ProcessorLoadSampler::TakeSample();
    };
    sample("cpu0 0 0 0 1000 0\ncpu1 0 0 0 0 0\n", kNoon);
    sample("cpu0 0 0 0 1200 50\ncpu1 0 0 0 1000 0\n", SYSTEMTIME{2024, 5, 3, 15, 12, 0, 10, 0});
    EXPECT_DOUBLE_EQ(ProcessorLoadSampler::GetLoad(0), 0.75);
    EXPECT_DOUBLE_EQ(ProcessorLoadSampler::GetLoad(1), 0.0);
    EXPECT_DOUBLE_EQ(ProcessorLoadSampler::GetLoad(2), 0.375);  // _Total: 6.25 of 10 seconds idle on average
}

// ---------------------------------------------------------------- /proc/meminfo and /proc/cpuinfo

TEST(ProcFieldBytesTest, ReadsKilobyteAndPlainFields) {
    const char* const text =
        "MemTotal:       24683716 kB\n"
        "MemTotalish:    1 kB\n"
        "HugePages_Total:       7\n"
        "Odd:    5 MB\n"
        "Empty:\n";
    EXPECT_EQ(ProcFieldBytes(text, "MemTotal"), 24683716ull * 1024);
    EXPECT_EQ(ProcFieldBytes(text, "HugePages_Total"), 7u);
    EXPECT_EQ(ProcFieldBytes(text, "Odd"), std::nullopt);
    EXPECT_EQ(ProcFieldBytes(text, "Empty"), std::nullopt);
    EXPECT_EQ(ProcFieldBytes(text, "Mem"), std::nullopt);
    EXPECT_EQ(ProcFieldBytes(text, "MemFree"), std::nullopt);
    EXPECT_EQ(ProcFieldBytes("Big: 99999999999999999 kB\n", "Big"), std::nullopt);
}

TEST(MemoryStatusFromMeminfoTest, Table) {
    constexpr ULONGLONG kKiB = 1024;
    struct Case {
        const char* what;
        std::string meminfo;
        DWORD load;
        ULONGLONG availPhys;
        ULONGLONG totalPageFile;
        ULONGLONG availPageFile;
    };
    const Case cases[] = {
        {"a quarter available, with swap",
         "MemTotal: 8000 kB\nMemFree: 100 kB\nMemAvailable: 2000 kB\nSwapTotal: 1000 kB\nSwapFree: 400 kB\n", 75, 2000 * kKiB,
         9000 * kKiB, 2400 * kKiB},
        {"74.5% in use rounds up", "MemTotal: 1000 kB\nMemAvailable: 255 kB\n", 75, 255 * kKiB, 1000 * kKiB, 255 * kKiB},
        {"74.4% in use rounds down", "MemTotal: 1000 kB\nMemAvailable: 256 kB\n", 74, 256 * kKiB, 1000 * kKiB, 256 * kKiB},
        {"an old kernel without MemAvailable", "MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 250 kB\n", 60,
         400 * kKiB, 1000 * kKiB, 400 * kKiB},
        {"more available than there is", "MemTotal: 1000 kB\nMemAvailable: 5000 kB\nSwapTotal: 10 kB\nSwapFree: 20 kB\n", 0,
         1000 * kKiB, 1010 * kKiB, 1010 * kKiB},
        {"nothing available", "MemTotal: 1000 kB\nMemAvailable: 0 kB\n", 100, 0, 1000 * kKiB, 0},
        {"no MemTotal", "MemAvailable: 5000 kB\n", 0, 0, 0, 0},
        {"empty", "", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const MemoryCounts status = MemoryCountsFromMeminfo(c.meminfo, 1000, 300);
        EXPECT_EQ(status.memoryLoad, c.load);
        EXPECT_EQ(status.availPhys, c.availPhys);
        EXPECT_EQ(status.totalPageFile, c.totalPageFile);
        EXPECT_EQ(status.availPageFile, c.availPageFile);
        EXPECT_EQ(status.totalVirtual, 1000u);
        EXPECT_EQ(status.availVirtual, 700u);
    }
    // Sixty-four gibibytes are counted in full (the services then limit them).
    const MemoryCounts large = MemoryCountsFromMeminfo("MemTotal: 67108864 kB\nMemAvailable: 33554432 kB\n", 0, 5);
    EXPECT_EQ(large.totalPhys, 64ull << 30);
    EXPECT_EQ(large.memoryLoad, 50u);
    EXPECT_EQ(large.availVirtual, 0u);
}

TEST(ProcessorFromCpuinfoTest, TakesTheFirstProcessorsFamilyModelAndStepping) {
    struct Case {
        const char* what;
        const char* cpuinfo;
        WORD level;
        WORD revision;
    };
    const Case cases[] = {
        {"two processors",
         "processor\t: 0\nvendor_id\t: AuthenticAMD\ncpu family\t: 26\nmodel\t\t: 17\nmodel name\t: AMD EPYC\n"
         "stepping\t: 0\n\nprocessor\t: 1\ncpu family\t: 6\nmodel\t\t: 85\nstepping\t: 7\n",
         26, 0x1100},
        {"a classic one", "processor : 0\ncpu family : 6\nmodel : 158\nstepping : 10\n", 6, 0x9E0A},
        {"no family (not x86)", "processor\t: 0\nBogoMIPS\t: 50.00\nCPU part\t: 0xd0c\n", 0, 0},
        {"a family that is no number", "cpu family : six\nmodel : 1\nstepping : 2\n", 0, 0x0102},
        {"a family too large", "cpu family : 70000\n", 0, 0},
        {"empty", "", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ProcessorIdentity identity = ProcessorFromCpuinfo(c.cpuinfo);
        EXPECT_EQ(identity.level, c.level);
        EXPECT_EQ(identity.revision, c.revision);
    }
}

// ---------------------------------------------------------------- The screen

TEST(PosixScreenTest, AnswersFromTheFactsHandedOver) {
    PosixSystemServices services;
    EXPECT_EQ(services.GetDC(HWND{}), HDC{});

    struct Case {
        ScreenFacts facts;
        int refresh;
        int pixelsPerInch;
    };
    const Case cases[] = {
        {{32, 85, 1920, 1080, 144}, 85, 144},
        {{32, 0, 1024, 768, 96}, 0, 96},
        {{16, -1, 800, 600, 0}, 0, 96},  // nothing known: the defaults
    };
    for (const Case& c : cases) {
        services.SetDisplayFacts([&c] { return c.facts; });
        const HDC screen = services.GetDC(HWND{});
        ASSERT_NE(screen, HDC{});
        EXPECT_EQ(services.GetDeviceCaps(screen, BITSPIXEL), c.facts.bitsPerPixel);
        EXPECT_EQ(services.GetDeviceCaps(screen, PLANES), 1);
        EXPECT_EQ(services.GetDeviceCaps(screen, HORZRES), c.facts.width);
        EXPECT_EQ(services.GetDeviceCaps(screen, VERTRES), c.facts.height);
        EXPECT_EQ(services.GetDeviceCaps(screen, VREFRESH), c.refresh);
        EXPECT_EQ(services.GetDeviceCaps(screen, LOGPIXELSX), c.pixelsPerInch);
        EXPECT_EQ(services.GetDeviceCaps(screen, LOGPIXELSY), c.pixelsPerInch);
        EXPECT_EQ(services.GetDeviceCaps(screen, NUMCOLORS), 0);
        EXPECT_EQ(services.ReleaseDC(HWND{}, screen), 1);
        EXPECT_EQ(services.ReleaseDC(HWND{}, screen), 0);
        EXPECT_EQ(services.GetDeviceCaps(screen, BITSPIXEL), 0);
    }
}

// The stand-in's system palette: the platform's fixed colours at both ends,
// each colour once, and the platform's rules for the part asked for.
TEST(PosixScreenTest, SystemPaletteHasTheFixedColoursAtBothEnds) {
    PosixSystemServices services;
    services.SetDisplayFacts([] { return ScreenFacts{8, 60, 640, 480, 96}; });
    const HDC screen = services.GetDC(HWND{});
    ASSERT_NE(screen, HDC{});
    EXPECT_EQ(services.GetSystemPaletteEntries(screen, 0, 256, nullptr), 256u);
    std::vector<PALETTEENTRY> entries(256, PALETTEENTRY{1, 2, 3, 4});
    ASSERT_EQ(services.GetSystemPaletteEntries(screen, 0, 256, entries.data()), 256u);
    auto rgb = [](const PALETTEENTRY& e) { return std::uint32_t{e.peRed} << 16 | std::uint32_t{e.peGreen} << 8 | e.peBlue; };
    const std::uint32_t first[] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                                   0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0};
    const std::uint32_t last[] = {0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00,
                                  0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(rgb(entries[static_cast<std::size_t>(i)]), first[i]) << i;
        EXPECT_EQ(rgb(entries[static_cast<std::size_t>(246 + i)]), last[i]) << 246 + i;
    }
    std::set<std::uint32_t> colours;
    for (const PALETTEENTRY& e : entries) {
        colours.insert(rgb(e));
        EXPECT_EQ(e.peFlags, 0);
    }
    EXPECT_EQ(colours.size(), 256u) << "an entry spent on a colour twice";

    struct Part {
        UINT start;
        UINT count;
        UINT copied;
    };
    for (const Part& part : {Part{250, 10, 6}, Part{255, 1, 1}, Part{256, 1, 0}, Part{300, 10, 0}}) {
        std::vector<PALETTEENTRY> some(10, PALETTEENTRY{1, 2, 3, 4});
        EXPECT_EQ(services.GetSystemPaletteEntries(screen, part.start, part.count, some.data()), part.copied) << part.start;
        if (part.copied > 0) {
            EXPECT_EQ(some[0], entries[part.start]) << part.start;
        }
        EXPECT_EQ(some[part.copied], (PALETTEENTRY{1, 2, 3, 4})) << part.start << ": nothing past what was copied";
    }
    EXPECT_EQ(services.ReleaseDC(HWND{}, screen), 1);
    EXPECT_EQ(services.GetSystemPaletteEntries(screen, 0, 256, entries.data()), 0u) << "a released DC";
}

// ---------------------------------------------------------------- The real calls on this machine

TEST(PosixSystemFactsTest, MemoryStatusIsSane) {
    PosixSystemServices services;
    MEMORYSTATUS status{};
    services.GlobalMemoryStatus(&status);
    EXPECT_EQ(status.dwLength, sizeof status);
    EXPECT_LE(status.dwMemoryLoad, 100u);
    EXPECT_GT(status.dwTotalPhys, 64ull << 20);
    EXPECT_LE(status.dwAvailPhys, status.dwTotalPhys);
    EXPECT_GE(status.dwTotalPageFile, status.dwTotalPhys);
    EXPECT_LE(status.dwAvailPageFile, status.dwTotalPageFile);
    EXPECT_GT(status.dwAvailVirtual, 0u);
    EXPECT_LE(status.dwAvailVirtual, status.dwTotalVirtual);
    EXPECT_LE(status.dwTotalPhys, 0x7FFFFFFFu) << "as the 32-bit program is told";
}

TEST(PosixSystemFactsTest, SystemInfoIsSane) {
    PosixSystemServices services;
    SYSTEM_INFO info{};
    services.GetSystemInfo(&info);
    EXPECT_EQ(info.dwPageSize, static_cast<DWORD>(getpagesize()));
    EXPECT_EQ(info.dwNumberOfProcessors, static_cast<DWORD>(sysconf(_SC_NPROCESSORS_ONLN)));
    EXPECT_NE(info.dwActiveProcessorMask, 0u);
    EXPECT_LT(info.lpMinimumApplicationAddress, info.lpMaximumApplicationAddress);
#if defined(__x86_64__)
    EXPECT_EQ(info.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);
    EXPECT_GE(info.wProcessorLevel, 6);  // every 64-bit x86 processor
#endif
}

TEST(PosixSystemFactsTest, NamesFollowThePlatformsBufferRules) {
    PosixSystemServices services;
    char buffer[64];
    DWORD size = 32;
    ASSERT_EQ(services.GetComputerNameA(buffer, &size), TRUE);
    EXPECT_EQ(size, std::strlen(buffer));
    EXPECT_LE(size, MAX_COMPUTERNAME_LENGTH);
    EXPECT_EQ(std::string(buffer).find('.'), std::string::npos);
    const DWORD nameLength = size;
    size = nameLength;  // no room for the zero
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(services.GetComputerNameA(buffer, &size), FALSE);
    EXPECT_EQ(services.GetLastError(), ERROR_BUFFER_OVERFLOW);
    EXPECT_EQ(size, nameLength + 1);
    EXPECT_EQ(buffer[0], 'x');

    size = 32;
    ASSERT_EQ(services.GetUserNameA(buffer, &size), TRUE);
    EXPECT_GT(size, 1u);
    EXPECT_EQ(size, std::strlen(buffer) + 1);
    const DWORD userLength = size;
    size = 1;
    EXPECT_EQ(services.GetUserNameA(buffer, &size), FALSE);
    EXPECT_EQ(services.GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(size, userLength);
    EXPECT_EQ(services.GetUserNameA(buffer, nullptr), FALSE);
}

TEST(PosixSystemFactsTest, RegistryHoldsOnlyThePerformanceData) {
    PosixSystemServices services;
    HKEY key = static_cast<HKEY>(1);
    EXPECT_EQ(services.RegOpenKeyExA(HKEY_DYN_DATA, "PerfStats\\StatData", 0, KEY_READ, &key),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(key, HKEY{});
    EXPECT_EQ(services.RegOpenKeyExA(HKEY_PERFORMANCE_DATA, nullptr, 0, KEY_READ, &key), static_cast<LONG>(ERROR_SUCCESS));
    EXPECT_EQ(key, HKEY_PERFORMANCE_DATA);
    EXPECT_EQ(services.RegCloseKey(HKEY_PERFORMANCE_DATA), static_cast<LONG>(ERROR_SUCCESS));
    EXPECT_EQ(services.RegCloseKey(HKEY_DYN_DATA), static_cast<LONG>(ERROR_SUCCESS));
    EXPECT_EQ(services.RegCloseKey(static_cast<HKEY>(0x1234)), static_cast<LONG>(ERROR_INVALID_HANDLE));
    DWORD size = 4;
    BYTE value[4];
    EXPECT_EQ(services.RegQueryValueExA(HKEY_PERFORMANCE_DATA, "230", nullptr, nullptr, value, &size),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
}

TEST(PosixSystemFactsTest, PerformanceDataRefusesASmallBufferAndFillsALargeOne) {
    PosixSystemServices services;
    std::vector<BYTE> buffer(65536, 0xAB);
    DWORD size = 64;
    EXPECT_EQ(services.RegQueryValueExA(HKEY_PERFORMANCE_DATA, "238", nullptr, nullptr, buffer.data(), &size),
              static_cast<LONG>(ERROR_MORE_DATA));
    EXPECT_EQ(buffer[0], 0xAB);

    size = static_cast<DWORD>(buffer.size());
    DWORD type = REG_NONE;
    ASSERT_EQ(services.RegQueryValueExA(HKEY_PERFORMANCE_DATA, "238", nullptr, &type, buffer.data(), &size),
              static_cast<LONG>(ERROR_SUCCESS));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    buffer.resize(size);
    EXPECT_EQ(ReadAt<DWORD>(buffer, offsetof(PERF_DATA_BLOCK, TotalByteLength)), size);
    const auto time = ReadAt<SYSTEMTIME>(buffer, offsetof(PERF_DATA_BLOCK, SystemTime));
    FILETIME fileTime{};
    EXPECT_EQ(services.SystemTimeToFileTime(&time, &fileTime), TRUE);
    EXPECT_GE(time.wYear, 2024);
}

TEST(PosixSystemFactsTest, SamplerRunsOnTheRealData) {
    PosixSystemServices services;
    const ProcessorLoadSampler::Session session(services);
    ProcessorLoadSampler::TakeSample();
    ProcessorLoadSampler::TakeSample();
    // Every processor the kernel lists, then the total.
    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    for (int index = 0; index <= processors; ++index) {
        EXPECT_TRUE(std::isfinite(ProcessorLoadSampler::GetLoad(index))) << index;
    }
    EXPECT_THROW(ProcessorLoadSampler::GetLoad(static_cast<int>(processors) + 1), ProcessorLoadSampler::EProcessorLoadError);
}

}  // namespace
}  // namespace vx::win
