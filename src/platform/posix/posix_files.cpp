// The temporary folder, the disk query and the test file's operations on
// Linux.
//
// The test file lives in a folder that other users can write, so opening it
// never follows a symbolic link at its name (O_NOFOLLOW), never blocks on a
// FIFO planted there, and accepts only a regular file that belongs to the
// effective user and has no other name; anything else is closed again and
// fails with ERROR_ACCESS_DENIED (ERROR_CANT_RESOLVE_FILENAME for a link).
// An existing file is emptied only after those checks, so a planted link
// cannot get another file truncated. Access is ordinary cached file I/O:
// no direct I/O, no mapping; each WriteFile or ReadFile is one system call
// unless the kernel moves fewer bytes than asked. Share modes are not
// modelled; the other flags than FILE_FLAG_DELETE_ON_CLOSE are hints and are
// ignored.
//
// FILE_FLAG_DELETE_ON_CLOSE (with CREATE_NEW only) removes the new file's
// name as soon as it is made: the file then lives exactly as long as its
// descriptor, so it goes with the program however the program ends, and a
// second program that makes a file of the same name meanwhile gets a file of
// its own.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/posix/posix_files.h"
#include "platform/posix/posix_system_services.h"

namespace vx::win {

namespace {

// Creating and opening may race with another program deleting or creating
// the same name; a few attempts settle it.
constexpr int kOpenAttempts = 4;

// The test file is private scratch space.
constexpr mode_t kNewFileMode = 0600;

int OpenOrCreate(const char* path, int flags, bool& existed) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        int descriptor = ::open(path, flags | O_CREAT | O_EXCL, kNewFileMode);
        if (descriptor >= 0) {
            existed = false;
            return descriptor;
        }
        if (errno != EEXIST) return -1;
        descriptor = ::open(path, flags);
        if (descriptor >= 0) {
            existed = true;
            return descriptor;
        }
        if (errno != ENOENT) return -1;
    }
    return -1;
}

// A regular file of our own with no other name than the `names` expected:
// the only kind the test file may be.
bool IsOwnPlainFile(int descriptor, nlink_t names) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
           status.st_nlink == names;
}

// Removes the name of the file just made behind the descriptor. A name that
// meanwhile went, or now belongs to another file (another program's, made
// after someone else removed ours), is left alone: only our own name goes.
bool RemoveOwnName(const char* path, int descriptor) {
    struct stat opened {};
    struct stat named {};
    if (::fstat(descriptor, &opened) != 0) return false;
    if (::lstat(path, &named) != 0) return errno == ENOENT;
    if (named.st_dev != opened.st_dev || named.st_ino != opened.st_ino) return true;
    return ::unlink(path) == 0 || errno == ENOENT;
}

}  // namespace

DWORD WindowsErrorFromErrno(int error) {
    switch (error) {
        case 0:
            return ERROR_SUCCESS;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case ELOOP:
            return ERROR_CANT_RESOLVE_FILENAME;
        case EEXIST:
            return ERROR_FILE_EXISTS;
        case EROFS:
            return ERROR_WRITE_PROTECT;
        case EBADF:
            return ERROR_INVALID_HANDLE;
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case EFBIG:
            return ERROR_FILE_TOO_LARGE;
        case EBUSY:
        case ETXTBSY:
            return ERROR_SHARING_VIOLATION;
        case EFAULT:
            return ERROR_NOACCESS;
        case EIO:
            return ERROR_IO_DEVICE;
        case ENOSYS:
        case EOPNOTSUPP:
            return ERROR_CALL_NOT_IMPLEMENTED;
        default:
            return ERROR_GEN_FAILURE;
    }
}

std::string TemporaryFolderFor(const char* tmpdir) {
    std::string folder = (tmpdir != nullptr && tmpdir[0] == '/') ? tmpdir : "/tmp";
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder.back() != '/') folder += '/';
    return folder;
}

// ---------------------------------------------------------------- FileHandleTable

FileHandleTable::~FileHandleTable() {
    for (const auto& [handle, descriptor] : m_descriptors) ::close(descriptor);
}

HANDLE FileHandleTable::Add(int descriptor) {
    m_nextHandle += 4;
    m_descriptors.emplace(m_nextHandle, descriptor);
    return static_cast<HANDLE>(m_nextHandle);
}

int FileHandleTable::Find(HANDLE handle) const {
    const auto found = m_descriptors.find(HandleValue(handle));
    return found == m_descriptors.end() ? -1 : found->second;
}

int FileHandleTable::Remove(HANDLE handle) {
    const auto found = m_descriptors.find(HandleValue(handle));
    if (found == m_descriptors.end()) return -1;
    const int descriptor = found->second;
    m_descriptors.erase(found);
    return descriptor;
}

// ---------------------------------------------------------------- The services

