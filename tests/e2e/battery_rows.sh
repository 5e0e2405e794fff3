#!/usr/bin/env bash
# Runs the real battery with "Start Test" and watches the lamps: the rows
# from the operating system to the desktop must be scored one after another,
# in the battery's order (free space, disk throughput, processor, free
# memory, memory speed, desktop), each within a generous time. Keeps a
# screenshot of the window as each row is scored.
set -uo pipefail
program=$1
artifacts=$2
source "$(dirname "$0")/lib.sh"
begin_window_test

launch "$program" vidorex

source "$(dirname "$0")/battery_lib.sh"
# The rows up to the desktop's; the video test that follows covers them.
watched_rows=7
start_x=572
start_y=$((57 + 352 + 11))

wait_until 30 sample || fail "cannot read the window's pixels"
sample
[ "$visible" = 1 ] || fail "the rows cannot be seen before any test"
for ((row = 0; row < watched_rows; row++)); do
  [ "${now[$row]}" = 0 ] || fail "the ${row_names[$row]} row is lit before any test"
done

# Disk about 10 x 0.7 s, processor about 6 s, memory about 7.5 s here; a
# loaded machine may take several times as long. Right after the desktop
# row the video test's surface covers the rows until its two phases end.
watch_rows_scored 300
[ $covered = 1 ] && expect_remaining_rows_scored 120
screenshot "$artifacts/rows-scored.png"
[ -z "$(ls -A "$work/tmp")" ] || fail "the disk test left files behind: $(ls -A "$work/tmp")"

# Stop what runs on (the video test) and close; whether the video test has
# already ended the battery or not, at most two clicks close the program.
for _ in 1 2; do
  program_ended && break
  click $start_x $start_y
  wait_until 5 program_ended && break
done
expect_clean_exit
