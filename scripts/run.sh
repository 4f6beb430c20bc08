#!/usr/bin/env bash
# The suite's main job: installs what is missing, builds every program and library into build/bin,
# builds the real dictionaries from Debian's data (scripts/data.sh, cached in build/dicts) and
# registers them in the build's Wine prefix.  The resident program does not exist yet, so the job
# ends by looking a few words up in each dictionary through the engine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh"
echo "Built into $BUILD_DIR/bin:"
ls "$BUILD_DIR/bin" | grep -Ei '\.(dll|exe)$' | grep -vi '_test\.exe$' | sed 's/^/  /'

. "$root/scripts/wine-env.sh" "$BUILD_DIR"
trap wine_env_stop EXIT
bash "$root/scripts/data.sh"
echo "The resident program is not built yet; looking words up in the installed dictionaries:"
# Words in UTF-8 (Wine hands them over as Unicode under a UTF-8 locale); EDICT: "inu" in kanji and
# in hiragana.
(cd "$BUILD_DIR/dicts" && LC_ALL=C.UTF-8 wine "$BUILD_DIR/bin/diclookup.exe" \
  2101 dictionary Bank \
  2102 Haus "schön" \
  2104 house \
  2103 "犬" "いぬ" </dev/null) || true
