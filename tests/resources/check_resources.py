#!/usr/bin/python3
"""Static checks of the installer's resources, run on the build machine.

Usage: check_resources.py --source REPO --build BUILD/resources [--exe PROGRAM.exe [--gui]]
                          [unittest options]

--source  the repository (for resources/1.xml, the licence and the drawing tools)
--build   the resources build folder (skin.zip, art/, installer.manifest)
--exe     a linked Windows program carrying the resource object; its resource directory is read
          straight from the PE file and compared with the build's files
--gui     also require the program to be a 32-bit GUI program (for the installer itself)
"""

import argparse
import hashlib
import io
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
import zipfile

from PIL import Image

ARGS = None

# ---------------------------------------------------------------------------------------------
# The skin's contract: archive entries in order, image sizes and state rows.

ARCHIVE_ENTRIES = [
    "1.xml", "3.png", "4.png", "5.png", "6.png", "7.png", "8.png", "9.png", "10.png", "11.png",
    "12.png", "13.png", "14.png", "15.png", "shadow.png",
    "public/vscrollbar/thumb_normal.png", "public/vscrollbar/thumb_hovered.png",
    "public/vscrollbar/bk_hovered.png", "public/vscrollbar/bk_normal.png",
]

IMAGE_SIZES = {
    "3.png": (10, 20), "4.png": (600, 400), "5.png": (600, 400), "6.png": (600, 400),
    "7.png": (13, 39), "8.png": (219, 192), "9.png": (94, 114), "10.png": (16, 32),
    "11.png": (24, 24), "12.png": (76, 12), "13.png": (76, 12), "14.png": (36, 36),
    "15.png": (348, 108), "shadow.png": (150, 150),
    "public/vscrollbar/thumb_normal.png": (14, 54), "public/vscrollbar/thumb_hovered.png": (14, 54),
    "public/vscrollbar/bk_hovered.png": (14, 54), "public/vscrollbar/bk_normal.png": (14, 50),
}

# State rows (left, top, right, bottom) in the order the skin names them.
STATE_ROWS = {
    "3.png": [(0, 0, 10, 10), (0, 10, 10, 20)],                        # normal, hot
    "7.png": [(0, 0, 13, 13), (0, 13, 13, 26), (0, 26, 13, 39)],       # normal, hot, pushed
    "8.png": [(0, 0, 219, 64), (0, 64, 219, 128), (0, 128, 219, 192)],  # normal, pushed, hot
    "9.png": [(0, 0, 94, 38), (0, 38, 94, 76), (0, 76, 94, 114)],      # normal, pushed, hot
    "10.png": [(0, 0, 16, 16), (0, 16, 16, 32)],                       # unselected, selected
}

DELIBERATELY_MISSING = {"2.png"}
UNREFERENCED = {"14.png", "15.png", "public/vscrollbar/bk_normal.png"}

# A source wider than its image that the renderer cuts to the image (the path box's background).
CLIPPED_SOURCES = {("12.png", (0, 0, 348, 36))}


# ---------------------------------------------------------------------------------------------
# The skin document, element by element.

def el(name, attrs=(), children=()):
    return (name, list(attrs), list(children))


def filler(name):
    return el(name)


def exit_button(image):
    return el("HorizontalLayout", [("width", "20"), ("height", "10")], [
        el("Button", [("name", "exitbtn"), ("width", "10"), ("height", "10"), ("valign", "center"),
                      ("normalimage", "file='%s' source='0,0,10,10'" % image),
                      ("hotimage", "file='%s' source='0,10,10,20'" % image)])])


def big_button(name, *instance):
    return el("Button", [("name", name)] + list(instance) + [
        ("width", "219"), ("height", "64"), ("textpadding", "0,0,0,10"),
        ("textcolor", "0xffffffff"),
        ("normalimage", "file='8.png' source='0,0,219,64'"),
        ("hotimage", "file='8.png' source='0,128,219,192'"),
        ("pushedimage", "file='8.png' source='0,64,219,128'")])


def back_button():
    return el("Button", [("name", "opt_back"), ("width", "40"), ("text", "<返回"), ("font", "7"),
                         ("textcolor", "0xff333333"), ("hottextcolor", "0xff0167fe"),
                         ("pushedtextcolor", "0xff0167fe")])


def title_bar(label_name):
    return el("HorizontalLayout", [("height", "35"), ("padding", "15,10")], [
        el("HorizontalLayout", [], [
            el("Label", [("bkimage", "11.png"), ("width", "24"), ("height", "24")]),
            el("Label", [("name", label_name), ("font", "7"), ("height", "24"), ("align", "left"),
                         ("textcolor", "0xffffffff"), ("textpadding", "10,0,0")])]),
        exit_button("3.png")])


