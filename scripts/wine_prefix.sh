#!/usr/bin/env bash
# Creates the test Wine prefix once per build folder. Remade when this script, Wine or what this
# machine can run changes (a prefix made before wine32 was usable cannot start 32-bit programs).
# Usage: wine_prefix.sh <wine-root>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_env.sh" "$1"

runs32=no
"$here/runs_32bit.sh" --wine >/dev/null && runs32=yes
stamp="$wine_root/prefix.stamp"
want="$(sha1sum "$0" | cut -c1-12) $("$WINE_LOADER" --version 2>/dev/null) $(dpkg-query -W -f='${Version}' wine32:i386 2>/dev/null || true) 32bit=$runs32"
[[ -f "$stamp" && "$(cat "$stamp")" == "$want" && -d "$WINEPREFIX/drive_c" ]] && exit 0

echo "wine_prefix: creating $WINEPREFIX"
"$WINESERVER" -k 2>/dev/null || true
rm -rf "$WINEPREFIX" "$HOME"
mkdir -p "$HOME"
# Where wine32 is installed but cannot run, wineboot reports its 32-bit half as failed; the 64-bit
# prefix it makes is complete.
env -u DISPLAY "$WINE_LOADER" wineboot -i >"$wine_root/wineboot.log" 2>&1 || true
"$WINESERVER" -w
[[ -f "$WINEPREFIX/system.reg" ]] || { echo "wine_prefix: wineboot failed:" >&2; cat "$wine_root/wineboot.log" >&2; exit 1; }

# Wine links the user's shell folders to $HOME; tests look for what lands in them inside the
# prefix, so they become real folders there.
for user_dir in "$WINEPREFIX"/drive_c/users/*/; do
  for link in "$user_dir"*; do
    if [[ -L "$link" ]]; then rm -f "$link"; mkdir -p "$link"; fi
  done
done

# The skin's font face is not on Linux: substitute a CJK font from Debian inside this prefix only.
# The .reg file is UTF-16LE so that the Chinese value name survives any locale.
reg="$wine_root/fonts.reg"
python3 - "$reg" <<'PY'
import sys
text = ("Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n"
        "\"\u5fae\u8f6f\u96c5\u9ed1\"=\"WenQuanYi Micro Hei\"\r\n"
        "\"Microsoft YaHei\"=\"WenQuanYi Micro Hei\"\r\n")
open(sys.argv[1], "wb").write(b"\xff\xfe" + text.encode("utf-16-le"))
PY
env -u DISPLAY "$WINE_LOADER" regedit /S "$(win_path "$reg")" >/dev/null 2>&1
"$WINESERVER" -w
echo "$want" > "$stamp"
