// The maintenance tools on Linux: which desktop program stands in for each
// platform tool, how it is found on the PATH, and that it really starts
// without a shell and is reaped once it ends.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/advice.h"
#include "checks/test_env.h"
#include "platform/posix/posix_shell.h"
#include "platform/posix/posix_system_services.h"

namespace vx::win {
namespace {

std::vector<std::string> Programs(const std::vector<ToolCandidate>& candidates) {
    std::vector<std::string> names;
    for (const ToolCandidate& candidate : candidates) names.push_back(candidate.program);
    return names;
}

// An executable stub that writes its name, its arguments and where its
// standard input comes from into OUT beside it (renamed into place, so a
// reader never sees half of it).
void Stub(const std::string& folder, const std::string& name) {
    const std::string path = folder + "/" + name;
    std::ofstream(path) << "#!/bin/sh\n"
                           "PATH=/usr/bin:/bin\n"
                           "out=\"$(dirname \"$0\")/OUT\"\n"
                           "printf '%s\\n' \"$(basename \"$0\")\" \"$@\" > \"$out.tmp\"\n"
                           "readlink /proc/$$/fd/0 >> \"$out.tmp\"\n"
                           "mv \"$out.tmp\" \"$out\"\n";
    ::chmod(path.c_str(), 0755);
}

TEST(ToolTableTest, EachPlatformToolHasItsDesktopStandIns) {
    struct Case {
        const char* file;
        const char* parameters;
        std::string first;
        std::vector<std::string> firstArguments;
    };
    for (const Case& c : {
             Case{kDiskCleanUp.file, "", "baobab", {}},
             Case{"CLEANMGR.EXE", "", "baobab", {}},
             Case{"C:\\WINDOWS\\system32\\cleanmgr.exe", "", "baobab", {}},
             Case{"dfrg.msc", "", "gnome-disks", {}},
             Case{"defrag.exe", "", "gnome-disks", {}},
             Case{kSystemProperties.file, kSystemProperties.parameters, "gnome-control-center", {"info-overview"}},
             Case{kDisplaySettings.file, kDisplaySettings.parameters, "gnome-control-center", {"display"}},
         }) {
        SCOPED_TRACE(std::string(c.file) + " " + c.parameters);
        const std::vector<ToolCandidate> candidates = ToolCandidates(c.file, c.parameters);
        ASSERT_FALSE(candidates.empty());
        EXPECT_EQ(candidates.front().program, c.first);
        EXPECT_EQ(candidates.front().arguments, c.firstArguments);
    }
    EXPECT_TRUE(ToolCandidates("rundll32.exe", "").empty()) << "no applet named";
    EXPECT_TRUE(ToolCandidates("notepad.exe", "").empty());
    EXPECT_TRUE(ToolCandidates("", "").empty());
}

TEST(ToolTableTest, TheCurrentDesktopsOwnToolsComeFirst) {
    const auto cleanup = ToolCandidates("cleanmgr.exe", "");
    EXPECT_EQ(Programs(PreferDesktop(cleanup, "KDE")),
              (std::vector<std::string>{"filelight", "k4dirstat", "baobab", "qdirstat", "bleachbit"}));
    EXPECT_EQ(Programs(PreferDesktop(cleanup, "")), Programs(cleanup));
    EXPECT_EQ(Programs(PreferDesktop(cleanup, "ubuntu:GNOME")), Programs(cleanup));
    const auto display = ToolCandidates(kDisplaySettings.file, kDisplaySettings.parameters);
    EXPECT_EQ(PreferDesktop(display, "xfce").front().program, "xfce4-display-settings");
    EXPECT_EQ(PreferDesktop(display, "X-Cinnamon").front().arguments, std::vector<std::string>{"display"});
}

TEST(FindOnPathTest, TheFirstExecutableFileInAnAbsoluteFolder) {
    test::TempDir root;
    std::filesystem::create_directories(root / "a/tool2");  // a folder is no program
    std::filesystem::create_directories(root / "b");
    std::ofstream(root / "a/tool") << "not executable";
    Stub(root / "b", "tool");
    Stub(root / "b", "tool2");
    const std::string path = root / "a" + ":" + root / "b";
    EXPECT_EQ(FindOnPath("tool", path), root / "b/tool");
    EXPECT_EQ(FindOnPath("tool2", path), root / "b/tool2");
    EXPECT_EQ(FindOnPath("tool", ":relative:" + root / "b/"), root / "b/tool");
    EXPECT_EQ(FindOnPath("missing", path), std::nullopt);
    EXPECT_EQ(FindOnPath("b/tool", root.Path()), std::nullopt) << "names only, no paths";
    EXPECT_EQ(FindOnPath("tool", ""), std::nullopt);
}

TEST(ToolLauncherTest, StartsTheFirstInstalledStandIn) {
    test::TempDir bin;
    for (const char* installed : {"qdirstat", "gnome-disks", "hardinfo", "gnome-system-monitor", "arandr"})
        Stub(bin.Path(), installed);
    struct Started {
        std::string program;
        std::vector<std::string> argv;
    };
    std::vector<Started> started;
    std::string desktops;
    ToolLauncher launcher(
        [&] {
            return ToolLauncher::Environment{bin.Path(), desktops};
        },
        [&](const std::string& program, const std::vector<std::string>& argv) {
            started.push_back({program, argv});
            return pid_t{0x7fff0000};  // not a child: reaping forgets it
        });
    struct Case {
        ToolLaunch launch;
        const char* desktop;
        std::string program;
        std::vector<std::string> argv;
    };
    for (const Case& c : {
             Case{kDiskCleanUp, "", "qdirstat", {"qdirstat"}},
             Case{Defragmenter(5), "", "gnome-disks", {"gnome-disks"}},
             Case{Defragmenter(6), "", "gnome-disks", {"gnome-disks"}},
             Case{kSystemProperties, "", "hardinfo", {"hardinfo"}},
             Case{kSystemProperties, "KDE", "hardinfo", {"hardinfo"}},  // no KDE tool installed
             Case{kDisplaySettings, "GNOME", "arandr", {"arandr"}},
         }) {
        SCOPED_TRACE(std::string(c.launch.file) + " on " + c.desktop);
        desktops = c.desktop;
        started.clear();
        EXPECT_GT(launcher.Launch(c.launch.file, c.launch.parameters ? c.launch.parameters : ""), 32u);
        ASSERT_EQ(started.size(), 1u);
        EXPECT_EQ(started[0].program, bin / c.program);
        EXPECT_EQ(started[0].argv, c.argv);
    }
    started.clear();
    EXPECT_EQ(launcher.Launch("notepad.exe", ""), kShellNoAssociation);
    EXPECT_TRUE(started.empty());
}

TEST(ToolLauncherTest, NothingInstalledStartsNothing) {
    test::TempDir emptyBin;
    int spawns = 0;
    ToolLauncher launcher(
        [&] {
            return ToolLauncher::Environment{emptyBin.Path(), "GNOME"};
        },
        [&](const std::string&, const std::vector<std::string>&) { return ++spawns, pid_t{-1}; });
    EXPECT_EQ(launcher.Launch(kDiskCleanUp.file, ""), kShellFileNotFound);
    EXPECT_EQ(spawns, 0);
    // What the user is told was looked for: the desktop's own tools first,
    // a program standing in for two tools named once.
    EXPECT_EQ(launcher.ProgramsFor(kDiskCleanUp.file, ""),
              (std::vector<std::string>{"baobab", "filelight", "qdirstat", "k4dirstat", "bleachbit"}));
    EXPECT_EQ(launcher.ProgramsFor(kDisplaySettings.file, kDisplaySettings.parameters).front(), "gnome-control-center");
    EXPECT_TRUE(launcher.ProgramsFor("notepad.exe", "").empty());
}

TEST(ToolLauncherTest, AToolThatWillNotStartGivesWayToTheNext) {
    test::TempDir bin;
    Stub(bin.Path(), "baobab");
    Stub(bin.Path(), "bleachbit");
    std::vector<std::string> tried;
    ToolLauncher launcher(
        [&] {
            return ToolLauncher::Environment{bin.Path(), ""};
        },
        [&](const std::string& program, const std::vector<std::string>&) {
            tried.push_back(program);
            return tried.size() == 1 ? pid_t{-1} : pid_t{0x7fff0000};
        });
    EXPECT_EQ(launcher.Launch(kDiskCleanUp.file, ""), kShellStarted);
    EXPECT_EQ(tried, (std::vector<std::string>{bin / "baobab", bin / "bleachbit"}));
}

bool WaitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(ToolLauncherTest, ARealToolStartsWithoutAShellAndIsReaped) {
    test::TempDir bin;
    Stub(bin.Path(), "gnome-control-center");
    ToolLauncher launcher([&] { return ToolLauncher::Environment{bin.Path(), "GNOME"}; }, SpawnTool);
    ASSERT_EQ(launcher.Launch(kDisplaySettings.file, kDisplaySettings.parameters), kShellStarted);
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(bin / "OUT"); }));
    EXPECT_EQ(Lines(bin / "OUT"), (std::vector<std::string>{"gnome-control-center", "display", "/dev/null"}));
    EXPECT_TRUE(WaitFor([&] {
        launcher.ReapEnded();
        return launcher.RunningCount() == 0;
    })) << "the ended tool was not reaped";
}

TEST(ToolLauncherTest, TheServicesStartWhatThePathOffers) {
    test::TempDir bin;
    test::ScopedEnv desktop("XDG_CURRENT_DESKTOP", "");
    PosixSystemServices services;
    {
        test::ScopedEnv path("PATH", bin.Path().c_str());
        EXPECT_EQ(HandleValue(services.ShellExecuteA(HWND{}, "open", kDiskCleanUp.file, nullptr, "", SW_SHOW)),
                  kShellFileNotFound);
        EXPECT_EQ(services.GetLastError(), ERROR_FILE_NOT_FOUND);
        Stub(bin.Path(), "filelight");
        EXPECT_GT(HandleValue(services.ShellExecuteA(HWND{}, "open", kDiskCleanUp.file, nullptr, "", SW_SHOW)), 32u);
    }
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(bin / "OUT"); }));
    EXPECT_EQ(Lines(bin / "OUT").front(), "filelight");
    EXPECT_EQ(HandleValue(services.ShellExecuteA(HWND{}, "print", kDiskCleanUp.file, nullptr, "", SW_SHOW)), kShellNoAssociation);
}

}  // namespace
}  // namespace vx::win
