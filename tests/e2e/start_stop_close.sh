#!/usr/bin/env bash
# Starts the program, runs the battery with "Start Test", checks that the
# operating system row is scored, stops the battery and closes the program
# with the same button, which must end it with status 0.
set -uo pipefail
program=$1
artifacts=$2
mkdir -p "$artifacts"
work=$(mktemp -d)
source "$(dirname "$0")/lib.sh"
start_virtual_display || fail "no display"
trap 'stop_virtual_display; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

"$program" >"$work/out.log" 2>&1 &
pid=$!
wait_until 30 find_window vidorex || fail "the window did not appear"

# Window coordinates: the panel starts 57 pixels down; the Start button sits
# at (520, 352) on it, the operating system row's lamps at top 8 + 3.
start_x=572
start_y=$((57 + 352 + 11))
gray="128,128,128"
lamp_y=$((57 + 8 + 3 + 7))

wait_until 30 pixel_is_not 560 $lamp_y "" || fail "cannot read the window's pixels"
for x in 567 583 599; do
  [ "$(pixel $x $lamp_y)" = "$gray" ] || fail "a lamp of the operating system row is lit before any test ($x)"
done

click $start_x $start_y
lit() { pixel_is_not 567 $lamp_y "$gray" || pixel_is_not 583 $lamp_y "$gray" || pixel_is_not 599 $lamp_y "$gray"; }
wait_until 30 lit || fail "the operating system row was not scored"
screenshot "$artifacts/after-start.png"

# The battery has run what it has; the next click stops it ("Zamknij"),
# the one after closes the program.
click $start_x $start_y
sleep 0.5
screenshot "$artifacts/after-stop.png"
click $start_x $start_y
ended() { ! kill -0 "$pid" 2>/dev/null; }
wait_until 30 ended || fail "the program did not end after \"Zamknij\""
wait "$pid"
code=$?
pid=""
[ $code -eq 0 ] || fail "exit status $code"
if grep -qiE "error|sanitizer|fault" "$work/out.log"; then
  cat "$work/out.log" >&2
  fail "the program reported errors"
fi
echo "PASS"
