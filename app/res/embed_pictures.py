#!/usr/bin/env python3
"""Writes the pictures of app/res into the form texts of app/forms.

A form text marks a picture with a comment line followed by its data line:
    // picture: main_logo.png      -> Picture.Data, a PNG picture (8 bits per channel)
    // glyph: glyph_giris.png      -> Glyph.Data, a 24-bit bitmap whose bottom-left colour is the transparent one
Run it again after changing a picture. Needs ImageMagick's convert.
"""
import pathlib
import re
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
FORMS = HERE.parent / "forms"


def converted(source, options):
    with tempfile.TemporaryDirectory() as tmp:
        out = pathlib.Path(tmp) / "out"
        subprocess.run(["convert", str(source)] + options[:-1] + [options[-1] + str(out)], check=True)
        return out.read_bytes()


def picture_data(name):
    png = converted(HERE / name, ["-depth", "8", "PNG32:"])
    return bytes([len("TPngImage")]) + b"TPngImage" + png


def glyph_data(name):
    bmp = converted(HERE / name, ["-background", "#FF00FF", "-flatten", "-type", "TrueColor", "BMP3:"])
    return len(bmp).to_bytes(4, "little") + bmp


def hex_block(data, indent):
    digits = data.hex().upper()
    lines = [indent + digits[i:i + 64] for i in range(0, len(digits), 64)]
    return "{\n" + "\n".join(lines) + "}"


def embed(path):
    text = path.read_text(encoding="utf-8")
    pattern = re.compile(r"^( *)// (picture|glyph): (\S+)\n( *)(\w+)\.Data = \{[0-9A-Fa-f\s]*\}", re.M)

    def replace(m):
        indent, kind, name, indent2, prop = m.groups()
        data = picture_data(name) if kind == "picture" else glyph_data(name)
        return f"{indent}// {kind}: {name}\n{indent2}{prop}.Data = " + hex_block(data, indent2 + "  ")

    path.write_text(pattern.sub(replace, text), encoding="utf-8")


if __name__ == "__main__":
    for form in sys.argv[1:] or sorted(FORMS.glob("*.vfm")):
        embed(pathlib.Path(form))
