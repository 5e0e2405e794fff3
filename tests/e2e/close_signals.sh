#!/usr/bin/env bash
# A hang-up (the terminal closed) or the quit key in the middle of the disk
# test asks the program to close, as SIGINT and SIGTERM do: the pass unwinds,
# its test file is deleted, and the program ends with status 0. SIGKILL ends
# it where it stands, and still nothing is left: the file has no name.
set -uo pipefail
program=$1
artifacts=$2
source "$(dirname "$0")/lib.sh"
begin_window_test

start_x=572
start_y=$((57 + 352 + 11))

# Without job control a shell starts its background commands with SIGINT
# and SIGQUIT ignored, and a signal ignored from the start stays ignored (as
# under nohup); started as from a terminal, the program has them all.
set -m
for signal in HUP QUIT KILL; do
  launch "$program" vidorex
  wait_until 30 pixel_is_not $start_x $start_y "" || fail "cannot read the window's pixels"
  click $start_x $start_y
  wait_until 120 writing_test_file "$pid" "$work/tmp" || fail "the disk test did not begin writing its file"
  kill -s "$signal" "$pid"
  wait_until 60 program_ended || fail "SIG$signal did not end the program"
  wait "$pid"
  code=$?
  pid=""
  expected=0
  [ "$signal" = KILL ] && expected=$((128 + 9))
  [ $code -eq $expected ] || { cat "$work/out.log" >&2; fail "SIG$signal: exit status $code"; }
  leftovers=$(ls -A "$work/tmp")
  [ -z "$leftovers" ] || fail "SIG$signal left files behind: $leftovers"
  echo "SIG$signal: status $code, no file left"
done
echo "PASS"
