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

# grep reads the whole list: with pipefail, a grep -q that stops early can fail the pipeline
# through ctest's broken pipe.
if ctest --test-dir "$build" -N -L display 2>/dev/null | grep 'Test *#' >/dev/null; then
  # Xvfb picks a free display itself and writes its number to us: a number chosen by looking at
  # /tmp alone can belong to a server of another namespace, which only the socket bind reveals.
  display_file="$build/xvfb.display"
  xvfb_log="$build/xvfb.log"
  : >"$display_file"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >"$xvfb_log" 2>&1 &
  xvfb_pid=$!
  n=
  for _ in $(seq 1 100); do
    n=$(tr -dc '0-9' <"$display_file")
    [[ -n "$n" ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [[ -z "$n" ]] || ! xdpyinfo -display ":$n" >/dev/null 2>&1; then
    echo "run_tests: Xvfb did not start; its log:" >&2
    cat "$xvfb_log" >&2
    exit 1
  fi
  echo "run_tests: Xvfb on :$n"
  export WINE_TEST_DISPLAY=":$n"
  # Every Wine process of the run, including the desktop process, sees the same display.
  export DISPLAY=":$n"
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
