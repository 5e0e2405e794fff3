#!/usr/bin/env bash
# The Windows program under Wine: its titled 632 x 441 window appears,
# "Start Test" scores the operating system row, the next click stops the
# battery and the one after ("Zamknij") ends the program with status 0; no
# error box appears.
# Usage: windows_start_stop_close.sh build-windows/vidorex.exe artifacts-dir
set -uo pipefail
program=$(realpath "$1")
artifacts=$2
source "$(dirname "$0")/wine_lib.sh"
begin_window_test
begin_wine_test "$program"
launch_under_wine "$program"

# The client area is exactly the form's; without a window manager the X
# window is the client area.
size=$(xwininfo -id "$window_id" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
[ "$size" = "632x441" ] || fail "the window's client area is $size, not 632x441"

# The same places as in the Linux window test (start_stop_close.sh).
start_x=572
start_y=$((57 + 352 + 11))
gray="128,128,128"
lamp_y=$((57 + 8 + 3 + 7))

wait_until 60 pixel_is_not 560 $lamp_y "" || fail "cannot read the window's pixels"
wait_until 30 pixel_is 567 $lamp_y "$gray" || fail "the operating system row's lamps are not shown unlit at the start"
screenshot "$artifacts/at-start.png"

click $start_x $start_y
lit() { pixel_is_not 567 $lamp_y "$gray" || pixel_is_not 583 $lamp_y "$gray" || pixel_is_not 599 $lamp_y "$gray"; }
wait_until 60 lit || fail "the operating system row was not scored"
screenshot "$artifacts/after-start.png"

# The disk test follows, measuring the processor's load through the
# prefix's processor counters: no error box. The next click stops the
# battery, the one after closes the program.
click_until_changed $start_x $start_y "60x12+$((start_x - 30))+$((start_y - 6))" ||
  fail "the button's caption did not change on the stop"
error_box_shown && fail "an error box appeared during the battery"
screenshot "$artifacts/after-stop.png"
click $start_x $start_y
# Wine's own chatter (fixme:, err: of its stubs) is not the program's: only
# the exit status and the program's own messages count.
ended_cleanly 60 "^vidorex:"
echo "PASS"
