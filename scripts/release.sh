#!/usr/bin/env bash
# `make release`: the two shipped installers, built for size and for the production package host,
# stripped, Authenticode-signed and verified, with their SHA-256 sums, in one release folder. Every
# release build is made twice, in two folders, to show that one commit gives the same bytes.
#   QuilloPDF_Setup_x86.exe   the 32-bit (i686) installer, for every Windows
#   QuilloPDF_Setup_x64.exe   the 64-bit (x86_64) installer, for 64-bit Windows
# Signing: with SIGN_PKCS12 (a PKCS#12 file) and SIGN_PASSWORD (its password) set, with the
# vendor's certificate, verified against SIGN_CA_FILE (default: the system's CA bundle); without
# them, with a code-signing certificate made here under a local test CA (build/signing,
# never committed). The signing time is SOURCE_DATE_EPOCH (default: the commit's time).
# Usage: release.sh <build-root> <deps-dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
root=$(realpath -m "$1") deps=$(realpath -m "$2")
out="$root/release"
jobs=$(nproc)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$repo" log -1 --format=%ct 2>/dev/null || echo 0)}

build_installer() {  # build_installer <folder> <triplet>: prints the built installer's path
  local folder=$1 triplet=$2
  cmake -S "$repo" -B "$folder" -G "Unix Makefiles" -DDEPS_PREFIX="$deps" \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-$triplet.cmake" \
    -DINSTALLER_RELEASE=ON -DCMAKE_BUILD_TYPE=MinSizeRel >"$folder.log" 2>&1 &&
  cmake --build "$folder" -j"$jobs" --target installer >>"$folder.log" 2>&1 ||
    { tail -n 40 "$folder.log" >&2; echo "release: building $folder failed" >&2; exit 1; }
  echo "$folder/app/installer.exe"
}

# --- Signing certificate ------------------------------------------------------------------------
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [[ -n "${SIGN_PKCS12:-}" ]]; then
  p12=$SIGN_PKCS12
  printf '%s' "${SIGN_PASSWORD:-}" >"$work/pass"
  ca=${SIGN_CA_FILE:-/etc/ssl/certs/ca-certificates.crt}
  echo "release: signing with $p12"
else
  /usr/bin/python3 "$repo/tools/app/make_test_ca.py" "$root/signing" --code-signing >/dev/null
  p12="$root/signing/signing.p12"
  cp "$root/signing/signing.pass" "$work/pass"
  ca="$root/signing/ca.pem"
  echo "release: signing with the local test certificate $p12 (set SIGN_PKCS12 and SIGN_PASSWORD for a real one)"
fi
sign() {  # sign <in> <out>
  rm -f "$2"
  osslsigncode sign -pkcs12 "$p12" -readpass "$work/pass" -n "QuilloPDF转换器" -h sha256 \
    -time "$SOURCE_DATE_EPOCH" -in "$1" -out "$2" >"$work/sign.log" 2>&1 ||
    { cat "$work/sign.log" >&2; echo "release: signing $1 failed" >&2; exit 1; }
}

# --- Build, sign, verify, and once more ----------------------------------------------------------
rm -rf "$out"
mkdir -p "$out" "$root/release-build" "$root/release-check"
status=0
for pair in "i686-w64-mingw32 x86" "x86_64-w64-mingw32 x64"; do
  read -r triplet arch <<<"$pair"
  name="QuilloPDF_Setup_$arch.exe"
  first=$(build_installer "$root/release-build/$triplet" "$triplet")
  second=$(build_installer "$root/release-check/$triplet" "$triplet")
  sign "$first" "$out/$name"
  sign "$second" "$work/$name"
  osslsigncode verify -CAfile "$ca" -in "$out/$name" >"$work/verify.log" 2>&1 ||
    { cat "$work/verify.log" >&2; echo "release: the signature of $name does not verify" >&2; exit 1; }
  size=$(stat -c %s "$out/$name")
  echo "release: $name  $size bytes  signature verified against $(basename "$ca")"
  if cmp -s "$first" "$second" && cmp -s "$out/$name" "$work/$name"; then
    echo "release: $name is reproducible: two builds in two folders give the same bytes, unsigned and signed"
  else
    echo "release: $name differs between two builds of this commit" >&2
    status=1
  fi
  if [[ $size -gt 1500000 ]]; then
    echo "release: $name is larger than 1.5 MB" >&2
    status=1
  fi
done
(cd "$out" && sha256sum QuilloPDF_Setup_*.exe >SHA256SUMS)
echo "release: $out"
sed 's/^/  /' "$out/SHA256SUMS"
exit $status
