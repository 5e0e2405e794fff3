// Helpers of the Linux file services: the open files behind their handles,
// the translation of errno values into the platform's error codes, and the
// temporary folder's rule.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/win_types.h"

namespace vx::win {

// Error codes and attributes that only the Linux file services answer with.
constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
constexpr DWORD ERROR_WRITE_PROTECT = 19;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr DWORD ERROR_FILE_TOO_LARGE = 223;
constexpr DWORD ERROR_NOACCESS = 998;
constexpr DWORD ERROR_IO_DEVICE = 1117;

// The platform's error code for an errno value:
//   ENOSPC, EDQUOT -> ERROR_DISK_FULL          ENOENT -> ERROR_FILE_NOT_FOUND
//   ENOTDIR -> ERROR_PATH_NOT_FOUND            EACCES, EPERM, EISDIR -> ERROR_ACCESS_DENIED
//   ELOOP -> ERROR_CANT_RESOLVE_FILENAME       EEXIST -> ERROR_FILE_EXISTS
//   EROFS -> ERROR_WRITE_PROTECT               EBADF -> ERROR_INVALID_HANDLE
//   EINVAL -> ERROR_INVALID_PARAMETER          ENOMEM -> ERROR_NOT_ENOUGH_MEMORY
//   EMFILE, ENFILE -> ERROR_TOO_MANY_OPEN_FILES ENAMETOOLONG -> ERROR_FILENAME_EXCED_RANGE
//   EFBIG -> ERROR_FILE_TOO_LARGE              EBUSY, ETXTBSY -> ERROR_SHARING_VIOLATION
//   EFAULT -> ERROR_NOACCESS                   EIO -> ERROR_IO_DEVICE
//   ENOSYS, EOPNOTSUPP -> ERROR_CALL_NOT_IMPLEMENTED
//   anything else -> ERROR_GEN_FAILURE
DWORD WindowsErrorFromErrno(int error);

// The temporary folder for a value of TMPDIR (null when unset): TMPDIR when
// it is an absolute path, else "/tmp", with exactly one closing separator.
std::string TemporaryFolderFor(const char* tmpdir);

// The open files of one services object: a handle for each descriptor. It
// owns the descriptors and closes those still open when it goes.
class FileHandleTable {
public:
    FileHandleTable() = default;
    FileHandleTable(const FileHandleTable&) = delete;
    FileHandleTable& operator=(const FileHandleTable&) = delete;
    ~FileHandleTable();

    HANDLE Add(int descriptor);
    // The descriptor behind a handle, or -1 when the handle is not open.
    int Find(HANDLE handle) const;
    // Forgets the handle and gives its descriptor back to be closed, or -1.
    int Remove(HANDLE handle);
    std::size_t Count() const { return m_descriptors.size(); }

private:
    std::map<std::uintptr_t, int> m_descriptors;
    // Handles are not reused, so a stale one cannot reach another file.
    std::uintptr_t m_nextHandle = 0x100;
};

}  // namespace vx::win
