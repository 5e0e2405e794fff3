#!/usr/bin/env bash
# Builds the Windows programs and runs their tests with CTest: the unit
# tests one by one and the program's windows under Wine (each build in a
# prefix of its own, <build folder>/wine-prefix), the processor workload's
# machine code and what each build ships; on the display DISPLAY names
# (./test.sh starts a virtual one; without one this script starts its own):
#   scripts/test-windows.sh [win32|win64|all]
# The 64-bit program runs under 64-bit Wine on every machine; the 32-bit
# one where this machine starts 32-bit Wine (some kernels refuse 32-bit
# programs; some machines cannot install it). What cannot run here is
# skipped, with the reason. Each build's CTest log is
# <build folder>/test-logs/ctest.log; the last line is
# "Windows: N passed, N failed, N skipped".
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-targets.sh
source scripts/ctest-count.sh

targets=(win32 win64)
[ $# -ge 1 ] && [ "$1" != all ] && targets=("$1")

mkdir -p build-windows-logs
if ! scripts/build-windows.sh "${targets[@]}" >build-windows-logs/build.log 2>&1; then
  tail -40 build-windows-logs/build.log
  echo "Windows: 0 passed, 1 failed, 0 skipped"
  exit 1
fi
grep -E '^warning' build-windows-logs/build.log

source tests/e2e/display.sh
start_virtual_display || exit 1
trap stop_virtual_display EXIT

status=0
logs=()
for target in "${targets[@]}"; do
  build_dir=$(windows_build_dir "$target")
  mkdir -p "$build_dir/test-logs"
  log=$build_dir/test-logs/ctest.log
  logs+=("$log")
  echo "== $target: tests"
  # Twice as many at once as there are processors: a test under Wine spends
  # most of its time waiting for Wine's server, not computing.
  ctest --test-dir "$build_dir" --output-on-failure -j"$(($(nproc) * 2))" >"$log" 2>&1 || status=1
  grep -E '^\s*[0-9]+/[0-9]+ Test +#[0-9]+: .*(\*\*\*|Skipped)|tests passed' "$log"
  wine_runs "$target" || echo "   ($target under Wine: $wine_unavailable_reason)"
  WINEPREFIX=$PWD/$build_dir/wine-prefix wineserver -k 2>/dev/null || true
done

echo "Windows build and tests took ${SECONDS} s"
counts=$(count_ctest_logs "${logs[@]}") || status=1
read -r passed failed skipped <<<"$counts"
echo "Windows: $passed passed, $failed failed, $skipped skipped"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ]
