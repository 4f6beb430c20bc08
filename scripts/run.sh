#!/usr/bin/env bash
# The suite's main job: installs what is missing, builds every program and library in both lanes
# (build/x86/bin and build/x64/bin), builds the real dictionaries from Debian's data
# (scripts/data.sh, cached in the running lane's dicts folder) and registers them in that lane's
# Wine prefix.  The running lane is x86 where this machine runs 32-bit programs, else x64.  The
# resident program does not exist yet, so the job ends by looking a few words up in each
# dictionary through the engine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}
. "$root/scripts/lanes.sh"
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh"
lane=$(suite_run_lane)
dir=$(suite_lane_dir "$lane")
echo "Built into $dir/bin (running the $lane lane):"
ls "$dir/bin" | grep -Ei '\.(dll|exe)$' | grep -vi '_test\.exe$' | sed 's/^/  /'

. "$root/scripts/wine-env.sh" "$dir" "$lane"
trap wine_env_stop EXIT
LANE_DIR=$dir bash "$root/scripts/data.sh"
echo "The resident program is not built yet; looking words up in the installed dictionaries:"
# Words in UTF-8 (Wine hands them over as Unicode under a UTF-8 locale); EDICT: "inu" in kanji and
# in hiragana, and words that the Japanese driver turns into their dictionary forms (tabemashita,
# taberu in hiragana, kaite, kita in hiragana).
(cd "$dir/dicts" && LC_ALL=C.UTF-8 "$SUITE_WINE" "$dir/bin/diclookup.exe" \
  2101 dictionary Bank \
  2102 Haus "schön" \
  2104 house \
  2103 "犬" "いぬ" "食べました" "たべる" "書いて" "きた" </dev/null) || true
