#!/usr/bin/env bash
# The pictures in resources/ are the generator's output, committed; a
# generator changed without a new run leaves them stale, which only shows
# once someone regenerates for another reason. Runs the generator into a
# temporary folder and compares every file it writes with the committed one.
# (The bytes depend on the zlib and libjpeg the generator is built with:
# those of Debian 12, where the committed files were made.)
#   pictures_current.sh GENERATOR RESOURCES_DIR
set -euo pipefail
generator=$1
resources=$2
fresh=$(mktemp -d)
trap 'rm -rf "$fresh"' EXIT
"$generator" "$fresh"
status=0
count=0
while IFS= read -r -d '' file; do
  name=${file#"$fresh"/}
  count=$((count + 1))
  cmp -s "$file" "$resources/$name" || {
    echo "FAIL: resources/$name differs from the generator's output" \
      "(cmake --build BUILD --target vidorex_pictures writes it anew)" >&2
    status=1
  }
done < <(find "$fresh" -type f -print0)
[ $count -gt 0 ] || { echo "FAIL: the generator wrote nothing" >&2; exit 1; }
exit $status
