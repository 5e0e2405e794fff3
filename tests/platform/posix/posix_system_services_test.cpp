#include "platform/posix/posix_system_services.h"

#include <sys/utsname.h>

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>

namespace vx::win {
namespace {

TEST(ParseKernelReleaseTest, ReadsTheLeadingVersionNumbers) {
    struct Case {
        const char* release;
        DWORD major;
        DWORD minor;
        DWORD build;
    };
    const Case cases[] = {
        {"6.18.44-cloud-amd64", 6, 18, 44},
        {"5.4", 5, 4, 0},
        {"5.15.0-91-generic", 5, 15, 0},
        {"6.8-rc3", 6, 8, 0},
        {"4", 4, 0, 0},
        {"6.", 6, 0, 0},
        {"6..1", 6, 0, 0},
        {"3.10.0.1160.el7", 3, 10, 0},
        {"", 0, 0, 0},
        {"garbage", 0, 0, 0},
        {"-6.1", 0, 0, 0},
        {"+6.1", 0, 0, 0},
        {" 6.1", 0, 0, 0},
        {"99999999999.1.2", 0, 0, 0},
        {"6.99999999999.2", 6, 0, 0},
        {"4294967295.0.1", 4294967295u, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.release);
        const KernelRelease release = ParseKernelRelease(c.release);
        EXPECT_EQ(release.major, c.major);
        EXPECT_EQ(release.minor, c.minor);
        EXPECT_EQ(release.build, c.build);
    }
}

TEST(PosixSystemServicesTest, SystemTimeToFileTimeSplitsTheValueAndFailsCleanly) {
    PosixSystemServices services;
    const SYSTEMTIME unixEpoch{1970, 1, 4, 1, 0, 0, 0, 0};
    FILETIME fileTime{0xAAAAAAAA, 0xAAAAAAAA};
    ASSERT_EQ(services.SystemTimeToFileTime(&unixEpoch, &fileTime), TRUE);
    EXPECT_EQ(fileTime.dwHighDateTime, 0x019DB1DEu);
    EXPECT_EQ(fileTime.dwLowDateTime, 0xD53E8000u);

    const SYSTEMTIME invalid{2001, 13, 0, 1, 0, 0, 0, 0};
    FILETIME untouched{1, 2};
    EXPECT_EQ(services.SystemTimeToFileTime(&invalid, &untouched), FALSE);
    EXPECT_EQ(untouched.dwLowDateTime, 1u);
    EXPECT_EQ(untouched.dwHighDateTime, 2u);
    EXPECT_EQ(services.GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(services.SystemTimeToFileTime(nullptr, &fileTime), FALSE);
    EXPECT_EQ(services.SystemTimeToFileTime(&unixEpoch, nullptr), FALSE);
}

TEST(PosixSystemServicesTest, GetVersionExAReportsTheRunningKernelAsNt) {
    utsname names{};
    ASSERT_EQ(uname(&names), 0);
    const KernelRelease expected = ParseKernelRelease(names.release);

    PosixSystemServices services;
    OSVERSIONINFOA info{};
    std::memset(info.szCSDVersion, 'x', sizeof info.szCSDVersion);
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_EQ(services.GetVersionExA(&info), TRUE);
    EXPECT_EQ(info.dwOSVersionInfoSize, 148u);
    EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_EQ(info.dwMajorVersion, expected.major);
    EXPECT_EQ(info.dwMinorVersion, expected.minor);
    EXPECT_EQ(info.dwBuildNumber, expected.build);
    EXPECT_EQ(info.szCSDVersion[0], '\0');
}

TEST(PosixSystemServicesTest, GetVersionExARefusesAWrongRecordSize) {
    PosixSystemServices services;
    for (const DWORD size : {0u, 147u, 149u, 156u}) {
        SCOPED_TRACE(size);
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = size;
        info.dwMajorVersion = 77;
        info.dwPlatformId = 99;
        EXPECT_EQ(services.GetVersionExA(&info), FALSE);
        EXPECT_EQ(info.dwMajorVersion, 77u);
        EXPECT_EQ(info.dwPlatformId, 99u);
        EXPECT_EQ(info.dwOSVersionInfoSize, size);
    }
    EXPECT_EQ(services.GetVersionExA(nullptr), FALSE);
}

ULONGLONG NaiveLocalFileTime(std::time_t seconds) {
    std::tm local{};
    localtime_r(&seconds, &local);
    const SYSTEMTIME time{static_cast<WORD>(local.tm_year + 1900),
                          static_cast<WORD>(local.tm_mon + 1),
                          0,
                          static_cast<WORD>(local.tm_mday),
                          static_cast<WORD>(local.tm_hour),
                          static_cast<WORD>(local.tm_min),
                          static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec),
                          0};
    return FileTimeFromSystemTime(time).value_or(0);
}

TEST(PosixSystemServicesTest, GetLocalTimeIsTheLocalWallClock) {
    PosixSystemServices services;
    const std::time_t before = std::time(nullptr);
    SYSTEMTIME now{};
    services.GetLocalTime(&now);
    const std::time_t after = std::time(nullptr);

    // Compared as instants so that a reading taken across midnight still
    // matches; the bracket is the two readings of the C library's clock.
    const std::optional<ULONGLONG> reading = FileTimeFromSystemTime(now);
    ASSERT_TRUE(reading.has_value());
    constexpr ULONGLONG kSecond = 10'000'000;
    EXPECT_GE(*reading + kSecond, NaiveLocalFileTime(before));
    EXPECT_LE(*reading, NaiveLocalFileTime(after) + kSecond);

    std::tm local{};
    const std::time_t nowSeconds = std::time(nullptr);
    localtime_r(&nowSeconds, &local);
    // Sunday is 0 in both; only a reading across midnight could differ by one.
    const int dayDifference = (local.tm_wday - now.wDayOfWeek + 7) % 7;
    EXPECT_LE(dayDifference, 1);
    EXPECT_LE(now.wMilliseconds, 999);

    services.GetLocalTime(nullptr);
}

TEST(PosixSystemServicesTest, TickCountsAgreeAndWrapByTruncation) {
    struct Case {
        std::uint64_t milliseconds;
        DWORD expected;
    };
    const Case cases[] = {
        {0, 0}, {0xFFFFFFFFull, 0xFFFFFFFFu}, {0x100000000ull, 0}, {0x100000005ull, 5}, {0xFFFFFFFF00000007ull, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.milliseconds);
        EXPECT_EQ(TickCountFromMilliseconds(c.milliseconds), c.expected);
    }

    PosixSystemServices services;
    const DWORD ticks = services.GetTickCount();
    const DWORD mediaTime = services.timeGetTime();
    // Unsigned difference, as callers compare them, so a wrap between the
    // two readings does not matter.
    EXPECT_LT(static_cast<DWORD>(mediaTime - ticks), 1000u);
}

}  // namespace
}  // namespace vx::win
