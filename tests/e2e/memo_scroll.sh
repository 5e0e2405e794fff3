#!/usr/bin/env bash
# The memo as a user reads a long advice: in the window showcase the
# throughput link shows its advice; a click gives the memo the focus, the
# wheel scrolls it down to the view that shows its last row (the view
# Ctrl+End gives, but for the caret), and Ctrl+Home brings back the first. Keeps a screenshot of the advice scrolled to its end.
set -uo pipefail
program=$1
artifacts=$2
source "$(dirname "$0")/lib.sh"
begin_window_test

launch "$program" vidorex_showcase
wait_until 30 pixel_is_not 0 0 "" || fail "cannot read the window's pixels"

# Window coordinates: the panel starts 57 pixels down; the memo lies at
# (8, 264), 613 x 52; the throughput row's link at (612, 58), 14 x 16.
memo_geometry="613x52+8+$((57 + 264))"
memo_shot() { region_shot "$memo_geometry" "$1"; }

memo_shot "$work/before.png" || fail "cannot read the memo"
memo_changed() { memo_shot "$work/now.png" && [ "$(differing "$work/before.png" "$work/now.png")" != "0" ]; }
click $((612 + 7)) $((57 + 58 + 8))
wait_until 30 memo_changed || fail "the throughput advice did not show"
memo_shot "$work/before.png"

# A click at the start of the first row: focus, and the caret shows at the
# text's start.
click 12 $((57 + 264 + 4))
xdotool windowfocus "$window_id" 2>/dev/null
wait_until 20 memo_changed || fail "no caret after the click"
memo_shot "$work/first.png"

# Ctrl+End shows the last row at the bottom. In the classic face the advice
# may just fit the box, and then nothing may move but the caret.
xdotool key ctrl+End
moved() { memo_shot "$work/end.png" && [ "$(differing "$work/first.png" "$work/end.png")" != 0 ]; }
wait_until 20 moved || fail "Ctrl+End moved nothing"
fits=no
[ "$(differing "$work/first.png" "$work/end.png")" -le 40 ] && fits=yes  # the caret, moved
xdotool key ctrl+Home
back_home() { memo_shot "$work/home.png" && [ "$(differing "$work/first.png" "$work/home.png")" = "0" ]; }
wait_until 20 back_home || fail "Ctrl+Home did not bring back the first row"

# The wheel, three notches down: the view Ctrl+End gave, but for the caret.
xdotool mousemove --window "$window_id" 300 $((57 + 264 + 26)) click --repeat 3 --delay 100 5
at_the_end() { memo_shot "$work/wheel.png" && [ "$(differing "$work/wheel.png" "$work/end.png")" -le 40 ]; }
wait_until 20 at_the_end || fail "the wheel's view is not the last rows' ($(differing "$work/wheel.png" "$work/end.png") pixels differ from Ctrl+End's)"
screenshot "$artifacts/throughput-advice-end.png"

xdotool key ctrl+Home
wait_until 20 back_home || fail "Ctrl+Home did not bring back the first row"
[ "$fits" = yes ] && echo "the advice fits the box: nothing to scroll"

kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
pid=""
if grep -qiE "error|sanitizer|fault" "$work/out.log"; then
  cat "$work/out.log" >&2
  fail "the showcase reported errors"
fi
echo "PASS"
