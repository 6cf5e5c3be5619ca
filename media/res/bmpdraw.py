"""Drawing helpers for the resource scripts: a small RGB canvas with
anti-aliased shapes, and writers for 8-bit run-length encoded bitmaps
(BI_RLE8) and monochrome cursors (.cur). Pure Python, no dependencies.

Used by media/res/make_bitmaps.py (the sample medium's skin) and
setup/res/make_resources.py (setup.exe's own bitmaps and cursor), so that the
program's defaults and the sample skin share one look.
"""
import struct

# The links draw their bullets with this colour left out (transparent colour
# 0xC6C3C6); everything outside a bullet's shape is painted in it.
LINK_TRANSPARENT = (198, 195, 198)

# The house colours: the banner blue, the lighter blue of a link under the
# mouse, the orange accent, the greys of frames and bands.
BLUE = (0, 84, 147)
BLUE_LIGHT = (0, 120, 215)
ORANGE = (255, 150, 0)
WHITE = (255, 255, 255)
BAND = (240, 240, 240)


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.px = [colour] * (width * height)

    def get(self, x, y):
        return self.px[y * self.width + x]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y * self.width + x] = colour

    def rows(self, top, bottom, colour_of_row):
        for y in range(max(0, top), min(self.height, bottom)):
            c = colour_of_row(y)
            self.px[y * self.width:(y + 1) * self.width] = [c] * self.width

    def shape(self, box, inside, colour, samples=4):
        """Fills the pixels of box (x0, y0, x1, y1) for which inside(x, y)
        holds, blending edge pixels by their covered share (samples^2 points)."""
        x0, y0, x1, y1 = box
        step = 1.0 / samples
        offsets = [(i + 0.5) * step for i in range(samples)]
        total = samples * samples
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                hits = sum(1 for oy in offsets for ox in offsets if inside(x + ox, y + oy))
                if hits:
                    self.put(x, y, blend(self.get(x, y), colour, hits / total))


def blend(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# ---------------------------------------------------------------- shapes


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_out, r_in):
    return lambda x, y: r_in * r_in < (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return inside


def polygon(points):
    """Even-odd rule point-in-polygon."""
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
            if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
                hit = not hit
        return hit
    return inside


def thick_line(xa, ya, xb, yb, half):
    """A segment with round ends, half its thickness wide on each side."""
    dx, dy = xb - xa, yb - ya
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / length2))
        px, py = xa + t * dx - x, ya + t * dy - y
        return px * px + py * py <= half * half
    return inside


# ---------------------------------------------------------------- shared pictures


def bullet(fill, pressed=False):
    """A 16x16 link bullet: a round disc with a white arrow, on the links'
    transparent colour. Edges are smoothed against white, the pages' colour
    behind the links."""
    c = Canvas(16, 16, WHITE)
    c.shape((0, 0, 16, 16), circle(8, 8, 7.2), fill)
    shift = 0.6 if pressed else 0.0
    c.shape((0, 0, 16, 16), polygon([(6.2 + shift, 4.4 + shift), (11.4 + shift, 8 + shift),
                                     (6.2 + shift, 11.6 + shift)]), WHITE)
    # The white arrow must not be taken for the page: keep it, key only the outside.
    c2 = Canvas(16, 16, LINK_TRANSPARENT)
    for y in range(16):
        for x in range(16):
            cx, cy = x + 0.5 - 8, y + 0.5 - 8
            d2 = cx * cx + cy * cy
            # untouched white outside the disc would be a halo on a coloured page
            if d2 <= 7.9 * 7.9 and not (d2 > 36 and c.get(x, y) == WHITE):
                c2.put(x, y, c.get(x, y))
    return c2


def state_strip(round_marks):
    """Three 16x16 state images side by side (unchecked, checked, disabled)
    on the list's white, for check boxes or radio buttons."""
    c = Canvas(48, 16, WHITE)
    looks = [((96, 96, 96), WHITE, None),
             ((96, 96, 96), WHITE, BLUE),
             ((190, 190, 190), (244, 244, 244), (176, 176, 176))]
    for i, (frame, face, mark) in enumerate(looks):
        ox = i * 16
        if round_marks:
            c.shape((ox, 0, ox + 16, 16), circle(ox + 8, 8, 6.5), frame)
            c.shape((ox, 0, ox + 16, 16), circle(ox + 8, 8, 5.4), face)
            if mark:
                c.shape((ox, 0, ox + 16, 16), circle(ox + 8, 8, 3.0), mark)
        else:
            for y in range(2, 14):
                for x in range(ox + 2, ox + 14):
                    edge = y in (2, 13) or x in (ox + 2, ox + 13)
                    c.put(x, y, frame if edge else face)
            if mark:
                c.shape((ox, 0, ox + 16, 16), thick_line(ox + 4.6, 8.2, ox + 7.0, 10.6, 1.0), mark)
                c.shape((ox, 0, ox + 16, 16), thick_line(ox + 7.0, 10.6, ox + 11.4, 5.2, 1.0), mark)
    return c


# ---------------------------------------------------------------- writers


def palette_of(canvas, exact=()):
    """Up to 256 colours. The colours in `exact` (and every colour when there
    are few enough) are kept as they are; otherwise the others are rounded to
    ever coarser steps until they fit."""
    exact = set(exact)
    colours = set(canvas.px)
    step = 1
    while True:
        def q(c):
            if c in exact or step == 1:
                return c
            return tuple(min(255, round(v / step) * step) for v in c)
        mapped = {c: q(c) for c in colours}
        table = sorted(set(mapped.values()))
        if len(table) <= 256:
            index = {c: i for i, c in enumerate(table)}
            return table, {c: index[mapped[c]] for c in colours}
        step += 1


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


def write_bmp(path, canvas, exact=()):
    table, index = palette_of(canvas, exact)
    pixels = bytes(index[c] for c in canvas.px)
    data = rle8_rows(pixels, canvas.width, canvas.height)
    header = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 8, 1, len(data),
                         2835, 2835, len(table), 0)
    colours = b"".join(bytes((b, g, r, 0)) for (r, g, b) in table)
    offset = 14 + len(header) + len(colours)
    file_header = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(file_header + header + colours + data)


def write_cur(path, art, hotspot):
    """A 32x32 monochrome cursor from text art: 'X' black, 'o' white, any
    other character transparent."""
    size = 32
    rows = [line.ljust(size)[:size] for line in art] + [""] * (size - len(art))
    rows = [r.ljust(size) for r in rows]

    def bits(pred):
        out = bytearray()
        for y in range(size - 1, -1, -1):  # bottom-up, 4 bytes a row
            for byte in range(size // 8):
                v = 0
                for bit in range(8):
                    if pred(rows[y][byte * 8 + bit]):
                        v |= 0x80 >> bit
                out.append(v)
        return bytes(out)

    xor = bits(lambda ch: ch == "o")
    mask = bits(lambda ch: ch not in "Xo")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, len(xor) + len(mask),
                         0, 0, 2, 0)
    image = header + bytes((0, 0, 0, 0, 255, 255, 255, 0)) + xor + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + image)
