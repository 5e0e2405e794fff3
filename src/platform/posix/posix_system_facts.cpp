// Memory, processor and names on Linux, from /proc and the C library.
#include <fcntl.h>
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/posix/posix_system_services.h"
#include "platform/program_view.h"

namespace vx::win {

namespace {

// /proc files are small; one that keeps growing past this is not one.
constexpr std::size_t kLargestProcText = 64u << 20;

// What Linux maps no process below (the default vm.mmap_min_addr), like the
// platform's own first 64 KiB.
constexpr std::uintptr_t kLowestApplicationAddress = 0x10000;

#if defined(__x86_64__)
constexpr WORD kArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
// Four-level paging gives a process 2^47 bytes less the guard page at the top.
constexpr ULONGLONG kAddressSpaceEnd = (1ull << 47) - 4096;
#elif defined(__aarch64__)
constexpr WORD kArchitecture = PROCESSOR_ARCHITECTURE_ARM64;
constexpr ULONGLONG kAddressSpaceEnd = 1ull << 48;
#elif defined(__i386__)
constexpr WORD kArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
constexpr ULONGLONG kAddressSpaceEnd = 0xC0000000ull;
#elif defined(__arm__)
constexpr WORD kArchitecture = PROCESSOR_ARCHITECTURE_ARM;
constexpr ULONGLONG kAddressSpaceEnd = 0xC0000000ull;
#else
constexpr WORD kArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
constexpr ULONGLONG kAddressSpaceEnd = sizeof(void*) == 8 ? 1ull << 47 : 0xC0000000ull;
#endif

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : m_descriptor(descriptor) {}
    ~FileDescriptor() {
        if (m_descriptor >= 0) close(m_descriptor);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_descriptor; }

private:
    int m_descriptor;
};

std::string_view NextLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return line;
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    const auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || next == text.data()) return std::nullopt;
    return value;
}

// The most a process may map: its address-space limit when one is set,
// else what the processor's paging gives a user process.
ULONGLONG AddressSpaceSize() {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        return std::min<ULONGLONG>(limit.rlim_cur, kAddressSpaceEnd);
    }
    return kAddressSpaceEnd;
}

DWORD ProcessorType(WORD level) {
#if defined(__x86_64__)
    (void)level;
    return PROCESSOR_AMD_X8664;
#elif defined(__i386__)
    return level <= 3 ? PROCESSOR_INTEL_386 : level == 4 ? PROCESSOR_INTEL_486 : PROCESSOR_INTEL_PENTIUM;
#else
    (void)level;
    return 0;
#endif
}

std::string_view Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string_view{} : std::string_view{value};
}

}  // namespace

