#!/usr/bin/env bash
# The Windows program under Wine beside the Linux program, on one virtual
# display and measured the same way from outside, alternating the two:
#  - the time from starting the process to its window showing its first
#    frame (the operating system row's grey lamp painted), median over RUNS
#    starts; Wine's server is kept running between starts, as it is on a
#    desktop where any Windows program has run;
#  - the processor time used while the window sits idle for 10 s (for Wine,
#    the program's process plus Wine's server, which carries its messages).
# Polling the window's pixels takes a few tens of milliseconds, so the start
# times are that coarse; bench/startup.sh measures the Linux start exactly.
# Usage: bench/startup_wine.sh [build-dir] [build-windows-dir]   (RUNS=7)
set -uo pipefail
cd "$(dirname "$0")/.."
linux_program=$(realpath "${1:-build}/vidorex")
windows_program=$(realpath "${2:-build-windows}/vidorex.exe")
runs=${RUNS:-7}
source tests/e2e/display.sh
start_virtual_display || exit 1
work=$(mktemp -d)
export WINEARCH=win32 WINEDEBUG=-all WINEPREFIX=$work/prefix
cleanup() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  wineserver -k 2>/dev/null
  stop_virtual_display
  rm -rf "$work"
}
trap cleanup EXIT
wineboot --init >/dev/null 2>&1 || { echo "cannot make a Wine prefix" >&2; exit 1; }
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
# Wine's server of this prefix, kept up between the starts.
wineserver -f -p >/dev/null 2>&1 &
server=$!

lamp_y=$((57 + 8 + 3 + 7))
window_class() { [ "$1" = linux ] && echo "^vidorex\$" || echo "^vidorex\.exe\$"; }
first_frame_shown() {  # linux|windows
  local id
  for id in $(xdotool search --class "$(window_class "$1")" 2>/dev/null); do
    xwininfo -id "$id" 2>/dev/null | grep -q IsViewable || continue
    /usr/bin/import -window "$id" "$work/probe.png" 2>/dev/null || continue
    [ "$(/usr/bin/convert "$work/probe.png" -format "%[fx:int(255*p{567,$lamp_y}.r)]" info: 2>/dev/null)" = 128 ] && return 0
  done
  return 1
}

launch() {  # linux|windows
  if [ "$1" = linux ]; then
    "$linux_program" >/dev/null 2>&1 &
  else
    wine "$windows_program" >/dev/null 2>&1 &
  fi
  pid=$!
}

start_ms() {
  local begin=$(date +%s%N)
  launch "$1"
  local deadline=$((SECONDS + 60))
  until first_frame_shown "$1"; do
    [ $SECONDS -lt $deadline ] || { echo "no first frame" >&2; break; }
  done
  echo $((($(date +%s%N) - begin) / 1000000))
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=""
  # The window gone before the next start.
  while first_frame_shown "$1"; do sleep 0.05; done
}

ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }

idle_percent() {
  launch "$1"
  local deadline=$((SECONDS + 60))
  until first_frame_shown "$1"; do [ $SECONDS -lt $deadline ] || break; done
  sleep 1
  local extra=()
  [ "$1" = windows ] && extra=("$server")
  local before=$(($(ticks "$pid") + $(for p in "${extra[@]}"; do ticks "$p"; done | awk '{s+=$1} END {print s+0}')))
  sleep 10
  local after=$(($(ticks "$pid") + $(for p in "${extra[@]}"; do ticks "$p"; done | awk '{s+=$1} END {print s+0}')))
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=""
  awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" 'BEGIN {printf "%.2f", 100 * t / hz / 10}'
}

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# One start of Wine's own before timing: the first start of a prefix loads
# its libraries from disk.
start_ms windows >/dev/null
linux=()
windows=()
for _ in $(seq "$runs"); do
  linux+=("$(start_ms linux)")
  windows+=("$(start_ms windows)")
done
echo "first frame, Linux:         median $(median "${linux[@]}") ms over $runs starts (${linux[*]})"
echo "first frame, Windows/Wine:  median $(median "${windows[@]}") ms over $runs starts (${windows[*]})"
echo "idle for 10 s, Linux:        $(idle_percent linux) % of one processor"
echo "idle for 10 s, Windows/Wine: $(idle_percent windows) % of one processor (program and Wine's server)"
