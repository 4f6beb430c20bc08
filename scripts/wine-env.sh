# Sourced by the test and run scripts: a throw-away 32-bit Wine prefix inside the build tree,
# an Xvfb display and a Wine server kept up for the whole run.  Usage: . scripts/wine-env.sh BUILD_DIR
_wine_build=$(cd "$1" && pwd)
export WINEARCH=win32
export WINEPREFIX="$_wine_build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

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
  wineboot -i </dev/null >/dev/null 2>&1 || true
  wineserver -w
  wine regedit /S "$(dirname "${BASH_SOURCE[0]}")/fonts.reg" </dev/null >/dev/null 2>&1 || true
  wineserver -w
  touch "$WINEPREFIX/.suite-ready"
fi
# Keep one server for the whole run and boot the prefix with all output away from our pipes.
wineserver -p </dev/null >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1 || true

wine_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -f "$_wine_build/xvfb.pid" ]; then
    kill "$(cat "$_wine_build/xvfb.pid")" 2>/dev/null || true
    rm -f "$_wine_build/xvfb.pid"
  fi
}
