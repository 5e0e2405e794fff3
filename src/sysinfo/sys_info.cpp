#include "sysinfo/sys_info.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace vx {

using namespace win;

TglSysInfo::TglSysInfo(TComponent* owner, SystemServices& services) : TComponent(owner), m_services(services) {}

void TglSysInfo::Loaded() {
    TComponent::Loaded();
    TakeSnapshot();
}

std::string ProcessorName(int level) {
    switch (level) {
        case 3:
            return "80386";
        case 4:
            return "80486";
        case 5:
            return "Pentium";
        case 6:
            return "Pentium Pro/Celeron";
        default:
            return "P" + std::to_string(level);
    }
}

void TglSysInfo::TakeSnapshot() {
    MEMORYSTATUS memory{};
    memory.dwLength = sizeof(memory);
    m_services.GlobalMemoryStatus(&memory);
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    m_services.GetVersionExA(&version);
    SYSTEM_INFO system{};
    m_services.GetSystemInfo(&system);
    HDC screen = m_services.GetDC(HWND{});

    m_memoryLoad = memory.dwMemoryLoad;
    m_totalPhys = static_cast<std::int64_t>(memory.dwTotalPhys);
    m_availPhys = static_cast<std::int64_t>(memory.dwAvailPhys);
    m_totalPageFile = static_cast<std::int64_t>(memory.dwTotalPageFile);
    m_availPageFile = static_cast<std::int64_t>(memory.dwAvailPageFile);
    m_totalVirtual = static_cast<std::int64_t>(memory.dwTotalVirtual);
    m_availVirtual = static_cast<std::int64_t>(memory.dwAvailVirtual);

    m_cpuKind = system.wProcessorLevel;
    m_cpuName = ProcessorName(m_cpuKind);
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT)
        m_osPlatform = "NT";
    else if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        m_osPlatform = "95";

    m_vRefreshRate = m_services.GetDeviceCaps(screen, VREFRESH);
    m_colorDepth = m_services.GetDeviceCaps(screen, BITSPIXEL);
    m_graphicResolution = std::to_string(m_services.GetDeviceCaps(screen, HORZRES)) + "x" +
                          std::to_string(m_services.GetDeviceCaps(screen, VERTRES));
    if (m_services.GetDeviceCaps(screen, LOGPIXELSX) == 96) {
        m_systemFont = "SmallFont";
    } else if (m_services.GetDeviceCaps(screen, LOGPIXELSX) == 120) {
        m_systemFont = "BigFont";
    }
    m_computerName = ReadComputerName();
    m_userName = ReadUserName();
    if (screen != HDC{}) m_services.ReleaseDC(HWND{}, screen);
}

namespace {
// The text up to the first zero of a name buffer; empty when the call failed.
std::string NameFrom(const std::array<char, 33>& buffer, BOOL ok) {
    if (!ok) return {};
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}
}  // namespace

std::string TglSysInfo::ReadComputerName() {
    std::array<char, 33> buffer{};
    DWORD size = 32;
    return NameFrom(buffer, m_services.GetComputerNameA(buffer.data(), &size));
}

std::string TglSysInfo::ReadUserName() {
    std::array<char, 33> buffer{};
    DWORD size = 32;
    return NameFrom(buffer, m_services.GetUserNameA(buffer.data(), &size));
}

}  // namespace vx
