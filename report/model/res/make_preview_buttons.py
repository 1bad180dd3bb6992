#!/usr/bin/env python3
"""Draws the preview window's button strip (25 glyphs of 16 x 16, 24 bits, on the transparent colour of its
bottom-left pixel) and packs it as the report library stores its image resources: a gzip member whose
modification-time field holds the big-endian Adler-32 of the bitmap. Run it again after changing a glyph:
    python3 report/model/res/make_preview_buttons.py
"""
import os
import struct
import zlib

W, H, N = 16, 16, 25
BACK = (255, 0, 255)  # the transparent colour
INK = (40, 40, 40)
BLUE = (30, 90, 180)
LIGHT = (250, 250, 250)
YELLOW = (230, 190, 60)
RED = (200, 40, 40)
GREY = (130, 130, 130)
GREEN = (40, 140, 60)

strip = [[BACK] * (W * N) for _ in range(H)]


def px(g, x, y, c):
    if 0 <= x < W and 0 <= y < H:
        strip[y][g * W + x] = c


def rect(g, x0, y0, x1, y1, c):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            px(g, x, y, c)


def frame(g, x0, y0, x1, y1, c):
    for x in range(x0, x1 + 1):
        px(g, x, y0, c)
        px(g, x, y1, c)
    for y in range(y0, y1 + 1):
        px(g, x0, y, c)
        px(g, x1, y, c)


def line(g, x0, y0, x1, y1, c):
    n = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(n + 1):
        px(g, round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)


def page(g, x0=3, y0=1, x1=12, y1=14):
    rect(g, x0, y0, x1, y1, LIGHT)
    frame(g, x0, y0, x1, y1, INK)


def lens(g, cx=6, cy=6, r=4):
    for y in range(H):
        for x in range(W):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if d <= (r - 1) ** 2:
                px(g, x, y, LIGHT)
            elif d <= r * r + r:
                px(g, x, y, INK)
    line(g, cx + 3, cy + 3, 14, 14, INK)
    line(g, cx + 4, cy + 3, 14, 13, INK)


def triangle(g, x0, direction):
    # direction -1 points left, 1 right
    for i in range(5):
        x = x0 + (i if direction < 0 else 4 - i)
        line(g, x, 7 - i, x, 8 + i, INK)


# 0 open: a folder
rect(g := 0, 1, 5, 14, 13, YELLOW); frame(0, 1, 5, 14, 13, INK); rect(0, 1, 3, 6, 4, YELLOW); frame(0, 1, 3, 6, 5, INK)
# 1 save: a disk
rect(1, 1, 1, 14, 14, BLUE); frame(1, 1, 1, 14, 14, INK); rect(1, 4, 2, 11, 6, LIGHT); rect(1, 4, 10, 11, 14, GREY)
# 2 print: a printer
rect(2, 4, 1, 11, 5, LIGHT); frame(2, 4, 1, 11, 5, INK); rect(2, 1, 6, 14, 11, GREY); frame(2, 1, 6, 14, 11, INK)
rect(2, 4, 10, 11, 14, LIGHT); frame(2, 4, 10, 11, 14, INK); px(2, 12, 8, GREEN)
# 3: a blank page
page(3)
# 4 find: a magnifier
lens(4)
# 5 thumbnails: four small pages
for (x, y) in ((1, 1), (9, 1), (1, 9), (9, 9)):
    rect(5, x, y, x + 5, y + 5, LIGHT); frame(5, x, y, x + 5, y + 5, INK)
# 6: two pages
page(6, 1, 1, 9, 11); page(6, 6, 4, 14, 14)
# 7 page settings: a page with its margins
page(7); frame(7, 5, 3, 10, 12, GREY)
# 8 first, 9 prior, 10 next, 11 last
line(8, 4, 3, 4, 12, INK); triangle(8, 6, -1)
triangle(9, 5, -1)
triangle(10, 6, 1)
triangle(11, 5, 1); line(11, 11, 3, 11, 12, INK)
# 12 outline: a tree
for y in (2, 7, 12):
    rect(12, 6, y, 13, y + 1, BLUE)
line(12, 2, 2, 2, 12, INK); line(12, 2, 7, 5, 7, INK); line(12, 2, 12, 5, 12, INK); rect(12, 1, 1, 3, 3, INK)
# 13 collapse (minus), 14 expand (plus)
for g in (13, 14):
    rect(g, 3, 3, 12, 12, LIGHT); frame(g, 3, 3, 12, 12, INK); line(g, 5, 7, 10, 7, INK); line(g, 5, 8, 10, 8, INK)
line(14, 7, 5, 7, 10, INK); line(14, 8, 5, 8, 10, INK)
# 15 zoom in, 16 zoom out
for g in (15, 16):
    lens(g); line(g, 4, 6, 8, 6, INK)
line(15, 6, 4, 6, 8, INK)
# 17 close (the tab's glyph)
for d in (0, 1):
    line(17, 4 + d, 4, 11, 11 - d, INK); line(17, 11 - d, 4, 4, 11 - d, INK)
# 18, 19, 20: spare
for g in (18, 19, 20):
    rect(g, 6, 6, 9, 9, GREY)
# 21 edit: a pencil
for i in range(9):
    rect(21, 3 + i, 11 - i, 4 + i, 12 - i, YELLOW)
line(21, 2, 13, 4, 13, INK); line(21, 2, 11, 2, 13, INK); frame(21, 11, 1, 13, 3, RED)
# 22 full screen: four corners
for (x, y, dx, dy) in ((1, 1, 1, 1), (14, 1, -1, 1), (1, 14, 1, -1), (14, 14, -1, -1)):
    line(22, x, y, x + 4 * dx, y, INK); line(22, x, y, x, y + 4 * dy, INK); line(22, x, y, x + 3 * dx, y + 3 * dy, INK)
# 23 e-mail: an envelope
rect(23, 1, 3, 14, 12, LIGHT); frame(23, 1, 3, 14, 12, INK); line(23, 1, 3, 7, 8, INK); line(23, 14, 3, 8, 8, INK)
# 24 a document to keep: a page with a red band
page(24); rect(24, 3, 9, 12, 13, RED)

# A bottom-up 24-bit bitmap file.
stride = (W * N * 3 + 3) & ~3
pixels = bytearray()
for y in range(H - 1, -1, -1):
    row = bytearray()
    for (r, g, b) in strip[y]:
        row += bytes((b, g, r))
    row += b"\0" * (stride - len(row))
    pixels += row
header = struct.pack("<IiiHHIIiiII", 40, W * N, H, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
bmp = b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)) + header + pixels

deflater = zlib.compressobj(9, zlib.DEFLATED, -15)
data = deflater.compress(bmp) + deflater.flush()
adler = zlib.adler32(bmp) & 0xFFFFFFFF
member = (b"\x1f\x8b\x08\x08" + struct.pack(">I", adler) + b"\x00\x0b" + b"1\0" + data +
          struct.pack("<II", zlib.crc32(bmp) & 0xFFFFFFFF, len(bmp) & 0xFFFFFFFF))
out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "PreviewButtons.dat")
with open(out, "wb") as f:
    f.write(member)
print(out, len(bmp), "bytes of bitmap,", len(member), "packed")
