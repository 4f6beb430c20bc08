# Cross build for 32-bit Windows with Debian's mingw-w64 (posix thread model): the x86 lane.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(SUITE_LANE x86)
set(SUITE_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
