#!/usr/bin/env bash
# Runs a Windows program of a build under Wine: the Windows toolchains name
# this script as the emulator, so CTest runs every Windows test through it.
#   scripts/wine-run.sh win32|win64 PROGRAM [ARGUMENTS...]
#   scripts/wine-run.sh win32|win64 --check
# The prefix is WINEPREFIX when set, else the build folder's own
# (<build folder>/wine-prefix); scripts/wine-prefix.sh makes it when it is
# missing. Without a display in DISPLAY it starts a
# virtual one of its own, at VX_DISPLAY_DEPTH bits when set, in a Wine
# session of its own (Wine keeps to the display its session started on).
# Where this machine cannot run the target's Wine, it says why and exits
# with 77, which CTest counts as skipped; --check does only that.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/scripts/windows-targets.sh"

[ $# -ge 2 ] || { echo "usage: $0 win32|win64 PROGRAM [ARGUMENTS...] | --check" >&2; exit 2; }
target=$1
shift
if ! wine_runs "$target"; then
  echo "SKIP: $wine_unavailable_reason"
  exit 77
fi
[ "$1" = --check ] && exit 0

# The build folder: the nearest folder above the program with a CMake cache.
build_dir=$(dirname "$(realpath "$1")")
while [ "$build_dir" != / ] && [ ! -f "$build_dir/CMakeCache.txt" ]; do build_dir=$(dirname "$build_dir"); done
export WINEPREFIX=${WINEPREFIX:-$build_dir/wine-prefix}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$top/scripts/wine-prefix.sh" "$WINEPREFIX" "$target" "$build_dir" >"$WINEPREFIX.log" 2>&1 ||
    { cat "$WINEPREFIX.log" >&2; exit 1; }
  rm -f "$WINEPREFIX.log"
fi
WINELOADER=$(wine_loader "$target")
export WINEARCH=$target WINELOADER WINEDEBUG=${WINEDEBUG:--all}

if [ -z "${DISPLAY:-}" ]; then
  source "$top/tests/e2e/display.sh"
  wineserver -k 2>/dev/null
  start_virtual_display || exit 1
  trap 'wineserver -k 2>/dev/null; stop_virtual_display' EXIT
fi
# The programs end their lines as Windows does; the readers of their output
# (CTest's test discovery among them) expect the line ends of this system.
"$WINELOADER" "$@" 2>&1 | tr -d '\r'
exit "${PIPESTATUS[0]}"
