# Cross-building the 32-bit Windows program with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VX_MINGW_TRIPLE i686-w64-mingw32)
set(VX_WINDOWS_TARGET win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
