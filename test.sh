#!/usr/bin/env bash
# Sets up, builds and runs every test: unit and integration tests, the tests
# in a real window under a virtual display, and, built again with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer, the unit tests, the fuzz
# replays and the whole battery in the window; then the Windows programs'
# unit tests and window tests under Wine (64-bit everywhere, 32-bit where
# the machine runs it). Ends with one summary line, what could not run here
# counted as skipped.
set -uo pipefail
cd "$(dirname "$0")"
scripts/setup.sh || exit 1

jobs=$(nproc)
log_dir=build/test-logs
mkdir -p "$log_dir"

echo "== Building"
cmake --preset default >/dev/null || exit 1
cmake --build --preset default -j"$jobs" >"$log_dir/build.log" 2>&1 || { tail -50 "$log_dir/build.log"; exit 1; }
echo "== Building the program and the tests with clang and the sanitizers"
# Built with the other compiler, so that the tree keeps compiling with both.
cmake --preset sanitize >/dev/null || exit 1
cmake --build --preset sanitize -j"$jobs" >"$log_dir/build-sanitize.log" 2>&1 || { tail -50 "$log_dir/build-sanitize.log"; exit 1; }

# The window tests get a virtual display of their own.
source tests/e2e/display.sh
start_virtual_display || exit 1
trap stop_virtual_display EXIT

status=0
echo "== Tests"
ctest --preset default -j"$jobs" 2>&1 | tee "$log_dir/ctest.log" || status=1
echo "== Under the sanitizers: unit tests, fuzz corpus and reproducers, the whole battery in the window"
ctest --preset sanitize -j"$jobs" 2>&1 | tee "$log_dir/ctest-sanitize.log" || status=1

echo "== The Windows programs: unit tests and windows under Wine"
scripts/test-windows.sh 2>&1 | tee "$log_dir/windows.log" || status=1

source scripts/windows-targets.sh
source scripts/ctest-count.sh
counts=$(count_ctest_logs "$log_dir/ctest.log" "$log_dir/ctest-sanitize.log" \
  "$(windows_build_dir win64)/test-logs/ctest.log" "$(windows_build_dir win32)/test-logs/ctest.log") || status=1
read -r passed failed skipped <<<"$counts"
[ "$failed" -eq 0 ] || status=1
echo "Took ${SECONDS} s"
echo "Summary: $passed passed, $failed failed, $skipped skipped"
exit $status
