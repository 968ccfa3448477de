#!/usr/bin/env python3
"""Writes the small hand-made seed inputs of fuzz/corpus/ (standard library only).

Run again after changing an input layout of a fuzz target; the files are
committed, so the fuzz run itself never needs this script.

    make_seeds.py --generated DIR   writes the hostile files too large to keep
                                    (bombs of a megabyte) into DIR instead."""
import gzip
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data, kind="corpus"):
    path = os.path.join(HERE, kind, target, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def filtered(rows, bpp):
    """Each row filtered by the next of the five filter types in turn."""
    out, previous = b"", bytes(len(rows[0]))
    for y, row in enumerate(rows):
        kind = y % 5
        line = bytearray([kind])
        for i, value in enumerate(row):
            a = row[i - bpp] if i >= bpp else 0
            b = previous[i]
            c = previous[i - bpp] if i >= bpp else 0
            line.append((value - (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]) % 256)
        out += bytes(line)
        previous = row
    return out


def chunk(kind, body, declared=None):
    return (struct.pack(">I", len(body) if declared is None else declared) + kind + body
            + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))


def png(width, height, colour_type, depth, rows, palette=None, transparency=None, bpp=0,
        image_data=None, extra=b""):
    raw = filtered(rows, bpp) if bpp else b"".join(b"\0" + row for row in rows)
    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0))
    out += extra
    if palette:
        out += chunk(b"PLTE", palette)
    if transparency:
        out += chunk(b"tRNS", transparency)
    data = zlib.compress(raw, 9) if image_data is None else image_data
    out += chunk(b"IDAT", data) + chunk(b"IEND", b"")
    return out


def generated(folder):
    """In refused/, bombs: a megabyte that would take a gigabyte. In drawn/,
    drawings with text and naming other files, a FIFO among them."""
    drawn = os.path.join(folder, "drawn")
    os.makedirs(drawn, exist_ok=True)
    fifo = os.path.join(drawn, "fifo")
    if not os.path.exists(fifo):
        os.mkfifo(fifo)
    with open(os.path.join(drawn, "text.svg"), "w") as f:
        f.write('<svg xmlns="http://www.w3.org/2000/svg" width="128" height="64">'
                '<text x="4" y="40" font-size="30">Hi</text></svg>')
    with open(os.path.join(drawn, "other-files.svg"), "w") as f:
        f.write('<?xml-stylesheet type="text/css" href="%s"?>'
                '<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink"'
                ' width="128" height="64"><image width="128" height="64" xlink:href="%s"/>'
                '<use href="%s#a"/></svg>' % (fifo, fifo, fifo))
    folder = os.path.join(folder, "refused")
    os.makedirs(folder, exist_ok=True)
    megabyte = bytes(1 << 20)
    squeeze = zlib.compressobj(9)
    bomb = b"".join(squeeze.compress(megabyte) for _ in range(1024)) + squeeze.flush()
    with open(os.path.join(folder, "image-data-bomb.png"), "wb") as f:
        f.write(png(128, 64, 0, 8, [], image_data=bomb))
    with gzip.open(os.path.join(folder, "drawing-bomb.svgz"), "wb", 9) as f:
        f.write(b'<svg xmlns="http://www.w3.org/2000/svg" width="128" height="64">')
        for _ in range(1024):
            f.write(b" " * (1 << 20))
        f.write(b"</svg>")


def bmp(width, height, bits, pixels, palette=b"", compression=0, top_down=False, offset=None):
    header_size = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits,
                       compression, len(pixels), 2835, 2835, len(palette) // 4, 0)
    return (b"BM" + struct.pack("<IHHI", header_size + len(pixels), 0, 0,
                                header_size if offset is None else offset)
            + info + palette + pixels)


