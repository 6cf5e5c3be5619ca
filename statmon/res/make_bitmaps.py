#!/usr/bin/env python3
"""Draws the pictures of statmon.exe: the window backgrounds, the toner gauge
set, the pictures of the low-toner, large and order toner windows, and the
link cursor.

The files beside this script are its output and are kept in the source tree,
so the build needs no Python. Run it again after changing a drawing:
    python3 statmon/res/make_bitmaps.py
Bitmaps are 8-bit, run-length encoded (BI_RLE8); the cursor is monochrome.
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
# The run-length coding is the skins' own (media/res/bmpdraw.py).
sys.path.insert(0, os.path.join(HERE, "..", "..", "media", "res"))
sys.dont_write_bytecode = True  # no __pycache__ in the source tree
from bmpdraw import rle8_rows  # noqa: E402
BAND = (0, 99, 206)  # the windows' left band
WHITE = (255, 255, 255)


def write_bmp(name, width, height, palette, pixels):
    data = rle8_rows(pixels, width, height)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(data), 2835, 2835, len(palette), 0)
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + len(header) + len(table)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + header + table + data)


class Canvas:
    def __init__(self, width, height, palette, fill=0):
        self.w, self.h, self.palette = width, height, list(palette)
        self.px = bytearray([fill]) * (width * height)

    def colour(self, rgb):
        if rgb not in self.palette:
            self.palette.append(rgb)
        return self.palette.index(rgb)

    def set(self, x, y, rgb):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = self.colour(rgb)

    def rect(self, x0, y0, x1, y1, rgb):  # inclusive-exclusive
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.set(x, y, rgb)

    def save(self, name, mirror=False):
        px = self.px
        if mirror:
            px = bytearray(len(px))
            for y in range(self.h):
                for x in range(self.w):
                    px[y * self.w + x] = self.px[y * self.w + self.w - 1 - x]
        write_bmp(name, self.w, self.h, self.palette, px)


def printer_icon(c, ox, oy, ink):
    c.rect(ox + 8, oy, ox + 24, oy + 8, ink)           # paper in
    c.rect(ox + 10, oy + 2, ox + 22, oy + 8, BAND)
    c.rect(ox, oy + 8, ox + 32, oy + 22, ink)          # body
    c.rect(ox + 24, oy + 11, ox + 28, oy + 14, (120, 220, 120))  # ready lamp
    c.rect(ox + 6, oy + 18, ox + 26, oy + 28, ink)     # paper out
    c.rect(ox + 8, oy + 22, ox + 24, oy + 23, BAND)
    c.rect(ox + 8, oy + 25, ox + 20, oy + 26, BAND)


def background(name, mirror):
    c = Canvas(48, 120, [BAND])
    printer_icon(c, 8, 16, WHITE)
    c.save(name, mirror)


def low_toner():
    c = Canvas(48, 120, [BAND])
    yellow, black = (255, 210, 0), (0, 0, 0)
    for y in range(28):  # a warning triangle
        half = y * 16 // 27
        c.rect(24 - half - 1, 14 + y, 24 + half + 1, 15 + y, yellow)
    c.rect(22, 21, 26, 34, black)
    c.rect(22, 36, 26, 40, black)
    c.save("low_toner.bmp")


def cartridge_rule():
    c = Canvas(370, 6, [WHITE])
    for x in range(370):
        t = (x // 8) * 8 / 369  # steps, so the palette stays small
        shade = (int(0 + 200 * t), int(99 + 130 * t), int(206 + 45 * t))
        c.rect(x, 2, x + 1, 4, shade)
    c.save("cartridge_rule.bmp")


def phone():
    c = Canvas(40, 40, [WHITE])
    for y in range(40):
        for x in range(40):
            # a handset: two ear pieces joined by an arc
            d = math.hypot(x - 20, y - 26)
            if 14 <= d <= 19 and y <= 26:
                c.set(x, y, BAND)
    c.rect(1, 22, 10, 32, BAND)
    c.rect(30, 22, 39, 32, BAND)
    c.rect(12, 30, 28, 38, BAND)
    c.rect(17, 32, 23, 35, WHITE)
    c.save("phone.bmp")


def web():
    c = Canvas(48, 48, [WHITE])
    for y in range(48):
        for x in range(48):
            dx, dy = x - 23.5, y - 23.5
            d = math.hypot(dx, dy)
            if d > 21:
                continue
            edge = d > 19
            meridian = abs(dx) < 1.2 or abs(math.hypot(dx * 2.2, dy) - 21) < 1.6
            parallel = abs(dy) < 1.2 or abs(abs(dy) - 11) < 1.0
            c.set(x, y, BAND if edge or meridian or parallel else (205, 228, 250))
    c.save("web.bmp")


def gauge(name, level, fill, unknown=False):
    """A cartridge standing upright, filled from the bottom to `level` per cent."""
    w, h = 32, 100
    c = Canvas(w, h, [WHITE])
    frame, empty = (90, 90, 90), (232, 232, 232)
    c.rect(0, 0, w, h, frame)
    c.rect(2, 2, w - 2, h - 2, empty)
    inner = h - 4
    top = 2 + inner - round(inner * level / 100)
    if level:
        c.rect(2, top, w - 2, h - 2, fill)
    for mark in (25, 50, 75):  # scale marks
        y = 2 + inner - inner * mark // 100
        c.rect(2, y, 8, y + 1, frame)
    if unknown:  # a question mark
        q = (120, 120, 120)
        c.rect(10, 30, 22, 34, q)
        c.rect(18, 30, 22, 46, q)
        c.rect(14, 44, 22, 48, q)
        c.rect(14, 44, 18, 56, q)
        c.rect(14, 62, 18, 67, q)
    c.save(name)


background("background.bmp", mirror=False)
background("background_rtl.bmp", mirror=True)
low_toner()
cartridge_rule()
phone()
web()
gauge("gauge_empty.bmp", 5, (220, 0, 0))
gauge("gauge_20.bmp", 20, (255, 140, 0))
gauge("gauge_40.bmp", 40, (200, 200, 0))
gauge("gauge_60.bmp", 60, (110, 190, 40))
gauge("gauge_80.bmp", 80, (40, 170, 60))
gauge("gauge_100.bmp", 100, (0, 150, 70))
gauge("gauge_unknown.bmp", 0, (0, 0, 0), unknown=True)


def cursor():
    """A pointing hand, 32 x 32, hot spot at the finger tip."""
    shape = [
        "      XX        ",
        "     X..X       ",
        "     X..X       ",
        "     X..X       ",
        "     X..XXX     ",
        "     X..X..XXX  ",
        "  XX X..X..X..XX",
        " X..XX........X.X",
        " X...X..........X",
        "  X.............X",
        "  X.............X",
        "   X............X",
        "   X...........X ",
        "    X..........X ",
        "    X.........X  ",
        "     XXXXXXXXXX  ",
    ]
    size = 32
    xor = [[0] * size for _ in range(size)]
    and_ = [[1] * size for _ in range(size)]
    for y, row in enumerate(shape):
        for x, ch in enumerate(row):
            if ch == "X":  # black
                and_[y][x] = 0
            elif ch == ".":  # white
                and_[y][x] = 0
                xor[y][x] = 1

    def rows(bits):
        out = bytearray()
        for y in range(size - 1, -1, -1):
            for byte in range(size // 8):
                v = 0
                for b in range(8):
                    v = (v << 1) | bits[y][byte * 8 + b]
                out.append(v)
        return bytes(out)

    image = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    image += bytes((0, 0, 0, 0, 255, 255, 255, 0)) + rows(xor) + rows(and_)
    head = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", size, size, 2, 0, 6, 0, len(image), 22)
    with open(os.path.join(HERE, "link.cur"), "wb") as f:
        f.write(head + image)


cursor()
