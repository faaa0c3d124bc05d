#!/usr/bin/env python3
"""Draws the player's skin pictures (standard library only): the bitmaps that the player's
dialogs name by resource number (Quessa/Bitmap/<number>.png), the notice box's set
(KRO/Connect/*.bmp), the time bar's group strip and the program icon (orvane.png).

Every picture is a short list of flat shapes on the player's blue; run the script again after
changing a drawing. The files are kept in the repository so that the build needs no extra step.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

BACK = (59, 91, 134)
DARK = (19, 35, 59)
PANEL = (35, 56, 85)
LIGHT = (212, 230, 255)
WELL = (53, 83, 124)
GLOW = (255, 190, 70)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
GREY = (139, 139, 139)


class Canvas:
    def __init__(self, w, h, colour=BACK):
        self.w, self.h = w, h
        self.px = [list(colour) for _ in range(w * h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = list(c)

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.h, y1)):
            row = y * self.w
            for x in range(max(0, x0), min(self.w, x1)):
                self.px[row + x] = list(c)

    def frame(self, x0, y0, x1, y1, c, width=1):
        self.rect(x0, y0, x1, y0 + width, c)
        self.rect(x0, y1 - width, x1, y1, c)
        self.rect(x0, y0, x0 + width, y1, c)
        self.rect(x1 - width, y0, x1, y1, c)

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        n = max(1, y1 - y0 - 1)
        for y in range(y0, y1):
            t = (y - y0) / n
            c = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
            self.rect(x0, y, x1, y + 1, c)

    def polygon(self, pts, c):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            for x in range(int(min(xs)), int(max(xs)) + 1):
                cx, cy = x + 0.5, y + 0.5
                inside = False
                j = len(pts) - 1
                for i, (xi, yi) in enumerate(pts):
                    xj, yj = pts[j]
                    if (yi > cy) != (yj > cy) and cx < (xj - xi) * (cy - yi) / (yj - yi) + xi:
                        inside = not inside
                    j = i
                if inside:
                    self.set(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(int(cy - r), int(cy + r) + 1):
            for x in range(int(cx - r), int(cx + r) + 1):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def line(self, x0, y0, x1, y1, c, width=2):
        steps = int(max(abs(x1 - x0), abs(y1 - y0))) * 2 + 1
        for i in range(steps + 1):
            t = i / steps
            x, y = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
            self.rect(int(x - width / 2), int(y - width / 2), int(x - width / 2) + width,
                      int(y - width / 2) + width, c)

    def blit(self, other, x0, y0):
        for y in range(other.h):
            for x in range(other.w):
                self.set(x0 + x, y0 + y, other.px[y * other.w + x])

    def bmp(self):
        stride = (self.w * 3 + 3) & ~3
        data = bytearray()
        for y in range(self.h - 1, -1, -1):
            row = bytearray()
            for x in range(self.w):
                r, g, b = self.px[y * self.w + x]
                row += bytes((b, g, r))
            row += b"\0" * (stride - len(row))
            data += row
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        return header + info + bytes(data)

    def png(self):
        rows = b"".join(b"\0" + bytes(v for p in self.px[y * self.w:(y + 1) * self.w] for v in p)
                        for y in range(self.h))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
        head = struct.pack(">IIBBBBB", self.w, self.h, 8, 2, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + chunk(b"IDAT", zlib.compress(rows, 9))
                + chunk(b"IEND", b""))


# -- button faces ------------------------------------------------------------------------------

def face(w, h, state):
    """A button face; state: 0 normal, 1 pressed, 2 checked, 3 checked and pressed."""
    c = Canvas(w, h, DARK)
    pressed = state in (1, 3)
    checked = state in (2, 3)
    top, bottom = ((72, 108, 156), (40, 64, 98)) if not pressed else ((36, 58, 90), (60, 92, 136))
    c.vgradient(1, 1, w - 1, h - 1, top, bottom)
    if checked:
        c.frame(1, 1, w - 1, h - 1, GLOW, 2)
    return c


def grid_mark(n):
    def draw(c, ox, oy, ink):
        size = min(c.w, c.h) - 14
        x0 = (c.w - size) // 2 + ox
        y0 = (c.h - size) // 2 + oy
        c.frame(x0, y0, x0 + size, y0 + size, ink)
        for i in range(1, n):
            p = i * size // n
            c.rect(x0 + p, y0, x0 + p + 1, y0 + size, ink)
            c.rect(x0, y0 + p, x0 + size, y0 + p + 1, ink)
    return draw


def select_all(c, ox, oy, ink):
    grid_mark(4)(c, ox, oy, ink)
    cx, cy = c.w // 2 + ox, c.h // 2 + oy
    c.line(cx - 7, cy, cx - 2, cy + 6, GLOW, 3)
    c.line(cx - 2, cy + 6, cx + 9, cy - 7, GLOW, 3)


def full_screen(c, ox, oy, ink):
    x0, y0, x1, y1 = 9 + ox, 8 + oy, c.w - 9 + ox, c.h - 8 + oy
    c.frame(x0, y0, x1, y1, ink)
    for (ax, ay, dx, dy) in ((x0 + 2, y0 + 2, 1, 1), (x1 - 3, y0 + 2, -1, 1), (x0 + 2, y1 - 3, 1, -1),
                             (x1 - 3, y1 - 3, -1, -1)):
        c.polygon([(ax, ay), (ax + 8 * dx, ay), (ax, ay + 8 * dy)], ink)


def sun(c, ox, oy, ink):
    cx, cy = c.w / 2 + ox, c.h / 2 + oy
    c.disc(cx, cy, 6, ink)
    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1), (0.7, 0.7), (-0.7, 0.7), (0.7, -0.7), (-0.7, -0.7)):
        c.line(cx + dx * 9, cy + dy * 9, cx + dx * 12, cy + dy * 12, ink, 2)


def dots(c, ox, oy, ink):
    cy = c.h / 2 + oy
    for dx in (-9, 0, 9):
        c.disc(c.w / 2 + dx + ox, cy, 3, ink)


def close_mark(c, ox, oy, ink):
    c.line(4 + ox, 4 + oy, c.w - 5 + ox, c.h - 5 + oy, ink, 2)
    c.line(c.w - 5 + ox, 4 + oy, 4 + ox, c.h - 5 + oy, ink, 2)


def minimise_mark(c, ox, oy, ink):
    c.rect(4 + ox, c.h - 6 + oy, c.w - 4 + ox, c.h - 4 + oy, ink)


def triangle(c, cx, cy, size, direction, ink):
    s = size
    if direction > 0:
        c.polygon([(cx - s / 2, cy - s), (cx - s / 2, cy + s), (cx + s / 2 + 2, cy)], ink)
    else:
        c.polygon([(cx + s / 2, cy - s), (cx + s / 2, cy + s), (cx - s / 2 - 2, cy)], ink)


def bar(c, cx, cy, size, ink):
    c.rect(int(cx - 1.5), int(cy - size), int(cx + 1.5), int(cy + size), ink)


def transport(kind):
    """The control bar's symbols: |< >| << >> <| |> < > ||."""
    def draw(c, ox, oy, ink):
        cx, cy, s = c.w / 2 + ox, c.h / 2 + oy, 7
        if kind == "first":
            bar(c, cx - 7, cy, s, ink); triangle(c, cx + 2, cy, s, -1, ink)
        elif kind == "last":
            triangle(c, cx - 2, cy, s, 1, ink); bar(c, cx + 7, cy, s, ink)
        elif kind == "fastback":
            triangle(c, cx - 5, cy, s, -1, ink); triangle(c, cx + 5, cy, s, -1, ink)
        elif kind == "fastfwd":
            triangle(c, cx - 5, cy, s, 1, ink); triangle(c, cx + 5, cy, s, 1, ink)
        elif kind == "stepback":
            triangle(c, cx - 3, cy, s, -1, ink); bar(c, cx + 7, cy, s, ink)
        elif kind == "stepfwd":
            bar(c, cx - 7, cy, s, ink); triangle(c, cx + 3, cy, s, 1, ink)
        elif kind == "back":
            triangle(c, cx, cy, s, -1, ink)
        elif kind == "play":
            triangle(c, cx, cy, s, 1, ink)
        elif kind == "pause":
            bar(c, cx - 4, cy, s, ink); bar(c, cx + 4, cy, s, ink)
        elif kind == "stop":
            c.rect(int(cx - 6), int(cy - 6), int(cx + 6), int(cy + 6), ink)
    return draw


