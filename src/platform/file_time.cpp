#include "platform/file_time.h"

#include <chrono>

namespace vx::win {

namespace {

constexpr ULONGLONG kFileTimeUnitsPerSecond = 10'000'000;
constexpr ULONGLONG kFileTimeUnitsPerMillisecond = 10'000;

// The platform's SYSTEMTIME limits: FILETIME values past 30827 no longer
// fit the signed 64-bit range it converts through.
constexpr WORD kFirstYear = 1601;
constexpr WORD kLastYear = 30827;

}  // namespace

std::optional<ULONGLONG> FileTimeFromSystemTime(const SYSTEMTIME& time) {
    using namespace std::chrono;
    // std::chrono::month and day keep only 8 bits, so the ranges are checked
    // before they could wrap a 257 into a valid 1.
    if (time.wYear < kFirstYear || time.wYear > kLastYear || time.wMonth < 1 || time.wMonth > 12 || time.wDay < 1 ||
        time.wDay > 31 || time.wHour > 23 || time.wMinute > 59 || time.wSecond > 59 || time.wMilliseconds > 999) {
        return std::nullopt;
    }
    const year_month_day date{year{time.wYear}, month{time.wMonth}, day{time.wDay}};
    if (!date.ok()) {
        return std::nullopt;
    }
    constexpr sys_days epoch = year{kFirstYear} / January / 1;
    const auto days = static_cast<ULONGLONG>((sys_days{date} - epoch).count());
    const ULONGLONG seconds = days * 86'400u + time.wHour * 3'600u + time.wMinute * 60u + time.wSecond;
    return seconds * kFileTimeUnitsPerSecond + time.wMilliseconds * kFileTimeUnitsPerMillisecond;
}

}  // namespace vx::win
