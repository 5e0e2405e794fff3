#include "fake/fake_system_services.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vx::test {
namespace {
using namespace vx::win;

// CreateFileA's contract is create_file_contract_test.cpp's; here what the
// fake adds: faults on demand, and answers the contract leaves open.
TEST(FakeSystemServicesTest, DiskFullWritesWhatFitsThenFails) {
    FakeSystemServices fake;
    fake.diskFullAfterBytes = 10;
    const HANDLE file = fake.CreateFileA("/tmp/a", GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 99;
    EXPECT_EQ(fake.WriteFile(file, "123456", 6, &written), TRUE);
    EXPECT_EQ(written, 6u);
    EXPECT_EQ(fake.WriteFile(file, "abcdef", 6, &written), FALSE);
    EXPECT_EQ(written, 4u);
    EXPECT_EQ(fake.GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(fake.FileText("/tmp/a"), "123456abcd");
    EXPECT_EQ(fake.SetFilePointer(file, 0, FILE_BEGIN), 0u);
    fake.shortReadBytes = 3;
    char buffer[16] = {};
    DWORD read = 0;
    EXPECT_EQ(fake.ReadFile(file, buffer, sizeof buffer, &read), TRUE);
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(std::string(buffer, 3), "123");
    EXPECT_EQ(fake.DeleteFileA("/tmp/a"), FALSE);
    EXPECT_EQ(fake.GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(fake.CloseHandle(file), TRUE);
    EXPECT_EQ(fake.OpenFileCount(), 0u);
}

TEST(FakeSystemServicesTest, AHandleKeepsToItsAccessAndItsFile) {
    FakeSystemServices fake;
    const HANDLE h = fake.CreateFileA("/tmp/x", GENERIC_WRITE, 0, CREATE_NEW, 0);
    char c;
    DWORD moved = 5;
    EXPECT_EQ(fake.ReadFile(h, &c, 1, &moved), FALSE);
    EXPECT_EQ(fake.GetLastError(), ERROR_ACCESS_DENIED);
    fake.files.erase("/tmp/x");
    EXPECT_EQ(fake.WriteFile(h, "a", 1, &moved), FALSE);
    EXPECT_EQ(fake.GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(FakeSystemServicesTest, PerformanceDataGrowsOnMoreData) {
    FakeSystemServices fake;
    fake.SetRegistryBinary(FakeSystemServices::kPerformanceDataKey, "Global", std::vector<BYTE>(100, 7));
    fake.registryQueryResults = {ERROR_SUCCESS, static_cast<LONG>(ERROR_MORE_DATA)};
    std::vector<BYTE> buffer(10);
    DWORD size = 10;
    DWORD type = 0;
    EXPECT_EQ(fake.RegQueryValueExA(HKEY_PERFORMANCE_DATA, "Global", nullptr, &type, buffer.data(), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 10u);
    buffer.resize(200);
    size = 200;
    EXPECT_EQ(fake.RegQueryValueExA(HKEY_PERFORMANCE_DATA, "Global", nullptr, &type, buffer.data(), &size), ERROR_MORE_DATA);
    EXPECT_EQ(fake.RegQueryValueExA(HKEY_PERFORMANCE_DATA, "Global", nullptr, &type, buffer.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 100u);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(fake.registryQueryCount, 3);
    EXPECT_EQ(fake.RegCloseKey(HKEY_PERFORMANCE_DATA), ERROR_SUCCESS);
}

TEST(FakeSystemServicesTest, DynDataKeys) {
    FakeSystemServices fake;
    fake.SetDynDataCpuUsage(42);
    HKEY key{};
    EXPECT_EQ(fake.RegOpenKeyExA(HKEY_DYN_DATA, "PerfStats\\Nope", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, HKEY{});
    ASSERT_EQ(fake.RegOpenKeyExA(HKEY_DYN_DATA, "PerfStats", 0, KEY_READ, &key), ERROR_SUCCESS);
    HKEY stat{};
    ASSERT_EQ(fake.RegOpenKeyExA(key, "StatData", 0, KEY_READ, &stat), ERROR_SUCCESS);
    DWORD value = 0, size = 2;
    EXPECT_EQ(fake.RegQueryValueExA(stat, FakeSystemServices::kDynDataCpuUsageValue, nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(&value), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(fake.RegQueryValueExA(stat, FakeSystemServices::kDynDataCpuUsageValue, nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 42u);
    EXPECT_EQ(fake.OpenRegistryKeyCount(), 2u);
    EXPECT_EQ(fake.RegCloseKey(stat), ERROR_SUCCESS);
    EXPECT_EQ(fake.RegCloseKey(stat), static_cast<LONG>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(fake.RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(fake.RegQueryValueExA(stat, "x", nullptr, nullptr, nullptr, nullptr), static_cast<LONG>(ERROR_INVALID_HANDLE));
}

TEST(FakeSystemServicesTest, NamesAndPathsFollowTheBufferRules) {
    FakeSystemServices fake;
    char buffer[8];
    DWORD size = 6;
    EXPECT_EQ(fake.GetComputerNameA(buffer, &size), FALSE);
    EXPECT_EQ(fake.GetLastError(), ERROR_BUFFER_OVERFLOW);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(fake.GetComputerNameA(buffer, &size), TRUE);
    EXPECT_EQ(size, 6u);
    EXPECT_STREQ(buffer, "TESTPC");
    size = 6;
    EXPECT_EQ(fake.GetUserNameA(buffer, &size), FALSE);
    EXPECT_EQ(fake.GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(fake.GetUserNameA(buffer, &size), TRUE);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(fake.GetTempPathA(3, buffer), 6u);
    EXPECT_EQ(fake.GetTempPathA(6, buffer), 5u);
    EXPECT_STREQ(buffer, "/tmp/");
    EXPECT_EQ(fake.GetComputerNameA(nullptr, nullptr), FALSE);
}

TEST(FakeSystemServicesTest, MiscRecorders) {
    FakeSystemServices fake;
    fake.tickCount = 0xFFFFFFFF;
    fake.tickStep = 2;
    EXPECT_EQ(fake.GetTickCount(), 0xFFFFFFFFu);
    EXPECT_EQ(fake.timeGetTime(), 1u);
    fake.localTimeReadings = {{2002, 1, 2, 1, 0, 0, 0, 0}};
    SYSTEMTIME t{};
    fake.GetLocalTime(&t);
    EXPECT_EQ(t.wYear, 2002);
    fake.GetLocalTime(&t);
    EXPECT_EQ(t.wYear, 2001);
    HDC dc = fake.GetDC(HWND{});
    EXPECT_EQ(fake.GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(fake.GetDeviceCaps(dc, 9999), 0);
    EXPECT_EQ(fake.ReleaseDC(HWND{}, dc), 1);
    EXPECT_EQ(fake.GetDeviceCaps(dc, BITSPIXEL), 0);
    EXPECT_EQ(fake.ReleaseDC(HWND{}, dc), 0);
    EXPECT_GT(HandleValue(fake.ShellExecuteA(HWND{}, "open", "http://x", nullptr, nullptr, SW_SHOW)), 32u);
    ASSERT_EQ(fake.shellExecuteCalls.size(), 1u);
    EXPECT_EQ(fake.shellExecuteCalls[0].file, "http://x");
    EXPECT_EQ(fake.shellExecuteCalls[0].parameters, "");
    MEMORYSTATUS m{};
    fake.GlobalMemoryStatus(&m);
    EXPECT_EQ(m.dwLength, sizeof m);
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    fake.csdVersion = std::string(300, 'S');
    EXPECT_EQ(fake.GetVersionExA(&v), TRUE);
    EXPECT_EQ(std::strlen(v.szCSDVersion), 127u);
}

}  // namespace
}  // namespace vx::test