DWORD PosixSystemServices::GetTempPathA(DWORD bufferLength, char* buffer) {
    const std::string folder = TemporaryFolderFor(std::getenv("TMPDIR"));
    const auto needed = static_cast<DWORD>(folder.size() + 1);
    // A short buffer is left as it was: the caller learns the size it needs
    // and never sees a cut path.
    if (buffer == nullptr || bufferLength < needed) return needed;
    std::memcpy(buffer, folder.c_str(), needed);
    return needed - 1;
}

BOOL PosixSystemServices::GetDiskFreeSpaceExA(const char* directory, ULONGLONG* freeBytesAvailableToCaller,
                                              ULONGLONG* totalNumberOfBytes, ULONGLONG* totalNumberOfFreeBytes) {
    // Without drive letters only a path from the root names a file system.
    if (directory == nullptr || directory[0] != '/') return Fail(ERROR_PATH_NOT_FOUND);
    std::string path = directory;
    struct statvfs fileSystem {};
    while (::statvfs(path.c_str(), &fileSystem) != 0) {
        if ((errno != ENOENT && errno != ENOTDIR) || path == "/") return Fail(WindowsErrorFromErrno(errno));
        // A folder that does not exist (yet) would lie on the file system of
        // the nearest folder above it that does, as a drive's folders lie on
        // the drive.
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        const std::size_t cut = path.rfind('/');
        path.resize(cut == 0 ? 1 : cut);
    }
    const ULONGLONG unit = fileSystem.f_frsize != 0 ? fileSystem.f_frsize : fileSystem.f_bsize;
    // The user may use f_bavail blocks: the reserved ones are not theirs.
    if (freeBytesAvailableToCaller != nullptr) *freeBytesAvailableToCaller = fileSystem.f_bavail * unit;
    if (totalNumberOfBytes != nullptr) *totalNumberOfBytes = fileSystem.f_blocks * unit;
    if (totalNumberOfFreeBytes != nullptr) *totalNumberOfFreeBytes = fileSystem.f_bfree * unit;
    return TRUE;
}

HANDLE PosixSystemServices::CreateFileA(const char* path, DWORD access, DWORD /*shareMode*/, DWORD creationDisposition,
                                        DWORD flagsAndAttributes) {
    const auto fail = [this](DWORD error) {
        m_lastError = error;
        return INVALID_HANDLE_VALUE;
    };
    if (path == nullptr || path[0] == '\0') return fail(ERROR_PATH_NOT_FOUND);
    // An existing file would be taken away by closing it, refused or not.
    const bool deleteOnClose = (flagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) != 0;
    if (deleteOnClose && creationDisposition != CREATE_NEW) return fail(ERROR_INVALID_PARAMETER);
    const bool reading = (access & GENERIC_READ) != 0;
    const bool writing = (access & GENERIC_WRITE) != 0;
    const int accessMode = reading && writing ? O_RDWR : writing ? O_WRONLY : O_RDONLY;
    // O_NONBLOCK only for the opening: a FIFO at the name must not hang us.
    const int flags = accessMode | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

    bool existed = true;
    int descriptor = -1;
    switch (creationDisposition) {
        case CREATE_NEW:
            descriptor = ::open(path, flags | O_CREAT | O_EXCL, kNewFileMode);
            existed = false;
            break;
        case CREATE_ALWAYS:
        case OPEN_ALWAYS:
            descriptor = OpenOrCreate(path, flags, existed);
            break;
        case OPEN_EXISTING:
        case TRUNCATE_EXISTING:
            descriptor = ::open(path, flags);
            break;
        default:
            return fail(ERROR_INVALID_PARAMETER);
    }
    if (descriptor < 0) {
        const int error = errno;
        // A missing folder on the way, as the platform reports it.
        if (error == ENOENT && creationDisposition != OPEN_EXISTING && creationDisposition != TRUNCATE_EXISTING) {
            return fail(ERROR_PATH_NOT_FOUND);
        }
        return fail(WindowsErrorFromErrno(error));
    }
    if (deleteOnClose && !RemoveOwnName(path, descriptor)) {
        const int error = errno;
        ::close(descriptor);
        return fail(WindowsErrorFromErrno(error));
    }
    if (!IsOwnPlainFile(descriptor, deleteOnClose ? 0 : 1)) {
        ::close(descriptor);
        return fail(ERROR_ACCESS_DENIED);
    }
    const int statusFlags = ::fcntl(descriptor, F_GETFL);
    const bool emptying = existed && (creationDisposition == CREATE_ALWAYS || creationDisposition == TRUNCATE_EXISTING);
    if (statusFlags < 0 || ::fcntl(descriptor, F_SETFL, statusFlags & ~O_NONBLOCK) != 0 ||
        (emptying && ::ftruncate(descriptor, 0) != 0)) {
        const int error = errno;
        ::close(descriptor);
        return fail(WindowsErrorFromErrno(error));
    }
    const bool reportExisting = existed && (creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS);
    m_lastError = reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
    return m_files.Add(descriptor);
}

