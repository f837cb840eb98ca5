#!/usr/bin/env bash
# Tells whether this machine can run 32-bit x86 programs, and so the 32-bit installer under Wine.
# Some kernels refuse every 32-bit program ("Exec format error"); a tiny static 32-bit ELF that
# only exits tells the two kinds apart before anything i386 is installed.
#   runs_32bit.sh          exit 0 when the kernel runs 32-bit code
#   runs_32bit.sh --wine   exit 0 when 32-bit Windows programs run here (wine32 installed as well)
# Exit 1 otherwise, with the reason on stdout. WINE_64BIT_ONLY=1 forces "no", so that the 64-bit
# path can be exercised on a machine that does run 32-bit code.
set -uo pipefail

if [[ "${WINE_64BIT_ONLY:-0}" == 1 ]]; then
  echo "WINE_64BIT_ONLY=1 is set"
  exit 1
fi

probe=$(mktemp "${TMPDIR:-/tmp}/runs32.XXXXXX")
trap 'rm -f "$probe"' EXIT
# ELF header (52 bytes) and one loadable segment (32 bytes) at 0x08048000, then
# "mov eax,1; mov ebx,0; int 0x80": the exit system call with status 0.
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'\
'\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\xb8\x01\x00\x00\x00\xbb\x00\x00\x00\x00\xcd\x80' >"$probe"
chmod +x "$probe"
if ! "$probe" 2>/dev/null; then
  echo "this kernel cannot execute 32-bit x86 programs"
  exit 1
fi
if [[ "${1:-}" == --wine ]]; then
  if [[ ! -x /usr/lib/wine/wine ]] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "wine32 (Debian's wine32:i386) is not installed"
    exit 1
  fi
fi
echo "32-bit programs run here"
