// The disk checks' file work: the temporary folder, the free-space query of
// the disk that holds it, and one pass of the throughput test on its test
// file, all through the system services.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "checks/scores.h"
#include "platform/system_services.h"

namespace vx {

// An input/output error of the test file, with the message the user sees:
// "Disk full", "Read beyond end of file" or "I/O error N", N being the
// system's error code.
class EInOutError : public std::runtime_error {
public:
    // The codes of the two errors that have their own text; any other code
    // is the system's.
    static constexpr int kReadBeyondEndOfFile = 100;
    static constexpr int kDiskFull = 101;

    explicit EInOutError(int errorCode);
    int ErrorCode() const { return m_errorCode; }

private:
    int m_errorCode;
};

constexpr win::DWORD kTempPathBufferChars = 255;
constexpr const char* kTestFileName = "AVITest.tmp";
constexpr std::uint32_t kThroughputBlocks = 102301;
constexpr win::DWORD kThroughputBlockBytes = 1023;

// The temporary folder as GetTempPathA gives it, closing separator
// included; nothing when the call fails or the path does not fit the
// 255-character buffer (a cut path would name another folder).
std::optional<std::string> TemporaryFolder(win::SystemServices& services);

// The folder whose disk the free-space query asks about: for a path that
// begins with a drive letter the drive's root ("C:\"), for a path from the
// file system's root the folder itself; nothing for any other path.
std::optional<std::string> DiskQueryFolder(const std::string& temporaryFolder);

// Total and user-available bytes of the disk that holds the temporary
// folder; both -1 when the folder is unknown or the query fails.
DiskSpace QueryDiskSpace(win::SystemServices& services);

// The test file's path: the temporary folder followed by "AVITest.tmp";
// nothing when the temporary folder is unknown.
std::optional<std::string> TestFilePath(win::SystemServices& services);

// One pass of the throughput test: create the file new, to be deleted by
// the system when it is closed, write `blocks` blocks of 1023 bytes (one
// call each), move back to the start, read them back (one call each), close
// it and delete it if it is still there. Returns false, having done nothing
// else, when the file cannot be created, a file at the name included. Any
// later failure raises EInOutError after the file has been closed and
// deleted, so that a full disk is not left fuller.
bool RunThroughputPass(win::SystemServices& services, const std::string& path, std::uint32_t blocks = kThroughputBlocks);

}  // namespace vx