BOOL PosixSystemServices::WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written) {
    if (written != nullptr) *written = 0;
    const int descriptor = m_files.Find(file);
    if (descriptor < 0) return Fail(ERROR_INVALID_HANDLE);
    if (data == nullptr && size > 0) return Fail(ERROR_INVALID_PARAMETER);
    DWORD done = 0;
    while (done < size) {
        const ssize_t count = ::write(descriptor, static_cast<const char*>(data) + done, size - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            // A write that moves nothing on a regular file means no room.
            const DWORD error = count == 0 ? ERROR_DISK_FULL : WindowsErrorFromErrno(errno);
            if (written != nullptr) *written = done;
            return Fail(error);
        }
        done += static_cast<DWORD>(count);
    }
    if (written != nullptr) *written = done;
    return TRUE;
}

DWORD PosixSystemServices::SetFilePointer(HANDLE file, LONG distance, DWORD moveMethod) {
    const int descriptor = m_files.Find(file);
    if (descriptor < 0) {
        m_lastError = ERROR_INVALID_HANDLE;
        return INVALID_SET_FILE_POINTER;
    }
    off_t base = 0;
    if (moveMethod == FILE_CURRENT) {
        base = ::lseek(descriptor, 0, SEEK_CUR);
    } else if (moveMethod == FILE_END) {
        struct stat status {};
        base = ::fstat(descriptor, &status) == 0 ? status.st_size : -1;
    } else if (moveMethod != FILE_BEGIN) {
        m_lastError = ERROR_INVALID_PARAMETER;
        return INVALID_SET_FILE_POINTER;
    }
    if (base < 0) {
        m_lastError = WindowsErrorFromErrno(errno);
        return INVALID_SET_FILE_POINTER;
    }
    const std::int64_t target = static_cast<std::int64_t>(base) + distance;
    if (target < 0) {
        m_lastError = ERROR_NEGATIVE_SEEK;
        return INVALID_SET_FILE_POINTER;
    }
    // Without a high half the new position must fit the DWORD answer.
    if (target >= static_cast<std::int64_t>(INVALID_SET_FILE_POINTER)) {
        m_lastError = ERROR_INVALID_PARAMETER;
        return INVALID_SET_FILE_POINTER;
    }
    if (::lseek(descriptor, static_cast<off_t>(target), SEEK_SET) < 0) {
        m_lastError = WindowsErrorFromErrno(errno);
        return INVALID_SET_FILE_POINTER;
    }
    return static_cast<DWORD>(target);
}

BOOL PosixSystemServices::ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) {
    if (read != nullptr) *read = 0;
    const int descriptor = m_files.Find(file);
    if (descriptor < 0) return Fail(ERROR_INVALID_HANDLE);
    if (buffer == nullptr && size > 0) return Fail(ERROR_INVALID_PARAMETER);
    DWORD done = 0;
    while (done < size) {
        const ssize_t count = ::read(descriptor, static_cast<char*>(buffer) + done, size - done);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            if (read != nullptr) *read = done;
            return Fail(WindowsErrorFromErrno(errno));
        }
        if (count == 0) break;  // the end of the file
        done += static_cast<DWORD>(count);
    }
    if (read != nullptr) *read = done;
    return TRUE;
}

BOOL PosixSystemServices::CloseHandle(HANDLE handle) {
    const int descriptor = m_files.Remove(handle);
    if (descriptor < 0) return Fail(ERROR_INVALID_HANDLE);
    // On Linux the descriptor is gone even when close reports EINTR.
    if (::close(descriptor) != 0 && errno != EINTR) return Fail(WindowsErrorFromErrno(errno));
    return TRUE;
}

DWORD PosixSystemServices::GetFileAttributesA(const char* path) {
    if (path == nullptr || path[0] == '\0') {
        m_lastError = ERROR_PATH_NOT_FOUND;
        return INVALID_FILE_ATTRIBUTES;
    }
    // A symbolic link is reported as itself, as the platform reports links.
    struct stat status {};
    if (::lstat(path, &status) != 0) {
        m_lastError = WindowsErrorFromErrno(errno);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISLNK(status.st_mode)) return FILE_ATTRIBUTE_REPARSE_POINT;
    if (S_ISDIR(status.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    return (status.st_mode & S_IWUSR) == 0 ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
}

BOOL PosixSystemServices::DeleteFileA(const char* path) {
    if (path == nullptr || path[0] == '\0') return Fail(ERROR_PATH_NOT_FOUND);
    // unlink removes a symbolic link itself, never what it points to.
    if (::unlink(path) != 0) return Fail(WindowsErrorFromErrno(errno));
    return TRUE;
}

}  // namespace vx::win
