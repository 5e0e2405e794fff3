// The system services on Linux: the platform's answers computed from the
// kernel and the C library.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/system_services.h"

namespace vx::win {

// The version numbers at the front of a kernel release string
// ("6.18.44-cloud-amd64" gives 6, 18, 44). Parsing stops at the first number
// that is missing or too large for a DWORD; what was not read stays 0, so a
// release that does not start with a number gives 0.0.0.
struct KernelRelease {
    DWORD major = 0;
    DWORD minor = 0;
    DWORD build = 0;
};
KernelRelease ParseKernelRelease(std::string_view release);

// 100-nanosecond intervals since 1601-01-01 00:00 UTC for a calendar date
// and time, or nothing when the date or time does not exist or lies outside
// the years 1601 to 30827. The day of the week is ignored.
std::optional<ULONGLONG> FileTimeFromSystemTime(const SYSTEMTIME& time);

// The tick count the platform reports for a 64-bit millisecond count: the
// low 32 bits, so it wraps to 0 after 2^32 - 1.
constexpr DWORD TickCountFromMilliseconds(std::uint64_t milliseconds) {
    return static_cast<DWORD>(milliseconds);
}

class PosixSystemServices final : public SystemServices {
public:
    BOOL GetVersionExA(OSVERSIONINFOA* info) override;
    void GetLocalTime(SYSTEMTIME* time) override;
    DWORD GetTickCount() override;
    DWORD timeGetTime() override;
    BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime) override;

    void GlobalMemoryStatus(MEMORYSTATUS* status) override;
    void GetSystemInfo(SYSTEM_INFO* info) override;
    BOOL GetComputerNameA(char* buffer, DWORD* size) override;
    BOOL GetUserNameA(char* buffer, DWORD* size) override;

    HDC GetDC(HWND window) override;
    int GetDeviceCaps(HDC dc, int index) override;
    int ReleaseDC(HWND window, HDC dc) override;

    LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, DWORD samDesired, HKEY* result) override;
    LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                          DWORD* dataSize) override;
    LONG RegCloseKey(HKEY key) override;

    DWORD GetTempPathA(DWORD bufferLength, char* buffer) override;
    BOOL GetDiskFreeSpaceExA(const char* directory, ULONGLONG* freeBytesAvailableToCaller,
                             ULONGLONG* totalNumberOfBytes, ULONGLONG* totalNumberOfFreeBytes) override;
    HANDLE CreateFileA(const char* path, DWORD access, DWORD shareMode, DWORD creationDisposition,
                       DWORD flagsAndAttributes) override;
    BOOL WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written) override;
    DWORD SetFilePointer(HANDLE file, LONG distance, DWORD moveMethod) override;
    BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) override;
    BOOL CloseHandle(HANDLE handle) override;
    DWORD GetFileAttributesA(const char* path) override;
    BOOL DeleteFileA(const char* path) override;
    DWORD GetLastError() override;

    HINSTANCE ShellExecuteA(HWND window, const char* operation, const char* file, const char* parameters,
                            const char* directory, int showCommand) override;

private:
    // Sets the last error and answers FALSE.
    BOOL Fail(DWORD error);

    // Atomic so that a stray call from another thread is not a data race;
    // the value is still per object, as documented on SystemServices.
    std::atomic<DWORD> m_lastError{ERROR_SUCCESS};
};

}  // namespace vx::win
