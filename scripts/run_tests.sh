#!/usr/bin/env bash
# Runs the CTest suite of a build folder under Wine: makes the prefix once, keeps one persistent
# wineserver for the whole run, starts Xvfb when a test is labelled "display", and stops both at the
# end. CTest's result is the script's result.
# Usage: run_tests.sh <build-dir> [ctest args...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "$1"); shift
"$here/wine_prefix.sh" "$build/wine"
source "$here/wine_env.sh" "$build/wine"

xvfb_pid=
cleanup() {
  "$WINESERVER" -k 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if ctest --test-dir "$build" -N -L display 2>/dev/null | grep -q 'Test *#'; then
  # Pick a free display number so parallel builds on one machine do not meet.
  for n in $(seq 90 140); do [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] || break; done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 50); do [[ -e /tmp/.X11-unix/X$n ]] && break; sleep 0.1; done
  export WINE_TEST_DISPLAY=":$n"
  # Every Wine process of the run, including the desktop process, sees the same display.
  export DISPLAY=":$n"
else
  unset DISPLAY
fi

"$WINESERVER" -p
# Start Wine's own service processes now, away from CTest's output pipes.
"$WINE_LOADER" wineboot </dev/null >/dev/null 2>&1 || true
ctest --test-dir "$build" --output-on-failure "$@"
