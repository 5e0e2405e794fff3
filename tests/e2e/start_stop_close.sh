#!/usr/bin/env bash
# Starts the program, runs the battery with "Start Test", checks that the
# operating system row is scored, stops the battery and closes the program
# with the same button, which must end it with status 0.
set -uo pipefail
program=$1
artifacts=$2
source "$(dirname "$0")/lib.sh"
begin_window_test

launch "$program" vidorex

# Window coordinates: the panel starts 57 pixels down; the Start button sits
# at (520, 352) on it, the operating system row's lamps at top 8 + 3.
start_x=572
start_y=$((57 + 352 + 11))
gray="128,128,128"
lamp_y=$((57 + 8 + 3 + 7))

wait_until 30 pixel_is_not 560 $lamp_y "" || fail "cannot read the window's pixels"
# OpenGL is loaded only when the video test first needs it.
if grep -q -E "libGL|libEGL|_dri\.so|libgallium" "/proc/$pid/maps"; then
  fail "OpenGL is loaded at start-up"
fi
for x in 567 583 599; do
  [ "$(pixel $x $lamp_y)" = "$gray" ] || fail "a lamp of the operating system row is lit before any test ($x)"
done

click $start_x $start_y
lit() { pixel_is_not 567 $lamp_y "$gray" || pixel_is_not 583 $lamp_y "$gray" || pixel_is_not 599 $lamp_y "$gray"; }
wait_until 30 lit || fail "the operating system row was not scored"
screenshot "$artifacts/after-start.png"

# The battery has run what it has; the next click stops it ("Zamknij"),
# the one after closes the program.
click_until_changed $start_x $start_y "60x12+$((start_x - 30))+$((start_y - 6))" || fail "the button's caption did not change on the stop"
screenshot "$artifacts/after-stop.png"
click $start_x $start_y
expect_clean_exit
