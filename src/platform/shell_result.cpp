#include "platform/shell_result.h"

namespace vx::win {

DWORD LastErrorOfShellResult(std::uintptr_t result) {
    if (result > 32) return ERROR_SUCCESS;
    switch (result) {
        case 0:
        case SE_ERR_OOM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case SE_ERR_SHARE:
            return ERROR_SHARING_VIOLATION;
        case SE_ERR_ASSOCINCOMPLETE:
        case SE_ERR_NOASSOC:
            return ERROR_NO_ASSOCIATION;
        case SE_ERR_DDETIMEOUT:
        case SE_ERR_DDEFAIL:
        case SE_ERR_DDEBUSY:
            return ERROR_DDE_FAIL;
        case SE_ERR_DLLNOTFOUND:
            return ERROR_DLL_NOT_FOUND;
        default:
            // SE_ERR_FNF, SE_ERR_PNF and SE_ERR_ACCESSDENIED have their
            // errors' numbers, as has ERROR_BAD_FORMAT.
            return static_cast<DWORD>(result);
    }
}

}  // namespace vx::win
