#!/usr/bin/env bash
# Installs the Debian packages the build, the dependencies and the Wine test harness need.
# Safe to run again: it asks apt only when a package is missing.
set -euo pipefail

packages=(
  make cmake ca-certificates curl openssl dpkg-dev zip unzip python3 python3-pil
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  libstb-dev googletest msitools wixl icoutils
  wine wine64 wine32:i386 xvfb xauth x11-utils imagemagick xdotool xcompmgr fonts-wqy-microhei
)

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
# Wine runs 32-bit programs only with wine32 from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror caught mid-sync fails one index now and then; try again, and go on with what was
# fetched: the install itself reports any package that is still out of reach.
for attempt in 1 2 3; do
  apt-get update -qq && break
  echo "install_packages: apt-get update failed (attempt $attempt)" >&2
  sleep 5
done
apt-get install -y -qq --no-install-recommends "${missing[@]}"
