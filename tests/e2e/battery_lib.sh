# Watching the battery's rows in the window, for the tests that run the real
# battery (on top of lib.sh): which rows' lamps are lit, whether the rows
# can be seen (the video test's surface covers them while it runs), and the
# order in which they are scored.

# Window coordinates: the panel starts 57 pixels down; a row's lamps sit 3
# pixels below its top and are 15 pixels high; its digit display is 129 x
# 22 at x 192.
row_tops=(8 32 56 80 104 128 152 176)
row_names=("operating system" "free space" "disk throughput" "processor speed" "free memory" "memory speed" "desktop"
  "video")
result_top=232
lamp_xs=(567 583 599)
lamp_gray="128,128,128"
button_face="255,255,246"

# The window's image for the samples; a test may capture the screen
# instead (shot_command), where the surface is a window of its own.
shot_command=(capture_window)
capture_window() { timeout 20 /usr/bin/import -window "$window_id" "$1" 2>/dev/null; }

# One screenshot, $work/shot.png; prints whether the rows can be seen, then
# one word per row of the first $1 rows, 1 when a lamp of it is lit.
lit_rows() {
  local rows=$1
  "${shot_command[@]}" "$work/shot.png" || return 1
  # The faces of the first and the seventh row's buttons.
  local format="%[fx:int(255*p{14,76}.r)],%[fx:int(255*p{14,76}.g)],%[fx:int(255*p{14,76}.b)] "
  format+="%[fx:int(255*p{14,220}.r)],%[fx:int(255*p{14,220}.g)],%[fx:int(255*p{14,220}.b)] "
  local row x y
  for ((row = 0; row < rows; row++)); do
    y=$((57 + row_tops[row] + 3 + 7))
    for x in "${lamp_xs[@]}"; do
      format+="%[fx:int(255*p{$x,$y}.r)],%[fx:int(255*p{$x,$y}.g)],%[fx:int(255*p{$x,$y}.b)] "
    done
  done
  local colours
  colours=($(/usr/bin/convert "$work/shot.png" -format "$format" info: 2>/dev/null))
  [ ${#colours[@]} -eq $((2 + 3 * rows)) ] || return 1
  if [ "${colours[0]}" = "$button_face" ] && [ "${colours[1]}" = "$button_face" ]; then printf '1 '; else printf '0 '; fi
  local lamp lit
  for ((row = 0; row < rows; row++)); do
    lit=0
    for lamp in 0 1 2; do
      [ "${colours[$((2 + row * 3 + lamp))]}" != "$lamp_gray" ] && lit=1
    done
    printf '%s ' $lit
  done
}

# A sample of the first $watched_rows rows: visible (0/1) in $visible, the
# rows' states in the array $now.
watched_rows=${#row_tops[@]}
sample() {
  local words
  read -r -a words <<<"$(lit_rows "$watched_rows")"
  [ ${#words[@]} -eq $((1 + watched_rows)) ] || return 1
  visible=${words[0]}
  now=("${words[@]:1}")
}

# Clicks "Start Test" and waits until the first $watched_rows rows have been
# scored, failing when one is scored before an earlier one, when the program
# ends, or when $1 seconds pass; stops early (covered=1) when the video
# test's surface covers the rows. Calls each_sample, when defined, after
# every sample (a test's own checks). Keeps a screenshot of each row scored.
watch_rows_scored() {
  local seconds=$1
  click $start_x $start_y
  begin=$SECONDS
  ever=()
  local row earlier seen
  for ((row = 0; row < watched_rows; row++)); do ever+=(0); done
  scored=0
  covered=0
  local deadline=$((SECONDS + seconds))
  while [ $scored -lt "$watched_rows" ] && [ $covered = 0 ]; do
    [ $SECONDS -lt $deadline ] || fail "rows scored after $((SECONDS - begin)) s: ${ever[*]}"
    kill -0 "$pid" 2>/dev/null || fail "the program ended during the battery"
    sample || continue
    declare -F each_sample >/dev/null && each_sample
    if [ "$visible" = 0 ]; then
      covered=1
      echo "the video test covers the rows after $((SECONDS - begin)) s"
      break
    fi
    for ((row = 0; row < watched_rows; row++)); do
      [ "${now[$row]}" = 1 ] && [ "${ever[$row]}" = 0 ] || continue
      # A row scored while an earlier one is not: look again a few times, as
      # a red lamp blinks and may have been caught dark.
      for ((earlier = 0; earlier < row; earlier++)); do
        [ "${ever[$earlier]}" = 1 ] && continue
        seen=0
        for _ in 1 2 3 4 5 6; do
          sleep 0.1
          sample && [ "$visible" = 1 ] && [ "${now[$earlier]}" = 1 ] && { seen=1; break; }
        done
        [ $seen = 1 ] || fail "the ${row_names[$row]} row was scored before the ${row_names[$earlier]} row"
        note_scored "$earlier"
      done
      note_scored "$row"
    done
    sleep 0.2
  done
}

note_scored() {
  ever[$1]=1
  scored=$((scored + 1))
  echo "scored: ${row_names[$1]} after $((SECONDS - begin)) s"
  cp "$work/shot.png" "$artifacts/row-$(($1 + 1))-${row_names[$1]// /-}.png"
}

# After the video test: the rows not yet seen are the last ones of the
# battery; they must all be lit when the rows show again.
expect_remaining_rows_scored() {
  local seconds=$1 row
  wait_until "$seconds" eval 'sample && [ "$visible" = 1 ]' || fail "the rows did not show again after the video test"
  for ((row = 0; row < watched_rows; row++)); do
    [ "${ever[$row]}" = 1 ] && continue
    for _ in 1 2 3 4 5 6; do
      sample && [ "$visible" = 1 ] && [ "${now[$row]}" = 1 ] && break
      sleep 0.1
    done
    [ "${now[$row]}" = 1 ] || fail "the ${row_names[$row]} row was not scored"
    note_scored "$row"
  done
}

# The digit displays' texts in the window's image $1: the rows' then the
# "Result:" row's, one a line.
read_scores() {
  local areas=() top
  for top in "${row_tops[@]}" "$result_top"; do areas+=("190,$((57 + top - 1)),133,24"); done
  python3 "$(dirname "${BASH_SOURCE[0]}")/read_digits.py" "$1" "${areas[@]}"
}

# The end of the battery: the memo's closing lines, yellow text on navy.
memo_has_text() {
  /usr/bin/import -window "$window_id" "$work/memo.png" 2>/dev/null || return 1
  local yellow
  yellow=$(/usr/bin/convert "$work/memo.png" -crop 600x40+10+$((57 + 266)) +repage -fill black +opaque "rgb(255,255,0)" -format "%[fx:int(mean*w*h*3)]" info: 2>/dev/null)
  [ -n "$yellow" ] && [ "$yellow" -gt 50 ]
}

# The overall bar, 613 pixels from x 8, at 90 %: its ramp ends near x 558.
bar_y=$((57 + 328 + 7))
bar_at_ninety() { pixel_is_not 550 $bar_y "0,0,0" && pixel_is 590 $bar_y "0,0,0"; }
