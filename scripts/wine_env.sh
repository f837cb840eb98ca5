# Sourced by the Wine scripts: the private prefix and home of one build folder, and Wine's 64-bit
# loader. Everything runs through that loader, Wine's own programs too (wineboot, winepath, reg,
# regedit): Debian's wine, wineboot and winepath scripts pick the 32-bit loader whenever wine32 is
# installed, which fails where the machine cannot run 32-bit code. The 64-bit loader itself hands
# a 32-bit program to wine32 where that runs.
# Usage: source wine_env.sh <wine-root>   (the root holds prefix/ and home/)
wine_root=$(realpath -m "$1")
export WINEPREFIX="$wine_root/prefix"
export HOME="$wine_root/home"
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko install prompts, and no desktop entries leaking onto the machine when tests
# create shortcuts.
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
export WINEARCH=win64
WINE_LOADER=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
if [[ ! -x $WINE_LOADER || ! -x $WINESERVER ]]; then
  echo "wine_env: Wine's 64-bit loader $WINE_LOADER is missing (Debian package wine64)" >&2
  return 1 2>/dev/null || exit 1
fi
export WINE_LOADER WINESERVER

# win_path <unix path>: the same file as Windows programs in the prefix name it. Every prefix maps
# the machine's root as drive Z:, so no Wine process is needed for it.
win_path() {
  local path
  path=$(realpath -m "$1")
  printf 'Z:%s\n' "${path//\//\\}"
}
