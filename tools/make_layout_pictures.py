#!/usr/bin/python3
"""Draws the README's pictures of the display memory layouts into docs/layouts/:
for a small example display of each layout, which byte and which bit hold
every pixel.

    /usr/bin/python3 tools/make_layout_pictures.py

Needs Debian's python3-pil and fonts-dejavu-core. The byte and bit of each
pixel are worked out here from the layout's definition, independently of the
program's code, so a picture can also serve to check the program's output.
"""

import os

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUTPUT = os.path.join(ROOT, "docs", "layouts")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

CELL = 30
MARGIN = 16
AXIS = 26
BLOCK_COLOURS = [(214, 232, 250), (250, 226, 204)]
PAD_COLOUR = (225, 225, 225)
INK = (20, 20, 20)
GRID = (150, 150, 150)


def font(size, bold=False):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


def locate(layout, x, y):
    """(byte offset, bit number) of pixel (x, y), or of a padding bit."""
    w, h, orientation, lsb, controllers = layout
    if orientation == "vertical":
        pages = (h + 7) // 8
        block = w // controllers
        offset = (x // block) * pages * block + (y // 8) * block + x % block
        index = y % 8
    else:
        per_row = (w + 7) // 8
        offset = y * per_row + x // 8
        index = x % 8
    return offset, index if lsb else 7 - index


def draw(name, layout, title, lines):
    w, h, orientation, lsb, controllers = layout
    vertical = orientation == "vertical"
    # The drawn grid includes the padding bits, shown grey.
    cols = w if vertical else (w + 7) // 8 * 8
    rows = (h + 7) // 8 * 8 if vertical else h
    title_font, text_font, small = font(15, True), font(13), font(10)
    text_height = 24 + 18 * len(lines)
    measure = ImageDraw.Draw(Image.new("RGB", (1, 1)))
    text_width = max([measure.textlength(title, font=title_font)]
                     + [measure.textlength(line, font=text_font) for line in lines])
    width = MARGIN * 2 + max(AXIS + cols * CELL, int(text_width) + 1)
    height = MARGIN * 2 + text_height + AXIS + rows * CELL
    picture = Image.new("RGB", (width, height), "white")
    pen = ImageDraw.Draw(picture)

    pen.text((MARGIN, MARGIN), title, font=title_font, fill=INK)
    for i, line in enumerate(lines):
        pen.text((MARGIN, MARGIN + 24 + 18 * i), line, font=text_font, fill=INK)

    left = MARGIN + AXIS
    top = MARGIN + text_height + AXIS
    for x in range(cols):
        label = str(x) if x < w else ""
        pen.text((left + x * CELL + CELL // 2, top - 6), label, font=small, fill=INK, anchor="mb")
    for y in range(rows):
        label = str(y) if y < h else ""
        pen.text((left - 6, top + y * CELL + CELL // 2), label, font=small, fill=INK, anchor="rm")

    for y in range(rows):
        for x in range(cols):
            box = (left + x * CELL, top + y * CELL, left + (x + 1) * CELL, top + (y + 1) * CELL)
            padding = x >= w or y >= h
            offset, bit = locate(layout, x, y)
            block = (x // (w // controllers)) if vertical else 0
            colour = PAD_COLOUR if padding else BLOCK_COLOURS[block % 2]
            pen.rectangle(box, fill=colour, outline=GRID)
            centre = (box[0] + CELL // 2, box[1] + CELL // 2)
            pen.text((centre[0], centre[1] - 6), str(offset), font=small, fill=INK, anchor="mm")
            pen.text((centre[0], centre[1] + 7), "b%d" % bit, font=small,
                     fill=(120, 120, 120) if padding else (170, 30, 30), anchor="mm")

    # Byte outlines: one column of 8 pixels, or one run of 8 in a row.
    for y in range(rows):
        for x in range(cols):
            first = (y % 8 == 0) if vertical else (x % 8 == 0)
            if not first:
                continue
            x1, y1 = left + x * CELL, top + y * CELL
            x2 = x1 + (CELL if vertical else 8 * CELL)
            y2 = y1 + (8 * CELL if vertical else CELL)
            pen.rectangle((x1, y1, x2, y2), outline=INK, width=2)
    os.makedirs(OUTPUT, exist_ok=True)
    picture.save(os.path.join(OUTPUT, name + ".png"), optimize=True)


def main():
    draw("vertical-lsb", (10, 12, "vertical", True, 1),
         "vertical, bit 0 top: ssd1306, sh1106, st7565, pcd8544, --row127",
         ["Each byte is a column of 8 pixels (a page); pages follow each other.",
          "byte = W * (y / 8) + x, bit = y % 8. Here W = 10, H = 12: the last page",
          "is padded with off bits (grey). In each cell: byte offset, bit number.",
          "Column numbers x across the top, row numbers y down the left."])
    draw("vertical-msb", (10, 12, "vertical", False, 1),
         "vertical, bit 7 top: --layout vertical --bit-order msb",
         ["As above, but the top pixel of a page is bit 7.",
          "byte = W * (y / 8) + x, bit = 7 - y % 8."])
    draw("vertical-controllers", (8, 12, "vertical", True, 2),
         "vertical, 2 controllers: ks0108 (row63), sed1520",
         ["The columns split into N equal blocks (blue, orange); all pages of a",
          "block come before the next block. Here W = 8, N = 2, blocks of B = 4:",
          "byte = pages * B * (x / B) + B * (y / 8) + x % B, bit = y % 8."])
    draw("horizontal-msb", (12, 4, "horizontal", False, 1),
         "horizontal, bit 7 leftmost: gfx (Adafruit GFX, u8g2 drawBitmap)",
         ["Each byte is a run of 8 pixels in a row; each row is padded to whole",
          "bytes (grey). byte = ceil(W / 8) * y + x / 8, bit = 7 - x % 8."])
    draw("horizontal-lsb", (12, 4, "horizontal", True, 1),
         "horizontal, bit 0 leftmost: xbm (XBM files, u8g2 drawXBM)",
         ["As gfx, but the leftmost pixel of a byte is bit 0.",
          "byte = ceil(W / 8) * y + x / 8, bit = x % 8."])


if __name__ == "__main__":
    main()
