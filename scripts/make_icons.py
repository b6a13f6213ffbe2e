#!/usr/bin/env python3
"""Draws the program's 16x16 tree icons and the 140x140 'no picture' image
as 24-bit Windows bitmaps. Run once; the bitmaps are committed."""
import math
import struct
import sys
from pathlib import Path

MAGENTA = (255, 0, 255)  # transparent key colour of the tree icons


def write_bmp(path, pixels):
    h = len(pixels)
    w = len(pixels[0])
    row_size = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for r, g, b in pixels[y]:
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    Path(path).write_bytes(header + info + data)


def canvas(w, h, colour):
    return [[colour for _ in range(w)] for _ in range(h)]


def rect(p, x0, y0, x1, y1, c):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            p[y][x] = c


def disc(p, cx, cy, r, c):
    for y in range(len(p)):
        for x in range(len(p[0])):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                p[y][x] = c


def star(p, x, y, c):
    for dx, dy in ((0, 0), (1, 0), (-1, 0), (0, 1), (0, -1)):
        if 0 <= x + dx < len(p[0]) and 0 <= y + dy < len(p):
            p[y + dy][x + dx] = c


def moon(p, cx, cy, r, c):
    disc(p, cx, cy, r, c)
    disc(p, cx + r * 0.6, cy - r * 0.3, r * 0.85, MAGENTA)


def icons(folder):
    navy, gold, paper, edge = (40, 50, 120), (240, 200, 60), (250, 250, 240), (90, 90, 110)
    folder_c, folder_d = (230, 180, 70), (170, 120, 30)
    sky = (70, 90, 180)

    p = canvas(16, 16, MAGENTA)  # opened node: an open book under a star
    rect(p, 1, 7, 7, 13, paper); rect(p, 8, 7, 14, 13, paper)
    rect(p, 7, 7, 8, 14, edge)
    for x in range(1, 15):
        p[14][x] = edge
    star(p, 8, 3, gold)
    write_bmp(folder / "opened.bmp", p)

    p = canvas(16, 16, MAGENTA)  # library: three books on a shelf
    for x0, c in ((2, (160, 40, 40)), (6, navy), (10, (40, 120, 60))):
        rect(p, x0, 3, x0 + 3, 13, c)
        rect(p, x0 + 1, 5, x0 + 2, 5, gold)
    rect(p, 1, 14, 14, 14, edge)
    write_bmp(folder / "library.bmp", p)

    p = canvas(16, 16, MAGENTA)  # catalogue: a folder
    rect(p, 1, 3, 6, 5, folder_d)
    rect(p, 1, 5, 14, 13, folder_c)
    rect(p, 1, 13, 14, 13, folder_d)
    write_bmp(folder / "directory.bmp", p)

    p = canvas(16, 16, MAGENTA)  # journal: a page with lines and a moon
    rect(p, 3, 1, 12, 14, paper)
    for y in (1, 14):
        rect(p, 3, y, 12, y, edge)
    for x in (3, 12):
        rect(p, x, 1, x, 14, edge)
    for y in (8, 10, 12):
        rect(p, 5, y, 10, y, (150, 150, 170))
    moon(p, 7, 5, 2.6, navy)
    rect(p, 3, 1, 12, 1, edge)
    write_bmp(folder / "journal.bmp", p)

    p = canvas(16, 16, MAGENTA)  # night: a crescent moon and stars
    moon(p, 7, 8, 6, gold)
    star(p, 13, 3, sky); star(p, 12, 12, sky)
    write_bmp(folder / "night.bmp", p)

    p = canvas(16, 16, MAGENTA)  # dream: a cloud with a star
    for cx, cy, r in ((5, 10, 3.2), (9, 8, 4), (12, 10, 3)):
        disc(p, cx, cy, r, (200, 210, 240))
    rect(p, 3, 11, 13, 13, (200, 210, 240))
    star(p, 4, 3, gold)
    write_bmp(folder / "dream.bmp", p)


def empty(path):
    bg, line = (236, 238, 244), (170, 176, 196)
    p = canvas(140, 140, bg)
    for i in range(140):  # a thin frame
        p[0][i] = p[139][i] = p[i][0] = p[i][139] = line
    for y in range(140):
        for x in range(140):
            d1 = math.hypot(x - 70, y - 70)
            d2 = math.hypot(x - 86, y - 60)
            if d1 <= 34 and d2 > 30 and d1 >= 32.5:
                p[y][x] = line
            elif d2 <= 30 and d2 >= 28.5 and d1 <= 34:
                p[y][x] = line
    write_bmp(path, p)


if __name__ == "__main__":
    out = Path(sys.argv[1] if len(sys.argv) > 1 else "resources")
    (out / "icons").mkdir(parents=True, exist_ok=True)
    icons(out / "icons")
    empty(out / "empty.bmp")
