// The system services on the real Win32 calls. The program's records and
// constants are declared in namespace vx::win under the platform's names, so
// the system's own come after them and are named with "::" here; the
// system's constants are macros with the same values as the program's.
//
// Sections: Version and time; Memory, processors, names; Display; Registry; Files and disks; Shell.
#include "platform/win32/win32_system_services.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>

#include "platform/file_guards.h"
#include "platform/file_time.h"
#include "platform/program_view.h"
#include "platform/shell_result.h"

namespace vx::win {
namespace {
// The program's handle value, taken before the system's macro of the same
// name exists.
constexpr HANDLE kInvalidHandle = INVALID_HANDLE_VALUE;
}  // namespace
}  // namespace vx::win

#include <windows.h>

#include <aclapi.h>
#include <mmsystem.h>
#include <shellapi.h>

namespace vx::win {

namespace {

::HANDLE System(HANDLE handle) { return reinterpret_cast<::HANDLE>(static_cast<std::uintptr_t>(handle)); }
::HKEY System(HKEY key) { return reinterpret_cast<::HKEY>(static_cast<std::uintptr_t>(key)); }
::HWND System(HWND window) { return reinterpret_cast<::HWND>(static_cast<std::uintptr_t>(window)); }
::HDC System(HDC dc) { return reinterpret_cast<::HDC>(static_cast<std::uintptr_t>(dc)); }
HANDLE Ours(::HANDLE handle) { return static_cast<HANDLE>(reinterpret_cast<std::uintptr_t>(handle)); }
HKEY Ours(::HKEY key) { return static_cast<HKEY>(reinterpret_cast<std::uintptr_t>(key)); }
HDC Ours(::HDC dc) { return static_cast<HDC>(reinterpret_cast<std::uintptr_t>(dc)); }

SYSTEMTIME Ours(const ::SYSTEMTIME& t) {
    return SYSTEMTIME{t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

ULONGLONG Ours(const ::ULARGE_INTEGER& value) { return value.QuadPart; }

struct LocalFreeDeleter {
    void operator()(void* memory) const { ::LocalFree(memory); }
};
struct HandleCloser {
    void operator()(::HANDLE handle) const { ::CloseHandle(handle); }
};

// The token's SID of the given kind (TokenUser or TokenOwner), kept in buffer.
PSID TokenSid(::HANDLE token, TOKEN_INFORMATION_CLASS kind, std::unique_ptr<BYTE[]>& buffer) {
    ::DWORD size = 0;
    ::GetTokenInformation(token, kind, nullptr, 0, &size);
    if (size == 0) return nullptr;
    buffer = std::make_unique<BYTE[]>(size);
    if (!::GetTokenInformation(token, kind, buffer.get(), size, &size)) return nullptr;
    return kind == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid
                             : reinterpret_cast<TOKEN_OWNER*>(buffer.get())->Owner;
}

// Whether the open file is this user's: its owner is the user, or the owner
// the user's new files get (the Administrators group for an elevated one).
bool OwnedByThisUser(::HANDLE file) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR rawDescriptor = nullptr;
    if (::GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr, &rawDescriptor) !=
        ERROR_SUCCESS) {
        return false;
    }
    const std::unique_ptr<void, LocalFreeDeleter> descriptor(rawDescriptor);
    ::HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken)) return false;
    const std::unique_ptr<void, HandleCloser> token(rawToken);
    std::unique_ptr<BYTE[]> userBuffer;
    std::unique_ptr<BYTE[]> ownerBuffer;
    const PSID user = TokenSid(rawToken, TokenUser, userBuffer);
    const PSID defaultOwner = TokenSid(rawToken, TokenOwner, ownerBuffer);
    return owner != nullptr &&
           ((user != nullptr && ::EqualSid(owner, user)) || (defaultOwner != nullptr && ::EqualSid(owner, defaultOwner)));
}

// The file system flags of the volume that holds the open file.
std::optional<DWORD> VolumeFlagsOf(::HANDLE file) {
    ::DWORD flags = 0;
    if (!::GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) return std::nullopt;
    return flags;
}

// Why an open file may not be used as the test file, or ERROR_SUCCESS.
DWORD RefusalOf(::HANDLE file) {
    // A device or pipe at the name is not asked anything more.
    if (::GetFileType(file) != FILE_TYPE_DISK) return ERROR_ACCESS_DENIED;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file, &information)) return ::GetLastError();
    const OpenedFileFacts facts{information.dwFileAttributes, information.nNumberOfLinks, VolumeFlagsOf(file)};
    return TestFileRefusal(facts, [file] { return OwnedByThisUser(file); });
}

}  // namespace

