# Sourced by the test and run scripts: a throw-away Wine prefix of one lane inside that lane's build
# tree, an Xvfb display and a Wine server kept up for the whole run.
# Usage: . scripts/wine-env.sh LANE_BUILD_DIR x86|x64 [SLOT]   (SUITE_DISPLAY: a display to use)
# Afterwards "$SUITE_WINE" PROGRAM runs a program of the lane; wine_env_stop ends it all.
# A SLOT name gives a prefix, Wine server and display of their own (wineprefix-SLOT), so that
# several runs of one lane share nothing: no windows, named objects, registry or clipboard.
_wine_build=$(cd "$1" && pwd)
_wine_lane=$2
_wine_slot=${3:+-$3}
_wine_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
case "$_wine_lane" in
  x86) export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32 ;;
  x64) export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64 ;;
  *) echo "wine-env: unknown lane '$_wine_lane'" >&2; return 2 ;;
esac
export SUITE_WINE=$WINELOADER
export WINEPREFIX="$_wine_build/wineprefix$_wine_slot"
export WINEDEBUG=-all
# A crash ends the program at once instead of waiting in the debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"

# An X display of our own for the run, unless SUITE_DISPLAY names one to use (the run command on
# the user's own display).
if [ -n "${SUITE_DISPLAY:-}" ]; then
  export DISPLAY=$SUITE_DISPLAY
elif [ ! -f "$_wine_build/xvfb$_wine_slot.pid" ] || ! kill -0 "$(cat "$_wine_build/xvfb$_wine_slot.pid")" 2>/dev/null; then
  for n in $(seq 90 160); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    _xpid=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    # Lost a race for this display number when the server died or the lock is another's.
    kill -0 "$_xpid" 2>/dev/null || continue
    [ "$(tr -d ' \n' < "/tmp/.X$n-lock" 2>/dev/null)" = "$_xpid" ] || { kill "$_xpid" 2>/dev/null; continue; }
    echo "$_xpid" > "$_wine_build/xvfb$_wine_slot.pid"
    echo ":$n" > "$_wine_build/xvfb$_wine_slot.display"
    break
  done
fi
[ -n "${SUITE_DISPLAY:-}" ] || export DISPLAY=$(cat "$_wine_build/xvfb$_wine_slot.display")

if [ ! -f "$WINEPREFIX/.suite-ready" ]; then
  rm -rf "$WINEPREFIX"
  "$WINELOADER" wineboot -i </dev/null >/dev/null 2>&1 || true
  "$WINESERVER" -w
  "$WINELOADER" regedit /S "$_wine_scripts/prefix.reg" </dev/null >/dev/null 2>&1 || true
  "$WINESERVER" -w
  touch "$WINEPREFIX/.suite-ready"
fi
# Keep one server for the whole run and boot the prefix with all output away from our pipes.  A
# server that still runs for the prefix (a run started with --keep) would be ended by wine_env_stop:
# say so and stop instead.
_wine_tries=0
until "$WINESERVER" -p </dev/null >/dev/null 2>&1; do
  _wine_tries=$((_wine_tries + 1))
  [ "$_wine_tries" -lt 5 ] && { sleep 1; continue; }  # (one being ended goes within a second)
  echo "wine-env: a Wine server already runs for $WINEPREFIX (a run started with --keep?);" \
       "end it first: WINEPREFIX=$WINEPREFIX $WINESERVER -k" >&2
  return 1
done
"$WINELOADER" wineboot </dev/null >/dev/null 2>&1 || true

wine_env_stop() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ -f "$_wine_build/xvfb$_wine_slot.pid" ]; then
    kill "$(cat "$_wine_build/xvfb$_wine_slot.pid")" 2>/dev/null || true
    rm -f "$_wine_build/xvfb$_wine_slot.pid" "$_wine_build/xvfb$_wine_slot.display"
  fi
}
