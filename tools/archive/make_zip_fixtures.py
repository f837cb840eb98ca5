#!/usr/bin/python3
"""Writes the ZIP archives the archive reader's tests open, plus the expected contents of the
larger entries, into the folder given as the only argument.

Ordinary archives come from Python's zipfile, the encrypted one from Info-ZIP's `zip -P`, and
everything a normal writer would refuse to produce (hostile names, wrong CRCs, mismatching local
headers, chosen host systems and attributes, extended timestamps) from zip_builder.
"""

import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import zip_builder as zb  # noqa: E402

STAMP = (2021, 6, 15, 12, 30, 44)
PASSWORD = b"secret"
WRONG_PASSWORD = b"wrong"


def words(rng, size):
    vocabulary = [b"archive", b"entry", b"folder", b"install", b"skin", b"window", b"data",
                  b"reader", b"zlib", b"central", b"local", b"header", b"\n"]
    out = bytearray()
    while len(out) < size:
        out += rng.choice(vocabulary) + b" "
    return bytes(out[:size])


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def info(name, method, external):
    zi = zipfile.ZipInfo(name, date_time=STAMP)
    zi.compress_type = method
    zi.create_system = zb.UNIX
    zi.external_attr = external
    return zi


def make_basic(out):
    with zipfile.ZipFile(os.path.join(out, "basic.zip"), "w") as z:
        z.writestr(info("hello.txt", zipfile.ZIP_DEFLATED, 0o100644 << 16),
                   b"Hello, archive!\n" * 100)
        z.writestr(info("data/stored.bin", zipfile.ZIP_STORED, 0o100644 << 16),
                   bytes(range(256)) * 4)
        z.writestr(info("empty.txt", zipfile.ZIP_DEFLATED, 0o100644 << 16), b"")
        z.writestr(info("Skin/1.XML", zipfile.ZIP_DEFLATED, 0o100644 << 16), b"<Window/>\n")
        z.writestr(info("sub/", zipfile.ZIP_STORED, (0o40755 << 16) | 0x10), b"")


def make_large(out):
    rng = random.Random(20210615)
    contents = {
        "text.txt": (words(rng, 300000), zipfile.ZIP_DEFLATED),
        "noise.bin": (rng.randbytes(100000), zipfile.ZIP_DEFLATED),
        "stored.bin": (rng.randbytes(70000), zipfile.ZIP_STORED),
    }
    folder = os.path.join(out, "large")
    os.makedirs(folder, exist_ok=True)
    with zipfile.ZipFile(os.path.join(out, "large.zip"), "w") as z:
        for name, (data, method) in contents.items():
            z.writestr(info(name, method, 0o100644 << 16), data)
            write(os.path.join(folder, name), data)


# Stored names that must never leave the target folder. Each file name is unique so that the
# hostile-archive test can search for it anywhere.
HOSTILE_NAMES = [
    b"../escape-01.txt",
    b"C:\\escape-02.txt",
    b"C:/a/escape-03.txt",
    b"dir/../escape-04.txt",
    b"/x/../y/escape-05.txt",
    b"..",
    b"a/../../escape-07.txt",
    b"..\\..\\escape-08.txt",
    b"\\\\server\\share\\escape-09.txt",
    b"C:escape-10.txt",
    b"escape-11.txt:stream",
    b"escape-12\x01.txt",
    b"escape-13\x00.txt",
    b"/",
    b"a/..",
    b"...\\escape-16.txt",
    b"sub/CON",
    b"caf\xc3\xa9-18.txt",
    b"bad\xff-19.txt",
    b"../../../../../../../../escape-20.txt",
    b"\\..\\escape-21.txt",
    b". ./escape-22.txt",
    b"ok/escape-23.txt",
]


def make_hostile(out):
    entries = [zb.Entry(name, b"entry %d\n" % i) for i, name in enumerate(HOSTILE_NAMES)]
    write(os.path.join(out, "hostile.zip"), zb.build(entries))


