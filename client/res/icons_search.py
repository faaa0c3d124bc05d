"""Pictures of the search windows, drawn with the helpers of make_icons.

The 24-hour time line is not a square icon: it is a strip one pixel per minute of the day (1441
pixels, so that the last 960-pixel view ends on minute 1440) and 110 pixels high, drawn pixel by
pixel on a canvas of its own size.
"""
import struct
import zlib

import make_icons

TIMELINE_WIDTH = 1441
TIMELINE_HEIGHT = 110

# A 3 x 5 pixel figure per digit, rows top to bottom, "#" set.
DIGITS = {
    "0": ["###", "#.#", "#.#", "#.#", "###"],
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["###", "..#", "###", "#..", "###"],
    "3": ["###", "..#", ".##", "..#", "###"],
    "4": ["#.#", "#.#", "###", "..#", "..#"],
    "5": ["###", "#..", "###", "..#", "###"],
    "6": ["###", "#..", "###", "#.#", "###"],
    "7": ["###", "..#", ".#.", ".#.", ".#."],
    "8": ["###", "#.#", "###", "#.#", "###"],
    "9": ["###", "#.#", "###", "..#", "###"],
}


class StripCanvas(make_icons.Canvas):
    """An opaque RGB strip of any width and height, painted pixel by pixel."""

    def reshape(self, width, height, colour):
        self.width = width
        self.height = height
        self.rows = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, colour)

    def text(self, x, y, digits, colour, scale=2):
        for i, d in enumerate(digits):
            for row, line in enumerate(DIGITS[d]):
                for col, mark in enumerate(line):
                    if mark == "#":
                        self.fill(x + (i * 4 + col) * scale, y + row * scale,
                                  x + (i * 4 + col + 1) * scale, y + (row + 1) * scale, colour)

    def png(self):
        raw = b"".join(b"\x00" + b"".join(bytes(_rgb(c)) for c in row) for row in self.rows)

        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data
                    + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def _rgb(colour):
    v = colour.lstrip("#")
    return [int(v[i:i + 2], 16) for i in (0, 2, 4)]


def draw_timeline(c):
    """Hour and ten-minute ticks with the hour figures above the record band (y 77 to 80), which
    the window marks blue for recorded and red for event minutes; thumbnails go at y 5 to 74."""
    c.__class__ = StripCanvas
    c.reshape(TIMELINE_WIDTH, TIMELINE_HEIGHT, "#3c3f46")
    c.fill(0, 76, TIMELINE_WIDTH, 82, "#24262b")      # the record band
    c.fill(0, 88, TIMELINE_WIDTH, 89, "#6c707a")      # base line of the scale
    for minute in range(0, TIMELINE_WIDTH, 10):
        hour = minute % 60 == 0
        c.fill(minute, 89, minute + 1, 96 if hour else 92, "#d0d4dc" if hour else "#8a8f99")
        if hour:
            label = "%02d" % (minute // 60)
            c.text(minute + 3 if minute < 1440 else minute - 16, 98, label, "#e6e9ef", scale=1)


ICONS = {
    "Resource/timeline.png": (16, draw_timeline),
}
