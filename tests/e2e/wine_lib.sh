# Helpers for the Windows program's window tests under Wine, on top of
# lib.sh: the prefix for the program's target and the program's titled
# window.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/windows-targets.sh"

# Learns the program's target (win32 or win64) and makes Wine ready for it:
# a prefix named by WINEPREFIX is used as it is (scripts/wine-prefix.sh
# makes one); without one the test makes its own. Exits with status 77
# (skipped) when this machine cannot run the target's Wine. Needs
# begin_window_test first. WINEDEBUG is the caller's to widen.
begin_wine_test() {
  local program=$1
  wine_target=$(pe_target "$program") || fail "$program is no Windows program"
  if ! wine_runs "$wine_target"; then
    echo "SKIP: the $wine_target program cannot run here: $wine_unavailable_reason"
    exit 77
  fi
  wine_command=$(wine_loader "$wine_target")
  export WINEARCH=$wine_target WINELOADER=$wine_command
  export WINEDEBUG=${WINEDEBUG:--all}
  if [ -z "${WINEPREFIX:-}" ]; then
    export WINEPREFIX=$work/prefix
    # The prefix's server, and whatever it still runs, go with the test.
    trap 'stop_virtual_display; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
    "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-prefix.sh" "$WINEPREFIX" "$wine_target" "$(dirname "$program")" \
      >"$work/wine-prefix.log" 2>&1 || { cat "$work/wine-prefix.log" >&2; fail "cannot make a Wine prefix"; }
  fi
}

# Starts the program under Wine in the work folder, its output in
# $work/out.log, and waits for its titled window.
wine_title="www.tervalo.example - Tervalo Vidorex"
find_titled_window() { find_window_matching --name "^${wine_title}\$"; }
launch_under_wine() {
  local program=$1
  [ -f "$program" ] || fail "no program at $program"
  (cd "$work" && exec "$wine_command" "$program" >"$work/out.log" 2>&1) &
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

# The prefix's temporary folder (the program's %TEMP%), as a Linux path.
wine_temp_folder() {
  local temp
  temp=$("$wine_command" cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
  [ -n "$temp" ] && winepath -u "$temp" 2>/dev/null
}

# Asks the titled window to close, as a click on its close box does
# (without a window manager the message comes from close_box.py).
click_close_box() { python3 "$(dirname "${BASH_SOURCE[0]}")/close_box.py" "$window_id"; }

