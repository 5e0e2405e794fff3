// The system information snapshot on a scripted machine.
#include "sysinfo/sys_info.h"

#include <gtest/gtest.h>

#include <string>

#include "fake/fake_system_services.h"

namespace vx {
namespace {

using namespace vx::win;
using test::FakeSystemServices;

// The snapshot is taken when loading ends, as for the main window's copy.
struct Snapshot {
    explicit Snapshot(FakeSystemServices& services) : info(nullptr, services) { info.Loaded(); }
    TglSysInfo info;
};

TEST(TglSysInfoTest, ScreenCapabilities) {
    struct Case {
        int bitsPerPixel;
        int refresh;
        int width;
        int height;
        int pixelsPerInch;
        const char* resolution;
        const char* systemFont;
    };
    const Case cases[] = {
        {32, 85, 1024, 768, 96, "1024x768", "SmallFont"},
        {16, 1, 800, 600, 120, "800x600", "BigFont"},  // 1: the hardware's default rate, passed on as is
        {24, 0, 1920, 1080, 144, "1920x1080", ""},     // neither small nor big fonts
        {8, 60, 640, 480, 72, "640x480", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.resolution);
        FakeSystemServices services;
        services.deviceCaps = {{BITSPIXEL, c.bitsPerPixel}, {PLANES, 1},         {VREFRESH, c.refresh},
                               {HORZRES, c.width},          {VERTRES, c.height}, {LOGPIXELSX, c.pixelsPerInch}};
        Snapshot snapshot(services);
        EXPECT_EQ(snapshot.info.ColorDepth(), c.bitsPerPixel);
        EXPECT_EQ(snapshot.info.VRefreshRate(), c.refresh);
        EXPECT_EQ(snapshot.info.GraphicResolution(), c.resolution);
        EXPECT_EQ(snapshot.info.SystemFont(), c.systemFont);
        EXPECT_EQ(services.OpenDeviceContextCount(), 0u);
    }
}

TEST(TglSysInfoTest, WithoutAScreenEveryCapabilityReadsZero) {
    FakeSystemServices services;
    services.failGetDC = true;
    Snapshot snapshot(services);
    EXPECT_EQ(snapshot.info.ColorDepth(), 0);
    EXPECT_EQ(snapshot.info.VRefreshRate(), 0);
    EXPECT_EQ(snapshot.info.GraphicResolution(), "0x0");
    EXPECT_EQ(snapshot.info.SystemFont(), "");
}

TEST(TglSysInfoTest, ProcessorNameFollowsTheLevel) {
    struct Case {
        WORD level;
        const char* name;
    };
    const Case cases[] = {{3, "80386"}, {4, "80486"}, {5, "Pentium"}, {6, "Pentium Pro/Celeron"},
                          {15, "P15"},  {26, "P26"},  {0, "P0"},      {0xFFFF, "P65535"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystemServices services;
        services.systemInfo.wProcessorLevel = c.level;
        Snapshot snapshot(services);
        EXPECT_EQ(snapshot.info.CPUKind(), c.level);
        EXPECT_EQ(snapshot.info.CPUName(), c.name);
    }
}

TEST(TglSysInfoTest, PlatformNameOnlyForTheTwoFamilies) {
    struct Case {
        DWORD platformId;
        const char* name;
    };
    for (const Case c : {Case{VER_PLATFORM_WIN32_NT, "NT"}, Case{VER_PLATFORM_WIN32_WINDOWS, "95"}, Case{VER_PLATFORM_WIN32s, ""},
                         Case{3, ""}}) {
        SCOPED_TRACE(c.platformId);
        FakeSystemServices services;
        services.platformId = c.platformId;
        EXPECT_EQ(Snapshot(services).info.OSPlatform(), c.name);
    }
}

TEST(TglSysInfoTest, MemoryCountsPastTwoGigabytesStayPositive) {
    FakeSystemServices services;
    services.memoryStatus = MEMORYSTATUS{0, 37, 0x7FFFFFFF, 0x7FFF0000, 0xFFFFFFFF, 0xFFFF0000, 0x7FFE0000, 0x7FF00000};
    Snapshot snapshot(services);
    EXPECT_EQ(snapshot.info.MemoryLoad(), 37);
    EXPECT_EQ(snapshot.info.TotalPhys(), 2'147'483'647);
    EXPECT_EQ(snapshot.info.AvailPhys(), 2'147'418'112);
    EXPECT_EQ(snapshot.info.TotalPageFile(), 4'294'967'295);
    EXPECT_EQ(snapshot.info.AvailPageFile(), 4'294'901'760);
    EXPECT_EQ(snapshot.info.TotalVirtual(), 2'147'352'576);
    EXPECT_EQ(snapshot.info.AvailVirtual(), 2'146'435'072);
}

TEST(TglSysInfoTest, NamesFitTheirBufferOrReadEmpty) {
    struct Case {
        std::string name;
        DWORD error;
        std::string expected;
    };
    const std::string longest(31, 'a');  // with its zero, exactly the 32 chars offered
    const Case cases[] = {
        {"TESTPC", ERROR_SUCCESS, "TESTPC"},
        {longest, ERROR_SUCCESS, longest},
        {longest + "b", ERROR_SUCCESS, ""},
        {"TESTPC", ERROR_ACCESS_DENIED, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystemServices services;
        services.computerName = c.name;
        services.computerNameError = c.error;
        services.userName = c.name;
        services.userNameError = c.error;
        Snapshot snapshot(services);
        EXPECT_EQ(snapshot.info.ComputerName(), c.expected);
        EXPECT_EQ(snapshot.info.UserName(), c.expected);
    }
}

TEST(TglSysInfoTest, WritesChangeNothing) {
    FakeSystemServices services;
    Snapshot snapshot(services);
    snapshot.info.SetInteger(12345);
    snapshot.info.SetString("changed");
    EXPECT_EQ(snapshot.info.MemoryLoad(), 50);
    EXPECT_EQ(snapshot.info.TotalPhys(), 512ll << 20);
    EXPECT_EQ(snapshot.info.ColorDepth(), 32);
    EXPECT_EQ(snapshot.info.VRefreshRate(), 60);
    EXPECT_EQ(snapshot.info.CPUName(), "Pentium Pro/Celeron");
    EXPECT_EQ(snapshot.info.OSPlatform(), "NT");
    EXPECT_EQ(snapshot.info.ComputerName(), "TESTPC");
}

TEST(TglSysInfoTest, AnInstanceNotLoadedFromALayoutIsNeverFilled) {
    FakeSystemServices services;
    const TglSysInfo info(nullptr, services);
    EXPECT_EQ(info.MemoryLoad(), 0);
    EXPECT_EQ(info.TotalPhys(), 0);
    EXPECT_EQ(info.AvailVirtual(), 0);
    EXPECT_EQ(info.CPUKind(), 0);
    EXPECT_EQ(info.ColorDepth(), 0);
    EXPECT_EQ(info.VRefreshRate(), 0);
    for (const std::string* text : {&info.CPUName(), &info.SystemFont(), &info.OSPlatform(), &info.GraphicResolution(),
                                    &info.ComputerName(), &info.UserName()}) {
        EXPECT_EQ(*text, "");
    }
}

}  // namespace
}  // namespace vx
