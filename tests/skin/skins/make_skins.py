#!/usr/bin/env python3
"""Draws the two test skins and writes their packed and internal forms.

Lale   warm rose, rounded corners (key-coloured corner pixels in its border masks)
Deniz  sea blue, square bevelled corners
Kum    sand, with extended borders: a wider skinned frame and title, and a translucent shadow (EXBORDER.PNG, an
       inactive and an active frame) that the border window carries; a glow around its hot close button
       (TITLEGLOW.PNG); written as a folder only

For each skin the folder <name>/ gets Options.dat, MASTER.BMP (24-bit, $FF00FF marks transparent pixels),
TITLEBTN.PNG (RGBA, an external glyph), PATTERN.BMP (an external texture named by a plain value) and FORMTILE.BMP
(an external texture named inside a "~" value). The packed file <name>.lvx holds the same files; internal.vfm is a
form text whose skin manager keeps both packed skins as internal skins.

Packed skins (the layout the reader documents in skin/core/sSkinPack.h):
    header  "TSKP", u16 version 1, u16 header size 16, i32 entry count, i32 size of the whole package
    entry   i32 name length, the name (8-bit), i32 length of the zlib stream, the zlib stream
Integers are little-endian; the package ends right after its last entry.

Plain Python (no image libraries). Run it again after changing a skin; the tests read what it wrote.
"""
import pathlib
import struct
import zlib

HERE = pathlib.Path(__file__).resolve().parent
KEY = (255, 0, 255)


class Canvas:
    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.px = [[fill] * width for _ in range(height)]

    def rect(self, x0, y0, x1, y1, color):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.px[y][x] = color

    def frame(self, x0, y0, x1, y1, color, width=1):
        self.rect(x0, y0, x1, y0 + width, color)
        self.rect(x0, y1 - width, x1, y1, color)
        self.rect(x0, y0, x0 + width, y1, color)
        self.rect(x1 - width, y0, x1, y1, color)

    def round_corners(self, x0, y0, x1, y1, radius):
        """Key-coloured pixels outside a quarter circle in each corner."""
        for dy in range(radius):
            for dx in range(radius):
                if (radius - dx - 0.5) ** 2 + (radius - dy - 0.5) ** 2 > radius ** 2:
                    for x, y in ((x0 + dx, y0 + dy), (x1 - 1 - dx, y0 + dy), (x0 + dx, y1 - 1 - dy),
                                 (x1 - 1 - dx, y1 - 1 - dy)):
                        self.px[y][x] = KEY

    def bmp(self):
        row = (self.width * 3 + 3) & ~3
        data = bytearray()
        for y in range(self.height - 1, -1, -1):
            line = bytearray()
            for r, g, b in self.px[y]:
                line += bytes((b, g, r))
            data += line + bytes(row - len(line))
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
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


def colour_value(rgb):
    """A colour value as the option file writes it: $00BBGGRR."""
    r, g, b = rgb
    return "$%02X%02X%02X" % (b, g, r)


def mix(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(3))


def border(l, t, r, b, wl, wt, wr, wb, count, mask_type, draw_mode, border_width):
    return "^%04d,%04d,%04d,%04d,%04d,%04d,%04d,%04d,%d,%d,%d,%d" % (
        l, t, r, b, wl, wt, wr, wb, count, mask_type, draw_mode, border_width)


def glyph(l, t, r, b, count, mask_type):
    return "@%04d,%04d,%04d,%04d,%d,%d" % (l, t, r, b, count, mask_type)


def texture(l, t, r, b, draw_mode, mask_type, external=None):
    value = "~%04d,%04d,%04d,%04d,%02d,%d" % (l, t, r, b, draw_mode, mask_type)
    if external:
        value += "~0~0~0~0~0~" + external
    return value


SKINS = {
    "Lale": dict(
        description="Warm rose test skin with rounded corners",
        main=(244, 214, 222), text=(74, 20, 40), border=(150, 40, 80),
        button=(214, 96, 128), button_hot=(236, 140, 166), button_down=(170, 60, 92), button_text=(255, 255, 255),
        edit=(255, 244, 247), edit_text=(90, 10, 40),
        select=(200, 60, 100), select_text=(255, 255, 255),
        panel=(236, 196, 208), panel_low=(226, 180, 194),
        radius=5, title=(200, 40, 70)),
    "Deniz": dict(
        description="Sea blue test skin with square bevelled corners",
        main=(214, 234, 242), text=(10, 40, 70), border=(20, 90, 130),
        button=(40, 140, 170), button_hot=(80, 180, 205), button_down=(20, 100, 130), button_text=(240, 255, 255),
        edit=(244, 252, 255), edit_text=(0, 50, 90),
        select=(30, 110, 160), select_text=(255, 255, 240),
        panel=(190, 222, 234), panel_low=(170, 206, 222),
        radius=0, title=(20, 70, 140)),
    "Kum": dict(
        description="Sand test skin with extended borders",
        main=(240, 228, 200), text=(70, 50, 20), border=(140, 100, 40),
        button=(200, 160, 90), button_hot=(222, 190, 130), button_down=(160, 120, 60), button_text=(255, 255, 255),
        edit=(255, 250, 238), edit_text=(80, 50, 10),
        select=(170, 110, 30), select_text=(255, 255, 255),
        panel=(230, 214, 180), panel_low=(220, 200, 160),
        radius=0, title=(150, 90, 20),
        extended=dict(shadow=10, offset=4, border_width=6, title_height=30, title_color=(196, 150, 80)),
        glow=dict(margin=4, color=(255, 236, 170))),
}

