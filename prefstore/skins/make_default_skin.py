#!/usr/bin/env python3
"""Draws default.bmp, the picture of the default pop-up skin (default.tsk), as a 24-bit .bmp.

Run once by hand when the picture changes: python3 make_default_skin.py
Layout (200 x 150; the part rectangles are listed in default.tsk):
  title strip x 0-15, top caption x 16-179 y 0-19, top-right corner x 180-199 y 0-19,
  right caption x 190-199 y 20-129, bottom caption x 16-179 y 140-149,
  grip x 180-199 y 130-149, view frame x 16-189 y 20-139.
Magenta (the key colour, also the top-left pixel) marks what the window region leaves out:
the rounded outer corners of the title strip, the corner and the grip."""
import struct

W, H = 200, 150
KEY = (255, 0, 255)
TITLE = (48, 80, 144)
TITLE_LINE = (96, 136, 200)
CAPTION = (72, 112, 176)
FRAME = (160, 176, 200)
VIEW = (255, 255, 255)
GRIP_DOT = (200, 216, 240)
R = 7   # radius of the rounded corners

pixels = [[VIEW for _ in range(W)] for _ in range(H)]


def fill(x0, y0, x1, y1, colour):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            pixels[y][x] = colour


def cut_corner(cx, cy, dx, dy):
    """Keys out the pixels outside a quarter circle of radius R at corner (cx, cy); dx, dy point
    inwards."""
    for j in range(R):
        for i in range(R):
            x, y = cx + dx * i, cy + dy * j
            if (R - i - 0.5) ** 2 + (R - j - 0.5) ** 2 > R * R:
                pixels[y][x] = KEY


fill(0, 0, 15, 149, TITLE)
fill(11, 0, 11, 149, TITLE_LINE)
fill(16, 0, 179, 19, CAPTION)
fill(180, 0, 199, 19, CAPTION)
fill(190, 20, 199, 129, CAPTION)
fill(16, 140, 179, 149, CAPTION)
fill(180, 130, 199, 149, CAPTION)
fill(16, 20, 189, 139, FRAME)
fill(18, 22, 187, 137, VIEW)
for k in range(3):   # grip dots
    for m in range(k + 1):
        fill(194 - 4 * m, 134 + 4 * k - 4 * m + 4 * m, 195 - 4 * m, 135 + 4 * k, GRIP_DOT)
cut_corner(0, 0, 1, 1)
cut_corner(0, H - 1, 1, -1)
cut_corner(W - 1, 0, -1, 1)
cut_corner(W - 1, H - 1, -1, -1)

row = (W * 3 + 3) & ~3
data = bytearray()
for y in range(H - 1, -1, -1):
    line = bytearray()
    for (r, g, b) in pixels[y]:
        line += bytes((b, g, r))
    data += line + bytes(row - len(line))
header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
with open('default.bmp', 'wb') as f:
    f.write(header + info + data)