def letters(word):
    """Block capitals of a 3 x 5 font for the few short captions the skins carry."""
    font = {
        "A": ["010", "101", "111", "101", "101"], "C": ["011", "100", "100", "100", "011"],
        "D": ["110", "101", "101", "101", "110"], "E": ["111", "100", "110", "100", "111"],
        "I": ["111", "010", "010", "010", "111"], "O": ["010", "101", "101", "101", "010"],
        "P": ["110", "101", "110", "100", "100"], "S": ["011", "100", "010", "001", "110"],
        "V": ["101", "101", "101", "101", "010"],
    }

    def draw(c, ox, oy, ink):
        scale = 2
        width = len(word) * 4 * scale - scale
        x = (c.w - width) // 2 + ox
        y = (c.h - 5 * scale) // 2 + oy
        for ch in word:
            for row, bits in enumerate(font[ch]):
                for col, bit in enumerate(bits):
                    if bit == "1":
                        c.rect(x + col * scale, y + row * scale, x + (col + 1) * scale, y + (row + 1) * scale, ink)
            x += 4 * scale
    return draw


def speaker(c, ox, oy, ink):
    cx, cy = c.w / 2 + ox - 3, c.h / 2 + oy
    c.rect(int(cx - 6), int(cy - 3), int(cx - 2), int(cy + 3), ink)
    c.polygon([(cx - 2, cy - 3), (cx + 3, cy - 8), (cx + 3, cy + 8), (cx - 2, cy + 3)], ink)
    c.line(cx + 6, cy - 4, cx + 8, cy, ink, 1)
    c.line(cx + 8, cy, cx + 6, cy + 4, ink, 1)