def font(fid, size, style=None):
    attrs = [("id", str(fid)), ("name", "微软雅黑"), ("size", str(size))]
    if style:
        attrs.append((style, "true"))
    if fid != 22:
        attrs.append(("shared", "true"))
    return el("Font", attrs)


FONTS = [(0, 11, None), (1, 12, "default"), (2, 12, "bold"), (3, 12, "underline"), (4, 13, None),
         (5, 13, "bold"), (6, 13, "underline"), (7, 14, None), (8, 14, "bold"),
         (9, 14, "underline"), (10, 15, None), (11, 15, "bold"), (12, 15, "underline"),
         (13, 16, None), (14, 17, None), (15, 18, None), (16, 19, None), (17, 29, None),
         (18, 23, None), (19, 20, None), (20, 24, None), (21, 28, None), (22, 22, None)]

THUMB = "file='public/vscrollbar/thumb_normal.png' corner='0,8,0,8'"
THUMB_HOT = "file='public/vscrollbar/thumb_hovered.png' corner='0,8,0,8'"
BK_HOT = "file='public/vscrollbar/bk_hovered.png' corner='0,4,0,4'"
VSCROLLBAR = " ".join('%s="%s"' % kv for kv in [
    ("width", "14"), ("range", "14"), ("showbutton1", "false"), ("showbutton2", "false"),
    ("thumbnormalimage", THUMB), ("thumbhotimage", THUMB_HOT), ("thumbpushedimage", THUMB_HOT),
    ("railnormalimage", ""), ("railhotimage", ""), ("railpushedimage", ""),
    ("raildisabledimage", ""), ("bknormalimage", ""), ("bkdisabledimage", ""),
    ("bkhotimage", BK_HOT), ("bkpushedimage", BK_HOT)])

PAGE0 = el("VerticalLayout", [("name", "page1"), ("bkimage", "4.png"), ("visible", "true")], [
    title_bar("setup_name_pg1"),
    filler("VerticalLayout"),
    el("HorizontalLayout", [], [
        filler("HorizontalLayout"),
        big_button("installPage", ("text", "立即安装"), ("font", "22"), ("padding", "0,82")),
        filler("HorizontalLayout")]),
    el("HorizontalLayout", [("height", "28"), ("padding", "17,5,20,0")], [
        el("Option", [("name", "progresss_ag"), ("height", "16"), ("selected", "true"),
                      ("selected", "true"), ("align", "left"), ("autocalcwidth", "true"),
                      ("normalimage", "file='10.png' source='0,0,16,16' dest='0,0,16,16'"),
                      ("selectedimage", "file='10.png' source='0,16,16,32' dest='0,0,16,16'"),
                      ("font", "1"), ("text", "我已阅读并同意"), ("textcolor", "0xff333333"),
                      ("textpadding", "18,0,0,0")]),
        el("Button", [("name", "btn_user"), ("height", "16"), ("text", "《用户使用许可协议》"),
                      ("font", "1"), ("autocalcwidth", "true"), ("textcolor", "0xFF3083FE"),
                      ("hottextcolor", "0xff0167fe"), ("pushedtextcolor", "0xff0167fe"),
                      ("align", "left")]),
        filler("Label"),
        el("Button", [("name", "opt_custom"), ("width", "70"), ("height", "16"),
                      ("text", "自定义"), ("textcolor", "0xff333333"), ("font", "1"),
                      ("hottextcolor", "0xff0167fe"), ("pushedtextcolor", "0xff0167fe"),
                      ("normalimage", "file='7.png' source='0,0,13,13' dest='57,2,70,15'"),
                      ("hotimage", "file='7.png' source='0,13,13,26' dest='57,2,70,15'"),
                      ("pushedimage", "file='7.png' source='0,26,13,39' dest='57,2,70,15'"),
                      ("padding", "0,3")])])])

BROWSE = [("normalimage", "file='9.png' source='0,0,94,38' corner='5,5,5,5'"),
          ("hotimage", "file='9.png' source='0,76,94,114' corner='5,5,5,5'"),
          ("pushedimage", "file='9.png' source='0,38,94,76' corner='5,5,5,5'")]

