#!/usr/bin/env bash
# Cross-builds the third-party libraries into <deps>/<triplet>/{include,lib}:
#   minizip and FreeType from Debian source packages (fetched with apt-get source through a private
#   sources list and state folder, so the machine's apt setup stays untouched), GoogleTest from
#   /usr/src/googletest. zlib and stb_image come from their Debian packages as they are.
# Usage: build_deps.sh <deps-dir> <triplet>...   Each library is built once; a stamp records it.
set -euo pipefail

deps=$(realpath -m "$1"); shift
repo=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
src="$deps/src"
mkdir -p "$src"

# --- Debian source packages --------------------------------------------------------------------
apt_dir="$deps/apt"
apt_opts=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
          -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
          -o Dir::State::status="$apt_dir/status")

machine_archive() {
  # The archive and suite the machine itself installs from, so sources match the binaries.
  local uri suite
  uri=$(grep -hE '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | grep -v security | head -n1 | awk '{print $2}' || true)
  [[ -n "$uri" ]] || uri=$(grep -hE '^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?https?://[^ ]*debian' /etc/apt/sources.list 2>/dev/null \
                          | grep -v security | head -n1 | sed -E 's/^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?//' | awk '{print $1}' || true)
  [[ -n "$uri" ]] || uri=http://deb.debian.org/debian
  suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  echo "$uri $suite"
}

fetch_source() {  # fetch_source <package>: unpacks into $src/<package>-<version>, prints that folder
  local pkg=$1 dir
  dir=$(find "$src" -maxdepth 1 -type d -name "$pkg-[0-9]*" | head -n1)
  if [[ -z "$dir" ]]; then
    if [[ ! -f "$apt_dir/updated" ]]; then
      mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
      : > "$apt_dir/status"
      read -r uri suite < <(machine_archive)
      echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri $suite main" > "$apt_dir/sources.list"
      apt-get "${apt_opts[@]}" -qq update >&2
      touch "$apt_dir/updated"
    fi
    (cd "$src" && apt-get "${apt_opts[@]}" -qq source "$pkg" >&2)
    dir=$(find "$src" -maxdepth 1 -type d -name "$pkg-[0-9]*" | head -n1)
  fi
  [[ -n "$dir" ]] || { echo "build_deps: no source for $pkg" >&2; exit 1; }
  echo "$dir"
}

quiet() {  # quiet <log> <command...>: keeps a tool's chatter in a log, shown only when it fails
  local log=$1; shift
  "$@" >>"$log" 2>&1 || { tail -n 40 "$log" >&2; exit 1; }
}

stamp_ok() { [[ -f "$1" && "$(cat "$1")" == "$2" ]]; }

build_minizip() {
  local triplet=$1 prefix=$2 zsrc obj
  zsrc=$(fetch_source zlib)
  obj="$deps/build/$triplet/minizip"
  rm -rf "$obj"; mkdir -p "$obj" "$prefix/include/minizip" "$prefix/lib"
  for f in unzip ioapi; do
    "$triplet-gcc-posix" -O2 -w -I"$zsrc/contrib/minizip" -c "$zsrc/contrib/minizip/$f.c" -o "$obj/$f.o"
  done
  rm -f "$prefix/lib/libminizip.a"
  "$triplet-ar" rcs "$prefix/lib/libminizip.a" "$obj/unzip.o" "$obj/ioapi.o"
  cp "$zsrc/contrib/minizip/"{unzip.h,ioapi.h,crypt.h} "$prefix/include/minizip/"
}

build_freetype() {
  local triplet=$1 prefix=$2 fsrc obj
  fsrc=$(fetch_source freetype)
  obj="$deps/build/$triplet/freetype"
  # Without zlib means without the gzip module's own zlib copy too: its exported inflate and crc32
  # would collide with the zlib the archive reader links. The module then only reports itself
  # unavailable; skin text never opens compressed fonts.
  sed -i 's|^#define FT_CONFIG_OPTION_USE_ZLIB$|/* #undef FT_CONFIG_OPTION_USE_ZLIB */|' \
    "$fsrc/include/freetype/config/ftoption.h"
  # Only what the installer's text needs: TrueType outlines and collections (the system fonts that
  # carry CJK text), the auto-hinter of light hinting and the anti-aliased rasteriser. Other font
  # formats are left to the GDI+ text the renderer falls back on. Glyph names are never asked for.
  cat >"$fsrc/include/freetype/config/ftmodule.h" <<'MODULES'
FT_USE_MODULE( FT_Module_Class, autofit_module_class )
FT_USE_MODULE( FT_Driver_ClassRec, tt_driver_class )
FT_USE_MODULE( FT_Module_Class, sfnt_module_class )
FT_USE_MODULE( FT_Renderer_Class, ft_smooth_renderer_class )
MODULES
  sed -i -e 's|^#define FT_CONFIG_OPTION_POSTSCRIPT_NAMES$|/* #undef FT_CONFIG_OPTION_POSTSCRIPT_NAMES */|' \
         -e 's|^#define FT_CONFIG_OPTION_ADOBE_GLYPH_LIST$|/* #undef FT_CONFIG_OPTION_ADOBE_GLYPH_LIST */|' \
    "$fsrc/include/freetype/config/ftoption.h"
  rm -rf "$obj" "$obj.log"; mkdir -p "$(dirname "$obj")"
  quiet "$obj.log" cmake -S "$fsrc" -B "$obj" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_C_FLAGS="-ffunction-sections -fdata-sections -ffile-prefix-map=$fsrc=freetype" \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-$triplet.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
  quiet "$obj.log" cmake --build "$obj" -j"$jobs"
  quiet "$obj.log" cmake --install "$obj"
}

build_googletest() {
  local triplet=$1 prefix=$2 obj
  obj="$deps/build/$triplet/googletest"
  rm -rf "$obj" "$obj.log"; mkdir -p "$(dirname "$obj")"
  quiet "$obj.log" cmake -S /usr/src/googletest -B "$obj" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-$triplet.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_GMOCK=ON -DBUILD_SHARED_LIBS=OFF
  quiet "$obj.log" cmake --build "$obj" -j"$jobs"
  quiet "$obj.log" cmake --install "$obj"
}

for triplet in "$@"; do
  prefix="$deps/$triplet"
  mkdir -p "$prefix"
  for lib in minizip freetype googletest; do
    # Each library is rebuilt when its own recipe changes.
    stamp="$prefix/.built-$lib"
    recipe=$(declare -f "build_$lib" | sha1sum | cut -c1-12)
    if ! stamp_ok "$stamp" "$recipe"; then
      echo "build_deps: building $lib for $triplet"
      "build_$lib" "$triplet" "$prefix"
      echo "$recipe" > "$stamp"
    fi
  done
done
