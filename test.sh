#!/usr/bin/env bash
# Sets up, builds and runs every test: unit and integration tests, the tests
# in a real window under a virtual display, and, built again with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer, the unit tests, the fuzz
# replays and the whole battery in the window; then the Windows build's unit
# tests under Wine (scripts/test-windows.sh). Ends with one summary line.
set -uo pipefail
cd "$(dirname "$0")"
scripts/setup.sh || exit 1

jobs=$(nproc)
log_dir=build/test-logs
mkdir -p "$log_dir"

echo "== Building"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
cmake --build build -j"$jobs" >"$log_dir/build.log" 2>&1 || { tail -50 "$log_dir/build.log"; exit 1; }
echo "== Building the program and the tests with clang and the sanitizers"
# Built with the other compiler, so that the tree keeps compiling with both.
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DVX_SANITIZE=ON -DVX_UNIT_TESTS_ONLY=OFF >/dev/null || exit 1
cmake --build build-sanitize -j"$jobs" >"$log_dir/build-sanitize.log" 2>&1 || { tail -50 "$log_dir/build-sanitize.log"; exit 1; }

# The window tests get a virtual display of their own.
source tests/e2e/display.sh
start_virtual_display || exit 1
trap stop_virtual_display EXIT

status=0
echo "== Tests"
ctest --test-dir build --output-on-failure -j"$jobs" 2>&1 | tee "$log_dir/ctest.log" || status=1
echo "== Under the sanitizers: unit tests, fuzz corpus and reproducers, the whole battery in the window"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/sanitizers/leaks.supp:print_suppressions=0 \
  ctest --test-dir build-sanitize --output-on-failure -j"$jobs" -L '^(unit|fuzz|sanitized)$' 2>&1 |
  tee "$log_dir/ctest-sanitize.log" || status=1

echo "== The Windows program's unit tests under Wine"
scripts/test-windows.sh 2>&1 | tee "$log_dir/windows.log" || status=1

# The Windows program's windows under Wine, on the same virtual display,
# once it is built: start, stop and close; the video test on the system's
# own DirectDraw.
windows_passed=0
windows_failed=0
if [ -f build-windows/vidorex.exe ]; then
  echo "== The Windows program's window under Wine"
  # The prefix the Windows unit tests made, when there is one (it saves
  # making another); otherwise the test makes its own.
  prefix=()
  [ -f build-windows/wine-prefix/system.reg ] && prefix=(env WINEPREFIX="$PWD/build-windows/wine-prefix")
  for test in windows_start_stop_close windows_video_speed; do
    if "${prefix[@]}" bash "tests/e2e/$test.sh" build-windows/vidorex.exe \
      "build/e2e-artifacts/$test" >"$log_dir/$test.log" 2>&1; then
      windows_passed=$((windows_passed + 1))
      echo "$test: passed"
    else
      windows_failed=$((windows_failed + 1))
      echo "$test: FAILED"
      tail -20 "$log_dir/$test.log"
    fi
  done
fi

count() { grep -E "tests passed, [0-9]+ tests failed out of [0-9]+" "$1" | tail -1; }
passed=0
failed=0
for f in "$log_dir/ctest.log" "$log_dir/ctest-sanitize.log" "$log_dir/windows.log"; do
  line=$(count "$f")
  if [ -z "$line" ]; then status=1; continue; fi
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.*tests passed, ([0-9]+) tests failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
done
passed=$((passed + windows_passed))
failed=$((failed + windows_failed))
[ "$failed" -eq 0 ] || status=1
echo "Summary: $passed passed, $failed failed"
exit $status
