#!/usr/bin/env python3
"""Draws the icons, cursors and bitmaps of the resource library from images.txt into a folder and
writes images.rc there, which uiassets.rc includes.  Usage: gen_images.py images.txt OUTDIR"""
import os
import struct
import sys


DIGITS = {  # 3 x 5 pixel digits, rows top to bottom
    '0': ['111', '101', '101', '101', '111'], '1': ['010', '110', '010', '010', '111'],
    '2': ['111', '001', '111', '100', '111'], '3': ['111', '001', '111', '001', '111'],
    '4': ['101', '101', '111', '001', '001'], '5': ['111', '100', '111', '001', '111'],
    '6': ['111', '100', '111', '101', '111'], '7': ['111', '001', '010', '010', '010'],
    '8': ['111', '101', '111', '101', '111'], '9': ['111', '101', '111', '001', '111'],
}


def digit_on(d, x, y, left, top, scale):
    """Whether pixel (x, y) lies on digit d drawn at (left, top) with square pixels of scale."""
    col, row = (x - left) // scale, (y - top) // scale
    if x < left or y < top or not (0 <= col < 3 and 0 <= row < 5):
        return False
    return DIGITS[d][row][col] == '1'


def shape_pixel(shape, x, y, size):
    """0 for a clear pixel, 1 for the shape's colour, 2 for its dark detail (lines, digits)."""
    c = (size - 1) / 2.0
    r = size / 2.0 - 1
    dx, dy = x - c, y - c
    s = size / 16.0  # shapes are laid out on a 16-pixel grid and scaled
    if shape == 'square':
        return int(1 <= x < size - 1 and 1 <= y < size - 1)
    if shape == 'circle':
        return int(dx * dx + dy * dy <= r * r)
    if shape == 'diamond':
        return int(abs(dx) + abs(dy) <= r)
    if shape == 'bar':
        return int(size // 4 <= y < size - size // 4 and 1 <= x < size - 1)
    if shape == 'ring':
        d = dx * dx + dy * dy
        return int((r * 0.55) ** 2 <= d <= r * r)
    if shape.startswith('slot'):  # a numbered disc in the lower right corner (an overlay)
        digit = shape[4:]
        bx, by, br = size - 5 * s, size - 5 * s, 4.5 * s
        if (x - bx) ** 2 + (y - by) ** 2 > br * br:
            return 0
        scale = max(1, size // 16)
        return 2 if digit_on(digit, x, y, int(bx - 1.5 * scale), int(by - 2.5 * scale), scale) else 1
    if shape == 'mark':  # a small triangle in the upper left corner (an overlay)
        return int(x + y < 6 * s)
    if shape == 'book':
        if not (3 * s <= x < 13 * s and 1 * s <= y < 15 * s):
            return 0
        return 2 if x < 5 * s or y >= 13 * s else 1
    if shape == 'book-open':
        if not (1 * s <= x < 15 * s and 3 * s <= y < 13 * s):
            return 0
        return 2 if abs(x - c) < s or (y - 3 * s) % (3 * s) < s * 0.6 and y > 4 * s else 1
    if shape == 'page':
        if not (3 * s <= x < 13 * s and 1 * s <= y < 15 * s):
            return 0
        if x - 9 * s > y - 1 * s:  # the folded corner
            return 0
        return 2 if 5 * s <= x < 11 * s and (y - 5 * s) % (3 * s) < s * 0.6 and y > 4 * s else 1
    if shape in ('folder', 'folder-open'):
        tab = 1 * s <= x < 7 * s and 2 * s <= y < 4 * s
        body = 1 * s <= x < 15 * s and 4 * s <= y < 14 * s
        if shape == 'folder-open' and body and y >= 7 * s:
            return 2
        return int(tab or body)
    if shape == 'group':
        for k in range(3):
            if (1 + 3 * k) * s <= x < (9 + 3 * k) * s and (1 + 3 * k) * s <= y < (9 + 3 * k) * s:
                edge = x < (2 + 3 * k) * s or y < (2 + 3 * k) * s
                inner = k == 2 or not ((4 + 3 * k) * s <= x and (4 + 3 * k) * s <= y)
                if inner:
                    return 2 if edge else 1
        return 0
    if shape in ('arrow-up', 'arrow-down'):
        yy = y if shape == 'arrow-up' else size - 1 - y
        head = yy < 8 * s and abs(dx) <= yy - 1 * s
        stem = 8 * s <= yy < 15 * s and abs(dx) < 2.5 * s
        return int(head or stem)
    if shape == 'lens':
        d = ((x - 6 * s) ** 2 + (y - 6 * s) ** 2) ** 0.5
        handle = abs((x - y)) < 1.6 * s and x > 9 * s and y > 9 * s and x < 15 * s
        return 2 if handle or 3.5 * s <= d <= 5 * s else int(d < 3.5 * s)
    if shape.startswith('pos'):  # where the pop-up goes: a box beside the pointed place (the dot)
        n = int(shape[3:])
        if abs(x - 8 * s) < 1.5 * s and abs(y - 8 * s) < 1.5 * s:
            return 2
        left = (1, 4.5, 8)[n % 3] * s
        top = 10 * s if n < 3 else 1 * s
        return int(left <= x < left + 7 * s and top <= y < top + 5 * s)
    if shape == 'drive':
        if not (1 * s <= x < 15 * s and 5 * s <= y < 12 * s):
            return 0
        return 2 if y >= 10 * s or (11 * s <= x < 13 * s and 7 * s <= y < 8 * s) else 1
    raise SystemExit(f'unknown shape {shape}')


def shape_mask(shape, size):
    """Rows of booleans: which pixels of a size x size image are painted."""
    return [[shape_pixel(shape, x, y, size) > 0 for x in range(size)] for y in range(size)]


def dib(size, pixels, mask):
    """A 32-bit icon or cursor image: header, colour rows bottom-up, AND mask rows bottom-up."""
    head = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b''.join(b''.join(pixels[y][x] for x in range(size)) for y in reversed(range(size)))
    stride = ((size + 31) // 32) * 4
    andmask = b''
    for y in reversed(range(size)):
        bits = 0
        row = bytearray(stride)
        for x in range(size):
            if not mask[y][x]:
                row[x // 8] |= 0x80 >> (x % 8)
        andmask += bytes(row)
    return head + colour + andmask


def picture_icon(rows):
    """An icon of a tool-bar cell's picture: the 16 x 16 picture, and doubled for 32 x 32."""
    images = []
    for scale in (1, 2):
        size = len(rows) * scale
        letters = [[rows[y // scale][x // scale] for x in range(size)] for y in range(size)]
        px = [[bytes(reversed(PALETTE[c])) + b'\xff' if c in PALETTE else bytes(4) for c in row] for row in letters]
        mask = [[c in PALETTE for c in row] for row in letters]
        images.append((size, dib(size, px, mask)))
    return images


def shape_image(rgb, shape, size):
    r, g, b = rgb
    dark = bytes((b // 3, g // 3, r // 3, 255)) if shape.startswith(('book', 'page', 'folder', 'group', 'lens', 'drive', 'pos')) \
        else bytes((255, 255, 255, 255))
    values = [[shape_pixel(shape, x, y, size) for x in range(size)] for y in range(size)]
    px = [[bytes((b, g, r, 255)) if v == 1 else dark if v == 2 else bytes((0, 0, 0, 0)) for v in row]
          for row in values]
    mask = [[v > 0 for v in row] for row in values]
    return dib(size, px, mask)


def icon_file(rgb, shape, kind=1, hotspot=(0, 0), cells=None):
    if shape.startswith('cell:'):
        images = picture_icon(cells[int(shape[5:])])
    else:
        images = [(size, shape_image(rgb, shape, size)) for size in (16, 32)]
    out = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        if kind == 1:
            f1, f2 = 1, 32
        else:
            f1, f2 = hotspot[0] * size // 32, hotspot[1] * size // 32
        out += struct.pack('<BBBBHHII', size, size, 0, 0, f1, f2, len(data), offset)
        offset += len(data)
    return out + b''.join(d for _, d in images)


def cursor_mask(shape, size):
    rows = [[False] * size for _ in range(size)]
    mid = size // 2
    for i in range(size):
        if shape == 'split-v':
            rows[i][mid] = rows[i][mid - 1] = True
            rows[mid][i] = i < 4 or i >= size - 4
        elif shape == 'split-h':
            rows[mid][i] = rows[mid - 1][i] = True
            rows[i][mid] = i < 4 or i >= size - 4
        elif shape == 'hand':
            rows[i][size // 3] = i < size * 3 // 4
            if i >= size // 2:
                for x in range(size // 3, size * 3 // 4):
                    rows[i][x] = True
        else:
            raise SystemExit(f'unknown cursor shape {shape}')
    return rows


def cursor_file(shape, hotspot):
    size = 32
    mask = cursor_mask(shape, size)
    px = [[bytes((0, 0, 0, 255)) if mask[y][x] else bytes((0, 0, 0, 0)) for x in range(size)] for y in range(size)]
    data = dib(size, px, mask)
    return (struct.pack('<HHH', 0, 2, 1) +
            struct.pack('<BBBBHHII', size, size, 0, 0, hotspot[0], hotspot[1], len(data), 22) + data)


PALETTE = {'k': (0, 0, 0), 'w': (255, 255, 255), 'g': (128, 128, 128), 'b': (31, 79, 191),
           'l': (127, 175, 239), 'r': (207, 47, 47), 'y': (239, 207, 63), 'o': (192, 160, 48),
           'n': (143, 95, 47), 'e': (47, 159, 63)}


CELLS_FILE = 'toolbar.txt'  # the tool-bar cells' pictures, which icons may show too


def read_cells(path, cell):
    """The pictures of the strip's cells: {index: rows of colour letters} (see the file's head)."""
    cells, current, rows = {}, None, []
    for n, line in enumerate(open(path, encoding='ascii'), 1):
        text = line.split('#', 1)[0].strip()
        if not text:
            continue
        f = text.split()
        if f[0] == 'cell':
            if current is not None and len(rows) != cell:
                raise SystemExit(f'{path}:{n}: cell {current} has {len(rows)} rows')
            current, rows = int(f[1]), []
            if current in cells:
                raise SystemExit(f'{path}:{n}: cell {current} given twice')
            if len(f) == 5:
                base = cells.get(int(f[4]))
                if base is None:
                    raise SystemExit(f'{path}:{n}: cell {f[4]} is not drawn before')
                if f[3] == 'mirror':
                    cells[current] = [r[::-1] for r in base]
                elif f[3] == 'flip':
                    cells[current] = base[::-1]
                elif f[3] == 'turn':
                    cells[current] = [''.join(r[x] for r in base) for x in range(cell)]
                else:
                    raise SystemExit(f'{path}:{n}: unknown change {f[3]}')
                current = None
            else:
                cells[current] = rows
            continue
        if current is None or len(f) != 1 or len(text) != cell or any(c != '.' and c not in PALETTE for c in text):
            raise SystemExit(f'{path}:{n}: a row of {cell} colour letters expected')
        rows.append(text)
    if current is not None and len(rows) != cell:
        raise SystemExit(f'{path}:{n}: cell {current} has {len(rows)} rows')
    return cells


def bitmap_file(width, height, rgb, cell, pictures=None):
    """A strip of cells of one colour, every other cell marked; cells with pictures are drawn.
    It is written with a colour table, as tool-bar strips are: the tool bar maps the table's
    button-face grey, white, grey and black to the system's own colours and shows the face
    colour as the button."""
    r, g, b = rgb
    colours = [(r, g, b), (r // 2, g // 2, b // 2)] + list(PALETTE.values())
    index = {c: i for i, c in reversed(list(enumerate(colours)))}
    stride = (width + 3) & ~3
    rows = b''
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            picture = pictures.get(x // cell) if pictures and cell else None
            if picture:
                row.append(index[PALETTE.get(picture[y % cell][x % cell], (r, g, b))])
                continue
            mark = cell and (x // cell + y // cell) % 2 == 0 and (x % cell not in (0, cell - 1))
            row.append(1 if mark else 0)
        row += bytes(stride - len(row))
        rows += bytes(row)
    table = b''.join(bytes((cb, cg, cr, 0)) for cr, cg, cb in colours)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, len(rows), 2835, 2835, len(colours), 0)
    offset = 14 + 40 + len(table)
    return struct.pack('<2sIHHI', b'BM', offset + len(rows), 0, 0, offset) + info + table + rows


def main():
    src, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    rc = ['// Generated by gen_images.py from images.txt; do not edit.']
    seen = set()
    cells = None
    for n, line in enumerate(open(src, encoding='ascii'), 1):
        f = line.split('#', 1)[0].split()
        if not f:
            continue
        kind, ident = f[0], int(f[1])
        if (kind, ident) in seen:
            raise SystemExit(f'{src}:{n}: {kind} {ident} given twice')
        seen.add((kind, ident))
        if kind == 'icon':
            rgb = bytes.fromhex(f[2])
            name = f'icon_{ident}.ico'
            if f[3].startswith('cell:') and cells is None:
                cells = read_cells(os.path.join(os.path.dirname(src), CELLS_FILE), 16)
            data = icon_file(rgb, f[3], cells=cells)
            rc.append(f'{ident} ICON "{name}"')
        elif kind == 'cursor':
            name = f'cursor_{ident}.cur'
            data = cursor_file(f[2], (int(f[3]), int(f[4])))
            rc.append(f'{ident} CURSOR "{name}"')
        elif kind == 'bitmap':
            name = f'bitmap_{ident}.bmp'
            cell = int(f[5])
            pictures = read_cells(os.path.join(os.path.dirname(src), f[6]), cell) if len(f) > 6 else None
            data = bitmap_file(int(f[2]), int(f[3]), bytes.fromhex(f[4]), cell, pictures)
            rc.append(f'{ident} BITMAP "{name}"')
        else:
            raise SystemExit(f'{src}:{n}: unknown kind {kind}')
        with open(os.path.join(out, name), 'wb') as fh:
            fh.write(data)
    with open(os.path.join(out, 'images.rc'), 'w', encoding='ascii') as fh:
        fh.write('\n'.join(rc) + '\n')


main()