PAGE1 = el("VerticalLayout", [("bkcolor", "0xffffffff"), ("visible", "false")], [
    el("HorizontalLayout", [("height", "25"), ("padding", "15,5,0,0")], [
        back_button(), filler("Label"), exit_button("2.png")]),
    el("VerticalLayout", [("padding", "50,25,50,50")], [
        el("Label", [("height", "30"), ("text", "自定义安装"), ("textcolor", "0xff333333"),
                     ("font", "18")]),
        el("VerticalLayout", [("height", "150"), ("padding", "0,25")], [
            el("Label", [("height", "20"), ("text", "安装路径："), ("textcolor", "0xff333333"),
                         ("font", "7")]),
            el("HorizontalLayout", [("height", "38"), ("padding", "0,15")], [
                el("Label", [("name", "savepath"), ("width", "400"), ("font", "7"),
                             ("textpadding", "10,8,10,5"), ("textcolor", "0xff333333"),
                             ("bkimage", "file='12.png' source='0,0,348,36' corner='5,5,5,5'"),
                             ("endellipsis", "true"), ("singleline", "true")]),
                el("Button", [("name", "btn_selpath"), ("width", "90"), ("text", "浏览"),
                              ("textcolor", "0xffffffff"), ("font", "7"), ("padding", "10")]
                   + BROWSE)]),
            el("Label", [("name", "savepath_msg"), ("height", "20"), ("padding", "0,15"),
                         ("text", "所需空间：136.12MB 可用空间：100.00G"), ("font", "1"),
                         ("textcolor", "0xff333333")])]),
        el("HorizontalLayout", [], [
            filler("Label"),
            big_button("installPage", ("text", "立即安装"), ("font", "19"), ("padding", "0,26")),
            filler("Label")])])])

PAGE2 = el("VerticalLayout", [("bkimage", "5.png"), ("visible", "false")], [
    el("VerticalLayout", [("height", "140"), ("padding", "55,280,55,0")], [
        el("Progress", [("name", "progress"), ("height", "10"), ("mouse", "false"), ("min", "0"),
                        ("max", "100"), ("value", "0"),
                        ("bkimage", "file='12.png' corner='6,2,6,2'"),
                        ("foreimage", "file='13.png' corner='6,2,6,2'"), ("hor", "true")]),
        el("Label", [("name", "progress_msg"), ("padding", "0,10"), ("height", "20"),
                     ("text", "正在安装，请不要关闭：1%"), ("font", "7"), ("align", "center"),
                     ("textcolor", "0xff333333")]),
        filler("Label")])])

PAGE3 = el("VerticalLayout", [("bkimage", "6.png"), ("visible", "false")], [
    title_bar("setup_name_pg4"),
    el("HorizontalLayout", [("height", "64"), ("padding", "0,245"), ("bordersize", "1")], [
        filler("HorizontalLayout"),
        big_button("openmain", ("text", "安装完成"), ("font", "19")),
        filler("HorizontalLayout")])])

PAGE4 = el("VerticalLayout", [("bkcolor", "0xffffffff"), ("visible", "false")], [
    el("HorizontalLayout", [("height", "25"), ("padding", "15,5,0,0")], [
        back_button(), filler("Label"), exit_button("3.png")]),
    el("HorizontalLayout", [("padding", "45,15,45,0")], [
        el("RichEdit", [("name", "edt_shouquan"), ("multiline", "true"),
                        ("wantreturnmsg", "true"), ("vscrollbar", "true"), ("readonly", "true"),
                        ("text", ""), ("rich", "true"), ("font", "7"),
                        ("textcolor", "0xff333333")])]),
    el("Label", [("height", "1"), ("bkcolor", "bk_main_wnd_Color")]),
    el("HorizontalLayout", [("height", "140")], [
        filler("Label"),
        big_button("installPage", ("padding", "0,42"), ("text", "立即安装"), ("font", "19")),
        filler("Label")])])

EXPECTED_SKIN = el("Window", [("size", "600,400"), ("caption", "0,0,0,400"),
                              ("showshadow", "true"), ("shadowimage", "shadow.png"),
                              ("shadowcorner", "25,25,25,25"), ("shadowsize", "25")],
                   [font(*f) for f in FONTS] + [
                       el("Default", [("name", "VScrollBar"), ("shared", "true"),
                                      ("value", VSCROLLBAR)]),
                       el("VerticalLayout", [("name", "maintab")],
                          [PAGE0, PAGE1, PAGE2, PAGE3, PAGE4])])


# ---------------------------------------------------------------------------------------------
# A reader for the markup subset the UI library's parser understands: elements, double-quoted
# attributes (duplicates kept, in order), the five named entities, comments and processing
# instructions. Anything else the library would misread is an error here.

class MarkupError(Exception):
    pass


