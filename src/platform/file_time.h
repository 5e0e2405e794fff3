// The calendar's arithmetic of FILETIME values, shared by the services of
// every platform and the tests' fake machine.
#pragma once

#include <optional>

#include "platform/win_types.h"

namespace vx::win {

// 100-nanosecond intervals since 1601-01-01 00:00 UTC for a calendar date
// and time, or nothing when the date or time does not exist or lies outside
// the years 1601 to 30827. The day of the week is ignored.
std::optional<ULONGLONG> FileTimeFromSystemTime(const SYSTEMTIME& time);

}  // namespace vx::win
