// The checks as the window runs them: each row scored through its handler,
// the battery's stops, and the disk test's faults.
//
// Sections: The battery's stops; The throughput test's faults.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/advice.h"
#include "app/check_window.h"
#include "checks/disk.h"
#include "checks/test_env.h"
#include "platform/native_services.h"
#include "platform/program_view.h"
#include "widgets/digits.h"
#include "widgets/label.h"
#include "widgets/progress.h"

namespace vx {
namespace {

using namespace win;
using test::CheckWindow;
using test::LampFor;
using test::Lamps;

constexpr ULONGLONG kMiB = 1048576;

TEST(DesktopCheckTest, ScoresFromTheSnapshotAndKeepsTheAdviceValues) {
    struct Case {
        int depth, refresh;
        double shown;
        Lamp lamp;
        bool link;
    };
    for (const Case& c :
         {Case{16, 60, 40, Lamp::Red, true}, Case{32, 75, 100, Lamp::Green, false}, Case{30, 60, 75, Lamp::Yellow, true}}) {
        SCOPED_TRACE(std::to_string(c.depth) + " bits at " + std::to_string(c.refresh) + " Hz");
        CheckWindow<> w([&](test::HookedServices& s) {
            s.deviceCaps[BITSPIXEL] = c.depth;
            s.deviceCaps[VREFRESH] = c.refresh;
        });
        w.form->BDesktopClick(nullptr);
        EXPECT_EQ(w.form->DesktopD->Value(), c.shown);
        EXPECT_EQ(w.form->DesktopP->Percent(), c.shown);
        EXPECT_EQ(Lamps(w.form->DesktopL1, w.form->DesktopL2, w.form->DesktopL3), LampFor(c.lamp));
        EXPECT_EQ(w.form->DesktopHelp->Enabled(), c.link);
        EXPECT_EQ(DesktopColorDepth, c.depth);
        EXPECT_EQ(DesktopRefreshRate, c.refresh);
        EXPECT_EQ(w.form->progress1->Percent(), 10);
    }
}

// The machine's memory as the services tell it to the 32-bit program.
TEST(FreeMemoryCheckTest, ScoresMemoryAsTheThirtyTwoBitProgramIsToldIt) {
    struct Case {
        DWORD load;
        ULONGLONG installed;
        double display;
        int bar;
        Lamp lamp;
    };
    const Case cases[] = {
        {40, 16384 * kMiB, 445, 100, Lamp::Green},  // (180 + 2047.999...) / 5: limited to 2 GiB - 1
        {50, 8192 * kMiB, 439, 100, Lamp::Green},   // (150 + 2047.999...) / 5
        {50, 1024 * kMiB, 234, 100, Lamp::Green},   // (150 + 1024) / 5
        {70, 128 * kMiB, 43, 29, Lamp::Red},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.installed / kMiB);
        CheckWindow<> w([&c](test::HookedServices& s) {
            s.memoryStatus = win::AsThirtyTwoBitProgramSees(
                win::MemoryCounts{c.load, c.installed, c.installed / 2, 2 * c.installed, c.installed, 128ull << 40, 64ull << 40});
        });
        w.form->BMemFreeClick(nullptr);
        EXPECT_EQ(w.form->MemFreeD->Value(), c.display);
        EXPECT_EQ(w.form->MemFreeP->Percent(), c.bar);
        EXPECT_EQ(Lamps(w.form->MemFreeL1, w.form->MemFreeL2, w.form->MemFreeL3), LampFor(c.lamp));
        EXPECT_EQ(w.form->progress1->Percent(), 10);
    }
}

TEST(FreeSpaceCheckTest, ScoresTheTemporaryFoldersDisk) {
    struct Case {
        const char* name;
        std::string tempPath;
        ULONGLONG freeBytes;
        std::string queried;
        double shown;
        Lamp lamp;
        bool link;
        double freeGB;
    };
    for (const Case& c : {
             Case{"619 MiB", "/tmp/", 619 * kMiB, "/tmp/", 30, Lamp::Yellow, true, 619.0 / 1024},
             Case{"2500 MiB", "/tmp/", 2500 * kMiB, "/tmp/", 100, Lamp::Green, false, 2500.0 / 1024},
             Case{"drive letter", "C:\\TEMP\\", 1000 * kMiB, "C:\\", 50, Lamp::Yellow, true, 1000.0 / 1024},
             Case{"relative folder", "tmp/", 1000 * kMiB, "", 0, Lamp::Red, true, -1.0 / 1073741824},
             Case{"folder too long", "/" + std::string(300, 't') + "/", 1000 * kMiB, "", 0, Lamp::Red, true, -1.0 / 1073741824},
         }) {
        SCOPED_TRACE(c.name);
        CheckWindow<> w([&](test::HookedServices& s) {
            s.tempPath = c.tempPath;
            s.diskFreeToCaller = c.freeBytes;
            s.diskTotal = 40ull << 30;
        });
        w.form->BHddFreeClick(nullptr);
        EXPECT_EQ(w.services.lastDiskFreeSpaceDirectory, c.queried);
        EXPECT_EQ(w.form->HddFreeD->Value(), c.shown);
        EXPECT_EQ(w.form->HddFreeP->Percent(), c.shown);
        EXPECT_EQ(Lamps(w.form->HddFreeL1, w.form->HddFreeL2, w.form->HddFreeL3), LampFor(c.lamp));
        EXPECT_EQ(w.form->HDDFreeHelp->Enabled(), c.link);
        EXPECT_DOUBLE_EQ(DiskFreeGB, c.freeGB);
        EXPECT_DOUBLE_EQ(DiskTotalGB, c.queried.empty() ? -1.0 / 1073741824 : 40);
        EXPECT_EQ(w.form->progress1->Percent(), 10);
    }
}

TEST(ThroughputTestTest, TenTimedPassesChargedWithTheLoad) {
    struct Case {
        const char* name;
        std::int64_t msPerReading;
        double load;
        double digits;
        int bar;
        Lamp lamp;
        bool link;
    };
    for (const Case& c : {
             Case{"5 s at half load", 5000, 0.5, 400, 66, Lamp::Yellow, false},
             Case{"20 s at 0.9", 20000, 0.9, 165, 29, Lamp::Red, true},
             Case{"no measurable time", 0, 0.5, 800, 93, Lamp::Green, false},  // each pass counts as 1 s
         }) {
        SCOPED_TRACE(c.name);
        CheckWindow<> w;
        w.msPerReading = c.msPerReading;
        w.load = c.load;
        w.services.files["/tmp/AVITest.tmp"];  // left over from an earlier run
        w.form->BHddTestClick(nullptr);
        EXPECT_FALSE(w.services.files.contains("/tmp/AVITest.tmp")) << "deleted before the first pass";
        EXPECT_EQ(w.passes, 10);
        EXPECT_EQ(w.samples, 10);
        EXPECT_EQ(w.loadReads, 10);
        EXPECT_EQ(w.form->HddTestD->Value(), c.digits);
        EXPECT_EQ(w.form->HddTestP->Percent(), c.bar);
        EXPECT_EQ(Lamps(w.form->HddTestL1, w.form->HddTestL2, w.form->HddTestL3), LampFor(c.lamp));
        EXPECT_EQ(w.form->HDDTestHelp->Enabled(), c.link);
        EXPECT_DOUBLE_EQ(AverageLoadPoints, c.load * 80);
        EXPECT_EQ(w.form->progress1->Percent(), 10) << "one step per pass, none for the score";
    }
}

TEST(SpeedTestsTest, ScoreOneHundredMinusTheSeconds) {
    CheckWindow<> w;
    w.msPerReading = 25500;
    w.form->BCPUClick(nullptr);
    EXPECT_EQ(w.form->CPUD->Value(), 1117);
    EXPECT_EQ(w.form->CPUP->Percent(), 74);
    EXPECT_EQ(Lamps(w.form->CPUL1, w.form->CPUL2, w.form->CPUL3), LampFor(Lamp::Green));
    EXPECT_EQ(w.accumulatorsSeen, (std::vector<ExtendedFloat>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}))
        << "the accumulator starts at 0 and goes from slice to slice";
    EXPECT_EQ(w.form->progress1->Percent(), 10);

