#!/usr/bin/env bash
# The real installer.exe under Xvfb against the local package host (nginx), driven with real input:
# start page -> licence -> back -> custom install -> install -> progress -> finish -> the product.
# Then what the installation left: files, main.ini, registry, shortcuts, the started product.
# Also: a second copy ends at once with 1; closing the window during the download and during the
# later steps ends the process within a few seconds, twice each.
# Usage: installer_gui_test.sh <wine-root> <installer.exe> <skin_layout_probe.exe> <work-dir>
#                              <package-host-state-dir> <https-port>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../../.." && pwd)
wine_root=$1 installer=$2 probe=$3 work=$4 server_state=$5 port=$6
source "$repo/scripts/wine_env.sh" "$wine_root"
source "$repo/tools/app/installer_walk.sh"
source "$repo/tools/app/script_checks.sh"
require_display installer_gui_test
rm -rf "$work"
mkdir -p "$work/shots"


# The package host (nginx) sends the package slowly, over about two seconds, or at full speed.
server_mode() {
  case "$1" in
    slow) "$repo/tools/app/nginx_fixture.sh" rate "$server_state" 300k ;;
    *) "$repo/tools/app/nginx_fixture.sh" rate "$server_state" 0 ;;
  esac
}

user_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/ | grep -v '/Public/$' | head -1)
user_dir=${user_dir%/}
product_dir="$user_dir/AppData/Roaming/VADIZUredizadi"
desktop_link="$user_dir/Desktop/QuilloPDF转换器.lnk"
menu_dir="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/QuilloPDF转换器"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VADIZUredizadi'

clean_install() {
  rm -rf "$product_dir" "$menu_dir" "$desktop_link"
  "$WINE_LOADER" reg delete "$uninstall_key" /f </dev/null >/dev/null 2>&1 || true
}

# Ends a leftover installer of a failed step, so that the next step is not "a second copy".
end_installer() {
  if [[ -n "${IW_PID:-}" ]] && iw_running "$IW_PID"; then kill "$IW_PID" 2>/dev/null; iw_wait_exit 5; fi
}
planted=()
trap 'end_installer; rm -f "${planted[@]}"' EXIT

check "skin layout read from the installer" iw_layout "$probe" "$installer" "$work/layout.txt"
cat "$work/layout.txt"

# The skin names "2.png" (page 1's close button), which its archive lacks. A file of that name
# beside the installer or in its current folder must not be drawn: an elevated installer takes
# its images from its own archive only. Planted here in solid red.
planted=("$(dirname "$installer")/2.png" "$work/2.png")
for f in "${planted[@]}"; do
  /usr/bin/python3 -c "import sys; from PIL import Image; Image.new('RGBA', (10, 20), (255, 0, 0, 255)).save(sys.argv[1])" "$f"
done
pixel_at() {  # pixel_at <client x> <client y>: "#RRGGBB" of the screen there
  import -window root -crop "1x1+$((IW_X + $1))+$((IW_Y + $2))" -depth 8 txt:- 2>/dev/null | tail -1 | grep -o '#[0-9A-F]\{6\}'
}

# --- The whole way through the pages -------------------------------------------------------
clean_install
server_mode slow
cd "$work"
check "installer window appears" iw_start "$installer" "$work/installer.log"
iw_shot "$work/shots/page0_start.png"
iw_click 0 btn_user && iw_shot "$work/shots/page4_licence.png"
iw_click 4 opt_back
iw_click 0 opt_custom && iw_shot "$work/shots/page1_custom.png"
read -r ex ey <<<"$(iw_point 1 exitbtn)"
close_pixel=$(pixel_at "$ex" "$ey")
check "no image from outside the skin archive (close button pixel $close_pixel)" test "$close_pixel" != "#FF0000"
check "the page around it is drawn (pixel $(pixel_at 300 100))" test "$(pixel_at 300 100)" = "#FFFFFF"
rm -f "${planted[@]}"
check "nothing installed before the install button" test ! -e "$product_dir/docweave.exe"
started=$(date +%s.%N)
iw_click 1 installPage
sleep 0.6
iw_shot "$work/shots/page2_progress.png"
# The desktop shortcut is the pipeline's last step; the finish page follows at once.
for _ in $(seq 1 900); do [[ -e "$desktop_link" ]] && break; sleep 0.1; done
check "installation finished" test -e "$desktop_link"
sleep 1.5
iw_shot "$work/shots/page3_finish.png"
rm -f "$product_dir/docweave.exe.launched"
iw_click 3 openmain
iw_wait_exit 20
check "installer ends with 1 after starting the product" test "$IW_RC" = 1
for _ in $(seq 1 100); do [[ -e "$product_dir/docweave.exe.launched" ]] && break; sleep 0.1; done
check "installed docweave.exe was started" test -e "$product_dir/docweave.exe.launched"
echo "installation took $(echo "$(date +%s.%N) - $started" | bc 2>/dev/null || echo '?') s"

