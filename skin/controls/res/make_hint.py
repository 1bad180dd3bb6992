#!/usr/bin/env python3
"""Draws the built-in hint balloon (27 x 27, straight alpha): a pale yellow rounded body with a grey edge inside a
soft shadow band of 6, 5, 7 and 8 pixels (left, top, right, bottom). Writes LVHINT.png next to this script."""
import os
import struct
import zlib

W = H = 27
SHADOW = (6, 5, 7, 8)  # left, top, right, bottom
BODY = (SHADOW[0], SHADOW[1], W - SHADOW[2], H - SHADOW[3])  # x0, y0, x1, y1 (exclusive)
FILL = (0xFF, 0xFF, 0xE1)
EDGE = (0x76, 0x76, 0x76)
RADIUS = 3


def inside_round(x, y, x0, y0, x1, y1, r):
    cx = min(max(x, x0 + r), x1 - 1 - r)
    cy = min(max(y, y0 + r), y1 - 1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r + 0.5


def pixel(x, y):
    x0, y0, x1, y1 = BODY
    if x0 <= x < x1 and y0 <= y < y1 and inside_round(x, y, x0, y0, x1, y1, RADIUS):
        edge = not inside_round(x, y, x0 + 1, y0 + 1, x1 - 1, y1 - 1, max(RADIUS - 1, 0))
        return (*(EDGE if edge else FILL), 255)
    # The shadow falls to the right and below, fading outwards.
    sx0, sy0, sx1, sy1 = x0 + 2, y0 + 3, x1 + 3, y1 + 4
    dx = max(sx0 - x, 0, x - (sx1 - 1))
    dy = max(sy0 - y, 0, y - (sy1 - 1))
    d = (dx * dx + dy * dy) ** 0.5
    alpha = int(max(0.0, 70 * (1 - d / 4.0)))
    return (0, 0, 0, alpha)


def png(width, height):
    raw = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "LVHINT.png"), "wb") as f:
        f.write(png(W, H))
