#!/usr/bin/env bash
# The real seconds of the processor test's and the memory test's workloads
# on this machine and how repeatable they are: RUNS runs (5 by default) of
# each, one after the other, then the mean, the range and the spread.
# Usage: bench/workloads.sh [build-dir]
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${RUNS:-5}
probe="$build/bench/vidorex_workload_probe"
[ -x "$probe" ] || { echo "build $probe first" >&2; exit 1; }

summary() {
  local name=$1
  shift
  printf '%s\n' "$@" | awk -v name="$name" '
    { v[NR] = $1; sum += $1; if (NR == 1 || $1 < min) min = $1; if (NR == 1 || $1 > max) max = $1 }
    END {
      mean = sum / NR
      for (i = 1; i <= NR; i++) sq += (v[i] - mean) ^ 2
      sd = NR > 1 ? sqrt(sq / (NR - 1)) : 0
      printf "%-9s mean %.3f s, min %.3f s, max %.3f s, range %.1f %% of the mean, sd %.3f s over %d runs\n",
             name, mean, min, max, 100 * (max - min) / mean, sd, NR
    }'
}

for workload in processor memory; do
  seconds=()
  for run in $(seq "$runs"); do
    value=$("$probe" "$workload" | awk '{print $2}')
    echo "$workload run $run: $value s"
    seconds+=("$value")
  done
  summary "$workload" "${seconds[@]}"
done
