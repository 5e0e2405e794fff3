// The advice panel's texts and launch commands, and the values the checks
// keep for the texts.
#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"

namespace vx {

// Kept by the checks, read by the advice links; 0 until their check has
// run (a link is enabled only by its check, so none is read unset). These
// are the program's only module-level values besides the load sampler's.
extern double DiskTotalGB;        // the free-space check: total bytes / 2^30
extern double DiskFreeGB;         // the free-space check: bytes free for the user / 2^30
extern double AverageLoadPoints;  // the throughput test: average of load × 80 per pass
extern int DesktopColorDepth;     // the desktop check: bits per pixel
extern int DesktopRefreshRate;    // the desktop check: Hz

// The captions that select what the advice buttons start.
inline constexpr const char* kCleanUpCaption = "Oczyść";
inline constexpr const char* kDefragmentCaption = "Defragmentuj";
inline constexpr const char* kUltraDmaCaption = "Ultra DMA";
inline constexpr const char* kDesktopCaption = "Desktop";

// A double as the texts show it: fixed point, two decimals, the user's
// decimal separator (LC_NUMERIC), no grouping.
std::string FormatAdviceNumber(double value);

// The memo's lines for each advice link.
std::vector<std::string> DiskSpaceAdvice(double totalGB, double freeGB);
std::vector<std::string> ThroughputAdvice(double averageLoadPoints);
std::vector<std::string> DesktopAdvice(int colorDepth, int refreshRate);

// A maintenance tool as ShellExecuteA is asked to start it; parameters are
// null when there are none.
struct ToolLaunch {
    const char* file;
    const char* parameters;
};
inline constexpr ToolLaunch kDiskCleanUp{"cleanmgr.exe", nullptr};
inline constexpr ToolLaunch kSystemProperties{"rundll32.exe", "shell32.dll, Control_RunDLL sysdm.cpl, ,0"};
inline constexpr ToolLaunch kDisplaySettings{"rundll32.exe", "shell32.dll, Control_RunDLL desk.cpl, ,3"};
// The defragmenter by the system's major version: its snap-in on version 5,
// the command-line tool on every other (and when the version is unknown, 0).
ToolLaunch Defragmenter(win::DWORD majorVersion);

}  // namespace vx
