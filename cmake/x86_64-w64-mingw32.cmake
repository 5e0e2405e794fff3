# Cross-building the 64-bit Windows program with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VX_MINGW_TRIPLE x86_64-w64-mingw32)
set(VX_WINDOWS_TARGET win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
