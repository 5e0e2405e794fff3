// Why ShellExecuteA did not start a tool, as the error code its callers read
// from GetLastError. Its answer is the only reason it gives: it leaves the
// thread's last error as an earlier call may have left it, and the answer's
// old codes are not all error numbers (SE_ERR_NOASSOC, 31, is
// ERROR_GEN_FAILURE's number).
#pragma once

#include <cstdint>

#include "platform/win_types.h"

namespace vx::win {

// ERROR_SUCCESS for a started tool (an answer above 32); for 0, the system
// out of memory; for an SE_ERR_ code, the error it stands for; any other
// answer up to 32 is an error code already.
DWORD LastErrorOfShellResult(std::uintptr_t result);

}  // namespace vx::win
