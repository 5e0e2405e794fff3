// Starting the desktop's own maintenance tools on Linux.
#include "platform/posix/posix_system_services.h"

namespace vx::win {

HINSTANCE PosixSystemServices::ShellExecuteA(HWND /*window*/, const char* /*operation*/, const char* /*file*/,
                                             const char* /*parameters*/, const char* /*directory*/,
                                             int /*showCommand*/) {
    // Answered for real by the checks that call it.
    m_lastError = ERROR_CALL_NOT_IMPLEMENTED;
    return static_cast<HINSTANCE>(SE_ERR_NOASSOC);
}

}  // namespace vx::win
