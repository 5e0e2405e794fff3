#!/usr/bin/env bash
# The window on an X screen of 256 colours: it is drawn, in the desktop's
# colours (its widgets without their gradients); the desktop row, run from
# its button, scores the screen's 8 bits; "Start Test" scores the operating
# system row, and the program stops and closes as on any screen.
set -uo pipefail
program=$1
artifacts=$2
unset DISPLAY
export VX_DISPLAY_DEPTH=8
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/battery_lib.sh"
begin_window_test

launch "$program" vidorex

# Grey as the screen shows it: the nearest grey it was given for 128.
greyish() {
  local p
  p=$(pixel "$1" "$2") || return 1
  IFS=, read -r r g b <<<"$p"
  [ "$r" = "$g" ] && [ "$g" = "$b" ] && [ "$r" -gt 100 ] && [ "$r" -lt 160 ]
}
colours() { /usr/bin/convert "$1" -format "%k" info: 2>/dev/null; }

lamp_y() { echo $((57 + $1 + 3 + 7)); }
wait_until 30 greyish 567 "$(lamp_y 8)" || fail "the operating system row's lamp is not drawn grey ($(pixel 567 "$(lamp_y 8)"))"
screenshot "$artifacts/at-start.png"
[ "$(colours "$artifacts/at-start.png")" -gt 16 ] || fail "the window shows only $(colours "$artifacts/at-start.png") colours"

# The desktop row: 8 bits score red.
click 96 $((57 + 152 + 11))
red_lamp() {
  local p
  p=$(pixel 599 "$(lamp_y 152)") || return 1
  IFS=, read -r r g b <<<"$p"
  [ "$r" -gt 150 ] && [ "$g" -lt 100 ] && [ "$b" -lt 100 ]
}
wait_until 30 red_lamp || fail "the desktop row did not score red on 8 bits ($(pixel 599 "$(lamp_y 152)"))"
screenshot "$artifacts/desktop-scored.png"
mapfile -t scores < <(read_scores "$artifacts/desktop-scored.png")
[ "${scores[6]:-}" = 20 ] || fail "the desktop row shows ${scores[6]:-nothing}, not 20 (2.5 points a bit)"

start_x=572
start_y=$((57 + 352 + 11))
click $start_x $start_y
lit() { ! greyish 567 "$(lamp_y 8)" || ! greyish 583 "$(lamp_y 8)" || ! greyish 599 "$(lamp_y 8)"; }
wait_until 30 lit || fail "the operating system row was not scored"
click_until_changed $start_x $start_y "60x12+$((start_x - 30))+$((start_y - 6))" || fail "the button's caption did not change on the stop"
click $start_x $start_y
expect_clean_exit
