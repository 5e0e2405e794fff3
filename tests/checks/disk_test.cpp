// The disk checks' file work: the temporary folder, the free-space query and
// one throughput pass, on the fake machine and on real (small) file systems.
#include "checks/disk.h"

#if !defined(_WIN32)
#include <sys/mount.h>
#include <sys/statvfs.h>
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <utility>

#include "checks/test_env.h"
#include "fake/fake_system_services.h"
#include "platform/native_services.h"

namespace vx {
namespace {

using namespace win;

TEST(TemporaryFolderTest, NeverACutPath) {
    struct Case {
        std::string path;
        DWORD error;
        bool found;
    };
    for (const Case& c : {
             Case{"/tmp/", ERROR_SUCCESS, true},
             Case{"/" + std::string(252, 'a') + "/", ERROR_SUCCESS, true},   // 254 chars and the zero fit
             Case{"/" + std::string(253, 'a') + "/", ERROR_SUCCESS, false},  // 255 chars do not
             Case{"/" + std::string(400, 'a') + "/", ERROR_SUCCESS, false},
             Case{"/tmp/", ERROR_ACCESS_DENIED, false},
         }) {
        SCOPED_TRACE(c.path.size());
        test::FakeSystemServices services;
        services.tempPath = c.path;
        services.tempPathError = c.error;
        const std::optional<std::string> folder = TemporaryFolder(services);
        ASSERT_EQ(folder.has_value(), c.found);
        if (c.found) {
            EXPECT_EQ(*folder, c.path);
        }
        EXPECT_EQ(TestFilePath(services), c.found ? std::optional(c.path + "AVITest.tmp") : std::nullopt);
    }
}

TEST(DiskSpaceQueryTest, AsksAboutTheDiskThatHoldsTheTemporaryFolder) {
    struct Case {
        std::string tempPath;
        std::optional<std::string> queried;
    };
    for (const Case& c : {
             Case{"/tmp/", "/tmp/"},
             Case{"/home/user/tmp/", "/home/user/tmp/"},
             Case{"C:\\WINDOWS\\TEMP\\", "C:\\"},
             Case{"d:\\temp\\", "d:\\"},
             Case{"tmp/", std::nullopt},  // not from the root: no query, the counts are -1
             Case{"\\\\server\\share\\", std::nullopt},
         }) {
        SCOPED_TRACE(c.tempPath);
        EXPECT_EQ(DiskQueryFolder(c.tempPath), c.queried);
        test::FakeSystemServices services;
        services.tempPath = c.tempPath;
        services.diskTotal = 40ull << 30;
        services.diskFreeToCaller = 1000ull << 20;
        services.diskFree = 2000ull << 20;  // the reserved part is not the user's
        const DiskSpace space = QueryDiskSpace(services);
        EXPECT_EQ(services.lastDiskFreeSpaceDirectory, c.queried.value_or(""));
        EXPECT_EQ(space.total, c.queried ? std::int64_t{40} << 30 : -1);
        EXPECT_EQ(space.freeToUser, c.queried ? std::int64_t{1000} << 20 : -1);
    }
    test::FakeSystemServices failing;
    failing.diskFreeSpaceError = ERROR_PATH_NOT_FOUND;
    const DiskSpace space = QueryDiskSpace(failing);
    EXPECT_EQ(space.total, -1);
    EXPECT_EQ(space.freeToUser, -1);
}

// Counts the file calls of a pass; without keepData the blocks are not
// stored, so a full pass costs no memory.
struct CountingServices : test::FakeSystemServices {
    bool keepData = true;
    std::uint64_t writes = 0, reads = 0, otherSizes = 0;
    std::uint64_t writesBeforeSeek = 0, readsBeforeSeek = 0;
    int seeks = 0, creates = 0;
    DWORD createDisposition = 0, createAccess = 0;
    std::optional<DWORD> seekError, closeError;

    HANDLE CreateFileA(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags) override {
        ++creates;
        createDisposition = disposition;
        createAccess = access;
        return FakeSystemServices::CreateFileA(path, access, share, disposition, flags);
    }
    BOOL WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written) override {
        ++writes;
        if (size != kThroughputBlockBytes) ++otherSizes;
        if (!keepData) return *written = size, TRUE;
        return FakeSystemServices::WriteFile(file, data, size, written);
    }
    DWORD SetFilePointer(HANDLE file, LONG distance, DWORD method) override {
        ++seeks;
        writesBeforeSeek = writes;
        readsBeforeSeek = reads;
        if (seekError) return lastError = *seekError, INVALID_SET_FILE_POINTER;
        return FakeSystemServices::SetFilePointer(file, distance, method);
    }
    BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) override {
        ++reads;
        if (size != kThroughputBlockBytes) ++otherSizes;
        if (!keepData) return *read = size, TRUE;
        return FakeSystemServices::ReadFile(file, buffer, size, read);
    }
    BOOL CloseHandle(HANDLE handle) override {
        const BOOL closed = FakeSystemServices::CloseHandle(handle);
        if (closeError) return lastError = *closeError, FALSE;
        return closed;
    }
};

