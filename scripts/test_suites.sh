#!/usr/bin/env bash
# `make test`: the x86_64 suite under 64-bit Wine on every machine; the i686 suite where this
# machine runs 32-bit programs, else the i686 build's host-side checks only (PE32 GUI program,
# resources, manifest). Both suites run even when the first fails; the result is theirs together.
# Usage: test_suites.sh <x86_64 build> <i686 build> [ctest args...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build64=$1 build32=$2; shift 2
summary=()

suite() {  # suite <label> <command...>
  local label=$1 rc=0; shift
  echo "test: ---- $label ----"
  "$@" || rc=$?
  if [[ $rc -eq 0 ]]; then summary+=("passed  $label"); else summary+=("FAILED  $label"); fi
  return $rc
}

rc=0
fixture_bits=64
"$here/runs_32bit.sh" --wine >/dev/null && fixture_bits=32
suite "x86_64 suite (64-bit installer, 64-bit Wine)" "$here/run_tests.sh" "$build64" "$@" || rc=1
if why=$("$here/runs_32bit.sh" --wine); then
  suite "i686 suite (32-bit installer)" "$here/run_tests.sh" "$build32" "$@" || rc=1
else
  suite "i686 host-side checks" ctest --test-dir "$build32" -L static --output-on-failure || rc=1
  summary+=("not run i686 suite: $why; the 32-bit installer was built and checked statically only")
fi
echo "test: ---- summary ----"
printf 'test: %s\n' "${summary[@]}"
echo "test: the package's beconv.dll fixture was ${fixture_bits}-bit, following this machine"
exit $rc
