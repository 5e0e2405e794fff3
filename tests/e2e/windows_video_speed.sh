#!/usr/bin/env bash
# The Windows program's video test under Wine, on the system's own
# DirectDraw: "DDraw.dll" is not loaded until "Video Speed" is clicked; the
# cube then spins over the panel through both phases, the video row is
# scored, and "Zamknij" ends the program with status 0.
# Usage: windows_video_speed.sh build-windows/vidorex.exe artifacts-dir
set -uo pipefail
program=$(realpath "$1")
artifacts=$2
source "$(dirname "$0")/wine_lib.sh"
begin_window_test
# Wine's loader names every library it loads, and nothing else.
export WINEDEBUG=-all,+loaddll
begin_wine_test "$program"
launch_under_wine "$program"

ddraw_loaded() { grep -qiE 'loaddll.*ddraw\.dll' "$work/out.log"; }

# Window coordinates: the panel starts 57 pixels down; the video row is the
# eighth, 176 pixels into it; its lamps sit 3 pixels below its top.
gray="128,128,128"
video_button_x=96
video_button_y=$((57 + 176 + 11))
lamp_y=$((57 + 176 + 3 + 7))
start_x=572
start_y=$((57 + 352 + 11))

wait_until 60 pixel_is 567 $lamp_y "$gray" || fail "the video row's lamps are not shown unlit at the start"
ddraw_loaded && fail "DDraw.dll was loaded before the video test started"

click $video_button_x $video_button_y
wait_until 30 ddraw_loaded || fail "DDraw.dll was not loaded when the video test started"

# The surface covers the panel while the test runs: its middle changes from
# frame to frame as the cube spins. Phase 1 lasts 7 s from the start, phase
# 2 the next 7 s.
middle_x=316
middle_y=$((57 + 160))
frame_moves() {
  local first second
  first=$(screen_pixel $middle_x $middle_y) || return 1
  sleep 0.2
  second=$(screen_pixel $middle_x $middle_y) || return 1
  [ -n "$first" ] && [ "$first" != "$second" ]
}
wait_until 10 frame_moves || fail "no spinning cube in the first phase"
screen_of_window "$artifacts/first-phase.png"
# The end of the first phase moves the overall bar from 0 to 10 %.
bar_y=$((57 + 328 + 7))
second_phase() { pixel_is_not 38 $bar_y "0,0,0"; }
wait_until 30 second_phase || fail "the first phase did not end"
wait_until 5 frame_moves || fail "no spinning cube in the second phase"
screen_of_window "$artifacts/second-phase.png"

# On the screen: while the surface covers the row, its lamps read black.
lamp_lit() {
  local p
  p=$(screen_pixel "$1" $lamp_y) || return 1
  [ -n "$p" ] && [ "$p" != "$gray" ] && [ "$p" != "0,0,0" ]
}
lit() { lamp_lit 567 || lamp_lit 583 || lamp_lit 599; }
wait_until 60 lit || fail "the video row was not scored"
screen_of_window "$artifacts/scored.png"

# The end of the battery: "Zamknij" closes the program.
click $start_x $start_y
ended_cleanly 60 "^vidorex:"
echo "PASS"
