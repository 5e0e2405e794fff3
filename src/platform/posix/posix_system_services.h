// The system services on Linux: the platform's answers computed from the
// kernel and the C library.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/file_time.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_perf_data.h"
#include "platform/posix/posix_shell.h"
#include "platform/program_view.h"
#include "platform/screen_facts.h"
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

// The tick count the platform reports for a 64-bit millisecond count: the
// low 32 bits, so it wraps to 0 after 2^32 - 1.
constexpr DWORD TickCountFromMilliseconds(std::uint64_t milliseconds) { return static_cast<DWORD>(milliseconds); }

// Reads a file of the kernel's /proc into buffer, which keeps its storage
// and only grows, and answers the text read, or nothing when the file cannot
// be read. Such files report no size, so they are read until their end.
std::optional<std::string_view> ReadProcText(const char* path, std::vector<char>& buffer);

// The byte count of a "Name:   123 kB" line of /proc/meminfo or
// /proc/PID/status; nothing when the line is missing or malformed.
std::optional<ULONGLONG> ProcFieldBytes(std::string_view text, std::string_view name);

// The memory status for the text of /proc/meminfo and the process's address
// space (its size and the part of it in use, in bytes).
//  - dwMemoryLoad: the share of physical memory not available, in percent,
//    rounded to the nearest whole percent (halves up).
//  - physical: MemTotal and MemAvailable. Kernels older than 3.14 lack
//    MemAvailable; MemFree + Buffers + Cached stands in for it there.
//  - page file: the platform counts its commit limit here, that is memory
//    plus paging files, so this is MemTotal + SwapTotal and
//    MemAvailable + SwapFree.
//  - virtual: the process's address space and what of it is not mapped.
// A text without MemTotal gives zeros.
MemoryCounts MemoryCountsFromMeminfo(std::string_view meminfo, ULONGLONG addressSpace, ULONGLONG addressSpaceInUse);

// The processor's family and model as the platform reports them.
struct ProcessorIdentity {
    WORD level = 0;     // the family, e.g. 6 or 25; 0 when /proc/cpuinfo does not say
    WORD revision = 0;  // model in the high byte, stepping in the low one
};
// From the first processor of /proc/cpuinfo's text.
ProcessorIdentity ProcessorFromCpuinfo(std::string_view cpuinfo);

// The system palette that GetSystemPaletteEntries gives here, whatever the
// screen's depth: the platform's twenty fixed colours, ten at each end, and
// between them the colours of a 6 x 6 x 6 cube and a ramp of greys, each
// colour once, so that an 8-bit picture made with it shows every colour
// near enough.
const std::array<PALETTEENTRY, 256>& StandInSystemPalette();

class PosixSystemServices final : public SystemServices {
public:
    // Where GetDC learns the screen's facts from; until it is set there is
    // no screen, and GetDC answers HDC{}. Asked once per GetDC.
    void SetDisplayFacts(std::function<ScreenFacts()> source);

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
    std::vector<std::string> ProgramsLookedFor(const char* file, const char* parameters) override;

private:
    // Sets the last error and answers FALSE.
    BOOL Fail(DWORD error);

    // Atomic so that a stray call from another thread is not a data race;
    // the value is still per object, as documented on SystemServices.
    std::atomic<DWORD> m_lastError{ERROR_SUCCESS};

    std::function<ScreenFacts()> m_displayFacts;
    // The screen as the latest GetDC saw it, while any screen DC is out.
    ScreenFacts m_screen;
    int m_openScreenDCs = 0;

    // Kept between performance queries so that steady sampling does not allocate.
    std::vector<char> m_procStatText;
    std::vector<ProcessorTimes> m_processors;
    std::vector<ProcessorCounters> m_processorCounters;

    // The descriptors behind the file handles that CreateFileA gave out
    // (posix_files.cpp).
    FileHandleTable m_files;
    // The tools ShellExecuteA started, reaped once they end (posix_shell.cpp).
    ToolLauncher m_launcher;
};

}  // namespace vx::win