# The extended border's image: two 40 x 40 frames (inactive, active). The outer `shadow` pixels of each side are
# the shadow, in the border colour with alpha rising towards the frame (the inactive one half as strong); the rest
# is clear.
EXFRAME = 40


def draw_exborder(s):
    ex = s["extended"]
    r, g, b = s["border"]

    def pixel(x, y):
        frame, fx = divmod(x, EXFRAME)
        d = min(fx, y, EXFRAME - 1 - fx, EXFRAME - 1 - y)
        if d >= ex["shadow"]:
            return 0, 0, 0, 0
        alpha = 20 + d * 14
        if frame == 0:
            alpha //= 2
        return r, g, b, alpha
    return png_rgba(2 * EXFRAME, EXFRAME, pixel)


def draw_master(s):
    c = Canvas(128, 64, KEY)
    # Button border: three 20 x 20 frames (normal, hot, pressed) at (0, 0).
    for i, face in enumerate((s["button"], s["button_hot"], s["button_down"])):
        x = 20 * i
        c.rect(x, 0, x + 20, 20, face)
        c.frame(x, 0, x + 20, 20, s["border"], 2)
        if s["radius"]:
            c.round_corners(x, 0, x + 20, 20, s["radius"])
        else:
            c.rect(x + 2, 2, x + 18, 3, mix(face, (255, 255, 255), 0.5))  # bevel light
            c.rect(x + 2, 17, x + 18, 18, mix(face, (0, 0, 0), 0.4))  # bevel shadow
    # Edit border: three 20 x 20 frames at (0, 20).
    for i in range(3):
        x = 20 * i
        c.rect(x, 20, x + 20, 40, s["edit"])
        c.frame(x, 20, x + 20, 40, mix(s["border"], s["edit"], 0.25 * i), 1)
    # Panel border: one 20 x 20 frame at (60, 0).
    c.rect(60, 0, 80, 20, s["panel"])
    c.frame(60, 0, 80, 20, s["border"], 2)
    if s["radius"]:
        c.round_corners(60, 0, 80, 20, s["radius"])
    # Check box glyphs 16 x 16 at (80, 0), (96, 0), (112, 0): unchecked, checked, grayed.
    for i in range(3):
        x = 80 + 16 * i
        c.rect(x + 1, 1, x + 15, 15, s["edit"])
        c.frame(x + 1, 1, x + 15, 15, s["border"], 1)
        if i == 1:
            for d in range(8):
                c.rect(x + 4 + d, 5 + d // 2, x + 6 + d, 7 + d // 2, s["select"])
        if i == 2:
            c.rect(x + 4, 4, x + 12, 12, mix(s["border"], s["edit"], 0.6))
    # A 32 x 32 texture tile at (60, 20): a checker of the panel colour.
    for y in range(32):
        for x in range(32):
            c.px[20 + y][60 + x] = s["panel"] if ((x // 4 + y // 4) % 2) else s["panel_low"]
    # The combo box arrow glyph 16 x 16 at (92, 20).
    c.rect(92, 20, 108, 36, KEY)
    for row in range(5):
        c.rect(95 + row, 26 + row, 105 - row, 27 + row, s["text"])
    return c.bmp()


def draw_pattern(s):
    c = Canvas(8, 8, s["panel"])
    c.rect(0, 0, 8, 1, s["panel_low"])
    c.rect(0, 0, 1, 8, s["panel_low"])
    return c.bmp()


def draw_formtile(s):
    c = Canvas(16, 16, s["main"])
    c.rect(7, 0, 9, 16, mix(s["main"], s["border"], 0.15))
    c.rect(0, 7, 16, 9, mix(s["main"], s["border"], 0.15))
    return c.bmp()


def draw_titlebtn(s):
    """Three 16 x 16 frames of a close glyph with alpha (normal, hot, pressed)."""
    def pixel(x, y):
        frame, fx = divmod(x, 16)
        inside = 3 <= fx <= 12 and 3 <= y <= 12 and (abs(fx - y) <= 1 or abs(fx + y - 15) <= 1)
        if not inside:
            return 0, 0, 0, 0
        r, g, b = mix(s["title"], (255, 255, 255), 0.3 * frame)
        return r, g, b, 255
    return png_rgba(48, 16, pixel)


def draw_titleglow(s):
    """The hot close button's glow: the button's 16 x 16 grown by the margin on each side, a light halo whose alpha
    falls from the button's edge outwards (premultiplied, as the layered window shows it)."""
    m = s["glow"]["margin"]
    size = 16 + 2 * m
    r, g, b = s["glow"]["color"]

    def pixel(x, y):
        d = max(m - x, x - (size - 1 - m), m - y, y - (size - 1 - m), 0)
        alpha = max(0, 200 - d * 45)
        return r * alpha // 255, g * alpha // 255, b * alpha // 255, alpha
    return png_rgba(size, size, pixel)


def options(name, s):
    cv = colour_value
    g = [
        "[GLOBALINFO]",
        "VERSION=10.00",
        "AUTHOR=Tavrel tests",
        "DESCRIPTION=" + s["description"],
        "MASTERBITMAP=MASTER.BMP",
        "COLOR=" + cv(s["main"]),
        "FONTCOLOR=" + cv(s["text"]),
        "BORDERCOLOR=" + cv(s["border"]),
        "TCTOP=" + cv(s["select"]),
        "TCBOTTOM=" + cv(s["border"]),
        "SHADOW1COLOR=" + cv(s["border"]),
        "SHADOW1OFFSET=3",
        "BOXUNCHECKED=" + glyph(80, 0, 96, 16, 1, 0),
        "BOXCHECKED=" + glyph(96, 0, 112, 16, 1, 0),
        "BOXGRAYED=" + glyph(112, 0, 128, 16, 1, 0),
        "BICONCLOSE=!TITLEBTN.PNG!3!0!2",
    ]
    ex = s.get("extended")
    if ex:
        margin = ex["shadow"] + ex["offset"]
        g += [
            "EXBORDER=!EXBORDER.PNG!2!0!0!%d!%d!%d!%d!0" % (margin, margin, margin, margin),
            "BORDERWIDTH=%d" % ex["border_width"],
            "TITLEHEIGHT=%d" % ex["title_height"],
            "FORMOFFSET=%d" % ex["offset"],
        ]
    glow = s.get("glow")
    if glow:
        g += [
            "BICONCLOSEGLOW0=!TITLEGLOW.PNG!1!0!2",
            "BICONCLOSEGLOWMARGIN=%d" % glow["margin"],
        ]
    g += [
        "",
        "[BUTTON]",
        "STATES=3",
        "USESTATE2=1",
        "COLOR=" + cv(s["button"]),
        "HOTCOLOR=" + cv(s["button_hot"]),
        "COLOR2=" + cv(s["button_down"]),
        "FONTCOLOR=" + cv(s["button_text"]),
        "HOTFONTCOLOR=" + cv(s["button_text"]),
        "FONTCOLOR2=" + cv(s["button_text"]),
        "TCLEFT=-1",
        "TCBOTTOM=" + cv(mix(s["button"], (0, 0, 0), 0.5)),
        "GRADIENTPERCENT=100",
        "GRADIENTDATA=%d;%d;50;0;0;%d;%d;50;0;0" % (
            int(cv(s["button_hot"])[1:], 16), int(cv(s["button"])[1:], 16),
            int(cv(s["button"])[1:], 16), int(cv(s["button_down"])[1:], 16)),
        "BORDERSMASK=" + border(0, 0, 60, 20, 5, 5, 5, 5, 3, 0, 0, 0),
        "",
        "[SPEEDBUTTON]",
        "PARENTCLASS=BUTTON",
        "GRADIENTPERCENT=0",
        "",
        "[BUTTON_SMALL]",
        "PARENTCLASS=SPEEDBUTTON",
        "",
        "[EDIT]",
        "COLOR=" + cv(s["edit"]),
        "FONTCOLOR=" + cv(s["edit_text"]),
        "HOTCOLOR=" + cv(mix(s["edit"], s["select"], 0.1)),
        "HOTFONTCOLOR=" + cv(s["edit_text"]),
        "BORDERSMASK=" + border(0, 20, 60, 40, 0, 0, 0, 0, 3, 0, 0, 0),
        "",
        "[COMBOBOX]",
        "PARENTCLASS=EDIT",
        "GLYPHMASK=" + glyph(92, 20, 108, 36, 1, 0),
        "",
        "[PANEL]",
        "STATES=1",
        "COLOR=" + cv(s["panel"]),
        "FONTCOLOR=" + cv(s["text"]),
        "IMAGEPERCENT=100",
        "PATTERN=" + texture(60, 20, 92, 52, 0, 0),
        "BORDERSMASK=" + border(60, 0, 80, 20, 4, 4, 4, 4, 1, 0, 0, 0),
        "",
        "[PANEL_LOW]",
        "PARENTCLASS=PANEL",
        "COLOR=" + cv(s["panel_low"]),
        "",
        "[GROUPBOX]",
        "PARENTCLASS=PANEL",
        "TRANSPARENCY=100",
        "",
        "[PAGECONTROL]",
        "PARENTCLASS=PANEL",
        "",
        "[TABSHEET]",
        "COLOR=" + cv(s["panel"]),
        "FONTCOLOR=" + cv(s["text"]),
        "PATTERN=PATTERN.BMP",
        "",
        "[FORM]",
    ]
    if ex:
        g += ["TRANSPARENCY=0"]
    g += [
        "COLOR=" + cv(s["main"]),
        "FONTCOLOR=" + cv(s["text"]),
        "PATTERN=" + texture(0, 0, 16, 16, 0, 0, "FORMTILE.BMP"),
        "",
    ]
    if ex:
        g += [
            "[FORMTITLE]",
            "STATES=2",
            "TRANSPARENCY=0",
            "COLOR=" + cv(mix(ex["title_color"], (255, 255, 255), 0.5)),
            "HOTCOLOR=" + cv(ex["title_color"]),
            "FONTCOLOR=" + cv(s["text"]),
            "HOTFONTCOLOR=" + cv(s["text"]),
            "",
        ]
    g += [
        "[CHECKBOX]",
        "TRANSPARENCY=100",
        "FONTCOLOR=" + cv(s["text"]),
        "",
        "[SELECTION]",
        "COLOR=" + cv(s["select"]),
        "FONTCOLOR=" + cv(s["select_text"]),
        "HOTCOLOR=" + cv(mix(s["select"], (0, 0, 0), 0.2)),
        "HOTFONTCOLOR=" + cv(s["select_text"]),
        "",
        "[MENUITEM]",
        "COLOR=" + cv(s["main"]),
        "FONTCOLOR=" + cv(s["text"]),
        "HOTCOLOR=" + cv(s["select"]),
        "HOTFONTCOLOR=" + cv(s["select_text"]),
        "",
    ]
    return "\r\n".join(g).encode("ascii")


def pack(files):
    """files: (name, bytes) in order; Options.dat first."""
    body = bytearray()
    for name, data in files:
        packed = zlib.compress(data, 9)
        raw = name.encode("cp1254")
        body += struct.pack("<i", len(raw)) + raw + struct.pack("<i", len(packed)) + packed
    header = b"TSKP" + struct.pack("<HHii", 1, 16, len(files), 16 + len(body))
    return header + bytes(body)


def hex_block(data, indent):
    digits = data.hex().upper()
    lines = [indent + digits[i:i + 64] for i in range(0, len(digits), 64)]
    return "{\n" + "\n".join(lines) + "}"


def main():
    packages = {}
    for name, s in SKINS.items():
        folder = HERE / name
        folder.mkdir(exist_ok=True)
        files = [
            ("Options.dat", options(name, s)),
            ("MASTER.BMP", draw_master(s)),
            ("TITLEBTN.PNG", draw_titlebtn(s)),
            ("PATTERN.BMP", draw_pattern(s)),
            ("FORMTILE.BMP", draw_formtile(s)),
        ]
        if "extended" in s:
            files.append(("EXBORDER.PNG", draw_exborder(s)))
        if "glow" in s:
            files.append(("TITLEGLOW.PNG", draw_titleglow(s)))
        for file_name, data in files:
            (folder / file_name).write_bytes(data)
        if "extended" in s:
            continue
        packages[name] = pack(files)
        (HERE / (name + ".lvx")).write_bytes(packages[name])

    lines = [
        "// Both test skins as internal skins of a form's skin manager; written by make_skins.py.",
        "object SkinInternalHost: TSkinInternalHost",
        "  Left = 0",
        "  Top = 0",
        "  Caption = 'Internal skins'",
        "  ClientHeight = 120",
        "  ClientWidth = 200",
        "  object sSkinManager1: TsSkinManager",
        "    Active = False",
        "    InternalSkins = <",
    ]
    for name, data in packages.items():
        lines += [
            "      item",
            "        Name = '%s'" % name,
            "        Shadow1Color = clBlack",
            "        Shadow1Offset = 0",
            "        Shadow1Transparency = 0",
            "        Version = 10.000000000000000000",
            "        Author = 'Tavrel tests'",
            "        Data = " + hex_block(data, "          "),
            "      end",
        ]
    lines[-1] = "      end>"
    lines += ["  end", "end", ""]
    (HERE / "internal.vfm").write_text("\n".join(lines), encoding="utf-8")


if __name__ == "__main__":
    main()
