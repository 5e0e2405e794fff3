// The Windows types, records and constants that the service layer answers
// with. The program was written against these names, so it keeps them; on
// Linux they are plain C++ declarations with the platform's values.
//
// Handles (HANDLE, HKEY, HWND, HDC, HINSTANCE) are distinct enum types over
// std::uintptr_t rather than pointers: the compiler then keeps a window from
// being passed where a key is expected, and the predefined values
// (INVALID_HANDLE_VALUE, HKEY_PERFORMANCE_DATA, ...) can be constexpr. The
// null handle is the value-initialised one, e.g. HWND{}; HandleValue() gives
// the number, for example to test ShellExecuteA's result against 32.
//
// Sections: Basic types; Limits; Error codes (GetLastError and the registry functions' results);
//   Version; Time; Memory and processors; Performance data (the 32-bit published layout); Registry;
//   Display device capabilities (GetDeviceCaps indexes); Shell; Files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

// TRUE and FALSE are macros on the platform and also in C libraries that
// this program includes (the JPEG library defines them exactly so), so they
// stay macros here, with the same values, to coexist with those headers.
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

namespace vx::win {

// ---------------------------------------------------------------- Basic types

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = std::int32_t;
using UINT = std::uint32_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using LARGE_INTEGER = std::int64_t;
using HRESULT = std::int32_t;
using WCHAR = char16_t;
using DWORD_PTR = std::uintptr_t;

enum class HANDLE : std::uintptr_t {};
enum class HKEY : std::uintptr_t {};
enum class HWND : std::uintptr_t {};
enum class HDC : std::uintptr_t {};
enum class HINSTANCE : std::uintptr_t {};

template <typename Handle>
concept WinHandle = std::is_same_v<Handle, HANDLE> || std::is_same_v<Handle, HKEY> || std::is_same_v<Handle, HWND> ||
    std::is_same_v<Handle, HDC> || std::is_same_v<Handle, HINSTANCE>;

template <WinHandle Handle>
constexpr std::uintptr_t HandleValue(Handle handle) {
    return static_cast<std::uintptr_t>(handle);
}

constexpr bool SUCCEEDED(HRESULT result) { return result >= 0; }
constexpr bool FAILED(HRESULT result) { return result < 0; }

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

// ---------------------------------------------------------------- Limits

constexpr DWORD MAX_PATH = 260;
constexpr DWORD MAX_COMPUTERNAME_LENGTH = 15;
constexpr DWORD UNLEN = 256;

// ---------------------------------------------------------------- Error codes (GetLastError and the registry functions' results)

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_BAD_FORMAT = 11;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_HANDLE_EOF = 38;
constexpr DWORD ERROR_HANDLE_DISK_FULL = 39;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_BUFFER_OVERFLOW = 111;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_CALL_NOT_IMPLEMENTED = 120;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_NEGATIVE_SEEK = 131;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
constexpr DWORD ERROR_NO_ASSOCIATION = 1155;
constexpr DWORD ERROR_DDE_FAIL = 1156;
constexpr DWORD ERROR_DLL_NOT_FOUND = 1157;
constexpr DWORD ERROR_CANT_RESOLVE_FILENAME = 1921;

// ---------------------------------------------------------------- Version

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);

// ---------------------------------------------------------------- Time

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;  // 0 = Sunday
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
static_assert(sizeof(SYSTEMTIME) == 16);

// 100-nanosecond intervals since 1601-01-01 00:00 UTC, split in halves.
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
static_assert(sizeof(FILETIME) == 8);

// ---------------------------------------------------------------- Memory and processors

// The 32-bit program's record, whose byte counts are 32-bit numbers: the
// system tells such a program (one that is not large-address-aware) at most
// 2 GiB - 1 of physical and virtual memory and 4 GiB - 1 of page file
// (platform/program_view.h gives the same answer everywhere).
struct MEMORYSTATUS {
    DWORD dwLength;  // sizeof(MEMORYSTATUS), 32
    DWORD dwMemoryLoad;
    DWORD dwTotalPhys;
    DWORD dwAvailPhys;
    DWORD dwTotalPageFile;
    DWORD dwAvailPageFile;
    DWORD dwTotalVirtual;
    DWORD dwAvailVirtual;
};
static_assert(sizeof(MEMORYSTATUS) == 32);
static_assert(offsetof(MEMORYSTATUS, dwTotalPhys) == 8);

