#!/usr/bin/env python3
"""Draws the add-ins' tool-bar strip (16 x 16 images side by side, 24-bit BMP) from a row of
glyph names.  Usage: gen_addin_images.py OUT.bmp glyph...   glyphs: translate lookup options"""
import struct
import sys

SIZE = 16
BACK = (192, 192, 192)  # the tool bar's mask colour (the system's button face)


def translate(x, y):
    """Two speech cards: a blue one with an "A" and a red one behind it."""
    if 1 <= x <= 9 and 1 <= y <= 8:
        a = (x == 5 and y == 2) or (y == 6 and 3 <= x <= 7) or (abs(x - 5) * 2 + 2 == y * 1 and y >= 3)
        return (255, 255, 255) if a else (40, 90, 200)
    if 6 <= x <= 14 and 7 <= y <= 14:
        return (255, 255, 255) if (y in (9, 11, 13) and 8 <= x <= 12) else (200, 50, 50)
    return None


def lookup(x, y):
    """An open book."""
    if 2 <= y <= 13 and 1 <= x <= 14:
        if x in (7, 8):
            return (90, 60, 30)
        if y in (4, 6, 8, 10) and (3 <= x <= 5 or 10 <= x <= 12):
            return (60, 60, 60)
        return (250, 245, 220)
    return None


def options(x, y):
    """A cog wheel."""
    dx, dy = x - 7.5, y - 7.5
    d = (dx * dx + dy * dy) ** 0.5
    if d < 2.2:
        return None
    if d < 5.2:
        return (80, 80, 90)
    if d < 7.2 and (abs(dx) < 1.6 or abs(dy) < 1.6 or abs(abs(dx) - abs(dy)) < 1.2):
        return (80, 80, 90)
    return None


GLYPHS = {'translate': translate, 'lookup': lookup, 'options': options}


def main():
    out, names = sys.argv[1], sys.argv[2:]
    width, height = SIZE * len(names), SIZE
    stride = (width * 3 + 3) & ~3
    rows = b''
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            rgb = GLYPHS[names[x // SIZE]](x % SIZE, y) or BACK
            row += bytes((rgb[2], rgb[1], rgb[0]))
        row += bytes(stride - len(row))
        rows += bytes(row)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    with open(out, 'wb') as fh:
        fh.write(struct.pack('<2sIHHI', b'BM', 14 + 40 + len(rows), 0, 0, 54) + info + rows)


main()