def make_long_names(out):
    entries = [
        zb.Entry(b"L/" + b"a" * 297 + b"1", b"first"),
        zb.Entry(b"L/" + b"a" * 297 + b"2", b"second"),
        # The 259-byte limit falls inside the three-byte euro sign.
        zb.Entry(b"m" * 258 + "\u20ac".encode("utf-8") + b"tail", b"euro"),
        zb.Entry(b"n" * 259, b"exactly"),
    ]
    write(os.path.join(out, "long_names.zip"), zb.build(entries))


def make_attributes(out):
    entries = [
        zb.Entry("fat_ro.txt", b"fat", host=zb.FAT, external=0x21),
        zb.Entry("unix_644.txt", b"644", host=zb.UNIX, external=0o100644 << 16),
        zb.Entry("unix_444.txt", b"444", host=zb.UNIX, external=0o100444 << 16),
        zb.Entry("unix_dir/", b"", method=0, host=zb.UNIX, external=0o40755 << 16),
        zb.Entry("ntfs_hs.txt", b"hs", host=zb.NTFS, external=0x26),
        # Written by tools that leave a folder's attribute bits empty.
        zb.Entry("bare_dir/", b"", method=0, host=zb.FAT, external=0),
        zb.Entry("unix_ro_dir/", b"", method=0, host=zb.UNIX, external=0o40555 << 16),
    ]
    write(os.path.join(out, "attributes.zip"), zb.build(entries))


def make_times(out):
    ux = zb.extra_block(0x7875, b"\x01\x04\xe8\x03\x00\x00\x04\xe8\x03\x00\x00")
    entries = [
        zb.Entry("dos.txt", b"dos"),
        zb.Entry("ut_m.txt", b"m", local_extra=zb.ut_block(mtime=1600000000)),
        zb.Entry("ut_all.txt", b"all",
                 local_extra=zb.ut_block(1500000000, 1500000100, 1500000200)),
        zb.Entry("ut_after.txt", b"after", local_extra=ux + zb.ut_block(mtime=1400000000)),
        # Announces all three times but carries one; the next block must not be read as times.
        zb.Entry("ut_short.txt", b"short",
                 local_extra=zb.ut_block(mtime=1300000000, flags=7) + ux),
        zb.Entry("bad_month.txt", b"x", stamp=zb.dos_stamp(2021, 13, 1)),
        zb.Entry("feb30.txt", b"x", stamp=zb.dos_stamp(2021, 2, 30)),
        zb.Entry("zero_stamp.txt", b"x", stamp=(0, 0)),
        zb.Entry("negative.txt", b"x", local_extra=zb.ut_block(mtime=-86400)),
        zb.Entry("leap.txt", b"x", stamp=zb.dos_stamp(2020, 2, 29, 23, 59, 58)),
    ]
    write(os.path.join(out, "times.zip"), zb.build(entries))


