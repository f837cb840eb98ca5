#!/usr/bin/env python3
"""Writes the render-engine test fixtures into the folder given as the only argument.

quad.png   6x6 nine-slice source with 2-pixel corners: red, green, blue and yellow corners,
           cyan top/bottom edges, magenta left/right edges, a white centre.
stripes.png 4x4 with 1-pixel grey border and a centre of two columns, black then white, for tiling.
alpha.png  2x2: (0) red at alpha 128, (1) opaque (10,20,30), (2) opaque white, (3) transparent.
orange.png 4x4 solid orange.
tall.png   3x30 solid green, taller than a line of text.
skin.zip   quad.png, public/sub/orange.png, alpha.png and big.png, whose declared size is patched to
           0x7FFF0000 bytes so that readers must refuse it before allocating.
dir/       a folder skin with orange.png.
"""
import os
import struct
import sys
import zipfile
import zlib


class Image:
    """Just enough of an RGBA image to write PNG files without third-party modules."""

    def __init__(self, size, fill=(0, 0, 0, 0)):
        self.width, self.height = size
        self.pixels = [fill] * (self.width * self.height)

    @classmethod
    def new(cls, mode, size, fill=(0, 0, 0, 0)):
        assert mode == "RGBA"
        return cls(size, fill)

    def load(self):
        image = self

        class Access:
            def __setitem__(self, xy, colour):
                image.pixels[xy[1] * image.width + xy[0]] = colour

        return Access()

    def putdata(self, data):
        self.pixels = list(data)

    def save(self, path):
        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body +
                    struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

        rows = b""
        for y in range(self.height):
            rows += b"\0" + b"".join(bytes(p) for p in self.pixels[y * self.width:(y + 1) * self.width])
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows)) +
                    chunk(b"IEND", b""))

RED, GREEN, BLUE, YELLOW = (255, 0, 0, 255), (0, 255, 0, 255), (0, 0, 255, 255), (255, 255, 0, 255)
CYAN, MAGENTA, WHITE = (0, 255, 255, 255), (255, 0, 255, 255), (255, 255, 255, 255)


def quad():
    img = Image.new("RGBA", (6, 6), WHITE)
    px = img.load()
    for y in range(6):
        for x in range(6):
            top, bottom, left, right = y < 2, y >= 4, x < 2, x >= 4
            if top and left:
                c = RED
            elif top and right:
                c = GREEN
            elif bottom and left:
                c = BLUE
            elif bottom and right:
                c = YELLOW
            elif top or bottom:
                c = CYAN
            elif left or right:
                c = MAGENTA
            else:
                c = WHITE
            px[x, y] = c
    return img


def stripes():
    img = Image.new("RGBA", (4, 4), (128, 128, 128, 255))
    px = img.load()
    for y in (1, 2):
        px[1, y] = (0, 0, 0, 255)
        px[2, y] = (255, 255, 255, 255)
    return img


def alpha():
    img = Image.new("RGBA", (2, 2))
    img.putdata([(255, 0, 0, 128), (10, 20, 30, 255), (255, 255, 255, 255), (0, 0, 0, 0)])
    return img


def patch_sizes(path, name, size):
    """Rewrites the uncompressed size of `name` in the local header and the central directory."""
    data = bytearray(open(path, "rb").read())
    encoded = name.encode()
    pos = 0
    while True:
        local = data.find(b"PK\x03\x04", pos)
        if local < 0:
            break
        nlen = struct.unpack_from("<H", data, local + 26)[0]
        if bytes(data[local + 30:local + 30 + nlen]) == encoded:
            struct.pack_into("<I", data, local + 22, size)
        pos = local + 4
    pos = 0
    while True:
        central = data.find(b"PK\x01\x02", pos)
        if central < 0:
            break
        nlen = struct.unpack_from("<H", data, central + 28)[0]
        if bytes(data[central + 46:central + 46 + nlen]) == encoded:
            struct.pack_into("<I", data, central + 24, size)
        pos = central + 4
    open(path, "wb").write(bytes(data))


def main():
    out = sys.argv[1]
    os.makedirs(os.path.join(out, "dir"), exist_ok=True)
    images = {"quad.png": quad(), "stripes.png": stripes(), "alpha.png": alpha(),
              "orange.png": Image.new("RGBA", (4, 4), (255, 128, 0, 255)),
              "tall.png": Image.new("RGBA", (3, 30), (0, 160, 0, 255))}
    for name, img in images.items():
        img.save(os.path.join(out, name))
    images["orange.png"].save(os.path.join(out, "dir", "orange.png"))
    archive = os.path.join(out, "skin.zip")
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
        z.write(os.path.join(out, "quad.png"), "quad.png")
        z.write(os.path.join(out, "stripes.png"), "stripes.png")
        z.write(os.path.join(out, "alpha.png"), "alpha.png")
        z.write(os.path.join(out, "orange.png"), "public/sub/orange.png")
        z.writestr(zipfile.ZipInfo("big.png"), b"\x89PNG" + b"\0" * 60)
    patch_sizes(archive, "big.png", 0x7FFF0000)


if __name__ == "__main__":
    main()
