#!/usr/bin/env python3
"""Draws every picture the client names into this folder (RGBA PNG, standard library only)
and lists them in res.qrc.

Each picture is a short list of filled shapes in a 16 x 16 design grid, scaled to the size its use
wants (16 for tree items and menus, 32 for the tool bar and the window icon) and smoothed by
sampling each pixel several times. Run it again after changing a drawing; the PNG files are kept
in the repository so that the build needs no extra step.
"""
import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
GRID = 16          # design units across every picture
SAMPLES = 4        # samples per pixel along each axis

# Colours used by more than one picture.
INK = "#2d2d32"
PAPER = "#fafafa"
SKY = "#78aadc"
GRASS = "#6eb45a"
RED = "#d23228"
GREEN = "#2ec23c"
BLUE = "#3a78c8"
GLASS = "#cfe6fa"
STEEL = "#8c9096"


def rgba(colour):
    """"#rrggbb" or "#rrggbbaa" as four floats in 0..1."""
    v = colour.lstrip("#")
    parts = [int(v[i:i + 2], 16) / 255 for i in range(0, len(v), 2)]
    return parts + [1.0] * (4 - len(parts))


class Canvas:
    """Premultiplied RGBA pixels; shapes are given in design units and painted over in turn."""

    def __init__(self, size):
        self.size = size
        self.k = size / GRID               # pixels per design unit
        self.px = 1 / self.k               # one pixel in design units
        self.pixels = [[0.0] * 4 for _ in range(size * size)]

    def paint(self, bounds, inside, colour):
        """Blends `colour` over every pixel by the share of its samples that `inside` accepts;
        a colour of None clears instead (cuts a hole)."""
        x0, y0, x1, y1 = bounds
        cols = range(max(0, int(x0 * self.k)), min(self.size, int(math.ceil(x1 * self.k))))
        rows = range(max(0, int(y0 * self.k)), min(self.size, int(math.ceil(y1 * self.k))))
        offsets = [(i + 0.5) / SAMPLES for i in range(SAMPLES)]
        src = rgba(colour) if colour else None
        for py in rows:
            for px in cols:
                hits = sum(inside((px + dx) * self.px, (py + dy) * self.px)
                           for dy in offsets for dx in offsets)
                if not hits:
                    continue
                cover = hits / (SAMPLES * SAMPLES)
                dst = self.pixels[py * self.size + px]
                if src is None:
                    for i in range(4):
                        dst[i] *= 1 - cover
                    continue
                a = src[3] * cover
                for i in range(3):
                    dst[i] = src[i] * a + dst[i] * (1 - a)
                dst[3] = a + dst[3] * (1 - a)

    def snap(self, v):
        """A design coordinate moved onto the nearest pixel edge."""
        return round(v * self.k) / self.k

    # -- shapes ---------------------------------------------------------------------------------

    def rect(self, x0, y0, x1, y1, colour):
        self.paint((x0, y0, x1, y1), lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour)

    def box(self, x0, y0, x1, y1, fill, edge):
        """A filled rectangle with a one-pixel border."""
        self.rect(x0, y0, x1, y1, edge)
        self.rect(x0 + self.px, y0 + self.px, x1 - self.px, y1 - self.px, fill)

    def ellipse(self, cx, cy, rx, ry, colour, inner=0.0, sector=None):
        """A disc, or a ring down to `inner` (a share of the radii); `sector` (from, to) in
        degrees, clockwise from the right, keeps only that wedge."""
        def inside(x, y):
            d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
            if not inner * inner <= d <= 1:
                return False
            if sector is None:
                return True
            a = math.degrees(math.atan2(y - cy, x - cx)) % 360
            lo, hi = sector[0] % 360, sector[1] % 360
            return lo <= a <= hi if lo <= hi else a >= lo or a <= hi
        self.paint((cx - rx, cy - ry, cx + rx, cy + ry), inside, colour)

    def disc(self, cx, cy, r, colour, inner=0.0, sector=None):
        self.ellipse(cx, cy, r, r, colour, inner, sector)

    def polygon(self, points, colour):
        def inside(x, y):
            result = False
            j = len(points) - 1
            for i, (xi, yi) in enumerate(points):
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self.paint((min(xs), min(ys), max(xs), max(ys)), inside, colour)

    def line(self, points, width, colour):
        """A stroke through `points` with round ends."""
        h = width / 2
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            def inside(x, y, ax=ax, ay=ay, bx=bx, by=by):
                vx, vy = bx - ax, by - ay
                t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
                return (x - ax - t * vx) ** 2 + (y - ay - t * vy) ** 2 <= h * h
            self.paint((min(ax, bx) - h, min(ay, by) - h, max(ax, bx) + h, max(ay, by) + h),
                       inside, colour)

    def png(self):
        def byte(v):
            return max(0, min(255, round(v * 255)))
        rows = []
        for y in range(self.size):
            row = bytearray(b"\x00")
            for r, g, b, a in self.pixels[y * self.size:(y + 1) * self.size]:
                row += bytes((byte(r / a), byte(g / a), byte(b / a), byte(a)) if a else (0, 0, 0, 0))
            rows.append(bytes(row))

        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data
                    + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

        header = struct.pack(">IIBBBBB", self.size, self.size, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))

    def bmp(self):
        """24-bit Windows bitmap, as the recorder consoles' skins come: what is mostly
        transparent becomes magenta (255, 0, 255), which the console's widgets make clear."""
        def byte(v):
            return max(0, min(255, round(v * 255)))
        pad = (-3 * self.size) % 4
        rows = []
        for y in reversed(range(self.size)):
            row = bytearray()
            for r, g, b, a in self.pixels[y * self.size:(y + 1) * self.size]:
                row += bytes((byte(b / a), byte(g / a), byte(r / a))) if a >= 0.5 else b"\xff\x00\xff"
            rows.append(bytes(row) + bytes(pad))
        data = b"".join(rows)
        info = struct.pack("<IiiHHIIiiII", 40, self.size, self.size, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        return b"BM" + struct.pack("<IHHI", 14 + len(info) + len(data), 0, 0, 14 + len(info)) + info + data


# -- parts shared by several pictures ---------------------------------------------------------

def regular(cx, cy, radii, count, turn=-90.0):
    """Corners of a star or toothed outline: `radii` repeat around the centre."""
    step = 360 / (count * len(radii))
    return [(cx + r * math.cos(math.radians(turn + i * step)),
             cy + r * math.sin(math.radians(turn + i * step)))
            for i, r in enumerate(radii * count)]


def monitor(c):
    """A display on a stand; returns the screen area for what it shows."""
    c.box(1, 2, 15, 12, "#1e3c64", INK)
    c.rect(6, 12, 10, 13.5, STEEL)
    c.rect(4, 13.5, 12, 15, INK)
    return 2, 3, 14, 11


def scene(c, x0, y0, x1, y1):
    """A camera picture: sky over grass."""
    c.rect(x0, y0, x1, y1, SKY)
    c.rect(x0, y0 + (y1 - y0) * 0.6, x1, y1, GRASS)


def play(c, x, y, h, colour=PAPER):
    c.polygon([(x, y), (x, y + h), (x + h * 0.87, y + h / 2)], colour)


def magnifier(c, cx, cy, r, mark=None):
    """A lens with its handle; `mark` "+" or "-" is written in the glass."""
    rim, grip = r * 0.7, r * 1.5
    c.line([(cx + rim, cy + rim), (cx + grip, cy + grip)], r * 0.55, "#6b4a2b")
    c.disc(cx, cy, r, GLASS)
    c.disc(cx, cy, r, INK, inner=0.75)
    if mark:
        c.rect(cx - r * 0.5, cy - r * 0.12, cx + r * 0.5, cy + r * 0.12, INK)
    if mark == "+":
        c.rect(cx - r * 0.12, cy - r * 0.5, cx + r * 0.12, cy + r * 0.5, INK)


def recorder(c, light):
    c.box(1, 5, 15, 12, "#b4b8be", INK)
    c.disc(4, 8.5, 1.5, light)
    c.rect(7, 8, 13, 9, INK)


def camera(c, body):
    """A video camera seen from the side, lens to the right."""
    c.box(1, 6, 11, 13, body, INK)
    c.polygon([(10.5, 9.5), (15, 6.5), (15, 12.5)], INK)
    c.rect(3, 4, 7, 6, INK)


def grid(c, n, cell="#9cc8f0"):
    """n x n equal cells in a frame, centred with a margin of at least one pixel; a cell of
    "scene" is drawn as a camera picture."""
    pitch = (c.size - 3) // n                      # pixels per cell, with one line between
    start = (c.size - n * pitch - 1) // 2
    edges = [(start + i * pitch) * c.px for i in range(n + 1)]
    c.rect(edges[0], edges[0], edges[-1] + c.px, edges[-1] + c.px, "#1e2832")
    for y0, y1 in zip(edges, edges[1:]):
        for x0, x1 in zip(edges, edges[1:]):
            if cell == "scene":
                scene(c, x0 + c.px, y0 + c.px, x1, y1)
            else:
                c.rect(x0 + c.px, y0 + c.px, x1, y1, cell)


def archive_box(c):
    c.box(2, 5, 14, 14, "#c8925a", "#643c1e")
    c.box(1, 2, 15, 5.5, "#dcac78", "#643c1e")
    c.rect(6, 8, 10, 9, "#643c1e")


def gear(c):
    c.polygon(regular(8, 8, [7, 7, 5.2, 5.2], 8, turn=-101), "#5a6470")
    c.disc(8, 8, 4.6, "#8a96a4")
    c.disc(8, 8, 2, None)


def emap(c, land):
    c.box(1, 2, 15, 14, "#78aadc", "#32506e")
    c.polygon([(3, 4), (9, 4), (10, 7), (8, 11), (3, 10)], land)
    c.polygon([(10, 9), (13, 8), (13, 12), (10, 12)], land)
    c.disc(6, 7, 2, RED)
    c.disc(6, 7, 0.8, PAPER)


def info(c):
    c.disc(8, 8, 7.5, BLUE)
    c.disc(8, 4.5, 1.3, PAPER)
    c.rect(7, 7, 9, 12, PAPER)
    c.rect(6, 11, 10, 12.5, PAPER)


def clock_search(c):
    c.disc(7, 7, 6, PAPER)
    c.disc(7, 7, 6, INK, inner=0.82)
    c.line([(7, 3.5), (7, 7), (9.5, 8)], 1.2, INK)
    magnifier(c, 11.5, 11.5, 3)


def live(c):
    x0, y0, x1, y1 = monitor(c)
    scene(c, x0, y0, x1, y1)
    c.disc(4, 5, 1.5, RED)


def player(c):
    monitor(c)
    play(c, 6.5, 4, 6)


def local_player(c):
    """The local backup window: the player's screen over the disk its recordings come from."""
    monitor(c)
    play(c, 5.5, 3.8, 5.5)
    c.box(8, 9.5, 15.5, 15, "#b4b8be", INK)
    c.rect(9.5, 11.5, 14, 12.5, INK)
    c.disc(13.5, 13.8, 0.6, GREEN)


def star(c, fill, edge):
    c.polygon(regular(8, 8.5, [7.5, 3.2], 5), edge)
    c.polygon(regular(8, 8.5, [6.1, 2.6], 5), fill)


def folder(c):
    c.rect(1, 3, 7, 5, "#d6a028")
    c.box(1, 5, 15, 14, "#f0be3c", "#aa7814")


def plug(c, body, apart):
    """A plug at the left and its socket at the right, `apart` units between them."""
    c.line([(0.5, 8), (2.5, 8)], 1.5, INK)
    c.box(2, 5, 7, 11, body, INK)
    c.rect(7, 6.5, 9 - apart, 7.5, STEEL)
    c.rect(7, 8.5, 9 - apart, 9.5, STEEL)
    c.box(9, 4, 14, 12, body, INK)
    c.line([(14, 8), (15.5, 8)], 1.5, INK)


def split(n):
    return 32, lambda c: grid(c, n)


# -- the pictures -----------------------------------------------------------------------------

def draw_root(c):
    c.disc(8, 8, 7, "#285aaa")
    c.disc(8, 8, 5.4, "#5a96e6")
    c.ellipse(8, 8, 2.2, 5.4, "#285aaa", inner=0.6)
    c.rect(2, 7.5, 14, 8.5, "#285aaa")


def draw_camera_loss(c):
    camera(c, "#a0a4aa")
    draw_close(c)


def draw_camera_event(c):
    camera(c, BLUE)
    c.disc(12.5, 3.5, 3.3, RED)
    c.rect(12, 1.3, 13, 4.4, PAPER)
    c.rect(12, 5, 13, 5.9, PAPER)


def draw_archive_drawers(c):
    c.box(2, 1, 14, 15, "#c8925a", "#643c1e")
    for top in (2, 8):
        c.box(3, top, 13, top + 6, "#dcac78", "#643c1e")
        c.rect(6, top + 2, 10, top + 3, "#643c1e")


def draw_archive_file(c):
    c.polygon([(3, 1), (10, 1), (13, 4), (13, 15), (3, 15)], "#787878")
    c.polygon([(4, 2), (9.5, 2), (12, 4.5), (12, 14), (4, 14)], PAPER)
    play(c, 6, 6, 6, BLUE)


def draw_event_bell(c):
    c.polygon([(8, 1.5), (10.5, 2.5), (11.5, 5.5), (12, 9.5), (14.5, 12), (1.5, 12), (4, 9.5),
               (4.5, 5.5), (5.5, 2.5)], "#a06e00")
    c.polygon([(8, 2.7), (9.8, 3.4), (10.6, 6), (11, 9.8), (12.4, 11), (3.6, 11), (5, 9.8),
               (5.4, 6), (6.2, 3.4)], "#f0b429")
    c.disc(8, 13.5, 1.6, "#a06e00")


def draw_film_convert(c):
    c.rect(1, 2, 8, 14, INK)
    for y in range(3, 14, 3):
        c.rect(1.8, y, 2.8, y + 1, PAPER)
        c.rect(6.2, y, 7.2, y + 1, PAPER)
    c.rect(3.5, 4, 5.5, 12, SKY)
    c.rect(8, 7, 11, 9, GREEN)
    c.polygon([(11, 4.5), (15, 8), (11, 11.5)], GREEN)


def draw_chip(c):
    for p in range(5, 12, 2):
        c.rect(p, 2, p + 1, 14, STEEL)
        c.rect(2, p, 14, p + 1, STEEL)
    c.box(4, 4, 12, 12, "#3c3c44", INK)
    c.disc(6, 6, 0.8, "#b4b4b4")


def draw_fullscreen(c):
    c.box(3, 4, 13, 12, "#1e3c64", INK)
    for sx, sy in ((1, 1), (15, 1), (1, 15), (15, 15)):
        dx, dy = (1 if sx < 8 else -1), (1 if sy < 8 else -1)
        c.line([(sx + 3.5 * dx, sy), (sx, sy), (sx, sy + 3.5 * dy)], 1.4, BLUE)


def draw_trash(c):
    c.rect(6, 1.5, 10, 3, INK)
    c.rect(2.5, 3, 13.5, 4.5, INK)
    c.polygon([(3.5, 5), (12.5, 5), (11.5, 15), (4.5, 15)], INK)
    c.polygon([(4.6, 6), (11.4, 6), (10.6, 14), (5.4, 14)], "#a0a4aa")
    for x in (6.5, 9.5):
        c.rect(x - 0.5, 7, x + 0.5, 13, INK)


def draw_pencil(c):
    c.line([(4.5, 11.5), (12, 4)], 3.6, INK)
    c.line([(5, 11), (11.5, 4.5)], 2.2, "#f0c828")
    c.line([(12, 4), (13, 3)], 3.6, "#e67896")
    c.polygon([(1.5, 14.5), (2.8, 10), (6, 13.2)], "#e6c8a0")
    c.polygon([(1.5, 14.5), (2, 12.8), (3.2, 14)], INK)


def draw_floppy(c):
    c.box(2, 2, 14, 14, BLUE, "#1e3c64")
    c.rect(5, 2.5, 11, 6.5, "#c8ccd2")
    c.rect(8.5, 3.2, 10, 5.8, INK)
    c.rect(4, 9, 12, 13.5, PAPER)
    c.rect(5, 10.5, 11, 11, STEEL)


def draw_connect(c):
    plug(c, GREEN, 0)


def draw_disconnect(c):
    plug(c, "#a0a4aa", 2)
    c.line([(7, 3), (9, 13)], 1.4, RED)


def draw_import(c):
    c.box(5, 1, 15, 15, PAPER, "#3c6e3c")
    for y in (4, 7, 10, 13):
        c.rect(6, y, 14, y + 0.6, "#78b478")
    c.rect(9.7, 2, 10.3, 14, "#78b478")
    c.rect(1, 7, 6, 9, BLUE)
    c.polygon([(5.5, 4.5), (9.5, 8), (5.5, 11.5)], BLUE)


def draw_heart(c):
    c.disc(5.2, 6, 3.5, RED)
    c.disc(10.8, 6, 3.5, RED)
    c.polygon([(1.85, 7.2), (14.15, 7.2), (8, 14.5)], RED)
    c.line([(1.5, 8.5), (5.5, 8.5), (6.8, 5), (9, 11.5), (10.3, 8.5), (14.5, 8.5)], 1.1, PAPER)


def draw_cd(c):
    c.disc(8, 8, 7.5, "#9a9ea6")
    c.disc(8, 8, 7, "#dce1e8")
    c.disc(8, 8, 6.5, "#b4d2f0", inner=0.45, sector=(200, 250))
    c.disc(8, 8, 6.5, "#f0d2b4", inner=0.45, sector=(20, 70))
    c.disc(8, 8, 2.6, "#9a9ea6")
    c.disc(8, 8, 1.5, None)


def draw_account(c):
    c.ellipse(8, 16, 6.5, 6.5, BLUE)
    c.disc(8, 5.5, 3.5, "#f0c8a0")
    c.disc(8, 5.5, 3.5, "#8c5a32", sector=(180, 360))
    c.rect(4, 5, 12, 6.5, "#f0c8a0")


def draw_add(c):
    c.rect(6.5, 2, 9.5, 14, "#1e9628")
    c.rect(2, 6.5, 14, 9.5, "#1e9628")
    c.rect(7.2, 2.7, 8.8, 13.3, GREEN)
    c.rect(2.7, 7.2, 13.3, 8.8, GREEN)


def draw_close(c):
    c.line([(3.5, 3.5), (12.5, 12.5)], 2.6, RED)
    c.line([(12.5, 3.5), (3.5, 12.5)], 2.6, RED)


def draw_record(c):
    c.disc(8, 8, 6.5, "#8c1e1e")
    c.disc(8, 8, 5.5, RED)
    c.disc(6.5, 6.5, 1.5, "#f08c8c")


def draw_popup(c):
    c.box(1, 6, 10, 15, "#c8ccd2", INK)
    c.box(6, 1, 15, 10, PAPER, INK)
    c.rect(6, 1, 15, 3, BLUE)
    c.line([(2.5, 13.5), (7, 9)], 1.3, RED)
    c.polygon([(5, 8.5), (8, 8), (7.5, 11)], RED)


def draw_audio(c):
    c.rect(1.5, 6, 4.5, 10, INK)
    c.polygon([(4, 6), (8, 2.5), (8, 13.5), (4, 10)], INK)
    for r in (3.5, 6):
        c.disc(8.5, 8, r, BLUE, inner=(r - 1.2) / r, sector=(-50, 50))


def draw_osd(c):
    x0, y0, x1, y1 = monitor(c)
    scene(c, x0, y0, x1, y1)
    c.rect(3, 4, 8, 5, PAPER)
    c.rect(3, 6, 6, 7, PAPER)
    c.rect(8, 9, 13, 10, "#f0e628")


def draw_freeze(c):
    for angle in (0, 60, 120):
        a = math.radians(angle)
        dx, dy = 6.5 * math.cos(a), 6.5 * math.sin(a)
        c.line([(8 - dx, 8 - dy), (8 + dx, 8 + dy)], 1.4, "#3c8cdc")
    for angle in range(0, 360, 60):
        a = math.radians(angle)
        tx, ty = 8 + 4.5 * math.cos(a), 8 + 4.5 * math.sin(a)
        for side in (-1, 1):
            b = a + side * math.radians(45)
            c.line([(tx, ty), (tx + 2 * math.cos(b), ty + 2 * math.sin(b))], 1.1, "#3c8cdc")


def draw_snapshot(c):
    c.rect(5, 2.5, 10, 4.5, INK)
    c.box(1, 4, 15, 14, "#5a5f66", INK)
    c.disc(8, 9, 3.8, "#c8ccd2")
    c.disc(8, 9, 2.6, "#1e3c64")
    c.disc(7.2, 8.2, 0.8, GLASS)
    c.rect(11.5, 5.5, 13.5, 6.5, "#f0e628")


def draw_calendar(c):
    c.box(1.5, 2.5, 14.5, 14.5, PAPER, INK)
    c.rect(2, 3, 14, 6, RED)
    for x in (4.5, 10.5):
        c.rect(x, 1, x + 1, 4.5, INK)
    for row in range(3):
        for col in range(4):
            c.rect(3 + col * 3, 7.5 + row * 2.2, 4.5 + col * 3, 8.7 + row * 2.2,
                   BLUE if (row, col) == (1, 2) else STEEL)


def draw_museum(c):
    x0, y0, x1, y1 = monitor(c)
    scene(c, x0, y0, x1, y1)
    c.rect(5, 4.5, 11, 9.5, RED)
    c.rect(5.8, 5.3, 10.2, 8.7, None)
    scene(c, 5.8, 5.3, 10.2, 8.7)


def draw_email(c):
    c.box(1, 3, 15, 13, PAPER, INK)
    c.line([(1.5, 3.5), (8, 9), (14.5, 3.5)], 1.1, INK)


def draw_logo(c):
    c.box(0.5, 0.5, 15.5, 15.5, "#1e3c64", INK)
    c.polygon([(3.5, 3.5), (12.5, 3.5), (12.5, 5.5), (6.5, 10.5), (12.5, 10.5), (12.5, 12.5),
               (3.5, 12.5), (3.5, 10.5), (9.5, 5.5), (3.5, 5.5)], PAPER)
    c.disc(12.5, 3.5, 1.5, RED)


# Every picture: file name (as the code spells it, relative to this folder), size in pixels and
# drawing. Tree items and menus use 16; the tool bar (icon size 32) and the window icon use 32.
ICONS = {
    "Resource/root.png": (16, draw_root),
    "Resource/folder.png": (16, folder),
    "Resource/DVR.png": (16, lambda c: recorder(c, GREEN)),
    "Resource/DVRDisable.png": (16, lambda c: recorder(c, "#5a5a5a")),
    "Resource/Camera.png": (16, lambda c: camera(c, BLUE)),
    "Resource/Camera_off.png": (16, lambda c: camera(c, "#a0a4aa")),
    "Resource/Camera_loss.png": (16, draw_camera_loss),
    "Resource/Camera_event.png": (16, draw_camera_event),
    "Resource/favorite.png": (16, lambda c: star(c, "#fac828", "#b47814")),
    "Resource/favoritesitem.png": (16, lambda c: star(c, "#c8c8cd", "#78787d")),
    "Resource/2.png": (16, live),
    "Resource/3.png": (16, clock_search),
    "Resource/4.png": (16, archive_box),
    "Resource/4_Normal.png": (16, draw_archive_drawers),
    "Resource/5.png": (16, lambda c: emap(c, GRASS)),
    "Resource/5_Select.png": (16, lambda c: emap(c, "#fad246")),
    "Resource/6.png": (16, gear),
    "Resource/8.png": (16, info),
    "Resource/9.png": (16, player),
    "Resource/local.png": (16, local_player),
    "Resource/25.png": (16, draw_film_convert),
    "Resource/39.png": (16, draw_chip),
    "Resource/43_Off.png": (16, draw_event_bell),
    "Resource/51.png": (16, draw_fullscreen),
    "Resource/account.png": (16, draw_account),
    "Resource/add.png": (16, draw_add),
    "Resource/archive.png": (16, draw_archive_file),
    "Resource/audio.png": (16, draw_audio),
    "Resource/cd.png": (16, draw_cd),
    "Resource/close.png": (16, draw_close),
    "Resource/connect.png": (16, draw_connect),
    "Resource/delete.png": (16, draw_trash),
    "Resource/disconnect.png": (16, draw_disconnect),
    "Resource/edit.png": (16, draw_pencil),
    "Resource/email.png": (16, draw_email),
    "Resource/find.png": (16, lambda c: magnifier(c, 6.5, 6.5, 5)),
    "Resource/freeze.png": (16, draw_freeze),
    "Resource/health.png": (16, draw_heart),
    "Resource/import.png": (16, draw_import),
    "Resource/multi.png": (16, lambda c: grid(c, 2)),
    "Resource/museum.png": (16, draw_museum),
    "Resource/osd.png": (16, draw_osd),
    "Resource/popup.png": (16, draw_popup),
    "Resource/record.png": (16, draw_record),
    "Resource/save.png": (16, draw_floppy),
    "Resource/seldate.png": (16, draw_calendar),
    "Resource/single.png": (16, lambda c: grid(c, 1)),
    "Resource/snap.png": (16, draw_snapshot),
    "Resource/thumbnail.png": (16, lambda c: grid(c, 3, cell="scene")),
    "Resource/zoom in.png": (16, lambda c: magnifier(c, 6.5, 6.5, 5, "+")),
    "Resource/zoomout.png": (16, lambda c: magnifier(c, 6.5, 6.5, 5, "-")),
    "Resource/split1_3.png": split(1),
    "Resource/split4_3.png": split(2),
    "Resource/split9_3.png": split(3),
    "Resource/split16_3.png": split(4),
    "Resource/split25_1.png": split(5),
    "Resource/split36_1.png": split(6),
    "Resource/split49_1.png": split(7),
    "Resource/split64_1.png": split(8),
    "viewer_normal.PNG": (32, live),
    "search_normal.PNG": (32, clock_search),
    "config_normal.PNG": (32, gear),
    "emap_normal.PNG": (32, lambda c: emap(c, GRASS)),
    "backup_normal.PNG": (32, archive_box),
    "pc_normal.PNG": (32, player),
    "local_normal.PNG": (32, local_player),
    "info_normal.PNG": (32, info),
    "ZENT.PNG": (32, draw_logo),
}


def all_icons():
    """The table above plus the pictures of each subsystem, which live beside this file in
    icons_<subsystem>.py modules with an ICONS table of their own (drawn with the helpers here,
    imported as make_icons), so that subsystems add pictures without touching one shared table."""
    import glob
    import importlib.util
    icons = dict(ICONS)
    for path in sorted(glob.glob(os.path.join(HERE, "icons_*.py"))):
        found = importlib.util.spec_from_file_location(os.path.basename(path)[:-3], path)
        module = importlib.util.module_from_spec(found)
        found.loader.exec_module(module)
        for name, entry in module.ICONS.items():
            if name in icons:
                raise SystemExit("%s: %s is drawn twice" % (os.path.basename(path), name))
            icons[name] = entry
    return icons


def main():
    icons = all_icons()
    for name, (size, draw) in icons.items():
        c = Canvas(size)
        draw(c)
        path = os.path.join(HERE, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(c.bmp() if name.endswith(".bmp") else c.png())
    # The resource list is written from the same table, so that no picture is drawn but left out.
    with open(os.path.join(HERE, "res.qrc"), "w") as f:
        f.write('<RCC>\n    <qresource prefix="/res">\n')
        f.writelines("        <file>%s</file>\n" % name for name in icons)
        f.write("    </qresource>\n</RCC>\n")


if __name__ == "__main__":
    # Subsystem modules import the drawing helpers as make_icons; let them find this copy.
    sys.modules.setdefault("make_icons", sys.modules[__name__])
    main()