constexpr WORD PROCESSOR_ARCHITECTURE_INTEL = 0;
constexpr WORD PROCESSOR_ARCHITECTURE_ARM = 5;
constexpr WORD PROCESSOR_ARCHITECTURE_AMD64 = 9;
constexpr WORD PROCESSOR_ARCHITECTURE_ARM64 = 12;
constexpr WORD PROCESSOR_ARCHITECTURE_UNKNOWN = 0xFFFF;

constexpr DWORD PROCESSOR_INTEL_386 = 386;
constexpr DWORD PROCESSOR_INTEL_486 = 486;
constexpr DWORD PROCESSOR_INTEL_PENTIUM = 586;
constexpr DWORD PROCESSOR_AMD_X8664 = 8664;

// The platform overlays wProcessorArchitecture/wReserved with a DWORD
// dwOemId; only the two WORDs are kept. The address fields are numbers, as
// nobody dereferences them.
struct SYSTEM_INFO {
    WORD wProcessorArchitecture;
    WORD wReserved;
    DWORD dwPageSize;
    std::uintptr_t lpMinimumApplicationAddress;
    std::uintptr_t lpMaximumApplicationAddress;
    DWORD_PTR dwActiveProcessorMask;
    DWORD dwNumberOfProcessors;
    DWORD dwProcessorType;
    DWORD dwAllocationGranularity;
    WORD wProcessorLevel;
    WORD wProcessorRevision;
};

// ---------------------------------------------------------------- Performance data (the 32-bit published layout)
//
// These records are read out of a byte block that the registry returns, so
// their layout is the published one and the title pointers of the 32-bit
// layout are DWORDs. LARGE_INTEGER members are 8-aligned as published.

struct PERF_DATA_BLOCK {
    WCHAR Signature[4];  // u"PERF"
    DWORD LittleEndian;
    DWORD Version;
    DWORD Revision;
    DWORD TotalByteLength;
    DWORD HeaderLength;
    DWORD NumObjectTypes;
    LONG DefaultObject;
    SYSTEMTIME SystemTime;
    alignas(8) LARGE_INTEGER PerfTime;
    alignas(8) LARGE_INTEGER PerfFreq;
    alignas(8) LARGE_INTEGER PerfTime100nSec;
    DWORD SystemNameLength;
    DWORD SystemNameOffset;
};
static_assert(offsetof(PERF_DATA_BLOCK, LittleEndian) == 8);
static_assert(offsetof(PERF_DATA_BLOCK, TotalByteLength) == 20);
static_assert(offsetof(PERF_DATA_BLOCK, HeaderLength) == 24);
static_assert(offsetof(PERF_DATA_BLOCK, NumObjectTypes) == 28);
static_assert(offsetof(PERF_DATA_BLOCK, DefaultObject) == 32);
static_assert(offsetof(PERF_DATA_BLOCK, SystemTime) == 36);
static_assert(offsetof(PERF_DATA_BLOCK, PerfTime) == 56);
static_assert(offsetof(PERF_DATA_BLOCK, PerfFreq) == 64);
static_assert(offsetof(PERF_DATA_BLOCK, PerfTime100nSec) == 72);
static_assert(offsetof(PERF_DATA_BLOCK, SystemNameLength) == 80);
static_assert(offsetof(PERF_DATA_BLOCK, SystemNameOffset) == 84);
static_assert(sizeof(PERF_DATA_BLOCK) == 88);