def printer(c, ox, oy, ink):
    cx, cy = c.w // 2 + ox, c.h // 2 + oy
    c.frame(cx - 5, cy - 9, cx + 5, cy - 3, ink, 1)      # the sheet going in
    c.rect(cx - 9, cy - 3, cx + 9, cy + 4, ink)          # the body
    c.rect(cx - 5, cy + 4, cx + 5, cy + 9, WHITE)        # the printed sheet
    c.rect(cx - 3, cy + 6, cx + 3, cy + 7, DARK)


MAGENTA = (255, 0, 255)


def button(w, h, mark, state):
    c = face(w, h, state)
    shift = 1 if state in (1, 3) else 0
    mark(c, shift, shift, GLOW if state in (2, 3) else LIGHT)
    return c


# -- the dialog's own skin (bitmap 302, 800 x 600) ----------------------------------------------

def main_skin():
    c = Canvas(800, 600, BACK)
    # Top right: title strip behind the minimise and close buttons and the version text.
    c.vgradient(600, 0, 800, 200, (70, 106, 152), BACK)
    c.rect(600, 0, 800, 36, (44, 70, 106))
    c.rect(600, 36, 800, 38, DARK)
    # Logo: a film frame with a play mark.
    c.frame(624, 52, 776, 84, LIGHT, 2)
    for x in range(630, 772, 12):
        c.rect(x, 55, x + 6, 58, LIGHT)
        c.rect(x, 78, x + 6, 81, LIGHT)
    triangle(c, 700, 68, 6, 1, GLOW)
    # Middle right, stretched downwards: the well behind the backup folder tree.
    c.rect(600, 200, 800, 400, BACK)
    c.rect(622, 200, 767, 400, DARK)
    # Bottom right (drawn over the stretched part): panel behind the buttons.
    c.rect(600, 350, 800, 600, BACK)
    c.rect(622, 350, 767, 397, DARK)
    c.rect(612, 418, 772, 472, PANEL)
    c.frame(612, 418, 772, 472, DARK)
    c.rect(617, 472, 767, 570, PANEL)
    c.frame(617, 472, 767, 570, DARK)
    # Bottom strip behind the playback control bar.
    c.rect(10, 500, 600, 600, BACK)
    c.rect(45, 520, 557, 582, PANEL)
    c.frame(45, 520, 557, 582, DARK, 2)
    return c


