#!/usr/bin/env bash
# Installs what is missing, builds the suite and its tests in both lanes, and runs every test
# program under Wine in each lane this machine can run (the x64 lane always; the x86 lane where the
# machine runs 32-bit programs).  SUITE_LANES=x64|x86|both chooses the lanes (default both; the
# x86 lane is always built then, so its record checks hold at compile time on every machine).
# Extra arguments go to ctest (for example: -R Basekit).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}
. "$root/scripts/lanes.sh"
lanes=$(suite_lanes)
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh"

ran=() skipped=() summaries=() passed=0 failed=0 status=0
for lane in $lanes; do
  if ! why=$(suite_lane_runs "$lane"); then
    echo "test: the $lane lane is built but its tests do not run here: $why."
    skipped+=("$lane ($why)")
    continue
  fi
  dir=$(suite_lane_dir "$lane")
  log=$dir/ctest.log
  echo "test: running the $lane lane's tests"
  (
    . "$root/scripts/wine-env.sh" "$dir" "$lane"
    trap wine_env_stop EXIT
    cd "$dir"
    ctest --output-on-failure --timeout 600 "$@"
  ) 2>&1 | tee "$log" || status=1
  line=$(grep -E '^[0-9]+% tests passed' "$log" | tail -1 || true)
  total=$(echo "$line" | sed -nE 's/.* out of ([0-9]+).*/\1/p')
  bad=$(echo "$line" | sed -nE 's/.* ([0-9]+) tests? failed.*/\1/p')
  [ -n "$total" ] || { total=0; bad=0; status=1; line="no test summary (see $log)"; }
  passed=$((passed + total - bad)); failed=$((failed + bad))
  [ "$bad" = 0 ] || status=1
  ran+=("$lane"); summaries+=("$lane: $line")
done

echo
echo "test: lanes whose tests ran: ${ran[*]:-none}${skipped:+; skipped: ${skipped[*]}}"
for s in "${summaries[@]}"; do echo "test: $s"; done
[ ${#ran[@]} -gt 0 ] || status=1
echo "lanes: $passed passed, $failed failed"
exit $status
