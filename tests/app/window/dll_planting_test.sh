#!/usr/bin/env bash
# No DLL planted beside the installer ever runs. The installer is downloaded into a folder where a
# web page can leave files (Downloads) and runs elevated from there. Windows looks in a program's
# own folder first for every DLL it does not always map from the system folder; Wine does so for a
# DLL whose override says "native, then builtin", which emulates that order here.
#
# A fake of every such DLL the installer (or the system DLLs it uses) loads at start and during an
# installation is placed beside a copy of the installer, with fakes of the programs it starts, and
# the installation is run through the window with real input against the local package server:
# no fake may run, and the installation must still succeed. A control program that imports
# version.dll statically, started from the same folder, shows that the emulation does catch a
# planted DLL.
# Usage: dll_planting_test.sh <wine-root> <installer.exe> <skin_layout_probe.exe> <planted-dll-dir>
#                             <plant_control.exe> <fixture-app.exe> <work-dir> <package-host-state-dir>
#                             <https-port>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../../.." && pwd)
wine_root=$1 installer=$2 probe=$3 planted=$4 control=$5 fixture_app=$6 work=$7 server_state=$8 port=$9
source "$repo/scripts/wine_env.sh" "$wine_root"
source "$repo/tools/app/installer_walk.sh"
source "$repo/tools/app/script_checks.sh"
require_display dll_planting_test

end_installer() {
  if [[ -n "${IW_PID:-}" ]] && iw_running "$IW_PID"; then kill "$IW_PID" 2>/dev/null; iw_wait_exit 5; fi
}
trap end_installer EXIT

rm -rf "$work"
downloads="$work/Downloads"
mkdir -p "$downloads"
cp "$installer" "$downloads/Setup_17_A5.exe"
names=()
for dll in "$planted"/*.dll; do
  cp "$dll" "$downloads/"
  names+=("$(basename "$dll" .dll)")
done
# Programs the installer starts, planted under their names: each records its start.
for program in regsvr32 msiexec docweave uninst; do cp "$fixture_app" "$downloads/$program.exe"; done
echo "planted beside the installer: ${names[*]} and regsvr32.exe msiexec.exe docweave.exe uninst.exe"
ran() { ls "$downloads" | grep -E '\.(ran|launched)$'; }
base_overrides=$WINEDLLOVERRIDES

# --- The control: a static import of a planted DLL runs it ------------------------------------
cp "$control" "$downloads/plant_control.exe"
WINEDLLOVERRIDES="$base_overrides;version=n,b" "$WINE_LOADER" "$downloads/plant_control.exe" </dev/null \
  >"$work/control.log" 2>&1
check "control: the planted version.dll ran in a program that imports it statically" \
  test -n "$(ls "$downloads" | grep -ix 'version\.dll\.ran')"
rm -f "$downloads"/*.ran "$downloads/plant_control.exe"

# Windows' search order for every planted name but four, whose fakes stay beside the installer
# without the override. Wine's own system DLLs load these by name through a search of their own
# that starts in the program's folder and ignores the process's default DLL directories, where
# Windows never would, so the override would test Wine's loader rather than the installer:
# version.dll is a static import of Wine's builtin system DLLs, mapped before any code of the
# program runs (on Windows the installer's static imports are all known DLLs, whose own imports are
# known DLLs too); crypt32, secur32 and bcrypt are loaded by Wine's winhttp while it connects
# (Windows' loader resolves them within the search directories the installer restricted).
not_emulated=" version crypt32 secur32 bcrypt "
emulated=()
for name in "${names[@]}"; do
  [[ "$not_emulated" == *" $name "* ]] || emulated+=("$name")
done
export WINEDLLOVERRIDES="$base_overrides;$(IFS=,; echo "${emulated[*]}")=n,b"

# --- The installation --------------------------------------------------------------------------
user_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/ | grep -v '/Public/$' | head -1)
user_dir=${user_dir%/}
product_dir="$user_dir/AppData/Roaming/VADIZUredizadi"
desktop_link="$user_dir/Desktop/QuilloPDF转换器.lnk"
rm -rf "$product_dir" "$desktop_link"
"$repo/tools/app/nginx_fixture.sh" rate "$server_state" 0

check "skin layout read from the installer" iw_layout "$probe" "$installer" "$work/layout.txt"
cd "$downloads"
if ! iw_start "$downloads/Setup_17_A5.exe" "$work/installer.log"; then
  echo "FAIL installer window appears; its output:"
  cat "$work/installer.log"
  exit 1
fi
iw_click 0 installPage
for _ in $(seq 1 600); do [[ -e "$desktop_link" ]] && break; sleep 0.1; done
check "installation finished" test -e "$desktop_link"
sleep 1
iw_click 3 openmain
iw_wait_exit 20
check "installer ends with 1 after starting the product" test "$IW_RC" = 1
for _ in $(seq 1 50); do [[ -e "$product_dir/docweave.exe.launched" ]] && break; sleep 0.1; done
check "the installed docweave.exe was started, not the planted one" test -e "$product_dir/docweave.exe.launched"
check "the package's DLLs were registered" test -e "$product_dir/Rtf/beconv.dll.registered" \
  -a -e "$product_dir/docfoldMenu64.dll.registered"
check "main.ini written" test -s "$product_dir/main.ini"
sleep 1
planted_ran=$(ran)
check "no planted DLL or program ran${planted_ran:+: $(echo $planted_ran)}" test -z "$planted_ran"

checks_done dll_planting_test