def make_corrupt(out):
    text = b"The quick brown fox jumps over the lazy dog.\n" * 200
    deflater = zlib.compressobj(6, zlib.DEFLATED, -15)
    packed = deflater.compress(text) + deflater.flush()
    entries = [
        zb.Entry("good.txt", text),
        zb.Entry("badcrc_deflated.txt", text, crc=zlib.crc32(text) ^ 1),
        zb.Entry("badcrc_stored.txt", text, method=0, crc=zlib.crc32(text) ^ 0x80000000),
        zb.Entry("local_method.txt", text, local={"method": 0}),
        zb.Entry("local_name.txt", text, local={"name": b"local_name.txt.other"}),
        zb.Entry("lzma.txt", text, method=14, packed=packed),
        zb.Entry("truncated.txt", text, packed=packed[: len(packed) // 2]),
        zb.Entry("stream_short.txt", text, unpacked_size=len(text) + 1000),
        zb.Entry("stored_short.txt", text, method=0, packed=text[:100]),
        zb.Entry("huge_declared.txt", text, unpacked_size=0xFFFFFFF0),
        zb.Entry("bzip2.txt", text, method=12, packed=packed),
        zb.Entry("garbage.txt", text, packed=bytes(range(256)) * 8),
    ]
    write(os.path.join(out, "corrupt.zip"), zb.build(entries))
    write(os.path.join(out, "corrupt_text.txt"), text)

    # The local extra field claims 65535 bytes that the archive does not have.
    write(os.path.join(out, "extra_short.zip"),
          zb.build([zb.Entry("x.txt", b"x", local={"extra_length": 0xFFFF})]))
    # The end record announces far more entries than the central directory holds.
    write(os.path.join(out, "count_lie.zip"),
          zb.build([zb.Entry("one.txt", b"1"), zb.Entry("two.txt", b"2")], count=1000))
    # A self-extractor style stub before the archive shifts every offset.
    write(os.path.join(out, "prefixed.zip"),
          zb.build([zb.Entry("a.txt", b"prefixed a"), zb.Entry("b.txt", text, method=0)],
                   prefix=b"MZ" + b"\x00" * 998))
    write(os.path.join(out, "not_a_zip.bin"), random.Random(7).randbytes(4096))
    write(os.path.join(out, "empty.bin"), b"")
    with open(os.path.join(out, "basic.zip"), "rb") as f:
        basic = f.read()
    write(os.path.join(out, "truncated.zip"), basic[: len(basic) // 2])


# Traditional PKWARE cipher, only to check which password a generated header accepts.
def _crc_byte(crc, b):
    return zlib.crc32(bytes([b]), crc ^ 0xFFFFFFFF) ^ 0xFFFFFFFF


def check_byte_matches(password, header, check):
    keys = [0x12345678, 0x23456789, 0x34567890]

    def update(c):
        keys[0] = _crc_byte(keys[0], c)
        keys[1] = ((keys[1] + (keys[0] & 0xFF)) * 134775813 + 1) & 0xFFFFFFFF
        keys[2] = _crc_byte(keys[2], keys[1] >> 24)

    for c in password:
        update(c)
    plain = 0
    for c in header:
        t = (keys[2] & 0xFFFF) | 2
        plain = c ^ (((t * (t ^ 1)) >> 8) & 0xFF)
        update(plain)
    return plain == check


def wrong_password_is_detected(path):
    with open(path, "rb") as f:
        data = f.read()
    with zipfile.ZipFile(path) as z:
        for zi in z.infolist():
            if not zi.flag_bits & 1:
                continue
            name_len, extra_len = struct.unpack("<HH", data[zi.header_offset + 26:][:4])
            start = zi.header_offset + 30 + name_len + extra_len
            check = (zi._raw_time >> 8) if zi.flag_bits & 8 else (zi.CRC >> 24)
            if check_byte_matches(WRONG_PASSWORD, data[start:start + 12], check):
                return False
    return True


def make_encrypted(out):
    if shutil.which("zip") is None:
        sys.exit("make_zip_fixtures: Info-ZIP zip is required (Debian package zip)")
    folder = os.path.join(out, "encrypted")
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(99)
    contents = {
        "plain.txt": b"not encrypted\n" * 10,
        "secret.txt": words(rng, 50000),
        "secret_stored.bin": rng.randbytes(3000),
    }
    for name, data in contents.items():
        write(os.path.join(folder, name), data)
    target = os.path.join(out, "encrypted.zip")
    # The header is random; one in 256 would accept the wrong password too. Make again until
    # the wrong password is refused by its check byte, so the test is deterministic.
    for _ in range(20):
        if os.path.exists(target):
            os.remove(target)
        with tempfile.TemporaryDirectory() as work:
            for name, data in contents.items():
                write(os.path.join(work, name), data)
            run = lambda *args: subprocess.run(["zip", "-q", "-X", *args], cwd=work, check=True)
            run(target, "plain.txt")
            run("-P", PASSWORD.decode(), target, "secret.txt")
            run("-0", "-P", PASSWORD.decode(), target, "secret_stored.bin")
        if wrong_password_is_detected(target):
            return
    sys.exit("make_zip_fixtures: could not make an encrypted archive")


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    make_basic(out)
    make_large(out)
    make_hostile(out)
    make_long_names(out)
    make_attributes(out)
    make_times(out)
    make_corrupt(out)
    make_encrypted(out)


if __name__ == "__main__":
    main()
