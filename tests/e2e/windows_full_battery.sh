#!/usr/bin/env bash
# The Windows program's whole battery under Wine, with the processor
# counters of the prefix (scripts/wine-prefix.sh): "Start Test" and no other
# input. The eight rows are scored in the battery's order, no error box
# appears, the memo shows the closing lines, "Result:" shows the sum of the
# rows, the overall bar stands at 90 %, and the button, now "Zamknij", ends
# the program with status 0, leaving no test file in the prefix.
# Usage: windows_full_battery.sh build-windows-x64/vidorex.exe artifacts-dir
set -uo pipefail
program=$(realpath "$1")
artifacts=$2
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/battery_lib.sh"
begin_window_test
begin_wine_test "$program"
launch_under_wine "$program"

start_x=572
start_y=$((57 + 352 + 11))
# The video test's surface is a window of its own over the main one: the
# rows are read off the screen.
shot_command=(screen_of_window)

wait_until 60 sample || fail "cannot read the window's pixels"
wait_until 30 eval 'sample && [ "$visible" = 1 ] && [ "${now[*]}" = "0 0 0 0 0 0 0 0" ]' ||
  fail "the rows are not shown unlit at the start"
screenshot "$artifacts/at-start.png"

each_sample() { error_box_shown && fail "an error box appeared during the battery"; }
watch_rows_scored 420
[ $covered = 1 ] && expect_remaining_rows_scored 120
unset -f each_sample
error_box_shown && fail "an error box appeared at the end of the battery"

wait_until 30 memo_has_text || fail "the memo does not show the closing lines"
wait_until 10 bar_at_ninety || fail "the overall bar is not at 90 % ($(pixel 550 $bar_y) / $(pixel 590 $bar_y))"
screenshot "$artifacts/finished.png"

# "Result:" is the sum of the rows (the codecs' row stays 0).
mapfile -t scores < <(read_scores "$artifacts/finished.png")
echo "rows: ${scores[*]:0:8}; Result: ${scores[8]:-}"
[ ${#scores[@]} -eq 9 ] || fail "cannot read the digit displays"
python3 - "${scores[@]}" <<'PY' || fail "\"Result:\" does not show the sum of the rows"
import sys
rows, result = sys.argv[1:9], sys.argv[9]
values = [float(v) for v in rows]
assert all(v >= 0 for v in values), rows
assert abs(sum(values) - float(result)) < 0.01, (rows, result)
PY

click $start_x $start_y
ended_cleanly 60 "^vidorex:"
left=$(find "$WINEPREFIX/drive_c" -iname 'AVITest.tmp' 2>/dev/null)
[ -z "$left" ] || fail "the disk test left its file behind: $left"
echo "PASS"