W, H = 128, 64
on = lambda x, y: (x // 8 + y // 8) % 2 == 0 or x == y  # checkerboard with a diagonal

if len(sys.argv) == 3 and sys.argv[1] == "--generated":
    generated(sys.argv[2])
    sys.exit(0)

# Pictures: the two accepted formats in several encodings, and one of the wrong size.
put("picture", "grey1.png", png(W, H, 0, 1, [
    bytes(sum((0 if on(x, y) else 1) << (7 - b) for b, x in enumerate(range(c, c + 8)))
          for c in range(0, W, 8)) for y in range(H)]))
put("picture", "rgba8.png", png(W, H, 6, 8, [
    b"".join(struct.pack("BBBB", 0 if on(x, y) else 255, 30, 0, x * 2) for x in range(W))
    for y in range(H)]))
put("picture", "palette8.png", png(W, H, 3, 8, [bytes(on(x, y) for x in range(W)) for y in range(H)],
                                    palette=b"\xff\xff\xff\x10\x10\x10"))
put("picture", "filters-rgb8.png", png(W, H, 2, 8, [
    b"".join(struct.pack("BBB", (x * y) % 256, 0 if on(x, y) else 200, x ^ y) for x in range(W))
    for y in range(H)], bpp=3))
put("picture", "palette2-transparent.png", png(W, H, 3, 2, [
    bytes(sum(((x + y) % 3) << (6 - 2 * b) for b, x in enumerate(range(c, c + 4)))
          for c in range(0, W, 4)) for y in range(H)],
    palette=b"\xff\xff\xff\x80\x80\x80\x00\x00\x00", transparency=b"\x00\x80", bpp=1))
put("picture", "tall.png", png(H, W, 0, 8, [bytes(255 * (x > y // 2) for x in range(H)) for y in range(W)]))
put("picture", "mono.bmp", bmp(W, H, 1, b"".join(
    bytes(sum((0 if on(x, y) else 1) << (7 - b) for b, x in enumerate(range(c, c + 8)))
          for c in range(0, W, 8)) for y in reversed(range(H))),
    palette=b"\0\0\0\0\xff\xff\xff\0"))
put("picture", "rgb24-topdown.bmp", bmp(W, H, 24, b"".join(
    b"".join(struct.pack("BBB", 40, 40, 40) if on(x, y) else b"\xc0\xc0\xc0" for x in range(W))
    for y in range(H)), top_down=True))
rle = b""
for y in range(H):
    rle += b"".join(bytes([64, i % 2]) for i in range(2)) + b"\0\0"  # two runs of 64, end of line
rle += b"\0\1"  # end of picture
put("picture", "rle8.bmp", bmp(W, H, 8, rle, palette=b"\0\0\0\0\xff\xff\xff\0", compression=1))

# Binary files: mode byte 0x80 | images picks a length near images * 1024.
put("binfile", "empty", b"\x00")
put("binfile", "raw-short", b"\x00" + bytes(range(200)))
put("binfile", "one-image", b"\x81\x01" + bytes(range(256)))
put("binfile", "sixty-four", b"\xc0\x01\x3c\x00\xff")
put("binfile", "sixty-four-plus-one", b"\xc0\x02\x55")
put("binfile", "sixty-five", b"\xc1\x01\xaa")

# Export: int32 bytes per line, flags, 1024 image bytes, six NUL-separated fields.
image = bytes([0x3C]) + bytes(1022) + bytes([0xFF])
put("export", "c-16", struct.pack("<iB", 16, 1 << 2) + image)
put("export", "asm-10", struct.pack("<iB", 10, 1 | (0 << 2)) + image)
put("export", "custom-96", struct.pack("<iB", 96, 2 << 2) + image)
put("export", "typed-fields", struct.pack("<iB", 7, 3 << 2) + image
    + "// $tab\0tab$tab$TAB\0}\0$tab$tab\0\\x\0, $ta".encode())
put("export", "utf16-fields", struct.pack("<iB", -5, 2 | (3 << 2)) + image
    + "\u20ac$tab\0\ud800x\0\0\0€\0;".encode("utf-16-le", "surrogatepass"))
put("export", "out-of-range", struct.pack("<iB", 0x7FFFFFFF, 1 | (3 << 2)) + image[:100])

# Pictures whose pixels the file does not all hold: each was once decoded
# into whatever the memory held. Kept as regressions, and read under memcheck.
grey = b"\0\0\0\0\xff\xff\xff\0"
rgb24 = b"".join(b"".join(struct.pack("BBB", x, y, 90) for x in range(W)) for y in range(H))
put("picture", "truncated-rgb24.bmp", bmp(W, H, 24, rgb24)[:12315], "regressions")
put("picture", "offset-past-end.bmp", bmp(W, H, 1, bytes(1024), grey, offset=5000), "regressions")
put("picture", "rle8-run-past-row.bmp",
    bmp(W, H, 8, b"\xff\x01" * 3 + b"\0\1", grey, compression=1), "regressions")
put("picture", "rle8-data-ends.bmp", bmp(W, H, 8, rle[:200], grey, compression=1), "regressions")
put("picture", "rle8-jump.bmp",
    bmp(W, H, 8, b"\0\2\5\5\x10\1\0\1", grey, compression=1), "regressions")
put("picture", "rle4-literal-past-data.bmp",
    bmp(W, H, 4, b"\0\x80" + bytes(10), grey * 8, compression=2), "regressions")
whole = png(W, H, 0, 8, [bytes(range(W)) for _ in range(H)])
put("picture", "truncated.png", whole[:len(whole) // 2], "regressions")
# A reader would allocate what a chunk declares; image data that inflates
# past the rows would be inflated to its end.
put("picture", "chunk-longer-than-file.png",
    png(1, 1, 0, 8, [b"\0"], extra=chunk(b"tEXt", b"a\0b", 0x7FFFFFFF))[:60], "regressions")
rows = b"".join(b"\0" + bytes(range(W)) for _ in range(H))
put("picture", "image-data-past-rows.png",
    png(W, H, 0, 8, [], image_data=zlib.compress(rows + rows)), "regressions")
put("picture", "bytes-after-image-data.png",
    png(W, H, 0, 8, [], image_data=zlib.compress(rows) + b"more"), "regressions")
put("picture", "short.xbm",
    b"#define s_width 128\n#define s_height 64\nstatic char s_bits[] = {\n0xff };\n", "regressions")
# The toolkit's reader scrambled these and left rows unwritten.
deep = [b"".join(struct.pack(">HHH", *((0, 0, 0) if x < W // 2 else (65535,) * 3)) for x in range(W))
        for _ in range(H)]
put("picture", "rgb16-transparent-colour.png",
    png(W, H, 2, 16, deep, transparency=struct.pack(">HHH", 1234, 5678, 999)))
put("picture", "grey16-transparent-value.png",
    png(W, H, 0, 16, [b"".join(struct.pack(">H", 0 if x < W // 2 else 65535) for x in range(W))
                      for _ in range(H)], transparency=struct.pack(">H", 1234)))

# Preparation: option byte (bit 0 fit, bit 1 invert, bits 2-3 dithering,
# bit 4 row127) and threshold, then a picture of any size.
wide = png(200, 50, 0, 8, [bytes((x + y) % 256 for x in range(200)) for y in range(50)])
put("preparation", "fit-floyd-steinberg", b"\x05\x80" + wide)
put("preparation", "fit-bayer-row127", b"\x1d\x60" + png(H, W, 0, 8, [bytes(range(H))] * W))
put("preparation", "atkinson-invert", b"\x0a\x80" + whole)
put("preparation", "threshold-bmp", b"\x00\x28" + bmp(W, H, 24, rgb24))
