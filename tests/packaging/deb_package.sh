#!/usr/bin/env bash
# Makes the Debian package of the build and checks its name, its control
# fields and that it holds exactly what `cmake --install` puts under /usr,
# with the program stripped of its debugging information.
#   deb_package.sh BUILD_DIR
set -euo pipefail
build=$1
for tool in cpack dpkg-deb dpkg-shlibdeps readelf; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/setup.sh installs it)"; exit 77; }
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log" >&2; exit 1; }

status=0
fail() { echo "FAIL: $*" >&2; status=1; }

version=1.0~beta5
deb=$out/vidorex_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "FAIL: no $(basename "$deb"); made: $(cd "$out" && ls ./*.deb)" >&2; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
# name, then the field's value as an extended regular expression
while read -r name value; do
  [[ "$(field "$name")" =~ ^$value$ ]] || fail "$name is \"$(field "$name")\", not /$value/"
done <<EOF_FIELDS
Package vidorex
Version $version
Section utils
Recommends fonts-wine, fonts-liberation
Maintainer [^<]+ <[^@]+@[^>]+>
Homepage https://.+
EOF_FIELDS
description=$(field Description)
[ "${description%%$'\n'*}" = "tells whether this computer is fit to play video films" ] ||
  fail "the description's first line is \"${description%%$'\n'*}\""
[ "$(grep -c '^ [^ ]' <<<"$description")" -ge 3 ] || fail "the description has no extended text: $description"
[ "$(wc -L <<<"$description")" -le 80 ] || fail "the description has lines wider than 80 columns: $description"
# Taken from what the program links: dpkg-shlibdeps ran.
depends=$(field Depends)
for library in libc6 'libstdc\+\+6' libsdl2-2.0-0 libfreetype6 libfontconfig1 libjpeg62-turbo; do
  versioned=", $library \(>= [^)]+\),"
  [[ ", $depends," =~ $versioned ]] || fail "Depends lacks a versioned $library: $depends"
done

expected=(
  usr/bin/vidorex
  usr/share/applications/example.tervalo.Vidorex.desktop
  usr/share/metainfo/example.tervalo.Vidorex.metainfo.xml
)
for size in 16 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/example.tervalo.Vidorex.png")
done
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[ "$files" = "$wanted" ] || fail "the package holds other files than expected:
$(diff <(echo "$wanted") <(echo "$files") || true)"

dpkg-deb -x "$deb" "$out/root"
if readelf -S "$out/root/usr/bin/vidorex" | grep -q '\.debug_info'; then
  fail "the program keeps its debugging information"
fi
exit $status
