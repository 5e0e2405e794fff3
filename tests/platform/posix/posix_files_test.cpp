// The Linux file services on real files: the temporary folder's rule, the
// disk query, and a test file that cannot be turned against its user.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "checks/test_env.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_system_services.h"

namespace vx::win {
namespace {

std::string Content(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

HANDLE Create(PosixSystemServices& services, const std::string& path, DWORD disposition = CREATE_ALWAYS, DWORD flags = 0) {
    return services.CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, disposition,
                                FILE_ATTRIBUTE_NORMAL | flags);
}

TEST(PosixErrorCodeTest, ErrnoValuesAsThePlatformReportsThem) {
    struct Case {
        int error;
        DWORD code;
    };
    for (const Case& c :
         {Case{0, ERROR_SUCCESS}, Case{ENOSPC, ERROR_DISK_FULL}, Case{EDQUOT, ERROR_DISK_FULL},
          Case{ENOENT, ERROR_FILE_NOT_FOUND}, Case{ENOTDIR, ERROR_PATH_NOT_FOUND}, Case{EACCES, ERROR_ACCESS_DENIED},
          Case{EPERM, ERROR_ACCESS_DENIED}, Case{ELOOP, ERROR_CANT_RESOLVE_FILENAME}, Case{EROFS, ERROR_WRITE_PROTECT},
          Case{EIO, ERROR_IO_DEVICE}, Case{EXDEV, ERROR_GEN_FAILURE}}) {
        SCOPED_TRACE(std::strerror(c.error));
        EXPECT_EQ(WindowsErrorFromErrno(c.error), c.code);
    }
}

TEST(PosixTempPathTest, TmpdirWhenAbsoluteElseTmpWithOneClosingSeparator) {
    struct Case {
        const char* tmpdir;
        const char* folder;
    };
    for (const Case& c : {Case{nullptr, "/tmp/"}, Case{"", "/tmp/"}, Case{"relative/tmp", "/tmp/"}, Case{"~/tmp", "/tmp/"},
                          Case{"/var/tmp", "/var/tmp/"}, Case{"/var/tmp///", "/var/tmp/"}, Case{"/", "/"}}) {
        SCOPED_TRACE(c.tmpdir == nullptr ? "unset" : c.tmpdir);
        EXPECT_EQ(TemporaryFolderFor(c.tmpdir), c.folder);
        test::ScopedEnv tmpdir("TMPDIR", c.tmpdir);
        PosixSystemServices services;
        char buffer[256];
        const DWORD length = services.GetTempPathA(sizeof buffer, buffer);
        EXPECT_EQ(std::string(buffer, length), c.folder);
        EXPECT_EQ(buffer[length], '\0');
    }
}

TEST(PosixTempPathTest, AShortBufferLearnsTheSizeNeededAndStaysUntouched) {
    const std::string longFolder = "/" + std::string(300, 'x');
    test::ScopedEnv tmpdir("TMPDIR", longFolder.c_str());
    PosixSystemServices services;
    char buffer[255];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(services.GetTempPathA(sizeof buffer, buffer), longFolder.size() + 2) << "the separator and the zero";
    EXPECT_TRUE(std::all_of(std::begin(buffer), std::end(buffer), [](char c) { return c == '#'; }));
    EXPECT_EQ(services.GetTempPathA(0, nullptr), longFolder.size() + 2);
}

TEST(PosixDiskSpaceTest, TheFileSystemThatHoldsTheFolder) {
    test::TempDir dir;
    PosixSystemServices services;
    ULONGLONG available = 0, total = 0, free = 0;
    ASSERT_TRUE(services.GetDiskFreeSpaceExA(dir.Folder().c_str(), &available, &total, &free));
    struct statvfs fileSystem {};
    ASSERT_EQ(::statvfs(dir.Path().c_str(), &fileSystem), 0);
    EXPECT_EQ(total, static_cast<ULONGLONG>(fileSystem.f_blocks) * fileSystem.f_frsize);
    EXPECT_LE(available, free) << "the reserved blocks are not the user's";

    // A folder that does not exist yet is answered for the one above it.
    ULONGLONG totalBelow = 0;
    EXPECT_TRUE(services.GetDiskFreeSpaceExA((dir / "not/yet/there/").c_str(), nullptr, &totalBelow, nullptr));
    EXPECT_EQ(totalBelow, total);

    for (const char* relative : {"tmp/", "", "C:\\"}) {
        SCOPED_TRACE(relative);
        EXPECT_FALSE(services.GetDiskFreeSpaceExA(relative, &available, &total, &free));
        EXPECT_EQ(services.GetLastError(), ERROR_PATH_NOT_FOUND);
    }
    EXPECT_FALSE(services.GetDiskFreeSpaceExA(nullptr, &available, &total, &free));
}

TEST(PosixDiskSpaceTest, ExactCountsOnASmallDisk) {
    test::SmallFileSystem disk("size=256k");
    if (!disk.Ok()) GTEST_SKIP() << "mounting a small file system is not permitted here";
    std::ofstream(disk.Dir() / "data") << std::string(64 * 1024, 'd');
    PosixSystemServices services;
    ULONGLONG available = 0, total = 0;
    ASSERT_TRUE(services.GetDiskFreeSpaceExA(disk.Dir().Folder().c_str(), &available, &total, nullptr));
    EXPECT_EQ(total, 256u * 1024);
    EXPECT_EQ(available, 192u * 1024);
}

// What another user could plant at the test file's name in a shared folder.
TEST(PosixTestFileTest, NeverFollowsALinkNorOpensAFileNotItsOwn) {
    struct Case {
        const char* name;
        std::function<bool(const test::TempDir&)> plant;  // false: cannot be set up here
        DWORD error;
    };
    const auto precious = [](const test::TempDir& dir) { std::ofstream(dir / "precious") << "keep me"; };
    const Case cases[] = {
        {"link to our own file",
         [&](const test::TempDir& dir) {
             precious(dir);
             return ::symlink((dir / "precious").c_str(), (dir / "AVITest.tmp").c_str()) == 0;
         },
         ERROR_CANT_RESOLVE_FILENAME},
        {"link to nowhere",
         [](const test::TempDir& dir) { return ::symlink((dir / "precious").c_str(), (dir / "AVITest.tmp").c_str()) == 0; },
         ERROR_CANT_RESOLVE_FILENAME},
        {"second name of our own file",
         [&](const test::TempDir& dir) {
             precious(dir);
             return ::link((dir / "precious").c_str(), (dir / "AVITest.tmp").c_str()) == 0;
         },
         ERROR_ACCESS_DENIED},
        {"FIFO", [](const test::TempDir& dir) { return ::mkfifo((dir / "AVITest.tmp").c_str(), 0600) == 0; },
         ERROR_ACCESS_DENIED},
        {"folder", [](const test::TempDir& dir) { return ::mkdir((dir / "AVITest.tmp").c_str(), 0700) == 0; },
         ERROR_ACCESS_DENIED},
        {"another user's file",
         [&](const test::TempDir& dir) {
             std::ofstream(dir / "AVITest.tmp") << "keep me";
             return ::chown((dir / "AVITest.tmp").c_str(), 65534, 65534) == 0 && ::geteuid() != 65534;
         },
         ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        if (!c.plant(dir)) {
            std::printf("[ SKIPPED  ] %s cannot be set up here\n", c.name);
            continue;
        }
        PosixSystemServices services;
        for (DWORD disposition : {CREATE_ALWAYS, OPEN_ALWAYS, OPEN_EXISTING, TRUNCATE_EXISTING}) {
            EXPECT_EQ(Create(services, dir / "AVITest.tmp", disposition), INVALID_HANDLE_VALUE) << disposition;
            EXPECT_EQ(services.GetLastError(), c.error) << disposition;
        }
        if (std::filesystem::exists(dir / "precious")) {
            EXPECT_EQ(Content(dir / "precious"), "keep me");
        }
        if (std::filesystem::is_regular_file(dir / "AVITest.tmp")) {
            EXPECT_EQ(Content(dir / "AVITest.tmp"), "keep me");
        }
    }
}

// Beyond the contract every services class keeps (create_file_contract_test.cpp):
// the test file is private to its user, and one deleted on close has no name
// from the start, so it goes with its descriptor however the program ends.
TEST(PosixTestFileTest, PrivateAndNamelessWhenDeletedOnClose) {
    test::TempDir dir;
    PosixSystemServices services;
    const std::string path = dir / "AVITest.tmp";
    HANDLE file = Create(services, path);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(services.GetFileAttributesA(path.c_str()), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(services.CloseHandle(file));
    EXPECT_TRUE(services.DeleteFileA(path.c_str()));

    file = Create(services, path, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(services.GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(services.CloseHandle(file));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(PosixTestFileTest, ALinkIsReportedAndDeletedAsItself) {
    test::TempDir dir;
    std::ofstream(dir / "precious") << "keep me";
    ASSERT_EQ(::symlink((dir / "precious").c_str(), (dir / "AVITest.tmp").c_str()), 0);
    PosixSystemServices services;
    EXPECT_EQ(services.GetFileAttributesA((dir / "AVITest.tmp").c_str()), FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_TRUE(services.DeleteFileA((dir / "AVITest.tmp").c_str()));
    EXPECT_EQ(Content(dir / "precious"), "keep me");
}

std::size_t OpenDescriptorCount() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

TEST(PosixTestFileTest, FilesLeftOpenAreClosedWithTheServices) {
    test::TempDir dir;
    const std::size_t before = OpenDescriptorCount();
    {
        PosixSystemServices services;
        ASSERT_NE(Create(services, dir / "one"), INVALID_HANDLE_VALUE);
        ASSERT_NE(Create(services, dir / "two"), INVALID_HANDLE_VALUE);
        EXPECT_EQ(OpenDescriptorCount(), before + 2);
    }
    EXPECT_EQ(OpenDescriptorCount(), before);
}

}  // namespace
}  // namespace vx::win
