# Sourced by the Wine scripts: the private prefix and home of one build folder.
# Usage: source wine_env.sh <wine-root>   (the root holds prefix/ and home/)
wine_root=$(realpath -m "$1")
export WINEPREFIX="$wine_root/prefix"
export HOME="$wine_root/home"
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko install prompts, and no desktop entries leaking onto the machine when tests
# create shortcuts.
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
export WINEARCH=win64
# The loader itself works whether or not the prefix predates wine32.
WINE_LOADER=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
[[ -x $WINE_LOADER ]] || WINE_LOADER=$(command -v wine)
[[ -x $WINESERVER ]] || WINESERVER=$(command -v wineserver)
export WINE_LOADER WINESERVER