std::optional<std::string_view> ReadProcText(const char* path, std::vector<char>& buffer) {
    const FileDescriptor file(open(path, O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) return std::nullopt;
    if (buffer.size() < 4096) buffer.resize(4096);
    std::size_t length = 0;
    for (;;) {
        if (length == buffer.size()) {
            if (buffer.size() >= kLargestProcText) return std::nullopt;
            buffer.resize(buffer.size() * 2);
        }
        const ssize_t count = read(file.Get(), buffer.data() + length, buffer.size() - length);
        if (count < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (count == 0) break;
        length += static_cast<std::size_t>(count);
    }
    return std::string_view(buffer.data(), length);
}

std::optional<ULONGLONG> ProcFieldBytes(std::string_view text, std::string_view name) {
    while (!text.empty()) {
        const std::string_view line = NextLine(text);
        if (line.size() <= name.size() || !line.starts_with(name) || line[name.size()] != ':') continue;
        const std::string_view value = Trim(line.substr(name.size() + 1));
        const std::optional<ULONGLONG> number = ParseNumber<ULONGLONG>(value);
        if (!number) return std::nullopt;
        const std::size_t digits = value.find_first_not_of("0123456789");
        const std::string_view unit = digits == std::string_view::npos ? std::string_view{} : Trim(value.substr(digits));
        if (unit.empty()) return number;
        if (unit != "kB" || *number > ~0ull / 1024) return std::nullopt;
        return *number * 1024;
    }
    return std::nullopt;
}

MemoryCounts MemoryCountsFromMeminfo(std::string_view meminfo, ULONGLONG addressSpace, ULONGLONG addressSpaceInUse) {
    MemoryCounts status;
    status.totalVirtual = addressSpace;
    status.availVirtual = addressSpace - std::min(addressSpaceInUse, addressSpace);

    const ULONGLONG total = ProcFieldBytes(meminfo, "MemTotal").value_or(0);
    if (total == 0) return status;
    std::optional<ULONGLONG> available = ProcFieldBytes(meminfo, "MemAvailable");
    if (!available) {
        available = ProcFieldBytes(meminfo, "MemFree").value_or(0) + ProcFieldBytes(meminfo, "Buffers").value_or(0) +
                    ProcFieldBytes(meminfo, "Cached").value_or(0);
    }
    const ULONGLONG availablePhys = std::min(*available, total);
    const ULONGLONG swapTotal = ProcFieldBytes(meminfo, "SwapTotal").value_or(0);
    const ULONGLONG swapFree = std::min(ProcFieldBytes(meminfo, "SwapFree").value_or(0), swapTotal);

    status.memoryLoad =
        static_cast<DWORD>(std::lround(100.0 * static_cast<double>(total - availablePhys) / static_cast<double>(total)));
    status.totalPhys = total;
    status.availPhys = availablePhys;
    status.totalPageFile = total + swapTotal;
    status.availPageFile = availablePhys + swapFree;
    return status;
}

ProcessorIdentity ProcessorFromCpuinfo(std::string_view cpuinfo) {
    std::optional<unsigned> family;
    std::optional<unsigned> model;
    std::optional<unsigned> stepping;
    bool inFirstProcessor = false;
    while (!cpuinfo.empty()) {
        const std::string_view line = NextLine(cpuinfo);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            // A blank line ends the first processor's block.
            if (inFirstProcessor && Trim(line).empty()) break;
            continue;
        }
        inFirstProcessor = true;
        const std::string_view key = Trim(line.substr(0, colon));
        const std::string_view value = Trim(line.substr(colon + 1));
        if (key == "cpu family" && !family) family = ParseNumber<unsigned>(value);
        if (key == "model" && !model) model = ParseNumber<unsigned>(value);
        if (key == "stepping" && !stepping) stepping = ParseNumber<unsigned>(value);
    }
    ProcessorIdentity identity;
    if (family && *family <= 0xFFFF) identity.level = static_cast<WORD>(*family);
    identity.revision = static_cast<WORD>((model.value_or(0) & 0xFF) << 8 | (stepping.value_or(0) & 0xFF));
    return identity;
}

void PosixSystemServices::GlobalMemoryStatus(MEMORYSTATUS* status) {
    if (status == nullptr) return;
    std::vector<char> meminfoBuffer;
    std::vector<char> processBuffer;
    const std::optional<std::string_view> meminfo = ReadProcText("/proc/meminfo", meminfoBuffer);
    const std::optional<std::string_view> process = ReadProcText("/proc/self/status", processBuffer);
    const ULONGLONG inUse = process ? ProcFieldBytes(*process, "VmSize").value_or(0) : 0;
    *status = AsThirtyTwoBitProgramSees(MemoryCountsFromMeminfo(meminfo.value_or(std::string_view{}), AddressSpaceSize(), inUse));
}

void PosixSystemServices::GetSystemInfo(SYSTEM_INFO* info) {
    if (info == nullptr) return;
    *info = SYSTEM_INFO{};
    const long pageSize = sysconf(_SC_PAGESIZE);
    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    std::vector<char> buffer;
    const std::optional<std::string_view> cpuinfo = ReadProcText("/proc/cpuinfo", buffer);
    const ProcessorIdentity identity = ProcessorFromCpuinfo(cpuinfo.value_or(std::string_view{}));

    info->wProcessorArchitecture = kArchitecture;
    info->dwPageSize = pageSize > 0 ? static_cast<DWORD>(pageSize) : 0;
    info->lpMinimumApplicationAddress = kLowestApplicationAddress;
    info->lpMaximumApplicationAddress = static_cast<std::uintptr_t>(kAddressSpaceEnd - 1);
    info->dwNumberOfProcessors = processors > 0 ? static_cast<DWORD>(processors) : 0;
    // One bit a processor, as far as the mask reaches.
    const unsigned maskBits = sizeof(DWORD_PTR) * 8;
    info->dwActiveProcessorMask =
        info->dwNumberOfProcessors >= maskBits ? ~DWORD_PTR{0} : (DWORD_PTR{1} << info->dwNumberOfProcessors) - 1;
    info->dwProcessorType = ProcessorType(identity.level);
    // Linux places a mapping on any page, not on 64 KiB boundaries.
    info->dwAllocationGranularity = info->dwPageSize;
    info->wProcessorLevel = identity.level;
    info->wProcessorRevision = identity.revision;
}

BOOL PosixSystemServices::GetComputerNameA(char* buffer, DWORD* size) {
    if (size == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) return Fail(ERROR_FILE_NOT_FOUND);
    // The platform's computer name is one label of at most 15 characters;
    // the host name's first label is the same idea.
    std::string_view name(host, strnlen(host, sizeof host));
    name = name.substr(0, std::min<std::size_t>(name.find('.'), MAX_COMPUTERNAME_LENGTH));
    if (buffer == nullptr || *size < name.size() + 1) {
        *size = static_cast<DWORD>(name.size() + 1);
        return Fail(ERROR_BUFFER_OVERFLOW);
    }
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    *size = static_cast<DWORD>(name.size());
    return TRUE;
}

BOOL PosixSystemServices::GetUserNameA(char* buffer, DWORD* size) {
    if (size == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    long entrySize = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> entryText(entrySize > 0 ? static_cast<std::size_t>(entrySize) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    std::string_view name;
    if (getpwuid_r(geteuid(), &entry, entryText.data(), entryText.size(), &found) == 0 && found != nullptr &&
        found->pw_name != nullptr) {
        name = found->pw_name;
    }
    // A user without an entry in the user database (common in containers)
    // still has the login's own idea of its name.
    if (name.empty()) name = Environment("USER");
    if (name.empty()) name = Environment("LOGNAME");
    if (name.empty()) return Fail(ERROR_FILE_NOT_FOUND);
    const std::size_t needed = name.size() + 1;
    if (buffer == nullptr || *size < needed) {
        *size = static_cast<DWORD>(needed);
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    *size = static_cast<DWORD>(needed);
    return TRUE;
}

}  // namespace vx::win
