#!/usr/bin/env bash
# The whole battery in a real window: "Start Test", the checks, the two
# phases of the spinning cube (screenshots of each), and the end — the video
# row scored, the memo's closing lines, the overall bar at 90 % and the
# button reading "Zamknij", which then closes the program with status 0.
set -uo pipefail
program=$1
artifacts=$2
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/battery_lib.sh"
begin_window_test

launch "$program" vidorex

start_x=572
start_y=$((57 + 352 + 11))
black="0,0,0"
gray="128,128,128"
# The render surface covers the panel from (1, 58), 630 x 320; the cube
# turns in its middle.
cube_x=316
cube_y=$((58 + 160))
video_lamp_y=$((57 + 176 + 3 + 7))

wait_until 30 pixel_is_not $start_x $start_y "" || fail "cannot read the window's pixels"
click $start_x $start_y

# The checks take tens of seconds on a busy machine; then the surface shows.
cube_shows() { pixel_is_not $cube_x $cube_y "$black" && pixel_is_not 620 $((58 + 300)) "" && [ "$(pixel 620 $((58 + 310)))" = "$black" ]; }
wait_until 300 cube_shows || fail "the spinning cube did not appear"
screenshot "$artifacts/phase1.png"
# The end of the first phase moves the overall bar from 70 % to 80 %; the
# cube then spins on in the second phase.
second_phase() { pixel_is_not 480 $bar_y "0,0,0"; }
wait_until 60 second_phase || fail "the first phase did not end ($(pixel 480 $bar_y))"
cube_shows || fail "the cube is gone in the second phase"
screenshot "$artifacts/phase2.png"

video_scored() {
  pixel_is_not 567 $video_lamp_y "$gray" || pixel_is_not 583 $video_lamp_y "$gray" || pixel_is_not 599 $video_lamp_y "$gray"
}
wait_until 60 video_scored || fail "the video row was not scored"
wait_until 30 memo_has_text || fail "the memo does not show the closing lines"
wait_until 10 bar_at_ninety || fail "the overall bar is not at 90 % ($(pixel 550 $bar_y) / $(pixel 590 $bar_y))"
screenshot "$artifacts/finished.png"

click $start_x $start_y
expect_clean_exit
