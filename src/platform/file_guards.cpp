#include "platform/file_guards.h"

namespace vx::win {

DWORD TestFileRefusal(const OpenedFileFacts& facts, const std::function<bool()>& ownedByThisUser) {
    if ((facts.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return ERROR_CANT_RESOLVE_FILENAME;
    if ((facts.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return ERROR_ACCESS_DENIED;
    if (facts.links != 1) return ERROR_ACCESS_DENIED;
    const bool volumeKeepsOwners = !facts.volumeFlags || (*facts.volumeFlags & FILE_PERSISTENT_ACLS) != 0;
    if (volumeKeepsOwners && !ownedByThisUser()) return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

}  // namespace vx::win
