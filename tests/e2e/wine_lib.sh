# Helpers for the Windows program's window tests under Wine, on top of
# lib.sh: the 32-bit prefix and the program's titled window.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# A Wine prefix named by WINEPREFIX (32-bit) is used as it is; without one
# the test makes its own, with Wine's fonts in it. Needs begin_window_test
# first. WINEDEBUG is the caller's to widen.
begin_wine_test() {
  command -v wine >/dev/null || fail "Wine is not installed (scripts/build-windows.sh installs it)"
  export WINEARCH=win32
  export WINEDEBUG=${WINEDEBUG:--all}
  if [ -z "${WINEPREFIX:-}" ]; then
    export WINEPREFIX=$work/prefix
    # The prefix's server, and whatever it still runs, go with the test.
    trap 'stop_virtual_display; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
    wineboot --init >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; fail "cannot make a Wine prefix"; }
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
  fi
}

# Starts the program under Wine in the work folder, its output in
# $work/out.log, and waits for its titled window.
wine_title="www.tervalo.example - Tervalo Vidorex"
find_titled_window() { find_window_matching --name "^${wine_title}\$"; }
launch_under_wine() {
  local program=$1
  [ -f "$program" ] || fail "no program at $program"
  (cd "$work" && exec wine "$program" >"$work/out.log" 2>&1) &
  pid=$!
  wait_until 90 find_titled_window || { cat "$work/out.log" >&2; fail "the titled window did not appear"; }
}

# The program's error box ("Vidorex"), in $box_id, and its closing by its
# one button, which sits centred above the box's bottom edge.
box_id=""
error_box_shown() {
  first_viewable --name "^Vidorex\$"
  box_id=$found_id
  [ -n "$box_id" ]
}
close_error_box() {
  local width height
  width=$(xwininfo -id "$box_id" | awk '/Width:/ {print $2}')
  height=$(xwininfo -id "$box_id" | awk '/Height:/ {print $2}')
  /usr/bin/import -window root "$artifacts/error-box.png" 2>/dev/null
  xdotool mousemove --window "$box_id" $((width / 2)) $((height - 22)) click 1
  wait_until 30 bash -c "! xwininfo -id $box_id 2>/dev/null | grep -q IsViewable" || fail "the error box did not close"
}

# What the screen shows where the window lies, overlapping windows included
# (the video test's surface is a window of its own over the main one).
screen_of_window() {
  local out=$1 geometry
  geometry=$(xwininfo -id "$window_id" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h "+" x "+" y}')
  timeout 20 /usr/bin/import -window root -crop "$geometry" +repage "$out" 2>/dev/null
}

# A pixel of the screen, in the window's coordinates, as "r,g,b".
screen_pixel() {
  screen_of_window "$work/screen-probe.png" || return 1
  /usr/bin/convert "$work/screen-probe.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info: 2>/dev/null
}
