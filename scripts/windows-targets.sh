# The two Windows targets, named as Wine names its prefixes' architectures:
# win32, the 32-bit program the tree was made as, and win64 beside it.
# Sourced by the Windows scripts and the Wine window tests.

windows_triple() {  # win32|win64 -> the MinGW-w64 triple
  case "$1" in
    win32) echo i686-w64-mingw32 ;;
    win64) echo x86_64-w64-mingw32 ;;
    *) return 1 ;;
  esac
}

windows_compiler_packages() {  # win32|win64 -> Debian's packages of its compiler
  case "$1" in
    win32) echo g++-mingw-w64-i686-posix mingw-w64-i686-dev ;;
    win64) echo g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev ;;
    *) return 1 ;;
  esac
}

windows_build_dir() {  # win32|win64 -> the build folder, from the tree's top
  case "$1" in
    win32) echo build-windows ;;
    win64) echo build-windows-x64 ;;
    *) return 1 ;;
  esac
}

windows_preset() {  # win32|win64 -> its configure preset (CMakePresets.json)
  case "$1" in
    win32) echo windows-x86 ;;
    win64) echo windows-x64 ;;
    *) return 1 ;;
  esac
}

# Wine's loader for a target: the 64-bit one directly, never through
# /usr/bin/wine, which prefers the 32-bit loader whenever it is installed,
# even where the kernel refuses to start it.
wine_loader() {  # win32|win64
  case "$1" in
    win32) echo /usr/lib/wine/wine ;;
    win64) echo /usr/lib/wine/wine64 ;;
    *) return 1 ;;
  esac
}

# Whether this machine can run a target's programs under Wine: decided by
# starting that Wine, not by the kernel's version or the packages. On
# failure the reason is in $wine_unavailable_reason.
wine_unavailable_reason=""
wine_runs() {  # win32|win64
  local loader output
  loader=$(wine_loader "$1") || return 1
  if [ ! -x "$loader" ]; then
    wine_unavailable_reason="$loader is not installed"
    return 1
  fi
  if ! output=$("$loader" --version 2>&1); then
    wine_unavailable_reason="$loader does not start: $(head -1 <<<"$output")"
    return 1
  fi
  wine_unavailable_reason=""
}

# The target a Windows program was built for, from its PE header's machine
# field: win32 (i386) or win64 (x86-64).
pe_target() {  # program.exe
  local header machine
  header=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ') || return 1
  [ -n "$header" ] || return 1
  machine=$(od -An -t x2 -j $((header + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')
  case "$machine" in
    014c) echo win32 ;;
    8664) echo win64 ;;
    *) return 1 ;;
  esac
}
