#!/usr/bin/env bash
# What a Windows build ships: the program carries its icon (16, 32 and 48
# pixels) and its version resource, and no application manifest; the zip
# holds the program as built, the processor counters' provider and the
# read-me, in one folder named as the zip. Run by scripts/test-windows.sh.
#   windows_shipping.sh BUILD_DIR win32|win64
set -euo pipefail
build=$1
target=$2
version=1.0-beta5
status=0
fail() { echo "FAIL: $*" >&2; status=1; }
program=$build/vidorex.exe

# Resource types by number: 3 icon, 14 icon group, 16 version, 24 manifest.
types=$(wrestool -l "$program" | sed -nE 's/^--type=([0-9]+) .*/\1/p' | sort -nu | tr '\n' ' ')
[ "$types" = "3 14 16 " ] || fail "the program's resource types are \"$types\", not icons, an icon group and a version"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wrestool -x --type=group_icon "$program" >"$work/program.ico"
sizes=$(icotool -l "$work/program.ico" | sed -nE 's/.*--width=([0-9]+) --height=\1 --bit-depth=32 .*/\1/p' | tr '\n' ' ')
[ "$sizes" = "16 32 48 " ] || fail "the program's icon has the 32-bit pictures \"$sizes\", not 16, 32 and 48"

# The version's strings are UTF-16, each name followed by its value.
resource=$work/version.res
wrestool -x --raw --type=version "$program" >"$resource"
strings=$(strings -el "$resource")
while IFS='|' read -r name value; do
  [ "$(grep -m1 -xF -A1 "$name" <<<"$strings" | tail -1)" = "$value" ] || fail "the version's $name is not \"$value\""
done <<'EOF_STRINGS'
CompanyName|Tervalo
ProductName|Vidorex
FileVersion|1.0 Beta5
ProductVersion|1.0 Beta5
EOF_STRINGS
# The numbers that installers compare: after the fixed part's signature and
# its structure version come the file version's high and low words, 1.0 and 0.5.
numbers=$(od -An -v -tx4 "$resource" | tr -s ' \n' '\n' | grep -A3 -m1 '^feef04bd$' | tail -2 | tr '\n' ' ')
[ "$numbers" = "00010000 00000005 " ] || fail "the file version's numbers are \"$numbers\", not 1,0,0,5"

zip=$build/vidorex-$version-$target.zip
folder=vidorex-$version-$target
[ -f "$zip" ] || { echo "FAIL: no $zip" >&2; exit 1; }
listed=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[ "$listed" = "$folder/README.txt $folder/vidorex.exe $folder/vidorex_counters.dll " ] ||
  fail "the zip holds \"$listed\""
unzip -q "$zip" -d "$work"
cmp -s "$work/$folder/vidorex.exe" "$program" || fail "the zip's vidorex.exe is not the one built"
cmp -s "$work/$folder/vidorex_counters.dll" "$build/vidorex_counters.dll" || fail "the zip's provider is not the one built"
# Notepad before Windows 10 shows a text without carriage returns as one line.
! grep -qv $'\r$' "$work/$folder/README.txt" || fail "the read-me has lines without a carriage return"
exit $status
