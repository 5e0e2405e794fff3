#!/usr/bin/env bash
# Cross-builds the Windows programs and their unit tests with MinGW-w64:
#   build-windows/vidorex.exe       the 32-bit program (Windows 7 to 11, 32- or 64-bit)
#   build-windows-x64/vidorex.exe   the 64-bit program (64-bit Windows)
# each with tests/vidorex_tests.exe and the processor counters' provider for
# Wine (vidorex_counters.dll) beside it, and the zip that ships the program
# (vidorex-<version>-win32.zip, vidorex-<version>-win64.zip: the program, the
# provider and a read-me). Installs the compilers and what the tests need
# (Wine) with apt-get when missing, and builds the static third-party
# libraries from Debian's source packages once per target, keeping them in
# <build folder>/third-party/.
#   scripts/build-windows.sh [win32|win64|all]... [--no-wine]
# --no-wine: install no Wine (build only). The 32-bit half of Wine is an
# i386 package that not every machine can install or run; its absence only
# means the 32-bit program cannot be tried here (scripts/test-windows.sh says so).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-targets.sh

targets=()
install_wine=1
for argument in "$@"; do
  case "$argument" in
    win32 | win64) targets+=("$argument") ;;
    all) targets+=(win32 win64) ;;
    --no-wine) install_wine=0 ;;
    *) echo "usage: $0 [win32|win64|all] [--no-wine]" >&2; exit 2 ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(win32 win64)
jobs=$(nproc)

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
apt_get() {
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get -o DPkg::Lock::Timeout=900 "$@"
}
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
install_missing() {  # packages... -> installs those not installed yet
  local missing=() p
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  apt_get update -qq || true
  apt_get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# ---- Packages ---------------------------------------------------------------
# icoutils: scripts/test-windows.sh reads the programs' resources with it.
packages=(cmake dpkg-dev googletest fonts-wine icoutils unzip)
for target in "${targets[@]}"; do
  read -ra compiler <<<"$(windows_compiler_packages "$target")"
  packages+=("${compiler[@]}")
done
install_missing "${packages[@]}"
if [ $install_wine -eq 1 ]; then
  # 64-bit Wine runs the 64-bit program everywhere. The system's DirectDraw
  # and Direct3D under Wine draw through OpenGL: Mesa's drivers (software
  # rasterisers on a machine without a GPU).
  install_missing wine wine64 libgl1 libgl1-mesa-dri libglx-mesa0
  # Its 32-bit half is an i386 package: tried, and only warned about when the
  # machine's package lists cannot give it.
  if ! installed wine32:i386; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      "${as_root[@]}" dpkg --add-architecture i386
    fi
    install_missing wine32:i386 libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386 ||
      echo "warning: 32-bit Wine (wine32:i386) could not be installed; the 32-bit program will not be tried here" >&2
  fi
fi

# ---- Third-party libraries, from Debian's sources ----------------------------
# Debian's source lists are needed for apt-get source; they are added beside
# the binary ones when the machine has none.
enable_sources() {
  if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then return; fi
  local list=/etc/apt/sources.list.d/debian.sources
  if [ -f "$list" ]; then
    sed 's/^Types: deb$/Types: deb-src/' "$list" | "${as_root[@]}" tee /etc/apt/sources.list.d/vidorex-deb-src.sources >/dev/null
  else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | "${as_root[@]}" tee /etc/apt/sources.list.d/vidorex-deb-src.list >/dev/null
  fi
  apt_get update -qq || true
}

source_dir=build-windows-sources
fetch_source() {  # package -> prints the unpacked directory
  local package=$1
  mkdir -p "$source_dir"
  if ! ls -d "$source_dir/$package"-*/ >/dev/null 2>&1; then
    enable_sources
    (cd "$source_dir" && apt-get source -qq --download-only "$package" >/dev/null && dpkg-source -x --skip-patches "$package"_*.dsc >/dev/null 2>&1 || dpkg-source -x "$package"_*.dsc >/dev/null)
  fi
  ls -d "$source_dir/$package"-*/ | head -1
}

build_target() {  # win32|win64
  local target=$1 build_dir third_party prefix toolchain src
  build_dir=$(windows_build_dir "$target")
  third_party=$build_dir/third-party
  prefix=$PWD/$third_party/prefix
  toolchain=$PWD/cmake/$(windows_triple "$target").cmake

  # libjpeg-turbo: the window's pictures are JPEG and decode as on Linux.
  if [ ! -f "$prefix/lib/libjpeg.a" ]; then
    echo "== Building libjpeg-turbo for Windows ($target)"
    src=$(fetch_source libjpeg-turbo)
    cmake -S "$src" -B "$third_party/build-libjpeg-turbo" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
      -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DWITH_JPEG8=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=OFF >/dev/null
    nice -n 10 cmake --build "$third_party/build-libjpeg-turbo" -j"$jobs" --target jpeg-static >/dev/null
    mkdir -p "$prefix/lib" "$prefix/include"
    cp "$third_party/build-libjpeg-turbo/libjpeg.a" "$prefix/lib/libjpeg.a"
    cp "$src"/jpeglib.h "$src"/jmorecfg.h "$src"/jerror.h "$third_party/build-libjpeg-turbo/jconfig.h" "$prefix/include/"
  fi

  echo "== Building for Windows ($target)"
  # The configuration is the preset's (CMakePresets.json): optimised as the
  # Linux build, without its debugging information, the libraries above.
  cmake --preset "$(windows_preset "$target")" >/dev/null
  nice -n 10 cmake --build "$build_dir" -j"$jobs"
  (cd "$build_dir" && cpack -G ZIP >/dev/null)
  echo "== Made $(ls "$build_dir"/vidorex-*-"$target".zip)"
}

for target in "${targets[@]}"; do build_target "$target"; done
