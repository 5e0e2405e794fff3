// The calendar's FILETIME arithmetic, and on Windows the system's own
// conversion through the services, which must agree with it.
#include "platform/file_time.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#if defined(_WIN32)
#include "platform/win32/win32_system_services.h"
#endif

namespace vx::win {
namespace {

std::string Describe(const SYSTEMTIME& time) {
    return std::to_string(time.wYear) + "-" + std::to_string(time.wMonth) + "-" + std::to_string(time.wDay) + " " +
           std::to_string(time.wHour) + ":" + std::to_string(time.wMinute) + ":" + std::to_string(time.wSecond) + "." +
           std::to_string(time.wMilliseconds);
}

// What the platform's SystemTimeToFileTime answers for the date, where it
// can be asked; otherwise the calendar's own answer.
std::optional<ULONGLONG> SystemAnswer(const SYSTEMTIME& time) {
#if defined(_WIN32)
    Win32SystemServices services;
    FILETIME fileTime{};
    if (!services.SystemTimeToFileTime(&time, &fileTime)) return std::nullopt;
    return (static_cast<ULONGLONG>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
#else
    return FileTimeFromSystemTime(time);
#endif
}

TEST(FileTimeFromSystemTimeTest, CountsHundredNanosecondsSince1601) {
    struct Case {
        SYSTEMTIME time;
        ULONGLONG expected;
    };
    const Case cases[] = {
        {{1601, 1, 0, 1, 0, 0, 0, 0}, 0},
        {{1601, 1, 0, 1, 0, 0, 0, 1}, 10'000},
        {{1970, 1, 0, 1, 0, 0, 0, 0}, 116444736000000000ull},
        // 1900 is not a leap year, so March follows 28 February.
        {{1900, 3, 0, 1, 0, 0, 0, 0}, 94405824000000000ull},
        // 2000 is; the day of the week is ignored, even when nonsense.
        {{2000, 2, 6, 29, 12, 34, 56, 789}, 125963012967890000ull},
        {{2000, 2, 77, 29, 12, 34, 56, 789}, 125963012967890000ull},
        // The last instant the platform accepts still fits in 63 bits.
        {{30827, 12, 0, 31, 23, 59, 59, 999}, 9223149887999990000ull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Describe(c.time));
        EXPECT_EQ(FileTimeFromSystemTime(c.time), c.expected);
        EXPECT_EQ(SystemAnswer(c.time), c.expected);
    }
}

TEST(FileTimeFromSystemTimeTest, RejectsDatesAndTimesThatDoNotExist) {
    const SYSTEMTIME cases[] = {
        {2001, 0, 0, 1, 0, 0, 0, 0},    {2001, 13, 0, 1, 0, 0, 0, 0},  {2001, 257, 0, 1, 0, 0, 0, 0},
        {2001, 1, 0, 0, 0, 0, 0, 0},    {2001, 1, 0, 32, 0, 0, 0, 0},  {2001, 1, 0, 257, 0, 0, 0, 0},
        {2001, 4, 0, 31, 0, 0, 0, 0},   {2001, 2, 0, 29, 0, 0, 0, 0},  {1900, 2, 0, 29, 0, 0, 0, 0},
        {2001, 1, 0, 1, 24, 0, 0, 0},   {2001, 1, 0, 1, 0, 60, 0, 0},  {2001, 1, 0, 1, 0, 0, 60, 0},
        {2001, 1, 0, 1, 0, 0, 0, 1000}, {1600, 12, 0, 31, 0, 0, 0, 0}, {30828, 1, 0, 1, 0, 0, 0, 0},
        {0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const SYSTEMTIME& time : cases) {
        SCOPED_TRACE(Describe(time));
        EXPECT_FALSE(FileTimeFromSystemTime(time).has_value());
        EXPECT_FALSE(SystemAnswer(time).has_value());
    }
}

}  // namespace
}  // namespace vx::win