    w.msPerReading = 45250;
    w.form->BMemSpeedClick(nullptr);
    EXPECT_EQ(w.form->MemSpeedD->Value(), 273);
    EXPECT_EQ(w.form->MemSpeedP->Percent(), 54);
    EXPECT_EQ(Lamps(w.form->MemSpeedL1, w.form->MemSpeedL2, w.form->MemSpeedL3), LampFor(Lamp::Green));
    ASSERT_EQ(w.blocksSeen.size(), 20u);
    EXPECT_NE(w.blocksSeen[0], w.blocksSeen[1]);
    for (std::size_t i = 2; i < w.blocksSeen.size(); ++i) EXPECT_EQ(w.blocksSeen[i], w.blocksSeen[i % 2]);
    EXPECT_EQ(w.form->progress1->Percent(), 20);

    w.msPerReading = 120000;
    w.form->BCPUClick(nullptr);
    EXPECT_EQ(w.form->CPUD->Value(), 0);
    EXPECT_TRUE(w.form->CPUL1->LedisOn()) << "no lamp goes out";
    EXPECT_TRUE(w.form->CPUL3->Blinking());
}

TEST(SpeedTestsTest, TheMemoryBlocksAreZeroFilledTenMebibytes) {
    CheckWindow<> w;
    std::vector<std::size_t> sizes;
    bool zeroFilled = true;
    CheckWorkloads workloads = w.form->Workloads();
    workloads.memorySlice = [&](const std::uint8_t* source, std::uint8_t* target, std::size_t size) {
        sizes.push_back(size);
        if (sizes.size() == 1) {
            zeroFilled = std::all_of(source, source + size, [](std::uint8_t b) { return b == 0; }) &&
                         std::all_of(target, target + size, [](std::uint8_t b) { return b == 0; });
        }
    };
    w.form->SetWorkloads(workloads);
    w.form->BMemSpeedClick(nullptr);
    EXPECT_EQ(sizes, std::vector<std::size_t>(10, 10'485'760));
    EXPECT_TRUE(zeroFilled);
}

