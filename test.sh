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

echo "== The Windows programs' unit tests under Wine"
scripts/test-windows.sh 2>&1 | tee "$log_dir/windows.log" || status=1

# The Windows programs' windows under Wine, on the same virtual display, in
# the prefixes the unit tests made: start, stop and close; the video test on
# the system's own DirectDraw; the whole battery; the disk test's faults (a
# name held, closed, stopped or killed in a pass, and a full disk, which
# needs root and a prefix of its own). The 32-bit program where
# this machine runs 32-bit Wine; otherwise skipped, with the reason.
source scripts/windows-targets.sh
windows_passed=0
windows_failed=0
windows_skipped=0
for target in win64 win32; do
  build_dir=$(windows_build_dir "$target")
  tests=(windows_start_stop_close windows_video_speed windows_full_battery windows_disk_faults windows_disk_full)
  if ! wine_runs "$target" || [ ! -f "$build_dir/vidorex.exe" ]; then
    reason=${wine_unavailable_reason:-the program was not built}
    echo "== The $target program's windows under Wine: ${#tests[@]} skipped: $reason"
    windows_skipped=$((windows_skipped + ${#tests[@]}))
    continue
  fi
  echo "== The $target program's windows under Wine"
  prefix=()
  [ -f "$build_dir/wine-prefix/system.reg" ] && prefix=(env WINEPREFIX="$PWD/$build_dir/wine-prefix")
  for test in "${tests[@]}"; do
    "${prefix[@]}" bash "tests/e2e/$test.sh" "$build_dir/vidorex.exe" "build/e2e-artifacts/$target/$test" \
      >"$log_dir/$target-$test.log" 2>&1
    case $? in
      0)
        windows_passed=$((windows_passed + 1))
        echo "$target $test: passed"
        ;;
      77)
        windows_skipped=$((windows_skipped + 1))
        echo "$target $test: skipped: $(grep -m1 '^SKIP' "$log_dir/$target-$test.log")"
        ;;
      *)
        windows_failed=$((windows_failed + 1))
        echo "$target $test: FAILED"
        tail -20 "$log_dir/$target-$test.log"
        ;;
    esac
  done
done

count() { grep -E "tests passed, [0-9]+ tests failed out of [0-9]+" "$1" | tail -1; }
passed=0
failed=0
skipped=0
for f in "$log_dir/ctest.log" "$log_dir/ctest-sanitize.log"; do
  line=$(count "$f")
  if [ -z "$line" ]; then status=1; continue; fi
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.*tests passed, ([0-9]+) tests failed.*/\1/' <<<"$line")
  # ctest lists the tests that skipped themselves among those that did not run.
  skips=$(grep -cE '^\s+[0-9]+ - .* \(Skipped\)$' "$f")
  passed=$((passed + total - bad - skips))
  failed=$((failed + bad))
  skipped=$((skipped + skips))
done
windows_line=$(grep -E '^Windows: [0-9]+ passed, [0-9]+ failed, [0-9]+ skipped$' "$log_dir/windows.log" | tail -1)
if [ -n "$windows_line" ]; then
  read -r unit_passed unit_failed unit_skipped < <(sed -E 's/^Windows: ([0-9]+) passed, ([0-9]+) failed, ([0-9]+) skipped$/\1 \2 \3/' <<<"$windows_line")
  passed=$((passed + unit_passed))
  failed=$((failed + unit_failed))
  skipped=$((skipped + unit_skipped))
else
  status=1
fi
passed=$((passed + windows_passed))
failed=$((failed + windows_failed))
skipped=$((skipped + windows_skipped))
[ "$failed" -eq 0 ] || status=1
echo "Took ${SECONDS} s"
echo "Summary: $passed passed, $failed failed, $skipped skipped"
exit $status
