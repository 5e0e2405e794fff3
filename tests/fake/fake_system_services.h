// A scripted machine for tests: every answer the system services give comes
// from a public field that the test sets first. Failures are injected by
// setting an error field to a code other than ERROR_SUCCESS.
//
// Files live in an in-memory table keyed by the path exactly as the caller
// wrote it; share modes are not modelled. Registry keys are named by their
// full path ("HKEY_DYN_DATA\\PerfStats\\StatData"); a key exists when it or
// a key below it has values. Names compare exactly (case matters).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/system_services.h"

namespace vx::test {

struct ShellExecuteCall {
    win::HWND window;
    std::string operation;  // a null argument is recorded as ""
    std::string file;
    std::string parameters;
    std::string directory;
    int showCommand;
};

struct FakeRegistryValue {
    win::DWORD type = win::REG_BINARY;
    std::vector<win::BYTE> data;
};

struct FakeFile {
    std::vector<win::BYTE> contents;
    win::DWORD attributes = win::FILE_ATTRIBUTE_NORMAL;
};

class FakeSystemServices : public win::SystemServices {
public:
    // The registry key paths the program reads on the 9x family.
    static constexpr const char* kPerformanceDataKey = "HKEY_PERFORMANCE_DATA";
    static constexpr const char* kDynDataStartStatKey = "HKEY_DYN_DATA\\PerfStats\\StartStat";
    static constexpr const char* kDynDataStatDataKey = "HKEY_DYN_DATA\\PerfStats\\StatData";
    static constexpr const char* kDynDataStopStatKey = "HKEY_DYN_DATA\\PerfStats\\StopStat";
    static constexpr const char* kDynDataCpuUsageValue = "KERNEL\\CPUUsage";

    // ---- Version ----
    win::DWORD versionMajor = 5;
    win::DWORD versionMinor = 1;
    win::DWORD versionBuild = 2600;
    win::DWORD platformId = win::VER_PLATFORM_WIN32_NT;
    std::string csdVersion;
    bool failGetVersion = false;

    // ---- Time ----
    // GetLocalTime answers from localTimeReadings first, one per call, and
    // then from localTime.
    win::SYSTEMTIME localTime{2001, 1, 1, 1, 12, 0, 0, 0};  // Monday 2001-01-01 12:00
    std::deque<win::SYSTEMTIME> localTimeReadings;
    // GetTickCount and timeGetTime both read tickCount, then add tickStep
    // to it, so a loop that waits on the clock still ends.
    win::DWORD tickCount = 0;
    win::DWORD tickStep = 0;

    // ---- Memory, processors, names ----
    win::MEMORYSTATUS memoryStatus{0, 50, 512ull << 20, 256ull << 20, 1024ull << 20, 768ull << 20, 2048ull << 20, 2000ull << 20};
    win::SYSTEM_INFO systemInfo{win::PROCESSOR_ARCHITECTURE_INTEL, 0,     4096, 0x10000, 0x7FFEFFFF, 1, 1,
                                win::PROCESSOR_INTEL_PENTIUM,      65536, 6,    0x0801};
    std::string computerName = "TESTPC";
    win::DWORD computerNameError = win::ERROR_SUCCESS;
    std::string userName = "tester";
    win::DWORD userNameError = win::ERROR_SUCCESS;

    // ---- Display ----
    bool failGetDC = false;
    // The screen's colour table; empty for a screen without a palette.
    std::vector<win::PALETTEENTRY> systemPalette;
    std::map<int, int> deviceCaps{{win::HORZRES, 1024},  {win::VERTRES, 768},   {win::BITSPIXEL, 32}, {win::PLANES, 1},
                                  {win::LOGPIXELSX, 96}, {win::LOGPIXELSY, 96}, {win::VREFRESH, 60}};

    // ---- Registry ----
    // Values by key path, then by value name ("" is the default value).
    std::map<std::string, std::map<std::string, FakeRegistryValue>> registry;
    // Scripted results, one taken per call: ERROR_SUCCESS answers from the
    // registry as usual, any other code is returned without touching the
    // outputs. Once a queue is empty every call answers as usual.
    std::deque<win::LONG> registryOpenResults;
    std::deque<win::LONG> registryQueryResults;
    int registryQueryCount = 0;

    // ---- Temporary folder and disk ----
    std::string tempPath = "/tmp/";
    win::DWORD tempPathError = win::ERROR_SUCCESS;
    win::ULONGLONG diskFreeToCaller = 10ull << 30;
    win::ULONGLONG diskTotal = 40ull << 30;
    win::ULONGLONG diskFree = 10ull << 30;
    win::DWORD diskFreeSpaceError = win::ERROR_SUCCESS;
    std::string lastDiskFreeSpaceDirectory;