// ---------------------------------------------------------------- The battery's stops

TEST(BatteryStopTest, WhatStillRunsAndWhatStaysUnscored) {
    enum class Stop {
        Nowhere,
        OsCheck,
        FreeSpaceCheck,
        ThroughputPass4,
        ProcessorSlice3,
        FreeMemoryCheck,
        MemorySlice3,
        DesktopCheck
    };
    struct Case {
        const char* name;
        Stop stop;
        std::vector<bool> scored;  // operating system, free space, throughput, processor, free memory, memory, desktop
        int passes, cpuSlices, memSlices;
    };
    const Case cases[] = {
        {"no stop", Stop::Nowhere, {1, 1, 1, 1, 1, 1, 1}, 10, 10, 10},
        {"operating system check", Stop::OsCheck, {1, 1, 0, 0, 0, 0, 0}, 0, 0, 0},
        {"free space check", Stop::FreeSpaceCheck, {1, 1, 0, 0, 0, 0, 0}, 0, 0, 0},
        {"throughput pass 4", Stop::ThroughputPass4, {1, 1, 0, 0, 0, 0, 0}, 4, 0, 0},
        {"processor slice 3", Stop::ProcessorSlice3, {1, 1, 1, 0, 1, 0, 0}, 10, 3, 1},
        {"free memory check", Stop::FreeMemoryCheck, {1, 1, 1, 1, 1, 0, 0}, 10, 10, 1},
        {"memory slice 3", Stop::MemorySlice3, {1, 1, 1, 1, 1, 0, 0}, 10, 10, 3},
        {"desktop check", Stop::DesktopCheck, {1, 1, 1, 1, 1, 1, 1}, 10, 10, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CheckWindow<> w;
        switch (c.stop) {
            case Stop::Nowhere:
            case Stop::OsCheck:
                break;
            case Stop::FreeSpaceCheck:
                w.services.onDiskQuery = [&] { w.QueueStop(); };
                break;
            case Stop::ThroughputPass4:
                w.onPass = [&](int pass) {
                    if (pass == 3) w.QueueStop();
                };
                break;
            case Stop::ProcessorSlice3:
                w.onCpuSlice = [&](int slice) {
                    if (slice == 2) w.QueueStop();
                };
                break;
            case Stop::FreeMemoryCheck:
                // The processor test's closing clock reading is followed by its
                // scoring pump, then the free memory check's pump.
                w.onReading = [&](int reading) {
                    if (reading == 21) w.QueueStopAfterNextPump();
                };
                break;
            case Stop::MemorySlice3:
                w.onMemSlice = [&](int slice) {
                    if (slice == 2) w.QueueStop();
                };
                break;
            case Stop::DesktopCheck:
                w.onReading = [&](int reading) {
                    if (reading == 23) w.QueueStopAfterNextPump();
                };
                break;
        }
        w.QueueClick(*w.form->BStartStop);
        if (c.stop == Stop::OsCheck) w.QueueStop();
        w.app.ProcessMessages();

        EXPECT_EQ(w.ScoredRows(), c.scored);
        EXPECT_EQ(w.passes, c.passes);
        EXPECT_EQ(w.cpuSlices, c.cpuSlices);
        EXPECT_EQ(w.memSlices, c.memSlices);
        // The sampler is primed only when the battery reaches the throughput test.
        const bool primed = c.stop != Stop::OsCheck && c.stop != Stop::FreeSpaceCheck;
        const int samples = primed ? 1 + c.passes : 0;
        EXPECT_EQ(w.samples, samples);
        EXPECT_EQ(w.loadReads, samples);
        EXPECT_EQ(w.form->BStartStop->Tag(), c.stop == Stop::Nowhere ? BatteryRunning : BatteryEnded);
        EXPECT_TRUE(w.errors.empty());
    }
}

TEST(BatteryStopTest, ASlicedTestRunAloneAfterTheBatteryStopsAfterOneSlice) {
    CheckWindow<> w;
    w.form->EndOfBattery(nullptr);
    ASSERT_EQ(w.form->BStartStop->Tag(), BatteryEnded);
    w.ClickOn(*w.form->BHddTest);
    EXPECT_EQ(w.passes, 1);
    EXPECT_EQ(w.form->progress1->Percent(), 1) << "reset on mouse-down, one step";
    w.ClickOn(*w.form->BCPU);
    EXPECT_EQ(w.cpuSlices, 1);
    w.ClickOn(*w.form->BMemSpeed);
    EXPECT_EQ(w.memSlices, 1);
    EXPECT_EQ(w.ScoredRows(), (std::vector<bool>{0, 0, 0, 0, 0, 0, 0}));
    w.ClickOn(*w.form->BMemFree);
    EXPECT_EQ(w.ScoredRows(), (std::vector<bool>{0, 0, 0, 0, 1, 0, 0})) << "the single-shot checks never stop";
}

// ---------------------------------------------------------------- The throughput test's faults

TEST(ThroughputFaultTest, AFileThatCannotBeCreatedEndsTheTestSilently) {
    CheckWindow<> w;
    w.passWork = [](SystemServices& services, const std::string& path) { return RunThroughputPass(services, path, 4); };
    w.services.createFileError = ERROR_ACCESS_DENIED;
    w.ClickOn(*w.form->BHddTest);
    EXPECT_TRUE(w.errors.empty());
    EXPECT_EQ(w.samples, 1);
    EXPECT_EQ(w.form->progress1->Percent(), 0);
    EXPECT_EQ(w.ScoredRows(), (std::vector<bool>{0, 0, 0, 0, 0, 0, 0}));
}

TEST(ThroughputFaultTest, InputOutputErrorsReachTheUserWithTheFileGone) {
    struct Case {
        const char* name;
        std::function<void(test::HookedServices&)> fault;
        std::string message;
    };
    for (const Case& c : {Case{"full disk", [](auto& s) { s.diskFullAfterBytes = 3 * 4 * 1023 + 5; }, "Disk full"},
                          Case{"read error", [](auto& s) { s.readFileError = 1117; }, "I/O error 1117"},
                          Case{"short read", [](auto& s) { s.shortReadBytes = 512; }, "Read beyond end of file"}}) {
        SCOPED_TRACE(c.name);
        CheckWindow<> w;
        w.passWork = [](SystemServices& services, const std::string& path) { return RunThroughputPass(services, path, 4); };
        c.fault(w.services);
        w.ClickOn(*w.form->BHddTest);
        EXPECT_EQ(w.errors, std::vector<std::string>{c.message});
        EXPECT_TRUE(w.services.files.empty());
        EXPECT_EQ(w.services.OpenFileCount(), 0u);
        EXPECT_FALSE(w.ScoredRows()[2]);
    }
}

// The real file services in a temporary folder of the test's own.
struct RealFolderWindow : CheckWindow<NativeSystemServices> {
    explicit RealFolderWindow(const std::string& folder) : m_folder(folder) {
        passWork = [](SystemServices& services, const std::string& path) { return RunThroughputPass(services, path, 4); };
    }
    test::ScopedTempFolder m_folder;
};

TEST(ThroughputFaultTest, APlantedLinkIsRemovedAndItsTargetLeftAlone) {
    struct Case {
        const char* name;
        bool (*plant)(const std::string& target, const std::string& link);
    };
    for (const Case& c :
         {Case{"symbolic link", test::MakeSymlink}, Case{"second name", [](const std::string&target, const std::string&link) {
                                                             std::error_code error;
                                                             std::filesystem::create_hard_link(target, link, error);
                                                             return !error;
                                                         }}}) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        std::ofstream(dir / "precious") << "keep me";
        if (!c.plant(dir / "precious", dir / "AVITest.tmp")) {
            std::printf("skipped: a %s cannot be made here\n", c.name);
            continue;
        }
        RealFolderWindow w(dir.Path());
        w.form->BHddTestClick(nullptr);
        std::ifstream in(dir / "precious");
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep me");
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir / "AVITest.tmp")));
        EXPECT_TRUE(w.ScoredRows()[2]) << "the test then ran on a file of its own";
    }
}

