#!/usr/bin/env bash
# Opens the window showcase (every row set, one red lamp blinking, links
# enabled, text in the memo), checks a few pixels that only come out right
# when the widgets, the pictures and the window agree, and keeps a
# screenshot in the artifacts folder for a person to look at.
set -uo pipefail
program=$1
artifacts=$2
source "$(dirname "$0")/lib.sh"
begin_window_test

launch "$program" vidorex_showcase
wait_until 30 pixel_is_not 0 0 "" || fail "cannot read the window's pixels"

# Window coordinates: the panel starts 57 pixels down. The operating system
# row (top 8) shows 19: the "1" lights column 192 + 54 + 8; its green lamp
# (left 560, top 11) is lit. The window is presented whole, so once the
# digit shows the rest is there too.
lime="0,255,0"
wait_until 30 pixel_is $((192 + 62)) $((57 + 8 + 5)) "$lime" || fail "the display's digit is not lit: $(pixel 254 70)"
screenshot "$artifacts/showcase.png"
pixel_is $((560 + 8)) $((57 + 11 + 9)) "$lime" || fail "the green lamp is not lit: $(pixel 568 77)"
# The bar at 95 percent: column 2 is the ramp's second colour, column 1 a gap.
pixel_is $((328 + 2)) $((57 + 8 + 4)) "254,1,0" || fail "the bar's ramp: $(pixel 330 69)"
pixel_is $((328 + 1)) $((57 + 8 + 4)) "0,0,0" || fail "the bar's gap: $(pixel 329 69)"
# The logo at the header's right end, on the header's white: the corner
# the header leaves out shows white, the badge does not.
pixel_is 415 $((4 + 47)) "255,255,255" || fail "the logo's transparent colour shows: $(pixel 415 51)"
pixel_is_not $((415 + 40)) $((4 + 8)) "255,255,255" || fail "the logo is missing: $(pixel 455 12)"
# The background picture is dark where no control covers it.
dark() {
  local p
  p=$(pixel 3 $((57 + 300))) || return 1
  IFS=, read -r r g b <<<"$p"
  [ $((r + g + b)) -lt 200 ]
}
dark || fail "the panel's background is not the dark picture: $(pixel 3 357)"

kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
pid=""
if grep -qiE "error|sanitizer|fault" "$work/out.log"; then
  cat "$work/out.log" >&2
  fail "the showcase reported errors"
fi
echo "PASS"
