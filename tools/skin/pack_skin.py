#!/usr/bin/python3
"""Packs the skin archive reproducibly.

Usage: pack_skin.py OUT.zip ENTRY=FILE [ENTRY=FILE ...]

Entries are written in the order given, all with the same fixed time stamp and plain file
attributes, so the same inputs always give the same archive bytes. PNG files are stored (they are
compressed already; deflating them again only costs load time), everything else is deflated.
"""

import sys
import zipfile

FIXED_TIME = (2020, 1, 1, 0, 0, 0)


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    out = argv[1]
    seen = set()
    with zipfile.ZipFile(out, "w") as archive:
        for pair in argv[2:]:
            name, sep, path = pair.partition("=")
            if not sep or not name or name in seen or "\\" in name or name.startswith("/"):
                sys.exit("pack_skin: bad entry %r" % pair)
            seen.add(name)
            with open(path, "rb") as f:
                data = f.read()
            info = zipfile.ZipInfo(name, FIXED_TIME)
            stored = name.lower().endswith(".png")
            info.compress_type = zipfile.ZIP_STORED if stored else zipfile.ZIP_DEFLATED
            info.create_system = 0              # MS-DOS attributes: a plain archived file
            info.external_attr = 0x20
            archive.writestr(info, data, compresslevel=9)


if __name__ == "__main__":
    main(sys.argv)