check "product files installed" test -f "$product_dir/docweave.exe" -a -f "$product_dir/uninst.exe" \
  -a -f "$product_dir/Rtf/beconv.dll"
ini=$(iconv -f UTF-16 -t UTF-8 "$product_dir/main.ini" 2>/dev/null | tr -d '\r')
check "main.ini is UTF-16 with BOM" test "$(head -c 2 "$product_dir/main.ini" | od -An -tx1 | tr -d ' ')" = fffe
check "main.ini records the product" grep -qx 'app=pdf' <<<"$ini"
check "package deleted from Downloads" test -z "$(ls "$user_dir/Downloads" | grep VADIZUredizadi)"
uninstall=$("$WINE_LOADER" reg query "$uninstall_key" </dev/null 2>/dev/null | tr -d '\r')
check "uninstall entry written" grep -qi 'DisplayIcon.*docweave.exe' <<<"$uninstall"
check "uninstall entry names the uninstaller" grep -qi 'UninstallString.*uninst.exe' <<<"$uninstall"
check "desktop shortcut" test -s "$desktop_link"
check "start-menu shortcuts" test -s "$menu_dir/QuilloPDF转换器.lnk" -a -s "$menu_dir/卸载.lnk"

# --- One copy at a time --------------------------------------------------------------------
server_mode ok
check "first copy shows its window" iw_start "$installer" "$work/first.log"
first_pid=$IW_PID first_win=$IW_WIN
t0=$(date +%s%N)
"$WINE_LOADER" "$installer" </dev/null >"$work/second.log" 2>&1 &
second_pid=$!
IW_PID=$second_pid
iw_wait_exit 10
check "second copy ends with 1" test "$IW_RC" = 1
check "second copy ends at once" test $(( ($(date +%s%N) - t0) / 1000000 )) -lt 5000
IW_PID=$first_pid IW_WIN=$first_win
check "first copy still runs" iw_running "$first_pid"
iw_click 0 exitbtn
iw_wait_exit 10
check "exit button ends the installer with 1" test "$IW_RC" = 1

# A name that cannot become the mutex (another object holds it) counts as another copy.
squatter="$(dirname "$probe")/name_squatter.exe"
"$WINE_LOADER" "$squatter" VADIZUredizadi 30 </dev/null >"$work/squatter.log" 2>&1 &
squatter_pid=$!
for _ in $(seq 1 50); do grep -q holding "$work/squatter.log" 2>/dev/null && break; sleep 0.1; done
t0=$(date +%s%N)
"$WINE_LOADER" "$installer" </dev/null >"$work/blocked.log" 2>&1 &
IW_PID=$!
iw_wait_exit 10
check "mutex that cannot be created: installer ends with 1" test "$IW_RC" = 1
check "mutex that cannot be created: at once" test $(( ($(date +%s%N) - t0) / 1000000 )) -lt 5000
check "mutex that cannot be created: no window" test -z "$(xdotool search --onlyvisible --classname installer.exe 2>/dev/null)"
kill "$squatter_pid" 2>/dev/null; wait "$squatter_pid" 2>/dev/null

# --- Closing the window while the installation runs ----------------------------------------
close_during() {  # close_during <label> <server mode> <wait-condition command...>
  local label=$1 mode=$2; shift 2
  clean_install
  server_mode "$mode"
  iw_start "$installer" "$work/close_$label.log" || { check "window for $label" false; return; }
  iw_click 0 installPage
  local i
  for i in $(seq 1 300); do "$@" && break; sleep 0.05; done
  check "$label: installation was running when closed" iw_running "$IW_PID"
  # Wine without a window manager spends about two seconds destroying each top-level window
  # (the installer has two: the window and its shadow); the process then ends at once.
  local t0=$(date +%s%N)
  iw_close
  iw_wait_exit 10
  local ms=$(( ($(date +%s%N) - t0) / 1000000 ))
  check "$label: process ended with 1 within 8 s (took $ms ms)" test "$IW_RC" = 1 -a "$ms" -lt 8000
}
downloading() { ls "$user_dir/Downloads" 2>/dev/null | grep -q 'VADIZUredizadi_12345_.zip'; }
unpacking() { [[ -e "$product_dir/docweave.exe" ]]; }
for round in 1 2; do
  close_during "download $round" slow downloading
  close_during "unpack and register $round" ok unpacking
done
server_mode ok
clean_install

echo "screenshots: $work/shots"
checks_done installer_gui_test
