#!/usr/bin/env bash
# Prints the installer's size beside a minimal NSIS modern-wizard installer for the same target:
# this build's installer.exe as built and stripped, and the shipped one from `make release` when
# the release folder holds it. A figure to watch, never a pass/fail test.
# Usage: installer_size.sh <installer.exe> <nsis-reference.exe> <release-installer.exe>
set -euo pipefail
installer=$1 reference=$2 release=$3
stripped=$(mktemp)
trap 'rm -f "$stripped"' EXIT
strip_tool=x86_64-w64-mingw32-strip
[[ $(od -An -tx1 -j "$(( $(od -An -tu4 -j 60 -N4 "$installer") + 4 ))" -N2 "$installer" | tr -d ' ') == 4c01 ]] &&
  strip_tool=i686-w64-mingw32-strip
"$strip_tool" --strip-all -o "$stripped" "$installer"
ref=$(stat -c %s "$reference")
line() { printf '  %-44s %10d bytes  %5.1fx the NSIS installer%s\n' "$1" "$2" "$(echo "$2 / $ref" | bc -l)" "${3:-}"; }
echo "installer size beside a minimal NSIS modern-wizard installer (goal for the shipped one: at most 1.5 MB)"
printf '  %-44s %10d bytes\n' "NSIS reference ($(basename "$reference"))" "$ref"
line "this build's installer.exe" "$(stat -c %s "$installer")"
line "the same, stripped" "$(stat -c %s "$stripped")"
if [[ -f "$release" ]]; then
  size=$(stat -c %s "$release")
  goal=met; [[ $size -le 1500000 ]] || goal="NOT met"
  line "shipped $(basename "$release")" "$size" "  (goal: $goal)"
else
  echo "  shipped installer: not built here (make release builds it)"
fi
