# Helpers for driving the program in a real window. Every wait polls with a
# generous time-out: the machine running the tests may be busy.

source "$(dirname "${BASH_SOURCE[0]}")/display.sh"

fail() {
  echo "FAIL: $*" >&2
  # What the window showed at the failure, for whoever reads the log.
  # Only while the window still exists: given a window that is gone, import
  # waits for the user to pick one with the mouse, for ever.
  if [ -n "${window_id:-}" ] && [ -n "${artifacts:-}" ] && xwininfo -id "$window_id" >/dev/null 2>&1; then
    timeout 20 /usr/bin/import -window "$window_id" "$artifacts/failure.png" 2>/dev/null &&
      echo "window at the failure: $artifacts/failure.png" >&2
  fi
  exit 1
}

# Polls a command until it succeeds or the seconds run out.
wait_until() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  while [ $SECONDS -lt $deadline ]; do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  "$@"
}

# The first window that `xdotool search ARGS...` finds and that is
# viewable, in $found_id.
found_id=""
first_viewable() {
  local id
  found_id=""
  for id in $(xdotool search "$@" 2>/dev/null); do
    if xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable"; then
      found_id=$id
      return 0
    fi
  done
  return 1
}

# The program's visible window that `xdotool search ARGS...` finds, in
# $window_id; find_window looks for it by class (the 3D device keeps a
# hidden one of the same class).
window_id=""
find_window_matching() {
  first_viewable "$@"
  window_id=$found_id
  [ -n "$window_id" ]
}
find_window() { find_window_matching --class "$1"; }

# The colour of a pixel of the window, as "r,g,b".
pixel() {
  local x=$1 y=$2
  timeout 20 /usr/bin/import -window "$window_id" "$work/probe.png" 2>/dev/null || return 1
  /usr/bin/convert "$work/probe.png" -format "%[fx:int(255*p{$x,$y}.r)],%[fx:int(255*p{$x,$y}.g)],%[fx:int(255*p{$x,$y}.b)]" info: 2>/dev/null
}

pixel_is() {
  [ "$(pixel "$1" "$2")" = "$3" ]
}

pixel_is_not() {
  local p
  p=$(pixel "$1" "$2") || return 1
  [ -n "$p" ] && [ "$p" != "$3" ]
}

click() {
  xdotool mousemove --window "$window_id" "$1" "$2" click 1
}

screenshot() {
  timeout 20 /usr/bin/import -window "$window_id" "$1"
}

# Part of the window (a geometry such as 60x12+540+413) as a picture file.
region_shot() {
  timeout 20 /usr/bin/import -window "$window_id" "$work/region-window.png" 2>/dev/null &&
    /usr/bin/convert "$work/region-window.png" -crop "$1" +repage "$2"
}
# Pixels that differ between two pictures.
differing() { /usr/bin/compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }

# Clicks a button whose face changes for good on the click (its caption)
# and waits for the change within the geometry given, until two pictures
# running agree (a pushed look passes): the program has then handled the
# click, where a fixed pause would only hope so.
click_until_changed() {
  local x=$1 y=$2 geometry=$3
  xdotool mousemove --window "$window_id" "$x" "$y"
  region_shot "$geometry" "$work/region-before.png" || return 1
  click "$x" "$y"
  region_changed() {
    region_shot "$geometry" "$work/region-now.png" && region_shot "$geometry" "$work/region-again.png" &&
      [ "$(differing "$work/region-before.png" "$work/region-now.png")" != 0 ] &&
      [ "$(differing "$work/region-now.png" "$work/region-again.png")" = 0 ]
  }
  wait_until 30 region_changed
}

# The frame every window test runs in: a work folder, the virtual display
# and the cleanup of both and of the program. Needs $artifacts.
begin_window_test() {
  mkdir -p "$artifacts"
  work=$(mktemp -d)
  start_virtual_display || fail "no display"
  trap 'stop_virtual_display; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
}

# Starts the program in the background, its output kept in $work/out.log,
# and waits for its window (by window class). The disk test writes its file
# into a folder of the test's own.
launch() {
  local program=$1 class=$2
  mkdir -p "$work/tmp"
  TMPDIR="$work/tmp" "$program" >"$work/out.log" 2>&1 &
  pid=$!
  wait_until 30 find_window "$class" || { cat "$work/out.log" >&2; fail "the window did not appear"; }
}

program_ended() { ! kill -0 "$pid" 2>/dev/null; }

# The test file that process PID has open in FOLDER, as /proc/PID/fd/N, in
# $open_test_file. Its name goes as soon as it is made, so the folder does
# not show it: the descriptor names it "(deleted)".
open_test_file=""
find_open_test_file() {
  local process=$1 path fd
  path="$(realpath "$2")/AVITest.tmp (deleted)"
  open_test_file=""
  for fd in /proc/"$process"/fd/*; do
    if [ "$(readlink "$fd" 2>/dev/null)" = "$path" ]; then
      open_test_file=$fd
      return 0
    fi
  done
  return 1
}
# A pass of process PID under way in FOLDER: its test file holds data.
writing_test_file() { find_open_test_file "$1" "$2" && [ -s "$open_test_file" ]; }

# After the closing click: the program must end by itself with status 0 and
# without reporting errors.
#   ended_cleanly SECONDS ERRORS [LABEL]: within SECONDS, with status 0 and no
#   line of its output matching ERRORS (an extended pattern, any case);
#   LABEL begins every failure's message.
ended_cleanly() {
  local seconds=$1 errors=$2 label=${3:-}
  wait_until "$seconds" program_ended || fail "${label}the program did not end after \"Zamknij\""
  wait "$pid"
  local code=$?
  pid=""
  if [ $code -ne 0 ] || grep -qiE "$errors" "$work/out.log"; then
    cat "$work/out.log" >&2
    fail "${label}exit status $code, or errors reported"
  fi
}

expect_clean_exit() {
  ended_cleanly 30 "error|sanitizer|fault"
  echo "PASS"
}
