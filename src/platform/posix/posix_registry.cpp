// The registry on Linux: only the performance data, and in it only the
// processor object, which is built from /proc/stat at each query. There is
// no kernel statistic of the 9x family, so HKEY_DYN_DATA has no keys.
#include <unistd.h>

#include <cstring>
#include <ctime>

#include "platform/posix/posix_system_services.h"

namespace vx::win {

namespace {

bool IsPredefinedKey(HKEY key) {
    return HandleValue(key) >= HandleValue(HKEY_CLASSES_ROOT) && HandleValue(key) <= HandleValue(HKEY_DYN_DATA);
}

SYSTEMTIME UtcNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm utc{};
    if (gmtime_r(&now.tv_sec, &utc) == nullptr) return SYSTEMTIME{1601, 1, 1, 1, 0, 0, 0, 0};
    return SYSTEMTIME{static_cast<WORD>(utc.tm_year + 1900), static_cast<WORD>(utc.tm_mon + 1), static_cast<WORD>(utc.tm_wday),
                      static_cast<WORD>(utc.tm_mday), static_cast<WORD>(utc.tm_hour), static_cast<WORD>(utc.tm_min),
                      // A leap second is not a valid SYSTEMTIME second.
                      static_cast<WORD>(utc.tm_sec > 59 ? 59 : utc.tm_sec), static_cast<WORD>(now.tv_nsec / 1'000'000)};
}

}  // namespace

LONG PosixSystemServices::RegOpenKeyExA(HKEY key, const char* subKey, DWORD /*options*/, DWORD /*samDesired*/, HKEY* result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = HKEY{};
    if (!IsPredefinedKey(key)) return ERROR_INVALID_HANDLE;
    // The performance data opens as itself and has no keys below it.
    if (key == HKEY_PERFORMANCE_DATA && (subKey == nullptr || *subKey == '\0')) {
        *result = HKEY_PERFORMANCE_DATA;
        return ERROR_SUCCESS;
    }
    return ERROR_FILE_NOT_FOUND;
}

LONG PosixSystemServices::RegQueryValueExA(HKEY key, const char* valueName, DWORD* /*reserved*/, DWORD* type, BYTE* data,
                                           DWORD* dataSize) {
    if (key != HKEY_PERFORMANCE_DATA) return IsPredefinedKey(key) ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_HANDLE;
    if (valueName == nullptr || std::strcmp(valueName, "238") != 0) return ERROR_FILE_NOT_FOUND;
    if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
    if (type != nullptr) *type = REG_BINARY;
    if (data == nullptr && dataSize == nullptr) return ERROR_SUCCESS;  // only asks whether the value exists

    const std::optional<std::string_view> procStat = ReadProcText("/proc/stat", m_procStatText);
    // The time is taken right after the times were read, so that it matches them.
    const SYSTEMTIME now = UtcNow();
    if (!procStat || !ParseProcStat(*procStat, m_processors)) return ERROR_FILE_NOT_FOUND;
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);

    CountersFromProcStat(m_processors, ticksPerSecond > 0 ? static_cast<std::uint64_t>(ticksPerSecond) : 100,
                         m_processorCounters);
    const ProcessorPerfSample sample{m_processorCounters, now, std::string_view(host, strnlen(host, sizeof host))};
    const std::size_t size = BuildProcessorPerfData(sample, std::span<BYTE>(data, data == nullptr ? 0 : *dataSize));
    // As on the platform, a refusal does not say how much is needed: under
    // this key the data changes between calls, and callers grow and retry.
    if (data == nullptr || *dataSize < size) return ERROR_MORE_DATA;
    *dataSize = static_cast<DWORD>(size);
    return ERROR_SUCCESS;
}

LONG PosixSystemServices::RegCloseKey(HKEY key) {
    // Only predefined keys are ever handed out.
    return IsPredefinedKey(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace vx::win
