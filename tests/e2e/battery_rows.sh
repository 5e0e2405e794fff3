#!/usr/bin/env bash
# Runs the real battery with "Start Test" and watches the lamps: the rows
# from the operating system to the desktop must be scored one after another,
# in the battery's order (free space, disk throughput, processor, free
# memory, memory speed, desktop), each within a generous time. Keeps a
# screenshot of the window as each row is scored.
set -uo pipefail
program=$1
artifacts=$2
mkdir -p "$artifacts"
work=$(mktemp -d)
source "$(dirname "$0")/lib.sh"
start_virtual_display || fail "no display"
trap 'stop_virtual_display; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

# The disk test writes its 100 MB file into a folder of this test's own.
mkdir -p "$work/tmp"
TMPDIR="$work/tmp" "$program" >"$work/out.log" 2>&1 &
pid=$!
wait_until 30 find_window vidorex || fail "the window did not appear"

# Window coordinates: the panel starts 57 pixels down; a row's lamps sit
# 3 pixels below its top and are 15 pixels high.
tops=(8 32 56 80 104 128 152)
names=("operating system" "free space" "disk throughput" "processor speed" "free memory" "memory speed" "desktop")
lamp_xs=(567 583 599)
gray="128,128,128"
start_x=572
start_y=$((57 + 352 + 11))

# One screenshot; prints one word per row, 1 when a lamp of it is lit.
lit_rows() {
  /usr/bin/import -window "$window_id" "$work/shot.png" 2>/dev/null || return 1
  local format="" top x y
  for top in "${tops[@]}"; do
    y=$((57 + top + 3 + 7))
    for x in "${lamp_xs[@]}"; do
      format+="%[fx:int(255*p{$x,$y}.r)],%[fx:int(255*p{$x,$y}.g)],%[fx:int(255*p{$x,$y}.b)] "
    done
  done
  local colours
  colours=($(/usr/bin/convert "$work/shot.png" -format "$format" info: 2>/dev/null)) || return 1
  [ ${#colours[@]} -eq $((3 * ${#tops[@]})) ] || return 1
  local row lamp lit
  for row in "${!tops[@]}"; do
    lit=0
    for lamp in 0 1 2; do
      [ "${colours[$((row * 3 + lamp))]}" != "$gray" ] && lit=1
    done
    printf '%s ' $lit
  done
}

wait_until 30 lit_rows >/dev/null || fail "cannot read the window's pixels"
read -r -a before <<<"$(lit_rows)"
for row in "${!tops[@]}"; do
  [ "${before[$row]}" = 0 ] || fail "the ${names[$row]} row is lit before any test"
done

click $start_x $start_y
begin=$SECONDS
ever=(0 0 0 0 0 0 0)
scored=0
# Disk about 10 x 0.7 s, processor about 6 s, memory about 7.5 s here; a
# loaded machine may take several times as long.
deadline=$((SECONDS + 300))
while [ $scored -lt ${#tops[@]} ]; do
  [ $SECONDS -lt $deadline ] || fail "rows scored after $((SECONDS - begin)) s: ${ever[*]}"
  kill -0 "$pid" 2>/dev/null || fail "the program ended during the battery"
  read -r -a now <<<"$(lit_rows)" || continue
  [ ${#now[@]} -eq ${#tops[@]} ] || continue
  for row in "${!tops[@]}"; do
    [ "${now[$row]}" = 1 ] && [ "${ever[$row]}" = 0 ] || continue
    # A row scored while an earlier one is not: look again a few times, as
    # a red lamp blinks and may have been caught dark.
    for earlier in $(seq 0 $((row - 1))); do
      [ "${ever[$earlier]}" = 1 ] && continue
      seen=0
      for _ in 1 2 3 4 5 6; do
        read -r -a again <<<"$(lit_rows)"
        [ "${again[$earlier]:-0}" = 1 ] && { seen=1; break; }
        sleep 0.1
      done
      [ $seen = 1 ] || fail "the ${names[$row]} row was scored before the ${names[$earlier]} row"
      ever[$earlier]=1
    done
    ever[$row]=1
    scored=$((scored + 1))
    echo "scored: ${names[$row]} after $((SECONDS - begin)) s"
    cp "$work/shot.png" "$artifacts/row-$((row + 1))-${names[$row]// /-}.png"
  done
  sleep 0.2
done
screenshot "$artifacts/desktop-row-scored.png"
[ -z "$(ls -A "$work/tmp")" ] || fail "the disk test left files behind: $(ls -A "$work/tmp")"

# Stop what runs on (the video test) and close; whether the video test has
# already ended the battery or not, at most two clicks close the program.
ended() { ! kill -0 "$pid" 2>/dev/null; }
for _ in 1 2; do
  ended && break
  click $start_x $start_y
  wait_until 5 ended && break
done
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
