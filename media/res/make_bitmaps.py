#!/usr/bin/env python3
"""Draws the bitmaps of the sample medium's resource library (setupres.dll).

The .bmp files beside this script are its output and are kept in the source
tree, so the build needs no Python. Run it again after changing a drawing:
    python3 media/res/make_bitmaps.py
Every bitmap is an 8-bit, run-length encoded (BI_RLE8) device-independent
bitmap; the drawing helpers are in bmpdraw.py.

The pages (520x380, setup.cfg) put a 60-pixel banner at the top with the
page title in white on it, the content on white below, and the buttons on a
light band under the line at y 328. The backgrounds follow that layout; the
product emblem sits at the end of the banner that the title does not start
from. background_rtl.bmp is the picture as a right-to-left page shows it.
"""
import os
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree

from bmpdraw import (BAND, BLUE, BLUE_LIGHT, LINK_TRANSPARENT, ORANGE, WHITE, Canvas, bullet,
                     circle, mix, rounded_rect, state_strip, write_bmp)

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH, HEIGHT = 520, 380
BANNER = 60


def emblem(c, x0, y0):
    """The product emblem: a white printer on an orange tile, 36x36.
    It is symmetric, so it reads the same on a mirrored page."""
    c.shape((x0, y0, x0 + 36, y0 + 36), rounded_rect(x0, y0, x0 + 36, y0 + 36, 6), ORANGE)
    # sheet going in, body, output slot, sheet coming out with two printed lines
    c.shape((x0, y0, x0 + 36, y0 + 36), rounded_rect(x0 + 11, y0 + 6, x0 + 25, y0 + 14, 1), WHITE)
    c.shape((x0, y0, x0 + 36, y0 + 36), rounded_rect(x0 + 6, y0 + 13, x0 + 30, y0 + 25, 2.5), WHITE)
    c.shape((x0, y0, x0 + 36, y0 + 36), rounded_rect(x0 + 9, y0 + 20, x0 + 27, y0 + 22, 0.5), ORANGE)
    c.shape((x0, y0, x0 + 36, y0 + 36), rounded_rect(x0 + 11, y0 + 21, x0 + 25, y0 + 31, 1), WHITE)
    for y in (24.5, 27.5):
        c.shape((x0, y0, x0 + 36, y0 + 36), rounded_rect(x0 + 13.5, y0 + y, x0 + 22.5, y0 + y + 1, 0.4),
                ORANGE)
    c.shape((x0, y0, x0 + 36, y0 + 36), circle(x0 + 26.5, y0 + 16.5, 1.2), ORANGE)
    c.shape((x0, y0, x0 + 36, y0 + 36), circle(x0 + 9.5, y0 + 16.5, 1.2), ORANGE)


def background(name, emblem_right):
    top, bottom = (0, 64, 118), (0, 100, 170)
    c = Canvas(WIDTH, HEIGHT, WHITE)
    c.rows(0, BANNER, lambda y: tuple(round(v) for v in mix(top, bottom, y / (BANNER - 1))))
    c.rows(BANNER, BANNER + 2, lambda y: ORANGE)
    c.rows(329, HEIGHT, lambda y: BAND)
    emblem(c, WIDTH - 24 - 36 if emblem_right else 24, 12)
    write_bmp(os.path.join(HERE, name), c, exact=(WHITE, BAND, ORANGE))


background("background.bmp", emblem_right=True)
background("background_rtl.bmp", emblem_right=False)
for name, fill, pressed in (("off_button.bmp", BLUE, False), ("on_button.bmp", BLUE_LIGHT, False),
                            ("clicked_button.bmp", ORANGE, True)):
    write_bmp(os.path.join(HERE, name), bullet(fill, pressed), exact=(LINK_TRANSPARENT, WHITE))
write_bmp(os.path.join(HERE, "check.bmp"), state_strip(round_marks=False))
write_bmp(os.path.join(HERE, "radio.bmp"), state_strip(round_marks=True))
