#!/usr/bin/env bash
# Cross-builds the 32-bit Windows program, build-windows/vidorex.exe, and its
# unit tests (build-windows/vidorex_tests.exe) with MinGW-w64. Installs the
# compiler and what the tests need (Wine) with apt-get when missing, and
# builds the static third-party libraries from Debian's source packages once,
# keeping them in build-windows/third-party/.
#   scripts/build-windows.sh            build everything
#   scripts/build-windows.sh --no-wine  do not install Wine (build only)
set -euo pipefail
cd "$(dirname "$0")/.."

install_wine=1
[ "${1:-}" = "--no-wine" ] && install_wine=0

build_dir=build-windows
third_party=$build_dir/third-party
prefix=$PWD/$third_party/prefix
toolchain=$PWD/cmake/i686-w64-mingw32.cmake
jobs=$(nproc)

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
apt_get() {
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get -o DPkg::Lock::Timeout=900 "$@"
}
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# ---- Packages ---------------------------------------------------------------
packages=(g++-mingw-w64-i686-posix mingw-w64-i686-dev cmake dpkg-dev googletest fonts-wine)
if [ $install_wine -eq 1 ]; then
  # Wine runs the 32-bit tests; its 32-bit half is an i386 package.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
    apt_get update -qq
  fi
  # The system's DirectDraw and Direct3D under Wine draw through OpenGL: the
  # 32-bit Mesa drivers (software rasterisers on a machine without a GPU).
  packages+=(wine wine32:i386 libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386)
fi
missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt_get update -qq
  apt_get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
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
  apt_get update -qq
}

fetch_source() {  # package -> prints the unpacked directory
  local package=$1 dir=$third_party/src
  mkdir -p "$dir"
  if ! ls -d "$dir/$package"-*/ >/dev/null 2>&1; then
    enable_sources
    (cd "$dir" && apt-get source -qq --download-only "$package" >/dev/null && dpkg-source -x --skip-patches "$package"_*.dsc >/dev/null 2>&1 || dpkg-source -x "$package"_*.dsc >/dev/null)
  fi
  ls -d "$dir/$package"-*/ | head -1
}

# libjpeg-turbo: the window's pictures are JPEG and decode as on Linux.
if [ ! -f "$prefix/lib/libjpeg.a" ]; then
  echo "== Building libjpeg-turbo for Windows"
  src=$(fetch_source libjpeg-turbo)
  cmake -S "$src" -B "$third_party/build-libjpeg-turbo" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DWITH_JPEG8=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=OFF >/dev/null
  nice -n 10 cmake --build "$third_party/build-libjpeg-turbo" -j"$jobs" --target jpeg-static >/dev/null
  mkdir -p "$prefix/lib" "$prefix/include"
  cp "$third_party/build-libjpeg-turbo/libjpeg.a" "$prefix/lib/libjpeg.a"
  cp "$src"/jpeglib.h "$src"/jmorecfg.h "$src"/jerror.h "$third_party/build-libjpeg-turbo/jconfig.h" "$prefix/include/"
fi

# ---- The program and its tests ---------------------------------------------
echo "== Building for Windows"
# Optimised as the Linux build (-O2), without its debugging information,
# which only slows the cross-build and bloats the program.
cmake -S . -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DVX_WINDOWS_PREFIX="$prefix" >/dev/null
nice -n 10 cmake --build "$build_dir" -j"$jobs"
