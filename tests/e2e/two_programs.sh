#!/usr/bin/env bash
# Two programs on the same temporary folder, both running the disk test
# ("HDD Speed/Test") at once. Their passes run side by side on two different
# files, neither program reports an error, each either scores its row or
# ends its test silently, both close with status 0, and the folder is left
# empty.
set -uo pipefail
program=$1
artifacts=$2
source "$(dirname "$0")/lib.sh"
begin_window_test
pids=()
trap 'stop_virtual_display; for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"' EXIT

folder="$work/tmp"
mkdir -p "$folder"
gray="128,128,128"
row_y=$((57 + 8 + 24 * 2))
lamp_y=$((row_y + 3 + 7))

windows=()
for n in 0 1; do
  TMPDIR="$folder" "$program" >"$work/out-$n.log" 2>&1 &
  pids[n]=$!
  wait_until 30 find_window_matching --all --pid "${pids[n]}" --class vidorex ||
    { cat "$work/out-$n.log" >&2; fail "program $n: the window did not appear"; }
  windows[n]=$window_id
  wait_until 30 pixel_is_not 0 0 "" || fail "program $n: cannot read the window's pixels"
  # Side by side where the screen is wide enough; overlapping otherwise, so
  # each window is raised before it is read or clicked.
  xdotool windowmove "$window_id" $((n * 640)) 0
done
use_window() {
  window_id=${windows[$1]}
  xdotool windowraise "$window_id"
}

for n in 0 1; do
  use_window $n
  click 90 $((row_y + 11))
done

# Both passes under way at the same moment, each on a file of its own, and
# neither file with a name in the folder that the other could reach.
both_writing() {
  writing_test_file "${pids[0]}" "$folder" || return 1
  local first=$open_test_file
  writing_test_file "${pids[1]}" "$folder" || return 1
  [ "$(stat -L -c %i "$first")" != "$(stat -L -c %i "$open_test_file")" ] ||
    fail "the two programs use one file"
  [ -z "$(ls -A "$folder")" ]
}
wait_until 120 both_writing || fail "the two disk tests never ran side by side on nameless files: $(ls -A "$folder")"
echo "both programs write at once, to two files without a name in the folder"

error_box_of() { first_viewable --all --pid "$1" --name "^Vidorex\$"; }
lit() {
  pixel_is_not 567 $lamp_y "$gray" || pixel_is_not 583 $lamp_y "$gray" || pixel_is_not 599 $lamp_y "$gray"
}
# Each program's end: its row scored, or no pass of it for five seconds.
outcome=("" "")
last_pass=($SECONDS $SECONDS)
both_ended() {
  local n
  for n in 0 1; do
    [ -n "${outcome[n]}" ] && continue
    error_box_of "${pids[n]}" && fail "program $n: an error box appeared"
    use_window $n
    if lit; then
      outcome[n]="scored its row"
    elif find_open_test_file "${pids[n]}" "$folder"; then
      last_pass[n]=$SECONDS
    elif [ $((SECONDS - last_pass[n])) -ge 5 ]; then
      outcome[n]="ended its test silently"
    fi
  done
  [ -n "${outcome[0]}" ] && [ -n "${outcome[1]}" ]
}
wait_until 600 both_ended || fail "the disk tests did not end"
for n in 0 1; do echo "program $n ${outcome[n]}"; done
screenshot_both() {
  local n
  for n in 0 1; do
    use_window $n
    screenshot "$artifacts/program-$n.png"
  done
}
screenshot_both

# SIGTERM asks each to close, as the window's close box does.
for n in 0 1; do
  kill -TERM "${pids[n]}"
done
for n in 0 1; do
  pid=${pids[n]}
  wait_until 30 program_ended || fail "program $n did not end"
  wait "$pid"
  code=$?
  if [ $code -ne 0 ] || grep -qiE "error|sanitizer|fault" "$work/out-$n.log"; then
    cat "$work/out-$n.log" >&2
    fail "program $n: exit status $code, or errors reported"
  fi
done
pid=""
leftovers=$(ls -A "$folder")
[ -z "$leftovers" ] || fail "files were left behind: $leftovers"
echo "PASS"
