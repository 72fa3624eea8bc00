"""Raster helpers for the skin generator: an RGB canvas, shapes by signed
distance or inside-tests, a 5x7 pixel font and BMP writing (24-bit, 8-bit
and 4-bit palettes). Python standard library only."""

import math
import struct

Color = tuple


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    t = clamp(t)
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def shade(c, k):
    """Lighten (k > 0) towards white or darken (k < 0) towards black."""
    return mix(c, (255, 255, 255), k) if k >= 0 else mix(c, (0, 0, 0), -k)


class Canvas:
    def __init__(self, w, h, fill=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = bytearray(bytes(fill) * (w * h))

    def get(self, x, y):
        i = (y * self.w + x) * 3
        return (self.px[i], self.px[i + 1], self.px[i + 2])

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            i = (y * self.w + x) * 3
            self.px[i:i + 3] = bytes(c)

    def blend(self, x, y, c, a):
        if a <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        self.set(x, y, c if a >= 1 else mix(self.get(x, y), c, a))

    def crop(self, x0, y0, w, h):
        out = Canvas(w, h)
        for y in range(h):
            for x in range(w):
                out.set(x, y, self.get(x0 + x, y0 + y))
        return out

    def paste(self, other, x0, y0):
        for y in range(other.h):
            for x in range(other.w):
                self.set(x0 + x, y0 + y, other.get(x, y))

    def colors(self):
        return {self.get(x, y) for y in range(self.h) for x in range(self.w)}


# --- shapes ---------------------------------------------------------------

def sd_rrect(x, y, x0, y0, x1, y1, r):
    """Signed distance to a rounded rectangle (negative inside)."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hw, hh = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    qx, qy = abs(x - cx) - hw, abs(y - cy) - hh
    outside = math.hypot(max(qx, 0), max(qy, 0))
    return outside + min(max(qx, qy), 0) - r


def sd_circle(x, y, cx, cy, r):
    return math.hypot(x - cx, y - cy) - r


def gradient(sdf, x, y):
    e = 0.5
    gx = sdf(x + e, y) - sdf(x - e, y)
    gy = sdf(x, y + e) - sdf(x, y - e)
    n = math.hypot(gx, gy) or 1.0
    return gx / n, gy / n


LIGHT = (-0.6, -0.8)  # from the top left


def panel(img, sdf, fill, bevel=3, strength=0.45, raised=True, box=None, aa=True):
    """Fills the shape `sdf` with `fill(x, y)` and bevels its rim so it looks
    raised (lit top-left) or sunken (lit bottom-right)."""
    x0, y0, x1, y1 = box or (0, 0, img.w, img.h)
    for y in range(max(0, y0), min(img.h, y1)):
        for x in range(max(0, x0), min(img.w, x1)):
            d = sdf(x + 0.5, y + 0.5)
            if d > 0.5:
                continue
            c = fill(x, y)
            if -d < bevel:
                nx, ny = gradient(sdf, x + 0.5, y + 0.5)
                lit = -(nx * LIGHT[0] + ny * LIGHT[1])
                if not raised:
                    lit = -lit
                c = shade(c, strength * lit * (1 - (-d) / bevel * 0.5))
            img.blend(x, y, c, clamp(0.5 - d) if aa else (1 if d <= 0 else 0))


def fill_inside(img, inside, color, box, ss=4):
    """Anti-aliased fill of the points where inside(x, y) holds."""
    x0, y0, x1, y1 = box
    for y in range(max(0, int(y0)), min(img.h, int(math.ceil(y1)))):
        for x in range(max(0, int(x0)), min(img.w, int(math.ceil(x1)))):
            hits = 0
            for sy in range(ss):
                for sx in range(ss):
                    if inside(x + (sx + 0.5) / ss, y + (sy + 0.5) / ss):
                        hits += 1
            if hits:
                c = color(x, y) if callable(color) else color
                img.blend(x, y, c, hits / (ss * ss))


def in_poly(pts):
    def inside(x, y):
        res = False
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                res = not res
            j = i
        return res
    return inside


def poly(img, pts, color, ss=4):
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    fill_inside(img, in_poly(pts), color, (min(xs) - 1, min(ys) - 1, max(xs) + 1, max(ys) + 1), ss)


def thick_line(img, a, b, width, color):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    length = math.hypot(dx, dy) or 1
    nx, ny = -dy / length * width / 2, dx / length * width / 2
    poly(img, [(ax + nx, ay + ny), (bx + nx, by + ny), (bx - nx, by - ny), (ax - nx, ay - ny)], color)


def disc(img, cx, cy, r, color):
    fill_inside(img, lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color,
                (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1))


def ring(img, cx, cy, r0, r1, color):
    fill_inside(img, lambda x, y: r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1, color,
                (cx - r1 - 1, cy - r1 - 1, cx + r1 + 1, cy + r1 + 1))


# --- 5x7 pixel font -------------------------------------------------------

FONT = {
    'A': "01110 10001 10001 11111 10001 10001 10001",
    'B': "11110 10001 10001 11110 10001 10001 11110",
    'C': "01110 10001 10000 10000 10000 10001 01110",
    'D': "11110 10001 10001 10001 10001 10001 11110",
    'E': "11111 10000 10000 11110 10000 10000 11111",
    'F': "11111 10000 10000 11110 10000 10000 10000",
    'G': "01110 10001 10000 10111 10001 10001 01111",
    'H': "10001 10001 10001 11111 10001 10001 10001",
    'I': "01110 00100 00100 00100 00100 00100 01110",
    'J': "00111 00010 00010 00010 00010 10010 01100",
    'K': "10001 10010 10100 11000 10100 10010 10001",
    'L': "10000 10000 10000 10000 10000 10000 11111",
    'M': "10001 11011 10101 10101 10001 10001 10001",
    'N': "10001 11001 10101 10011 10001 10001 10001",
    'O': "01110 10001 10001 10001 10001 10001 01110",
    'P': "11110 10001 10001 11110 10000 10000 10000",
    'Q': "01110 10001 10001 10001 10101 10010 01101",
    'R': "11110 10001 10001 11110 10100 10010 10001",
    'S': "01111 10000 10000 01110 00001 00001 11110",
    'T': "11111 00100 00100 00100 00100 00100 00100",
    'U': "10001 10001 10001 10001 10001 10001 01110",
    'V': "10001 10001 10001 10001 10001 01010 00100",
    'W': "10001 10001 10001 10101 10101 10101 01010",
    'X': "10001 10001 01010 00100 01010 10001 10001",
    'Y': "10001 10001 01010 00100 00100 00100 00100",
    'Z': "11111 00001 00010 00100 01000 10000 11111",
    '0': "01110 10001 10011 10101 11001 10001 01110",
    '1': "00100 01100 00100 00100 00100 00100 01110",
    '2': "01110 10001 00001 00010 00100 01000 11111",
    '3': "11110 00001 00001 01110 00001 00001 11110",
    '?': "01110 10001 00001 00010 00100 00000 00100",
    '!': "00100 00100 00100 00100 00100 00000 00100",
    '.': "00000 00000 00000 00000 00000 00000 00100",
    '-': "00000 00000 00000 01110 00000 00000 00000",
    ' ': "00000 00000 00000 00000 00000 00000 00000",
}


def text_width(s, scale=1, gap=1):
    return len(s) * (5 + gap) * scale - gap * scale


def text(img, s, x, y, color, scale=1, gap=1, shadow=None, outline=None):
    """Draws `s` with its top-left at (x, y). `color` may be a function of
    the row within the glyph (0..1) for gradient letters."""
    def cells():
        cx = x
        for ch in s:
            rows = FONT[ch].split()
            for r, row in enumerate(rows):
                for c, bit in enumerate(row):
                    if bit == '1':
                        yield cx + c * scale, y + r * scale, r
            cx += (5 + gap) * scale
    pts = list(cells())
    if outline:
        for px, py, _ in pts:
            for oy in range(-1, scale + 1):
                for ox in range(-1, scale + 1):
                    img.set(px + ox, py + oy, outline)
    if shadow:
        for px, py, _ in pts:
            for oy in range(scale):
                for ox in range(scale):
                    img.set(px + ox + max(1, scale // 2), py + oy + max(1, scale // 2), shadow)
    for px, py, r in pts:
        for oy in range(scale):
            for ox in range(scale):
                t = (r * scale + oy) / (7 * scale - 1)
                img.set(px + ox, py + oy, color(t) if callable(color) else color)


def text_centered(img, s, cx, y, color, scale=1, **kw):
    text(img, s, int(round(cx - text_width(s, scale) / 2)), y, color, scale, **kw)


# --- BMP files ------------------------------------------------------------

def _bmp(path, w, h, bits, palette, rows):
    stride = ((w * bits + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):  # bottom-up
        data += row + bytes(stride - len(row))
    pal = b''.join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + 40 + len(pal)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, 0, len(data), 2835, 2835,
                       len(palette), 0)
    with open(path, 'wb') as f:
        f.write(header + info + pal + data)


def save_bmp24(img, path):
    rows = []
    for y in range(img.h):
        row = bytearray()
        for x in range(img.w):
            r, g, b = img.get(x, y)
            row += bytes((b, g, r))
        rows.append(bytes(row))
    _bmp(path, img.w, img.h, 24, [], rows)


def save_bmp_indexed(img, path, bits=8):
    """Writes a palette bitmap; the picture must use at most 2**bits colours."""
    colors = sorted(img.colors())
    if len(colors) > 2 ** bits:
        raise ValueError(f"{path}: {len(colors)} colours do not fit {bits} bits")
    index = {c: i for i, c in enumerate(colors)}
    rows = []
    for y in range(img.h):
        idx = [index[img.get(x, y)] for x in range(img.w)]
        if bits == 8:
            rows.append(bytes(idx))
        else:
            idx += [0] * (len(idx) % 2)
            rows.append(bytes((idx[i] << 4) | idx[i + 1] for i in range(0, len(idx), 2)))
    _bmp(path, img.w, img.h, bits, colors, rows)