struct PERF_OBJECT_TYPE {
    DWORD TotalByteLength;
    DWORD DefinitionLength;
    DWORD HeaderLength;
    DWORD ObjectNameTitleIndex;
    DWORD ObjectNameTitle;
    DWORD ObjectHelpTitleIndex;
    DWORD ObjectHelpTitle;
    DWORD DetailLevel;
    DWORD NumCounters;
    LONG DefaultCounter;
    LONG NumInstances;  // PERF_NO_INSTANCES for an object without instances
    DWORD CodePage;
    alignas(8) LARGE_INTEGER PerfTime;
    alignas(8) LARGE_INTEGER PerfFreq;
};
static_assert(offsetof(PERF_OBJECT_TYPE, TotalByteLength) == 0);
static_assert(offsetof(PERF_OBJECT_TYPE, DefinitionLength) == 4);
static_assert(offsetof(PERF_OBJECT_TYPE, HeaderLength) == 8);
static_assert(offsetof(PERF_OBJECT_TYPE, ObjectNameTitleIndex) == 12);
static_assert(offsetof(PERF_OBJECT_TYPE, ObjectNameTitle) == 16);
static_assert(offsetof(PERF_OBJECT_TYPE, ObjectHelpTitleIndex) == 20);
static_assert(offsetof(PERF_OBJECT_TYPE, DetailLevel) == 28);
static_assert(offsetof(PERF_OBJECT_TYPE, NumCounters) == 32);
static_assert(offsetof(PERF_OBJECT_TYPE, DefaultCounter) == 36);
static_assert(offsetof(PERF_OBJECT_TYPE, NumInstances) == 40);
static_assert(offsetof(PERF_OBJECT_TYPE, CodePage) == 44);
static_assert(offsetof(PERF_OBJECT_TYPE, PerfTime) == 48);
static_assert(offsetof(PERF_OBJECT_TYPE, PerfFreq) == 56);
static_assert(sizeof(PERF_OBJECT_TYPE) == 64);

struct PERF_COUNTER_DEFINITION {
    DWORD ByteLength;
    DWORD CounterNameTitleIndex;
    DWORD CounterNameTitle;
    DWORD CounterHelpTitleIndex;
    DWORD CounterHelpTitle;
    LONG DefaultScale;
    DWORD DetailLevel;
    DWORD CounterType;
    DWORD CounterSize;
    DWORD CounterOffset;  // from the start of the PERF_COUNTER_BLOCK
};
static_assert(offsetof(PERF_COUNTER_DEFINITION, ByteLength) == 0);
static_assert(offsetof(PERF_COUNTER_DEFINITION, CounterNameTitleIndex) == 4);
static_assert(offsetof(PERF_COUNTER_DEFINITION, CounterNameTitle) == 8);
static_assert(offsetof(PERF_COUNTER_DEFINITION, CounterHelpTitleIndex) == 12);
static_assert(offsetof(PERF_COUNTER_DEFINITION, CounterHelpTitle) == 16);
static_assert(offsetof(PERF_COUNTER_DEFINITION, DefaultScale) == 20);
static_assert(offsetof(PERF_COUNTER_DEFINITION, DetailLevel) == 24);
static_assert(offsetof(PERF_COUNTER_DEFINITION, CounterType) == 28);
static_assert(offsetof(PERF_COUNTER_DEFINITION, CounterSize) == 32);
static_assert(offsetof(PERF_COUNTER_DEFINITION, CounterOffset) == 36);
static_assert(sizeof(PERF_COUNTER_DEFINITION) == 40);

struct PERF_INSTANCE_DEFINITION {
    DWORD ByteLength;
    DWORD ParentObjectTitleIndex;
    DWORD ParentObjectInstance;
    LONG UniqueID;
    DWORD NameOffset;  // from the start of this record, UTF-16
    DWORD NameLength;  // in bytes, terminating zero included
};
static_assert(offsetof(PERF_INSTANCE_DEFINITION, ParentObjectTitleIndex) == 4);
static_assert(offsetof(PERF_INSTANCE_DEFINITION, ParentObjectInstance) == 8);
static_assert(offsetof(PERF_INSTANCE_DEFINITION, UniqueID) == 12);
static_assert(offsetof(PERF_INSTANCE_DEFINITION, NameOffset) == 16);
static_assert(offsetof(PERF_INSTANCE_DEFINITION, NameLength) == 20);
static_assert(sizeof(PERF_INSTANCE_DEFINITION) == 24);

struct PERF_COUNTER_BLOCK {
    DWORD ByteLength;
};
static_assert(sizeof(PERF_COUNTER_BLOCK) == 4);

