// The checks the Windows services make on a file they have just opened for
// the disk test, before anything in it is changed: a file reached through a
// link or reparse point, a folder, a file with another name elsewhere, or
// one of another user's is refused, as on Linux.
#pragma once

#include <functional>
#include <optional>

#include "platform/win_types.h"

namespace vx::win {

// What the system says of the opened file and of the volume it lies on.
struct OpenedFileFacts {
    DWORD attributes = 0;
    DWORD links = 1;
    // GetVolumeInformation's file system flags; unset when the volume did
    // not say.
    std::optional<DWORD> volumeFlags;
};

// Why the file may not be used, or ERROR_SUCCESS. ownedByThisUser is asked
// only where the volume keeps owners (FILE_PERSISTENT_ACLS): on FAT and
// exFAT no file has an owner that could pass, and refusing them all would
// leave the throughput row unscored on such a disk. A volume that did not
// say keeps the check.
DWORD TestFileRefusal(const OpenedFileFacts& facts, const std::function<bool()>& ownedByThisUser);

}  // namespace vx::win