Win32SystemServices::~Win32SystemServices() {
    for (const std::uintptr_t file : m_files) ::CloseHandle(System(static_cast<HANDLE>(file)));
}

BOOL Win32SystemServices::Fail(DWORD error) {
    m_lastError = error;
    return FALSE;
}

BOOL Win32SystemServices::FailWithSystemError() {
    const ::DWORD error = ::GetLastError();
    // A failure that left no reason still fails.
    return Fail(error == ERROR_SUCCESS ? static_cast<DWORD>(ERROR_GEN_FAILURE) : static_cast<DWORD>(error));
}

DWORD Win32SystemServices::GetLastError() { return m_lastError; }

// ---------------------------------------------------------------- Version and time

BOOL Win32SystemServices::GetVersionExA(OSVERSIONINFOA* info) {
    if (info == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return Fail(ERROR_INSUFFICIENT_BUFFER);
    ::OSVERSIONINFOA system{};
    system.dwOSVersionInfoSize = sizeof system;
    // Without a compatibility manifest Windows 8.1 and later report 6.2;
    // the operating system row scores what the system says.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExA(&system)) return FailWithSystemError();
#pragma GCC diagnostic pop
    info->dwMajorVersion = system.dwMajorVersion;
    info->dwMinorVersion = system.dwMinorVersion;
    info->dwBuildNumber = system.dwBuildNumber;
    info->dwPlatformId = system.dwPlatformId;
    static_assert(sizeof info->szCSDVersion == sizeof system.szCSDVersion);
    std::memcpy(info->szCSDVersion, system.szCSDVersion, sizeof info->szCSDVersion);
    info->szCSDVersion[sizeof info->szCSDVersion - 1] = '\0';
    m_lastError = ERROR_SUCCESS;
    return TRUE;
}

void Win32SystemServices::GetLocalTime(SYSTEMTIME* time) {
    if (time == nullptr) return;
    ::SYSTEMTIME now{};
    ::GetLocalTime(&now);
    *time = Ours(now);
}

DWORD Win32SystemServices::GetTickCount() { return ::GetTickCount(); }

DWORD Win32SystemServices::timeGetTime() { return ::timeGetTime(); }

BOOL Win32SystemServices::SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime) {
    if (systemTime == nullptr || fileTime == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    // Dates that do not exist are refused by the calendar's own rules first:
    // not every system does (Wine takes 29 February 1900 and the year 30828).
    if (!FileTimeFromSystemTime(*systemTime)) return Fail(ERROR_INVALID_PARAMETER);
    const ::SYSTEMTIME system{systemTime->wYear, systemTime->wMonth,  systemTime->wDayOfWeek, systemTime->wDay,
                              systemTime->wHour, systemTime->wMinute, systemTime->wSecond,    systemTime->wMilliseconds};
    ::FILETIME converted{};
    if (!::SystemTimeToFileTime(&system, &converted)) return FailWithSystemError();
    fileTime->dwLowDateTime = converted.dwLowDateTime;
    fileTime->dwHighDateTime = converted.dwHighDateTime;
    return TRUE;
}

// ---------------------------------------------------------------- Memory, processors, names

void Win32SystemServices::GlobalMemoryStatus(MEMORYSTATUS* status) {
    if (status == nullptr) return;
    MemoryCounts memory;
#if defined(_WIN64)
    // A 64-bit process is told the machine's memory in full.
    MEMORYSTATUSEX system{};
    system.dwLength = sizeof system;
    if (::GlobalMemoryStatusEx(&system)) {
        memory = {system.dwMemoryLoad,     system.ullTotalPhys,    system.ullAvailPhys,   system.ullTotalPageFile,
                  system.ullAvailPageFile, system.ullTotalVirtual, system.ullAvailVirtual};
    }
#else
    // The 32-bit program's own call, with the limits the system sets it.
    ::MEMORYSTATUS system{};
    system.dwLength = sizeof system;
    ::GlobalMemoryStatus(&system);
    memory = {system.dwMemoryLoad,    system.dwTotalPhys,    system.dwAvailPhys,   system.dwTotalPageFile,
              system.dwAvailPageFile, system.dwTotalVirtual, system.dwAvailVirtual};
#endif
    *status = AsThirtyTwoBitProgramSees(memory);
}

void Win32SystemServices::GetSystemInfo(SYSTEM_INFO* info) {
    if (info == nullptr) return;
    ::SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    SYSTEM_INFO answer{};
    answer.wProcessorArchitecture = system.wProcessorArchitecture;
    answer.wReserved = system.wReserved;
    answer.dwPageSize = system.dwPageSize;
    answer.lpMinimumApplicationAddress = reinterpret_cast<std::uintptr_t>(system.lpMinimumApplicationAddress);
    answer.lpMaximumApplicationAddress = reinterpret_cast<std::uintptr_t>(system.lpMaximumApplicationAddress);
    answer.dwActiveProcessorMask = system.dwActiveProcessorMask;
    answer.dwNumberOfProcessors = system.dwNumberOfProcessors;
    answer.dwProcessorType = system.dwProcessorType;
    answer.dwAllocationGranularity = system.dwAllocationGranularity;
    answer.wProcessorLevel = system.wProcessorLevel;
    answer.wProcessorRevision = system.wProcessorRevision;
    *info = AsThirtyTwoBitProgramSees(answer);
}

BOOL Win32SystemServices::GetComputerNameA(char* buffer, DWORD* size) {
    if (size == nullptr || (buffer == nullptr && *size > 0)) return Fail(ERROR_INVALID_PARAMETER);
    ::DWORD systemSize = *size;
    char none = '\0';
    const BOOL ok = ::GetComputerNameA(buffer ? buffer : &none, &systemSize);
    *size = systemSize;
    if (!ok) return FailWithSystemError();
    m_lastError = ERROR_SUCCESS;
    return TRUE;
}

BOOL Win32SystemServices::GetUserNameA(char* buffer, DWORD* size) {
    if (size == nullptr || (buffer == nullptr && *size > 0)) return Fail(ERROR_INVALID_PARAMETER);
    ::DWORD systemSize = *size;
    char none = '\0';
    const BOOL ok = ::GetUserNameA(buffer ? buffer : &none, &systemSize);
    *size = systemSize;
    if (!ok) return FailWithSystemError();
    m_lastError = ERROR_SUCCESS;
    return TRUE;
}

// ---------------------------------------------------------------- Display

HDC Win32SystemServices::GetDC(HWND window) {
    const ::HDC dc = ::GetDC(System(window));
    if (dc == nullptr) {
        m_lastError = ERROR_INVALID_HANDLE;
        return HDC{};
    }
    return Ours(dc);
}

int Win32SystemServices::GetDeviceCaps(HDC dc, int index) {
    if (dc == HDC{}) return 0;
    return ::GetDeviceCaps(System(dc), index);
}

int Win32SystemServices::ReleaseDC(HWND window, HDC dc) {
    if (dc == HDC{}) return 0;
    return ::ReleaseDC(System(window), System(dc));
}

UINT Win32SystemServices::GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY* entries) {
    if (dc == HDC{}) return 0;
    static_assert(sizeof(::PALETTEENTRY) == sizeof(PALETTEENTRY) && offsetof(::PALETTEENTRY, peFlags) == 3);
    return ::GetSystemPaletteEntries(System(dc), start, count, reinterpret_cast<::PALETTEENTRY*>(entries));
}