const std::string kPath = "/tmp/AVITest.tmp";

TEST(ThroughputPassTest, OneCallPerBlockEachWayThenTheFileGoes) {
    CountingServices services;
    services.keepData = false;
    ASSERT_TRUE(RunThroughputPass(services, kPath));
    EXPECT_EQ(services.creates, 1);
    EXPECT_EQ(services.createDisposition, CREATE_NEW);
    EXPECT_EQ(services.createAccess, GENERIC_READ | GENERIC_WRITE);
    EXPECT_EQ(services.writes, 102301u);
    EXPECT_EQ(services.reads, 102301u);
    EXPECT_EQ(services.otherSizes, 0u) << "every call moves 1023 bytes";
    EXPECT_EQ(services.seeks, 1);
    EXPECT_EQ(services.writesBeforeSeek, 102301u);
    EXPECT_EQ(services.readsBeforeSeek, 0u);
    EXPECT_FALSE(services.files.contains(kPath));
    EXPECT_EQ(services.OpenFileCount(), 0u);
}

// A file at the name is another program's or the user's (the test deletes a
// leftover of its own before the first pass).
TEST(ThroughputPassTest, AFileAtTheNameIsLeftAsItWas) {
    CountingServices services;
    services.files[kPath].contents.assign(5000, 'x');
    EXPECT_FALSE(RunThroughputPass(services, kPath, 3));
    EXPECT_EQ(services.writes + services.reads, 0u);
    EXPECT_EQ(services.files[kPath].contents, std::vector<BYTE>(5000, 'x'));
}

TEST(ThroughputPassTest, AFileThatCannotBeCreatedEndsThePassQuietly) {
    CountingServices services;
    services.createFileError = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(RunThroughputPass(services, kPath, 4));
    EXPECT_EQ(services.writes, 0u);
    EXPECT_TRUE(services.files.empty());
}

TEST(ThroughputPassTest, InputOutputErrorsCloseAndDeleteTheFileBeforeTheyLeave) {
    struct Case {
        const char* name;
        std::function<void(CountingServices&)> fault;
        std::string message;
        int code;
    };
    const Case cases[] = {
        {"disk full part way", [](CountingServices& s) { s.diskFullAfterBytes = 5000; }, "Disk full", 101},
        {"disk full at once", [](CountingServices& s) { s.writeFileError = ERROR_DISK_FULL; }, "Disk full", 101},
        {"handle disk full", [](CountingServices& s) { s.writeFileError = ERROR_HANDLE_DISK_FULL; }, "Disk full", 101},
        {"write denied", [](CountingServices& s) { s.writeFileError = ERROR_ACCESS_DENIED; }, "I/O error 5", 5},
        {"seek fails", [](CountingServices& s) { s.seekError = ERROR_INVALID_HANDLE; }, "I/O error 6", 6},
        {"read fails", [](CountingServices& s) { s.readFileError = 1117; }, "I/O error 1117", 1117},
        {"short read", [](CountingServices& s) { s.shortReadBytes = 1000; }, "Read beyond end of file", 100},
        {"close fails", [](CountingServices& s) { s.closeError = 1117; }, "I/O error 1117", 1117},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CountingServices services;
        c.fault(services);
        try {
            RunThroughputPass(services, kPath, 8);
            ADD_FAILURE() << "no error";
        } catch (const EInOutError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
            EXPECT_EQ(e.ErrorCode(), c.code);
        }
        EXPECT_FALSE(services.files.contains(kPath)) << "the test file was left behind";
        EXPECT_EQ(services.OpenFileCount(), 0u);
    }
}

#if !defined(_WIN32)
// A small file system of its own is mounted on Linux only.
std::uint64_t FreeBytes(const std::string& folder) {
    struct statvfs fileSystem {};
    if (::statvfs(folder.c_str(), &fileSystem) != 0) return 0;
    return fileSystem.f_bavail * fileSystem.f_frsize;
}

