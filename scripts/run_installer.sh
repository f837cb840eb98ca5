#!/usr/bin/env bash
# `make run`: the installer as a user meets it, against the local package host (nginx with the
# repository's package-host configuration, tools/nginx) serving the demo package over HTTPS. With a display ($DISPLAY set) the real window is shown for a person to click
# through. Without one the installer runs under Xvfb and walks through every page by itself with
# real input (start page, licence, back, custom install, install, progress, finish, start the
# application), saving a screenshot of each page. Either way it prints where the product was
# installed and what was registered.
# Usage: run_installer.sh <build-dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
build=$(realpath "$1")
installer="$build/app/local/installer.exe"
probe="$build/tools/app/skin_layout_probe.exe"
packages="$build/tools/app/packages"
state="$build/run/package_host"
shots="$build/run/screenshots"
port=$(sed -n 's/^APP_PACKAGE_HOST_PORT:INTERNAL=//p' "$build/CMakeCache.txt")
for f in "$installer" "$probe" "$packages/package.zip"; do
  [[ -e "$f" ]] || { echo "run_installer: $f is missing; build first (make build)" >&2; exit 1; }
done

"$here/wine_prefix.sh" "$build/wine"
source "$here/wine_env.sh" "$build/wine"
source "$repo/tools/app/installer_walk.sh"

source "$here/x_display.sh"

cleanup() {
  "$repo/tools/app/nginx_fixture.sh" stop "$state" || true
  "$WINESERVER" -k 2>/dev/null || true
  x_display_stop
}
trap cleanup EXIT

case "$(grep -o 'toolchain-[a-z0-9_]*' "$build/CMakeCache.txt" | head -n1)" in
  *i686*) echo "run_installer: the 32-bit (i686) installer, $installer" ;;
  *) echo "run_installer: the 64-bit (x86_64) installer, $installer" ;;
esac

# nginx's own rate limit sends the demo package over about two seconds.
"$repo/tools/app/nginx_fixture.sh" start "$build/wine" "$state" "$packages" "$port" 300k

user_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/ | grep -v '/Public/$' | head -1)
user_dir=${user_dir%/}
product_dir="$user_dir/AppData/Roaming/VADIZUredizadi"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VADIZUredizadi'

if [[ -n "${DISPLAY:-}" ]]; then
  "$WINESERVER" -p 2>/dev/null || true
  echo "run_installer: the installer window is open on $DISPLAY; click through it (the package"
  echo "host sends the demo package slowly, so the progress page stays a moment)."
  rc=0
  "$WINE_LOADER" "$installer" </dev/null >"$build/run/installer.log" 2>&1 || rc=$?
  echo "run_installer: the installer ended with $rc"
else
  # A compositor lets the screenshots show the layered shadow blended as on a desktop.
  x_display_start "$build/run" compositor
  "$WINESERVER" -p 2>/dev/null || true
  "$WINE_LOADER" wineboot </dev/null >/dev/null 2>&1 || true
  rm -rf "$shots" "$product_dir"
  mkdir -p "$shots"
  iw_layout "$probe" "$installer" "$build/run/layout.txt" || { echo "run_installer: cannot read the skin layout" >&2; exit 1; }
  iw_start "$installer" "$build/run/installer.log" || { echo "run_installer: no installer window" >&2; exit 1; }
  echo "run_installer: walking through the pages on the virtual display $DISPLAY"
  iw_shot "$shots/1_start_page.png"
  iw_click 0 btn_user; iw_shot "$shots/2_licence_page.png"
  iw_click 4 opt_back
  iw_click 0 opt_custom; iw_shot "$shots/3_custom_install_page.png"
  iw_click 1 installPage; sleep 0.6; iw_shot "$shots/4_progress_page.png"
  for _ in $(seq 1 900); do [[ -e "$user_dir/Desktop/QuilloPDF转换器.lnk" ]] && break; sleep 0.1; done
  sleep 1.5
  iw_shot "$shots/5_finish_page.png"
  iw_click 3 openmain
  iw_wait_exit 20 || true
  echo "run_installer: the installer ended with $IW_RC; screenshots of every page:"
  ls -1 "$shots"/*.png | sed 's/^/  /'
fi

echo "run_installer: installed into $(win_path "$product_dir")"
echo "  (on this machine: $product_dir)"
[[ -d "$product_dir" ]] && (cd "$product_dir" && find . -type f | sort | sed 's/^\.\//    /')
[[ -e "$product_dir/docweave.exe.launched" ]] && echo "  docweave.exe was started by the finish page"
echo "run_installer: registered under $uninstall_key:"
"$WINE_LOADER" reg query "$uninstall_key" </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^ \+/    /p' || true
sdk_key='HKLM\SOFTWARE\BCL Technologies\easyConverter SDK 5'
echo "run_installer: the vendor SDK's keys under $sdk_key (32-bit view):"
"$WINE_LOADER" reg query "$sdk_key" /reg:32 </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^ \+/    /p' || true
echo "  (Chinese values print as ? here: Wine's reg writes in the console code page)"
echo "run_installer: shortcuts:"
find "$user_dir/Desktop" "$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs" -name '*.lnk' \
  -newer "$build/CMakeCache.txt" 2>/dev/null | sed 's/^/    /' || true
