#!/usr/bin/env bash
# The suite's main job: installs what is missing, builds every program and library in both lanes
# (build/x86/bin and build/x64/bin), builds the real dictionaries from Debian's data
# (scripts/data.sh, cached in the running lane's dicts folder), registers them in that lane's Wine
# prefix (catalogue, pop-up group and translation set) and starts the resident program Velomira.exe
# over them with pointer lookup on.  The running lane is x86 where this machine runs 32-bit
# programs, else x64.
#
#   bash scripts/run.sh [--keep]
#
# With DISPLAY set the program runs on that display until it is ended (its tray menu's quit item,
# the vlmquit command it prints, or Ctrl+C here).  Without one it runs on an Xvfb display of its
# own, opens a sample window with an English, a German and a Japanese sentence, rests the pointer
# on an inflected word of each, keeps a screenshot of each pop-up in build/<lane>/run and then ends
# the program by its process id; --keep leaves it running there instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}
keep=0
for a in "$@"; do
  case "$a" in
    --keep) keep=1 ;;
    *) echo "usage: bash scripts/run.sh [--keep]" >&2; exit 2 ;;
  esac
done
. "$root/scripts/lanes.sh"
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh"
lane=$(suite_run_lane)
dir=$(suite_lane_dir "$lane")
echo "Built into $dir/bin (running the $lane lane):"
ls "$dir/bin" | grep -Ei '\.(dll|exe)$' | grep -vi '_test\.exe$' | sed 's/^/  /'

# The user's display when there is one, else an Xvfb display of our own (scripts/wine-env.sh).
user_display=${DISPLAY:-}
export SUITE_DISPLAY=$user_display
. "$root/scripts/wine-env.sh" "$dir" "$lane"
vpid="" winpid=""
stop_all() {
  if [ -n "$vpid" ] && kill -0 "$vpid" 2>/dev/null; then
    quit_velomira || true
  fi
  wine_env_stop
}
trap stop_all EXIT
LANE_DIR=$dir bash "$root/scripts/data.sh"

run=$dir/run
mkdir -p "$run"
trace=$run/velomira-trace.txt
rm -f "$trace" "$run"/popup-*.png "$run/samplewin.txt"
# Pointer lookup on and a capture on a plain rest (no key held), written once into the prefix so
# that what the user changes later in the option window stays.
if [ ! -f "$WINEPREFIX/.suite-run-settings" ]; then
  "$SUITE_WINE" regedit /S "Z:$root/scripts/run.reg" </dev/null >/dev/null 2>&1
  touch "$WINEPREFIX/.suite-run-settings"
fi

# Japanese user interface and code page 932 (the suite's own platform).
export LC_ALL=ja_JP.UTF-8
export VELOMIRA_TRACE="Z:$trace"
(cd "$dir/bin" && exec "$SUITE_WINE" "$dir/bin/Velomira.exe" </dev/null >"$run/velomira.log" 2>&1) &
vpid=$!

# Waits up to $2 seconds for the command $1 to succeed.
wait_for() {
  local i
  for i in $(seq $(($2 * 10))); do
    eval "$1" && return 0
    kill -0 "$vpid" 2>/dev/null || { echo "Velomira.exe ended early (see $run/velomira.log)" >&2; return 1; }
    sleep 0.1
  done
  return 1
}
wait_for 'grep -q "^ready" "$trace" 2>/dev/null' 120 || { echo "Velomira.exe did not come up" >&2; exit 1; }
winpid=$(sed -n 's/^started \([0-9]*\).*/\1/p' "$trace" | head -1)

quit_velomira() {
  # As the tray menu's quit item does, then by the process id if it does not end.
  "$SUITE_WINE" "$dir/bin/vlmquit.exe" "$winpid" </dev/null >/dev/null 2>&1 || kill "$vpid" 2>/dev/null || true
  wait "$vpid" 2>/dev/null || true
  vpid=""
}

echo
echo "Velomira.exe runs (Linux process $vpid, Windows process $winpid) with pointer lookup on, over"
echo "GCIDE, German-English, English-German and EDICT (the pop-up group, translation set \"Standard\")."
echo "To look a word up, rest the mouse pointer on it in any window of this Wine prefix (WINEPREFIX="
echo "$WINEPREFIX): the pop-up opens beside the word with its entries."
echo "To stop it: its tray icon's menu, last item (quit), or"
echo "  WINEPREFIX=$WINEPREFIX $SUITE_WINE $dir/bin/vlmquit.exe $winpid"

if [ -n "$user_display" ]; then
  echo "It runs on display $user_display; this command waits until it ends (Ctrl+C ends it too)."
  wait "$vpid" || true
  vpid=""
  exit 0
fi

# No display of the user's: show the pop-up on the Xvfb display with a sample window.
(exec "$SUITE_WINE" "$dir/bin/samplewin.exe" "Z:$run/samplewin.txt" </dev/null >"$run/samplewin.log" 2>&1) &
spid=$!
wait_for 'grep -q "^ready" "$run/samplewin.txt" 2>/dev/null' 60 || { echo "samplewin.exe did not come up" >&2; exit 1; }
popups() { grep -c '^popup [0-9]' "$run/samplewin.txt" 2>/dev/null || true; }
failed=0
for word in en de ja; do
  read -r x y < <(sed -n "s/^$word \([0-9-]*\) \([0-9-]*\)\$/\1 \2/p" "$run/samplewin.txt")
  # Away from the words first, so that the pop-up of the last word is gone.
  xdotool mousemove 5 1000
  wait_for '[ "$(tail -1 "$run/samplewin.txt")" = "popup none" ]' 10 || true
  seen=$(popups)
  xdotool mousemove "$x" "$y"
  # samplewin notes the viewer once it has been painted.
  if wait_for '[ "$(popups)" -gt "$seen" ]' 30; then
    import -window root "$run/popup-$word.png"
    echo "Pointer on the $word word at $x,$y: pop-up $(grep '^popup [0-9]' "$run/samplewin.txt" | tail -1 |
      cut -d' ' -f2-); screenshot $run/popup-$word.png"
  else
    import -window root "$run/popup-$word.png"
    echo "Pointer on the $word word at $x,$y: no pop-up came up (screenshot $run/popup-$word.png;" \
         "trace $trace)" >&2
    failed=1
  fi
done
kill "$spid" 2>/dev/null || true
wait "$spid" 2>/dev/null || true

if [ "$keep" = 1 ]; then
  trap - EXIT
  echo "Left running on the Xvfb display $DISPLAY (for example: DISPLAY=$DISPLAY xdotool mousemove X Y;"
  echo "DISPLAY=$DISPLAY import -window root shot.png).  Afterwards end it with the vlmquit command above,"
  echo "then WINEPREFIX=$WINEPREFIX $WINESERVER -k and kill $(cat "$dir/xvfb.pid" 2>/dev/null) (the Xvfb server)."
  exit "$failed"
fi
quit_velomira
echo "Velomira.exe ended."
exit "$failed"