TEST(ThroughputPassOnDiskTest, AFullDiskReadsDiskFullAndIsNotLeftFuller) {
    test::SmallFileSystem disk("size=256k,mode=0700");
    if (!disk.Ok()) GTEST_SKIP() << "mounting a small file system is not permitted here";
    const std::uint64_t freeBefore = FreeBytes(disk.Dir().Path());
    NativeSystemServices services;
    const std::string path = disk.Dir() / "AVITest.tmp";
    try {
        RunThroughputPass(services, path);
        ADD_FAILURE() << "a 256 KiB disk held 100 MB";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "Disk full");
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(FreeBytes(disk.Dir().Path()), freeBefore);
}

TEST(ThroughputPassOnDiskTest, AReadOnlyOrMissingFolderEndsThePassQuietly) {
    NativeSystemServices services;
    test::TempDir missing;
    EXPECT_FALSE(RunThroughputPass(services, missing / "gone/AVITest.tmp"));
    test::SmallFileSystem readOnly("size=64k", MS_RDONLY);
    if (!readOnly.Ok()) GTEST_SKIP() << "mounting a small file system is not permitted here";
    EXPECT_FALSE(RunThroughputPass(services, readOnly.Dir() / "AVITest.tmp"));
    EXPECT_EQ(services.GetLastError(), ERROR_WRITE_PROTECT);
}

#endif

// The system's own file services, with a hook run once when a pass turns
// from writing to reading back.
struct RealFileServices : test::FakeSystemServices {
    NativeSystemServices real;
    std::function<void()> atSeek;

    HANDLE CreateFileA(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags) override {
        return real.CreateFileA(path, access, share, disposition, flags);
    }
    BOOL WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written) override {
        return real.WriteFile(file, data, size, written);
    }
    DWORD SetFilePointer(HANDLE file, LONG distance, DWORD method) override {
        if (atSeek) std::exchange(atSeek, nullptr)();
        return real.SetFilePointer(file, distance, method);
    }
    BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) override { return real.ReadFile(file, buffer, size, read); }
    BOOL CloseHandle(HANDLE handle) override { return real.CloseHandle(handle); }
    DWORD GetFileAttributesA(const char* path) override { return real.GetFileAttributesA(path); }
    BOOL DeleteFileA(const char* path) override { return real.DeleteFileA(path); }
    DWORD GetLastError() override { return real.GetLastError(); }
};

// A second program runs a pass of its disk test in the same folder while a
// pass is between writing and reading back, at the start of its test (when
// it deletes a file at the name first) or later. It neither empties nor
// deletes the first pass's file, which reads back all it wrote: it measures
// on a file of its own where the first file has no name (Linux), or ends
// quietly where the name is held (Windows). Nothing is left.
TEST(ThroughputPassOnDiskTest, ASecondProgramMidPassKeepsToItsOwnFile) {
    for (const bool testBegins : {true, false}) {
        SCOPED_TRACE(testBegins ? "at the start of its test" : "later in its test");
        test::TempDir dir;
        ASSERT_TRUE(dir.Ok());
        const std::string path = dir / "AVITest.tmp";
        RealFileServices first;
        std::optional<bool> secondMeasured;
        first.atSeek = [&] {
            NativeSystemServices second;
            if (testBegins && second.GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
                second.DeleteFileA(path.c_str());
            }
            secondMeasured = RunThroughputPass(second, path, 3);
        };
        try {
            EXPECT_TRUE(RunThroughputPass(first, path, 500));
        } catch (const EInOutError& e) {
            ADD_FAILURE() << e.what();
        }
        ASSERT_TRUE(secondMeasured.has_value());
#if defined(_WIN32)
        EXPECT_FALSE(*secondMeasured);
#else
        EXPECT_TRUE(*secondMeasured);
#endif
        EXPECT_TRUE(std::filesystem::is_empty(dir.Path())) << "a file was left behind";
    }
}

TEST(ThroughputPassOnDiskTest, APlantedLinkIsNotFollowed) {
    test::TempDir dir;
    const std::string target = dir / "precious";
    std::ofstream(target) << "keep me";
    if (!test::MakeSymlink(target, dir / "AVITest.tmp")) GTEST_SKIP() << "symbolic links cannot be made here";
    NativeSystemServices services;
    EXPECT_FALSE(RunThroughputPass(services, dir / "AVITest.tmp", 4));
    std::ifstream in(target);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "keep me");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "AVITest.tmp"));
}

}  // namespace
}  // namespace vx
