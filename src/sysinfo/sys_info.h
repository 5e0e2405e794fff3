// TglSysInfo: a snapshot of the machine's memory, platform, processor and
// screen, taken once when the window's layout has been read.
#pragma once

#include <cstdint>
#include <string>

#include "framework/component.h"
#include "platform/system_services.h"

namespace vx {

class TglSysInfo : public TComponent {
public:
    TglSysInfo(TComponent* owner, win::SystemServices& services);

    // The memory counts are full byte counts: the machine's memory may be
    // far larger than a 32-bit count holds.
    std::int64_t MemoryLoad() const { return m_memoryLoad; }
    std::int64_t TotalPhys() const { return m_totalPhys; }
    std::int64_t AvailPhys() const { return m_availPhys; }
    std::int64_t TotalPageFile() const { return m_totalPageFile; }
    std::int64_t AvailPageFile() const { return m_availPageFile; }
    std::int64_t TotalVirtual() const { return m_totalVirtual; }
    std::int64_t AvailVirtual() const { return m_availVirtual; }
    int CPUKind() const { return m_cpuKind; }
    const std::string& CPUName() const { return m_cpuName; }
    int ColorDepth() const { return m_colorDepth; }
    const std::string& SystemFont() const { return m_systemFont; }
    const std::string& OSPlatform() const { return m_osPlatform; }
    int VRefreshRate() const { return m_vRefreshRate; }
    const std::string& GraphicResolution() const { return m_graphicResolution; }
    const std::string& ComputerName() const { return m_computerName; }
    const std::string& UserName() const { return m_userName; }

    // The values are read-only: a write lands in a sink and changes nothing.
    void SetInteger(std::int64_t value) { m_integerSink = value; }
    void SetString(const std::string& value) { m_stringSink = value; }

    void Loaded() override;

private:
    void TakeSnapshot();
    std::string ReadComputerName();
    std::string ReadUserName();

    win::SystemServices& m_services;
    std::int64_t m_memoryLoad = 0;
    std::int64_t m_totalPhys = 0;
    std::int64_t m_availPhys = 0;
    std::int64_t m_totalPageFile = 0;
    std::int64_t m_availPageFile = 0;
    std::int64_t m_totalVirtual = 0;
    std::int64_t m_availVirtual = 0;
    int m_colorDepth = 0;
    std::string m_systemFont;
    std::string m_osPlatform;
    int m_vRefreshRate = 0;
    std::string m_graphicResolution;
    int m_cpuKind = 0;
    std::string m_cpuName;
    std::string m_computerName;
    std::string m_userName;
    std::int64_t m_integerSink = 0;
    std::string m_stringSink;
};

// The name shown for a processor level.
std::string ProcessorName(int level);

}  // namespace vx
