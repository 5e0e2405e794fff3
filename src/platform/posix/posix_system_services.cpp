#include "platform/posix/posix_system_services.h"

#include <sys/utsname.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstring>
#include <ctime>
#include <utility>

namespace vx::win {

namespace {

constexpr HDC kScreenDC = static_cast<HDC>(0x5C2EE400);
constexpr int kDefaultPixelsPerInch = 96;

// The first year a FILETIME can hold.
constexpr WORD kFirstYear = 1601;

std::uint64_t ToMilliseconds(const timespec& time) {
    return static_cast<std::uint64_t>(time.tv_sec) * 1000u + static_cast<std::uint64_t>(time.tv_nsec) / 1'000'000u;
}

std::uint64_t MillisecondsSinceBoot() {
    timespec now{};
#ifdef CLOCK_BOOTTIME
    // Counts the time spent suspended too, as the platform's tick count does.
    if (clock_gettime(CLOCK_BOOTTIME, &now) == 0) {
        return ToMilliseconds(now);
    }
#endif
    if (clock_gettime(CLOCK_MONOTONIC, &now) == 0) {
        return ToMilliseconds(now);
    }
    return 0;
}

}  // namespace

KernelRelease ParseKernelRelease(std::string_view release) {
    DWORD numbers[3] = {};
    const char* position = release.data();
    const char* const end = release.data() + release.size();
    for (int index = 0; index < 3; ++index) {
        if (index > 0) {
            if (position == end || *position != '.') {
                break;
            }
            ++position;
        }
        DWORD value = 0;
        const auto [next, error] = std::from_chars(position, end, value);
        if (error != std::errc{}) {
            break;
        }
        numbers[index] = value;
        position = next;
    }
    return {numbers[0], numbers[1], numbers[2]};
}

BOOL PosixSystemServices::Fail(DWORD error) {
    m_lastError = error;
    return FALSE;
}

DWORD PosixSystemServices::GetLastError() { return m_lastError; }

BOOL PosixSystemServices::GetVersionExA(OSVERSIONINFOA* info) {
    if (info == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    KernelRelease release;
    utsname names{};
    if (uname(&names) == 0) {
        release = ParseKernelRelease({names.release, strnlen(names.release, sizeof names.release)});
    }
    info->dwMajorVersion = release.major;
    info->dwMinorVersion = release.minor;
    info->dwBuildNumber = release.build;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    return TRUE;
}

void PosixSystemServices::GetLocalTime(SYSTEMTIME* time) {
    if (time == nullptr) {
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const time_t seconds = now.tv_sec;
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) {
        // Only a clock set beyond what the C library can convert gets here;
        // the first valid instant is a safer answer than garbage.
        *time = SYSTEMTIME{kFirstYear, 1, 1, 1, 0, 0, 0, 0};
        return;
    }
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    // A leap second (tm_sec 60) is not a valid SYSTEMTIME second.
    time->wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1'000'000);
}

DWORD PosixSystemServices::GetTickCount() { return TickCountFromMilliseconds(MillisecondsSinceBoot()); }

DWORD PosixSystemServices::timeGetTime() { return TickCountFromMilliseconds(MillisecondsSinceBoot()); }

BOOL PosixSystemServices::SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime) {
    if (systemTime == nullptr || fileTime == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const std::optional<ULONGLONG> value = FileTimeFromSystemTime(*systemTime);
    if (!value) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    fileTime->dwLowDateTime = static_cast<DWORD>(*value);
    fileTime->dwHighDateTime = static_cast<DWORD>(*value >> 32);
    return TRUE;
}

void PosixSystemServices::SetDisplayFacts(std::function<ScreenFacts()> source) { m_displayFacts = std::move(source); }

HDC PosixSystemServices::GetDC(HWND /*window*/) {
    // Every DC handed out is the screen's: the program asks for no other.
    if (!m_displayFacts) {
        m_lastError = ERROR_INVALID_HANDLE;
        return HDC{};
    }
    m_screen = m_displayFacts();
    ++m_openScreenDCs;
    return kScreenDC;
}

int PosixSystemServices::GetDeviceCaps(HDC dc, int index) {
    if (dc != kScreenDC || m_openScreenDCs == 0) {
        return 0;
    }
    switch (index) {
        case TECHNOLOGY:
            return DT_RASDISPLAY;
        case HORZRES:
            return m_screen.width;
        case VERTRES:
            return m_screen.height;
        case BITSPIXEL:
            return m_screen.bitsPerPixel;
        case PLANES:
            return 1;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return m_screen.pixelsPerInch > 0 ? m_screen.pixelsPerInch : kDefaultPixelsPerInch;
        case VREFRESH:
            // 0 is what the platform answers for "the hardware's default".
            return m_screen.refreshRate > 0 ? m_screen.refreshRate : 0;
        default:
            return 0;
    }
}

int PosixSystemServices::ReleaseDC(HWND /*window*/, HDC dc) {
    if (dc != kScreenDC || m_openScreenDCs == 0) {
        return 0;
    }
    --m_openScreenDCs;
    return 1;
}

const std::array<PALETTEENTRY, 256>& StandInSystemPalette() {
    static const std::array<PALETTEENTRY, 256> palette = [] {
        constexpr std::size_t kFixedAtEachEnd = 10;
        // The fixed colours, in the platform's order.
        constexpr std::array<std::uint32_t, 2 * kFixedAtEachEnd> kFixed{
            0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0,
            0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
        auto rgb = [](std::uint32_t c) {
            return PALETTEENTRY{static_cast<BYTE>(c >> 16), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c), 0};
        };
        std::array<PALETTEENTRY, 256> entries{};
        for (std::size_t i = 0; i < kFixedAtEachEnd; ++i) {
            entries[i] = rgb(kFixed[i]);
            entries[entries.size() - kFixedAtEachEnd + i] = rgb(kFixed[kFixedAtEachEnd + i]);
        }
        // The cube's corners are fixed colours already: an entry holds each
        // colour once.
        auto fixed = [&](std::uint32_t c) { return std::find(kFixed.begin(), kFixed.end(), c) != kFixed.end(); };
        std::size_t next = kFixedAtEachEnd;
        for (std::uint32_t r = 0; r < 6; ++r) {
            for (std::uint32_t g = 0; g < 6; ++g) {
                for (std::uint32_t b = 0; b < 6; ++b) {
                    const std::uint32_t c = (r * 51) << 16 | (g * 51) << 8 | b * 51;
                    if (!fixed(c)) entries[next++] = rgb(c);
                }
            }
        }
        // Greys in even steps fill the rest; none of them is a cube or fixed grey.
        const std::size_t last = entries.size() - kFixedAtEachEnd;
        const std::size_t greys = last - next;
        for (std::size_t step = 1; next < last; ++step, ++next) {
            const auto v = static_cast<std::uint32_t>((step * 255 + (greys + 1) / 2) / (greys + 1));
            entries[next] = rgb(v << 16 | v << 8 | v);
        }
        return entries;
    }();
    return palette;
}

UINT PosixSystemServices::GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY* entries) {
    if (dc != kScreenDC || m_openScreenDCs == 0) {
        return 0;
    }
    const std::array<PALETTEENTRY, 256>& palette = StandInSystemPalette();
    const auto size = static_cast<UINT>(palette.size());
    if (entries == nullptr) {
        return size;
    }
    if (start >= size) {
        return 0;
    }
    const UINT copied = std::min(count, size - start);
    std::copy_n(palette.begin() + start, copied, entries);
    return copied;
}

}  // namespace vx::win
