#!/usr/bin/env bash
# Whole-program figures under a virtual display:
#  - the median time from the start of the process to its first presented
#    frame, over RUNS starts;
#  - the processor time the program uses while its window sits idle for 10 s;
#  - its peak resident memory.
# Usage: bench/startup.sh [build-dir]   (RUNS=15 by default)
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${RUNS:-15}
source tests/e2e/display.sh
start_virtual_display || exit 1
trap stop_virtual_display EXIT

times=()
rss=()
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  line=$("$build/bench/vidorex_startup_probe" | grep first-frame-ns)
  frame=$(awk '{print $2}' <<<"$line")
  times+=($(((frame - start) / 1000)))
  rss+=("$(awk '{print $4}' <<<"$line")")
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "first frame: median $((median / 1000)).$(printf '%03d' $((median % 1000))) ms over $runs starts (all in us: ${times[*]})"
echo "resident memory at the first frame: $(printf '%s\n' "${rss[@]}" | sort -n | tail -1) kB at most"

"$build/vidorex" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 100); do
  xdotool search --class vidorex >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(ticks)
sleep 10
after=$(ticks)
hz=$(getconf CLK_TCK)
hwm=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
kill "$pid"
wait "$pid" 2>/dev/null
echo "idle for 10 s: $(awk -v t=$((after - before)) -v hz="$hz" 'BEGIN {printf "%.2f", 100 * t / hz / 10}') % of one processor"
echo "peak resident memory while idle: $((hwm / 1024)) MB"
