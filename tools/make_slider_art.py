#!/usr/bin/env python3
"""Draws the slider's built-in thumb and ruler pictures and the path edit's
default button glyph as 8-bit paletted BMP files.

Run from the repository root:  python3 tools/make_slider_art.py
The output is byte-for-byte the same on every run, so the files are committed.
The bottom-left pixel of each picture is its transparent colour.
"""
import os
import struct

# Palette index -> (r, g, b)
PALETTE = [
    (255, 0, 255),  # 0 transparent key (magenta)
    (0, 0, 0),  # 1 black
    (64, 64, 64),  # 2 dark shadow
    (128, 128, 128),  # 3 shadow
    (192, 192, 192),  # 4 face
    (223, 223, 223),  # 5 light
    (255, 255, 255),  # 6 highlight
    (0, 96, 160),  # 7 accent (pressed/disabled thumb)
    (0, 128, 128),  # 8 teal
    (255, 255, 0),  # 9 yellow
]


def write_bmp(path, rows):
    """rows: list of lists of palette indexes, top row first."""
    height = len(rows)
    width = len(rows[0])
    stride = (width + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # BMP stores the bottom row first
        pixels += bytes(row) + bytes(stride - width)
    palette = bytearray()
    for i in range(256):
        r, g, b = PALETTE[i] if i < len(PALETTE) else (0, 0, 0)
        palette += bytes((b, g, r, 0))
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels),
                       2835, 2835, len(PALETTE), 0)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


def canvas(w, h, fill=0):
    return [[fill] * w for _ in range(h)]


def thumb_state(w, h, face, pointer_down):
    """A raised key with a pointed end; `pointer_down` points it across the track."""
    img = canvas(w, h)
    body = h - (w + 1) // 2 if pointer_down else w - (h + 1) // 2
    if pointer_down:
        for y in range(h):
            if y < body:
                left, right = 0, w - 1
            else:
                inset = y - body + 1
                left, right = inset, w - 1 - inset
            for x in range(max(left, 0), min(right, w - 1) + 1):
                img[y][x] = face
            if left <= right:
                img[y][left] = 6 if y < body else 5
                img[y][right] = 2
        for x in range(w):
            img[0][x] = 6
    else:
        for x in range(w):
            if x < body:
                top, bottom = 0, h - 1
            else:
                inset = x - body + 1
                top, bottom = inset, h - 1 - inset
            for y in range(max(top, 0), min(bottom, h - 1) + 1):
                img[y][x] = face
            if top <= bottom:
                img[top][x] = 6 if x < body else 5
                img[bottom][x] = 2
        for y in range(h):
            if img[y][0]:
                img[y][0] = 6
    # A grip line down the middle of the body.
    if pointer_down:
        for y in range(3, max(body - 2, 3)):
            img[y][w // 2] = 3
    else:
        for x in range(2, max(body - 2, 2)):
            img[h // 2][x] = 3
    img[h - 1][0] = 0  # the transparent key
    return img


def side_by_side(a, b):
    return [ra + rb for ra, rb in zip(a, b)]


def ruler(length, thick, vertical):
    """A sunken groove with rounded end caps two pixels long."""
    img = canvas(length, thick)
    for x in range(length):
        cap = x < 2 or x >= length - 2
        for y in range(1, thick - 1):
            if cap and (y == 1 or y == thick - 2):
                continue
            if y == 1 or x == 0:
                img[y][x] = 3
            elif y == thick - 2 or x == length - 1:
                img[y][x] = 6
            else:
                img[y][x] = 1 if y == 2 else 4
    if vertical:
        img = [list(col) for col in zip(*img)]  # transpose: length runs down
        img.reverse()
        img[-1][0] = 0
    return img


def edit_glyph():
    """A small open folder for the path edit's default button."""
    rows = [
        "..............",
        "..............",
        ".kkkk.........",
        "kyyyyk........",
        "kyyyyykkkkkk..",
        "kyyyyyyyyyyk..",
        "kyykkkkkkkkkkk",
        "kyky#########k",
        "kykk########k.",
        "kky########k..",
        "kk#########k..",
        "kkkkkkkkkkk...",
    ]
    colour = {".": 0, "k": 1, "y": 9, "#": 8}
    return [[colour[c] for c in row] for row in rows]


def main():
    out = os.path.join("controls", "sliderart")
    htb = side_by_side(thumb_state(9, 17, 4, True), thumb_state(9, 17, 7, True))
    vtb = side_by_side(thumb_state(19, 9, 4, False), thumb_state(19, 9, 7, False))
    write_bmp(os.path.join(out, "SLD_HTB.bmp"), htb)
    write_bmp(os.path.join(out, "SLD_HRL.bmp"), ruler(10, 8, False))
    write_bmp(os.path.join(out, "SLD_VTB.bmp"), vtb)
    write_bmp(os.path.join(out, "SLD_VRL.bmp"), ruler(10, 8, True))
    write_bmp(os.path.join("settings", "editart", "FEDITBMP.bmp"), edit_glyph())


if __name__ == "__main__":
    main()