def writer(name, canvas, kind="bmp"):
    path = os.path.join(HERE, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if name.endswith(".png"):
        kind = "png"
    with open(path, "wb") as f:
        f.write(canvas.bmp() if kind == "bmp" else canvas.png())


def main():
    bmp = "Quessa/Bitmap/%d.png"
    writer(bmp % 302, main_skin())
    # Minimise and close (one picture for all four states each).
    writer(bmp % 230, button(16, 16, minimise_mark, 0))
    writer(bmp % 231, button(16, 16, close_mark, 0))
    # Layout buttons 42 x 39: normal, pressed, checked.
    layout = {(233, 234, 232): grid_mark(1), (237, 238, 239): grid_mark(2), (240, 241, 242): grid_mark(3),
              (243, 244, 245): grid_mark(4)}
    for (normal, pressed, checked), mark in layout.items():
        writer(bmp % normal, button(42, 39, mark, 0))
        writer(bmp % pressed, button(42, 39, mark, 1))
        writer(bmp % checked, button(42, 39, mark, 2))
    writer(bmp % 246, button(42, 39, select_all, 0))
    writer(bmp % 247, button(42, 39, select_all, 1))
    writer(bmp % 248, button(42, 39, full_screen, 0))
    writer(bmp % 236, button(42, 39, full_screen, 1))
    # Panel buttons 47 x 34.
    for ids, mark in (((250, 251, 252), sun), ((256, 257, 249), grid_mark(2)), ((253, 254, 255), dots)):
        for state, number in enumerate(ids):
            writer(bmp % number, button(47, 34, mark, state))
    # Control bar: nine buttons, four pictures each, 258 … 293.
    kinds = ["first", "last", "fastback", "fastfwd", "stepback", "stepfwd", "back", "play", "pause"]
    for i, kind in enumerate(kinds):
        for state in range(4):
            writer(bmp % (258 + i * 4 + state), button(45, 40, transport(kind), state))
    # Wait box: animation strip, background and its Cancel button.
    strip = Canvas(160, 40, PANEL)
    for frame in range(4):
        for k in range(4):
            colour = GLOW if k == frame else LIGHT
            x, y = [(12, 12), (28, 12), (28, 28), (12, 28)][k]
            strip.disc(frame * 40 + x, y, 5, colour)
    writer(bmp % 298, strip)
    box = Canvas(319, 175, PANEL)
    box.vgradient(0, 0, 319, 175, (72, 108, 156), (30, 50, 80))
    box.frame(0, 0, 319, 175, DARK, 3)
    writer(bmp % 299, box)
    writer(bmp % 300, face(107, 26, 0))
    writer(bmp % 301, face(107, 26, 1))
    # avi, OSD, CAP and Live Audio.
    small = {(304, 306): letters("AVI"), (307, 308): letters("CAP"), (309, 305): letters("OSD"),
             (311, 310): speaker}
    for (normal, pressed), mark in small.items():
        writer(bmp % normal, button(42, 24, mark, 0))
        writer(bmp % pressed, button(42, 24, mark, 1))
    # Image adjust panel and tools popup backgrounds, the adjust sliders' groove and thumb.
    back = Canvas(160, 100, PANEL)
    back.vgradient(0, 0, 160, 100, (72, 108, 156), (30, 50, 80))
    back.frame(0, 0, 160, 100, DARK, 2)
    writer(bmp % 294, back)
    # The tools popup: a panel with a pointer on its right towards the tool buttons; magenta
    # around it is left out of the window's shape.
    tools = Canvas(140, 100, MAGENTA)
    tools.rect(30, 4, 110, 96, DARK)
    tools.vgradient(32, 6, 108, 94, (72, 108, 156), (30, 50, 80))
    tools.polygon([(110, 40), (132, 50), (110, 60)], DARK)
    tools.polygon([(108, 43), (127, 50), (108, 57)], (50, 78, 115))
    writer(bmp % 295, tools)
    # Its two buttons, 40 x 27: "AVI Convert" (318 up, 315 down), "Print && Save" (316, 317).
    for (normal, pressed), mark in (((318, 315), letters("AVI")), ((316, 317), printer)):
        writer(bmp % normal, button(40, 27, mark, 0))
        writer(bmp % pressed, button(40, 27, mark, 1))
    # The adjust sliders: channel 101 x 14 (normal 133, active 134) and thumb 14 x 10 (normal 135,
    # pressed 136); the top-left pixel's colour is the transparent one.
    for number, fill in ((133, LIGHT), (134, GLOW)):
        channel = Canvas(101, 14, MAGENTA)
        channel.rect(2, 5, 99, 9, DARK)
        channel.rect(3, 6, 98, 8, fill)
        writer(bmp % number, channel)
    for number, colour in ((135, LIGHT), (136, GLOW)):
        thumb = Canvas(14, 10, MAGENTA)
        thumb.rect(1, 0, 13, 10, DARK)
        thumb.rect(2, 1, 12, 9, colour)
        writer(bmp % number, thumb)
    # The marks blended into stills and exported frames, 59 x 33: a dark emblem (a framed "Z")
    # on white, which the blend leaves alone; 194 is the same emblem outlined only.
    for number, solid in ((193, True), (194, False)):
        mark = Canvas(59, 33, WHITE)
        emblem = (0, 60, 140)
        mark.frame(0, 0, 59, 33, emblem, 3)
        if solid:
            mark.rect(14, 7, 45, 11, emblem)
            mark.rect(14, 22, 45, 26, emblem)
            mark.polygon([(40, 11), (45, 11), (19, 22), (14, 22)], emblem)
        else:
            mark.frame(14, 7, 45, 26, emblem, 2)
            mark.line(43, 9, 16, 24, emblem, 2)
        writer(bmp % number, mark)
    volume = Canvas(80, 14, PANEL)
    volume.polygon([(2, 11), (78, 2), (78, 11)], LIGHT)
    writer(bmp % 312, volume)
    # The time bar's strip: which four tiles the rows belong to (100 x 60 per group).
    groups = Canvas(400, 60, (189, 189, 189))
    for g in range(4):
        for k in range(4):
            tile = g * 4 + k
            x0, y0 = g * 100 + 8 + (k % 2) * 44, 6 + (k // 2) * 26
            groups.rect(x0, y0, x0 + 40, y0 + 22, BACK if k else GLOW)
            for bit in range(4):
                if tile & (1 << (3 - bit)):
                    groups.rect(x0 + 4 + bit * 9, y0 + 8, x0 + 10 + bit * 9, y0 + 14, WHITE)
    writer("Quessa/Bitmap/timegroups.png", groups)
    # The notice box's own set.
    writer("KRO/Connect/BackGround.bmp", box)
    writer("KRO/Connect/ConnectAni.bmp", strip)
    writer("KRO/Connect/Button1.bmp", face(107, 26, 0))
    writer("KRO/Connect/Button2.bmp", face(107, 26, 1))
    # The calendar search's set: day buttons (normal, pressed, selected, inactive) and Ok/Close.
    writer("Quessa/Search/ButtonDay1.bmp", face(28, 22, 2))
    writer("Quessa/Search/ButtonDay2.bmp", face(28, 22, 0))
    writer("Quessa/Search/ButtonDay3.bmp", face(28, 22, 1))
    inactive = Canvas(28, 22, DARK)
    inactive.rect(1, 1, 27, 21, (88, 88, 88))
    writer("Quessa/Search/ButtonDay4.bmp", inactive)
    writer("Quessa/Search/Button1.bmp", face(72, 24, 0))
    writer("Quessa/Search/Button2.bmp", face(72, 24, 1))
    # Program icon.
    icon = Canvas(48, 48, BACK)
    icon.frame(0, 0, 48, 48, DARK, 3)
    icon.rect(8, 12, 40, 36, DARK)
    triangle(icon, 24, 24, 8, 1, GLOW)
    writer("orvane.png", icon, "png")
    # The resource file that embeds the numbered bitmaps and the icon.
    names = sorted(os.listdir(os.path.join(HERE, "Quessa/Bitmap")))
    lines = ['<RCC>', '  <qresource prefix="/orvane">']
    lines += ['    <file alias="bmp/%s">Quessa/Bitmap/%s</file>' % (n, n) for n in names]
    lines += ['    <file alias="orvane.png">orvane.png</file>', '  </qresource>', '</RCC>', '']
    with open(os.path.join(HERE, "skins.qrc"), "w") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
