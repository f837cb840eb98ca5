#!/usr/bin/python3
"""Builds the fixtures of the UI library tests.

Usage: make_skin_fixtures.py <output folder>

Writes, from the element model below (a copy of the installer's skin document):
  installer_skin.xml  the document as UTF-8 with CR LF line ends, values escaped as the skin does;
  installer_skin.txt  the expected parse: one line per element in document order,
                      "E<TAB>depth<TAB>name" followed by "A<TAB>name<TAB>value" per attribute
                      (decoded, in document order, duplicates included);
  skin.zip            the document as "1.xml" and "skin/1.xml", an empty "empty.xml", a document of
                      exactly 4194304 bytes ("exact.xml"), one a byte larger ("big.xml") and the
                      document compressed with bzip2, which the reader cannot unpack ("bzip2.xml").
"""
import os
import sys
import zipfile

LIMIT = 4194304


def E(name, attrs=(), children=()):
    return {"name": name, "attrs": list(attrs), "children": list(children)}


def C(text):
    return {"comment": text}


def exitbtn(image):
    return E("HorizontalLayout", [("width", "20"), ("height", "10")], [
        E("Button", [("name", "exitbtn"), ("width", "10"), ("height", "10"), ("valign", "center"),
                     ("normalimage", "file='%s' source='0,0,10,10'" % image),
                     ("hotimage", "file='%s' source='0,10,10,20'" % image)])])


def big_button(name, text, font, padding=None):
    attrs = [("name", name), ("text", text), ("font", font)]
    if padding:
        attrs.append(("padding", padding))
    attrs += [("width", "219"), ("height", "64"), ("textpadding", "0,0,0,10"), ("textcolor", "0xffffffff"),
              ("normalimage", "file='8.png' source='0,0,219,64'"),
              ("hotimage", "file='8.png' source='0,128,219,192'"),
              ("pushedimage", "file='8.png' source='0,64,219,128'")]
    return E("Button", attrs)


def title_row(label_name):
    return E("HorizontalLayout", [("height", "35"), ("padding", "15,10")], [
        E("HorizontalLayout", [], [
            E("Label", [("bkimage", "11.png"), ("width", "24"), ("height", "24")]),
            E("Label", [("name", label_name), ("font", "7"), ("height", "24"), ("align", "left"),
                        ("textcolor", "0xffffffff"), ("textpadding", "10,0,0")])]),
        exitbtn("3.png")])


def back_row(exit_image):
    return E("HorizontalLayout", [("height", "25"), ("padding", "15,5,0,0")], [
        E("Button", [("name", "opt_back"), ("width", "40"), ("text", "<返回"), ("font", "7"),
                     ("textcolor", "0xff333333"), ("hottextcolor", "0xff0167fe"), ("pushedtextcolor", "0xff0167fe")]),
        E("Label"),
        exitbtn(exit_image)])


FONT_SIZES = [11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15, 16, 17, 18, 19, 29, 23, 20, 24, 28, 22]
FONT_STYLES = {1: "default", 2: "bold", 3: "underline", 5: "bold", 6: "underline", 8: "bold", 9: "underline",
               11: "bold", 12: "underline"}

SCROLLBAR_DEFAULT = (
    'width="14" range="14" showbutton1="false" showbutton2="false" '
    "thumbnormalimage=\"file='public/vscrollbar/thumb_normal.png' corner='0,8,0,8'\" "
    "thumbhotimage=\"file='public/vscrollbar/thumb_hovered.png' corner='0,8,0,8'\" "
    "thumbpushedimage=\"file='public/vscrollbar/thumb_hovered.png' corner='0,8,0,8'\" "
    'railnormalimage="" railhotimage="" railpushedimage="" raildisabledimage="" bknormalimage="" '
    "bkhotimage=\"file='public/vscrollbar/bk_hovered.png' corner='0,4,0,4'\" "
    "bkpushedimage=\"file='public/vscrollbar/bk_hovered.png' corner='0,4,0,4'\" bkdisabledimage=\"\"")


