#!/usr/bin/env python3
"""Draws the four pictures of the main form and writes them as XPM data into
form/formpictures.cpp.

    python3 tools/make_form_pictures.py [--preview DIR]

Every picture is drawn in floating point, supersampled for smooth edges, and
then brought to its exact colour count by folding the rarest colour into its
nearest neighbour until the count fits. --preview also writes enlarged PNGs.
"""

import argparse
import colorsys
import math
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUTPUT = os.path.join(ROOT, "form", "formpictures.cpp")

# XPM pixel characters: no quote, backslash or '?' (trigraphs), no space.
CHARS = (".+@#$%&*=-;>,')!~{]^/(_:<[}|"
         "1234567890abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ")


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3 - 2 * t)


def render(width, height, shade, samples):
    """Averages shade(x, y) over samples x samples points of each pixel."""
    pixels = []
    step = 1.0 / samples
    for py in range(height):
        for px in range(width):
            acc = [0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    c = shade(px + (sx + 0.5) * step, py + (sy + 0.5) * step)
                    acc[0] += c[0]
                    acc[1] += c[1]
                    acc[2] += c[2]
            n = samples * samples
            pixels.append(tuple(int(round(clamp(v / n, 0, 255))) for v in acc))
    return pixels


def reduce_colours(pixels, wanted):
    """Folds the rarest colour into its nearest remaining one until exactly
    `wanted` colours are left; rare colours are edge blends, so the folding
    only touches the outlines."""
    counts = {}
    for p in pixels:
        counts[p] = counts.get(p, 0) + 1
    if len(counts) < wanted:
        sys.exit("only %d colours drawn, %d wanted" % (len(counts), wanted))
    remap = {}
    while len(counts) > wanted:
        rare = min(counts, key=lambda c: (counts[c], c))
        n = counts.pop(rare)
        near = min(counts, key=lambda c: ((c[0] - rare[0]) ** 2 + (c[1] - rare[1]) ** 2
                                          + (c[2] - rare[2]) ** 2, c))
        counts[near] += n
        remap[rare] = near
        for k, v in remap.items():
            if v == rare:
                remap[k] = near

    return [remap.get(p, p) for p in pixels]


def xpm_lines(width, height, pixels, cpp):
    palette = sorted(set(pixels), key=lambda c: (-sum(c), c))
    codes = {}
    for i, colour in enumerate(palette):
        code = ""
        k = i
        for _ in range(cpp):
            code += CHARS[k % len(CHARS)]
            k //= len(CHARS)
        if k:
            sys.exit("too many colours for %d characters per pixel" % cpp)
        codes[colour] = code
    lines = ["%d %d %d %d" % (width, height, len(palette), cpp)]
    for colour in palette:
        lines.append("%s c #%02X%02X%02X" % ((codes[colour],) + colour))
    for y in range(height):
        lines.append("".join(codes[pixels[y * width + x]] for x in range(width)))
    return lines


# --- window icon: a page of coloured grid cells ------------------------------

def window_icon():
    w = h = 32
    backdrop = (212, 208, 200)
    shadow = (150, 146, 140)
    shadow_soft = (180, 176, 170)
    border = (64, 64, 64)
    paper = (255, 255, 255)
    fold = (200, 200, 200)
    grid = (128, 128, 128)
    left, right, top, bottom = 3, 27, 1, 29
    dog = 5

    def cell_colour(row, col, lit):
        hue = (row * 4 + col) / 16.0
        sat, val = (0.30, 1.0) if lit else (0.70, 0.92)
        return tuple(255 * v for v in colorsys.hsv_to_rgb(hue, sat, val))

    def shade(fx, fy):
        x, y = int(fx), int(fy)
        inside = left <= x <= right and top <= y <= bottom
        corner = x - (right - dog) > y - top  # above the fold diagonal
        if not inside or corner:
            if (x == right + 1 and top + 1 <= y <= bottom + 1) or \
               (y == bottom + 1 and left + 1 <= x <= right + 1):
                return shadow_soft if (x, y) == (right + 1, bottom + 1) else shadow
            if corner and inside and x - (right - dog) == y - top + 1:
                return border
            return backdrop
        if x in (left, right) or y in (top, bottom):
            return border
        if x > right - dog and y < top + dog:
            return border if x - (right - dog) == y - top else fold
        if x == right - dog and y <= top + dog:
            return border
        if y == top + dog and x >= right - dog:
            return border
        # title bar
        if 3 <= y <= 4 and 5 <= x <= right - dog - 2:
            t = (x - 5) / float(right - dog - 2 - 5)
            c = mix((10, 36, 106), (166, 202, 240), t)
            return c if y == 3 else mix(c, (0, 0, 40), 0.25)
        # grid of 4 x 4 cells of 4 x 4 pixels
        gx, gy = x - 5, y - 7
        if 0 <= gx <= 20 and 0 <= gy <= 20:
            if gx % 5 == 0 or gy % 5 == 0:
                return grid
            row, col = gy // 5, gx // 5
            return cell_colour(row, col, gx % 5 == 1 or gy % 5 == 1)
        return paper

    return 32, 32, 59, 1, render(w, h, shade, 1)


# --- row organisation pictures ------------------------------------------------

def arrow_cover(x, y, x0, x1, yc, half_shaft=1.5, half_head=5.5, head=7.0):
    """1 inside a right-pointing arrow from x0 to x1 centred on yc."""
    if x < x0 or x > x1:
        return 0
    neck = x1 - head
    dy = abs(y - yc)
    if x <= neck:
        return 1 if dy <= half_shaft else 0
    return 1 if dy <= half_head * (x1 - x) / head else 0


def arrow_fill(y, yc, light, dark):
    t = clamp((y - (yc - 5.5)) / 11.0)
    return mix(light, dark, t)


def row_background(x, y, w, h):
    if x < 1 or y < 1 or x > w - 1 or y > h - 1:
        return (120, 120, 128)
    t = y / float(h)
    return mix((252, 252, 248), (222, 226, 234), t)


BLUE = ((120, 170, 245), (16, 52, 140))
ORANGE = ((255, 190, 110), (190, 70, 10))


def row63():
    w, h = 50, 35
    arrows = [(3, 22, 10.5, BLUE), (3, 22, 24.5, BLUE), (28, 47, 17.5, ORANGE)]

    def shade(x, y):
        c = row_background(x, y, w, h)
        if 3 <= y <= 32:
            if 24 <= x < 25:
                c = (110, 110, 118)
            elif 25 <= x < 26:
                c = (255, 255, 255)
        for x0, x1, yc, (light, dark) in arrows:
            if arrow_cover(x, y, x0, x1, yc):
                c = arrow_fill(y, yc, light, dark)
        return c

    return w, h, 100, 2, render(w, h, shade, 4)


def row127():
    w, h = 50, 35
    arrows = [(3, 47, 10.5), (3, 47, 24.5)]

    def shade(x, y):
        c = row_background(x, y, w, h)
        for x0, x1, yc in arrows:
            if arrow_cover(x, y, x0, x1, yc):
                c = arrow_fill(y, yc, *BLUE)
        return c

    return w, h, 65, 2, render(w, h, shade, 4)


# --- preview placeholder: a dark ring on a light background ------------------

def placeholder():
    w = h = 100
    cx, cy = 50.0, 50.0
    r_in, r_out = 22.0, 38.0
    light_dir = math.atan2(-1.0, -1.0)  # from the top left

    def shade(x, y):
        d = math.hypot(x - 50.0, y - 44.0)
        c = mix((250, 250, 252), (206, 210, 218), smoothstep(10.0, 72.0, d))
        # soft shadow below and right of the ring
        sr = math.hypot(x - cx - 2.5, y - cy - 3.5)
        band = max(r_in - sr, sr - r_out, 0.0)
        c = mix(c, (120, 124, 134), 0.45 * (1.0 - smoothstep(0.0, 4.0, band)))
        r = math.hypot(x - cx, y - cy)
        if r_in <= r <= r_out:
            t = (r - r_in) / (r_out - r_in)
            bulge = math.sin(math.pi * t)
            facing = math.cos(math.atan2(y - cy, x - cx) - light_dir)
            lit = clamp(0.25 + 0.35 * bulge + 0.30 * facing * bulge)
            c = mix((18, 20, 28), (104, 112, 134), lit)
        return c

    return w, h, 271, 2, render(w, h, shade, 4)


# --- output -------------------------------------------------------------------

PICTURES = [
    ("windowIconXpm", "window icon", window_icon),
    ("row63Xpm", "Row63 picture", row63),
    ("row127Xpm", "Row127 picture", row127),
    ("placeholderXpm", "preview placeholder", placeholder),
]

CPP_HEAD = """// Generated by tools/make_form_pictures.py; edit the script, not this file.

#include "form/formpictures.h"

#include <QPixmap>
"""

CPP_TAIL = """
const char *const *FormPictures::xpm(Picture picture)
{
    switch (picture) {
    case Picture::WindowIcon:
        return windowIconXpm;
    case Picture::Row63:
        return row63Xpm;
    case Picture::Row127:
        return row127Xpm;
    case Picture::Placeholder:
        break;
    }
    return placeholderXpm;
}

QPixmap FormPictures::pixmap(Picture picture)
{
    return QPixmap(xpm(picture));
}

QPixmap FormPictures::windowIcon()
{
    return pixmap(Picture::WindowIcon);
}

QPixmap FormPictures::row63()
{
    return pixmap(Picture::Row63);
}

QPixmap FormPictures::row127()
{
    return pixmap(Picture::Row127);
}

QPixmap FormPictures::placeholder()
{
    return pixmap(Picture::Placeholder);
}
"""


def write_png(path, width, height, pixels, scale):
    rows = b""
    for y in range(height * scale):
        row = bytearray([0])
        for x in range(width * scale):
            row.extend(pixels[(y // scale) * width + x // scale])
        rows += bytes(row)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width * scale, height * scale, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", metavar="DIR", help="also write enlarged PNGs here")
    parser.add_argument("--output", default=OUTPUT, help="C++ file to write")
    args = parser.parse_args()

    out = [CPP_HEAD]
    for name, title, draw in PICTURES:
        width, height, colours, cpp, pixels = draw()
        pixels = reduce_colours(pixels, colours)
        lines = xpm_lines(width, height, pixels, cpp)
        out.append("\n// %s\n" % title)
        out.append("static const char *const %s[] = {\n" % name)
        out.append(",\n".join('    "%s"' % line for line in lines))
        out.append("\n};\n")
        if args.preview:
            os.makedirs(args.preview, exist_ok=True)
            write_png(os.path.join(args.preview, name + ".png"), width, height, pixels,
                      max(1, 400 // width))
    out.append(CPP_TAIL)
    with open(args.output, "w", encoding="ascii") as f:
        f.write("".join(out))


if __name__ == "__main__":
    main()
