// The system services on Windows: the platform's own calls, answered in the
// 32-bit program's records, by the 32-bit and the 64-bit build alike
// (platform/program_view.h). The test file is opened with the same
// guarantees as on Linux: never through a link or reparse point, only a
// plain file with no other name, this user's where its volume keeps owners
// (platform/file_guards.h), emptied only after those checks; a file made by
// the opening that fails them is deleted again.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <set>

#include "platform/screen_facts.h"
#include "platform/system_services.h"

namespace vx::win {

class Win32SystemServices final : public SystemServices {
public:
    Win32SystemServices() = default;
    Win32SystemServices(const Win32SystemServices&) = delete;
    Win32SystemServices& operator=(const Win32SystemServices&) = delete;
    // Closes the files still open through this object.
    ~Win32SystemServices() override;

    // The screen answers GetDC itself here; kept so that the program's start
    // reads the same on every platform.
    void SetDisplayFacts(std::function<ScreenFacts()> /*source*/) {}

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
    UINT GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY* entries) override;

    LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, DWORD samDesired, HKEY* result) override;
    LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) override;
    LONG RegCloseKey(HKEY key) override;

    DWORD GetTempPathA(DWORD bufferLength, char* buffer) override;
    BOOL GetDiskFreeSpaceExA(const char* directory, ULONGLONG* freeBytesAvailableToCaller, ULONGLONG* totalNumberOfBytes,
                             ULONGLONG* totalNumberOfFreeBytes) override;
    HANDLE CreateFileA(const char* path, DWORD access, DWORD shareMode, DWORD creationDisposition,
                       DWORD flagsAndAttributes) override;
    BOOL WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written) override;
    DWORD SetFilePointer(HANDLE file, LONG distance, DWORD moveMethod) override;
    BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) override;
    BOOL CloseHandle(HANDLE handle) override;
    DWORD GetFileAttributesA(const char* path) override;
    BOOL DeleteFileA(const char* path) override;
    DWORD GetLastError() override;

    HINSTANCE ShellExecuteA(HWND window, const char* operation, const char* file, const char* parameters, const char* directory,
                            int showCommand) override;

private:
    // Sets the last error and answers FALSE.
    BOOL Fail(DWORD error);
    // Takes the thread's last error as this object's and answers FALSE.
    BOOL FailWithSystemError();
    bool OwnsFile(HANDLE file) const { return m_files.count(static_cast<std::uintptr_t>(file)) != 0; }

    std::atomic<DWORD> m_lastError{ERROR_SUCCESS};
    // The files CreateFileA opened and CloseHandle has not closed yet: no
    // other handle of the process is written, read or closed through here.
    std::set<std::uintptr_t> m_files;
};

}  // namespace vx::win
