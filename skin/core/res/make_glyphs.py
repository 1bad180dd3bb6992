#!/usr/bin/python3
"""Draws the built-in glyph strips of combo edits (RCDATA "SF", "SR", "SD", "SE", "SC"): each a 48 x 16 PNG with
alpha holding three 16 x 16 frames (normal, hot, pressed). SF a folder, SR a circular arrow, SD a calendar, SE three
dots, SC a calculator.

    make_glyphs.py            (writes the PNG files beside this script)
"""
import os

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))


def folder(d, c):
    d.polygon([(1, 4), (6, 4), (7, 6), (14, 6), (14, 13), (1, 13)], fill=c + (255,), outline=(70, 60, 20, 255))
    d.line([(2, 8), (13, 8)], fill=(255, 255, 255, 160))


def arrow(d, c):
    d.arc([2, 2, 13, 13], 40, 330, fill=c + (255,), width=2)
    d.polygon([(10, 1), (14, 5), (9, 6)], fill=c + (255,))


def calendar(d, c):
    d.rectangle([1, 2, 14, 14], fill=(255, 255, 255, 255), outline=(60, 60, 60, 255))
    d.rectangle([1, 2, 14, 5], fill=c + (255,))
    for y in (8, 11):
        for x in (3, 6, 9, 12):
            d.point((x, y), fill=(60, 60, 60, 255))


def ellipsis(d, c):
    for x in (3, 7, 11):
        d.rectangle([x, 10, x + 1, 11], fill=c + (255,))


def calculator(d, c):
    d.rectangle([3, 1, 12, 14], fill=(230, 230, 230, 255), outline=(60, 60, 60, 255))
    d.rectangle([5, 3, 10, 5], fill=c + (255,))
    for y in (8, 11):
        for x in (5, 8, 10):
            d.point((x, y), fill=(40, 40, 40, 255))


GLYPHS = {"SF": (folder, (222, 178, 62)), "SR": (arrow, (40, 110, 200)), "SD": (calendar, (200, 60, 50)),
          "SE": (ellipsis, (40, 40, 40)), "SC": (calculator, (70, 150, 80))}


def lighter(c):
    return tuple(min(255, v + 50) for v in c)


def darker(c):
    return tuple(max(0, v - 50) for v in c)


for name, (draw, colour) in GLYPHS.items():
    strip = Image.new("RGBA", (48, 16), (0, 0, 0, 0))
    for frame, (c, shift) in enumerate(((colour, 0), (lighter(colour), 0), (darker(colour), 1))):
        tile = Image.new("RGBA", (16, 16), (0, 0, 0, 0))
        draw(ImageDraw.Draw(tile), c)
        strip.paste(tile, (16 * frame + shift, shift), tile)
    strip.save(os.path.join(HERE, name + ".png"))