#if !defined(_WIN32)
// Folders are made unwritable the Linux way.
TEST(ThroughputFaultTest, AMissingOrUnwritableTemporaryFolderEndsTheTestSilently) {
    test::TempDir dir;
    {
        RealFolderWindow w(dir / "missing");
        w.form->BHddTestClick(nullptr);
        w.form->BHddFreeClick(nullptr);
        EXPECT_EQ(w.ScoredRows(), (std::vector<bool>{0, 1, 0, 0, 0, 0, 0})) << "free space of the disk above it";
        EXPECT_GT(DiskTotalGB, 0);
        EXPECT_TRUE(w.errors.empty());
    }
    test::SmallFileSystem readOnly("size=64k", MS_RDONLY);
    std::string unwritable = readOnly.Ok() ? readOnly.Dir().Path() : dir / "locked";
    if (!readOnly.Ok()) {
        ::mkdir(unwritable.c_str(), 0500);
        if (::access(unwritable.c_str(), W_OK) == 0) GTEST_SKIP() << "no folder here is unwritable for this user";
    }
    RealFolderWindow w(unwritable);
    w.form->BHddTestClick(nullptr);
    EXPECT_EQ(w.passes, 0);
    EXPECT_FALSE(w.ScoredRows()[2]);
    EXPECT_TRUE(w.errors.empty());
}

#endif

}  // namespace
}  // namespace vx
