// Starting the desktop's own maintenance tools in place of the platform's:
// the tool table, the PATH search and the launcher that starts a tool as a
// separate process and reaps it when it has ended.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx::win {

// ShellExecuteA's answers: above 32 for a started tool.
constexpr std::uintptr_t kShellStarted = 42;
constexpr std::uintptr_t kShellFileNotFound = 2;    // SE_ERR_FNF: no tool installed
constexpr std::uintptr_t kShellAccessDenied = 5;    // SE_ERR_ACCESSDENIED
constexpr std::uintptr_t kShellNoAssociation = 31;  // SE_ERR_NOASSOC: nothing stands for this file

// One desktop program that can stand in for a platform tool.
struct ToolCandidate {
    std::string program;
    std::vector<std::string> arguments;
    // The desktop (as XDG_CURRENT_DESKTOP names it) whose own tool this is,
    // or "" for a tool of no desktop in particular.
    std::string desktop;
};

// The stand-ins for a platform tool named by ShellExecuteA's file and
// parameters, in the order of preference; empty when the file names no tool
// this program starts. Names compare without regard to case, as the
// platform's file names do.
std::vector<ToolCandidate> ToolCandidates(std::string_view file, std::string_view parameters);

// The candidates with those of the current desktops first (a colon-separated
// list, as in XDG_CURRENT_DESKTOP), the order otherwise kept.
std::vector<ToolCandidate> PreferDesktop(std::vector<ToolCandidate> candidates, std::string_view currentDesktops);

// The first executable regular file named program in the folders of a PATH
// value. Empty and relative items are skipped: they would make the answer
// depend on the folder the program was started from.
std::optional<std::string> FindOnPath(std::string_view program, std::string_view path);

class ToolLauncher {
public:
    struct Environment {
        std::string path;             // PATH
        std::string currentDesktops;  // XDG_CURRENT_DESKTOP
    };
    using EnvironmentReader = std::function<Environment()>;
    // Starts the program with argv (argv[0] included) without a shell and
    // without waiting; returns the process id, or -1 with errno set.
    using Spawner = std::function<pid_t(const std::string& program, const std::vector<std::string>& argv)>;

    // The process's own environment and SpawnTool.
    ToolLauncher();
    ToolLauncher(EnvironmentReader environment, Spawner spawner);
    ToolLauncher(const ToolLauncher&) = delete;
    ToolLauncher& operator=(const ToolLauncher&) = delete;

    // Starts the first installed stand-in for the tool: kShellStarted when
    // one started, kShellFileNotFound when none is installed,
    // kShellNoAssociation for a file that names no tool.
    std::uintptr_t Launch(std::string_view file, std::string_view parameters);
    // The programs Launch looks for, in the order it tries them.
    std::vector<std::string> ProgramsFor(std::string_view file, std::string_view parameters) const;

    // Collects the tools that have ended, so that none lingers as a zombie;
    // Launch does it on every call. Only this launcher's own children are
    // waited for.
    void ReapEnded();
    std::size_t RunningCount() const { return m_children.size(); }

private:
    EnvironmentReader m_environment;
    Spawner m_spawner;
    std::vector<pid_t> m_children;
};

// The real start: posix_spawn, standard input and output on /dev/null, the
// program's other descriptors closed, a default signal state, and a session
// of its own, so that the tool is not ended along with this program's
// terminal or process group.
pid_t SpawnTool(const std::string& program, const std::vector<std::string>& argv);

}  // namespace vx::win
