#!/usr/bin/env bash
# The Windows program's disk test under Wine on a full disk: the temporary
# folder is the root of a drive whose letter Wine maps to a 1 MiB file
# system. The system's message box says "Disk full", its OK closes it, the
# window goes on (a check then scores its row), no test file is left, and
# the close box ends the program with status 0. Needs root for the file
# system; exits 77 (skipped) without.
# Usage: windows_disk_full.sh build-windows-x64/vidorex.exe artifacts-dir
set -uo pipefail
program=$(realpath "$1")
artifacts=$2
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/battery_lib.sh"
[ "$(id -u)" -eq 0 ] || { echo "SKIP: mounting the full disk needs root"; exit 77; }
begin_window_test
# The test changes the prefix's temporary folder and drives: a prefix of
# its own, whatever prefix the caller names.
unset WINEPREFIX
begin_wine_test "$program"

full=$(mktemp -d)
if ! mount -t tmpfs -o size=1m tmpfs "$full"; then
  rmdir "$full"
  echo "SKIP: cannot mount a file system"
  exit 77
fi
# The program and the prefix's server go before the file system does.
eval "prefix_cleanup=$(trap -p EXIT | sed -E "s/^trap -- //; s/ EXIT$//")"
trap '[ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; wineserver -k 2>/dev/null; umount "$full"; rmdir "$full"; '"$prefix_cleanup" EXIT

drive=""
for letter in t u v w x y; do
  [ -e "$WINEPREFIX/dosdevices/$letter:" ] || { drive=$letter; break; }
done
[ -n "$drive" ] || fail "no free drive letter in the prefix"
ln -s "$full" "$WINEPREFIX/dosdevices/$drive:"
for variable in TEMP TMP; do
  "$wine_command" reg add 'HKCU\Environment' /v $variable /t REG_SZ /d "${drive^^}:\\" /f >/dev/null 2>&1 ||
    fail "cannot set $variable in the prefix"
done
temp=$(wine_temp_folder)
[ "$(realpath "$temp")" = "$(realpath "$full")" ] || fail "the temporary folder is $temp, not the drive ${drive^^}:"
echo "temporary folder: ${drive^^}:\\, a $(df -h --output=size "$full" | tail -1 | tr -d ' ') file system"

# The system's message box tells its text to Wine's log.
export WINEDEBUG=-all,trace+msgbox
launch_under_wine "$program"
wait_until 60 sample || fail "cannot read the window's pixels"
watched_rows=3
rows_are() { sample && [ "$visible" = 1 ] && [ "${now[*]}" = "$1" ]; }
wait_until 30 rows_are "0 0 0" || fail "the rows are not shown unlit at the start"

click 90 $((57 + row_tops[2] + 11))
wait_until 60 error_box_shown || fail "no error box after the disk test on a full disk"
wait_until 10 grep -q 'MSGBOX_OnInit L"Disk full"' "$work/out.log" ||
  fail "the box does not say \"Disk full\": $(grep -m3 MSGBOX_OnInit "$work/out.log")"
echo "the box, titled \"$(xdotool getwindowname "$box_id")\", says: $(grep -m1 -o 'L"Disk full"' "$work/out.log")"
echo "while the box is up the folder holds:"
ls -la "$full"
close_error_box
echo "after OK the folder holds:"
ls -la "$full"
[ -z "$(ls -A "$full")" ] || fail "the test file was left"

# The window goes on: the operating system check scores its row.
click 90 $((57 + row_tops[0] + 11))
xdotool mousemove --window "$window_id" 300 30
wait_until 30 rows_are "1 0 0" || fail "the window does not go on after the box (rows ${now[*]:-?})"
screenshot "$artifacts/after-the-box.png"

click_close_box
ended_cleanly 30 "^vidorex:"
[ -z "$(ls -A "$full")" ] || fail "a file was left at the end: $(ls -la "$full")"
echo "PASS"
