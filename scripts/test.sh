#!/usr/bin/env bash
# Installs what is missing, builds the suite and its tests, and runs every test program under Wine.
# Extra arguments go to ctest (for example: -R Basekit).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh"
. "$root/scripts/wine-env.sh" "$BUILD_DIR"
trap wine_env_stop EXIT
cd "$BUILD_DIR"
ctest --output-on-failure --timeout 600 "$@"
