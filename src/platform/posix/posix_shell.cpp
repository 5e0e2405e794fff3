// Starting the desktop's own maintenance tools on Linux. The program asks
// for the platform's tools by their file names; each is mapped to the
// nearest equivalent that this desktop has installed, found on the PATH by
// hand and started without a shell. When none is installed nothing happens,
// as when the platform's tool is missing.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/posix/posix_shell.h"
#include "platform/posix/posix_system_services.h"

extern char** environ;

namespace vx::win {

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    return lower;
}

// The file name without a folder in front ("C:\WINDOWS\cleanmgr.exe" too).
std::string_view BaseName(std::string_view file) {
    const std::size_t cut = file.find_last_of("\\/");
    return cut == std::string_view::npos ? file : file.substr(cut + 1);
}

// The disk clean-up: a tool that shows what fills the disk, or a cleaner.
const std::vector<ToolCandidate>& DiskCleanupTools() {
    static const std::vector<ToolCandidate> tools{
        {"baobab", {}, "GNOME"}, {"filelight", {}, "KDE"}, {"qdirstat", {}, ""}, {"k4dirstat", {}, "KDE"}, {"bleachbit", {}, ""},
    };
    return tools;
}

// The defragmenter: the desktop's disk utility.
const std::vector<ToolCandidate>& DiskUtilityTools() {
    static const std::vector<ToolCandidate> tools{
        {"gnome-disks", {}, "GNOME"},
        {"partitionmanager", {}, "KDE"},
        {"gparted", {}, ""},
    };
    return tools;
}

// The system properties: the system information.
const std::vector<ToolCandidate>& SystemInformationTools() {
    static const std::vector<ToolCandidate> tools{
        {"gnome-control-center", {"info-overview"}, "GNOME"},
        {"kinfocenter", {}, "KDE"},
        {"hardinfo2", {}, ""},
        {"hardinfo", {}, ""},
        {"gnome-system-monitor", {}, ""},
        {"mate-system-monitor", {}, "MATE"},
    };
    return tools;
}

// The display properties' settings page: the display settings.
const std::vector<ToolCandidate>& DisplaySettingsTools() {
    static const std::vector<ToolCandidate> tools{
        {"gnome-control-center", {"display"}, "GNOME"},
        {"kcmshell6", {"kcm_kscreen"}, "KDE"},
        {"kcmshell5", {"kcm_kscreen"}, "KDE"},
        {"xfce4-display-settings", {}, "XFCE"},
        {"lxqt-config-monitor", {}, "LXQt"},
        {"cinnamon-settings", {"display"}, "X-Cinnamon"},
        {"mate-display-properties", {}, "MATE"},
        {"lxrandr", {}, "LXDE"},
        {"arandr", {}, ""},
    };
    return tools;
}

bool IsExecutableFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

ToolLauncher::Environment ProcessEnvironment() {
    const char* path = std::getenv("PATH");
    const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
    return {path != nullptr ? path : "", desktops != nullptr ? desktops : ""};
}

// The spawn attributes and file actions, released however the start ends.
struct SpawnSettings {
    posix_spawn_file_actions_t actions{};
    posix_spawnattr_t attributes{};
    SpawnSettings() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;
    ~SpawnSettings() {
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }
};

}  // namespace

std::vector<ToolCandidate> ToolCandidates(std::string_view file, std::string_view parameters) {
    const std::string name = Lower(BaseName(file));
    if (name == "cleanmgr.exe") return DiskCleanupTools();
    if (name == "dfrg.msc" || name == "defrag.exe") return DiskUtilityTools();
    if (name == "rundll32.exe") {
        const std::string applet = Lower(parameters);
        if (applet.find("sysdm.cpl") != std::string::npos) return SystemInformationTools();
        if (applet.find("desk.cpl") != std::string::npos) return DisplaySettingsTools();
    }
    return {};
}

std::vector<ToolCandidate> PreferDesktop(std::vector<ToolCandidate> candidates, std::string_view currentDesktops) {
    std::vector<std::string> desktops;
    std::size_t start = 0;
    while (start <= currentDesktops.size()) {
        const std::size_t end = std::min(currentDesktops.find(':', start), currentDesktops.size());
        if (end > start) desktops.push_back(Lower(currentDesktops.substr(start, end - start)));
        start = end + 1;
    }
    const auto isCurrent = [&](const ToolCandidate& candidate) {
        return !candidate.desktop.empty() &&
               std::find(desktops.begin(), desktops.end(), Lower(candidate.desktop)) != desktops.end();
    };
    std::stable_partition(candidates.begin(), candidates.end(), isCurrent);
    return candidates;
}

