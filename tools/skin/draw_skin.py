#!/usr/bin/python3
"""Draws the installer skin's images and the program icons.

Usage: draw_skin.py OUTDIR [--sheet FILE]

Writes OUTDIR/skin/<entry> for every image of the skin archive (entry names as they appear in the
archive, sub-folders included), OUTDIR/icons/107.ico and OUTDIR/icons/108.ico, and, with --sheet, a
contact sheet of everything for a person to look at.

Every shape is drawn at SS times the target size and reduced with an area filter over premultiplied
pixels, which gives clean anti-aliased edges without halos. The output depends only on this script,
Pillow and the CJK font: no clocks, no randomness, no text chunks in the PNG files.
"""

import io
import math
import os
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

SS = 4  # supersampling factor

PRODUCT_NAME = "QuilloPDF转换器"
FEATURE_LINES = ("PDF 与 Word、Excel、PPT、图片自由互转",
                 "批量处理 · 保留原版式 · 本地转换更安全")

FONT_CANDIDATES = (
    "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc",
    "/usr/share/fonts/wqy-microhei/wqy-microhei.ttc",
)

# Palette (RGB).
BLUE = (30, 107, 255)
BLUE_DARK = (18, 72, 214)
BLUE_LIGHT = (79, 163, 255)
BANNER_TOP_LEFT = (22, 72, 214)
BANNER_BOTTOM_RIGHT = (36, 150, 250)
RED = (240, 70, 60)
GREY_TEXT = (51, 51, 51)

# Archive entry -> (width, height). The state rows the skin slices are drawn inside these sizes.
IMAGE_SIZES = {
    "3.png": (10, 20),
    "4.png": (600, 400),
    "5.png": (600, 400),
    "6.png": (600, 400),
    "7.png": (13, 39),
    "8.png": (219, 192),
    "9.png": (94, 114),
    "10.png": (16, 32),
    "11.png": (24, 24),
    "12.png": (76, 12),
    "13.png": (76, 12),
    "14.png": (36, 36),
    "15.png": (348, 108),
    "shadow.png": (150, 150),
    "public/vscrollbar/thumb_normal.png": (14, 54),
    "public/vscrollbar/thumb_hovered.png": (14, 54),
    "public/vscrollbar/bk_hovered.png": (14, 54),
    "public/vscrollbar/bk_normal.png": (14, 50),
}

ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)


# ---------------------------------------------------------------------------------------------
# Helpers

def font_path():
    for path in FONT_CANDIDATES:
        if os.path.exists(path):
            return path
    sys.exit("draw_skin: the CJK font WenQuanYi Micro Hei is missing (Debian: fonts-wqy-microhei)")


_fonts = {}


def font(px):
    """The CJK font at px pixels of the supersampled canvas."""
    if px not in _fonts:
        _fonts[px] = ImageFont.truetype(font_path(), px)
    return _fonts[px]


def canvas(w, h, fill=(0, 0, 0, 0)):
    return Image.new("RGBA", (w * SS, h * SS), fill)


def reduce(img, w, h):
    """Supersampled RGBA -> target size, filtered over premultiplied colour."""
    return img.convert("RGBa").resize((w, h), Image.BOX).convert("RGBA")


def s(v):
    return v * SS


def box(l, t, r, b):
    return [s(l), s(t), s(r) - 1, s(b) - 1]


def rgba(rgb, a=255):
    return tuple(rgb) + (a,)


def lerp(c0, c1, t):
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c0, c1))


def linear_gradient(size, c0, c1, direction):
    """An RGBA image of size going from c0 to c1; direction is 'h', 'v' or 'd' (diagonal)."""
    w, h = size
    if direction == "h":
        strip = Image.new("RGBA", (w, 1))
        strip.putdata([rgba(lerp(c0, c1, x / max(w - 1, 1))) for x in range(w)])
        return strip.resize((w, h), Image.NEAREST)
    if direction == "v":
        strip = Image.new("RGBA", (1, h))
        strip.putdata([rgba(lerp(c0, c1, y / max(h - 1, 1))) for y in range(h)])
        return strip.resize((w, h), Image.NEAREST)
    # Diagonal: built from a small grid and smoothly enlarged.
    n = 64
    grid = Image.new("RGBA", (n, n))
    grid.putdata([rgba(lerp(c0, c1, (x + y) / (2 * (n - 1)))) for y in range(n) for x in range(n)])
    return grid.resize((w, h), Image.BILINEAR)