ENTITIES = {"amp;": "&", "apos;": "'", "lt;": "<", "gt;": ">", "quot;": '"'}
NAME_RE = re.compile(r"[A-Za-z0-9_:]+")


def decode(raw, where):
    out, i = [], 0
    while i < len(raw):
        if raw[i] == "&":
            for ent, ch in ENTITIES.items():
                if raw.startswith(ent, i + 1):
                    out.append(ch)
                    i += 1 + len(ent)
                    break
            else:
                raise MarkupError("unknown entity at %s: %r" % (where, raw[i:i + 8]))
        else:
            out.append(raw[i])
            i += 1
    return "".join(out)


def parse_markup(text):
    pos = 0
    n = len(text)

    def skip_ws():
        nonlocal pos
        while pos < n and ord(text[pos]) <= 32:
            pos += 1

    def skip_misc():
        nonlocal pos
        while True:
            skip_ws()
            if text.startswith("<?", pos):
                end = text.find("?>", pos)
                if end < 0:
                    raise MarkupError("unterminated processing instruction")
                pos = end + 2
            elif text.startswith("<!--", pos):
                end = text.find("-->", pos)
                # The library's parser ends a comment at the first "->".
                if end < 0 or text.find("->", pos + 4) != end + 1:
                    raise MarkupError("comment the UI parser would end early")
                pos = end + 3
            elif text.startswith("<!", pos):
                raise MarkupError("declarations are not understood by the UI parser")
            else:
                return

    def element():
        nonlocal pos
        if not text.startswith("<", pos):
            raise MarkupError("expected start tag at %d" % pos)
        pos += 1
        m = NAME_RE.match(text, pos)
        if not m:
            raise MarkupError("bad element name at %d" % pos)
        name = m.group(0)
        pos = m.end()
        attrs = []
        while True:
            skip_ws()
            if text.startswith("/>", pos):
                pos += 2
                return (name, attrs, [])
            if text.startswith(">", pos):
                pos += 1
                break
            m = NAME_RE.match(text, pos)
            if not m:
                raise MarkupError("bad attribute in <%s> at %d" % (name, pos))
            aname = m.group(0)
            pos = m.end()
            skip_ws()
            if not text.startswith("=", pos):
                raise MarkupError("attribute %s of <%s> has no value" % (aname, name))
            pos += 1
            skip_ws()
            if not text.startswith('"', pos):
                raise MarkupError("attribute %s of <%s> is not in double quotes" % (aname, name))
            end = text.find('"', pos + 1)
            if end < 0:
                raise MarkupError("unterminated attribute %s" % aname)
            attrs.append((aname, decode(text[pos + 1:end], "%s@%s" % (name, aname))))
            pos = end + 1
        children = []
        while True:
            skip_misc()
            if pos >= n:
                raise MarkupError("<%s> is not closed" % name)
            if text.startswith("</", pos):
                pos += 2
                if not text.startswith(name, pos):
                    raise MarkupError("unmatched closing tag for <%s> at %d" % (name, pos))
                pos += len(name)
                skip_ws()
                if not text.startswith(">", pos):
                    raise MarkupError("unmatched closing tag for <%s>" % name)
                pos += 1
                return (name, attrs, children)
            if not text.startswith("<", pos):
                raise MarkupError("text inside <%s> at %d" % (name, pos))
            children.append(element())

    skip_misc()
    root = element()
    skip_misc()
    if pos != n:
        raise MarkupError("content after the root element at %d" % pos)
    return root


def walk(node):
    yield node
    for child in node[2]:
        yield from walk(child)


def parse_attribute_list(value):
    """name="value" pairs as the control base's attribute-list reader takes them."""
    pairs = re.findall(r'([A-Za-z0-9_]+)="([^"]*)"', value)
    if " ".join('%s="%s"' % p for p in pairs) != value:
        raise MarkupError("attribute list not in the form name=\"value\" name2=\"value2\"")
    return pairs


def parse_description(value):
    """Image description: either a bare file name or key='value' pairs separated by one blank."""
    if "='" not in value:
        return {"file": value}
    pairs = re.findall(r"(\w+)='([^']*)'", value)
    if " ".join("%s='%s'" % p for p in pairs) != value:
        raise MarkupError("image description %r does not parse to its end" % value)
    return dict(pairs)


def rect(text):
    parts = [int(p) for p in text.split(",")]
    return tuple(parts + [0] * (4 - len(parts)))


IMAGE_ATTRS = {"bkimage", "foreimage", "normalimage", "hotimage", "pushedimage", "selectedimage",
               "thumbnormalimage", "thumbhotimage", "thumbpushedimage", "bkhotimage",
               "bkpushedimage", "railnormalimage", "railhotimage", "railpushedimage",
               "raildisabledimage", "bknormalimage", "bkdisabledimage"}


