#!/usr/bin/python3
"""Builds the test product packages from our own fixture programs.

  make_package.py package <out.zip> <manifest.txt> --docweave F --uninst F --msi F --beconv F --menu64 F
  make_package.py hostile <out.zip>
  make_package.py empty <out.zip>
  make_package.py duplicates <out.zip>
  make_package.py big <out.zip> <megabytes> (same named files as package, plus incompressible data)

The manifest lists one entry a line, "<kind>|<name>|<size>|<YYYY-MM-DD hh:mm:ss>" (kind "file" or
"dir", time as stored, local), for the tests to compare the unpacked folder against.
"""
import argparse
import os
import random
import warnings
import zipfile

# Distinct, even-second times (the ZIP format keeps two-second steps), so that a file given the
# wrong entry's times shows.
TIMES = [(2021, 3, 14, 9, 26, 52), (2022, 7, 1, 23, 59, 58), (2020, 2, 29, 12, 0, 0), (2019, 11, 5, 6, 7, 8),
         (2023, 1, 31, 17, 45, 30), (2018, 8, 8, 8, 8, 8), (2024, 12, 24, 18, 30, 10)]


def add(zf, manifest, name, data, when, compress=zipfile.ZIP_DEFLATED):
    info = zipfile.ZipInfo(name, date_time=when)
    if name.endswith("/"):
        info.external_attr = 0x10  # FILE_ATTRIBUTE_DIRECTORY, as Windows tools write folders
        info.compress_type = zipfile.ZIP_STORED
        zf.writestr(info, b"")
        manifest.append("dir|%s|0|%04d-%02d-%02d %02d:%02d:%02d" % ((name,) + when))
        return
    info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
    info.compress_type = compress
    zf.writestr(info, data)
    manifest.append("file|%s|%d|%04d-%02d-%02d %02d:%02d:%02d" % ((name, len(data)) + when))


def read(path):
    with open(path, "rb") as f:
        return f.read()


def product_entries(args):
    t = TIMES
    return [
        ("docweave.exe", read(args.docweave), t[0]),
        ("uninst.exe", read(args.uninst), t[1]),
        ("easyConverterSDK_5.msi", read(args.msi), t[2]),
        ("Common/", b"", t[3]),
        ("Common/loader.cfg", b"loader=easyConverter\r\nversion=5\r\n", t[4]),
        ("Rtf/", b"", t[3]),
        ("Rtf/beconv.dll", read(args.beconv), t[5]),
        ("docfoldMenu64.dll", read(args.menu64), t[6]),
        ("empty.dat", b"", t[0]),
        ("nested/", b"", t[1]),
        ("nested/level1/level2/deep.txt", ("深层文件\r\n" * 40).encode("utf-8"), t[2]),
        ("readme.txt", b"QuilloPDF test package\r\n" * 50, t[4]),
    ]


def build_package(args):
    manifest = []
    with zipfile.ZipFile(args.out, "w") as zf:
        for name, data, when in product_entries(args):
            add(zf, manifest, name, data, when)
    with open(args.manifest, "w", newline="\n") as f:
        f.write("\n".join(manifest) + "\n")


def build_hostile(args):
    manifest = []
    when = TIMES[0]
    with zipfile.ZipFile(args.out, "w") as zf:
        for name in ["../escape1.txt", "..\\escape2.txt", "../../escape3.txt", "a/../../escape4.txt",
                     "b\\..\\..\\escape5.txt", "C:/escape6.txt", "/escape7.txt", "C:..\\escape8.txt",
                     "c/../../../escape9.txt", "..", "../", "d/..", "good.txt"]:
            add(zf, manifest, name, ("payload of %s\r\n" % name).encode() * 30 if not name.endswith("/") else b"",
                when)


def build_empty(args):
    # An archive without entries, long enough to pass the installer's size check. Its end record
    # follows a stub, as in a self-extracting archive: minizip cannot find an end record that
    # starts at offset 0, so a bare empty archive would not open at all.
    with open(args.out, "wb") as f:
        f.write(b"QuilloPDF empty package stub\r\n" * 20)
        with zipfile.ZipFile(f, "w") as zf:
            zf.comment = b"no entries"


def build_duplicates(args):
    # Two names, each stored twice: once the first of the pair is empty, once the second. The
    # later entry of a name is the one a full unpacking leaves on disk.
    manifest = []
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # zipfile warns about the repeated names we want
        with zipfile.ZipFile(args.out, "w") as zf:
            add(zf, manifest, "first_empty.txt", b"", TIMES[0])
            add(zf, manifest, "first_empty.txt", b"later entry\r\n" * 40, TIMES[1])
            add(zf, manifest, "second_empty.txt", b"earlier entry\r\n" * 40, TIMES[2])
            add(zf, manifest, "second_empty.txt", b"", TIMES[3])


def build_big(args):
    manifest = []
    rng = random.Random(20240302)
    with zipfile.ZipFile(args.out, "w", allowZip64=True) as zf:
        for name, data, when in product_entries(args):
            add(zf, manifest, name, data, when)
        remaining = args.megabytes * 1024 * 1024
        index = 0
        while remaining > 0:
            size = min(remaining, 16 * 1024 * 1024)
            add(zf, manifest, "data/blob%02d.bin" % index, rng.randbytes(size), TIMES[index % len(TIMES)],
                zipfile.ZIP_STORED)
            remaining -= size
            index += 1


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="kind", required=True)
    for kind in ("package", "big"):
        p = sub.add_parser(kind)
        p.add_argument("out")
        if kind == "package":
            p.add_argument("manifest")
        else:
            p.add_argument("megabytes", type=int)
        for option in ("docweave", "uninst", "msi", "beconv", "menu64"):
            p.add_argument("--" + option, required=True)
    for kind in ("hostile", "empty", "duplicates"):
        sub.add_parser(kind).add_argument("out")
    args = parser.parse_args()
    tmp = args.out + ".tmp"
    final = args.out
    args.out = tmp
    {"package": build_package, "hostile": build_hostile, "empty": build_empty, "duplicates": build_duplicates,
     "big": build_big}[args.kind](args)
    os.replace(tmp, final)


if __name__ == "__main__":
    main()
