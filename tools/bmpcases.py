#!/usr/bin/python3
"""Writes BMP files of every common kind into tests/data/bmp, each with the
pixels Pillow decodes from it as a PNG beside it (the reference the picture
tests compare against). Run with Debian's python3 (python3-pil)."""
import io
import os
import struct
import sys

from PIL import Image

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "bmp")
W, H = 32, 20


def colour(x, y, w=W, h=H):
    return ((x * 255) // max(w - 1, 1), (y * 255) // max(h - 1, 1), ((x ^ y) * 37) & 255)


def index(x, y, n):
    return (x // 3 + y // 2 + (x * y) % 3) % n


def palette(n, grey=False, first=None):
    cols = []
    for i in range(n):
        if grey:
            v = (i * 255) // max(n - 1, 1)
            cols.append((v, v, v))
        else:
            cols.append(((i * 53) & 255, (i * 97 + 40) & 255, (255 - i * 29) & 255))
    if first:
        cols[: len(first)] = first
    return cols


def info_header(size, w, h, bits, compression, image_size, colours_used, masks=None, ppm=(2835, 2835)):
    head = struct.pack("<IiiHHIIiiII", size, w, h, 1, bits, compression, image_size, ppm[0], ppm[1],
                       colours_used, 0)
    if size >= 52:
        m = masks or (0, 0, 0, 0)
        head += struct.pack("<IIII", *m) if size >= 56 else struct.pack("<III", *m[:3])
    if size >= 108:
        head += b"BGRs" + bytes(36) + bytes(12)
    if size >= 124:
        head += struct.pack("<IIII", 4, 0, 0, 0)
    return head


def assemble(header, pal_bytes, extra, pixels):
    offset = 14 + len(header) + len(extra) + len(pal_bytes)
    body = header + extra + pal_bytes + pixels
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, offset) + body


def rows_indexed(w, h, bits, n, top_down=False):
    out = b""
    order = range(h) if top_down else range(h - 1, -1, -1)
    for y in order:
        row = 0
        acc = []
        bitpos = 0
        cur = 0
        for x in range(w):
            cur = (cur << bits) | index(x, y, n)
            bitpos += bits
            if bitpos == 8:
                acc.append(cur)
                cur = bitpos = 0
        if bitpos:
            acc.append(cur << (8 - bitpos))
        row = bytes(acc)
        out += row + bytes((-len(row)) % 4)
    return out


def paletted(name, bits, n, w=W, h=H, grey=False, first=None, colours_used=None, top_down=False,
             header_size=40, ppm=(2835, 2835), stored=None):
    pal = palette(n, grey, first)
    stored = stored if stored is not None else n
    pal_bytes = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in pal[:stored])
    pixels = rows_indexed(w, h, bits, n, top_down)
    used = n if colours_used is None else colours_used
    header = info_header(header_size, w, -h if top_down else h, bits, 0, len(pixels), used, ppm=ppm)
    return name, assemble(header, pal_bytes, b"", pixels)


def os2_paletted(name):
    n = 256
    pal = palette(n)
    pal_bytes = b"".join(struct.pack("<BBB", b, g, r) for r, g, b in pal)
    pixels = rows_indexed(W, H, 8, n)
    header = struct.pack("<IHHHH", 12, W, H, 1, 8)
    return name, assemble(header, pal_bytes, b"", pixels)


def rle(name, bits, n):
    pal = palette(n)
    pal_bytes = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in pal)
    data = b""
    for y in range(H - 1, -1, -1):
        row = [index(x, y, n) for x in range(W)]
        x = 0
        while x < W:
            if bits == 8:
                run = 1
                while x + run < W and run < 255 and row[x + run] == row[x]:
                    run += 1
                data += bytes([run, row[x]])
                x += run
            else:
                a = row[x]
                b = row[x + 1] if x + 1 < W else 0
                count = 2 if x + 1 < W else 1
                data += bytes([count, (a << 4) | b])
                x += count
        data += b"\x00\x00"
    data += b"\x00\x01"
    header = info_header(40, W, H, bits, 1 if bits == 8 else 2, len(data), n)
    return name, assemble(header, pal_bytes, b"", data)


