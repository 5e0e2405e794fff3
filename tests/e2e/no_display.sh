#!/usr/bin/env bash
# Without a display the program says so in one line and ends with a non-zero
# status, without crashing.
set -uo pipefail
program=$1
err=$(mktemp)
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER= "$program" 2>"$err" >/dev/null
code=$?
lines=$(wc -l <"$err")
text=$(cat "$err")
rm -f "$err"
if [ $code -eq 0 ] || [ $code -ge 128 ]; then
  echo "FAIL: exit status $code" >&2
  exit 1
fi
if [ "$lines" -ne 1 ]; then
  echo "FAIL: expected one line on standard error, got $lines: $text" >&2
  exit 1
fi
echo "PASS: $text"
