#!/usr/bin/env python3
"""Draws the tree's expand, collapse and leaf button glyphs.

Run from this folder: python3 make_glyphs.py. Writes plus.bmp, minus.bmp and
leaf.bmp: 10 x 10 pixels, 24 bits, in the three colours the tree recolours at
start-up (black: the sign, in the window-text colour; grey 0x808080: the
box, in the button-shadow colour; white: the inside and the margin, in the
window colour). The pixel at (1, 8) is inside the box: the transparent
colour when buttons are drawn transparent."""
import struct

BLACK, GREY, WHITE = (0, 0, 0), (128, 128, 128), (255, 255, 255)


def bmp24(rows):
    h, w = len(rows), len(rows[0])
    stride = ((w * 3 + 3) // 4) * 4
    pixels = b''
    for row in reversed(rows):
        line = b''.join(struct.pack('<BBB', b, g, r) for (r, g, b) in row)
        pixels += line + b'\0' * (stride - len(line))
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    off = 14 + len(info)
    head = struct.pack('<2sIHHI', b'BM', off + len(pixels), 0, 0, off)
    return head + info + pixels


def glyph(kind):
    n = 10
    rows = [[WHITE] * n for _ in range(n)]
    # The box covers (0, 1) to (8, 9).
    for i in range(9):
        rows[1][i] = rows[9][i] = GREY
        rows[1 + i][0] = rows[1 + i][8] = GREY
    if kind == 'leaf':
        rows[5][4] = BLACK
    else:
        for x in range(2, 7):
            rows[5][x] = BLACK
        if kind == 'plus':
            for y in range(3, 8):
                rows[y][4] = BLACK
    return rows


for name in ('plus', 'minus', 'leaf'):
    with open(name + '.bmp', 'wb') as f:
        f.write(bmp24(glyph(name)))
