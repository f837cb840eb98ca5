#!/usr/bin/env bash
# Authenticode signing as `make release` does it (osslsigncode, SHA-256, a fixed signing time) with
# a code-signing certificate made under a local test CA: the signed installer verifies against that
# CA and no other; a changed byte or a missing signature fails. Under Wine, WinVerifyTrust accepts
# the signed file with the CA trusted in the prefix, and reports a changed byte as a bad digest and
# an unsigned file as unsigned. (Wine checks the signature and the file's digest; it does not refuse
# a chain that ends at an untrusted root, so the CA is checked by osslsigncode only.)
# Usage: signature_test.sh <wine-root> <installer.exe> <verify_trust.exe> <work-dir>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../../.." && pwd)
wine_root=$1 installer=$2 verify_trust=$3 work=$4
source "$repo/scripts/wine_env.sh" "$wine_root"
source "$repo/tools/app/script_checks.sh"
verifies() { osslsigncode verify -CAfile "$1" -in "$2" >/dev/null 2>&1; }
trust() { "$WINE_LOADER" "$verify_trust" "$(win_path "$1")" </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^WinVerifyTrust: //p'; }

mkdir -p "$work"
/usr/bin/python3 "$repo/tools/app/make_test_ca.py" "$work/signing" --code-signing >/dev/null
/usr/bin/python3 "$repo/tools/app/make_test_ca.py" "$work/other_ca" >/dev/null
cp "$installer" "$work/unsigned.exe"
rm -f "$work/signed.exe" "$work/signed_again.exe"
for out in signed signed_again; do
  osslsigncode sign -pkcs12 "$work/signing/signing.p12" -readpass "$work/signing/signing.pass" \
    -n "QuilloPDF转换器" -h sha256 -time 1700000000 -in "$work/unsigned.exe" -out "$work/$out.exe" >/dev/null
done
check "signed" test -s "$work/signed.exe"
check "signing is deterministic for one certificate and time" cmp -s "$work/signed.exe" "$work/signed_again.exe"
cp "$work/signed.exe" "$work/changed.exe"
# One byte of the program's code changed after signing.
offset=$(( $(stat -c %s "$work/changed.exe") / 3 ))
byte=$(od -An -tu1 -j "$offset" -N1 "$work/changed.exe" | tr -d ' ')
printf "$(printf '\\%03o' $(( (byte + 1) % 256 )))" | dd of="$work/changed.exe" bs=1 seek="$offset" conv=notrunc 2>/dev/null

check "the signature verifies against its CA" verifies "$work/signing/ca.pem" "$work/signed.exe"
check "not against another CA" bash -c "! osslsigncode verify -CAfile '$work/other_ca/ca.pem' -in '$work/signed.exe' >/dev/null 2>&1"
check "a changed byte fails" bash -c "! osslsigncode verify -CAfile '$work/signing/ca.pem' -in '$work/changed.exe' >/dev/null 2>&1"
check "an unsigned file fails" bash -c "! osslsigncode verify -CAfile '$work/signing/ca.pem' -in '$work/unsigned.exe' >/dev/null 2>&1"

"$WINE_LOADER" reg import "$(win_path "$work/signing/trust_ca.reg")" </dev/null >/dev/null 2>&1
check "WinVerifyTrust accepts the signed installer" test "$(trust "$work/signed.exe")" = 0x00000000
check "WinVerifyTrust: a changed byte is a bad digest" test "$(trust "$work/changed.exe")" = 0x80096010
check "WinVerifyTrust: no signature" test "$(trust "$work/unsigned.exe")" = 0x800b0100

checks_done signature_test
