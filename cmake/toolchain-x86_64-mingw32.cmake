# Cross build for 64-bit Windows with Debian's mingw-w64 (posix thread model): the x64 lane.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(SUITE_LANE x64)
set(SUITE_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
