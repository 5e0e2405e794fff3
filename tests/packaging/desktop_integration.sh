#!/usr/bin/env bash
# Installs the build as a distribution would (prefix /usr, into a staging
# folder) and checks what the desktop gets: the validators of the desktop
# entry and of the AppStream metadata pass, the entry starts the installed
# program and names an icon installed at every size, and the metadata's
# launchable and binary are the installed ones.
#   desktop_integration.sh BUILD_DIR
set -euo pipefail
build=$1
for tool in desktop-file-validate appstreamcli identify; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/setup.sh installs it)"; exit 77; }
done
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

status=0
fail() { echo "FAIL: $*" >&2; status=1; }

app=example.tervalo.Vidorex
usr=$root/usr
desktop=$usr/share/applications/$app.desktop
metainfo=$usr/share/metainfo/$app.metainfo.xml
[ -f "$desktop" ] || { echo "FAIL: no $app.desktop in share/applications" >&2; exit 1; }
[ -f "$metainfo" ] || { echo "FAIL: no $app.metainfo.xml in share/metainfo" >&2; exit 1; }

# desktop-file-validate exits 0 on warnings and hints, which are faults too.
report=$(desktop-file-validate "$desktop" 2>&1) || true
[ -z "$report" ] || fail "desktop-file-validate: $report"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate rejects the metadata"
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree rejects the installed tree"

entry() { sed -n "s/^$1=//p" "$desktop"; }
program=$(entry Exec)
program=${program%% *}
[ -x "$usr/bin/$program" ] || fail "Exec names $program, which is not installed in bin/"
icon=$(entry Icon)
for size in 16 24 32 48 64 128 256; do
  png=$usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
  if [ ! -f "$png" ]; then
    fail "no $size px icon $icon.png"
  elif [ "$(identify -format '%m %wx%h' "$png")" != "PNG ${size}x${size}" ]; then
    fail "the $size px icon is $(identify -format '%m %wx%h' "$png")"
  fi
done
grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$metainfo" ||
  fail "the metadata's launchable is not $app.desktop"
grep -q "<binary>$program</binary>" "$metainfo" || fail "the metadata does not provide the binary $program"
exit $status
