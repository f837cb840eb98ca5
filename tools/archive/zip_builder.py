"""Byte-exact ZIP construction for archive fixtures.

Python's zipfile cannot write the records the reader's tests need (raw name bytes, wrong CRCs,
local headers that disagree with the central directory, chosen host systems and attributes,
extended timestamps), so this module lays out the records itself.
"""

import struct
import zlib

UNIX = 3
FAT = 0
NTFS = 11


def dos_stamp(year, month, day, hour=0, minute=0, second=0):
    """(date, time) fields of a DOS timestamp; out-of-range values are kept as given."""
    date = ((year - 1980) << 9) | (month << 5) | day
    time = (hour << 11) | (minute << 5) | (second // 2)
    return date & 0xFFFF, time & 0xFFFF


def ut_block(mtime=None, atime=None, ctime=None, flags=None, size=None):
    """An extended-timestamp extra block. flags and size may lie about what follows."""
    body = b""
    bits = 0
    for bit, value in ((1, mtime), (2, atime), (4, ctime)):
        if value is not None:
            bits |= bit
            body += struct.pack("<i", value)
    if flags is None:
        flags = bits
    data = bytes([flags]) + body
    return b"UT" + struct.pack("<H", len(data) if size is None else size) + data


def extra_block(tag, data):
    return struct.pack("<HH", tag, len(data)) + data


class Entry:
    """One entry. data is the uncompressed content; the other fields default to what a careful
    writer would store and can be overridden to build damaged or unusual records."""

    def __init__(self, name, data=b"", method=8, host=UNIX, external=None, stamp=None,
                 local_extra=b"", central_extra=b"", flags=0, crc=None, packed=None,
                 unpacked_size=None, local=None):
        self.name = name if isinstance(name, bytes) else name.encode("utf-8")
        self.data = data
        self.method = method
        self.host = host
        if external is None:
            external = (0o100644 << 16) if host == UNIX else 0x20
        self.external = external
        self.stamp = stamp or dos_stamp(2021, 6, 15, 12, 30, 44)
        self.local_extra = local_extra
        self.central_extra = central_extra
        self.flags = flags
        self.crc = zlib.crc32(data) if crc is None else crc
        if packed is None:
            if method == 8:
                compressor = zlib.compressobj(6, zlib.DEFLATED, -15)
                packed = compressor.compress(data) + compressor.flush()
            else:
                packed = data
        self.packed = packed
        self.unpacked_size = len(data) if unpacked_size is None else unpacked_size
        # Fields of the local header that differ from the central record: name, method, crc,
        # extra_length.
        self.local = local or {}


def build(entries, prefix=b"", count=None):
    """The archive's bytes. count overrides the entry count in the end record."""
    out = bytearray(prefix)
    offsets = []
    for e in entries:
        offsets.append(len(out))
        name = e.local.get("name", e.name)
        out += struct.pack(
            "<IHHHHHIIIHH", 0x04034B50, 20, e.flags, e.local.get("method", e.method),
            e.stamp[1], e.stamp[0], e.local.get("crc", e.crc), len(e.packed), e.unpacked_size,
            len(name), e.local.get("extra_length", len(e.local_extra)))
        out += name + e.local_extra + e.packed
    central_start = len(out)
    for e, offset in zip(entries, offsets):
        out += struct.pack(
            "<IHHHHHHIIIHHHHHII", 0x02014B50, (e.host << 8) | 20, 20, e.flags, e.method,
            e.stamp[1], e.stamp[0], e.crc, len(e.packed), e.unpacked_size, len(e.name),
            len(e.central_extra), 0, 0, 0, e.external, offset - len(prefix))
        out += e.name + e.central_extra
    central_size = len(out) - central_start
    n = len(entries) if count is None else count
    out += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, n, n, central_size,
                       central_start - len(prefix), 0)
    return bytes(out)
