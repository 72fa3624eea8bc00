#!/usr/bin/env python3
"""Generates Vantor's application icon into dist/icons/ as PNG files, one per
hicolor size: a violet pod with an amber dial ring round a play mark.

Rerun from the repository root after changing the art:
    python3 tools/make_icon.py
It needs only the Python standard library and always writes the same bytes.
"""

import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from skinart import mix, sd_circle, sd_rrect  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, 'dist', 'icons')
NAME = 'org.vantor.Vantor.png'
SIZES = (16, 32, 48, 64, 128, 256)
SAMPLES = 4  # per axis, for smooth edges at every size

BODY_TOP = (64, 34, 104)
BODY_BOTTOM = (26, 14, 50)
RIM = (120, 84, 170)
WELL = (16, 10, 28)
AMBER = (255, 176, 48)


def in_triangle(x, y, pts):
    (ax, ay), (bx, by), (cx, cy) = pts
    d1 = (x - bx) * (ay - by) - (ax - bx) * (y - by)
    d2 = (x - cx) * (by - cy) - (bx - cx) * (y - cy)
    d3 = (x - ax) * (cy - ay) - (cx - ax) * (y - ay)
    neg = d1 < 0 or d2 < 0 or d3 < 0
    pos = d1 > 0 or d2 > 0 or d3 > 0
    return not (neg and pos)


def sample(u, v):
    """Colour and coverage of one point of the unit square, or None outside."""
    body = sd_rrect(u, v, 0.04, 0.04, 0.96, 0.96, 0.2)
    if body > 0:
        return None
    color = mix(BODY_TOP, BODY_BOTTOM, v)
    if body > -0.035:
        color = RIM
    dial = sd_circle(u, v, 0.5, 0.5, 0.33)
    if dial <= 0:
        color = WELL
        if dial > -0.05:
            color = AMBER
        if in_triangle(u, v, ((0.43, 0.38), (0.43, 0.62), (0.63, 0.5))):
            color = AMBER
    return color


def render(size):
    rows = []
    step = 1.0 / (size * SAMPLES)
    for y in range(size):
        row = bytearray()
        for x in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = sample((x * SAMPLES + sx + 0.5) * step, (y * SAMPLES + sy + 0.5) * step)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if hits:
                row += bytes(int(round(a / hits)) for a in acc)
            else:
                row += b'\0\0\0'
            row.append(int(round(255 * hits / (SAMPLES * SAMPLES))))
        rows.append(bytes(row))
    return rows


def save_png(path, size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))
    raw = b''.join(b'\0' + r for r in rows)
    data = (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))
    with open(path, 'wb') as f:
        f.write(data)


def main():
    for size in SIZES:
        folder = os.path.join(OUT, '%dx%d' % (size, size))
        os.makedirs(folder, exist_ok=True)
        save_png(os.path.join(folder, NAME), size, render(size))


if __name__ == '__main__':
    main()
