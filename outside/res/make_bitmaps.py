#!/usr/bin/env python3
"""Draws the bitmaps of res.dll and writes them as 24-bit BMP files.

sprites.bmp (resource 102), 256 x 224:
  - at (0, 0) a 55 x 13 strip of four 13 x 13 check boxes at x 0, 14, 28
    and 42: clear, ticked, hot clear, hot ticked (used by the drop-down box);
  - at (205, 190) and (205, 209) the 10 x 10 sort arrows of the grid's
    header, ascending (pointing up) and descending (pointing down).
  Magenta (255, 0, 255) is the transparent colour of the sheet.
frame.bmp (resource 103), 16 x 16: a frame drawn as nine pieces with
  2-pixel edges around the grid.

Run it from this folder: python3 make_bitmaps.py
"""
import struct

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)


class Image:
    def __init__(self, w, h, fill):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x, y, w, h, c):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.set(xx, yy, c)

    def frame(self, x, y, w, h, c):
        for xx in range(x, x + w):
            self.set(xx, y, c)
            self.set(xx, y + h - 1, c)
        for yy in range(y, y + h):
            self.set(x, yy, c)
            self.set(x + w - 1, yy, c)

    def save(self, path):
        row = (self.w * 3 + 3) & ~3
        data = bytearray()
        for y in range(self.h - 1, -1, -1):
            line = bytearray()
            for (r, g, b) in self.px[y]:
                line += bytes((b, g, r))
            line += b"\0" * (row - len(line))
            data += line
        header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        with open(path, "wb") as f:
            f.write(header + info + data)


def check_box(img, x0, ticked, hot):
    border = (51, 120, 200) if hot else (112, 112, 112)
    inside = (232, 242, 252) if hot else WHITE
    img.rect(x0, 0, 13, 13, inside)
    img.frame(x0, 0, 13, 13, border)
    if ticked:
        mark = (33, 150, 33)
        # a two-pixel tick: down from (3, 6) to (5, 8), then up to (9, 4)
        pts = [(3, 6), (4, 7), (5, 8), (6, 7), (7, 6), (8, 5), (9, 4)]
        for (x, y) in pts:
            img.set(x0 + x, y, mark)
            img.set(x0 + x, y + 1, mark)


def arrow(img, x0, y0, up):
    colour = (90, 90, 90)
    # a triangle 9 pixels wide at its base and 5 rows high, centred in 10 x 10
    for i in range(5):
        half = i if up else 4 - i
        y = y0 + 3 + i
        for x in range(4 - half, 5 + half):
            img.set(x0 + x, y, colour)


def sprites():
    img = Image(256, 224, MAGENTA)
    img.rect(0, 0, 55, 13, WHITE)
    check_box(img, 0, False, False)
    check_box(img, 14, True, False)
    check_box(img, 28, False, True)
    check_box(img, 42, True, True)
    arrow(img, 205, 190, True)
    arrow(img, 205, 209, False)
    return img


def frame():
    img = Image(16, 16, WHITE)
    img.frame(0, 0, 16, 16, (122, 138, 153))
    img.frame(1, 1, 14, 14, (221, 227, 233))
    return img


if __name__ == "__main__":
    sprites().save("sprites.bmp")
    frame().save("frame.bmp")
