#!/usr/bin/env bash
# The suite's main job: installs what is missing and builds every program and library into build/bin.
# The resident program does not exist yet, so this builds the whole suite and says what was built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh"
echo "Built into $BUILD_DIR/bin:"
ls "$BUILD_DIR/bin" | grep -Ei '\.(dll|exe)$' | grep -vi '_test\.exe$' | sed 's/^/  /'
echo "The resident program is not built yet: nothing to start."
