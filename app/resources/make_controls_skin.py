#!/usr/bin/env python3
"""Draws bitmap 128 of the program, the skin sheet of the shared input
controls, and writes it as an 8-bit palette BMP (controls_skin.bmp beside
this script).  Python standard library only; run it again after changing a
piece and commit both files.

Pieces (x, y, width, height), as the controls read them:
  hot-item / hover highlight   (37, 365) 105 x 16
  drop button                 (359,   6)  15 x 16
  panel frame, 2-pixel corners ( 67, 130)  59 x 52
"""
import os
import struct

WIDTH, HEIGHT = 376, 384
BACKGROUND = (240, 240, 240)

HIGHLIGHT = (37, 365, 105, 16)
DROP_BUTTON = (359, 6, 15, 16)
PANEL_FRAME = (67, 130, 59, 52)

pixels = [[BACKGROUND] * WIDTH for _ in range(HEIGHT)]


def put(x, y, colour):
    pixels[y][x] = colour


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def gradient_box(x0, y0, w, h, outline, top, bottom, shine, corner):
    """A rounded box: 1-pixel outline, a shine line under the top edge and a
    vertical gradient face."""
    for y in range(h):
        for x in range(w):
            edge_x = x in (0, w - 1)
            edge_y = y in (0, h - 1)
            if edge_x and edge_y:
                c = corner
            elif edge_x or edge_y:
                c = outline
            elif y == 1:
                c = shine
            else:
                c = mix(top, bottom, (y - 2) / max(1, h - 4))
            put(x0 + x, y0 + y, c)


def draw_highlight():
    x0, y0, w, h = HIGHLIGHT
    gradient_box(x0, y0, w, h,
                 outline=(132, 172, 221), top=(235, 244, 254), bottom=(204, 226, 249),
                 shine=(250, 252, 255), corner=(196, 216, 240))


def draw_drop_button():
    x0, y0, w, h = DROP_BUTTON
    gradient_box(x0, y0, w, h,
                 outline=(120, 158, 209), top=(247, 250, 255), bottom=(208, 228, 250),
                 shine=(255, 255, 255), corner=(190, 211, 238))
    arrow = (52, 78, 118)
    # A down-pointing triangle, 7 pixels wide, centred.
    for row, half in enumerate((3, 2, 1, 0)):
        y = y0 + 6 + row
        for x in range(7 - half, 7 + half + 1):
            put(x0 + x, y, arrow)


def draw_panel_frame():
    x0, y0, w, h = PANEL_FRAME
    dark = (145, 167, 196)
    light = (255, 255, 255)
    face = (236, 236, 236)
    for y in range(h):
        for x in range(w):
            put(x0 + x, y0 + y, face)
    # Outer line dark, inner line light: an etched frame 2 pixels thick.
    for x in range(w):
        put(x0 + x, y0, dark)
        put(x0 + x, y0 + h - 2, dark)
        put(x0 + x, y0 + 1, light)
        put(x0 + x, y0 + h - 1, light)
    for y in range(h):
        put(x0, y0 + y, dark)
        put(x0 + w - 2, y0 + y, dark)
        put(x0 + 1, y0 + y, light)
        put(x0 + w - 1, y0 + y, light)
    # Softened corners.
    soft = mix(dark, BACKGROUND, 0.5)
    put(x0, y0, soft)
    put(x0 + w - 1, y0, soft)
    put(x0, y0 + h - 1, soft)
    put(x0 + w - 1, y0 + h - 1, soft)
    put(x0 + 1, y0 + h - 2, dark)
    put(x0 + w - 2, y0 + 1, dark)


def write_bmp(path):
    palette = sorted({c for row in pixels for c in row})
    if len(palette) > 256:
        raise SystemExit("too many colours for an 8-bit bitmap: %d" % len(palette))
    index = {c: i for i, c in enumerate(palette)}
    stride = (WIDTH + 3) & ~3
    rows = []
    for y in range(HEIGHT - 1, -1, -1):          # bottom-up
        row = bytes(index[c] for c in pixels[y])
        rows.append(row + b"\0" * (stride - WIDTH))
    data = b"".join(rows)
    pal = b"".join(struct.pack("<BBBB", c[2], c[1], c[0], 0) for c in palette)
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(data),
                       2835, 2835, len(palette), len(palette))
    with open(path, "wb") as f:
        f.write(header + info + pal + data)


def main():
    draw_highlight()
    draw_drop_button()
    draw_panel_frame()
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "controls_skin.bmp"))


if __name__ == "__main__":
    main()
