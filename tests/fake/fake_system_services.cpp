// Sections: Helpers; Version and time; Memory, processors, names; Display; Registry; Temporary
//   folder and disk; Files; Shell.
#include "fake/fake_system_services.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/file_time.h"

namespace vx::test {

using namespace vx::win;

namespace {

std::string OrEmpty(const char* text) { return text == nullptr ? std::string{} : std::string{text}; }

std::string WithoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) {
        path.pop_back();
    }
    return path;
}

std::vector<BYTE> DwordBytes(DWORD value) {
    return {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
            static_cast<BYTE>(value >> 24)};
}

const std::map<HKEY, std::string>& PredefinedKeys() {
    static const std::map<HKEY, std::string> keys{{HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
                                                  {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
                                                  {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
                                                  {HKEY_USERS, "HKEY_USERS"},
                                                  {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"},
                                                  {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
                                                  {HKEY_DYN_DATA, "HKEY_DYN_DATA"}};
    return keys;
}

// Copies name and its zero when it fits in *size chars.
bool CopyName(const std::string& name, char* buffer, DWORD size) {
    if (buffer == nullptr || size < name.size() + 1) {
        return false;
    }
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return true;
}

}  // namespace

BOOL FakeSystemServices::Fail(DWORD error) {
    lastError = error;
    return FALSE;
}

// ---------------------------------------------------------------- Helpers

void FakeSystemServices::SetRegistryDword(const std::string& keyPath, const std::string& valueName, DWORD value) {
    registry[keyPath][valueName] = FakeRegistryValue{REG_DWORD, DwordBytes(value)};
}

void FakeSystemServices::SetRegistryBinary(const std::string& keyPath, const std::string& valueName, std::vector<BYTE> data) {
    registry[keyPath][valueName] = FakeRegistryValue{REG_BINARY, std::move(data)};
}

void FakeSystemServices::SetDynDataCpuUsage(DWORD percent) {
    // Reading StartStat starts the sampling; its data means nothing.
    SetRegistryBinary(kDynDataStartStatKey, kDynDataCpuUsageValue, DwordBytes(0));
    SetRegistryBinary(kDynDataStatDataKey, kDynDataCpuUsageValue, DwordBytes(percent));
    SetRegistryBinary(kDynDataStopStatKey, kDynDataCpuUsageValue, DwordBytes(0));
}

std::string FakeSystemServices::FileText(const std::string& path) const {
    const auto found = files.find(path);
    if (found == files.end()) {
        return {};
    }
    return {found->second.contents.begin(), found->second.contents.end()};
}

// ---------------------------------------------------------------- Version and time

BOOL FakeSystemServices::GetVersionExA(OSVERSIONINFOA* info) {
    if (info == nullptr || failGetVersion) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    info->dwMajorVersion = versionMajor;
    info->dwMinorVersion = versionMinor;
    info->dwBuildNumber = versionBuild;
    info->dwPlatformId = platformId;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    std::memcpy(info->szCSDVersion, csdVersion.data(), std::min(csdVersion.size(), sizeof info->szCSDVersion - 1));
    return TRUE;
}

void FakeSystemServices::GetLocalTime(SYSTEMTIME* time) {
    if (time == nullptr) {
        return;
    }
    if (localTimeReadings.empty()) {
        *time = localTime;
        return;
    }
    *time = localTimeReadings.front();
    localTimeReadings.pop_front();
}

DWORD FakeSystemServices::GetTickCount() {
    const DWORD now = tickCount;
    tickCount += tickStep;
    return now;
}

DWORD FakeSystemServices::timeGetTime() { return GetTickCount(); }

BOOL FakeSystemServices::SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime) {
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

// ---------------------------------------------------------------- Memory, processors, names

void FakeSystemServices::GlobalMemoryStatus(MEMORYSTATUS* status) {
    if (status != nullptr) {
        *status = memoryStatus;
        status->dwLength = sizeof(MEMORYSTATUS);
    }
}

void FakeSystemServices::GetSystemInfo(SYSTEM_INFO* info) {
    if (info != nullptr) {
        *info = systemInfo;
    }
}

BOOL FakeSystemServices::GetComputerNameA(char* buffer, DWORD* size) {
    if (size == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (computerNameError != ERROR_SUCCESS) {
        return Fail(computerNameError);
    }
    if (!CopyName(computerName, buffer, *size)) {
        *size = static_cast<DWORD>(computerName.size() + 1);
        return Fail(ERROR_BUFFER_OVERFLOW);
    }
    *size = static_cast<DWORD>(computerName.size());
    return TRUE;
}

BOOL FakeSystemServices::GetUserNameA(char* buffer, DWORD* size) {
    if (size == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (userNameError != ERROR_SUCCESS) {
        return Fail(userNameError);
    }
    const bool copied = CopyName(userName, buffer, *size);
    // Unlike GetComputerNameA, the count includes the zero either way.
    *size = static_cast<DWORD>(userName.size() + 1);
    return copied ? TRUE : Fail(ERROR_INSUFFICIENT_BUFFER);
}

// ---------------------------------------------------------------- Display

HDC FakeSystemServices::GetDC(HWND /*window*/) {
    if (failGetDC) {
        return HDC{};
    }
    const std::uintptr_t dc = NextHandle();
    m_openDeviceContexts.insert(dc);
    return static_cast<HDC>(dc);
}

int FakeSystemServices::GetDeviceCaps(HDC dc, int index) {
    if (!m_openDeviceContexts.contains(HandleValue(dc))) {
        return 0;
    }
    const auto found = deviceCaps.find(index);
    return found == deviceCaps.end() ? 0 : found->second;
}

int FakeSystemServices::ReleaseDC(HWND /*window*/, HDC dc) { return m_openDeviceContexts.erase(HandleValue(dc)) == 1 ? 1 : 0; }

UINT FakeSystemServices::GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY* entries) {
    if (!m_openDeviceContexts.contains(HandleValue(dc))) {
        return 0;
    }
    const auto size = static_cast<UINT>(systemPalette.size());
    if (entries == nullptr) {
        return size;
    }
    if (start >= size) {
        return 0;
    }
    const UINT copied = std::min(count, size - start);
    std::copy_n(systemPalette.begin() + start, copied, entries);
    return copied;
}

// ---------------------------------------------------------------- Registry

std::optional<std::string> FakeSystemServices::KeyPath(HKEY key) const {
    if (const auto predefined = PredefinedKeys().find(key); predefined != PredefinedKeys().end()) {
        return predefined->second;
    }
    if (const auto open = m_openKeys.find(HandleValue(key)); open != m_openKeys.end()) {
        return open->second;
    }
    return std::nullopt;
}

bool FakeSystemServices::KeyExists(const std::string& path) const {
    const std::string below = path + "\\";
    return std::any_of(registry.begin(), registry.end(),
                       [&](const auto& entry) { return entry.first == path || entry.first.starts_with(below); });
}

LONG FakeSystemServices::RegOpenKeyExA(HKEY key, const char* subKey, DWORD /*options*/, DWORD /*samDesired*/, HKEY* result) {
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = HKEY{};
    if (!registryOpenResults.empty()) {
        const LONG scripted = registryOpenResults.front();
        registryOpenResults.pop_front();
        if (scripted != static_cast<LONG>(ERROR_SUCCESS)) {
            return scripted;
        }
    }
    const std::optional<std::string> parent = KeyPath(key);
    if (!parent) {
        return ERROR_INVALID_HANDLE;
    }
    const std::string child = OrEmpty(subKey);
    const std::string path = child.empty() ? *parent : *parent + "\\" + child;
    if (!KeyExists(path)) {
        return ERROR_FILE_NOT_FOUND;
    }
    const std::uintptr_t handle = NextHandle();
    m_openKeys[handle] = path;
    *result = static_cast<HKEY>(handle);
    return ERROR_SUCCESS;
}

LONG FakeSystemServices::RegQueryValueExA(HKEY key, const char* valueName, DWORD* /*reserved*/, DWORD* type, BYTE* data,
                                          DWORD* dataSize) {
    ++registryQueryCount;
    if (!registryQueryResults.empty()) {
        const LONG scripted = registryQueryResults.front();
        registryQueryResults.pop_front();
        if (scripted != static_cast<LONG>(ERROR_SUCCESS)) {
            return scripted;
        }
    }
    const std::optional<std::string> path = KeyPath(key);
    if (!path) {
        return ERROR_INVALID_HANDLE;
    }
    if (data != nullptr && dataSize == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const auto values = registry.find(*path);
    if (values == registry.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    const auto value = values->second.find(OrEmpty(valueName));
    if (value == values->second.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (type != nullptr) {
        *type = value->second.type;
    }
    const auto& bytes = value->second.data;
    const auto needed = static_cast<DWORD>(bytes.size());
    if (data == nullptr) {
        if (dataSize != nullptr) {
            *dataSize = needed;
        }
        return ERROR_SUCCESS;
    }
    if (*dataSize < needed) {
        // The performance key does not say how much it needs: callers must
        // grow the buffer and ask again.
        if (key != HKEY_PERFORMANCE_DATA) {
            *dataSize = needed;
        }
        return ERROR_MORE_DATA;
    }
    std::copy(bytes.begin(), bytes.end(), data);
    *dataSize = needed;
    return ERROR_SUCCESS;
}

LONG FakeSystemServices::RegCloseKey(HKEY key) {
    if (PredefinedKeys().contains(key) || m_openKeys.erase(HandleValue(key)) == 1) {
        return ERROR_SUCCESS;
    }
    return ERROR_INVALID_HANDLE;
}

// ---------------------------------------------------------------- Temporary folder and disk

DWORD FakeSystemServices::GetTempPathA(DWORD bufferLength, char* buffer) {
    if (tempPathError != ERROR_SUCCESS) {
        lastError = tempPathError;
        return 0;
    }
    if (!CopyName(tempPath, buffer, bufferLength)) {
        return static_cast<DWORD>(tempPath.size() + 1);
    }
    return static_cast<DWORD>(tempPath.size());
}

BOOL FakeSystemServices::GetDiskFreeSpaceExA(const char* directory, ULONGLONG* freeBytesAvailableToCaller,
                                             ULONGLONG* totalNumberOfBytes, ULONGLONG* totalNumberOfFreeBytes) {
    lastDiskFreeSpaceDirectory = OrEmpty(directory);
    if (diskFreeSpaceError != ERROR_SUCCESS) {
        return Fail(diskFreeSpaceError);
    }
    if (freeBytesAvailableToCaller != nullptr) {
        *freeBytesAvailableToCaller = diskFreeToCaller;
    }
    if (totalNumberOfBytes != nullptr) {
        *totalNumberOfBytes = diskTotal;
    }
    if (totalNumberOfFreeBytes != nullptr) {
        *totalNumberOfFreeBytes = diskFree;
    }
    return TRUE;
}

// ---------------------------------------------------------------- Files

std::pair<FakeSystemServices::OpenFile*, FakeFile*> FakeSystemServices::FindFile(HANDLE handle) {
    const auto open = m_openFiles.find(HandleValue(handle));
    if (open == m_openFiles.end()) {
        lastError = ERROR_INVALID_HANDLE;
        return {nullptr, nullptr};
    }
    const auto file = files.find(open->second.path);
    if (file == files.end()) {
        lastError = ERROR_INVALID_HANDLE;
        return {nullptr, nullptr};
    }
    return {&open->second, &file->second};
}

HANDLE FakeSystemServices::CreateFileA(const char* path, DWORD access, DWORD /*shareMode*/, DWORD creationDisposition,
                                       DWORD flagsAndAttributes) {
    const std::string name = OrEmpty(path);
    if (name.empty()) {
        lastError = ERROR_PATH_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    if (createFileError != ERROR_SUCCESS) {
        lastError = createFileError;
        return INVALID_HANDLE_VALUE;
    }
    const bool deleteOnClose = (flagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) != 0;
    if (deleteOnClose && creationDisposition != CREATE_NEW) {
        lastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    // As the platform answers: a folder at the name exists but is no file.
    if (directories.contains(WithoutTrailingSeparator(name))) {
        lastError = creationDisposition == CREATE_NEW ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    const std::size_t separator = name.find_last_of("/\\");
    if (!files.contains(name) && separator != std::string::npos && separator > 0 &&
        !directories.contains(name.substr(0, separator))) {
        lastError = ERROR_PATH_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    // A file that goes when its handle closes is no one else's to open.
    const bool doomed = std::any_of(m_openFiles.begin(), m_openFiles.end(),
                                    [&](const auto& entry) { return entry.second.path == name && entry.second.deleteOnClose; });
    if (doomed) {
        lastError = ERROR_SHARING_VIOLATION;
        return INVALID_HANDLE_VALUE;
    }
    const auto existing = files.find(name);
    const bool exists = existing != files.end();
    if (exists && (access & GENERIC_WRITE) != 0 && (existing->second.attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        lastError = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    DWORD successError = ERROR_SUCCESS;
    switch (creationDisposition) {
        case CREATE_NEW:
            if (exists) {
                lastError = ERROR_FILE_EXISTS;
                return INVALID_HANDLE_VALUE;
            }
            files[name] = FakeFile{};
            break;
        case CREATE_ALWAYS:
            successError = exists ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
            files[name].contents.clear();
            break;
        case OPEN_EXISTING:
            if (!exists) {
                lastError = ERROR_FILE_NOT_FOUND;
                return INVALID_HANDLE_VALUE;
            }
            break;
        case OPEN_ALWAYS:
            successError = exists ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
            files[name];
            break;
        case TRUNCATE_EXISTING:
            if (!exists) {
                lastError = ERROR_FILE_NOT_FOUND;
                return INVALID_HANDLE_VALUE;
            }
            existing->second.contents.clear();
            break;
        default:
            lastError = ERROR_INVALID_PARAMETER;
            return INVALID_HANDLE_VALUE;
    }
    lastError = successError;
    const std::uintptr_t handle = NextHandle();
    m_openFiles[handle] = OpenFile{name, access, deleteOnClose};
    return static_cast<HANDLE>(handle);
}

BOOL FakeSystemServices::WriteFile(HANDLE handle, const void* data, DWORD size, DWORD* written) {
    if (written != nullptr) {
        *written = 0;
    }
    const auto [open, file] = FindFile(handle);
    if (open == nullptr) {
        return FALSE;
    }
    if ((open->access & GENERIC_WRITE) == 0) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    if (writeFileError != ERROR_SUCCESS) {
        return Fail(writeFileError);
    }
    if (data == nullptr && size > 0) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    ULONGLONG room = size;
    if (diskFullAfterBytes) {
        room = *diskFullAfterBytes - std::min(bytesWritten, *diskFullAfterBytes);
    }
    const auto count = static_cast<DWORD>(std::min<ULONGLONG>(size, room));
    auto& contents = file->contents;
    if (contents.size() < open->position + count) {
        contents.resize(open->position + count);
    }
    if (count > 0) {
        std::memcpy(contents.data() + open->position, data, count);
    }
    open->position += count;
    bytesWritten += count;
    if (written != nullptr) {
        *written = count;
    }
    return count == size ? TRUE : Fail(diskFullError);
}

DWORD FakeSystemServices::SetFilePointer(HANDLE handle, LONG distance, DWORD moveMethod) {
    const auto [open, file] = FindFile(handle);
    if (open == nullptr) {
        return INVALID_SET_FILE_POINTER;
    }
    std::int64_t base = 0;
    switch (moveMethod) {
        case FILE_BEGIN:
            break;
        case FILE_CURRENT:
            base = static_cast<std::int64_t>(open->position);
            break;
        case FILE_END:
            base = static_cast<std::int64_t>(file->contents.size());
            break;
        default:
            lastError = ERROR_INVALID_PARAMETER;
            return INVALID_SET_FILE_POINTER;
    }
    const std::int64_t target = base + distance;
    if (target < 0) {
        lastError = ERROR_NEGATIVE_SEEK;
        return INVALID_SET_FILE_POINTER;
    }
    // Without a high half the position must fit in the returned DWORD.
    if (target >= static_cast<std::int64_t>(INVALID_SET_FILE_POINTER)) {
        lastError = ERROR_INVALID_PARAMETER;
        return INVALID_SET_FILE_POINTER;
    }
    open->position = static_cast<std::uint64_t>(target);
    return static_cast<DWORD>(target);
}

BOOL FakeSystemServices::ReadFile(HANDLE handle, void* buffer, DWORD size, DWORD* read) {
    if (read != nullptr) {
        *read = 0;
    }
    const auto [open, file] = FindFile(handle);
    if (open == nullptr) {
        return FALSE;
    }
    if ((open->access & GENERIC_READ) == 0) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    if (readFileError != ERROR_SUCCESS) {
        return Fail(readFileError);
    }
    if (buffer == nullptr && size > 0) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const auto& contents = file->contents;
    const std::uint64_t available = contents.size() - std::min<std::uint64_t>(open->position, contents.size());
    const auto count = static_cast<DWORD>(
        std::min<std::uint64_t>({size, available, shortReadBytes.value_or(std::numeric_limits<DWORD>::max())}));
    if (count > 0) {
        std::memcpy(buffer, contents.data() + open->position, count);
    }
    open->position += count;
    if (read != nullptr) {
        *read = count;
    }
    return TRUE;
}

BOOL FakeSystemServices::CloseHandle(HANDLE handle) {
    const auto open = m_openFiles.find(HandleValue(handle));
    if (open == m_openFiles.end()) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (open->second.deleteOnClose) {
        files.erase(open->second.path);
    }
    m_openFiles.erase(open);
    return TRUE;
}

DWORD FakeSystemServices::GetFileAttributesA(const char* path) {
    const std::string name = OrEmpty(path);
    if (directories.contains(WithoutTrailingSeparator(name))) {
        return FILE_ATTRIBUTE_DIRECTORY;
    }
    const auto found = files.find(name);
    if (found == files.end()) {
        lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_FILE_ATTRIBUTES;
    }
    return found->second.attributes;
}

BOOL FakeSystemServices::DeleteFileA(const char* path) {
    const std::string name = OrEmpty(path);
    if (deleteFileError != ERROR_SUCCESS) {
        return Fail(deleteFileError);
    }
    const auto found = files.find(name);
    if (found == files.end()) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    if ((found->second.attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    const bool inUse =
        std::any_of(m_openFiles.begin(), m_openFiles.end(), [&](const auto& entry) { return entry.second.path == name; });
    if (inUse) {
        return Fail(ERROR_SHARING_VIOLATION);
    }
    files.erase(found);
    return TRUE;
}

// ---------------------------------------------------------------- Shell

HINSTANCE FakeSystemServices::ShellExecuteA(HWND window, const char* operation, const char* file, const char* parameters,
                                            const char* directory, int showCommand) {
    shellExecuteCalls.push_back(
        {window, OrEmpty(operation), OrEmpty(file), OrEmpty(parameters), OrEmpty(directory), showCommand});
    return shellExecuteResult;
}

}  // namespace vx::test
