#!/usr/bin/env bash
# A hang-up (the terminal closed) or the quit key in the middle of the disk
# test asks the program to close, as SIGINT and SIGTERM do: the pass unwinds,
# its test file is deleted, and the program ends with status 0.
set -uo pipefail
program=$1
artifacts=$2
source "$(dirname "$0")/lib.sh"
begin_window_test

start_x=572
start_y=$((57 + 352 + 11))
test_file_written() { [ -s "$work/tmp/AVITest.tmp" ]; }

# Without job control a shell starts its background commands with SIGINT
# and SIGQUIT ignored, and a signal ignored from the start stays ignored (as
# under nohup); started as from a terminal, the program has them all.
set -m
for signal in HUP QUIT; do
  launch "$program" vidorex
  wait_until 30 pixel_is_not $start_x $start_y "" || fail "cannot read the window's pixels"
  click $start_x $start_y
  wait_until 120 test_file_written || fail "the disk test did not begin writing its file"
  kill -s "$signal" "$pid"
  wait_until 60 program_ended || fail "SIG$signal did not end the program"
  wait "$pid"
  code=$?
  pid=""
  [ $code -eq 0 ] || { cat "$work/out.log" >&2; fail "SIG$signal: exit status $code"; }
  leftovers=$(ls -A "$work/tmp")
  [ -z "$leftovers" ] || fail "SIG$signal left files behind: $leftovers"
  echo "SIG$signal: status 0, no file left"
done
echo "PASS"
