#!/usr/bin/env bash
# The processor load sampler against the kernel's own counters:
#  - the steady cost of one sample (time and allocations);
#  - the load it reports for processor 0 while a busy loop pinned there runs,
#    beside the load computed from two reads of /proc/stat by awk around the
#    same interval (busy = everything but idle and iowait, over all ticks).
# Usage: bench/sampler_load.sh [build-dir]   (SECONDS_PER_RUN=5, RUNS=3 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${SECONDS_PER_RUN:-5}
runs=${RUNS:-3}
bench="$build/bench/vidorex_sampler_bench"
[[ -x $bench ]] || { echo "no $bench: build the benchmarks first" >&2; exit 1; }

"$bench" steady 2000

# Prints "cpuN busy-ticks all-ticks" for every processor line, "cpu" as total.
ticks() {
  awk '/^cpu/ { busy = $2 + $3 + $4 + $7 + $8 + $9; all = busy + $5 + $6; print $1, busy, all }' /proc/stat
}

busy_pid=
stop_busy() { [[ -n $busy_pid ]] && kill "$busy_pid" 2>/dev/null; busy_pid=; }
trap stop_busy EXIT

for run in $(seq "$runs"); do
  taskset -c 0 sh -c 'while :; do :; done' &
  busy_pid=$!
  sleep 0.5
  before=$(ticks)
  sampler=$("$bench" load "$seconds")
  after=$(ticks)
  stop_busy
  echo "run $run, ${seconds} s, processor 0 kept busy:"
  join <(echo "$before") <(echo "$after") | awk -v sampler="$sampler" '
    BEGIN {
      n = split(sampler, lines, "\n")
      for (i = 1; i <= n; ++i) { split(lines[i], f, " "); sub("%", "", f[3]); reported[f[2]] = f[3] }
    }
    {
      name = $1 == "cpu" ? "total" : $1
      kernel = 100 * ($4 - $2) / ($5 - $3)
      printf "  %-6s sampler %6.2f%%   /proc/stat %6.2f%%   difference %+5.2f points\n",
             name, reported[name], kernel, reported[name] - kernel
    }'
done