// ---------------------------------------------------------------- Registry

LONG Win32SystemServices::RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, DWORD samDesired, HKEY* result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = HKEY{};
    ::HKEY opened = nullptr;
    const LONG status = ::RegOpenKeyExA(System(key), subKey, options, samDesired, &opened);
    if (status == ERROR_SUCCESS) *result = Ours(opened);
    return status;
}

LONG Win32SystemServices::RegQueryValueExA(HKEY key, const char* valueName, DWORD* /*reserved*/, DWORD* type, BYTE* data,
                                           DWORD* dataSize) {
    if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
    ::DWORD systemType = 0;
    ::DWORD systemSize = dataSize ? *dataSize : 0;
    const LONG status =
        ::RegQueryValueExA(System(key), valueName, nullptr, type ? &systemType : nullptr, data, dataSize ? &systemSize : nullptr);
    if (type != nullptr) *type = systemType;
    if (dataSize != nullptr) *dataSize = systemSize;
    return status;
}

LONG Win32SystemServices::RegCloseKey(HKEY key) { return ::RegCloseKey(System(key)); }

// ---------------------------------------------------------------- Files and disks

DWORD Win32SystemServices::GetTempPathA(DWORD bufferLength, char* buffer) {
    if (buffer == nullptr && bufferLength > 0) {
        m_lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    char none = '\0';
    const DWORD length = ::GetTempPathA(buffer ? bufferLength : 0, buffer ? buffer : &none);
    if (length == 0) FailWithSystemError();
    return length;
}

BOOL Win32SystemServices::GetDiskFreeSpaceExA(const char* directory, ULONGLONG* freeBytesAvailableToCaller,
                                              ULONGLONG* totalNumberOfBytes, ULONGLONG* totalNumberOfFreeBytes) {
    if (directory == nullptr) return Fail(ERROR_PATH_NOT_FOUND);
    ::ULARGE_INTEGER available{}, total{}, free{};
    if (!::GetDiskFreeSpaceExA(directory, &available, &total, &free)) return FailWithSystemError();
    if (freeBytesAvailableToCaller) *freeBytesAvailableToCaller = Ours(available);
    if (totalNumberOfBytes) *totalNumberOfBytes = Ours(total);
    if (totalNumberOfFreeBytes) *totalNumberOfFreeBytes = Ours(free);
    m_lastError = ERROR_SUCCESS;
    return TRUE;
}

HANDLE Win32SystemServices::CreateFileA(const char* path, DWORD access, DWORD shareMode, DWORD creationDisposition,
                                        DWORD flagsAndAttributes) {
    const auto fail = [this](DWORD error) {
        m_lastError = error;
        return kInvalidHandle;
    };
    if (path == nullptr || path[0] == '\0') return fail(ERROR_PATH_NOT_FOUND);
    // Only a file made by this call is the system's to delete on closing:
    // an existing one would go with its handle even when it is refused.
    const bool deleteOnClose = (flagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) != 0;
    if (deleteOnClose && creationDisposition != CREATE_NEW) return fail(ERROR_INVALID_PARAMETER);
    // An existing file is emptied only once it is known to be ours, so the
    // system opens it as it is and SetEndOfFile empties it afterwards.
    ::DWORD opening = creationDisposition;
    bool emptying = false;
    switch (creationDisposition) {
        case CREATE_NEW:
        case OPEN_EXISTING:
        case OPEN_ALWAYS:
            break;
        case CREATE_ALWAYS:
            opening = OPEN_ALWAYS;
            emptying = true;
            break;
        case TRUNCATE_EXISTING:
            opening = OPEN_EXISTING;
            emptying = true;
            break;
        default:
            return fail(ERROR_INVALID_PARAMETER);
    }
    // A link or junction at the name is opened itself, never followed.
    const ::DWORD flags = flagsAndAttributes | FILE_FLAG_OPEN_REPARSE_POINT;
    // Deleting on close needs the right to delete: asked for here rather
    // than left to the system's CreateFileA to add.
    const ::DWORD systemAccess = access | (deleteOnClose ? DELETE : 0);
    const ::HANDLE file = ::CreateFileA(path, systemAccess, shareMode, nullptr, opening, flags, nullptr);
    if (Ours(file) == kInvalidHandle) {
        FailWithSystemError();
        return kInvalidHandle;
    }
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS || opening == OPEN_EXISTING;
    const DWORD refusal = RefusalOf(file);
    if (refusal != ERROR_SUCCESS) {
        // A file made just now is the program's, whatever was done to it
        // since (a second name, a volume without owners): nothing of it stays
        // behind. Only its name in this folder goes; a link is never followed.
        // Closing deletes a file opened to be deleted on close; deleting it
        // by name afterwards could reach another program's new file.
        const bool made = !existed && ::GetFileType(file) == FILE_TYPE_DISK;
        ::CloseHandle(file);
        if (made && !deleteOnClose) ::DeleteFileA(path);
        return fail(refusal);
    }
    if (emptying && existed && (::SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0 || !::SetEndOfFile(file))) {
        const ::DWORD error = ::GetLastError();
        ::CloseHandle(file);
        return fail(error == ERROR_SUCCESS ? static_cast<DWORD>(ERROR_GEN_FAILURE) : static_cast<DWORD>(error));
    }
    const bool reportExisting = existed && (creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS);
    m_lastError = reportExisting ? static_cast<DWORD>(ERROR_ALREADY_EXISTS) : static_cast<DWORD>(ERROR_SUCCESS);
    const HANDLE ours = Ours(file);
    m_files.insert(static_cast<std::uintptr_t>(ours));
    return ours;
}

BOOL Win32SystemServices::WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written) {
    if (written != nullptr) *written = 0;
    if (!OwnsFile(file)) return Fail(ERROR_INVALID_HANDLE);
    if (data == nullptr && size > 0) return Fail(ERROR_INVALID_PARAMETER);
    DWORD done = 0;
    while (done < size) {
        ::DWORD count = 0;
        const BOOL ok = ::WriteFile(System(file), static_cast<const char*>(data) + done, size - done, &count, nullptr);
        done += count;
        if (!ok || count == 0) {
            if (written != nullptr) *written = done;
            // A write that moves nothing on a disk file means no room.
            return ok ? Fail(ERROR_DISK_FULL) : FailWithSystemError();
        }
    }
    if (written != nullptr) *written = done;
    m_lastError = ERROR_SUCCESS;
    return TRUE;
}

