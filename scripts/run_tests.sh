#!/usr/bin/env bash
# Runs the CTest suite of a build folder under Wine: makes the prefix once, keeps one persistent
# wineserver for the whole run, starts a virtual display with a window manager when a test is
# labelled "display", and stops them at the end. CTest's result is the script's result.
# Usage: run_tests.sh <build-dir> [ctest args...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "$1"); shift
"$here/wine_prefix.sh" "$build/wine"
source "$here/wine_env.sh" "$build/wine"
source "$here/x_display.sh"

cleanup() {
  "$WINESERVER" -k 2>/dev/null || true
  x_display_stop
}
trap cleanup EXIT

# grep reads the whole list: with pipefail, a grep -q that stops early can fail the pipeline
# through ctest's broken pipe.
if ctest --test-dir "$build" -N -L display "$@" 2>/dev/null | grep 'Test *#' >/dev/null; then
  x_display_start "$build/display"
  echo "run_tests: virtual display $DISPLAY with a window manager"
  # Every Wine process of the run, including the desktop process, sees the same display.
  export WINE_TEST_DISPLAY=$DISPLAY
else
  unset DISPLAY
fi

# A server left running for this prefix (an earlier run that was cut short) serves this run too.
"$WINESERVER" -p 2>/dev/null || true
# Start Wine's own service processes now, away from CTest's output pipes.
"$WINE_LOADER" wineboot </dev/null >/dev/null 2>&1 || true
# With a display, one program holds the desktop for the whole run, so that it is never closed
# between two test programs (the wineserver ends the holder at the end).
holder="$build/tools/harness/desktop_holder.exe"
if [[ -n "${WINE_TEST_DISPLAY:-}" && ! -f "$holder" ]]; then
  cmake --build "$build" --target desktop_holder >/dev/null 2>&1 || true
fi
if [[ -n "${WINE_TEST_DISPLAY:-}" && -f "$holder" ]]; then
  "$WINE_LOADER" "$holder" </dev/null >/dev/null 2>&1 &
fi
ctest --test-dir "$build" --output-on-failure "$@"