def fill_mask(img, mask, paint):
    """Composites paint (an RGBA image of img's size, or a colour) onto img through mask."""
    if not isinstance(paint, Image.Image):
        paint = Image.new("RGBA", img.size, paint)
    layer = paint.copy()
    alpha = ImageChops.multiply(layer.getchannel("A"), mask)
    layer.putalpha(alpha)
    img.alpha_composite(layer)


def rounded_mask(size, rect, radius):
    mask = Image.new("L", size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(rect, radius=radius, fill=255)
    return mask


def shape_mask(size, draw_fn):
    mask = Image.new("L", size, 0)
    draw_fn(ImageDraw.Draw(mask))
    return mask


def soft_shadow(size, mask, rgb, opacity, blur, dx=0, dy=0):
    """A blurred, offset copy of mask painted in rgb."""
    shifted = Image.new("L", size, 0)
    shifted.paste(mask, (dx, dy))
    shifted = shifted.filter(ImageFilter.GaussianBlur(blur))
    shifted = shifted.point(lambda v: int(v * opacity))
    layer = Image.new("RGBA", size, rgba(rgb))
    layer.putalpha(shifted)
    return layer


def stroke_polyline(draw, points, width, fill):
    """A polyline with round joins and caps."""
    draw.line(points, fill=fill, width=width, joint="curve")
    r = width / 2
    for x, y in (points[0], points[-1]):
        draw.ellipse([x - r, y - r, x + r, y + r], fill=fill)


def overlay(img, draw_fn):
    """Runs draw_fn on a transparent layer and composites it, so that translucent strokes blend
    with what is below instead of replacing it."""
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    draw_fn(ImageDraw.Draw(layer))
    img.alpha_composite(layer)


def text(draw, xy, string, px, fill, anchor="la", bold=False):
    draw.text((s(xy[0]), s(xy[1])), string, font=font(s(px)), fill=fill, anchor=anchor,
              stroke_width=(SS // 2 if bold else 0), stroke_fill=fill)


def stack_rows(rows):
    """Stacks equally wide images vertically (the skin's state rows)."""
    w = rows[0].width
    out = Image.new("RGBA", (w, sum(r.height for r in rows)), (0, 0, 0, 0))
    y = 0
    for r in rows:
        out.paste(r, (0, y))
        y += r.height
    return out


# ---------------------------------------------------------------------------------------------
# Product logo (11.png, 14.png, the icons)

def logo(size, badge=False, ring=False):
    """The product mark: a blue tile with a white page, a folded corner and a red PDF band.
    badge adds the installer's green download arrow; ring adds a thin light edge so the tile stands
    out on the blue banner."""
    k = max(SS, 1024 // size) if size < 256 else SS
    n = size * k
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    tile = rounded_mask((n, n), [0, 0, n - 1, n - 1], radius=int(n * 0.22))
    fill_mask(img, tile, linear_gradient((n, n), (54, 132, 255), (20, 70, 210), "d"))
    if ring:
        inner = rounded_mask((n, n), [int(n * 0.06), int(n * 0.06), n - 1 - int(n * 0.06),
                                      n - 1 - int(n * 0.06)], radius=int(n * 0.17))
        edge = ImageChops.subtract(tile, inner)
        fill_mask(img, edge, (255, 255, 255, 150))

    # The page, with its top-right corner folded.
    l, t, r, b = n * 0.26, n * 0.16, n * 0.74, n * 0.84
    fold = n * 0.16
    page = shape_mask((n, n), lambda d: d.polygon(
        [(l, t), (r - fold, t), (r, t + fold), (r, b), (l, b)], fill=255))
    img.alpha_composite(soft_shadow((n, n), page, (8, 30, 110), 0.35, n * 0.02, 0, int(n * 0.015)))
    fill_mask(img, page, (255, 255, 255, 255))
    fill_mask(img, shape_mask((n, n), lambda d: d.polygon(
        [(r - fold, t), (r, t + fold), (r - fold, t + fold)], fill=255)), (176, 206, 255, 255))

    # Text lines on the page (left out at the smallest sizes, where they would only be noise).
    if size >= 24:
        d = ImageDraw.Draw(img)
        lw = max(1, int(n * 0.045))
        for i, frac in enumerate((0.30, 0.40)):
            y = n * frac
            d.rounded_rectangle([l + n * 0.08, y, r - n * (0.22 if i == 0 else 0.10), y + lw],
                                radius=lw // 2, fill=(150, 185, 250, 255))

    # The red PDF band across the lower half of the page.
    band = rounded_mask((n, n), [int(n * 0.16), int(n * 0.52), int(n * 0.64), int(n * 0.70)],
                        radius=int(n * 0.04))
    fill_mask(img, band, (236, 64, 54, 255))
    if size >= 32:
        d = ImageDraw.Draw(img)
        d.text((n * 0.40, n * 0.612), "PDF", font=font(int(n * 0.14)), fill=(255, 255, 255, 255),
               anchor="mm", stroke_width=max(1, n // 160), stroke_fill=(255, 255, 255, 255))
    else:
        overlay(img, lambda d: d.rounded_rectangle([n * 0.24, n * 0.595, n * 0.52, n * 0.625],
                                                   radius=n * 0.015, fill=(255, 255, 255, 230)))

    if badge:
        cx, cy, rad = n * 0.76, n * 0.76, n * 0.22
        disc = shape_mask((n, n), lambda d: d.ellipse([cx - rad, cy - rad, cx + rad, cy + rad],
                                                       fill=255))
        ring_mask = shape_mask((n, n), lambda d: d.ellipse(
            [cx - rad * 1.18, cy - rad * 1.18, cx + rad * 1.18, cy + rad * 1.18], fill=255))
        fill_mask(img, ring_mask, (255, 255, 255, 255))
        fill_mask(img, disc, linear_gradient((n, n), (52, 199, 120), (22, 150, 82), "v"))
        d = ImageDraw.Draw(img)
        w = max(2, int(n * 0.05))
        stroke_polyline(d, [(cx, cy - rad * 0.55), (cx, cy + rad * 0.45)], w, (255, 255, 255, 255))
        stroke_polyline(d, [(cx - rad * 0.45, cy), (cx, cy + rad * 0.48), (cx + rad * 0.45, cy)],
                        w, (255, 255, 255, 255))
    return img.convert("RGBa").resize((size, size), Image.BOX).convert("RGBA")


# ---------------------------------------------------------------------------------------------
# Backgrounds (4.png, 5.png, 6.png)

BANNER_BOTTOM = 252  # the wave ends above the install button (y 288) and the progress bar (y 280)


def banner_base():
    """600x400: white page with the blue banner and its wave on the upper part."""
    w, h = 600, 400
    img = canvas(w, h, (255, 255, 255, 255))
    size = img.size

    def wave(offset, amplitude, phase):
        pts = [(0, 0), (s(w), 0)]
        for i in range(0, w + 1, 5):
            x = w - i
            y = BANNER_BOTTOM - offset + amplitude * math.sin(phase + x / w * math.pi * 1.6)
            pts.append((s(x), s(y)))
        return shape_mask(size, lambda d: d.polygon(pts, fill=255))

    # A pale wave behind the main one gives the edge some depth.
    fill_mask(img, wave(-8, 8, 0.9), rgba((214, 230, 255)))
    main = wave(0, 9, 0.2)
    fill_mask(img, main, linear_gradient(size, BANNER_TOP_LEFT, BANNER_BOTTOM_RIGHT, "d"))

    # Large soft rings on the right, clipped to the banner.
    rings = Image.new("L", size, 0)
    d = ImageDraw.Draw(rings)
    for cx, cy, r, a in ((540, 20, 150, 26), (600, 210, 120, 20), (70, 250, 90, 14)):
        d.ellipse([s(cx - r), s(cy - r), s(cx + r), s(cy + r)], fill=a)
    fill_mask(img, ImageChops.multiply(rings, main), (255, 255, 255, 255))
    return img


def page_card(img, rect, label, label_rgb, tilt_lines=4):
    """A white document card with a coloured format tag, for the banner illustration."""
    size = img.size
    l, t, r, b = rect
    card = rounded_mask(size, box(l, t, r, b), radius=s(8))
    img.alpha_composite(soft_shadow(size, card, (6, 30, 120), 0.45, s(6), 0, s(4)))
    fill_mask(img, card, (255, 255, 255, 255))
    d = ImageDraw.Draw(img)
    for i in range(tilt_lines):
        y = t + 22 + i * 13
        d.rounded_rectangle(box(l + 14, y, r - (14 if i % 2 == 0 else 34), y + 5), radius=s(2),
                            fill=(222, 230, 244, 255))
    tag = rounded_mask(size, box(l - 10, b - 36, l + 52, b - 12), radius=s(5))
    fill_mask(img, tag, rgba(label_rgb))
    text(d, (l + 21, b - 24), label, 13, (255, 255, 255, 255), anchor="mm", bold=True)


def illustration(img):
    """Right side of the banner: a PDF page turning into an editable document."""
    page_card(img, (390, 62, 478, 180), "PDF", RED)
    page_card(img, (470, 92, 558, 210), "DOC", (40, 110, 240))
    overlay(img, curved_arrow)


def curved_arrow(d):
    """Arrow from the PDF card to the document: a quadratic curve above the cards."""
    p0, p1, p2 = (438, 56), (482, 26), (522, 66)
    pts = []
    for i in range(0, 25):
        u = i / 24
        x = (1 - u) ** 2 * p0[0] + 2 * (1 - u) * u * p1[0] + u * u * p2[0]
        y = (1 - u) ** 2 * p0[1] + 2 * (1 - u) * u * p1[1] + u * u * p2[1]
        pts.append((s(x), s(y)))
    stroke_polyline(d, pts[:-3], s(3), (255, 255, 255, 235))
    # Arrow head along the curve's end tangent.
    tx, ty = p2[0] - p1[0], p2[1] - p1[1]
    k = math.hypot(tx, ty)
    tx, ty = tx / k, ty / k
    ex, ey = p2
    d.polygon([(s(ex + tx * 4), s(ey + ty * 4)),
               (s(ex - tx * 8 - ty * 6), s(ey - ty * 8 + tx * 6)),
               (s(ex - tx * 8 + ty * 6), s(ey - ty * 8 - tx * 6))], fill=(255, 255, 255, 235))


def draw_start_background():
    img = banner_base()
    d = ImageDraw.Draw(img)
    text(d, (40, 84), PRODUCT_NAME, 36, (255, 255, 255, 255), bold=True)
    text(d, (42, 146), FEATURE_LINES[0], 16, (232, 241, 255, 255))
    text(d, (42, 176), FEATURE_LINES[1], 16, (232, 241, 255, 255))
    illustration(img)
    return reduce(img, 600, 400)


def draw_finish_background():
    img = banner_base()
    size = img.size
    cx, cy, r = 300, 112, 40
    halo = shape_mask(size, lambda d: d.ellipse(box(cx - r - 12, cy - r - 12, cx + r + 12,
                                                    cy + r + 12), fill=255))
    fill_mask(img, halo, (255, 255, 255, 46))
    disc = shape_mask(size, lambda d: d.ellipse(box(cx - r, cy - r, cx + r, cy + r), fill=255))
    img.alpha_composite(soft_shadow(size, disc, (6, 30, 120), 0.4, s(6), 0, s(4)))
    fill_mask(img, disc, (255, 255, 255, 255))
    d = ImageDraw.Draw(img)
    stroke_polyline(d, [(s(cx - 19), s(cy + 1)), (s(cx - 5), s(cy + 15)), (s(cx + 21), s(cy - 13))],
                    s(8), rgba(BLUE))
    text(d, (300, 196), "安装完成", 30, (255, 255, 255, 255), anchor="mm", bold=True)
    return reduce(img, 600, 400)


# ---------------------------------------------------------------------------------------------
# Buttons and small parts

def close_button():
    """10x20: normal X (grey, readable on the blue banner and on white) above the hot state."""
    rows = []
    for hot in (False, True):
        img = canvas(10, 10)
        d = ImageDraw.Draw(img)
        if hot:
            d.ellipse(box(0, 0, 10, 10), fill=(243, 72, 60, 255))
            colour, a, width = (255, 255, 255, 255), 3.2, 1.3
        else:
            colour, a, width = (160, 170, 184, 255), 1.5, 1.5
        d.line([(s(a), s(a)), (s(10 - a), s(10 - a))], fill=colour, width=int(s(width)))
        d.line([(s(a), s(10 - a)), (s(10 - a), s(a))], fill=colour, width=int(s(width)))
        rows.append(reduce(img, 10, 10))
    return stack_rows(rows)


def arrow_icon():
    """13x39: a small chevron in three 13x13 states: normal, hot, pushed."""
    rows = []
    for rgb in ((122, 130, 142), (1, 103, 254), (0, 80, 200)):
        img = canvas(13, 13)
        d = ImageDraw.Draw(img)
        d.ellipse(box(0.5, 0.5, 12.5, 12.5), outline=rgba(rgb), width=s(1))
        stroke_polyline(d, [(s(5.3), s(3.8)), (s(8.0), s(6.5)), (s(5.3), s(9.2))], int(s(1.4)),
                        rgba(rgb))
        rows.append(reduce(img, 13, 13))
    return stack_rows(rows)


def big_button():
    """219x192: the large rounded button in three 219x64 rows: normal, pushed, hot.
    The body sits in the top 54 pixels (the skin pads the text 10 pixels from the bottom); the
    soft shadow below it fills the rest of the row."""
    states = (
        # (gradient left, gradient right, shadow opacity, shadow drop, body shift)
        ((58, 138, 255), (24, 96, 246), 0.55, 5, 0),    # normal
        ((28, 100, 232), (16, 72, 200), 0.30, 2, 1),    # pushed
        ((84, 156, 255), (44, 118, 255), 0.70, 6, 0),   # hot
    )
    rows = []
    for c0, c1, opacity, drop, shift in states:
        img = canvas(219, 64)
        size = img.size
        body = rounded_mask(size, box(8, 3 + shift, 211, 51 + shift), radius=s(24))
        img.alpha_composite(soft_shadow(size, body, (30, 100, 255), opacity, s(5), 0, s(drop)))
        fill_mask(img, body, linear_gradient(size, c0, c1, "h"))
        # A faint sheen on the upper half of the body.
        sheen = rounded_mask(size, box(9, 4 + shift, 210, 27 + shift), radius=s(22))
        fill_mask(img, ImageChops.multiply(sheen, body), (255, 255, 255, 22))
        rows.append(reduce(img, 219, 64))
    return stack_rows(rows)


def browse_button():
    """94x114: the browse button in three 94x38 rows: normal, pushed, hot. The 5-pixel rounded
    corners fit inside the skin's 5-pixel nine-slice corners."""
    rows = []
    for c0, c1 in (((48, 124, 255), (26, 100, 245)),
                   ((24, 88, 220), (18, 74, 200)),
                   ((82, 152, 255), (52, 126, 255))):
        img = canvas(94, 38)
        body = rounded_mask(img.size, box(0, 0, 94, 38), radius=s(5))
        fill_mask(img, body, linear_gradient(img.size, c0, c1, "v"))
        rows.append(reduce(img, 94, 38))
    return stack_rows(rows)


def option_box():
    """16x32: the agreement box, unselected above selected."""
    off = canvas(16, 16)
    d = ImageDraw.Draw(off)
    d.rounded_rectangle(box(1, 1, 15, 15), radius=s(3), fill=(255, 255, 255, 255),
                        outline=(181, 189, 201, 255), width=s(1))
    on = canvas(16, 16)
    d = ImageDraw.Draw(on)
    d.rounded_rectangle(box(1, 1, 15, 15), radius=s(3), fill=rgba(BLUE))
    stroke_polyline(d, [(s(4.4), s(8.2)), (s(7.0), s(10.8)), (s(11.8), s(5.6))], int(s(1.7)),
                    (255, 255, 255, 255))
    return stack_rows([reduce(off, 16, 16), reduce(on, 16, 16)])


def track():
    """76x12: progress bar track, also the background of the install path box."""
    img = canvas(76, 12)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(box(0, 0, 76, 12), radius=s(6), fill=(238, 241, 246, 255),
                        outline=(214, 220, 230, 255), width=s(1))
    return reduce(img, 76, 12)


def fill_bar():
    """76x12: the filled part of the progress bar."""
    img = canvas(76, 12)
    body = rounded_mask(img.size, box(0, 0, 76, 12), radius=s(6))
    fill_mask(img, body, linear_gradient(img.size, BLUE_LIGHT, BLUE, "h"))
    sheen = rounded_mask(img.size, box(1, 1, 75, 6), radius=s(3))
    fill_mask(img, ImageChops.multiply(sheen, body), (255, 255, 255, 40))
    return reduce(img, 76, 12)


def path_box_strip():
    """348x108: a path box in three 348x36 rows (normal, hover, focus)."""
    rows = []
    for border in ((214, 220, 230), (150, 170, 200), BLUE):
        img = canvas(348, 36)
        d = ImageDraw.Draw(img)
        d.rounded_rectangle(box(0, 0, 348, 36), radius=s(5), fill=(246, 248, 251, 255),
                            outline=rgba(border), width=s(1))
        rows.append(reduce(img, 348, 36))
    return stack_rows(rows)


def window_shadow():
    """150x150: the window's drop shadow for a nine-slice with 25-pixel corners and no centre.
    Alpha depends only on the distance from the inner 100x100 square, so the edge slices are
    constant along the direction in which they are stretched."""
    n, c = 150, 25
    peak = 84
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    px = []
    for y in range(n):
        for x in range(n):
            dx = max(c - (x + 0.5), 0, (x + 0.5) - (n - c))
            dy = max(c - (y + 0.5), 0, (y + 0.5) - (n - c))
            t = min(math.hypot(dx, dy) / c, 1.0)
            a = int(round(peak * (1 - t) ** 1.7)) if t < 1.0 else 0
            px.append((12, 24, 48, a))
    img.putdata(px)
    return img


def scroll_part(w, h, inset, radius, rgb):
    img = canvas(w, h)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(box(inset, 1 if h > 50 else 0, w - inset, h - (1 if h > 50 else 0)),
                        radius=s(radius), fill=rgba(rgb))
    return reduce(img, w, h)


def draw_images():
    """Archive entry name -> image."""
    start = draw_start_background()
    images = {
        "3.png": close_button(),
        "4.png": start,
        "5.png": start.copy(),
        "6.png": draw_finish_background(),
        "7.png": arrow_icon(),
        "8.png": big_button(),
        "9.png": browse_button(),
        "10.png": option_box(),
        "11.png": logo(24, ring=True),
        "12.png": track(),
        "13.png": fill_bar(),
        "14.png": logo(36),
        "15.png": path_box_strip(),
        "shadow.png": window_shadow(),
        "public/vscrollbar/thumb_normal.png": scroll_part(14, 54, 4, 3, (201, 206, 214)),
        "public/vscrollbar/thumb_hovered.png": scroll_part(14, 54, 3, 4, (158, 166, 178)),
        "public/vscrollbar/bk_hovered.png": scroll_part(14, 54, 1, 4, (240, 242, 246)),
        "public/vscrollbar/bk_normal.png": scroll_part(14, 50, 1, 4, (247, 248, 250)),
    }
    for name, img in images.items():
        if img.size != IMAGE_SIZES[name]:
            sys.exit("draw_skin: %s came out %dx%d" % ((name,) + img.size))
    return images


# ---------------------------------------------------------------------------------------------
# Output

def png_bytes(img):
    out = io.BytesIO()
    img.save(out, "PNG", optimize=False, compress_level=9)
    return out.getvalue()


def ico_bytes(images):
    """A multi-size .ico: 32-bit DIB entries with an AND mask below 256 pixels (every Windows
    version and Wine read those), a PNG entry at 256."""
    entries = []
    for img in images:
        w, h = img.size
        if w >= 256:
            data = png_bytes(img)
        else:
            header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
            pixels = bytearray()
            mask = bytearray()
            row_bytes = ((w + 31) // 32) * 4
            rgba_rows = list(img.getdata())
            for y in range(h - 1, -1, -1):
                bits = bytearray(row_bytes)
                for x in range(w):
                    r, g, b, a = rgba_rows[y * w + x]
                    pixels += bytes((b, g, r, a))
                    if a == 0:
                        bits[x // 8] |= 0x80 >> (x % 8)
                mask += bits
            data = header + bytes(pixels) + bytes(mask)
        entries.append((w, h, data))
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for w, h, data in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, _, data in entries:
        out += data
    return bytes(out)


def checker(w, h, cell=8):
    img = Image.new("RGBA", (w, h), (255, 255, 255, 255))
    d = ImageDraw.Draw(img)
    for y in range(0, h, cell):
        for x in range(0, w, cell):
            if (x // cell + y // cell) % 2:
                d.rectangle([x, y, x + cell - 1, y + cell - 1], fill=(222, 222, 222, 255))
    return img


def contact_sheet(images, icons):
    """Every image on a checkerboard, small ones enlarged 4x, with their names and sizes."""
    label_font = ImageFont.truetype(font_path(), 13)
    tiles = []
    for name, img in images.items():
        zoom = 4 if max(img.size) <= 100 else (2 if max(img.size) <= 220 else 1)
        tiles.append(("%s %dx%d" % (name, img.width, img.height),
                      img.resize((img.width * zoom, img.height * zoom), Image.NEAREST)))
    for gid, group in icons.items():
        strip = Image.new("RGBA", (sum(i.width for i in group) + 8 * len(group), 256), (0, 0, 0, 0))
        x = 0
        for i in group:
            strip.paste(i, (x, 256 - i.height))
            x += i.width + 8
        tiles.append(("icon %d: %s" % (gid, ", ".join(str(i.width) for i in group)), strip))
    width = 1300
    d_probe = ImageDraw.Draw(Image.new("L", (1, 1)))
    x, y, row_h = 10, 10, 0
    placed = []
    for label, img in tiles:
        tw, th = max(img.width, int(d_probe.textlength(label, font=label_font))), img.height + 20
        if x + tw > width - 10:
            x, y, row_h = 10, y + row_h + 14, 0
        placed.append((x, y, label, img))
        x += tw + 16
        row_h = max(row_h, th)
    sheet = Image.new("RGBA", (width, y + row_h + 10), (250, 250, 250, 255))
    d = ImageDraw.Draw(sheet)
    for x, y, label, img in placed:
        d.text((x, y), label, font=label_font, fill=(40, 40, 40, 255))
        bg = checker(img.width, img.height)
        bg.alpha_composite(img)
        sheet.paste(bg, (x, y + 18))
    return sheet


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) not in (2, 4) or (len(argv) == 4 and argv[2] != "--sheet"):
        sys.exit(__doc__)
    out = argv[1]
    images = draw_images()
    for name, img in images.items():
        write(os.path.join(out, "skin", *name.split("/")), png_bytes(img))
    icons = {
        107: [logo(n, badge=True) for n in ICON_SIZES],
        108: [logo(n) for n in ICON_SIZES],
    }
    for gid, group in icons.items():
        write(os.path.join(out, "icons", "%d.ico" % gid), ico_bytes(group))
    if len(argv) == 4:
        write(argv[3], png_bytes(contact_sheet(images, icons)))


if __name__ == "__main__":
    main(sys.argv)
