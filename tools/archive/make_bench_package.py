#!/usr/bin/python3
"""Writes the package the archive benchmark unpacks: about 100 MB in about 2,000 entries, a mix
of compressible (text-like) and incompressible (random) files in a few dozen folders, plus a
manifest beside it that lets the benchmark inflate the same entries with plain zlib.

Usage: make_bench_package.py <package.zip>
Manifest (<package.zip>.manifest): one line per file entry, in central-directory order:
  <data offset> <packed size> <unpacked size> <method>
The package is made again only when the parameters below change.
"""

import os
import random
import struct
import sys
import zipfile

TOTAL_BYTES = 100_000_000
FILES = 1960
FOLDERS = 40
COMPRESSIBLE_SHARE = 0.6
SEED = 2021
VERSION = f"v1 {TOTAL_BYTES} {FILES} {FOLDERS} {COMPRESSIBLE_SHARE} {SEED}"


def text_pool(rng, size):
    vocabulary = [w.encode() for w in (
        "install package folder entry archive window skin button progress license setup "
        "converter document page font image shadow layout thread message loop task reader "
        "central local header deflate stored attribute time name path registry shortcut").split()]
    out = bytearray()
    while len(out) < size:
        line = b" ".join(rng.choice(vocabulary) for _ in range(rng.randint(4, 14)))
        out += line + b"\n"
    return bytes(out[:size])


def sizes(rng):
    raw = [rng.lognormvariate(0, 1.2) for _ in range(FILES)]
    scale = TOTAL_BYTES / sum(raw)
    result = [max(64, int(r * scale)) for r in raw]
    result[-1] += TOTAL_BYTES - sum(result)
    return result


def main():
    package = sys.argv[1]
    manifest = package + ".manifest"
    if os.path.exists(package) and os.path.exists(manifest):
        with open(manifest) as f:
            if f.readline().strip() == "# " + VERSION:
                return
    os.makedirs(os.path.dirname(os.path.abspath(package)), exist_ok=True)
    rng = random.Random(SEED)
    pool = text_pool(rng, 4 << 20)
    stamp = (2022, 3, 4, 5, 6, 8)
    with zipfile.ZipFile(package + ".tmp", "w", zipfile.ZIP_DEFLATED) as z:
        for folder in range(FOLDERS):
            zi = zipfile.ZipInfo(f"app/part{folder:02d}/", date_time=stamp)
            zi.external_attr = (0o40755 << 16) | 0x10
            z.writestr(zi, b"")
        for i, size in enumerate(sizes(rng)):
            compressible = rng.random() < COMPRESSIBLE_SHARE
            if compressible:
                start = rng.randrange(0, len(pool) - size) if size < len(pool) else 0
                data = (pool * (size // len(pool) + 1))[start:start + size]
                name = f"app/part{i % FOLDERS:02d}/doc{i:04d}.txt"
            else:
                data = rng.randbytes(size)
                name = f"app/part{i % FOLDERS:02d}/blob{i:04d}.bin"
            zi = zipfile.ZipInfo(name, date_time=stamp)
            zi.external_attr = 0o100644 << 16
            zi.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(zi, data)
    with open(package + ".tmp", "rb") as f:
        raw = f.read()
    lines = ["# " + VERSION]
    with zipfile.ZipFile(package + ".tmp") as z:
        for zi in z.infolist():
            if zi.is_dir():
                continue
            name_len, extra_len = struct.unpack("<HH", raw[zi.header_offset + 26:zi.header_offset + 30])
            offset = zi.header_offset + 30 + name_len + extra_len
            lines.append(f"{offset} {zi.compress_size} {zi.file_size} {zi.compress_type}")
    os.replace(package + ".tmp", package)
    with open(manifest, "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
