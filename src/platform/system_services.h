// Every operating-system service the program calls, under the platform's
// names and with its records, so the checks read as they were written and
// tests can stand a fake in for the machine.
//
// Failures are reported the platform's way: BOOL functions return FALSE and
// leave the reason for GetLastError(); registry functions return the error
// code itself. The last error belongs to the services object, not to the
// thread, so each thread that needs it should use its own object. No call
// crashes on a null or undersized argument: it fails instead.
#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"

namespace vx::win {

class SystemServices {
public:
    virtual ~SystemServices() = default;

    // ---- Version and time ----

    // TRUE and the record filled when dwOSVersionInfoSize is sizeof(OSVERSIONINFOA); else FALSE, record untouched.
    virtual BOOL GetVersionExA(OSVERSIONINFOA* info) = 0;
    // Local wall-clock date and time to the millisecond, wDayOfWeek 0 = Sunday.
    virtual void GetLocalTime(SYSTEMTIME* time) = 0;
    // Milliseconds since the system started, wrapping at 2^32 (about 49.7 days).
    virtual DWORD GetTickCount() = 0;
    // The same clock as GetTickCount, for timing; callers compare values by unsigned difference.
    virtual DWORD timeGetTime() = 0;
    // FALSE for a date or time that does not exist; the day of the week is ignored.
    virtual BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime) = 0;

    // ---- Memory, processors, names ----

    // Always fills the record; dwLength is set to sizeof(MEMORYSTATUS), byte counts as the 32-bit program is told them.
    virtual void GlobalMemoryStatus(MEMORYSTATUS* status) = 0;
    // Always fills the record; a count that cannot be learnt is 0.
    virtual void GetSystemInfo(SYSTEM_INFO* info) = 0;
    // *size in: buffer chars; out: chars copied without the zero, or on ERROR_BUFFER_OVERFLOW the chars needed with it.
    virtual BOOL GetComputerNameA(char* buffer, DWORD* size) = 0;
    // *size in: buffer chars; out: chars copied with the zero, or on ERROR_INSUFFICIENT_BUFFER the chars needed.
    virtual BOOL GetUserNameA(char* buffer, DWORD* size) = 0;

    // ---- Display ----

    // HDC{} when no display can be reached; a non-null DC must go back through ReleaseDC.
    virtual HDC GetDC(HWND window) = 0;
    // The value for a HORZRES/BITSPIXEL/... index; 0 for an unknown index or DC.
    virtual int GetDeviceCaps(HDC dc, int index) = 0;
    // 1 when the DC was released, 0 when it was not one of ours.
    virtual int ReleaseDC(HWND window, HDC dc) = 0;
    // The screen's colour table, count entries from start on, into entries:
    // the number copied (fewer at the table's end), or with entries null the
    // table's size. 0 for a DC that is not the screen's, and on the
    // platform also for a screen of more than 8 bits per pixel, which has
    // no palette (Wine still writes its fixed colours into entries then).
    virtual UINT GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY* entries) = 0;

    // ---- Registry ----

    // ERROR_SUCCESS and *result a key to close with RegCloseKey; otherwise an error code and *result HKEY{}.
    virtual LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, DWORD samDesired, HKEY* result) = 0;
    // ERROR_MORE_DATA when *dataSize is too small; under HKEY_PERFORMANCE_DATA *dataSize then means nothing.
    virtual LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) = 0;
    // ERROR_SUCCESS for a key that was open; predefined keys may be closed too.
    virtual LONG RegCloseKey(HKEY key) = 0;

    // ---- Files and disks ----

    // Chars copied without the zero, ending in the separator; when the buffer is short, the size needed with it; 0 on failure.
    virtual DWORD GetTempPathA(DWORD bufferLength, char* buffer) = 0;
    // Any of the three outputs may be null; FALSE when the directory's volume cannot be queried.
    virtual BOOL GetDiskFreeSpaceExA(const char* directory, ULONGLONG* freeBytesAvailableToCaller, ULONGLONG* totalNumberOfBytes,
                                     ULONGLONG* totalNumberOfFreeBytes) = 0;
    // INVALID_HANDLE_VALUE on failure; success after CREATE_ALWAYS/OPEN_ALWAYS on an existing file sets ERROR_ALREADY_EXISTS.
    // FILE_FLAG_DELETE_ON_CLOSE goes with CREATE_NEW only (else ERROR_INVALID_PARAMETER): the file made is gone
    // once its handle closes or the process ends, however it ends, and once made no other CreateFileA reaches it.
    virtual HANDLE CreateFileA(const char* path, DWORD access, DWORD shareMode, DWORD creationDisposition,
                               DWORD flagsAndAttributes) = 0;
    // *written is the bytes that reached the file even when FALSE (e.g. ERROR_DISK_FULL part way).
    virtual BOOL WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written) = 0;
    // The new position's low 32 bits, or INVALID_SET_FILE_POINTER with the last error set.
    virtual DWORD SetFilePointer(HANDLE file, LONG distance, DWORD moveMethod) = 0;
    // TRUE with *read 0 at the end of the file; *read may be short of size before that too.
    virtual BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) = 0;
    // FALSE for a handle that is not open; the handle is invalid afterwards either way.
    virtual BOOL CloseHandle(HANDLE handle) = 0;
    // INVALID_FILE_ATTRIBUTES when the path does not exist or cannot be reached.
    virtual DWORD GetFileAttributesA(const char* path) = 0;
    // FALSE when the file is missing, in use or protected.
    virtual BOOL DeleteFileA(const char* path) = 0;
    // The reason the last failing call on this object gave.
    virtual DWORD GetLastError() = 0;

    // ---- Shell ----

    // A value above 32 when the document or program was started; 32 or below is an SE_ERR_ code.
    virtual HINSTANCE ShellExecuteA(HWND window, const char* operation, const char* file, const char* parameters,
                                    const char* directory, int showCommand) = 0;
    // The programs ShellExecuteA looks for to open the file with these
    // parameters, in the order it tries them: on the platform itself the
    // file, elsewhere the stand-ins it maps the file to. For telling the
    // user what is missing.
    virtual std::vector<std::string> ProgramsLookedFor(const char* file, const char* /*parameters*/) {
        return {file != nullptr ? file : ""};
    }
};

}  // namespace vx::win
