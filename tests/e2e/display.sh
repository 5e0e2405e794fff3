# A virtual X display for the window tests: start_virtual_display starts one
# (unless DISPLAY already names a display that answers) and exports DISPLAY;
# stop_virtual_display stops the one it started. Its screen is 1024 x 768
# at 24 bits, or VX_DISPLAY_SIZE's size (such as 1600x1200) and
# VX_DISPLAY_DEPTH's depth (8: a desktop of 256 colours, with a palette).

virtual_display_pid=""

display_answers() {
  xdpyinfo -display "$1" >/dev/null 2>&1
}

start_virtual_display() {
  if [ -n "${DISPLAY:-}" ] && display_answers "$DISPLAY"; then
    return 0
  fi
  local n
  for n in $(seq 90 140); do
    if [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; then
      continue
    fi
    # -noreset: by default the server starts itself over whenever its last
    # client leaves, and a program started in that moment (the next test's)
    # finds no server; with OpenGL clients the restart takes long enough to
    # be hit.
    Xvfb ":$n" -screen 0 "${VX_DISPLAY_SIZE:-1024x768}x${VX_DISPLAY_DEPTH:-24}" -nolisten tcp -noreset >/dev/null 2>&1 &
    virtual_display_pid=$!
    local waited=0
    while [ $waited -lt 200 ]; do
      if display_answers ":$n"; then
        export DISPLAY=":$n"
        return 0
      fi
      if ! kill -0 "$virtual_display_pid" 2>/dev/null; then
        break
      fi
      sleep 0.1
      waited=$((waited + 1))
    done
    kill "$virtual_display_pid" 2>/dev/null
    virtual_display_pid=""
  done
  echo "cannot start a virtual display" >&2
  return 1
}

stop_virtual_display() {
  if [ -n "$virtual_display_pid" ]; then
    kill "$virtual_display_pid" 2>/dev/null
    wait "$virtual_display_pid" 2>/dev/null
    virtual_display_pid=""
  fi
}