def truecolour(name, bits, masks=None, header_size=40, pal_count=0, alpha=False):
    rows = b""
    for y in range(H - 1, -1, -1):
        row = b""
        for x in range(W):
            r, g, b = colour(x, y)
            if bits == 24:
                row += bytes([b, g, r])
            elif bits == 32 and masks is None:
                row += bytes([b, g, r, 0])
            else:
                rm, gm, bm, am = masks
                v = 0
                for c, m in ((r, rm), (g, gm), (b, bm), ((x * 8) & 255 if alpha else 255, am)):
                    if not m:
                        continue
                    shift = (m & -m).bit_length() - 1
                    width = bin(m).count("1")
                    v |= ((c >> (8 - width)) << shift) & m if width <= 8 else (c << shift) & m
                row += struct.pack("<H" if bits == 16 else "<I", v)
        rows += row + bytes((-len(row)) % 4)
    compression = 0 if masks is None or (bits == 16 and masks == (0x7C00, 0x3E0, 0x1F, 0)
                                          and header_size == 40 and name == "rgb16") else 3
    extra = b""
    if compression == 3 and header_size == 40:
        extra = struct.pack("<III", *masks[:3])
    pal_bytes = b"".join(struct.pack("<BBBB", *palette(pal_count)[i][::-1], 0) for i in range(pal_count))
    header = info_header(header_size, W, H, bits, compression, len(rows), pal_count, masks)
    return name, assemble(header, pal_bytes, extra, rows)


def cases():
    yield paletted("pal1", 1, 2)
    yield paletted("pal1wb", 1, 2, first=[(255, 255, 255), (0, 0, 0)])
    yield paletted("pal1bg", 1, 2, first=[(64, 64, 255), (32, 200, 32)])
    yield paletted("pal4", 4, 12)
    yield paletted("pal4gs", 4, 12, grey=True)
    yield rle("pal4rle", 4, 12)
    yield paletted("pal8", 8, 252)
    yield paletted("pal8-0", 8, 256, colours_used=0)
    yield paletted("pal8gs", 8, 252, grey=True)
    yield rle("pal8rle", 8, 252)
    yield paletted("pal8w126", 8, 252, w=126, h=9)
    yield paletted("pal8w125", 8, 252, w=125, h=9)
    yield paletted("pal8w124", 8, 252, w=124, h=9)
    yield paletted("pal8topdown", 8, 252, top_down=True)
    yield paletted("pal8nonsquare", 8, 252, ppm=(2835, 1417))
    yield os2_paletted("pal8os2")
    yield paletted("pal8v4", 8, 252, header_size=108)
    yield paletted("pal8v5", 8, 252, header_size=124)
    yield paletted("pal8odd", 8, 7)
    yield paletted("pal4odd", 4, 5)
    yield truecolour("rgb16", 16, (0x7C00, 0x3E0, 0x1F, 0))
    yield truecolour("rgb16bfdef", 16, (0x7C00, 0x3E0, 0x1F, 0), header_size=40)
    yield truecolour("rgb16-565", 16, (0xF800, 0x7E0, 0x1F, 0))
    yield truecolour("rgb16-565pal", 16, (0xF800, 0x7E0, 0x1F, 0), pal_count=256)
    yield truecolour("rgb24", 24)
    yield truecolour("rgb24pal", 24, pal_count=256)
    yield truecolour("rgb32", 32)
    yield truecolour("rgb32bf", 32, (0xFF000000, 0xFF0000, 0xFF00, 0))
    yield truecolour("rgb32bfdef", 32, (0xFF0000, 0xFF00, 0xFF, 0))
    yield truecolour("rgb32v5", 32, (0xFF0000, 0xFF00, 0xFF, 0), header_size=124)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, data in cases():
        with open(os.path.join(OUT, name + ".bmp"), "wb") as f:
            f.write(data)
        image = Image.open(io.BytesIO(data))
        image.load()
        image.convert("RGBA").save(os.path.join(OUT, name + ".png"))
        print(name, image.mode, image.size, file=sys.stderr)


if __name__ == "__main__":
    main()
