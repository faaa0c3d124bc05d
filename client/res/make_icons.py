#!/usr/bin/env python3
"""Draws the small site book tree icons (16 x 16 RGBA PNG) into Resource/.

Run it again after changing a drawing; the PNG files are kept in the repository so that the
build needs no extra step.
"""
import math
import os
import struct
import zlib

SIZE = 16
HERE = os.path.dirname(os.path.abspath(__file__))


def png(pixels):
    raw = b"".join(b"\x00" + bytes(v for px in row for v in px) for row in pixels)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def canvas():
    return [[(0, 0, 0, 0) for _ in range(SIZE)] for _ in range(SIZE)]


def rect(p, x0, y0, x1, y1, colour):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            p[y][x] = colour


def frame(p, x0, y0, x1, y1, colour):
    for x in range(x0, x1 + 1):
        p[y0][x] = p[y1][x] = colour
    for y in range(y0, y1 + 1):
        p[y][x0] = p[y][x1] = colour


def disc(p, cx, cy, r, colour):
    for y in range(SIZE):
        for x in range(SIZE):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                p[y][x] = colour


def star(p, colour, edge):
    # A five-pointed star: a point is inside when it lies inside the star polygon.
    pts = []
    for i in range(10):
        r = 7.5 if i % 2 == 0 else 3.2
        a = -math.pi / 2 + i * math.pi / 5
        pts.append((8 + r * math.cos(a), 8.3 + r * math.sin(a)))
    for y in range(SIZE):
        for x in range(SIZE):
            px, py = x + 0.5, y + 0.5
            inside = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]
                xj, yj = pts[j]
                if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                    inside = not inside
                j = i
            if inside:
                p[y][x] = colour
    filled = [row[:] for row in p]
    for y in range(SIZE):
        for x in range(SIZE):
            if filled[y][x] == colour and any(
                    not (0 <= x + dx < SIZE and 0 <= y + dy < SIZE)
                    or filled[y + dy][x + dx] != colour
                    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                p[y][x] = edge


def folder():
    p = canvas()
    rect(p, 1, 3, 6, 4, (214, 160, 40, 255))
    rect(p, 1, 5, 14, 13, (240, 190, 60, 255))
    frame(p, 1, 5, 14, 13, (170, 120, 20, 255))
    return p


def recorder(colour):
    p = canvas()
    rect(p, 1, 5, 14, 11, (90, 90, 95, 255))
    frame(p, 1, 5, 14, 11, (40, 40, 45, 255))
    rect(p, 3, 8, 4, 9, colour)
    rect(p, 7, 8, 12, 8, (150, 150, 155, 255))
    return p


def root():
    p = canvas()
    disc(p, 8, 8, 7, (40, 90, 170, 255))
    disc(p, 8, 8, 5, (90, 150, 230, 255))
    rect(p, 3, 7, 12, 8, (40, 90, 170, 255))
    rect(p, 7, 3, 8, 12, (40, 90, 170, 255))
    return p


def archive():
    p = canvas()
    rect(p, 2, 4, 13, 13, (160, 110, 60, 255))
    frame(p, 2, 4, 13, 13, (100, 65, 30, 255))
    rect(p, 1, 2, 14, 4, (190, 140, 80, 255))
    frame(p, 1, 2, 14, 4, (100, 65, 30, 255))
    rect(p, 6, 7, 9, 8, (100, 65, 30, 255))
    return p


def emap(selected):
    p = canvas()
    land = (110, 180, 90, 255) if not selected else (250, 210, 70, 255)
    rect(p, 1, 2, 14, 13, (120, 170, 220, 255))
    rect(p, 3, 4, 9, 10, land)
    rect(p, 10, 8, 12, 11, land)
    frame(p, 1, 2, 14, 13, (50, 80, 120, 255))
    disc(p, 6, 7, 1.6, (210, 40, 40, 255))
    return p


def favorite(on):
    p = canvas()
    if on:
        star(p, (250, 200, 40, 255), (180, 120, 10, 255))
    else:
        star(p, (200, 200, 205, 255), (120, 120, 125, 255))
    return p


ICONS = {
    "root.png": root,
    "folder.png": folder,
    "DVRDisable.png": lambda: recorder((150, 40, 40, 255)),
    "4.png": archive,
    "5.png": lambda: emap(False),
    "5_Select.png": lambda: emap(True),
    "favorite.png": lambda: favorite(True),
    "favoritesitem.png": lambda: favorite(False),
}


def main():
    out = os.path.join(HERE, "Resource")
    os.makedirs(out, exist_ok=True)
    for name, draw in ICONS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(png(draw()))


if __name__ == "__main__":
    main()
