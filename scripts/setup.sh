#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when
# any is missing. Runs apt-get as root, through sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libx11-dev libfreetype-dev libfontconfig-dev libjpeg62-turbo-dev libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  zlib1g-dev
  fonts-dejavu-core fonts-liberation fonts-wine
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev clang-format
  xvfb xauth xdotool imagemagick x11-utils
  desktop-file-utils appstream dpkg-dev
  locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" apt-get update -qq || echo "warning: some package lists could not be updated" >&2
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The tests of number formatting also run under a Polish locale, whose
# decimal separator is a comma.
if ! locale -a 2>/dev/null | grep -qi '^pl_PL\.utf-\?8$'; then
  "${as_root[@]}" sed -i 's/^# *\(pl_PL.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^pl_PL.UTF-8 UTF-8' /etc/locale.gen || echo 'pl_PL.UTF-8 UTF-8' | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
  "${as_root[@]}" locale-gen >/dev/null
fi