constexpr LONG PERF_NO_INSTANCES = -1;
constexpr DWORD PERF_DETAIL_NOVICE = 100;
constexpr DWORD PERF_COUNTER_RAWCOUNT = 0x00010000;
constexpr DWORD PERF_COUNTER_LARGE_RAWCOUNT = 0x00010100;
constexpr DWORD PERF_COUNTER_COUNTER = 0x10410400;
constexpr DWORD PERF_100NSEC_TIMER_INV = 0x21551500;

// ---------------------------------------------------------------- Registry
//
// Predefined keys are the platform's numbers, zero-extended.

constexpr HKEY HKEY_CLASSES_ROOT = static_cast<HKEY>(0x80000000u);
constexpr HKEY HKEY_CURRENT_USER = static_cast<HKEY>(0x80000001u);
constexpr HKEY HKEY_LOCAL_MACHINE = static_cast<HKEY>(0x80000002u);
constexpr HKEY HKEY_USERS = static_cast<HKEY>(0x80000003u);
constexpr HKEY HKEY_PERFORMANCE_DATA = static_cast<HKEY>(0x80000004u);
constexpr HKEY HKEY_CURRENT_CONFIG = static_cast<HKEY>(0x80000005u);
constexpr HKEY HKEY_DYN_DATA = static_cast<HKEY>(0x80000006u);

constexpr DWORD KEY_QUERY_VALUE = 0x0001;
constexpr DWORD KEY_READ = 0x20019;
constexpr DWORD KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;

// ---------------------------------------------------------------- Display device capabilities (GetDeviceCaps indexes)

constexpr int TECHNOLOGY = 2;
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int NUMCOLORS = 24;
constexpr int RASTERCAPS = 38;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int SIZEPALETTE = 104;
constexpr int VREFRESH = 116;

constexpr int DT_RASDISPLAY = 1;
constexpr int RC_PALETTE = 0x0100;

// One colour of a palette: the system's (GetSystemPaletteEntries) or a
// DirectDraw palette's.
struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;

    friend constexpr bool operator==(const PALETTEENTRY&, const PALETTEENTRY&) = default;
};
static_assert(sizeof(PALETTEENTRY) == 4);

// ---------------------------------------------------------------- Shell

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;

// ShellExecuteA reports success with a value above 32; these are failures,
// beside the error codes 0 (out of memory), ERROR_FILE_NOT_FOUND,
// ERROR_PATH_NOT_FOUND and ERROR_BAD_FORMAT, which it answers as they are.
constexpr std::uintptr_t SE_ERR_FNF = 2;
constexpr std::uintptr_t SE_ERR_PNF = 3;
constexpr std::uintptr_t SE_ERR_ACCESSDENIED = 5;
constexpr std::uintptr_t SE_ERR_OOM = 8;
constexpr std::uintptr_t SE_ERR_SHARE = 26;
constexpr std::uintptr_t SE_ERR_ASSOCINCOMPLETE = 27;
constexpr std::uintptr_t SE_ERR_DDETIMEOUT = 28;
constexpr std::uintptr_t SE_ERR_DDEFAIL = 29;
constexpr std::uintptr_t SE_ERR_DDEBUSY = 30;
constexpr std::uintptr_t SE_ERR_NOASSOC = 31;
constexpr std::uintptr_t SE_ERR_DLLNOTFOUND = 32;

// ---------------------------------------------------------------- Files

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;

constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD FILE_SHARE_DELETE = 0x4;

constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;

// A file system flag of GetVolumeInformation: the volume keeps owners and
// access lists (NTFS does; FAT and exFAT do not).
constexpr DWORD FILE_PERSISTENT_ACLS = 0x8;
constexpr DWORD FILE_FLAG_DELETE_ON_CLOSE = 0x04000000u;
constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000u;
constexpr DWORD FILE_FLAG_NO_BUFFERING = 0x20000000u;
constexpr DWORD FILE_FLAG_WRITE_THROUGH = 0x80000000u;

constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;

constexpr HANDLE INVALID_HANDLE_VALUE = static_cast<HANDLE>(~std::uintptr_t{0});
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;

}  // namespace vx::win
