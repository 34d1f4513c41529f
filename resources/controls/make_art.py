#!/usr/bin/env python3
"""Draws the header's sort and lookup marks and the column-split cursor.

Run from this folder: python3 make_art.py. Writes ascsort.bmp, descsort.bmp,
lookup.bmp (16-colour bitmaps whose bottom-left pixel is the transparent
colour) and hsplit.cur (32x32 monochrome, hot spot in the middle)."""
import struct

# 16-colour palette: the standard VGA colours (B, G, R, 0).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]  # (R, G, B)
BACK = 13   # magenta: the transparent colour, never part of a mark
SHADE = 8   # grey


def bmp4(rows):
    """rows: top-down lists of palette indexes."""
    h, w = len(rows), len(rows[0])
    stride = ((w * 4 + 31) // 32) * 4
    pixels = b''
    for row in reversed(rows):
        line = bytearray(stride)
        for x, v in enumerate(row):
            line[x // 2] |= v << (4 if x % 2 == 0 else 0)
        pixels += bytes(line)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 4, 0, len(pixels), 2835, 2835, 16, 16)
    off = 14 + len(info) + len(pal)
    head = struct.pack('<2sIHHI', b'BM', off + len(pixels), 0, 0, off)
    return head + info + pal + pixels


def triangle(widths, w, h):
    rows = [[BACK] * w for _ in range(h)]
    for y, n in enumerate(widths):
        if n:
            start = (w - n) // 2
            for x in range(start, start + n):
                rows[y][x] = SHADE
    return rows


def cursor():
    w = h = 32
    # 1 = black stroke, 2 = white outline, 0 = transparent
    img = [[0] * w for _ in range(h)]

    def put(x, y, v):
        if 0 <= x < w and 0 <= y < h:
            img[y][x] = v
    # Two upright bars in the middle.
    for y in range(8, 24):
        for x in (14, 17):
            put(x, y, 1)
    # Arrows to the left and right.
    for x in range(6, 14):
        put(x, 15, 1), put(x, 16, 1)
    for x in range(18, 26):
        put(x, 15, 1), put(x, 16, 1)
    for d in range(1, 4):
        for y in range(15 - d, 17 + d):
            put(6 + d, y, 1)
            put(25 - d, y, 1)
    # White outline around every black pixel.
    black = [(x, y) for y in range(h) for x in range(w) if img[y][x] == 1]
    for x, y in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if 0 <= x + dx < w and 0 <= y + dy < h and img[y + dy][x + dx] == 0:
                    img[y + dy][x + dx] = 2
    xor = b''
    andm = b''
    for y in reversed(range(h)):
        xb = bytearray(4)
        ab = bytearray(4)
        for x in range(w):
            v = img[y][x]
            bit = 0x80 >> (x % 8)
            if v == 0:
                ab[x // 8] |= bit          # transparent: AND 1, XOR 0
            elif v == 2:
                xb[x // 8] |= bit          # white: AND 0, XOR 1
        xor += bytes(xb)
        andm += bytes(ab)
    info = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 2)
    pal = struct.pack('<BBBBBBBB', 0, 0, 0, 0, 255, 255, 255, 0)
    data = info + pal + xor + andm
    head = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', w, h, 0, 0, 16, 16, len(data), 22)
    return head + entry + data


def main():
    open('ascsort.bmp', 'wb').write(bmp4(triangle([1, 3, 5, 7, 9, 0], 9, 6)))
    open('descsort.bmp', 'wb').write(bmp4(triangle([9, 7, 5, 3, 1, 0], 9, 6)))
    lookup = triangle([0, 5, 3, 1, 0], 5, 5)
    for y in range(5):
        for x in range(5):
            if lookup[y][x] == SHADE:
                lookup[y][x] = 0  # black
    open('lookup.bmp', 'wb').write(bmp4(lookup))
    open('hsplit.cur', 'wb').write(cursor())


if __name__ == '__main__':
    main()
