#!/usr/bin/env python3
"""Draws the title bar's built-in menu-button image: three frames side by side (normal, hot, pressed), a rounded
button on the key colour $FF00FF. The alpha byte is stored inverted (0 = opaque), as the program expects."""
import struct
import sys

W, H = 26, 20
FRAMES = [(0x2E, 0x6F, 0xB4), (0x4A, 0x8C, 0xD8), (0x1E, 0x4E, 0x84)]  # R, G, B of each frame's face
EDGE = (0x14, 0x32, 0x5A)


def pixel(frame, x, y):
    # Rounded corners of radius 3 left in the key colour.
    cx = 3 if x < 3 else (W - 4 if x > W - 4 else x)
    cy = 3 if y < 3 else (H - 4 if y > H - 4 else y)
    if (x - cx) ** 2 + (y - cy) ** 2 > 9:
        return (0xFF, 0x00, 0xFF, 0)
    edge = x in (0, W - 1) or y in (0, H - 1) or (x - cx) ** 2 + (y - cy) ** 2 > 4
    r, g, b = EDGE if edge else FRAMES[frame]
    if not edge and y < H // 2:  # a lighter upper half
        r, g, b = (min(255, c + 0x18) for c in (r, g, b))
    return (r, g, b, 0)


def main(path):
    width = W * len(FRAMES)
    rows = []
    for y in reversed(range(H)):  # bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b, a = pixel(x // W, x % W, y)
            row += bytes((b, g, r, a))
        rows.append(bytes(row))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, H, 1, 32, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "MenuBtn.bmp")