DWORD Win32SystemServices::SetFilePointer(HANDLE file, LONG distance, DWORD moveMethod) {
    if (!OwnsFile(file)) {
        m_lastError = ERROR_INVALID_HANDLE;
        return INVALID_SET_FILE_POINTER;
    }
    if (moveMethod != FILE_BEGIN && moveMethod != FILE_CURRENT && moveMethod != FILE_END) {
        m_lastError = ERROR_INVALID_PARAMETER;
        return INVALID_SET_FILE_POINTER;
    }
    // Asked with a high half, so that a position of 4 GiB or more is refused
    // rather than read as the failure value.
    ::LARGE_INTEGER move{};
    move.QuadPart = distance;
    ::LARGE_INTEGER position{};
    if (!::SetFilePointerEx(System(file), move, &position, moveMethod)) {
        FailWithSystemError();
        return INVALID_SET_FILE_POINTER;
    }
    if (position.QuadPart >= static_cast<LONGLONG>(INVALID_SET_FILE_POINTER)) {
        m_lastError = ERROR_INVALID_PARAMETER;
        return INVALID_SET_FILE_POINTER;
    }
    m_lastError = ERROR_SUCCESS;
    return static_cast<DWORD>(position.QuadPart);
}

BOOL Win32SystemServices::ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) {
    if (read != nullptr) *read = 0;
    if (!OwnsFile(file)) return Fail(ERROR_INVALID_HANDLE);
    if (buffer == nullptr && size > 0) return Fail(ERROR_INVALID_PARAMETER);
    ::DWORD count = 0;
    const BOOL ok = ::ReadFile(System(file), buffer, size, &count, nullptr);
    if (read != nullptr) *read = count;
    if (!ok) return FailWithSystemError();
    m_lastError = ERROR_SUCCESS;
    return TRUE;
}

