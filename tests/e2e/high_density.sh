#!/usr/bin/env bash
# The window on a screen that asks for a scale of 2 (GDK_SCALE=2): 1264 x
# 882, every pixel of its image a 2 x 2 block, and a click on "Start Test"
# at its scaled place scores the operating system row. A screen of its own,
# large enough for the scaled window.
set -uo pipefail
program=$1
artifacts=$2
unset DISPLAY
export VX_DISPLAY_SIZE=1600x1200
export GDK_SCALE=2
source "$(dirname "$0")/lib.sh"
begin_window_test

launch "$program" vidorex

size=$(xwininfo -id "$window_id" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
[ "$size" = "1264x882" ] || fail "the window is $size, not 1264x882"

# Window coordinates of the unscaled image, doubled.
start_x=$((2 * 572))
start_y=$((2 * (57 + 352 + 11)))
gray="128,128,128"
lamp_y=$((2 * (57 + 8 + 3 + 7)))
wait_until 30 pixel_is 1134 $lamp_y "$gray" || fail "cannot read the window's pixels"
screenshot "$artifacts/at-start.png"

# A pixel of the operating system button's caption, and its three
# neighbours in its 2 x 2 block, are one colour; the caption's edge lies
# between blocks, never inside one.
blocks_whole() {
  /usr/bin/convert "$artifacts/at-start.png" -crop 200x30+20+128 +repage txt:- 2>/dev/null | awk -F'[,: ]+' '
    NR > 1 { colour[$1 "," $2] = $NF }
    END {
      for (key in colour) {
        split(key, p, ",")
        x = p[1] - p[1] % 2; y = p[2] - p[2] % 2
        if (colour[key] != colour[x "," y]) { print "the pixel at " key " differs from its block"; exit 1 }
      }
    }'
}
blocks_whole || fail "the image is not scaled by whole blocks"

click $start_x $start_y
lit() { pixel_is_not 1134 $lamp_y "$gray" || pixel_is_not 1166 $lamp_y "$gray" || pixel_is_not 1198 $lamp_y "$gray"; }
wait_until 30 lit || fail "the operating system row was not scored"
screenshot "$artifacts/after-start.png"
click_until_changed $start_x $start_y "120x24+$((start_x - 60))+$((start_y - 12))" || fail "the button's caption did not change on the stop"
click $start_x $start_y
expect_clean_exit
