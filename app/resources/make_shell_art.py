#!/usr/bin/env python3
"""Draws the program's own pictures and writes them beside this script:

  toolbar.bmp         bitmap 104: the 16x15 toolbar strip, magenta background
  toolbar_images.h    the image order of the strip (index per toolbar command)
  kelmora.ico         icon 103 (256x256, 48x48, 32x32 and 16x16; the largest as PNG)
  grid.cur            cursor 124: the column-border cursor of the grids
  login_back.bmp      bitmap 185: the login dialog's background
  trade_189.bmp ...   bitmaps 189 (rent and sale), 190 (rent), 191 (sale),
                      199 (any other trade): the trade indicator pictures
  kelmora_skin.bin    resource "SMF" 102: the skin data

Python standard library only; run it again after changing a picture and
commit the outputs with it.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
MAGENTA = (255, 0, 255)

# ---- Colours -------------------------------------------------------------------------

INK = (45, 45, 52)
WHITE = (255, 255, 255)
PAPER = (250, 250, 246)
ROOF = (205, 70, 50)
ROOF_DARK = (150, 45, 35)
WALL = (246, 238, 214)
DOOR = (140, 90, 45)
GLASS = (140, 195, 240)
SKIN = (244, 204, 164)
SHIRT = (60, 110, 200)
SHIRT2 = (70, 160, 90)
STONE = (176, 182, 196)
STONE_DARK = (110, 118, 136)
GREEN = (40, 160, 60)
GREEN_DARK = (20, 105, 35)
RED = (215, 40, 40)
RED_DARK = (150, 20, 20)
GOLD = (235, 185, 40)
GOLD_DARK = (165, 120, 20)
ORANGE = (240, 135, 35)
BLUE = (40, 100, 205)
BLUE_DARK = (20, 55, 135)
MAP = (200, 230, 170)
MAP_LINE = (120, 170, 100)
PINK = (245, 160, 175)
GREY = (150, 150, 150)
PURPLE = (135, 80, 180)


# ---- A small canvas ----------------------------------------------------------------------

class Canvas:
    pass


def canvas(w, h, bg):
    c = Canvas()
    c.w, c.h = w, h
    c.px = [[bg] * w for _ in range(h)]
    return c


def put(c, x, y, col):
    if 0 <= x < c.w and 0 <= y < c.h:
        c.px[y][x] = col


def rect(c, x, y, w, h, fill=None, line=None):
    for yy in range(y, y + h):
        for xx in range(x, x + w):
            edge = xx in (x, x + w - 1) or yy in (y, y + h - 1)
            if edge and line is not None:
                put(c, xx, yy, line)
            elif fill is not None:
                put(c, xx, yy, fill)


def hline(c, x0, x1, y, col):
    for x in range(x0, x1 + 1):
        put(c, x, y, col)


def vline(c, x, y0, y1, col):
    for y in range(y0, y1 + 1):
        put(c, x, y, col)


def line(c, x0, y0, x1, y1, col):
    n = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(n + 1):
        put(c, int(round(x0 + (x1 - x0) * i / n)), int(round(y0 + (y1 - y0) * i / n)), col)


def disc(c, cx, cy, r, fill, ring=None):
    for y in range(int(cy - r - 1), int(cy + r + 2)):
        for x in range(int(cx - r - 1), int(cx + r + 2)):
            d = math.hypot(x - cx, y - cy)
            if d <= r - 0.5 and fill is not None:
                put(c, x, y, fill)
            elif d <= r + 0.5 and ring is not None:
                put(c, x, y, ring)


def triangle(c, x0, x1, ytop, ybase, fill, ink):
    """An isosceles roof: apex centred over x0..x1 at ytop, base on ybase."""
    mid = (x0 + x1) / 2.0
    for y in range(ytop, ybase + 1):
        t = (y - ytop) / max(1, ybase - ytop)
        a = int(round(mid - t * (mid - x0)))
        b = int(round(mid + t * (x1 - mid)))
        for x in range(a, b + 1):
            put(c, x, y, ink if x in (a, b) or y == ybase else fill)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# ---- Toolbar glyphs (16 x 15) ----------------------------------------------------------------
# Each base glyph fills the tile; a badge (add, modify, delete, ...) is drawn
# over the lower right corner with a white halo so that it reads on any base.

def g_house(c, dx=0, dy=0, small=False):
    if small:
        triangle(c, dx + 0, dx + 8, dy + 0, dy + 4, ROOF, ROOF_DARK)
        rect(c, dx + 1, dy + 4, 7, 5, WALL, INK)
        rect(c, dx + 4, dy + 6, 2, 3, DOOR)
        return
    triangle(c, 1, 14, 0, 6, ROOF, ROOF_DARK)
    rect(c, 2, 6, 12, 8, WALL, INK)
    rect(c, 4, 8, 3, 3, GLASS, INK)
    rect(c, 9, 9, 3, 5, DOOR, INK)


def g_person(c, dx=0, dy=0, shirt=SHIRT):
    disc(c, dx + 7.5, dy + 3.5, 3, SKIN, INK)
    for y in range(8, 14):
        half = min(6, 3 + (y - 8) * 2)
        for x in range(int(7.5 - half), int(7.5 + half) + 1):
            put(c, dx + x, dy + y, INK if y == 13 or abs(x - 7.5) >= half - 0.5 else shirt)
    put(c, dx + 7, dy + 8, WHITE)
    put(c, dx + 8, dy + 8, WHITE)


def g_group(c):
    # Back person, then front person to the lower left.
    disc(c, 10.5, 3, 2.5, SKIN, INK)
    rect(c, 7, 7, 8, 6, SHIRT2, INK)
    disc(c, 5, 5.5, 2.5, SKIN, INK)
    rect(c, 1, 9, 8, 6, SHIRT, INK)


def g_estate(c):
    rect(c, 1, 4, 6, 11, STONE, INK)
    rect(c, 6, 0, 6, 15, STONE, INK)
    rect(c, 11, 6, 4, 9, STONE_DARK, INK)
    for y in (2, 5, 8, 11):
        put(c, 8, y, GLASS)
        put(c, 9, y, GLASS)
    for y in (6, 9, 12):
        put(c, 3, y, GLASS)
        put(c, 4, y, GLASS)
    for y in (8, 11):
        put(c, 13, y, GLASS)


def g_city(c):
    rect(c, 0, 7, 5, 8, (120, 150, 210), BLUE_DARK)
    rect(c, 4, 2, 5, 13, (90, 130, 200), BLUE_DARK)
    rect(c, 8, 5, 4, 10, (120, 150, 210), BLUE_DARK)
    rect(c, 11, 9, 5, 6, (90, 130, 200), BLUE_DARK)
    vline(c, 6, 0, 2, BLUE_DARK)
    for y in (4, 7, 10):
        put(c, 6, y, GOLD)
    for y in (7, 10):
        put(c, 10, y, GOLD)
    put(c, 2, 10, GOLD)
    put(c, 13, 11, GOLD)


def g_map(c):
    rect(c, 0, 1, 16, 14, MAP, GREEN_DARK)
    line(c, 1, 9, 14, 4, MAP_LINE)
    line(c, 5, 2, 9, 13, MAP_LINE)
    hline(c, 1, 14, 11, (90, 150, 220))
    # A pin.
    disc(c, 10.5, 5, 2.5, RED, RED_DARK)
    vline(c, 10, 7, 9, RED_DARK)


def g_district(c):
    rect(c, 0, 1, 16, 14, MAP, GREEN_DARK)
    pts = [(3, 3), (10, 2), (13, 7), (9, 12), (2, 10)]
    for i in range(len(pts)):
        x0, y0 = pts[i]
        x1, y1 = pts[(i + 1) % len(pts)]
        line(c, x0, y0, x1, y1, ORANGE)
    for y in range(4, 10):
        for x in range(4, 11):
            if c.px[y][x] == MAP:
                put(c, x, y, (245, 215, 140))


def g_params(c):
    rect(c, 1, 0, 14, 15, PAPER, INK)
    for i, col in enumerate((RED, GREEN, BLUE, GOLD)):
        y = 2 + i * 3
        rect(c, 3, y, 2, 2, col)
        hline(c, 6, 12, y, STONE_DARK)
        hline(c, 6, 10, y + 1, STONE)


def g_branch(c):
    rect(c, 5, 0, 6, 4, GOLD, INK)
    vline(c, 7, 4, 6, INK)
    vline(c, 8, 4, 6, INK)
    hline(c, 2, 13, 6, INK)
    vline(c, 2, 6, 8, INK)
    vline(c, 13, 6, 8, INK)
    rect(c, 0, 8, 5, 4, GLASS, INK)
    rect(c, 11, 8, 5, 4, GLASS, INK)
    vline(c, 7, 6, 10, INK)
    rect(c, 5, 10, 6, 4, (180, 220, 160), INK)


def g_page(c):
    rect(c, 2, 0, 11, 15, PAPER, INK)
    for y in (3, 5, 7, 9, 11):
        hline(c, 4, 10 if y != 11 else 7, y, STONE_DARK)
    put(c, 12, 0, MAGENTA)
    put(c, 11, 1, INK)


def g_bin(c):
    hline(c, 1, 14, 2, INK)
    rect(c, 5, 0, 6, 2, None, INK)
    rect(c, 2, 3, 12, 12, (200, 210, 220), INK)
    for x in (5, 8, 11):
        vline(c, x, 5, 12, STONE_DARK)


def g_bubble(c):
    rect(c, 0, 1, 16, 10, (255, 244, 180), INK)
    put(c, 0, 1, MAGENTA)
    put(c, 15, 1, MAGENTA)
    put(c, 0, 10, MAGENTA)
    put(c, 15, 10, MAGENTA)
    line(c, 4, 11, 2, 14, INK)
    line(c, 7, 11, 3, 14, INK)
    put(c, 4, 12, (255, 244, 180))
    for y in (4, 7):
        hline(c, 3, 12 if y == 4 else 9, y, GOLD_DARK)


def g_key(c, col=GOLD, dark=GOLD_DARK):
    disc(c, 4.5, 7, 3.5, col, dark)
    disc(c, 4.5, 7, 1, MAGENTA)
    hline(c, 8, 15, 6, dark)
    hline(c, 8, 15, 7, col)
    hline(c, 8, 15, 8, dark)
    vline(c, 12, 9, 10, dark)
    vline(c, 14, 9, 11, dark)


def g_tag(c):
    # A price tag pointing left, with its hole and a coin mark.
    for y in range(2, 13):
        d = abs(y - 7)
        for x in range(0 + d, 15):
            edge = x == d or x == 14 or y in (2, 12)
            put(c, x, y, ORANGE if not edge else (170, 80, 15))
    disc(c, 4, 7, 1, WHITE)
    for x, y in ((8, 5), (12, 5), (9, 6), (11, 6), (10, 7), (10, 8), (10, 9), (10, 10)):
        put(c, x, y, WHITE)
    hline(c, 8, 12, 8, WHITE)


def g_padlock(c):
    rect(c, 4, 0, 8, 8, None, STONE_DARK)
    rect(c, 5, 1, 6, 7, None, STONE_DARK)
    rect(c, 2, 6, 12, 9, GOLD, GOLD_DARK)
    disc(c, 7.5, 9.5, 1, INK)
    vline(c, 7, 10, 12, INK)
    vline(c, 8, 10, 12, INK)


def g_card(c):
    rect(c, 0, 2, 16, 12, (225, 235, 250), BLUE_DARK)
    rect(c, 0, 2, 16, 3, BLUE, BLUE_DARK)
    disc(c, 4.5, 8.5, 2, SKIN, INK)
    rect(c, 2, 11, 6, 2, SHIRT)
    hline(c, 9, 13, 7, STONE_DARK)
    hline(c, 9, 12, 9, STONE_DARK)
    hline(c, 9, 13, 11, STONE_DARK)


def g_eye(c, crossed):
    for x in range(1, 15):
        h = int(round(4.2 * math.sin(math.pi * (x - 0.5) / 14.0)))
        put(c, x, 7 - h, INK)
        put(c, x, 7 + h, INK)
        for y in range(8 - h, 7 + h):
            put(c, x, y, WHITE)
    disc(c, 7.5, 7, 2.5, BLUE, BLUE_DARK)
    disc(c, 7.5, 7, 0.8, INK)
    put(c, 6, 6, WHITE)
    if crossed:
        line(c, 1, 13, 14, 1, RED)
        line(c, 2, 13, 15, 1, RED)


def g_refresh(c, ox=0, oy=0, r=5.5, col=GREEN, dark=GREEN_DARK, width=2):
    cx, cy = ox + 7.5, oy + 7.0
    for a in range(0, 360, 3):
        if 70 < a < 110 or 250 < a < 290:
            continue
        for k in range(width):
            rr = r - k
            put(c, int(round(cx + rr * math.cos(math.radians(a)))),
                int(round(cy - rr * math.sin(math.radians(a)))), col if k else dark)
    # Arrow heads at the two gaps.
    tip = [(0, 0), (1, -1), (1, 0), (1, 1), (2, -2), (2, -1), (2, 0), (2, 1), (2, 2)]
    for x, y in tip:
        put(c, int(cx) - 2 + x, int(round(cy - r)) + y, dark)
        put(c, int(cx) + 3 - x, int(round(cy + r)) + y, dark)


def g_exit(c):
    rect(c, 1, 0, 9, 15, (120, 80, 45), INK)
    rect(c, 2, 1, 7, 13, DOOR)
    put(c, 7, 8, GOLD)
    # Arrow out of the door.
    hline(c, 7, 14, 7, RED)
    hline(c, 7, 14, 8, RED)
    for i in range(4):
        vline(c, 12 - i, 7 - i, 8 + i, RED)


def g_nav(c, kind):
    col, dark = BLUE, BLUE_DARK

    def tri(x0, pointing_left):
        for i in range(6):
            h = i if pointing_left else 5 - i
            vline(c, x0 + i, 7 - h, 7 + h, col if 0 < i < 5 else dark)

    if kind == "first":
        rect(c, 2, 2, 2, 11, dark)
        tri(5, True)
        tri(10, True)
    elif kind == "prev":
        tri(5, True)
    elif kind == "next":
        tri(5, False)
    else:
        tri(1, False)
        tri(6, False)
        rect(c, 12, 2, 2, 11, dark)


def g_transfer(c):
    g_person(c, -3, 0)
    hline(c, 9, 15, 6, GREEN_DARK)
    hline(c, 9, 15, 7, GREEN)
    hline(c, 9, 15, 8, GREEN_DARK)
    for i in range(4):
        vline(c, 12 + i, 4 + i, 10 - i, GREEN_DARK)


def g_merge(c):
    line(c, 1, 1, 7, 7, PURPLE)
    line(c, 2, 1, 8, 7, PURPLE)
    line(c, 1, 13, 7, 7, PURPLE)
    line(c, 2, 13, 8, 7, PURPLE)
    hline(c, 8, 13, 7, PURPLE)
    hline(c, 8, 13, 6, PURPLE)
    for i in range(4):
        vline(c, 12 + i, 3 + i, 10 - i, PURPLE)
    rect(c, 0, 0, 3, 3, GOLD, INK)
    rect(c, 0, 12, 3, 3, GLASS, INK)


# ---- Badges (lower right) ---------------------------------------------------------------------

def g_sheet(c):
    # A workbook page: a green title row over a ruled table.
    rect(c, 1, 0, 12, 15, PAPER, INK)
    rect(c, 2, 1, 10, 3, (70, 160, 90))
    for y in (6, 9, 12):
        hline(c, 2, 11, y, STONE)
    for x in (5, 8):
        vline(c, x, 4, 13, STONE)


def b_out(c):
    # An arrow leaving the page to the right.
    halo(c, 8, 6, 8, 7)
    hline(c, 9, 13, 9, BLUE)
    hline(c, 9, 13, 10, BLUE_DARK)
    for i in range(3):
        vline(c, 12 + i, 7 + i, 12 - i, BLUE)


def halo(c, x0, y0, w, h):
    rect(c, x0, y0, w, h, WHITE)


def b_add(c):
    halo(c, 8, 7, 8, 8)
    rect(c, 11, 8, 2, 6, GREEN)
    rect(c, 9, 10, 6, 2, GREEN)


def b_edit(c):
    halo(c, 8, 7, 8, 8)
    for i in range(5):
        put(c, 10 + i, 13 - i, ORANGE)
        put(c, 11 + i, 13 - i, GOLD_DARK)
        put(c, 10 + i, 12 - i, GOLD)
    put(c, 9, 14, INK)
    put(c, 10, 14, INK)


def b_delete(c):
    halo(c, 8, 7, 8, 8)
    for i in range(6):
        put(c, 9 + i, 8 + i, RED)
        put(c, 10 + i, 8 + i, RED_DARK)
        put(c, 14 - i, 8 + i, RED)
        put(c, 15 - i, 8 + i, RED_DARK)


def b_refresh(c):
    halo(c, 7, 6, 9, 9)
    g_refresh(c, 4, 3.5, 3.0, BLUE, BLUE_DARK, 1)


def b_restore(c):
    halo(c, 8, 6, 8, 9)
    rect(c, 11, 9, 2, 5, GREEN)
    for i in range(4):
        hline(c, 11 - i, 12 + i, 7 + i, GREEN_DARK)


def b_eraser(c):
    halo(c, 7, 7, 9, 8)
    for i in range(5):
        hline(c, 8 + i, 11 + i, 13 - i, PINK)
        hline(c, 12 + i, 13 + i, 13 - i, BLUE)
    hline(c, 7, 15, 14, INK)


def b_tag(c):
    halo(c, 8, 7, 8, 8)
    for y in range(8, 15):
        d = abs(y - 11)
        for x in range(9 + d, 16):
            put(c, x, y, ORANGE)
    put(c, 11, 11, WHITE)


def b_key(c):
    halo(c, 7, 8, 9, 7)
    disc(c, 9.5, 11, 1.8, GOLD, GOLD_DARK)
    hline(c, 11, 15, 11, GOLD_DARK)
    put(c, 14, 12, GOLD_DARK)


# ---- The strip -------------------------------------------------------------------------------
# (enum name, description of the command it stands for, drawing)

def both(*fns):
    def draw(c):
        for f in fns:
            f(c)
    return draw


IMAGES = [
    ("HOUSE_ALL", "all houses (全部)", lambda c: (g_house(c, 0, 5, True), g_house(c, 7, 0, True),
                                                 g_house(c, 7, 6, True))),
    ("HOUSE_SALE", "houses for sale (出售)", g_tag),
    ("HOUSE_RENT", "houses for rent (出租)", g_key),
    ("HOUSE_ADD", "add house", both(g_house, b_add)),
    ("HOUSE_EDIT", "modify house", both(g_house, b_edit)),
    ("HOUSE_DEL", "delete house", both(g_house, b_delete)),
    ("FOLLOW_HIDE", "hide the follow-up pane", lambda c: g_eye(c, True)),
    ("FOLLOW_SHOW", "show the follow-up pane", lambda c: g_eye(c, False)),
    ("REFRESH", "refresh (19)", g_refresh),
    ("EXIT", "close the window (18)", g_exit),
    ("CLIENT_ALL", "all clients (全部)", g_group),
    ("CLIENT_BUY", "clients who want to buy (求购)", both(g_person, b_tag)),
    ("CLIENT_RENT", "clients who want to rent (求租)", both(g_person, b_key)),
    ("CLIENT_ADD", "add client", both(g_person, b_add)),
    ("CLIENT_EDIT", "modify client", both(g_person, b_edit)),
    ("CLIENT_DEL", "delete client", both(g_person, b_delete)),
    ("FOLLOW_DEL", "delete follow-up", both(g_bubble, b_delete)),
    ("CITY", "city management", g_city),
    ("URBAN", "urban area management", g_map),
    ("DIST_ADD", "add district", both(g_district, b_add)),
    ("DIST_EDIT", "modify district", both(g_district, b_edit)),
    ("DIST_DEL", "delete district", both(g_district, b_delete)),
    ("EST_ADD", "add estate", both(g_estate, b_add)),
    ("EST_EDIT", "modify estate", both(g_estate, b_edit)),
    ("EST_DEL", "delete estate", both(g_estate, b_delete)),
    ("PARAM_ADD", "add parameter value", both(g_params, b_add)),
    ("PARAM_EDIT", "modify parameter value", both(g_params, b_edit)),
    ("PARAM_DEL", "delete parameter value", both(g_params, b_delete)),
    ("BR_ADD", "add branch", both(g_branch, b_add)),
    ("BR_EDIT", "modify branch", both(g_branch, b_edit)),
    ("BR_DEL", "delete branch", both(g_branch, b_delete)),
    ("BR_REFRESH", "refresh branches", both(g_branch, b_refresh)),
    ("EMP_ADD", "add employee", both(lambda c: g_person(c, 0, 0, SHIRT2), b_add)),
    ("EMP_EDIT", "modify employee", both(lambda c: g_person(c, 0, 0, SHIRT2), b_edit)),
    ("EMP_DEL", "delete employee", both(lambda c: g_person(c, 0, 0, SHIRT2), b_delete)),
    ("POSITIONS", "positions", g_card),
    ("POS_REFRESH", "refresh positions", both(g_card, b_refresh)),
    ("RESET_PWD", "reset password", g_padlock),
    ("EMP_TRANSFER", "transfer employee", g_transfer),
    ("MERGE", "merge data", g_merge),
    ("LOG_DEL", "delete log entry", both(g_page, b_delete)),
    ("LOG_CLEAR", "clear log", both(g_page, b_eraser)),
    ("RECY_RESTORE", "restore record", both(g_bin, b_restore)),
    ("RECY_DEL", "delete record", both(g_bin, b_delete)),
    ("RECY_CLEAR", "clear records", both(g_bin, b_eraser)),
    ("FIRST", "first record", lambda c: g_nav(c, "first")),
    ("PREV", "previous record", lambda c: g_nav(c, "prev")),
    ("NEXT", "next record", lambda c: g_nav(c, "next")),
    ("LAST", "last record", lambda c: g_nav(c, "last")),
    ("EXPORT", "export the list (导出)", both(g_sheet, b_out)),
]

TILE_W, TILE_H = 16, 15


def draw_strip():
    strip = canvas(TILE_W * len(IMAGES), TILE_H, MAGENTA)
    seen = {}
    for i, (name, _, draw) in enumerate(IMAGES):
        tile = canvas(TILE_W, TILE_H, MAGENTA)
        draw(tile)
        key = tuple(tuple(r) for r in tile.px)
        if key in seen:
            raise SystemExit("images %s and %s are the same" % (seen[key], name))
        seen[key] = name
        if all(p == MAGENTA for r in tile.px for p in r):
            raise SystemExit("image %s is empty" % name)
        for y in range(TILE_H):
            for x in range(TILE_W):
                strip.px[y][i * TILE_W + x] = tile.px[y][x]
    return strip


def write_header(path):
    lines = [
        "// Image order of the toolbar strip, bitmap 104 (16 x 15 images on a",
        "// magenta background): the image index of each toolbar command.",
        "// Generated by make_shell_art.py together with toolbar.bmp; change both",
        "// through the script.",
        "#pragma once",
        "",
        "enum ZT_TOOLBAR_IMAGE {",
    ]
    for i, (name, desc, _) in enumerate(IMAGES):
        lines.append("    ZTIMG_%-14s = %2d,   // %s" % (name, i, desc))
    lines.append("    ZTIMG_COUNT = %d" % len(IMAGES))
    lines.append("};")
    lines.append("")
    lines.append("#define ZTIMG_WIDTH  %d" % TILE_W)
    lines.append("#define ZTIMG_HEIGHT %d" % TILE_H)
    lines.append("")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))


# ---- File writers -----------------------------------------------------------------------------

def bmp_bytes(c):
    """An uncompressed BMP: 8-bit palette when the picture has at most 256
    colours, 24-bit otherwise."""
    palette = sorted({p for r in c.px for p in r})
    if len(palette) <= 256:
        index = {p: i for i, p in enumerate(palette)}
        stride = (c.w + 3) & ~3
        rows = [bytes(index[p] for p in c.px[y]) + b"\0" * (stride - c.w) for y in range(c.h - 1, -1, -1)]
        pal = b"".join(struct.pack("<BBBB", p[2], p[1], p[0], 0) for p in palette)
        bits, ncol = 8, len(palette)
    else:
        stride = (c.w * 3 + 3) & ~3
        rows = [b"".join(struct.pack("<BBB", p[2], p[1], p[0]) for p in c.px[y]) + b"\0" * (stride - c.w * 3)
                for y in range(c.h - 1, -1, -1)]
        pal = b""
        bits, ncol = 24, 0
    data = b"".join(rows)
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, bits, 0, len(data), 2835, 2835, ncol, ncol)
    return header + info + pal + data


def write_bmp(path, c):
    with open(path, "wb") as f:
        f.write(bmp_bytes(c))


def mask_rows(c, transparent):
    stride = ((c.w + 31) // 32) * 4
    out = b""
    for y in range(c.h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(c.w):
            if transparent(c.px[y][x]):
                row[x // 8] |= 0x80 >> (x % 8)
        out += bytes(row)
    return out


def icon_image(c):
    """One 32-bit icon image: header (height doubled), BGRA rows, AND mask."""
    info = struct.pack("<IiiHHIIiiII", 40, c.w, c.h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b""
    for y in range(c.h - 1, -1, -1):
        for p in c.px[y]:
            if p == MAGENTA:
                xor += b"\0\0\0\0"
            else:
                xor += struct.pack("<BBBB", p[2], p[1], p[0], 255)
    return info + xor + mask_rows(c, lambda p: p == MAGENTA)


def draw_icon(size):
    c = canvas(size, size, MAGENTA)
    s = size / 32.0

    def S(v):
        return int(round(v * s))
    # Rounded blue tile, a house on it and a gold key across its door.
    r = S(5)
    for y in range(size):
        for x in range(size):
            cx = min(max(x, r), size - 1 - r)
            cy = min(max(y, r), size - 1 - r)
            if math.hypot(x - cx, y - cy) <= r:
                put(c, x, y, mix((70, 130, 220), (30, 70, 160), y / (size - 1)))
    triangle(c, S(5), S(26), S(5), S(15), ROOF, ROOF_DARK)
    rect(c, S(8), S(15), S(16), S(12), WALL, INK)
    rect(c, S(11), S(18), S(4), S(4), GLASS, INK)
    rect(c, S(17), S(19), S(4), S(8), DOOR, INK)
    if size >= 32:
        disc(c, S(22), S(9), 1.5 * s, GOLD)
    return c


def png_bytes(c, transparent):
    """An RGBA PNG (zlib of the standard library): the form Windows keeps
    the 256-pixel image of an icon in."""
    raw = b""
    for y in range(c.h):
        raw += b"\0" + b"".join(bytes((p[0], p[1], p[2], 0 if transparent(p) else 255)) for p in c.px[y])

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    ihdr = struct.pack(">IIBBBBB", c.w, c.h, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def write_icon(path):
    sizes = (256, 48, 32, 16)
    images = [png_bytes(draw_icon(n), lambda p: p == MAGENTA) if n == 256 else icon_image(draw_icon(n))
              for n in sizes]
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, img in zip(sizes, images):
        # A width or height of 256 is written as 0.
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(path, "wb") as f:
        f.write(head + entries + b"".join(images))


def write_cursor(path):
    """Cursor 124: a double bar with arrows to the left and right (the column
    border of a grid header can be dragged sideways).  Monochrome, 32 x 32,
    hot spot at the centre of the bars."""
    BLACK, W, T = (0, 0, 0), (255, 255, 255), MAGENTA
    c = canvas(32, 32, T)
    shape = set()
    for y in range(8, 23):
        shape.add((14, y))
        shape.add((17, y))
    for x in list(range(5, 14)) + list(range(18, 27)):
        shape.add((x, 15))
    for i in range(1, 5):
        for y in range(15 - i, 16 + i):
            shape.add((5 + 4 - i, y))
            shape.add((26 - 4 + i, y))
    for (x, y) in shape:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if (x + dx, y + dy) not in shape:
                    put(c, x + dx, y + dy, W)
    for (x, y) in shape:
        put(c, x, y, BLACK)
    stride = 4
    xor = b""
    for y in range(31, -1, -1):
        row = bytearray(stride)
        for x in range(32):
            if c.px[y][x] == W:
                row[x // 8] |= 0x80 >> (x % 8)
        xor += bytes(row)
    andm = mask_rows(c, lambda p: p == T)
    info = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 2)
    pal = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    img = info + pal + xor + andm
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 2, 0, 15, 15, len(img), 6 + 16)
    with open(path, "wb") as f:
        f.write(head + entry + img)


def draw_login_back():
    """A calm dawn: a pale sky over two soft ranges of hills and a lake."""
    w, h = 400, 280
    c = canvas(w, h, WHITE)

    def q(col):
        return tuple(min(255, (v // 6) * 6 + 3) for v in col)

    for y in range(h):
        for x in range(w):
            sky = mix((178, 210, 238), (246, 240, 228), min(1.0, y / 170.0))
            far = 160 + 18 * math.sin(x / 61.0) + 9 * math.sin(x / 23.0 + 1.3)
            near = 196 + 14 * math.sin(x / 47.0 + 2.0) + 6 * math.sin(x / 17.0)
            if y >= 228:
                t = (y - 228) / 52.0
                col = mix((170, 205, 222), (120, 170, 198), t)
                if (y + int(6 * math.sin(x / 13.0))) % 9 == 0:
                    col = mix(col, WHITE, 0.35)
            elif y >= near:
                col = mix((122, 168, 140), (92, 140, 116), (y - near) / 60.0)
            elif y >= far:
                col = mix((160, 190, 196), (140, 176, 186), (y - far) / 60.0)
            else:
                col = sky
                d = math.hypot(x - 300, y - 70)
                if d < 22:
                    col = mix((255, 246, 214), col, max(0.0, (d - 16) / 6.0))
            c.px[y][x] = q(col)
    return c


def draw_trade(kind):
    """32 x 32 trade indicators on the dialog face colour."""
    face = (240, 240, 240)
    c = canvas(32, 32, face)
    colours = {"sale": (200, 55, 50), "rent": (40, 120, 210), "both": (120, 90, 190), "other": (150, 150, 150)}
    base = colours[kind]
    disc(c, 15.5, 15.5, 14, base, mix(base, INK, 0.4))
    tile = canvas(16, 15, MAGENTA)
    if kind == "sale":
        g_tag(tile)
    elif kind == "rent":
        g_key(tile, (250, 215, 80), GOLD_DARK)
    elif kind == "both":
        g_tag(tile)
    if kind == "other":
        # A white question mark.
        for a in range(200, 520, 4):
            put(c, int(round(15.5 + 5 * math.cos(math.radians(a)))), int(round(11 - 5 * math.sin(math.radians(a)))), WHITE)
            put(c, int(round(15.5 + 4 * math.cos(math.radians(a)))), int(round(11 - 4 * math.sin(math.radians(a)))), WHITE)
        rect(c, 15, 15, 2, 5, WHITE)
        rect(c, 15, 22, 2, 2, WHITE)
    else:
        ox, oy = 8, 9
        if kind == "both":
            ox, oy = 4, 4
        for y in range(15):
            for x in range(16):
                if tile.px[y][x] != MAGENTA:
                    put(c, ox + x, oy + y, tile.px[y][x])
        if kind == "both":
            key = canvas(16, 15, MAGENTA)
            g_key(key, (250, 215, 80), GOLD_DARK)
            for y in range(15):
                for x in range(16):
                    if key.px[y][x] != MAGENTA:
                        put(c, 12 + x, 14 + y, key.px[y][x])
    return c


def write_skin(path):
    # The skin library reads nothing from it; a small self-describing blob.
    body = b"SMF1" + struct.pack("<I", 1) + b"Kelmora calm blue\0"
    with open(path, "wb") as f:
        f.write(body + b"\0" * (64 - len(body)))


def main():
    write_bmp(os.path.join(HERE, "toolbar.bmp"), draw_strip())
    write_header(os.path.join(HERE, "toolbar_images.h"))
    write_icon(os.path.join(HERE, "kelmora.ico"))
    write_cursor(os.path.join(HERE, "grid.cur"))
    write_bmp(os.path.join(HERE, "login_back.bmp"), draw_login_back())
    for number, kind in ((189, "both"), (190, "rent"), (191, "sale"), (199, "other")):
        write_bmp(os.path.join(HERE, "trade_%d.bmp" % number), draw_trade(kind))
    write_skin(os.path.join(HERE, "kelmora_skin.bin"))


if __name__ == "__main__":
    main()
