# Shared by the shell tests of the installer: named checks that are counted, and the test display.
#   check <description> <command...>   runs the command; prints "ok" or "FAIL" with the description
#   checks_done <test name>            prints the outcome; returns 1 when a check failed
#   require_display <test name>        exports the harness's display, or ends the test without one
failures=0

check() {
  local what=$1; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

checks_done() {
  if [[ $failures -ne 0 ]]; then
    echo "$1: $failures check(s) failed"
    return 1
  fi
  echo "$1: all checks passed"
}

require_display() {
  export DISPLAY=${WINE_TEST_DISPLAY:-${DISPLAY:-}}
  if [[ -z "$DISPLAY" ]]; then
    echo "$1: no X display (run through scripts/run_tests.sh)" >&2
    exit 1
  fi
}
