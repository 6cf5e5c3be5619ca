#!/usr/bin/env python3
"""Draws the bitmaps of the sample medium's resource library (setupres.dll).

The .bmp files beside this script are its output and are kept in the source
tree, so the build needs no Python. Run it again after changing a drawing:
    python3 media/res/make_bitmaps.py
Every bitmap is an 8-bit, run-length encoded (BI_RLE8) device-independent bitmap.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def rle8_rows(pixels, width, height):
    out = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up
        row = pixels[y * width:(y + 1) * width]
        x = 0
        while x < width:
            run = 1
            while x + run < width and run < 255 and row[x + run] == row[x]:
                run += 1
            out += bytes((run, row[x]))
            x += run
        out += b"\x00\x00"  # end of line
    out += b"\x00\x01"  # end of bitmap
    return bytes(out)


def write_bmp(name, width, height, palette, pixels):
    data = rle8_rows(pixels, width, height)
    colours = len(palette)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(data), 2835, 2835, colours, 0)
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + len(header) + len(table)
    file_header = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(file_header + header + table + data)


def background(name, logo_left):
    width, height = 520, 380
    palette = [(255, 255, 255), (240, 240, 240), (255, 170, 0), (255, 200, 80)]
    banner = 60
    for i in range(banner):  # blue, darker at the top
        t = i / (banner - 1)
        palette.append((0, int(84 + 40 * t), int(147 + 50 * t)))
    px = bytearray(width * height)
    for y in range(height):
        for x in range(width):
            if y < banner:
                c = 4 + y
            elif y < banner + 2:
                c = 2
            elif y >= 329:
                c = 1
            else:
                c = 0
            px[y * width + x] = c
    lx = 20 if logo_left else width - 80
    for y in range(12, 48):
        for x in range(lx, lx + 60):
            corner = min(x - lx, lx + 59 - x) + min(y - 12, 47 - y)
            if corner >= 3:
                px[y * width + x] = 3 if (x - lx) < 30 else 2
    write_bmp(name, width, height, palette, px)


def bullet(name, fill):
    size = 16
    palette = [(198, 195, 198), fill, (255, 255, 255)]  # 198,195,198: the links' transparent colour
    px = bytearray(size * size)
    for y in range(size):
        for x in range(size):
            dx, dy = x - 7.5, y - 7.5
            if dx * dx + dy * dy <= 56:
                px[y * size + x] = 1
    for y in range(4, 12):  # an arrow pointing right
        reach = 4 - abs(y - 7.5) + 0.5
        for x in range(6, 6 + int(reach)):
            px[y * size + x] = 2
    write_bmp(name, size, size, palette, px)


def strip(name, round_marks):
    width, height = 48, 16
    palette = [(255, 255, 255), (128, 128, 128), (0, 84, 147), (192, 192, 192), (236, 236, 236)]
    px = bytearray(width * height)
    for image in range(3):  # unchecked, checked, disabled
        ox = image * 16
        frame = 3 if image == 2 else 1
        mark = 3 if image == 2 else 2
        for y in range(2, 14):
            for x in range(2, 14):
                if round_marks:
                    d = (x - 7.5) ** 2 + (y - 7.5) ** 2
                    if d > 36:
                        continue
                    edge = d > 25
                    inner = image > 0 and d <= 6.5
                else:
                    edge = x in (2, 13) or y in (2, 13)
                    # a tick: down from (4,7) to (6,9), then up to (11,4), two pixels thick
                    tick = (4 <= x <= 6 and y - x in (3, 4)) or (6 <= x <= 11 and x + y in (15, 16))
                    inner = image > 0 and tick
                c = frame if edge else (mark if inner else (4 if image == 2 else 0))
                px[y * width + ox + x] = c
    write_bmp(name, width, height, palette, px)


background("background.bmp", logo_left=False)
background("background_rtl.bmp", logo_left=True)
bullet("off_button.bmp", (0, 84, 147))
bullet("on_button.bmp", (0, 120, 215))
bullet("clicked_button.bmp", (255, 170, 0))
strip("check.bmp", round_marks=False)
strip("radio.bmp", round_marks=True)
