#!/usr/bin/env python3
"""Draws the skinning core's built-in pictures into this folder.

BLUR5.bmp   the soft mask of outer shadows: 16 x 16 grey, black (opaque) in the middle fading to white at the edges
            (a mask's alpha is 255 minus its red value).
LVSHDA.png  the form shadow template of active forms, 32 x 32 RGBA: a dark frame fading outwards around a white
            middle (white pixels become transparent when the template is loaded).
LVSHDI.png  the same, lighter, for inactive forms.

Plain Python (no image libraries): run it again after changing a picture.
"""
import pathlib
import struct
import zlib

HERE = pathlib.Path(__file__).resolve().parent


def bmp24(width, height, pixel):
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def png_rgba(width, height, pixel):
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw += bytes(pixel(x, y))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")


def blur_mask(x, y, size=16):
    edge = min(x, y, size - 1 - x, size - 1 - y)
    alpha = min(255, edge * 255 // 7)
    grey = 255 - alpha
    return grey, grey, grey


def shadow(strength):
    def pixel(x, y, size=32, frame=9):
        edge = min(x, y, size - 1 - x, size - 1 - y)
        if edge >= frame:
            return 255, 255, 255, 0
        return 0, 0, 0, strength * (edge + 1) // frame
    return pixel


if __name__ == "__main__":
    (HERE / "BLUR5.bmp").write_bytes(bmp24(16, 16, blur_mask))
    (HERE / "LVSHDA.png").write_bytes(png_rgba(32, 32, shadow(120)))
    (HERE / "LVSHDI.png").write_bytes(png_rgba(32, 32, shadow(60)))
