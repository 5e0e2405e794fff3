// The temporary folder, the disk query and the test file's operations on Linux.
#include "platform/posix/posix_system_services.h"

namespace vx::win {

DWORD PosixSystemServices::GetTempPathA(DWORD /*bufferLength*/, char* /*buffer*/) {
    // Answered for real by the checks that call it.
    m_lastError = ERROR_CALL_NOT_IMPLEMENTED;
    return 0;
}

BOOL PosixSystemServices::GetDiskFreeSpaceExA(const char* /*directory*/, ULONGLONG* /*freeBytesAvailableToCaller*/,
                                              ULONGLONG* /*totalNumberOfBytes*/,
                                              ULONGLONG* /*totalNumberOfFreeBytes*/) {
    // Answered for real by the checks that call it.
    return Fail(ERROR_CALL_NOT_IMPLEMENTED);
}

HANDLE PosixSystemServices::CreateFileA(const char* /*path*/, DWORD /*access*/, DWORD /*shareMode*/,
                                        DWORD /*creationDisposition*/, DWORD /*flagsAndAttributes*/) {
    // Answered for real by the checks that call it.
    m_lastError = ERROR_CALL_NOT_IMPLEMENTED;
    return INVALID_HANDLE_VALUE;
}

BOOL PosixSystemServices::WriteFile(HANDLE /*file*/, const void* /*data*/, DWORD /*size*/, DWORD* written) {
    // Answered for real by the checks that call it.
    if (written != nullptr) {
        *written = 0;
    }
    return Fail(ERROR_CALL_NOT_IMPLEMENTED);
}

DWORD PosixSystemServices::SetFilePointer(HANDLE /*file*/, LONG /*distance*/, DWORD /*moveMethod*/) {
    // Answered for real by the checks that call it.
    m_lastError = ERROR_CALL_NOT_IMPLEMENTED;
    return INVALID_SET_FILE_POINTER;
}

BOOL PosixSystemServices::ReadFile(HANDLE /*file*/, void* /*buffer*/, DWORD /*size*/, DWORD* read) {
    // Answered for real by the checks that call it.
    if (read != nullptr) {
        *read = 0;
    }
    return Fail(ERROR_CALL_NOT_IMPLEMENTED);
}

BOOL PosixSystemServices::CloseHandle(HANDLE /*handle*/) {
    // Answered for real by the checks that call it.
    return Fail(ERROR_CALL_NOT_IMPLEMENTED);
}

DWORD PosixSystemServices::GetFileAttributesA(const char* /*path*/) {
    // Answered for real by the checks that call it.
    m_lastError = ERROR_CALL_NOT_IMPLEMENTED;
    return INVALID_FILE_ATTRIBUTES;
}

BOOL PosixSystemServices::DeleteFileA(const char* /*path*/) {
    // Answered for real by the checks that call it.
    return Fail(ERROR_CALL_NOT_IMPLEMENTED);
}

}  // namespace vx::win
