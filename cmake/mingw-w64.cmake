# What both Windows toolchains share: MinGW-w64's GCC with the posix thread
# model (std::thread and std::mutex need it, and GoogleTest with them), for
# the triple the target's toolchain file sets in VX_MINGW_TRIPLE.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VX_MINGW_TRIPLE}-windres)

# The static third-party libraries that scripts/build-windows.sh builds.
set(VX_WINDOWS_PREFIX "" CACHE PATH "Where the static third-party libraries for Windows are installed")
set(CMAKE_FIND_ROOT_PATH /usr/${VX_MINGW_TRIPLE} ${VX_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes of the compiler are linked in, so the program needs
# no DLL beyond those that ship with Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Released programs carry no symbols: they halve the program and leave the
# processor counters' library under a third of its size.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_SHARED_LINKER_FLAGS_RELEASE_INIT "-s")

# CTest runs the Windows programs under Wine (win32 or win64, as Wine names
# the target's prefixes, in VX_WINDOWS_TARGET); where this machine's Wine
# cannot run them they are skipped, with the reason.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ${VX_WINDOWS_TARGET})
