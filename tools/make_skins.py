#!/usr/bin/env python3
"""Generates Vantor's skin artwork into skins/ as BMP files.

Rerun from the repository root after changing the art:
    python3 tools/make_skins.py
It needs only the Python standard library and always writes the same bytes.
Mask colours: the main skins are cut along pure yellow, the confirmation box
and the round/pill buttons along pure white; neither colour is used anywhere
else in those pictures.
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from skinart import (Canvas, clamp, disc, fill_inside, mix, panel, poly, ring, save_bmp24,
                     save_bmp_indexed, sd_circle, sd_rrect, shade, text, text_centered,
                     text_width, thick_line)

OUT = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), 'skins')

YELLOW = (255, 255, 0)
WHITE = (255, 255, 255)
NEAR_YELLOW = (250, 240, 40)
GLYPH = (246, 244, 228)
INK = (24, 14, 34)

BODY_TOP = (64, 34, 104)
BODY_BOTTOM = (26, 14, 50)
POD_FLAT = (40, 26, 70)  # the main window's own colour: see-through pixels off the small skin
WELL = (16, 10, 28)
AMBER = (255, 176, 48)


def protect(img, mask, replacement):
    """Keeps the mask colour for the outside only: any inside pixel that came
    out exactly as the mask colour is nudged off it."""
    for y in range(img.h):
        for x in range(img.w):
            if img.get(x, y) == mask:
                img.set(x, y, replacement)


def cut_outside(img, sdf, mask):
    for y in range(img.h):
        for x in range(img.w):
            if sdf(x + 0.5, y + 0.5) > 0:
                img.set(x, y, mask)


# --- main window skins ----------------------------------------------------

def body_sdf(big):
    def cabinet(x, y):
        d = min(sd_rrect(x, y, 6, 14, 310, 338, 26), sd_rrect(x, y, 22, 2, 294, 52, 14))
        if big:
            d = min(d, sd_rrect(x, y, 290, 20, 547, 300, 26))
        return d
    return cabinet


def body_fill(x, y):
    c = mix(BODY_TOP, BODY_BOTTOM, y / 340)
    # faint diagonal brushing
    return shade(c, 0.04 * math.sin((x + y) * 0.9))


def draw_marquee(img):
    sdf = lambda x, y: sd_rrect(x, y, 32, 9, 284, 47, 9)

    def glow(x, y):
        t = (x - 32) / 252
        c = mix((250, 60, 150), (255, 150, 40), t)
        return shade(c, -0.35 * abs((y - 28) / 19))
    panel(img, sdf, glow, bevel=3, strength=0.5, raised=False, box=(28, 5, 290, 52))
    gold = lambda t: mix((255, 250, 210), (255, 190, 40), t)
    text_centered(img, 'VANTOR', 158, 17, gold, scale=3, gap=1, outline=INK)
    for x in (46, 270):  # marquee lamps
        disc(img, x, 28, 4.2, (255, 238, 170))
        disc(img, x - 1.2, 26.8, 1.6, (255, 252, 236))


def draw_grille(img, x0, y0, cols, rows):
    for r in range(rows):
        for c in range(cols):
            cx, cy = x0 + c * 7 + (3.5 if r % 2 else 0), y0 + r * 7
            disc(img, cx, cy, 2.2, (10, 6, 18))
            disc(img, cx + 0.6, cy + 0.6, 1.0, (46, 28, 74))


def draw_dial_well(img):
    # A metal bezel around the dial's square; the dial paints its own teal
    # plate inside, and the same teal fills any gap.
    outer = lambda x, y: sd_rrect(x, y, 63, 51, 258, 246, 12)
    panel(img, outer, lambda x, y: mix((104, 100, 128), (40, 36, 58), (y - 51) / 195), bevel=4,
          strength=0.55, raised=True, box=(59, 47, 262, 250))
    inner = lambda x, y: sd_rrect(x, y, 70, 58, 251, 239, 5)
    panel(img, inner, lambda x, y: (0, 128, 128), bevel=2, strength=0.5, raised=False,
          box=(66, 54, 255, 243))
    for x, y in ((67, 55), (254, 55), (67, 242), (254, 242)):
        disc(img, x, y, 1.8, (30, 24, 44))
    for k in range(9):  # position lamps along the bezel's top
        disc(img, 96 + k * 16, 48.5, 1.7, AMBER if k % 4 == 0 else (150, 90, 36))


def draw_socket(img, cx, cy):
    sdf = lambda x, y: sd_circle(x, y, cx, cy, 16.5)
    panel(img, sdf, lambda x, y: (22, 14, 36), bevel=3, strength=0.5, raised=False,
          box=(int(cx) - 19, int(cy) - 19, int(cx) + 20, int(cy) + 20))


def draw_control_strip(img):
    sdf = lambda x, y: sd_rrect(x, y, 44, 242, 286, 281, 10)
    metal = lambda x, y: shade(mix((92, 88, 118), (44, 40, 64), (y - 242) / 39),
                               0.05 * math.sin(x * 1.7))
    panel(img, sdf, metal, bevel=3, strength=0.5, raised=False, box=(40, 238, 290, 285))


def draw_name_plate(img):
    sdf = lambda x, y: sd_rrect(x, y, 24, 298, 292, 331, 8)

    def lcd(x, y):
        c = (10, 24, 20) if y % 2 else (14, 32, 26)
        return c
    panel(img, sdf, lcd, bevel=3, strength=0.55, raised=False, box=(20, 294, 296, 335))


def draw_screws(img, points):
    for x, y in points:
        disc(img, x, y, 3.6, (30, 20, 44))
        disc(img, x - 0.4, y - 0.4, 2.8, (150, 140, 170))
        thick_line(img, (x - 2, y + 2), (x + 2, y - 2), 0.9, (50, 40, 66))


def draw_pod(img):
    # Preview monitor: bezel, screen and the flat strip under it.
    bezel = lambda x, y: sd_rrect(x, y, 318, 38, 507, 227 - 10, 12)
    panel(img, bezel, lambda x, y: mix((74, 70, 96), (30, 28, 44), (y - 38) / 180), bevel=4,
          strength=0.55, raised=True, box=(314, 34, 511, 222))
    screen = lambda x, y: sd_rrect(x, y, 329, 49, 496, 216, 5)

    def tube(x, y):
        d = math.hypot((x - 412) / 84, (y - 132) / 84)
        c = mix((18, 40, 44), (4, 10, 12), d)
        return shade(c, -0.25) if y % 3 == 0 else c
    panel(img, screen, tube, bevel=3, strength=0.5, raised=False, box=(326, 46, 500, 220))
    text_centered(img, 'NO SNAP', 412, 128, (60, 120, 110), scale=1)
    text_centered(img, 'PREVIEW', 412, 26, (210, 180, 250), scale=1, shadow=INK)
    strip = lambda x, y: sd_rrect(x, y, 316, 219, 509, 259, 8)
    panel(img, strip, lambda x, y: POD_FLAT, bevel=2, strength=0.45, raised=False,
          box=(312, 215, 513, 263))
    draw_grille(img, 330, 272, 26, 2)


def make_skin(big):
    w = 550 if big else 316
    img = Canvas(w, 340, YELLOW)
    sdf = body_sdf(big)
    panel(img, sdf, body_fill, bevel=5, strength=0.5, raised=True, aa=False)
    # An inner rim line that follows the cabinet outline.
    fill_inside(img, lambda x, y: -9 < sdf(x, y) < -7.8, (92, 60, 140), (0, 0, w, 340), ss=2)
    draw_marquee(img)
    draw_grille(img, 20, 72, 3, 22)
    draw_grille(img, 277, 72, 3, 22)
    draw_dial_well(img)
    draw_socket(img, 71, 220)
    draw_socket(img, 238, 222)
    draw_control_strip(img)
    draw_name_plate(img)
    draw_screws(img, [(18, 290), (298, 290)])
    if big:
        draw_pod(img)
    protect(img, YELLOW, NEAR_YELLOW)
    cut_outside(img, sdf, YELLOW)
    return img


# --- round buttons --------------------------------------------------------

FACES = {
    'exitall': (214, 44, 44), 'setup': (44, 112, 222), 'about': (36, 168, 84),
    'preview': (168, 62, 206), 'dirback': (240, 138, 28), 'dirfoward': (240, 138, 28),
    'snapback': (28, 166, 188), 'snapfwd': (28, 166, 188), 'exitsetup': (214, 44, 44),
    'exitabout': (214, 44, 44),
}


def glyph_power(img, cx, cy, col):
    def arc(x, y):
        r = math.hypot(x - cx, y - cy)
        a = math.degrees(math.atan2(x - cx, -(y - cy)))
        return 4.3 <= r <= 6.5 and abs(a) > 38
    fill_inside(img, arc, col, (cx - 8, cy - 8, cx + 8, cy + 8))
    thick_line(img, (cx, cy - 7.5), (cx, cy - 1), 2.3, col)


def glyph_gear(img, cx, cy, col):
    def gear(x, y):
        r = math.hypot(x - cx, y - cy)
        a = math.atan2(y - cy, x - cx)
        outer = 7.4 if (a * 8 / (2 * math.pi)) % 1 < 0.5 else 5.6
        return 2.4 <= r <= outer
    fill_inside(img, gear, col, (cx - 8, cy - 8, cx + 8, cy + 8))


def glyph_info(img, cx, cy, col):
    disc(img, cx, cy - 5.3, 1.7, col)
    poly(img, [(cx - 2.6, cy - 2), (cx + 1.3, cy - 2), (cx + 1.3, cy + 4.8), (cx + 2.6, cy + 4.8),
               (cx + 2.6, cy + 6.4), (cx - 2.6, cy + 6.4), (cx - 2.6, cy + 4.8),
               (cx - 1.3, cy + 4.8), (cx - 1.3, cy - 0.4), (cx - 2.6, cy - 0.4)], col)


def glyph_skin(img, cx, cy, col):
    # A window with its side panel: the skin toggle.
    fill_inside(img, lambda x, y: (abs(x - cx) <= 7 and abs(y - cy) <= 5.5) and not
                (abs(x - cx) <= 5.6 and abs(y - cy) <= 4.1), col, (cx - 8, cy - 7, cx + 8, cy + 7))
    fill_inside(img, lambda x, y: cx + 0.8 <= x <= cx + 7 and abs(y - cy) <= 5.5, col,
                (cx, cy - 7, cx + 8, cy + 7))


def glyph_left(img, cx, cy, col):
    poly(img, [(cx - 6, cy), (cx + 4.5, cy - 6.5), (cx + 4.5, cy + 6.5)], col)


def glyph_right(img, cx, cy, col):
    poly(img, [(cx + 6, cy), (cx - 4.5, cy - 6.5), (cx - 4.5, cy + 6.5)], col)


def glyph_chevron(direction):
    def draw(img, cx, cy, col):
        s = direction
        thick_line(img, (cx + 2.5 * s, cy - 6), (cx - 3.5 * s, cy), 2.6, col)
        thick_line(img, (cx - 3.5 * s, cy), (cx + 2.5 * s, cy + 6), 2.6, col)
    return draw


def glyph_cross(img, cx, cy, col):
    thick_line(img, (cx - 5, cy - 5), (cx + 5, cy + 5), 2.6, col)
    thick_line(img, (cx - 5, cy + 5), (cx + 5, cy - 5), 2.6, col)


def glyph_back(img, cx, cy, col):
    poly(img, [(cx - 7, cy), (cx - 1, cy - 6), (cx - 1, cy + 6)], col)
    poly(img, [(cx - 1.5, cy - 2), (cx + 7, cy - 2), (cx + 7, cy + 2), (cx - 1.5, cy + 2)], col)


GLYPHS = {
    'exitall': glyph_power, 'setup': glyph_gear, 'about': glyph_info, 'preview': glyph_skin,
    'dirback': glyph_left, 'dirfoward': glyph_right, 'snapback': glyph_chevron(1),
    'snapfwd': glyph_chevron(-1), 'exitsetup': glyph_back, 'exitabout': glyph_cross,
}

GREY = (112, 110, 124)


def round_button(name):
    img = Canvas(26, 78, WHITE)
    face = FACES[name]
    for frame in range(3):
        oy = frame * 26
        pressed, disabled = frame == 1, frame == 2
        base = GREY if disabled else (shade(face, -0.25) if pressed else face)
        rim = lambda x, y, oy=oy: sd_circle(x, y, 13, oy + 13, 12.6)
        panel(img, rim, lambda x, y: (22, 16, 30), bevel=1, strength=0.2, aa=False,
              box=(0, oy, 26, oy + 26))
        cap = lambda x, y, oy=oy: sd_circle(x, y, 13, oy + 13, 10.8)

        def gloss(x, y, oy=oy, base=base, pressed=pressed):
            d = math.hypot(x - 9.5, y - oy - 9)
            k = 0.35 * (1 - d / 16) if not pressed else -0.25 * (1 - d / 16)
            return shade(base, k)
        panel(img, cap, gloss, bevel=2.2, strength=0.5, raised=not pressed,
              box=(0, oy, 26, oy + 26))
        col = (172, 170, 178) if disabled else GLYPH
        shift = 1 if pressed else 0
        if not disabled:
            GLYPHS[name](img, 13 + shift + 0.6, oy + 13 + shift + 0.6, shade(base, -0.55))
        GLYPHS[name](img, 13 + shift, oy + 13 + shift, col)
        # The outside stays pure white, every inside pixel is something else.
        for y in range(oy, oy + 26):
            for x in range(26):
                if rim(x + 0.5, y + 0.5) > 0:
                    img.set(x, y, WHITE)
                elif img.get(x, y) == WHITE:
                    img.set(x, y, (250, 250, 250))
    return img


# --- wide buttons ---------------------------------------------------------

def pill_frames(w, h, frames, backdrop, styles):
    """Unmasked pill buttons: the corners take the skin behind them."""
    img = Canvas(w, h * len(frames), WHITE)
    for f, (label, icon, face, state) in enumerate(frames):
        oy = f * h
        for y in range(h):
            for x in range(w):
                img.set(x, oy + y, backdrop(x, y))
        pressed, disabled = state == 'down', state == 'off'
        base = GREY if disabled else (shade(face, -0.28) if pressed else face)
        outer = lambda x, y, oy=oy: sd_rrect(x, y, 0.5, oy + 0.5, w - 0.5, oy + h - 0.5, h / 2 - 0.5)
        panel(img, outer, lambda x, y: (20, 14, 28), bevel=1, strength=0.2,
              box=(0, oy, w, oy + h))
        inner = lambda x, y, oy=oy: sd_rrect(x, y, 2, oy + 2, w - 2, oy + h - 2, h / 2 - 2)

        def gloss(x, y, oy=oy, base=base, pressed=pressed):
            t = (y - oy) / h
            return shade(base, (0.3 - 0.55 * t) if not pressed else (-0.2 + 0.15 * t))
        panel(img, inner, gloss, bevel=2, strength=0.45, raised=not pressed,
              box=(0, oy, w, oy + h))
        s = 1 if pressed else 0
        col = (176, 174, 182) if disabled else GLYPH
        scale = styles.get('scale', 2)
        tw = text_width(label, scale) + (16 if icon else 0)
        x0 = (w - tw) // 2 + s
        ty = oy + (h - 7 * scale) // 2 + s
        if icon:
            icon(img, x0 + 5, oy + h / 2 + s, col)
            x0 += 16
        text(img, label, x0, ty, col, scale=scale,
             shadow=None if disabled else shade(base, -0.6))
    return img


def icon_play(img, cx, cy, col):
    poly(img, [(cx - 4, cy - 6), (cx + 6, cy), (cx - 4, cy + 6)], col)


def icon_check(img, cx, cy, col):
    thick_line(img, (cx - 5, cy), (cx - 1.5, cy + 4), 2.4, col)
    thick_line(img, (cx - 1.5, cy + 4), (cx + 5.5, cy - 5), 2.4, col)


def icon_cross(img, cx, cy, col):
    glyph_cross(img, cx, cy, col)


def sampler(skin, x0, y0):
    return lambda x, y: skin.get(x0 + x, y0 + y)


def confirm_button(label, face):
    img = Canvas(90, 82, WHITE)
    for f in range(2):
        oy = f * 41
        pressed = f == 1
        base = shade(face, -0.28) if pressed else face
        outer = lambda x, y, oy=oy: sd_rrect(x, y, 0.5, oy + 0.5, 89.5, oy + 40.5, 14)
        panel(img, outer, lambda x, y: (20, 14, 28), bevel=1, strength=0.2, aa=False,
              box=(0, oy, 90, oy + 41))
        inner = lambda x, y, oy=oy: sd_rrect(x, y, 3, oy + 3, 87, oy + 38, 12)

        def gloss(x, y, oy=oy, base=base, pressed=pressed):
            t = (y - oy) / 41
            return shade(base, (0.3 - 0.55 * t) if not pressed else (-0.2 + 0.15 * t))
        panel(img, inner, gloss, bevel=3, strength=0.45, raised=not pressed,
              box=(0, oy, 90, oy + 41))
        s = 1 if pressed else 0
        text_centered(img, label, 45 + s, oy + 13 + s, GLYPH, scale=2, shadow=shade(base, -0.6))
        for y in range(oy, oy + 41):
            for x in range(90):
                if outer(x + 0.5, y + 0.5) > 0:
                    img.set(x, y, WHITE)
                elif img.get(x, y) == WHITE:
                    img.set(x, y, (250, 250, 250))
    return img


def confirm_box():
    img = Canvas(258, 174, WHITE)
    sdf = lambda x, y: sd_rrect(x, y, 1, 1, 257, 173, 16)
    panel(img, sdf, lambda x, y: mix(BODY_TOP, BODY_BOTTOM, y / 174), bevel=4, strength=0.5,
          aa=False)
    # hazard stripe header
    head = lambda x, y: sd_rrect(x, y, 14, 10, 244, 42, 7)

    def hazard(x, y):
        return (236, 196, 24) if ((x + y) // 8) % 2 == 0 else (28, 22, 30)
    panel(img, head, hazard, bevel=2, strength=0.35, raised=False, box=(10, 6, 248, 46))
    plate = lambda x, y: sd_rrect(x, y, 72, 16, 186, 36, 5)
    panel(img, plate, lambda x, y: (28, 18, 40), bevel=2, strength=0.4, raised=True,
          box=(68, 12, 190, 40))
    text_centered(img, 'WARNING', 129, 23, (255, 206, 60), scale=1)
    msg = lambda x, y: sd_rrect(x, y, 30, 50, 228, 108, 8)
    panel(img, msg, lambda x, y: (12, 8, 22), bevel=3, strength=0.5, raised=False,
          box=(26, 46, 232, 112))
    for y in range(174):
        for x in range(258):
            if sdf(x + 0.5, y + 0.5) > 0:
                img.set(x, y, WHITE)
            elif img.get(x, y) == WHITE:
                img.set(x, y, (250, 250, 250))
    return img


# --- about, setup and slider art -------------------------------------------

def about_art():
    img = Canvas(320, 146, (0, 0, 0))
    for y in range(146):
        for x in range(320):
            c = mix((10, 4, 30), (60, 10, 60), y / 146)
            # perspective grid floor
            if y > 96:
                depth = (y - 96) / 50
                gx = ((x - 160) / (0.2 + depth)) % 40
                if (y - 96) ** 1.5 % 9 < 1.2 or gx < 1.6 * (0.2 + depth):
                    c = mix(c, (255, 60, 180), 0.35 + 0.5 * depth)
            img.set(x, y, c)
    seed = 7
    for _ in range(90):  # stars
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        x, y = seed % 320, (seed >> 9) % 90
        img.set(x, y, mix((120, 120, 170), (255, 255, 240), ((seed >> 3) % 100) / 100))
    # a setting sun on the horizon, cut by bands
    fill_inside(img, lambda x, y: (x - 160) ** 2 + (y - 96) ** 2 <= 28 * 28 and y < 96,
                lambda x, y: mix((255, 210, 70), (255, 60, 120), (y - 68) / 28), (130, 66, 190, 97))
    for y in range(80, 97, 4):
        for x in range(120, 200):
            img.set(x, y, mix((10, 4, 30), (60, 10, 60), y / 146))
    chrome = lambda t: mix((250, 250, 255), (90, 120, 220), t) if t < 0.5 else \
        mix((255, 220, 140), (200, 90, 40), (t - 0.5) * 2)
    text_centered(img, 'VANTOR', 160, 18, chrome, scale=5, gap=1, outline=(20, 6, 40))
    text_centered(img, 'ARCADE LAUNCHER', 160, 60, (120, 230, 255), scale=1, shadow=(20, 6, 40))
    # a joystick and two fire buttons
    thick_line(img, (40, 126), (34, 104), 3, (190, 190, 200))
    disc(img, 33, 101, 6, (220, 40, 50))
    disc(img, 31, 99, 2, (255, 150, 150))
    poly(img, [(24, 126), (56, 126), (52, 132), (28, 132)], (40, 40, 56))
    for bx, col in ((232, (40, 200, 90)), (252, (40, 120, 230))):
        disc(img, bx, 124, 7, shade(col, -0.4))
        disc(img, bx, 122, 7, col)
        disc(img, bx - 2, 120, 2.2, shade(col, 0.5))
    # a light plate under the version, which the window writes in black
    plate = lambda x, y: sd_rrect(x, y, 271, 125, 314, 145, 4)
    panel(img, plate, lambda x, y: mix((236, 238, 248), (178, 184, 210), (y - 125) / 20),
          bevel=2, strength=0.35, raised=True, box=(268, 122, 316, 146))
    return img


def setup_tile():
    """Diamond plate, seamless at 128 x 128."""
    img = Canvas(128, 128)
    for y in range(128):
        for x in range(128):
            base = mix((34, 30, 56), (26, 22, 44), 0.5 + 0.5 * math.sin(2 * math.pi * (x + 2 * y) / 128))
            img.set(x, y, shade(base, 0.03 * math.sin(2 * math.pi * 5 * x / 128)))
    for cy in range(0, 128 + 16, 16):
        for cx in range(0, 128 + 16, 16):
            ox = 8 if (cy // 16) % 2 else 0
            px, py = cx + ox, cy
            for dy in range(-6, 7):
                for dx in range(-6, 7):
                    # an elongated bump, lit from the top left
                    u, v = (dx + dy) / 1.41, (dx - dy) / 1.41
                    if abs(u) < 5.5 and abs(v) < 1.6:
                        x, y = (px + dx) % 128, (py + dy) % 128
                        if ox:
                            u, v = (dx - dy) / 1.41, (dx + dy) / 1.41
                            if not (abs(u) < 5.5 and abs(v) < 1.6):
                                continue
                        k = 0.35 if v < 0 else -0.35
                        img.set(x, y, shade(img.get(x, y), k))
    return img


def slider_thumb():
    img = Canvas(13, 21, (0, 128, 128))
    sdf = lambda x, y: sd_rrect(x, y, 0, 0, 13, 21, 3)
    panel(img, sdf, lambda x, y: mix((230, 224, 240), (120, 112, 140), y / 21), bevel=2,
          strength=0.5, box=(0, 0, 13, 21), aa=False)
    for y in (7, 10, 13):
        for x in range(3, 10):
            img.set(x, y, (70, 60, 90))
            img.set(x, y + 1, (250, 246, 252))
    for y in range(21):  # the teal field around the corners
        for x in range(13):
            if sdf(x + 0.5, y + 0.5) > 0:
                img.set(x, y, (0, 128, 128))
    return img


def slider_ruler():
    rows = [(0, 128, 128), (0, 96, 96), (16, 16, 24), (40, 36, 52), (70, 66, 86), (40, 36, 52),
            (230, 220, 240), (0, 128, 128)]
    img = Canvas(16, 8)
    for y, c in enumerate(rows):
        for x in range(16):
            img.set(x, y, shade(c, 0.08) if x % 4 == 0 and 2 <= y <= 5 else c)
    return img


def main():
    os.makedirs(OUT, exist_ok=True)
    small, big = make_skin(False), make_skin(True)
    save_bmp24(small, os.path.join(OUT, 'backsmall.bmp'))
    save_bmp24(big, os.path.join(OUT, 'backbig.bmp'))
    for name in GLYPHS:
        save_bmp24(round_button(name), os.path.join(OUT, name + '.bmp'))
    green, red, teal = (40, 186, 84), (210, 46, 46), (30, 140, 190)
    play = pill_frames(114, 26, [('PLAY', icon_play, green, 'up'), ('PLAY', icon_play, green, 'down'),
                                 ('PLAY', icon_play, green, 'off')], sampler(small, 52, 248), {})
    save_bmp24(play, os.path.join(OUT, 'play.bmp'))
    usedel = pill_frames(114, 26, [('USE IT', icon_check, teal, 'up'),
                                   ('USE IT', icon_check, teal, 'down'),
                                   ('DELETE', icon_cross, red, 'up'),
                                   ('NO SNAP', None, teal, 'off')], sampler(big, 358, 226), {})
    save_bmp24(usedel, os.path.join(OUT, 'usedel.bmp'))
    save_bmp24(confirm_box(), os.path.join(OUT, 'messbox.bmp'))
    save_bmp24(confirm_button('YES', green), os.path.join(OUT, 'butyes.bmp'))
    save_bmp24(confirm_button('NO', red), os.path.join(OUT, 'butno.bmp'))
    save_bmp24(about_art(), os.path.join(OUT, 'aboutart.bmp'))
    save_bmp24(setup_tile(), os.path.join(OUT, 'setuptile.bmp'))
    save_bmp24(slider_thumb(), os.path.join(OUT, 'thumb.bmp'))
    save_bmp_indexed(slider_ruler(), os.path.join(OUT, 'ruler.bmp'), bits=4)


if __name__ == '__main__':
    main()
