# Sourced by the test and run scripts: a throw-away Wine prefix of one lane inside that lane's build
# tree, an Xvfb display and a Wine server kept up for the whole run.
# Usage: . scripts/wine-env.sh LANE_BUILD_DIR x86|x64
# Afterwards "$SUITE_WINE" PROGRAM runs a program of the lane; wine_env_stop ends it all.
_wine_build=$(cd "$1" && pwd)
_wine_lane=$2
_wine_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
case "$_wine_lane" in
  x86) export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32 ;;
  x64) export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64 ;;
  *) echo "wine-env: unknown lane '$_wine_lane'" >&2; return 2 ;;
esac
export SUITE_WINE=$WINELOADER
export WINEPREFIX="$_wine_build/wineprefix"
export WINEDEBUG=-all
# A crash ends the program at once instead of waiting in the debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"

# An X display of our own for the run.
if [ ! -f "$_wine_build/xvfb.pid" ] || ! kill -0 "$(cat "$_wine_build/xvfb.pid")" 2>/dev/null; then
  for n in $(seq 90 160); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    _xpid=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    kill -0 "$_xpid" 2>/dev/null || continue   # lost a race for this display number
    echo "$_xpid" > "$_wine_build/xvfb.pid"
    echo ":$n" > "$_wine_build/xvfb.display"
    break
  done
fi
export DISPLAY=$(cat "$_wine_build/xvfb.display")

if [ ! -f "$WINEPREFIX/.suite-ready" ]; then
  rm -rf "$WINEPREFIX"
  "$WINELOADER" wineboot -i </dev/null >/dev/null 2>&1 || true
  "$WINESERVER" -w
  "$WINELOADER" regedit /S "$_wine_scripts/fonts.reg" </dev/null >/dev/null 2>&1 || true
  "$WINESERVER" -w
  touch "$WINEPREFIX/.suite-ready"
fi
# Keep one server for the whole run and boot the prefix with all output away from our pipes.
"$WINESERVER" -p </dev/null >/dev/null 2>&1
"$WINELOADER" wineboot </dev/null >/dev/null 2>&1 || true

wine_env_stop() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ -f "$_wine_build/xvfb.pid" ]; then
    kill "$(cat "$_wine_build/xvfb.pid")" 2>/dev/null || true
    rm -f "$_wine_build/xvfb.pid"
  fi
}
