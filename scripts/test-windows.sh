#!/usr/bin/env bash
# Builds the Windows program and runs its unit tests under Wine (32-bit), on
# the display DISPLAY names (./test.sh starts a virtual one; without one
# this script starts its own). The tests run in a Wine prefix of their own
# under build-windows/, with Wine's fonts copied into its Fonts folder so
# that "MS Sans Serif", "Tahoma" and "Wingdings" resolve to themselves.
# Writes build-windows/test-logs/ and ends with ctest's summary line, so
# that ./test.sh counts the results with the others'.
set -uo pipefail
cd "$(dirname "$0")/.."

log_dir=build-windows/test-logs
mkdir -p "$log_dir"
scripts/build-windows.sh >"$log_dir/build.log" 2>&1 || { tail -40 "$log_dir/build.log"; exit 1; }

source tests/e2e/display.sh
start_virtual_display || exit 1
trap stop_virtual_display EXIT

export WINEARCH=win32
export WINEPREFIX=$PWD/build-windows/wine-prefix
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs in a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== Making the Wine prefix"
  wineboot --init >"$log_dir/wineboot.log" 2>&1
  wineserver -w
fi
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
cp -n /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true

passed=0
failed=0
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

echo "== Unit tests under Wine"
wine build-windows/tests/vidorex_tests.exe --gtest_brief=1 2>&1 | tr -d '\r' >"$log_dir/unit.log"
grep -E '^\[  FAILED  \] [A-Za-z]|^\[  PASSED|^\[  SKIPPED' "$log_dir/unit.log" | sort -u
grep -A1 ': Skipped$' "$log_dir/unit.log" | grep -vE ': Skipped$|^--$' | sort | uniq -c | sed 's/^ */   skipped: /'
count_gtest "$log_dir/unit.log"

# The processor test's long double arithmetic stays on the x87 unit.
echo "== The workloads' machine code"
objdump_log="$log_dir/workloads-disassembly.log"
i686-w64-mingw32-objdump -d --no-show-raw-insn -M intel build-windows/CMakeFiles/vx_checks.dir/src/checks/workloads.cpp.obj \
  >"$objdump_log" 2>&1
if grep -qE 'f(ld|stp)\s+TBYTE PTR' "$objdump_log"; then
  passed=$((passed + 1))
else
  echo "the processor workload does not use the x87 unit's long double"
  failed=$((failed + 1))
fi

wineserver -k 2>/dev/null || true
total=$((passed + failed))
percent=$(( total > 0 ? passed * 100 / total : 0 ))
echo "Windows build and tests took ${SECONDS} s"
echo "${percent}% tests passed, $failed tests failed out of $total"
[ "$failed" -eq 0 ]
