#!/usr/bin/env python3
"""Draws setup.exe's own bitmaps and its hand cursor (setup.rc).

The files beside this script are its output and are kept in the source tree,
so the build needs no Python. Run it again after changing a drawing:
    python3 setup/res/make_resources.py
The bitmaps are the defaults the pages fall back to when a medium's resource
library does not have them; they share the drawing helpers, and so the look,
of the sample medium's skin (media/res/bmpdraw.py).
"""
import os
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "media", "res"))

from bmpdraw import BLUE, BLUE_LIGHT, LINK_TRANSPARENT, ORANGE, WHITE, bullet, state_strip, write_bmp, write_cur  # noqa: E402

# The hand over links and buttons: black outline, white inside; the hot spot
# is the tip of the pointing finger (column 5, row 0).
HAND = [
    "     XX",
    "    XooX",
    "    XooX",
    "    XooX",
    "    XooX",
    "    XooXXX",
    "    XooXooXXX",
    "    XooXooXooXX",
    " XX XooXooXooXoX",
    "XooXXooooooooXoX",
    "XoooXoooooooooooX",
    " XooXoooooooooooX",
    "  XoXoooooooooooX",
    "  XooooooooooooooX",
    "   XoooooooooooooX",
    "   XooooooooooooX",
    "    XoooooooooooX",
    "    XooooooooooX",
    "     XoooooooooX",
    "     XoooooooooX",
    "     XXXXXXXXXXX",
]

for name, fill, pressed in (("off_button.bmp", BLUE, False), ("on_button.bmp", BLUE_LIGHT, False),
                            ("clicked_button.bmp", ORANGE, True)):
    write_bmp(os.path.join(HERE, name), bullet(fill, pressed), exact=(LINK_TRANSPARENT, WHITE))
write_bmp(os.path.join(HERE, "check.bmp"), state_strip(round_marks=False))
write_bmp(os.path.join(HERE, "radio.bmp"), state_strip(round_marks=True))
write_cur(os.path.join(HERE, "hand.cur"), HAND, hotspot=(5, 0))
