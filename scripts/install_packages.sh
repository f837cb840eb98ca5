#!/usr/bin/env bash
# Installs the Debian packages the build, the dependencies and the Wine test harness need.
# Safe to run again: it asks apt only when a package is missing. /etc/apt is never touched.
# wine32 (the 32-bit half of Wine) is installed only where this machine runs 32-bit programs;
# WINE_64BIT_ONLY=1 leaves it out anywhere (see scripts/runs_32bit.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

packages=(
  make cmake ca-certificates curl openssl dpkg-dev zip unzip python3 python3-pil
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  libstb-dev googletest msitools wixl icoutils
  xvfb xauth x11-utils imagemagick xdotool xcompmgr openbox fonts-wqy-microhei wine wine64
  osslsigncode nginx-light nsis
)
if why=$("$here/runs_32bit.sh"); then
  packages+=(wine32:i386)
else
  echo "install_packages: 64-bit Wine only ($why)"
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "install_packages: missing packages (${missing[*]}); run as root" >&2
  exit 1
fi

echo "install_packages: installing ${missing[*]}"
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive

# A mirror caught mid-sync serves an index that does not match its Release file ("File has
# unexpected size"), sometimes for days. apt then keeps the other indexes, but a suite known for
# one architecture and not the other cannot resolve Multi-Arch packages (wine32 needs its i386
# libraries at the very versions of the amd64 ones). Such a suite is ranked below the others
# through a private preferences file, so that the install resolves from the complete indexes.
update_log=$(mktemp)
trap 'rm -f "$update_log"' EXIT
for attempt in 1 2 3; do
  if apt-get update -q >"$update_log" 2>&1 && ! grep -q '^[WE]: Failed to fetch' "$update_log"; then
    break
  fi
  [[ $attempt -lt 3 ]] && sleep 5
done
broken_suites=$(sed -n 's|^[WE]: Failed to fetch [^ ]*/dists/\([^/ ]*\)/.*|\1|p' "$update_log" | sort -u)
apt_opts=()
if [[ -n "$broken_suites" ]]; then
  prefs_dir=$(mktemp -d)
  prefs="$prefs_dir/preferences"
  for suite in $broken_suites; do
    printf 'Package: *\nPin: release n=%s\nPin-Priority: 100\n\n' "$suite" >>"$prefs"
  done
  apt_opts=(-o Dir::Etc::Preferences="$prefs" -o Dir::Etc::PreferencesParts=/dev/null)
  echo "install_packages: incomplete index for $(echo $broken_suites | tr ' ' ','); installing from the other suites (suite ranked down in a private apt preferences file, /etc/apt untouched)"
fi
apt-get install -y -qq --no-install-recommends "${apt_opts[@]}" "${missing[@]}"