std::optional<std::string> FindOnPath(std::string_view program, std::string_view path) {
    if (program.empty() || program.find('/') != std::string_view::npos) return std::nullopt;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(':', start), path.size());
        const std::string_view folder = path.substr(start, end - start);
        if (!folder.empty() && folder.front() == '/') {
            std::string candidate(folder);
            if (candidate.back() != '/') candidate += '/';
            candidate += program;
            if (IsExecutableFile(candidate)) return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

// ---------------------------------------------------------------- ToolLauncher

ToolLauncher::ToolLauncher() : ToolLauncher(ProcessEnvironment, SpawnTool) {}

ToolLauncher::ToolLauncher(EnvironmentReader environment, Spawner spawner)
    : m_environment(std::move(environment)), m_spawner(std::move(spawner)) {}

std::uintptr_t ToolLauncher::Launch(std::string_view file, std::string_view parameters) {
    ReapEnded();
    std::vector<ToolCandidate> candidates = ToolCandidates(file, parameters);
    if (candidates.empty()) return kShellNoAssociation;
    const Environment environment = m_environment();
    candidates = PreferDesktop(std::move(candidates), environment.currentDesktops);
    std::uintptr_t result = kShellFileNotFound;
    for (const ToolCandidate& candidate : candidates) {
        const std::optional<std::string> program = FindOnPath(candidate.program, environment.path);
        if (!program) continue;
        std::vector<std::string> argv{candidate.program};
        argv.insert(argv.end(), candidate.arguments.begin(), candidate.arguments.end());
        const pid_t child = m_spawner(*program, argv);
        if (child > 0) {
            m_children.push_back(child);
            return kShellStarted;
        }
        // A tool that is there but will not start: try the next one.
        result = errno == EACCES ? kShellAccessDenied : kShellFileNotFound;
    }
    return result;
}

std::vector<std::string> ToolLauncher::ProgramsFor(std::string_view file, std::string_view parameters) const {
    std::vector<std::string> programs;
    for (const ToolCandidate& candidate : PreferDesktop(ToolCandidates(file, parameters), m_environment().currentDesktops)) {
        // A program that stands in for two desktops' tools is looked for once.
        if (std::find(programs.begin(), programs.end(), candidate.program) == programs.end()) {
            programs.push_back(candidate.program);
        }
    }
    return programs;
}

void ToolLauncher::ReapEnded() {
    std::erase_if(m_children, [](pid_t child) {
        int status = 0;
        const pid_t answer = ::waitpid(child, &status, WNOHANG);
        return answer == child || (answer < 0 && errno == ECHILD);
    });
}

pid_t SpawnTool(const std::string& program, const std::vector<std::string>& argv) {
    SpawnSettings settings;
    posix_spawn_file_actions_addopen(&settings.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&settings.actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // The window system's connection and any other descriptor stay ours.
    posix_spawn_file_actions_addclosefrom_np(&settings.actions, STDERR_FILENO + 1);
#endif
    sigset_t unblocked;
    sigemptyset(&unblocked);
    posix_spawnattr_setsigmask(&settings.attributes, &unblocked);
    // Signals this program ignores would stay ignored in the tool.
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int number : {SIGPIPE, SIGINT, SIGQUIT, SIGHUP, SIGTERM, SIGCHLD}) sigaddset(&defaults, number);
    posix_spawnattr_setsigdefault(&settings.attributes, &defaults);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
#ifdef POSIX_SPAWN_SETSID
    flags |= POSIX_SPAWN_SETSID;
#endif
    posix_spawnattr_setflags(&settings.attributes, flags);

    std::vector<char*> arguments;
    arguments.reserve(argv.size() + 1);
    for (const std::string& argument : argv) arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    pid_t child = -1;
    const int error = ::posix_spawn(&child, program.c_str(), &settings.actions, &settings.attributes, arguments.data(), environ);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return child;
}

HINSTANCE PosixSystemServices::ShellExecuteA(HWND /*window*/, const char* operation, const char* file, const char* parameters,
                                             const char* /*directory*/, int /*showCommand*/) {
    // Only "open" (or no operation, which means it) starts anything.
    if ((operation != nullptr && Lower(operation) != "open") || file == nullptr) {
        m_lastError = ERROR_INVALID_PARAMETER;
        return static_cast<HINSTANCE>(kShellNoAssociation);
    }
    const std::uintptr_t result = m_launcher.Launch(file, parameters != nullptr ? parameters : "");
    if (result <= 32) m_lastError = result == kShellAccessDenied ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
    return static_cast<HINSTANCE>(result);
}

std::vector<std::string> PosixSystemServices::ProgramsLookedFor(const char* file, const char* parameters) {
    return m_launcher.ProgramsFor(file != nullptr ? file : "", parameters != nullptr ? parameters : "");
}

}  // namespace vx::win