def image_descriptions(root):
    """Every (image, description dict) the skin draws."""
    found = []
    for node in walk(root):
        attrs = node[1]
        if node[0] == "Default":
            attrs = parse_attribute_list(dict(node[1])["value"])
        for name, value in attrs:
            if name == "shadowimage" or (name in IMAGE_ATTRS and value):
                d = parse_description(value)
                found.append((d["file"], d))
    return found


# ---------------------------------------------------------------------------------------------
# PE resource directory reader

def pe_resources(path):
    """{(type, name): {language: bytes}} with numeric ids as ints and names as strings, plus the
    machine and subsystem fields."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    machine, sections, _, _, _, opt_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    subsystem = struct.unpack_from("<H", data, opt + 68)[0]
    dirs = opt + (96 if magic == 0x10B else 112)
    rsrc_rva, rsrc_size = struct.unpack_from("<II", data, dirs + 2 * 8)
    table = opt + opt_size
    spans = []
    for i in range(sections):
        s = table + 40 * i
        vsize, va, rawsize, rawptr = struct.unpack_from("<IIII", data, s + 8)
        spans.append((va, max(vsize, rawsize), rawptr))

    def off(rva):
        for va, size, raw in spans:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError("RVA %#x outside every section" % rva)

    base = off(rsrc_rva)

    def entries(dir_off):
        named, ids = struct.unpack_from("<HH", data, dir_off + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, dir_off + 16 + 8 * i)
            if name & 0x80000000:
                p = base + (name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", data, p)[0]
                key = data[p + 2:p + 2 + 2 * length].decode("utf-16-le")
            else:
                key = name
            yield key, target

    result = {}
    for rtype, t in entries(base):
        for rname, n in entries(base + (t & 0x7FFFFFFF)):
            for lang, leaf in entries(base + (n & 0x7FFFFFFF)):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                result.setdefault((rtype, rname), {})[lang] = data[off(rva):off(rva) + size]
    return result, machine, subsystem


# ---------------------------------------------------------------------------------------------

def source(*parts):
    return os.path.join(ARGS.source, *parts)


def build(*parts):
    return os.path.join(ARGS.build, *parts)


def load_skin():
    with open(source("resources", "1.xml"), "rb") as f:
        raw = f.read()
    return raw, parse_markup(raw.decode("utf-8"))


def archive_images():
    with zipfile.ZipFile(build("skin.zip")) as z:
        return {name: Image.open(io.BytesIO(z.read(name))) for name in z.namelist()
                if name.endswith(".png")}


def diff_path(a, b, path="Window"):
    """First difference between two element trees, as a readable path, or None."""
    if a[0] != b[0]:
        return "%s: element %s, expected %s" % (path, a[0], b[0])
    if a[1] != b[1]:
        return "%s: attributes\n  %s\nexpected\n  %s" % (path, a[1], b[1])
    if len(a[2]) != len(b[2]):
        return "%s: %d children, expected %d" % (path, len(a[2]), len(b[2]))
    for i, (x, y) in enumerate(zip(a[2], b[2])):
        d = diff_path(x, y, "%s/%s[%d]" % (path, y[0], i))
        if d:
            return d
    return None


class SkinDocument(unittest.TestCase):
    def test_document_is_utf8_without_bom_and_declares_it(self):
        raw, _ = load_skin()
        self.assertFalse(raw.startswith(b"\xef\xbb\xbf"))
        raw.decode("utf-8")
        self.assertTrue(raw.startswith(b'<?xml version="1.0" encoding="UTF-8"?>'))

    def test_document_parses_with_the_ui_markup_rules(self):
        _, root = load_skin()
        self.assertEqual("Window", root[0])
        with self.assertRaises(MarkupError):
            parse_markup("<a b='1'/>")
        with self.assertRaises(MarkupError):
            parse_markup('<a b="&#65;"/>')
        with self.assertRaises(MarkupError):
            parse_markup("<a><b></B></a>")

    def test_document_matches_the_skin_element_by_element(self):
        _, root = load_skin()
        difference = diff_path(root, EXPECTED_SKIN)
        self.assertIsNone(difference, difference)

    def test_controller_names_sit_on_their_pages_and_only_page0_is_visible(self):
        _, root = load_skin()
        maintab = [n for n in walk(root) if dict(n[1]).get("name") == "maintab"]
        self.assertEqual(1, len(maintab))
        pages = maintab[0][2]
        self.assertEqual(5, len(pages))
        wanted = [
            {"setup_name_pg1", "installPage", "progresss_ag", "btn_user", "opt_custom", "exitbtn"},
            {"opt_back", "savepath", "btn_selpath", "savepath_msg", "installPage", "exitbtn"},
            {"progress", "progress_msg"},
            {"setup_name_pg4", "openmain", "exitbtn"},
            {"edt_shouquan", "opt_back", "installPage", "exitbtn"},
        ]
        for i, (page, names) in enumerate(zip(pages, wanted)):
            present = {dict(n[1]).get("name") for n in walk(page)}
            self.assertTrue(names <= present, "page %d lacks %s" % (i, names - present))
            self.assertEqual("true" if i == 0 else "false", dict(page[1]).get("visible"))

    def test_every_image_description_parses_completely(self):
        _, root = load_skin()
        descriptions = image_descriptions(root)
        self.assertGreater(len(descriptions), 20)
        for image, d in descriptions:
            for key in ("source", "dest", "corner"):
                if key in d:
                    self.assertEqual(4, len(d[key].split(",")), (image, d))


class SkinArchive(unittest.TestCase):
    def test_archive_holds_exactly_the_skin_entries_in_order(self):
        with zipfile.ZipFile(build("skin.zip")) as z:
            self.assertEqual(ARCHIVE_ENTRIES, z.namelist())
            self.assertIsNone(z.testzip())
            with open(source("resources", "1.xml"), "rb") as f:
                self.assertEqual(f.read(), z.read("1.xml"))
            for info in z.infolist():
                self.assertEqual((2020, 1, 1, 0, 0, 0), info.date_time, info.filename)
                self.assertIn(info.compress_type, (zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED))
                self.assertEqual(b"", info.extra, info.filename)

    def test_archive_has_every_referenced_image_except_the_missing_one(self):
        _, root = load_skin()
        referenced = {image for image, _ in image_descriptions(root)}
        names = set(ARCHIVE_ENTRIES)
        self.assertEqual(DELIBERATELY_MISSING, referenced - names)
        self.assertEqual(UNREFERENCED, names - referenced - {"1.xml"})

    def test_every_image_has_its_listed_size(self):
        images = archive_images()
        self.assertEqual(set(IMAGE_SIZES), set(images))
        for name, img in images.items():
            self.assertEqual(IMAGE_SIZES[name], img.size, name)
            self.assertEqual("RGBA", img.mode, name)

    def test_sources_and_corners_fit_their_images(self):
        _, root = load_skin()
        for image, d in image_descriptions(root):
            if image in DELIBERATELY_MISSING:
                continue
            w, h = IMAGE_SIZES[image]
            src = rect(d["source"]) if "source" in d else (0, 0, w, h)
            if (image, src) not in CLIPPED_SOURCES:
                self.assertTrue(src[2] <= w and src[3] <= h, (image, src))
            src = (src[0], src[1], min(src[2], w), min(src[3], h))
            if "corner" in d:
                l, t, r, b = rect(d["corner"])
                self.assertLessEqual(l + r, src[2] - src[0], (image, d))
                self.assertLessEqual(t + b, src[3] - src[1], (image, d))

    def test_skin_state_rows_are_the_listed_rows(self):
        _, root = load_skin()
        used = {}
        for image, d in image_descriptions(root):
            if image in STATE_ROWS and "source" in d:
                used.setdefault(image, set()).add(rect(d["source"]))
        for image, rows in STATE_ROWS.items():
            self.assertEqual(set(rows), used.get(image), image)

    def test_state_rows_look_different_from_each_other(self):
        images = archive_images()
        for image, rows in STATE_ROWS.items():
            crops = [images[image].crop(r).tobytes() for r in rows]
            self.assertEqual(len(rows), len(set(crops)), image)
            for r, c in zip(rows, crops):
                alpha = images[image].crop(r).getchannel("A")
                self.assertGreater(alpha.getextrema()[1], 200, (image, r))

    def test_backgrounds_are_opaque_white_below_the_banner_and_dark_behind_the_title(self):
        images = archive_images()
        for name in ("4.png", "5.png", "6.png"):
            img = images[name].convert("RGBA")
            self.assertEqual((255, 255), img.getchannel("A").getextrema(), name)
            # Buttons, option row and progress bar sit on white from y 270 down.
            lower = img.crop((0, 270, 600, 400)).convert("RGB")
            self.assertEqual([(255, 255)] * 3, list(lower.getextrema()), name)
            # White 14-pixel title text at (49, 10)-(200, 34) needs a dark backdrop.
            title = img.crop((49, 10, 200, 34)).convert("L")
            mean = sum(title.getdata()) / (title.width * title.height)
            self.assertLess(mean, 150, name)

    def test_shadow_fades_outward_and_stretches_without_seams(self):
        img = archive_images()["shadow.png"]
        a = img.getchannel("A")
        px = a.load()
        c = 25
        for x in range(150):
            self.assertEqual(0, px[x, 0])
            self.assertEqual(0, px[0, x])
            self.assertEqual(0, px[x, 149])
            self.assertEqual(0, px[149, x])
        # Edge slices are stretched along the window's sides: constant along that direction.
        for y in range(c):
            row = {px[x, y] for x in range(c, 150 - c)}
            self.assertEqual(1, len(row), "top row %d" % y)
            self.assertEqual({px[c, y]}, {px[x, 149 - y] for x in range(c, 150 - c)})
        for x in range(c):
            col = {px[x, y] for y in range(c, 150 - c)}
            self.assertEqual(1, len(col), "left column %d" % x)
        # Darkest next to the window, strictly lighter further out.
        profile = [px[75, y] for y in range(c)]
        self.assertGreater(profile[-1], 30)
        self.assertEqual(sorted(profile), profile)
        self.assertEqual(a.transpose(Image.FLIP_LEFT_RIGHT).tobytes(), a.tobytes())
        self.assertEqual(a.transpose(Image.FLIP_TOP_BOTTOM).tobytes(), a.tobytes())


class Licence(unittest.TestCase):
    def test_licence_is_strict_utf8_without_bom_with_crlf_only(self):
        with open(source("resources", "licence.txt"), "rb") as f:
            raw = f.read()
        self.assertFalse(raw.startswith(b"\xef\xbb\xbf"))
        text = raw.decode("utf-8", errors="strict")  # rejects overlong forms and surrogates
        self.assertNotIn("\ufeff", text)
        self.assertEqual(raw.count(b"\n"), raw.count(b"\r\n"))
        self.assertEqual(raw.count(b"\r"), raw.count(b"\r\n"))
        self.assertTrue(raw.endswith(b"\r\n"))
        self.assertEqual(3914, len(raw))
        self.assertGreaterEqual(raw.count(b"\r\n"), 40)  # scrolls on the licence page
        self.assertTrue(text.startswith("QuilloPDF转换器"))


class Manifest(unittest.TestCase):
    NS = {"v1": "urn:schemas-microsoft-com:asm.v1", "v2": "urn:schemas-microsoft-com:asm.v2",
          "v3": "urn:schemas-microsoft-com:asm.v3",
          "c": "urn:schemas-microsoft-com:compatibility.v1",
          "ws05": "http://schemas.microsoft.com/SMI/2005/WindowsSettings",
          "ws16": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}

    def test_manifest_declares_elevation_controls_dpi_and_systems(self):
        with open(build("installer.manifest"), "rb") as f:
            raw = f.read()
        root = ET.fromstring(raw)
        level = root.find("v2:trustInfo/v2:security/v2:requestedPrivileges/"
                          "v2:requestedExecutionLevel", self.NS)
        self.assertEqual("requireAdministrator", level.get("level"))
        self.assertEqual("false", level.get("uiAccess"))
        ident = root.find("v1:assemblyIdentity", self.NS)
        self.assertRegex(ident.get("version"), r"^\d+\.\d+\.\d+\.\d+$")
        cc = root.find("v1:dependency/v1:dependentAssembly/v1:assemblyIdentity", self.NS)
        self.assertEqual("Microsoft.Windows.Common-Controls", cc.get("name"))
        self.assertEqual("6.0.0.0", cc.get("version"))
        self.assertEqual("6595b64144ccf1df", cc.get("publicKeyToken"))
        systems = {e.get("Id") for e in root.findall("c:compatibility/c:application/c:supportedOS",
                                                     self.NS)}
        self.assertEqual({"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",   # 7
                          "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",   # 8
                          "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",   # 8.1
                          "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"},  # 10 and 11
                         systems)
        settings = root.find("v3:application/v3:windowsSettings", self.NS)
        self.assertEqual("true/pm", settings.find("ws05:dpiAware", self.NS).text)
        self.assertEqual("PerMonitorV2, PerMonitor",
                         settings.find("ws16:dpiAwareness", self.NS).text)


class Reproducible(unittest.TestCase):
    def test_drawing_and_packing_again_give_the_same_bytes(self):
        with tempfile.TemporaryDirectory() as tmp:
            subprocess.run([sys.executable, source("tools", "skin", "draw_skin.py"), tmp],
                           check=True)
            files = ["skin/" + e for e in ARCHIVE_ENTRIES[1:]] + ["icons/107.ico", "icons/108.ico"]
            for rel in files:
                with open(os.path.join(tmp, rel), "rb") as a, open(build("art", rel), "rb") as b:
                    self.assertEqual(a.read(), b.read(), rel)
            out = os.path.join(tmp, "again.zip")
            pairs = ["1.xml=" + source("resources", "1.xml")]
            pairs += ["%s=%s" % (e, os.path.join(tmp, "skin", e)) for e in ARCHIVE_ENTRIES[1:]]
            subprocess.run([sys.executable, source("tools", "skin", "pack_skin.py"), out] + pairs,
                           check=True)
            with open(out, "rb") as a, open(build("skin.zip"), "rb") as b:
                self.assertEqual(hashlib.sha256(b.read()).hexdigest(),
                                 hashlib.sha256(a.read()).hexdigest())


def ico_sizes(data):
    count = struct.unpack_from("<H", data, 4)[0]
    return sorted((data[6 + 16 * i] or 256) for i in range(count))


class ExecutableResources(unittest.TestCase):
    RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24

    @classmethod
    def setUpClass(cls):
        if not ARGS.exe:
            raise unittest.SkipTest("no --exe given")
        cls.res, cls.machine, cls.subsystem = pe_resources(ARGS.exe)

    def one(self, rtype, rname, lang):
        langs = self.res.get((rtype, rname))
        self.assertIsNotNone(langs, "resource %r %r missing" % (rtype, rname))
        self.assertEqual([lang], list(langs), "languages of %r %r" % (rtype, rname))
        return langs[lang]

    def test_program_is_a_windows_program_of_its_architecture(self):
        expected = {"i686": 0x14C, "x86_64": 0x8664}[ARGS.arch]  # IMAGE_FILE_MACHINE_I386 / _AMD64
        self.assertEqual(expected, self.machine)
        if ARGS.gui:
            self.assertEqual(2, self.subsystem)  # IMAGE_SUBSYSTEM_WINDOWS_GUI

    def test_skin_archive_and_licence_are_embedded_unchanged(self):
        with open(build("skin.zip"), "rb") as f:
            self.assertEqual(f.read(), self.one("ZIP", 133, 2052))
        with open(source("resources", "licence.txt"), "rb") as f:
            self.assertEqual(f.read(), self.one("TXT", 134, 2052))

    def test_icon_groups_carry_every_size_of_their_icon_files(self):
        for group in (107, 108):
            data = self.one(self.RT_GROUP_ICON, group, 2052)
            count = struct.unpack_from("<H", data, 4)[0]
            sizes = []
            for i in range(count):
                w, h, _, _, planes, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", data,
                                                                              6 + 14 * i)
                sizes.append(w or 256)
                self.assertEqual(32, bits)
                self.assertEqual(size, len(self.one(self.RT_ICON, icon_id, 2052)))
            with open(build("art", "icons", "%d.ico" % group), "rb") as f:
                self.assertEqual(ico_sizes(f.read()), sorted(sizes))
            self.assertTrue({16, 24, 32, 48, 256} <= set(sizes))

    def test_version_resource_has_the_fixed_file_version(self):
        data = self.one(self.RT_VERSION, 1, 2052)
        sig = data.find(struct.pack("<I", 0xFEEF04BD))
        self.assertGreater(sig, 0)
        ms, ls = struct.unpack_from("<II", data, sig + 8)
        version = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        with open(build("installer.manifest"), "rb") as f:
            manifest_version = ET.fromstring(f.read()).find(
                "{urn:schemas-microsoft-com:asm.v1}assemblyIdentity").get("version")
        self.assertEqual(manifest_version, version)
        self.assertIn("QuilloPDF转换器".encode("utf-16-le"), data)

    def test_manifest_is_resource_1_in_english_with_require_administrator(self):
        data = self.one(self.RT_MANIFEST, 1, 1033)
        with open(build("installer.manifest"), "rb") as f:
            self.assertEqual(f.read(), data)
        self.assertIn(b'level="requireAdministrator"', data)
        manifests = [k for k in self.res if k[0] == self.RT_MANIFEST]
        self.assertEqual([(self.RT_MANIFEST, 1)], manifests)


def main():
    global ARGS
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--source", required=True)
    parser.add_argument("--build", required=True)
    parser.add_argument("--exe")
    parser.add_argument("--gui", action="store_true")
    parser.add_argument("--arch", choices=("i686", "x86_64"), required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
