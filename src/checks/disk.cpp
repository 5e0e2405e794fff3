#include "checks/disk.h"

#include <array>
#include <cctype>
#include <utility>

namespace vx {

using namespace win;

namespace {

std::string InOutMessage(int errorCode) {
    switch (errorCode) {
        case EInOutError::kReadBeyondEndOfFile:
            return "Read beyond end of file";
        case EInOutError::kDiskFull:
            return "Disk full";
        default:
            return "I/O error " + std::to_string(errorCode);
    }
}

// The open test file of one pass. Unless the pass closes it itself, it is
// closed and deleted when the pass leaves, an error included.
class TestFile {
public:
    TestFile(SystemServices& services, std::string path, HANDLE handle)
        : m_services(services), m_path(std::move(path)), m_handle(handle) {}
    TestFile(const TestFile&) = delete;
    TestFile& operator=(const TestFile&) = delete;
    ~TestFile() {
        if (m_handle != INVALID_HANDLE_VALUE) m_services.CloseHandle(m_handle);
        if (m_deleteOnLeave) m_services.DeleteFileA(m_path.c_str());
    }

    HANDLE Handle() const { return m_handle; }

    // Closes the file; on failure the handle is gone all the same and the
    // error is raised.
    void Close() {
        const HANDLE handle = std::exchange(m_handle, INVALID_HANDLE_VALUE);
        if (!m_services.CloseHandle(handle)) throw EInOutError(static_cast<int>(m_services.GetLastError()));
    }

    // The normal end of a pass: the file goes if it is there.
    void DeleteIfPresent() {
        m_deleteOnLeave = false;
        if (m_services.GetFileAttributesA(m_path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            m_services.DeleteFileA(m_path.c_str());
        }
    }

private:
    SystemServices& m_services;
    std::string m_path;
    HANDLE m_handle;
    bool m_deleteOnLeave = true;
};

bool IsDiskFullCode(DWORD code) { return code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL; }

}  // namespace

EInOutError::EInOutError(int errorCode) : std::runtime_error(InOutMessage(errorCode)), m_errorCode(errorCode) {}

std::optional<std::string> TemporaryFolder(SystemServices& services) {
    std::array<char, kTempPathBufferChars + 1> buffer{};
    const DWORD length = services.GetTempPathA(kTempPathBufferChars, buffer.data());
    // A result as large as the buffer is the size the path would need: the
    // buffer holds nothing usable then.
    if (length == 0 || length >= kTempPathBufferChars) return std::nullopt;
    return std::string(buffer.data(), length);
}

std::optional<std::string> DiskQueryFolder(const std::string& temporaryFolder) {
    if (temporaryFolder.size() >= 2 && std::isalpha(static_cast<unsigned char>(temporaryFolder[0])) &&
        temporaryFolder[1] == ':') {
        return temporaryFolder.substr(0, 1) + ":\\";
    }
    if (!temporaryFolder.empty() && temporaryFolder[0] == '/') return temporaryFolder;
    return std::nullopt;
}

DiskSpace QueryDiskSpace(SystemServices& services) {
    DiskSpace space;
    const std::optional<std::string> folder = TemporaryFolder(services);
    if (!folder) return space;
    const std::optional<std::string> queried = DiskQueryFolder(*folder);
    if (!queried) return space;
    ULONGLONG freeToUser = 0;
    ULONGLONG total = 0;
    if (!services.GetDiskFreeSpaceExA(queried->c_str(), &freeToUser, &total, nullptr)) return space;
    space.total = static_cast<std::int64_t>(total);
    space.freeToUser = static_cast<std::int64_t>(freeToUser);
    return space;
}

std::optional<std::string> TestFilePath(SystemServices& services) {
    std::optional<std::string> folder = TemporaryFolder(services);
    if (!folder) return std::nullopt;
    return *folder + kTestFileName;
}

bool RunThroughputPass(SystemServices& services, const std::string& path, std::uint32_t blocks) {
    // The system deletes the file with its handle, so it goes with the
    // program however the program ends. A file already at the name is left
    // alone (the test deletes a leftover before its first pass): it can only
    // be another program's or the user's.
    const HANDLE handle = services.CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE);
    if (handle == INVALID_HANDLE_VALUE) return false;
    TestFile file(services, path, handle);

    // One buffer for every call; its content does not matter.
    std::array<BYTE, kThroughputBlockBytes> block{};
    for (std::uint32_t i = 0; i < blocks; ++i) {
        DWORD written = 0;
        if (!services.WriteFile(handle, block.data(), kThroughputBlockBytes, &written)) {
            const DWORD code = services.GetLastError();
            throw EInOutError(IsDiskFullCode(code) ? EInOutError::kDiskFull : static_cast<int>(code));
        }
        if (written != kThroughputBlockBytes) throw EInOutError(EInOutError::kDiskFull);
    }
    if (services.SetFilePointer(handle, 0, FILE_BEGIN) != 0) {
        throw EInOutError(static_cast<int>(services.GetLastError()));
    }
    for (std::uint32_t i = 0; i < blocks; ++i) {
        DWORD read = 0;
        if (!services.ReadFile(handle, block.data(), kThroughputBlockBytes, &read)) {
            throw EInOutError(static_cast<int>(services.GetLastError()));
        }
        if (read != kThroughputBlockBytes) throw EInOutError(EInOutError::kReadBeyondEndOfFile);
    }
    file.Close();
    file.DeleteIfPresent();
    return true;
}

}  // namespace vx
