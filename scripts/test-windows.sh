#!/usr/bin/env bash
# Builds the Windows programs and runs their unit tests under Wine, each in
# a prefix of its own made by scripts/wine-prefix.sh (<build folder>/wine-prefix),
# on the display DISPLAY names (./test.sh starts a virtual one; without one
# this script starts its own):
#   scripts/test-windows.sh [win32|win64|all]
# The 64-bit program runs under 64-bit Wine on every machine; the 32-bit
# one where this machine starts 32-bit Wine (some kernels refuse 32-bit
# programs; some machines cannot install it). What cannot run here is
# counted as skipped, with the reason. Also checks the processor workload's
# machine code of both builds, and what each ships (the program's resources
# and the zip). Writes <build folder>/test-logs/ and ends with a line
# "Windows: N passed, N failed, N skipped", which ./test.sh counts with the
# others.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-targets.sh

targets=(win32 win64)
[ $# -ge 1 ] && [ "$1" != all ] && targets=("$1")

passed=0
failed=0
skipped=0
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

count_gtest() {  # log -> adds its results
  local ok bad
  ok=$(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$1" | tail -1)
  bad=$(grep -E '^\[  FAILED  \] [A-Za-z0-9_/]+\.[A-Za-z0-9_/]+' "$1" | sed -E 's/ \(.*//' | sort -u | wc -l)
  if ! grep -q '^\[==========\] .* ran\.' "$1"; then
    failed=$((failed + 1))  # the program did not get to its summary
  fi
  passed=$((passed + ${ok:-0}))
  failed=$((failed + bad))
}

for target in "${targets[@]}"; do
  build_dir=$(windows_build_dir "$target")
  log_dir=$build_dir/test-logs
  mkdir -p "$log_dir"

  # The processor test's long double arithmetic stays on the x87 unit.
  objdump_log="$log_dir/workloads-disassembly.log"
  "$(windows_triple "$target")-objdump" -d --no-show-raw-insn -M intel \
    "$build_dir/CMakeFiles/vx_checks.dir/src/checks/workloads.cpp.obj" >"$objdump_log" 2>&1
  if grep -qE 'f(ld|stp)\s+TBYTE PTR' "$objdump_log"; then
    passed=$((passed + 1))
  else
    echo "$target: the processor workload does not use the x87 unit's long double"
    failed=$((failed + 1))
  fi

  shipping_log="$log_dir/shipping.log"
  if bash tests/packaging/windows_shipping.sh "$build_dir" "$target" >"$shipping_log" 2>&1; then
    passed=$((passed + 1))
  else
    echo "$target: what the build ships:"
    cat "$shipping_log"
    failed=$((failed + 1))
  fi

  if ! wine_runs "$target"; then
    echo "== $target: unit tests skipped: $wine_unavailable_reason"
    skipped=$((skipped + 1))
    continue
  fi
  echo "== $target: unit tests under Wine"
  prefix=$PWD/$build_dir/wine-prefix
  if ! scripts/wine-prefix.sh "$prefix" "$target" >"$log_dir/wine-prefix.log" 2>&1; then
    cat "$log_dir/wine-prefix.log"
    failed=$((failed + 1))
    continue
  fi
  WINEPREFIX=$prefix WINEARCH=$target WINELOADER=$(wine_loader "$target") WINEDEBUG=-all \
    "$(wine_loader "$target")" "$build_dir/tests/vidorex_tests.exe" --gtest_brief=1 2>&1 | tr -d '\r' >"$log_dir/unit.log"
  grep -E '^\[  FAILED  \] [A-Za-z]|^\[  PASSED|^\[  SKIPPED|^processor 0 ' "$log_dir/unit.log" | sort -u
  grep -A1 ': Skipped$' "$log_dir/unit.log" | grep -vE ': Skipped$|^--$' | sort | uniq -c | sed 's/^ */   skipped: /'
  count_gtest "$log_dir/unit.log"
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true

  # Only a desktop of 256 colours has a system palette: the screen's
  # palette test once more on a display of that depth, in its own Wine
  # session (Wine keeps to the display its session started on).
  palette_log=$log_dir/unit-256-colours.log
  (
    unset DISPLAY
    VX_DISPLAY_DEPTH=8 start_virtual_display || exit 1
    trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null; stop_virtual_display' EXIT
    WINEPREFIX=$prefix WINEARCH=$target WINELOADER=$(wine_loader "$target") WINEDEBUG=-all \
      "$(wine_loader "$target")" "$build_dir/tests/vidorex_tests.exe" --gtest_brief=1 \
      --gtest_filter='Win32SystemServicesTest.SystemPaletteOfTheScreen' 2>&1 | tr -d '\r'
  ) >"$palette_log"
  grep -E '^\[  FAILED  \] [A-Za-z]|^\[  PASSED|^screen palette' "$palette_log" | sed 's/^/256 colours: /'
  count_gtest "$palette_log"
  if ! grep -q '^screen palette: 256 entries' "$palette_log"; then
    echo "$target: the display of 256 colours gave the program no palette"
    failed=$((failed + 1))
  fi
done

echo "Windows build and tests took ${SECONDS} s"
echo "Windows: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
