#!/usr/bin/env bash
# CTest's emulator: runs one Windows test program in the build folder's Wine prefix.
# Usage: wine_run.sh <wine-root> <program.exe> [args...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_env.sh" "$1"
shift
# Tests run with a display only when the harness started one for them.
if [[ -n "${WINE_TEST_DISPLAY:-}" ]]; then export DISPLAY=$WINE_TEST_DISPLAY; else unset DISPLAY; fi
# Wine's helper processes (desktop, services) outlive the test and inherit its descriptors; were
# they CTest's pipe, CTest would wait for them. The program writes to a file instead, shown after.
log=$(mktemp "${TMPDIR:-/tmp}/wine_run.XXXXXX")
"$WINE_LOADER" "$@" </dev/null >"$log" 2>&1
rc=$?
cat "$log"
rm -f "$log"
exit $rc
