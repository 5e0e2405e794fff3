// The Windows services against the system they run on (Wine in the test
// run): the records filled as the program reads them, the test file's
// guarantees, and the described outcome where Wine answers differently
// from Windows.
#include "platform/win32/win32_system_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "checks/test_env.h"
#include "platform/win32/gdi_glyphs.h"
#include "platform/win32/win32_system_yardstick.h"
#include "sysinfo/processor_load.h"

namespace vx::win {
namespace {

TEST(Win32SystemServicesTest, VersionMemoryNamesAndScreenFillTheProgramsRecords) {
    Win32SystemServices services;
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version - 1;
    EXPECT_FALSE(services.GetVersionExA(&version));
    EXPECT_EQ(version.dwMajorVersion, 0u) << "a record of the wrong size is left alone";
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(services.GetVersionExA(&version));
    EXPECT_EQ(version.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_GE(version.dwMajorVersion, 5u);

    MEMORYSTATUS memory{};
    services.GlobalMemoryStatus(&memory);
    EXPECT_EQ(memory.dwLength, 32u);
    EXPECT_GT(memory.dwTotalPhys, 0u);
    EXPECT_LE(memory.dwTotalPhys, 0x7FFFFFFFu) << "as the 32-bit program is told";
    EXPECT_LE(memory.dwAvailPhys, memory.dwTotalPhys);
    EXPECT_LE(memory.dwMemoryLoad, 100u);
    EXPECT_GE(memory.dwTotalPageFile, memory.dwTotalPhys) << "the commit limit holds memory and paging files";

    SYSTEM_INFO system{};
    services.GetSystemInfo(&system);
    EXPECT_GE(system.dwNumberOfProcessors, 1u);
    EXPECT_EQ(system.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_INTEL) << "a 32-bit program's view";

    struct NameCase {
        const char* what;
        BOOL (Win32SystemServices::*call)(char*, DWORD*);
    };
    for (const NameCase& c :
         {NameCase{"computer", &Win32SystemServices::GetComputerNameA}, NameCase{"user", &Win32SystemServices::GetUserNameA}}) {
        char name[300] = {};
        DWORD size = sizeof name;
        EXPECT_TRUE((services.*c.call)(name, &size)) << c.what;
        EXPECT_GT(std::strlen(name), 0u) << c.what;
        DWORD tooSmall = 1;
        char one[1] = {};
        EXPECT_FALSE((services.*c.call)(one, &tooSmall)) << c.what;
        EXPECT_GT(tooSmall, 1u) << c.what << ": the size needed";
        DWORD none = 0;
        EXPECT_FALSE((services.*c.call)(nullptr, nullptr)) << c.what;
        EXPECT_FALSE((services.*c.call)(nullptr, &none) && none == 0) << c.what;
    }

    const HDC screen = services.GetDC(HWND{});
    ASSERT_NE(screen, HDC{});
    EXPECT_GT(services.GetDeviceCaps(screen, HORZRES), 0);
    EXPECT_GE(services.GetDeviceCaps(screen, BITSPIXEL), 8);
    EXPECT_GE(services.GetDeviceCaps(screen, VREFRESH), 0);
    EXPECT_EQ(services.ReleaseDC(HWND{}, screen), 1);
    EXPECT_EQ(services.GetDeviceCaps(HDC{}, HORZRES), 0);
}

// A screen of 256 colours (Wine's on an 8-bit X display) has a system
// palette, the platform's fixed colours at both ends; a screen of more
// colours has none to give.
TEST(Win32SystemServicesTest, SystemPaletteOfTheScreen) {
    Win32SystemServices services;
    const HDC screen = services.GetDC(HWND{});
    ASSERT_NE(screen, HDC{});
    const bool hasPalette = (services.GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
    std::vector<PALETTEENTRY> entries(256);
    const UINT copied = services.GetSystemPaletteEntries(screen, 0, 256, entries.data());
    // scripts/test-windows.sh runs this test on a display of 256 colours too, and reads which case it was.
    std::printf("screen palette: %s\n", hasPalette ? "256 entries" : "none (more than 256 colours)");
    if (hasPalette) {
        EXPECT_EQ(services.GetSystemPaletteEntries(screen, 0, 256, nullptr), 256u);
        ASSERT_EQ(copied, 256u);
        auto rgb = [&](std::size_t i) {
            return std::uint32_t{entries[i].peRed} << 16 | std::uint32_t{entries[i].peGreen} << 8 | entries[i].peBlue;
        };
        struct Fixed {
            std::size_t index;
            std::uint32_t colour;
        };
        const Fixed fixed[] = {{0, 0x000000}, {1, 0x800000}, {9, 0xA6CAF0}, {246, 0xFFFBF0}, {249, 0xFF0000}, {255, 0xFFFFFF}};
        for (const Fixed& f : fixed) EXPECT_EQ(rgb(f.index), f.colour) << f.index;
        EXPECT_EQ(services.GetSystemPaletteEntries(screen, 250, 10, entries.data()), 6u) << "up to the table's end";
    } else {
        EXPECT_EQ(copied, 0u);
    }
    EXPECT_EQ(services.ReleaseDC(HWND{}, screen), 1);
    EXPECT_EQ(services.GetSystemPaletteEntries(HDC{}, 0, 256, entries.data()), 0u);
}

// The test file itself keeps the contract of create_file_contract_test.cpp.
TEST(Win32SystemServicesTest, TheTemporaryFolderAndItsDisk) {
    Win32SystemServices services;
    char folder[MAX_PATH + 1] = {};
    const DWORD length = services.GetTempPathA(sizeof folder, folder);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(folder[length - 1], '\\');
    EXPECT_EQ(services.GetTempPathA(1, folder), length + 1) << "a short buffer gets the size needed";

    ULONGLONG available = 0, total = 0, free = 0;
    ASSERT_TRUE(services.GetDiskFreeSpaceExA(folder, &available, &total, &free));
    EXPECT_GT(total, 0u);
    EXPECT_LE(free, total);
    EXPECT_TRUE(services.GetDiskFreeSpaceExA(folder, nullptr, nullptr, nullptr));
}

// A file the user already has under the test file's name and another one
// is refused, whether it would be emptied or kept, and stays as it was:
// only a file the services made themselves is taken away again.
TEST(Win32SystemServicesTest, AnExistingFileWithASecondNameIsRefusedAndKept) {
    test::TempDir dir;
    ASSERT_TRUE(dir.Ok());
    std::ofstream(dir / "precious") << "keep me";
    std::error_code error;
    std::filesystem::create_hard_link(dir / "precious", dir / "AVITest.tmp", error);
    if (error) GTEST_SKIP() << "a second name cannot be made here: " << error.message();
    Win32SystemServices services;
    for (const DWORD disposition : {CREATE_ALWAYS, OPEN_ALWAYS}) {
        EXPECT_EQ(services.CreateFileA((dir / "AVITest.tmp").c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, disposition, FILE_ATTRIBUTE_NORMAL),
                  INVALID_HANDLE_VALUE)
            << disposition;
        EXPECT_EQ(services.GetLastError(), ERROR_ACCESS_DENIED) << disposition;
        for (const char* name : {"precious", "AVITest.tmp"}) {
            std::ifstream in(dir / name);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep me") << disposition << " " << name;
        }
    }
}

// The reason of a launch that failed is ShellExecuteA's own answer, never
// what an earlier call left behind (here "access denied", which the window
// would report as a tool that will not start rather than a missing one).
TEST(Win32SystemServicesTest, AFailedLaunchGivesItsOwnReason) {
    test::TempDir dir;
    ASSERT_TRUE(dir.Ok());
    std::ofstream(dir / "advice.vidorex-unknown") << "no program opens this";
    struct Case {
        const char* name;
        std::string file;
        DWORD error;
    };
    for (const Case& c : {Case{"a program the system lacks", "vidorex-no-such-tool.exe", ERROR_FILE_NOT_FOUND},
                          Case{"a document nothing opens", dir / "advice.vidorex-unknown", ERROR_NO_ASSOCIATION}}) {
        SCOPED_TRACE(c.name);
        Win32SystemServices services;
        EXPECT_EQ(services.CreateFileA(dir.Path().c_str(), GENERIC_READ, 0, OPEN_EXISTING, 0), INVALID_HANDLE_VALUE);
        ASSERT_EQ(services.GetLastError(), ERROR_ACCESS_DENIED);
        EXPECT_LE(HandleValue(services.ShellExecuteA(HWND{}, "open", c.file.c_str(), nullptr, "", SW_SHOW)), 32u);
        EXPECT_EQ(services.GetLastError(), c.error);
    }
}

// A processor's load over an interval as the kernel counts it, from its
// "cpuN" line of /proc/stat, which a program under Wine reads through the
// drive that Wine maps to the root folder.
struct KernelTimes {
    double busy = 0;
    double all = 0;
};
std::optional<KernelTimes> KernelTimesOf(unsigned processor) {
    std::ifstream stat("Z:\\proc\\stat");
    const std::string name = "cpu" + std::to_string(processor);
    for (std::string line; std::getline(stat, line);) {
        std::istringstream fields(line);
        std::string first;
        fields >> first;
        if (first != name) continue;
        double value = 0;
        KernelTimes times;
        for (int field = 0; field < 8 && fields >> value; ++field) {
            times.all += value;
            if (field != 3 && field != 4) times.busy += value;  // idle and iowait are not
        }
        return times;
    }
    return std::nullopt;
}

// Windows has the "Processor" object in its performance data. Wine has none
// of its own: the test prefix registers the program's provider of it
// (scripts/wine-prefix.sh), whose loads must agree with the kernel's. A
// Wine prefix without it answers a block without objects, which the sampler
// must report, not crash on.
TEST(Win32SystemServicesTest, PerformanceDataAsTheSamplerReadsIt) {
    Win32SystemServices services;
    std::vector<BYTE> block(1 << 16);
    LONG status = ERROR_MORE_DATA;
    for (int attempt = 0; status == ERROR_MORE_DATA && attempt < 8; ++attempt) {
        DWORD size = static_cast<DWORD>(block.size());
        status = services.RegQueryValueExA(HKEY_PERFORMANCE_DATA, "238", nullptr, nullptr, block.data(), &size);
        if (status == ERROR_MORE_DATA) block.resize(block.size() * 2);
    }
    services.RegCloseKey(HKEY_PERFORMANCE_DATA);
    ASSERT_EQ(status, ERROR_SUCCESS);
    PERF_DATA_BLOCK header{};
    std::memcpy(&header, block.data(), sizeof header);
    EXPECT_EQ(std::u16string(header.Signature, 4), u"PERF");

    HKEY provider{};
    const bool providerRegistered =
        services.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\VidorexCounters\\Performance", 0,
                               KEY_READ, &provider) == ERROR_SUCCESS;
    if (providerRegistered) services.RegCloseKey(provider);
    if (header.NumObjectTypes == 0) {
        EXPECT_FALSE(providerRegistered) << "the registered provider added no object";
        try {
            ProcessorLoadSampler::Session session(services);
            ProcessorLoadSampler::TakeSample();
            ADD_FAILURE() << "a sample without the Processor object";
        } catch (const ProcessorLoadSampler::EProcessorLoadError& e) {
            EXPECT_NE(std::string(e.what()).find("\"Processor\""), std::string::npos) << e.what();
        }
        return;
    }

    // Processor 0, the one the disk test reads, kept busy for a second.
    ProcessorLoadSampler::Session session(services);
    const std::optional<KernelTimes> kernelBefore = KernelTimesOf(0);
    ProcessorLoadSampler::TakeSample();
    ASSERT_TRUE(dx::testing::SpinOnProcessor(0, 1000));
    ProcessorLoadSampler::TakeSample();
    const std::optional<KernelTimes> kernelAfter = KernelTimesOf(0);
    const double load = ProcessorLoadSampler::GetLoad(0);
    if (kernelBefore && kernelAfter && kernelAfter->all > kernelBefore->all) {
        const double kernelLoad = (kernelAfter->busy - kernelBefore->busy) / (kernelAfter->all - kernelBefore->all);
        std::printf("processor 0 while it spins: %.3f, the kernel's %.3f\n", load, kernelLoad);
        EXPECT_NEAR(load, kernelLoad, 0.10);
    } else {
        std::printf("processor 0 while it spins: %.3f (no kernel figures to compare with)\n", load);
        EXPECT_GT(load, 0.5);
    }
    // Every processor and the total, each read once.
    int instances = 0;
    for (;; ++instances) {
        double each = 0;
        try {
            each = ProcessorLoadSampler::GetLoad(instances);
        } catch (const ProcessorLoadSampler::EProcessorLoadError&) {
            break;
        }
        std::printf("instance %d: %.3f\n", instances, each);
        EXPECT_GE(each, 0.0) << "instance " << instances;
        EXPECT_LE(each, 1.0) << "instance " << instances;
    }
    SYSTEM_INFO system{};
    services.GetSystemInfo(&system);
    EXPECT_EQ(instances, static_cast<int>(system.dwNumberOfProcessors) + 1) << "each processor and the total";
}

// GDI matches the families the window asks for; with Wine's fonts in the
// prefix the dialog and symbol fonts are themselves, raster or not.
TEST(GdiGlyphSourceTest, FamiliesResolveAndRenderOneBitGlyphs) {
    struct Row {
        const char* family;
        bool bold;
        const char* face;
    };
    for (const Row& row : {Row{"MS Sans Serif", false, "MS Sans Serif"}, Row{"MS Sans Serif", true, "MS Sans Serif"},
                           Row{"Tahoma", false, "Tahoma"}, Row{"Wingdings", false, "Wingdings"}}) {
        GdiGlyphSource source(row.family, -11, row.bold, false);
        ASSERT_TRUE(source.Valid()) << row.family;
        EXPECT_EQ(source.FaceName(), row.face);
        EXPECT_GT(source.Ascent(), source.Descent()) << row.family;
        const RasterGlyph letter = source.Render(U'W');
        EXPECT_GT(letter.advance, 0) << row.family;
        ASSERT_EQ(letter.bits.size(), static_cast<std::size_t>(letter.width * letter.height)) << row.family;
        EXPECT_NE(std::count(letter.bits.begin(), letter.bits.end(), 1), 0) << row.family;
        EXPECT_LE(letter.top, source.Ascent()) << row.family;
        const RasterGlyph space = source.Render(U' ');
        EXPECT_GT(space.advance, 0) << row.family;
        EXPECT_TRUE(space.bits.empty()) << row.family;
    }
    GdiGlyphSource regular("Arial", -11, false, false);
    GdiGlyphSource bold("Arial", -11, true, false);
    const RasterGlyph thick = bold.Render(U'H');
    const RasterGlyph thin = regular.Render(U'H');
    EXPECT_GT(std::count(thick.bits.begin(), thick.bits.end(), 1), std::count(thin.bits.begin(), thin.bits.end(), 1));
    EXPECT_GT(regular.Render(U'\u0105').advance, 0) << "Polish letters";

    // The window's Polish text in its dialog face: each letter with its own
    // mark, not the plain letter a Western code page would give.
    for (const char* family : {"MS Sans Serif", "Arial"}) {
        GdiGlyphSource face(family, -11, false, false);
        const RasterGlyph missing = face.Render(U'\uE000');  // the face's box for a letter it lacks
        const RasterGlyph z = face.Render(U'z'), zAcute = face.Render(U'\u017A');
        const RasterGlyph e = face.Render(U'e'), eOgonek = face.Render(U'\u0119');
        EXPECT_NE(zAcute.bits, missing.bits) << family << ": a z with its acute, not the box";
        EXPECT_NE(eOgonek.bits, missing.bits) << family << ": an e with its ogonek, not the box";
        EXPECT_GT(zAcute.top, z.top) << family << ": the acute above the z";
        EXPECT_GT(eOgonek.height - eOgonek.top, e.height - e.top) << family << ": the ogonek below the e";
    }
}

// The blank columns between each letter's ink and the next one's, with the
// word set letter by letter on the pens' advances, as the window sets it.
std::vector<int> GapsBetweenLetters(GdiGlyphSource& face, std::u32string_view word) {
    std::vector<int> gaps;
    std::optional<int> inkEnd;
    int pen = 0;
    for (const char32_t letter : word) {
        const RasterGlyph glyph = face.Render(letter);
        if (inkEnd) gaps.push_back(pen + glyph.left - *inkEnd);
        inkEnd = pen + glyph.left + glyph.width;
        pen += glyph.advance;
    }
    return gaps;
}

// Wine's dialog face has no Polish letters: they come from another face
// (GdiGlyphSourceTest above), whose own spacing opened a gap after each of
// them that read as a space ("ZAKOŃ CZONY", "Jeż eli"). No gap beside such
// a letter is wider than between the word's plain letters, nor do letters
// run into each other.
TEST(GdiGlyphSourceTest, LettersFromAnotherFaceKeepTheWordTogether) {
    const std::u32string_view words[] = {U"ZAKO\u0143CZONY", U"Je\u017Celi",  U"te\u015Bcie", U"kt\u00F3rym\u015B",
                                         U"podpowied\u017A", U"uzyska\u0107", U"ma\u0142y"};
    for (const bool bold : {false, true}) {
        GdiGlyphSource face("MS Sans Serif", -11, bold, false);
        for (std::size_t w = 0; w < std::size(words); ++w) {
            SCOPED_TRACE(::testing::Message() << (bold ? "bold" : "regular") << ", word " << w);
            const std::u32string_view word = words[w];
            const std::vector<int> gaps = GapsBetweenLetters(face, word);
            auto plain = [&](std::size_t i) { return word[i] < 0x80 && word[i + 1] < 0x80; };
            int widestPlain = 0;
            for (std::size_t i = 0; i < gaps.size(); ++i) {
                if (plain(i)) widestPlain = std::max(widestPlain, gaps[i]);
            }
            for (std::size_t i = 0; i < gaps.size(); ++i) {
                if (plain(i)) continue;
                EXPECT_LE(gaps[i], widestPlain) << "after letter " << i;
                EXPECT_GE(gaps[i], 0) << "after letter " << i;
            }
        }
    }
}

}  // namespace
}  // namespace vx::win
