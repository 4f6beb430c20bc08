#!/usr/bin/env bash
# Installs what is missing, builds the suite and its tests in both lanes, and runs every test
# program under Wine in each lane this machine can run (the x64 lane always; the x86 lane where the
# machine runs 32-bit programs).  SUITE_LANES=x64|x86|both chooses the lanes (default both; the
# x86 lane is always built then, so its record checks hold at compile time on every machine).
# The lanes run side by side, and each lane's tests are dealt round-robin to SUITE_TEST_SHARDS
# shards (default 3), each with a Wine prefix, server and display of its own, so that tests of
# different shards share nothing.  Extra arguments go to ctest (for example: -R Basekit).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}
. "$root/scripts/lanes.sh"
lanes=$(suite_lanes)
shards=${SUITE_TEST_SHARDS:-3}
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh"

# One shard of one lane: its own prefix and display, its own log.
run_shard() {
  local lane=$1 dir=$2 shard=$3
  shift 3
  (
    . "$root/scripts/wine-env.sh" "$dir" "$lane" "shard$shard"
    trap wine_env_stop EXIT
    cd "$dir"
    ctest --output-on-failure --timeout 600 -I "$shard,,$shards" "$@"
  ) >"$dir/ctest-shard$shard.log" 2>&1
}

ran=() skipped=() pids=() logs=()
for lane in $lanes; do
  if ! why=$(suite_lane_runs "$lane"); then
    echo "test: the $lane lane is built but its tests do not run here: $why."
    skipped+=("$lane ($why)")
    continue
  fi
  dir=$(suite_lane_dir "$lane")
  echo "test: running the $lane lane's tests in $shards shards"
  ran+=("$lane")
  for s in $(seq 1 "$shards"); do
    run_shard "$lane" "$dir" "$s" "$@" &
    pids+=($!); logs+=("$lane:$dir/ctest-shard$s.log")
    sleep 1   # the shards pick their display numbers one after the other
  done
done
for p in "${pids[@]}"; do wait "$p" || true; done

status=0 passed=0 failed=0
summaries=()
for entry in "${logs[@]}"; do
  lane=${entry%%:*} log=${entry#*:}
  echo; echo "=== $lane: $log"; cat "$log"
  line=$(grep -E '^[0-9]+% tests passed' "$log" | tail -1 || true)
  total=$(echo "$line" | sed -nE 's/.* out of ([0-9]+).*/\1/p')
  bad=$(echo "$line" | sed -nE 's/.* ([0-9]+) tests? failed.*/\1/p')
  if [ -z "$total" ]; then
    if grep -q 'No tests were found' "$log"; then total=0 bad=0
    else total=0 bad=0 status=1; line="no test summary (see $log)"; fi
  fi
  passed=$((passed + total - bad)); failed=$((failed + bad))
  [ "$bad" = 0 ] || status=1
  summaries+=("$lane $(basename "$log" .log): $line")
done

echo
echo "test: lanes whose tests ran: ${ran[*]:-none}${skipped:+; skipped: ${skipped[*]}}"
for s in "${summaries[@]}"; do echo "test: $s"; done
[ ${#ran[@]} -gt 0 ] || status=1
echo "lanes: $passed passed, $failed failed"
exit $status
