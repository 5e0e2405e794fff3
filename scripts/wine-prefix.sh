#!/usr/bin/env bash
# Makes a Wine prefix ready for the Windows program:
#   scripts/wine-prefix.sh DIR win32|win64 [BUILD-DIR]
# win32: a 32-bit prefix for the 32-bit program; win64: a 64-bit one, for
# the 64-bit program (and the 32-bit one, where this machine runs 32-bit
# Wine). In it: Wine's own fonts copied into the Fonts folder (so that "MS
# Sans Serif", "Tahoma" and "Wingdings" are themselves), no installer
# dialogs for Mono or Gecko, and the processor counters' provider
# (vidorex_counters.dll, from the build folders) registered, so that the
# program's disk test finds the "Processor" object it measures the
# processor load with. A prefix that exists already is brought up to date.
# BUILD-DIR: where the target's provider is (default: the target's own
# build folder); the 32-bit provider also goes into a 64-bit prefix's
# 32-bit system folder when it has been built.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/scripts/windows-targets.sh"

[ $# -ge 2 ] || { echo "usage: $0 DIR win32|win64 [BUILD-DIR]" >&2; exit 2; }
prefix=$(realpath -m "$1")
target=$2
build_dir=${3:-$top/$(windows_build_dir "$target")}
windows_build_dir "$target" >/dev/null || { echo "$0: the target is win32 or win64, not $target" >&2; exit 2; }
# 77: what CTest counts as skipped (the prefix is its windows_wine_prefix test).
wine_runs "$target" || { echo "SKIP: $wine_unavailable_reason"; exit 77; }

loader=$(wine_loader "$target")
export WINEPREFIX=$prefix WINEARCH=$target WINELOADER=$loader
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs.
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$prefix/system.reg" ]; then
  # A 64-bit prefix also sets up its 32-bit half, which fails where the
  # kernel refuses 32-bit programs; the prefix itself is made all the same.
  "$loader" wineboot --init >"$prefix.wineboot.log" 2>&1 || [ -f "$prefix/system.reg" ] ||
    { cat "$prefix.wineboot.log" >&2; echo "$0: wineboot could not make $prefix" >&2; exit 1; }
  rm -f "$prefix.wineboot.log"
fi

windows=$prefix/drive_c/windows
mkdir -p "$windows/Fonts"
cp /usr/share/wine/fonts/* "$windows/Fonts/" 2>/dev/null || true

# The provider, in the system folder of its own width: a 64-bit prefix's
# system32 holds the 64-bit libraries and syswow64 the 32-bit ones, and
# each process loads the library of its own width by the plain name.
provider=vidorex_counters.dll
[ -f "$build_dir/$provider" ] || { echo "$0: no $provider in $build_dir (scripts/build-windows.sh $target builds it)" >&2; exit 1; }
cp "$build_dir/$provider" "$windows/system32/$provider"
if [ "$target" = win64 ] && [ -d "$windows/syswow64" ] && [ -f "$top/$(windows_build_dir win32)/$provider" ]; then
  cp "$top/$(windows_build_dir win32)/$provider" "$windows/syswow64/$provider"
fi
key='HKLM\SYSTEM\CurrentControlSet\Services\VidorexCounters\Performance'
for value in "Library=$provider" Open=OpenPerformanceData Collect=CollectPerformanceData \
  Close=ClosePerformanceData "Object List=238"; do
  "$loader" reg add "$key" /v "${value%%=*}" /t REG_SZ /d "${value#*=}" /f >/dev/null 2>&1 ||
    { echo "$0: could not register the processor counters' provider" >&2; exit 1; }
done
# The registry is written when the prefix's server ends.
wineserver -w