def skin():
    fonts = []
    for i, size in enumerate(FONT_SIZES):
        attrs = [("id", str(i)), ("name", "微软雅黑"), ("size", str(size))]
        style = FONT_STYLES.get(i)
        if style:
            attrs.append((style, "true"))
        if i != 22:
            attrs.append(("shared", "true"))
        fonts.append(E("Font", attrs))
    page0 = E("VerticalLayout", [("name", "page1"), ("bkimage", "4.png"), ("visible", "true")], [
        title_row("setup_name_pg1"),
        E("VerticalLayout"),
        E("HorizontalLayout", [], [E("HorizontalLayout"), big_button("installPage", "立即安装", "22", "0,82"),
                                   E("HorizontalLayout")]),
        E("HorizontalLayout", [("height", "28"), ("padding", "17,5,20,0")], [
            E("Option", [("name", "progresss_ag"), ("height", "16"), ("selected", "true"), ("align", "left"),
                         ("autocalcwidth", "true"),
                         ("normalimage", "file='10.png' source='0,0,16,16' dest='0,0,16,16'"),
                         ("selectedimage", "file='10.png' source='0,16,16,32' dest='0,0,16,16'"),
                         ("font", "1"), ("text", "我已阅读并同意"), ("textcolor", "0xff333333"),
                         ("textpadding", "18,0,0,0"), ("selected", "true")]),
            E("Button", [("name", "btn_user"), ("height", "16"), ("text", "《用户使用许可协议》"), ("font", "1"),
                         ("autocalcwidth", "true"), ("textcolor", "0xFF3083FE"), ("hottextcolor", "0xff0167fe"),
                         ("pushedtextcolor", "0xff0167fe"), ("align", "left")]),
            E("Label"),
            E("Button", [("name", "opt_custom"), ("width", "70"), ("height", "16"), ("text", "自定义"),
                         ("textcolor", "0xff333333"), ("font", "1"), ("hottextcolor", "0xff0167fe"),
                         ("pushedtextcolor", "0xff0167fe"),
                         ("normalimage", "file='7.png' source='0,0,13,13' dest='57,2,70,15'"),
                         ("hotimage", "file='7.png' source='0,13,13,26' dest='57,2,70,15'"),
                         ("pushedimage", "file='7.png' source='0,26,13,39' dest='57,2,70,15'"),
                         ("padding", "0,3")])])])
    page1 = E("VerticalLayout", [("bkcolor", "0xffffffff"), ("visible", "false")], [
        back_row("2.png"),
        E("VerticalLayout", [("padding", "50,25,50,50")], [
            E("Label", [("height", "30"), ("text", "自定义安装"), ("textcolor", "0xff333333"), ("font", "18")]),
            E("VerticalLayout", [("height", "150"), ("padding", "0,25")], [
                E("Label", [("height", "20"), ("text", "安装路径："), ("textcolor", "0xff333333"), ("font", "7")]),
                E("HorizontalLayout", [("height", "38"), ("padding", "0,15")], [
                    E("Label", [("name", "savepath"), ("width", "400"), ("font", "7"), ("textpadding", "10,8,10,5"),
                                ("textcolor", "0xff333333"),
                                ("bkimage", "file='12.png' source='0,0,348,36' corner='5,5,5,5'"),
                                ("endellipsis", "true"), ("singleline", "true")]),
                    E("Button", [("name", "btn_selpath"), ("width", "90"), ("text", "浏览"), ("textcolor", "0xffffffff"),
                                 ("font", "7"), ("padding", "10"),
                                 ("normalimage", "file='9.png' source='0,0,94,38' corner='5,5,5,5'"),
                                 ("hotimage", "file='9.png' source='0,76,94,114' corner='5,5,5,5'"),
                                 ("pushedimage", "file='9.png' source='0,38,94,76' corner='5,5,5,5'")])]),
                E("Label", [("name", "savepath_msg"), ("height", "20"), ("padding", "0,15"),
                            ("text", "所需空间：136.12MB 可用空间：100.00G"), ("font", "1"), ("textcolor", "0xff333333")])]),
            E("HorizontalLayout", [], [E("Label"), big_button("installPage", "立即安装", "19", "0,26"), E("Label")])])])
    page2 = E("VerticalLayout", [("bkimage", "5.png"), ("visible", "false")], [
        E("VerticalLayout", [("height", "140"), ("padding", "55,280,55,0")], [
            E("Progress", [("name", "progress"), ("height", "10"), ("mouse", "false"), ("min", "0"), ("max", "100"),
                           ("value", "0"), ("bkimage", "file='12.png' corner='6,2,6,2'"),
                           ("foreimage", "file='13.png' corner='6,2,6,2'"), ("hor", "true")]),
            E("Label", [("name", "progress_msg"), ("padding", "0,10"), ("height", "20"),
                        ("text", "正在安装，请不要关闭：1%"), ("font", "7"), ("align", "center"),
                        ("textcolor", "0xff333333")]),
            E("Label")])])
    page3 = E("VerticalLayout", [("bkimage", "6.png"), ("visible", "false")], [
        title_row("setup_name_pg4"),
        E("HorizontalLayout", [("height", "64"), ("padding", "0,245"), ("bordersize", "1")], [
            E("HorizontalLayout"), big_button("openmain", "安装完成", "19"), E("HorizontalLayout")])])
    page4 = E("VerticalLayout", [("bkcolor", "0xffffffff"), ("visible", "false")], [
        back_row("3.png"),
        E("HorizontalLayout", [("padding", "45,15,45,0")], [
            E("RichEdit", [("name", "edt_shouquan"), ("multiline", "true"), ("wantreturnmsg", "true"),
                           ("vscrollbar", "true"), ("readonly", "true"), ("text", ""), ("rich", "true"),
                           ("font", "7"), ("textcolor", "0xff333333")])]),
        E("Label", [("height", "1"), ("bkcolor", "bk_main_wnd_Color")]),
        E("HorizontalLayout", [("height", "140")], [E("Label"), big_button("installPage", "立即安装", "19", "0,42"),
                                                    E("Label")])])
    window = E("Window", [("size", "600,400"), ("caption", "0,0,0,400"), ("showshadow", "true"),
                          ("shadowimage", "shadow.png"), ("shadowcorner", "25,25,25,25"), ("shadowsize", "25")],
               fonts + [E("Default", [("name", "VScrollBar"), ("shared", "true"), ("value", SCROLLBAR_DEFAULT)]),
                        E("VerticalLayout", [("name", "maintab")], [
                            C(" page 0: start "), page0, C(" page 1: custom install "), page1,
                            C(" page 2: progress "), page2, C(" page 3: finish "), page3,
                            C(" page 4: licence "), page4])])
    return window


