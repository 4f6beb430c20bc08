# Sourced by the scripts: which lanes to build and test.  SUITE_LANES=x64|x86|both (default both).
#   suite_lanes            the lanes chosen, one word each (x86 first)
#   suite_lane_dir LANE    the lane's build folder, $BUILD_DIR/LANE
#   suite_lane_runs LANE   true when this machine runs the lane's programs; else says why on stdout
#   suite_run_lane         the lane whose programs this machine runs (x86 where it can, else x64)
suite_lanes() {
  case "${SUITE_LANES:-both}" in
    both) echo "x86 x64" ;;
    x86|x64) echo "$SUITE_LANES" ;;
    *) echo "SUITE_LANES must be x64, x86 or both (not '$SUITE_LANES')" >&2; return 2 ;;
  esac
}

suite_lane_dir() { echo "$BUILD_DIR/$1"; }

suite_lane_runs() {
  case "$1" in
    x64) return 0 ;;
    x86)
      # Any 32-bit Linux program fails with "Exec format error" where the kernel's 32-bit
      # emulation is off, and then the 32-bit Wine cannot start at all.
      if ! /lib/ld-linux.so.2 --help >/dev/null 2>&1; then
        echo "this machine cannot run 32-bit programs (its kernel has no 32-bit emulation)"
        return 1
      fi
      [ -x /usr/lib/wine/wine ] || { echo "the 32-bit Wine (wine32) is not installed"; return 1; }
      return 0 ;;
  esac
  return 1
}

suite_run_lane() {
  local lane
  for lane in $(suite_lanes); do
    [ "$lane" = x86 ] && suite_lane_runs x86 >/dev/null && { echo x86; return; }
  done
  echo x64
}
