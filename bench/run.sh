#!/usr/bin/env bash
# The lookup benchmark: the engine against dictd (and grep for full text) on the same machine, the
# same data (Debian's GCIDE) and the same words, in one run.  Not part of the tests.
#
#   bash bench/run.sh [runs]        (BUILD_DIR as for scripts/run.sh; default build/)
#
# It runs in the lane this machine runs (x86 where it runs 32-bit programs, else x64).
#
# Builds the suite and the dictionaries when missing (scripts/build.sh, scripts/data.sh), samples
# the words from GCIDE's headwords with a fixed seed, starts its own dictd bound to 127.0.0.1 on a
# free port with its own configuration, and prints for each work the median time per word of the
# engine and of the peer and their ratio (peer / engine: above 1 means the engine is faster).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}
runs=${1:-5}
. "$root/scripts/lanes.sh"
lane=$(suite_run_lane)
export LANE_DIR=$(suite_lane_dir "$lane")
[ -x "$LANE_DIR/bin/dicbench.exe" ] || SUITE_LANES=$lane bash "$root/scripts/build.sh"
cmake --build "$LANE_DIR" --target dicbench dicbuild >/dev/null
. "$root/scripts/wine-env.sh" "$LANE_DIR" "$lane"
work=$LANE_DIR/bench
mkdir -p "$work"
# The engine runs from a copy of the lane's libraries and of dicbench stripped of their debug
# information, as they would be shipped: Wine keeps a library's whole image in memory, debug
# sections included (about 9 MB of the bench's working set in this build).
triplet=$([ "$lane" = x86 ] && echo i686-w64-mingw32 || echo x86_64-w64-mingw32)
rm -rf "$work/bin" && mkdir -p "$work/bin"
(cd "$LANE_DIR/bin" && find . -type f ! -name '*.exe' -exec cp --parents {} "$work/bin" \;)
for f in "$work"/bin/*.dll "$LANE_DIR/bin/dicbench.exe"; do
  "$triplet-strip" --strip-debug -o "$work/bin/$(basename "$f")" "$f"
done
dictd_pid=
cleanup() {
  [ -n "$dictd_pid" ] && kill "$dictd_pid" 2>/dev/null || true
  wine_env_stop
}
trap cleanup EXIT
bash "$root/scripts/data.sh" >"$work/data.log" 2>&1 || { cat "$work/data.log"; exit 1; }

dd=/usr/share/dictd
seed() { yes "velosuite bench $1"; }
# Words: 10 000 headwords; 1 000 prefixes of four letters; 200 patterns (two first letters, any
# run, two last letters); 100 lower-case words of at least four letters for full text.
grep -v '^00-\?database' $dd/gcide.index | cut -f1 | grep -v '^$' | sort -u |
  shuf -n 10000 --random-source=<(seed 1) > "$work/exact.txt"
grep -E '^[A-Za-z]{4}' "$work/exact.txt" | cut -c1-4 | sed -n "1,1000p" > "$work/prefix.txt"
grep -E '^[a-z]{5,}$' "$work/exact.txt" | sed -n "1,200p" > "$work/long.txt"
sed -E 's/^(..).*(..)$/\1*\2/' "$work/long.txt" > "$work/wildcard.txt"
sed -E 's/^(..).*(..)$/^\1.*\2$/' "$work/long.txt" > "$work/wildcard.re"
grep -E '^[a-z]{4,}$' "$work/exact.txt" | shuf -n 100 --random-source=<(seed 2) > "$work/fulltext.txt"
head -200 "$work/exact.txt" > "$work/open.txt"

# dictd with its own configuration on a free loopback port.
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
cat > "$work/dictd.conf" <<CONF
global {
  listen_to 127.0.0.1
  port $port
  limit_queries 100000000
}
access { allow 127.0.0.1 }
database gcide { data "$dd/gcide.dict.dz" index "$dd/gcide.index" }
CONF
# (dictd gives up its privileges: its log goes to our own output file, opened before it starts.)
dictd -c "$work/dictd.conf" -p "$port" --listen-to 127.0.0.1 --locale C.UTF-8 -d nodetach \
  --pid-file /dev/null >"$work/dictd.out" 2>&1 &
dictd_pid=$!
for _ in $(seq 100); do
  python3 -c "import socket; socket.create_connection(('127.0.0.1', $port)).close()" 2>/dev/null && break
  sleep 0.1
done

# Full text for grep: the decompressed definitions, once.
[ -s "$work/gcide.txt" ] || zcat $dd/gcide.dict.dz > "$work/gcide.txt"

ours() { (cd "$work" && "$SUITE_WINE" "$work/bin/dicbench.exe" "$@" </dev/null) | tee -a "$work/log.txt" | grep '^RESULT' || true; }
peer() { python3 "$root/bench/dictd_client.py" "$port" gcide "$@" | tee -a "$work/log.txt" | grep '^RESULT' || true; }
: > "$work/log.txt"

# Peak resident memory of dictd's serving process (the child of the last connection).
dictd_peak() {
  local kb=0 c
  for c in $(pgrep -P "$dictd_pid" || true) "$dictd_pid"; do
    local v; v=$(awk '/VmHWM/ {print $2}' /proc/$c/status 2>/dev/null || echo 0)
    [ "${v:-0}" -gt "$kb" ] && kb=$v
  done
  echo "$kb"
}

declare -A O P N
row() {  # work ours-result peer-result
  O[$1]=$(echo "$2" | awk '{print $3}'); P[$1]=$(echo "$3" | awk '{print $3}')
  N[$1]="$(echo "$2" | awk '{print $4" entries, "$6" words"}') / $(echo "$3" | awk '{print $4" entries, "$5" words"}')"
}
grepft() {  # grep -F -i -c per word over the decompressed text: median us per word
  python3 - "$work/fulltext.txt" "$work/gcide.txt" "$runs" <<'PY'
import statistics, subprocess, sys, time
words = [w.strip() for w in open(sys.argv[1]) if w.strip()]
per, found = [], 0
for r in range(int(sys.argv[3])):
    found = 0
    t0 = time.perf_counter()
    for w in words:
        p = subprocess.run(["grep", "-F", "-i", "-c", "--", w, sys.argv[2]], capture_output=True, text=True,
                           env={"LC_ALL": "C"})
        found += int(p.stdout.strip() or 0)
    per.append((time.perf_counter() - t0) * 1e6 / len(words))
print(f"RESULT fulltext {statistics.median(per):.3f} {found} {len(words)}")
PY
}

echo "bench: engine and dictd on GCIDE, $runs runs each (details in $work/log.txt)"
exact_ours=$(ours 2101 0100 exact exact.txt "$runs")
exact_peer=$(peer exact "$work/exact.txt" "$runs")
row exact "$exact_ours" "$exact_peer"
row base "$(ours 2101 0100 base exact.txt "$runs")" "$exact_peer"
row prefix "$(ours 2101 0100 prefix prefix.txt "$runs")" "$(peer prefix "$work/prefix.txt" "$runs")"
row wildcard "$(ours 2101 0100 wildcard wildcard.txt "$runs")" "$(peer wildcard "$work/wildcard.re" "$runs")"
ftours=$(ours 2101 0100 fulltext fulltext.txt "$runs" "${FULLTEXT_BUDGET:-120}")
row fulltext "$ftours" "$(peer fulltext "$work/fulltext.txt" "$runs")"
row grep "$ftours" "$(grepft)"
open=$(ours 2102 0700 open open.txt "$runs")
peak_ours=$(echo "$exact_ours" | awk '{print $5}')
peak_dictd=$(dictd_peak)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a > 0 && b > 0) printf "%.2f", b / a; else print "-" }'; }
printf '\n%-34s %14s %14s %8s   %s\n' "work (GCIDE, 203 641 headwords)" "engine us" "peer us" "ratio" "found (engine / peer)"
for w in exact base prefix wildcard fulltext grep; do
  peer_name=dictd; [ "$w" = grep ] && peer_name="grep -F -i"
  label=$w
  case $w in
    exact) label="exact lookup, entry texts";;
    base) label="exact + base forms (vs dictd exact)";;
    prefix) label="prefix (dictd prefix)";;
    wildcard) label="wildcard (dictd re)";;
    fulltext) label="full text (dictd substring)";;
    grep) label="full text (grep -F -i)";;
  esac
  printf '%-34s %14s %14s %8s   %s\n' "$label" "${O[$w]}" "${P[$w]}" "$(ratio "${O[$w]}" "${P[$w]}")" "${N[$w]} ($peer_name)"
done
echo "full text, first run: $(echo "$ftours" | awk '{print $8}') us per word, of which the first query (reading and folding the texts) $(echo "$ftours" | awk '{print $7}') us"
echo "open German-English (579 373 entries): $(echo "$open" | awk '{print $3}') us per open and first lookup"
echo "peak memory: engine $peak_ours KiB (exact run), dictd $peak_dictd KiB (serving process)"
echo "machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