    // ---- Files ----
    std::map<std::string, FakeFile> files;
    // The folders, without a trailing separator: GetFileAttributesA reports
    // them as such, and CreateFileA makes new files only in them (or at the root).
    std::set<std::string> directories{"/tmp"};
    win::DWORD createFileError = win::ERROR_SUCCESS;
    win::DWORD writeFileError = win::ERROR_SUCCESS;
    win::DWORD readFileError = win::ERROR_SUCCESS;
    win::DWORD deleteFileError = win::ERROR_SUCCESS;
    // Once bytesWritten (all files together) reaches diskFullAfterBytes,
    // WriteFile writes what still fits and fails with diskFullError.
    std::optional<win::ULONGLONG> diskFullAfterBytes;
    win::DWORD diskFullError = win::ERROR_DISK_FULL;
    win::ULONGLONG bytesWritten = 0;
    // ReadFile returns at most this many bytes per call.
    std::optional<win::DWORD> shortReadBytes;

    // ---- Shell ----
    std::vector<ShellExecuteCall> shellExecuteCalls;
    win::HINSTANCE shellExecuteResult = static_cast<win::HINSTANCE>(42);

    win::DWORD lastError = win::ERROR_SUCCESS;

    // ---- Helpers ----
    void SetRegistryDword(const std::string& keyPath, const std::string& valueName, win::DWORD value);
    void SetRegistryBinary(const std::string& keyPath, const std::string& valueName, std::vector<win::BYTE> data);
    // The three 9x statistics keys, reporting the processor busy at percent.
    void SetDynDataCpuUsage(win::DWORD percent);
    // A file's contents as text, or "" when it does not exist.
    std::string FileText(const std::string& path) const;
    std::size_t OpenFileCount() const { return m_openFiles.size(); }
    std::size_t OpenRegistryKeyCount() const { return m_openKeys.size(); }
    std::size_t OpenDeviceContextCount() const { return m_openDeviceContexts.size(); }

    // ---- SystemServices ----
    win::BOOL GetVersionExA(win::OSVERSIONINFOA* info) override;
    void GetLocalTime(win::SYSTEMTIME* time) override;
    win::DWORD GetTickCount() override;
    win::DWORD timeGetTime() override;
    win::BOOL SystemTimeToFileTime(const win::SYSTEMTIME* systemTime, win::FILETIME* fileTime) override;

    void GlobalMemoryStatus(win::MEMORYSTATUS* status) override;
    void GetSystemInfo(win::SYSTEM_INFO* info) override;
    win::BOOL GetComputerNameA(char* buffer, win::DWORD* size) override;
    win::BOOL GetUserNameA(char* buffer, win::DWORD* size) override;

    win::HDC GetDC(win::HWND window) override;
    int GetDeviceCaps(win::HDC dc, int index) override;
    int ReleaseDC(win::HWND window, win::HDC dc) override;
    win::UINT GetSystemPaletteEntries(win::HDC dc, win::UINT start, win::UINT count, win::PALETTEENTRY* entries) override;

    win::LONG RegOpenKeyExA(win::HKEY key, const char* subKey, win::DWORD options, win::DWORD samDesired,
                            win::HKEY* result) override;
    win::LONG RegQueryValueExA(win::HKEY key, const char* valueName, win::DWORD* reserved, win::DWORD* type, win::BYTE* data,
                               win::DWORD* dataSize) override;
    win::LONG RegCloseKey(win::HKEY key) override;

    win::DWORD GetTempPathA(win::DWORD bufferLength, char* buffer) override;
    win::BOOL GetDiskFreeSpaceExA(const char* directory, win::ULONGLONG* freeBytesAvailableToCaller,
                                  win::ULONGLONG* totalNumberOfBytes, win::ULONGLONG* totalNumberOfFreeBytes) override;
    win::HANDLE CreateFileA(const char* path, win::DWORD access, win::DWORD shareMode, win::DWORD creationDisposition,
                            win::DWORD flagsAndAttributes) override;
    win::BOOL WriteFile(win::HANDLE file, const void* data, win::DWORD size, win::DWORD* written) override;
    win::DWORD SetFilePointer(win::HANDLE file, win::LONG distance, win::DWORD moveMethod) override;
    win::BOOL ReadFile(win::HANDLE file, void* buffer, win::DWORD size, win::DWORD* read) override;
    win::BOOL CloseHandle(win::HANDLE handle) override;
    win::DWORD GetFileAttributesA(const char* path) override;
    win::BOOL DeleteFileA(const char* path) override;
    win::DWORD GetLastError() override { return lastError; }

    win::HINSTANCE ShellExecuteA(win::HWND window, const char* operation, const char* file, const char* parameters,
                                 const char* directory, int showCommand) override;

private:
    struct OpenFile {
        std::string path;
        win::DWORD access;
        bool deleteOnClose;
        std::uint64_t position = 0;
    };

    win::BOOL Fail(win::DWORD error);
    std::uintptr_t NextHandle() { return m_nextHandle += 4; }
    std::optional<std::string> KeyPath(win::HKEY key) const;
    bool KeyExists(const std::string& path) const;
    // The open file and its table entry, or nothing (last error set) when
    // the handle is not open or its file was removed from the table.
    std::pair<OpenFile*, FakeFile*> FindFile(win::HANDLE handle);

    std::uintptr_t m_nextHandle = 0x1000;
    std::map<std::uintptr_t, OpenFile> m_openFiles;
    std::map<std::uintptr_t, std::string> m_openKeys;
    std::set<std::uintptr_t> m_openDeviceContexts;
};

}  // namespace vx::test
