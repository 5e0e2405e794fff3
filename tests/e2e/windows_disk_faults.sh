#!/usr/bin/env bash
# The Windows program's disk test under Wine, against what may meet it in
# the prefix's temporary folder (%TEMP%):
#   name held      a folder, then a read-only file of the user's, at the test
#                  file's name: "HDD Speed/Test" ends silently (no box, the
#                  row unscored, the window goes on), theirs is untouched;
#   close box      the window's close box in the middle of a pass: the
#                  program ends within seconds with status 0;
#   stop           "Przerwij Test" (the start button again) in the middle of
#                  a pass: the test ends after the pass, "Zamknij" then ends
#                  the program with status 0;
#   killed         the program's process killed in the middle of a pass: the
#                  system deletes the test file all the same.
# After each case no test file is left in the folder.
# Usage: windows_disk_faults.sh build-windows-x64/vidorex.exe artifacts-dir
set -uo pipefail
program=$(realpath "$1")
artifacts=$2
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/battery_lib.sh"
begin_window_test
begin_wine_test "$program"

temp=$(wine_temp_folder) || fail "cannot learn the prefix's temporary folder"
[ -d "$temp" ] || fail "the prefix's temporary folder $temp does not exist"
test_file="$temp/AVITest.tmp"
[ -e "$test_file" ] && fail "a test file is there before the test: $(ls -la "$temp")"
echo "temporary folder: $temp"
# What the test plants at the name goes with it, whatever happens: the
# prefix may be shared with the next test.
planted=""
eval "earlier_cleanup=$(trap -p EXIT | sed -E "s/^trap -- //; s/ EXIT$//")"
trap '[ -n "$planted" ] && chmod -R u+w "$test_file" && rm -rf "$test_file"; '"$earlier_cleanup" EXIT

start_x=572
start_y=$((57 + 352 + 11))
# The pointer leaves the button: a button under it shows another face,
# which sample would take for the rows being covered.
row_button() {
  click 90 $((57 + row_tops[$1] + 11))
  xdotool mousemove --window "$window_id" 300 30
}
watched_rows=3
rows_are() { sample && [ "$visible" = 1 ] && [ "${now[*]}" = "$1" ]; }
writing() { [ -s "$test_file" ]; }
written() { echo "$(($(stat -c %s "$test_file" 2>/dev/null || echo 0) / 1048576)) MiB"; }
no_test_file() { [ ! -e "$test_file" ]; }

# Starts the program, its rows shown unlit.
start_program() {
  launch_under_wine "$program"
  wait_until 60 sample || fail "$1: cannot read the window's pixels"
  wait_until 30 rows_are "0 0 0" || fail "$1: the rows are not shown unlit at the start"
}

# Milliseconds of the clock, for the times reported.
clock_ms() { date +%s%3N; }
seconds_since() { awk -v ms=$(($(clock_ms) - $1)) 'BEGIN {printf "%.1f", ms / 1000}'; }

# The program must end with status $2 within $3 seconds of $4 (clock_ms);
# then no test file may be left. Reports what the folder holds.
expect_end() {
  local label=$1 status=$2 seconds=$3 since=$4
  wait_until "$seconds" program_ended || fail "$label: the program did not end within $seconds s"
  local took
  took=$(seconds_since "$since")
  wait "$pid"
  local code=$?
  pid=""
  if [ $code -ne "$status" ] || grep -qE "^vidorex:" "$work/out.log"; then
    cat "$work/out.log" >&2
    fail "$label: exit status $code (not $status), or errors reported"
  fi
  # The system deletes the file as the process's last handle goes.
  wait_until 30 no_test_file || fail "$label: the test file was left: $(ls -la "$temp")"
  echo "$label: ended after ${took} s with status $code, no test file after $(seconds_since "$since") s; the folder holds:"
  ls -la "$temp"
}

# ---- Name held by a folder, then by a read-only file of the user's.
start_program "name held"
fingerprint() { find "$test_file" -exec stat -c '%n %F %a %s %Y' {} \; -exec sh -c '[ ! -f "$1" ] || md5sum <"$1"' _ {} \; | sort; }
# After each a row the test leaves alone is checked, and scores: the window
# has gone on.
for what in folder "read-only file"; do
  planted=1
  if [ "$what" = folder ]; then
    mkdir "$test_file" && echo "keep me" >"$test_file/inside.txt"
    other_row=1 expected="0 1 0"
  else
    echo "keep me" >"$test_file" && chmod 444 "$test_file"
    other_row=0 expected="1 1 0"
  fi
  before=$(fingerprint)
  row_button 2
  # The test ends at once; an error box would be up within seconds.
  wait_until 5 error_box_shown && fail "name held by a $what: an error box appeared"
  row_button $other_row
  wait_until 30 rows_are "$expected" || fail "name held by a $what: the rows read ${now[*]:-?}, not $expected"
  screenshot "$artifacts/name-held-by-a-${what// /-}.png"
  [ "$(fingerprint)" = "$before" ] || fail "name held by a $what: it was changed: $(fingerprint)"
  echo "name held by a $what: the test ended silently; the folder holds:"
  ls -la "$temp"
  rm -rf "$test_file"
  planted=""
done
since=$(clock_ms)
click_close_box
expect_end "name held" 0 30 $since

# ---- The close box in the middle of a pass.
start_program "close box"
row_button 2
wait_until 60 writing || fail "close box: the disk test did not begin writing its file"
since=$(clock_ms)
click_close_box
echo "close box: clicked with $(written) of the test file written"
expect_end "close box" 0 30 $since

# ---- "Przerwij Test" in the middle of a pass.
start_program "stop"
click $start_x $start_y
wait_until 60 writing || fail "stop: the disk test did not begin writing its file"
since=$(clock_ms)
click $start_x $start_y
echo "stop: clicked with $(written) of the test file written"
# The pass completes and deletes its file; no other pass follows.
wait_until 30 no_test_file || fail "stop: the test file stayed"
took=$(seconds_since "$since")
sleep 2
no_test_file || fail "stop: another pass began after the stop"
rows_are "1 1 0" || fail "stop: the rows read ${now[*]:-?}, not 1 1 0"
echo "stop: the disk test ended ${took} s after the click"
screenshot "$artifacts/stopped.png"
since=$(clock_ms)
click $start_x $start_y
expect_end "stop, then \"Zamknij\"" 0 30 $since

# ---- The process killed in the middle of a pass.
start_program "killed"
row_button 2
wait_until 60 writing || fail "killed: the disk test did not begin writing its file"
echo "killed: in the middle of a pass the folder holds:"
ls -la "$temp"
since=$(clock_ms)
kill -KILL "$pid"
expect_end "killed" $((128 + 9)) 30 $since
echo "PASS"