def escape(value):
    return value.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")


def write_xml(node, depth, out):
    pad = "  " * depth
    if "comment" in node:
        out.append("%s<!--%s-->" % (pad, node["comment"]))
        return
    attrs = "".join(' %s="%s"' % (n, escape(v)) for n, v in node["attrs"])
    if not node["children"]:
        out.append("%s<%s%s />" % (pad, node["name"], attrs))
        return
    out.append("%s<%s%s>" % (pad, node["name"], attrs))
    for child in node["children"]:
        write_xml(child, depth + 1, out)
    out.append("%s</%s>" % (pad, node["name"]))


def write_manifest(node, depth, out):
    if "comment" in node:
        return
    out.append("E\t%d\t%s" % (depth, node["name"]))
    for n, v in node["attrs"]:
        out.append("A\t%s\t%s" % (n, v))
    for child in node["children"]:
        write_manifest(child, depth + 1, out)


def padded_document(size):
    head, tail = b"<a>", b"</a>"
    return head + b" " * (size - len(head) - len(tail)) + tail


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    root = skin()
    lines = ['<?xml version="1.0" encoding="UTF-8"?>']
    write_xml(root, 0, lines)
    document = ("\r\n".join(lines) + "\r\n").encode("utf-8")
    manifest = []
    write_manifest(root, 0, manifest)
    with open(os.path.join(folder, "installer_skin.xml"), "wb") as f:
        f.write(document)
    with open(os.path.join(folder, "installer_skin.txt"), "wb") as f:
        f.write(("\n".join(manifest) + "\n").encode("utf-8"))
    with zipfile.ZipFile(os.path.join(folder, "skin.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("1.xml", document)
        z.writestr("skin/1.xml", document)
        z.writestr("empty.xml", b"")
        z.writestr("exact.xml", padded_document(LIMIT))
        z.writestr("big.xml", padded_document(LIMIT + 1))
        # A method the reader does not support, so unpacking it fails.
        z.writestr(zipfile.ZipInfo("bzip2.xml"), document, compress_type=zipfile.ZIP_BZIP2)


if __name__ == "__main__":
    main()
