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

# Window coordinates: the panel starts 57 pixels down; a row's lamps sit
# 3 pixels below its top and are 15 pixels high.
tops=(8 32 56 80 104 128 152)
names=("operating system" "free space" "disk throughput" "processor speed" "free memory" "memory speed" "desktop")
lamp_xs=(567 583 599)
gray="128,128,128"
start_x=572
start_y=$((57 + 352 + 11))

face="255,255,246"

# One screenshot; prints whether the rows can be seen (the video test's
# surface covers them while it runs), then one word per row, 1 when a lamp
# of it is lit.
lit_rows() {
  /usr/bin/import -window "$window_id" "$work/shot.png" 2>/dev/null || return 1
  # The faces of the first and the last row's buttons.
  local format="%[fx:int(255*p{14,76}.r)],%[fx:int(255*p{14,76}.g)],%[fx:int(255*p{14,76}.b)] "
  format+="%[fx:int(255*p{14,220}.r)],%[fx:int(255*p{14,220}.g)],%[fx:int(255*p{14,220}.b)] "
  local top x y
  for top in "${tops[@]}"; do
    y=$((57 + top + 3 + 7))
    for x in "${lamp_xs[@]}"; do
      format+="%[fx:int(255*p{$x,$y}.r)],%[fx:int(255*p{$x,$y}.g)],%[fx:int(255*p{$x,$y}.b)] "
    done
  done
  local colours
  colours=($(/usr/bin/convert "$work/shot.png" -format "$format" info: 2>/dev/null))
  [ ${#colours[@]} -eq $((2 + 3 * ${#tops[@]})) ] || return 1
  if [ "${colours[0]}" = "$face" ] && [ "${colours[1]}" = "$face" ]; then printf '1 '; else printf '0 '; fi
  local row lamp lit
  for row in "${!tops[@]}"; do
    lit=0
    for lamp in 0 1 2; do
      [ "${colours[$((2 + row * 3 + lamp))]}" != "$gray" ] && lit=1
    done
    printf '%s ' $lit
  done
}

# A sample: visible (0/1) in $visible, the rows' states in the array $now.
sample() {
  local words
  read -r -a words <<<"$(lit_rows)"
  [ ${#words[@]} -eq $((1 + ${#tops[@]})) ] || return 1
  visible=${words[0]}
  now=("${words[@]:1}")
}

wait_until 30 sample || fail "cannot read the window's pixels"
sample
[ "$visible" = 1 ] || fail "the rows cannot be seen before any test"
for row in "${!tops[@]}"; do
  [ "${now[$row]}" = 0 ] || fail "the ${names[$row]} row is lit before any test"
done

click $start_x $start_y
begin=$SECONDS
ever=(0 0 0 0 0 0 0)
scored=0
note_scored() {
  ever[$1]=1
  scored=$((scored + 1))
  echo "scored: ${names[$1]} after $((SECONDS - begin)) s"
  cp "$work/shot.png" "$artifacts/row-$(($1 + 1))-${names[$1]// /-}.png"
}
# Disk about 10 x 0.7 s, processor about 6 s, memory about 7.5 s here; a
# loaded machine may take several times as long. Right after the desktop
# row the video test's surface covers the rows until its two phases end.
deadline=$((SECONDS + 300))
covered=0
while [ $scored -lt ${#tops[@]} ] && [ $covered = 0 ]; do
  [ $SECONDS -lt $deadline ] || fail "rows scored after $((SECONDS - begin)) s: ${ever[*]}"
  kill -0 "$pid" 2>/dev/null || fail "the program ended during the battery"
  sample || continue
  if [ "$visible" = 0 ]; then
    covered=1
    echo "the video test covers the rows after $((SECONDS - begin)) s"
    break
  fi
  for row in "${!tops[@]}"; do
    [ "${now[$row]}" = 1 ] && [ "${ever[$row]}" = 0 ] || continue
    # A row scored while an earlier one is not: look again a few times, as
    # a red lamp blinks and may have been caught dark.
    for earlier in $(seq 0 $((row - 1))); do
      [ "${ever[$earlier]}" = 1 ] && continue
      seen=0
      for _ in 1 2 3 4 5 6; do
        sleep 0.1
        sample && [ "$visible" = 1 ] && [ "${now[$earlier]}" = 1 ] && { seen=1; break; }
      done
      [ $seen = 1 ] || fail "the ${names[$row]} row was scored before the ${names[$earlier]} row"
      note_scored "$earlier"
    done
    note_scored "$row"
  done
  sleep 0.2
done

if [ $covered = 1 ]; then
  # The rows not yet seen are the last ones of the battery; they must all
  # be lit when the video test has ended and the rows show again.
  wait_until 120 eval 'sample && [ "$visible" = 1 ]' || fail "the rows did not show again after the video test"
  for row in "${!tops[@]}"; do
    [ "${ever[$row]}" = 1 ] && continue
    for _ in 1 2 3 4 5 6; do
      sample && [ "$visible" = 1 ] && [ "${now[$row]}" = 1 ] && break
      sleep 0.1
    done
    [ "${now[$row]}" = 1 ] || fail "the ${names[$row]} row was not scored"
    note_scored "$row"
  done
fi
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
