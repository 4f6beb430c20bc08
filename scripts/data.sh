#!/usr/bin/env bash
# Real dictionaries for the suite: installs Debian's dictionary data (the build and the tests do
# not need it), builds static dictionary files from it once into $LANE_DIR/dicts (rebuilt only when
# the data is newer or the builder's or the language drivers' sources changed) and registers them in the
# build's Wine prefix, GCIDE as the default dictionary of Western text and EDICT of Japanese text,
# and each in the pop-up group and the current translation set's pop-up entry of its charset (the
# slot given below), so that the resident program's pop-up looks words up in them.
# Run with the Wine environment of the lane up (scripts/wine-env.sh) and LANE_DIR set to the lane's
# build folder, as scripts/run.sh does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
LANE_DIR=${LANE_DIR:?the lane build folder (for example build/x64)}
pkgs=(dict-gcide dict-de-en edict dictd)   # dictd only for bench/run.sh
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "data: installing ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  # The dictd package would start a system-wide server; the benchmark starts its own.
  DEBIAN_FRONTEND=noninteractive RUNLEVEL=1 $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

out=$LANE_DIR/dicts
mkdir -p "$out"
builder=$LANE_DIR/bin/dicbuild.exe
cd "$out"
# What decides the files besides the data: the builder's and the language layer's sources (their
# blobs as git knows them; a relinked program alone does not make the dictionaries stale).
stamp=$(cd "$root" && git ls-files -s tools/dicbuild lang/drivers lang/linguabase outside/Linguakeeper 2>/dev/null |
        sha1sum | cut -c1-40)
[ "$stamp" = "$(cat "$out/stamp" 2>/dev/null)" ] || rm -f "$out"/*.dic
echo "$stamp" > "$out/stamp"

# name id language target codepage default popup-slot title format source files...
dic() {
  local name=$1 id=$2 lang=$3 target=$4 cp=$5 def=$6 slot=$7 title=$8 format=$9; shift 9
  local file=$out/$name.dic stale=0 args=()
  [ -f "$file" ] || stale=1
  for dep in "$@"; do
    [ "$stale" = 1 ] || [ "$dep" -nt "$file" ] && stale=1
  done
  [ "$def" = 1 ] && args+=(--default) || args+=(--register)
  args+=(--popup "$slot")
  if [ "$format" = dictd ]; then
    set -- --index "Z:$1" --data "Z:$2"
  else
    set -- --data "Z:$1"
  fi
  local common=(--out "$name.dic" --lang "$lang" --target "$target" --codepage "$cp" --id "$id" "${args[@]}")
  if [ "$stale" = 1 ]; then
    echo "data: building $name.dic"
    rm -f "$file"
    if ! "$SUITE_WINE" "$builder" --drivers --format "$format" "$@" --coded --name "$title" --nick "$name" "${common[@]}" \
         </dev/null; then
      rm -f "$file"
      echo "data: $name.dic could not be built" >&2
      return 1
    fi
  else
    "$SUITE_WINE" "$builder" --drivers --register-only --name "$title" --nick "$name" "${common[@]}" </dev/null
  fi
}

dd=/usr/share/dictd
dic gcide 2101 0100 0100 1252 1 1 "GCIDE (English)" dictd $dd/gcide.index $dd/gcide.dict.dz
dic german-english 2102 0700 0100 1252 0 2 "German-English (TU Chemnitz)" dictd \
  $dd/german-english.index $dd/german-english.dict.dz
dic english-german 2104 0100 0700 1252 0 3 "English-German (TU Chemnitz)" dictd \
  $dd/english-german.index $dd/english-german.dict.dz
dic edict 2103 0400 0100 932 1 1 "EDICT (Japanese-English)" edict /usr/share/edict/edict
echo "data: dictionaries in $out"
