#!/usr/bin/env bash
# Configures and builds the suite in each chosen lane (SUITE_LANES, default both) into
# $BUILD_DIR/<lane> (default build/x86 and build/x64); programs and libraries land in <lane>/bin.
# Extra arguments go to the build tool (for example --target dicbuild).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}
. "$root/scripts/lanes.sh"
for lane in $(suite_lanes); do
  dir=$(suite_lane_dir "$lane")
  case "$lane" in
    x86) toolchain=toolchain-i686-mingw32.cmake ;;
    x64) toolchain=toolchain-x86_64-mingw32.cmake ;;
  esac
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$dir" -j"$(nproc)" "$@"
done