BOOL Win32SystemServices::CloseHandle(HANDLE handle) {
    if (m_files.erase(static_cast<std::uintptr_t>(handle)) == 0) return Fail(ERROR_INVALID_HANDLE);
    if (!::CloseHandle(System(handle))) return FailWithSystemError();
    return TRUE;
}

DWORD Win32SystemServices::GetFileAttributesA(const char* path) {
    if (path == nullptr) {
        m_lastError = ERROR_PATH_NOT_FOUND;
        return INVALID_FILE_ATTRIBUTES;
    }
    const ::DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) FailWithSystemError();
    return attributes;
}

BOOL Win32SystemServices::DeleteFileA(const char* path) {
    if (path == nullptr) return Fail(ERROR_PATH_NOT_FOUND);
    if (!::DeleteFileA(path)) return FailWithSystemError();
    m_lastError = ERROR_SUCCESS;
    return TRUE;
}

// ---------------------------------------------------------------- Shell

HINSTANCE Win32SystemServices::ShellExecuteA(HWND window, const char* operation, const char* file, const char* parameters,
                                             const char* directory, int showCommand) {
    if (file == nullptr) {
        m_lastError = ERROR_FILE_NOT_FOUND;
        return static_cast<HINSTANCE>(std::uintptr_t{SE_ERR_FNF});
    }
    // The system's own tools, started as the user would from the Run box; the
    // window owns the system's prompts (elevation, "open with"), which then
    // come to the front.
    const ::HINSTANCE result = ::ShellExecuteA(System(window), operation, file, parameters,
                                               directory && directory[0] ? directory : nullptr, showCommand);
    const std::uintptr_t answer = reinterpret_cast<std::uintptr_t>(result);
    m_lastError = LastErrorOfShellResult(answer);
    return static_cast<HINSTANCE>(answer);
}

}  // namespace vx::win
