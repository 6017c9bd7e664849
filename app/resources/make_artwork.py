#!/usr/bin/env python3
"""Draws the program's button icons and its 320 x 320 start logo as PNG files.

Run from this folder; the PNGs are committed and compiled into the program
as Qt resources, so the build does not need Python.  Only the standard
library is used: a tiny RGBA canvas with filled shapes and a PNG writer.
"""
import math
import struct
import zlib


class Canvas:
    def __init__(self, size, background=(0, 0, 0, 0)):
        self.size = size
        self.px = [list(background) for _ in range(size * size)]

    def put(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            r, g, b, a = colour
            dst = self.px[y * self.size + x]
            k = a / 255.0
            dst[0] = round(dst[0] * (1 - k) + r * k)
            dst[1] = round(dst[1] * (1 - k) + g * k)
            dst[2] = round(dst[2] * (1 - k) + b * k)
            dst[3] = max(dst[3], a)

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(int(y0), int(y1)):
            for x in range(int(x0), int(x1)):
                self.put(x, y, colour)

    def disc(self, cx, cy, radius, colour):
        for y in range(int(cy - radius) - 1, int(cy + radius) + 2):
            for x in range(int(cx - radius) - 1, int(cx + radius) + 2):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius * radius:
                    self.put(x, y, colour)

    def line(self, x0, y0, x1, y1, width, colour):
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        for i in range(steps + 1):
            t = i / steps
            self.disc(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2, colour)

    def polygon(self, points, colour):
        ys = [p[1] for p in points]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            cy = y + 0.5
            xs = []
            for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                if (ay <= cy < by) or (by <= cy < ay):
                    xs.append(ax + (cy - ay) * (bx - ax) / (by - ay))
            xs.sort()
            for xa, xb in zip(xs[0::2], xs[1::2]):
                for x in range(int(round(xa)), int(round(xb))):
                    self.put(x, y, colour)

    def arrow(self, x0, y0, x1, y1, colour, width=3):
        self.line(x0, y0, x1, y1, width, colour)
        angle = math.atan2(y1 - y0, x1 - x0)
        head = 7
        left = (x1 - head * math.cos(angle - 0.6), y1 - head * math.sin(angle - 0.6))
        right = (x1 - head * math.cos(angle + 0.6), y1 - head * math.sin(angle + 0.6))
        self.polygon([(x1 + math.cos(angle), y1 + math.sin(angle)), left, right], colour)

    def save(self, name):
        raw = b"".join(
            b"\x00" + bytes(c for p in self.px[y * self.size:(y + 1) * self.size] for c in p)
            for y in range(self.size))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.size, self.size, 8, 6, 0, 0, 0)
        with open(name, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                    + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


INK = (40, 60, 90, 255)
BLUE = (50, 110, 200, 255)
GREEN = (40, 150, 70, 255)
RED = (200, 60, 50, 255)
GOLD = (235, 180, 40, 255)
PAPER = (250, 250, 245, 255)
GREY = (140, 140, 140, 255)


def framed_picture(c):
    c.rect(4, 7, 28, 25, INK)
    c.rect(6, 9, 26, 23, (170, 215, 250, 255))
    c.polygon([(6, 23), (13, 14), (19, 20), (22, 17), (26, 23)], GREEN)
    c.disc(21, 12, 2.5, GOLD)


def palm_database(c, colour):
    c.rect(8, 4, 24, 28, INK)
    c.rect(10, 6, 22, 26, PAPER)
    for y in (10, 14, 18, 22):
        c.rect(12, y, 20, y + 2, colour)


def icon(name, draw):
    c = Canvas(32)
    draw(c)
    c.save(name + ".png")


def depth_bars(levels):
    def draw(c):
        for i, shade in enumerate(levels):
            c.rect(4 + i * 24 / len(levels), 6, 4 + (i + 1) * 24 / len(levels), 26, shade)
        c.rect(4, 6, 28, 7, INK)
        c.rect(4, 25, 28, 26, INK)
    return draw


def application_icon(size):
    """A handheld showing a landscape, drawn on a 64-unit grid scaled to `size`."""
    k = size / 64
    app = Canvas(size)
    app.rect(8 * k, 2 * k, 56 * k, 62 * k, INK)
    app.rect(12 * k, 8 * k, 52 * k, 48 * k, (110, 180, 240, 255))
    app.disc(40 * k, 20 * k, 5 * k, GOLD)
    app.polygon([(12 * k, 48 * k), (26 * k, 30 * k), (36 * k, 40 * k), (42 * k, 34 * k), (52 * k, 48 * k)], GREEN)
    app.disc(32 * k, 55 * k, 4 * k, GREY)
    return app


def main():
    icon("load_picture", lambda c: (framed_picture(c), c.arrow(16, 31, 16, 18, BLUE, 4)))
    icon("open_backimage", lambda c: (palm_database(c, BLUE), c.arrow(28, 28, 20, 20, GREEN, 3)))
    icon("create_backimage", lambda c: (palm_database(c, GREEN), c.disc(24, 24, 6, GOLD),
                                        c.rect(21, 23, 27, 25, INK), c.rect(23, 21, 25, 27, INK)))
    icon("save_image", lambda c: (framed_picture(c), c.arrow(26, 18, 26, 31, RED, 4)))
    icon("help", lambda c: (c.disc(16, 16, 13, BLUE), c.disc(16, 16, 10, PAPER),
                            c.line(12, 12, 16, 9, 3, BLUE), c.line(16, 9, 20, 12, 3, BLUE),
                            c.line(20, 12, 16, 17, 3, BLUE), c.disc(16, 23, 2, BLUE)))
    icon("about", lambda c: (c.disc(16, 16, 13, GREEN), c.disc(16, 9, 2.5, PAPER),
                             c.rect(14, 14, 18, 25, PAPER)))
    icon("exit", lambda c: (c.rect(6, 4, 20, 28, INK), c.rect(8, 6, 18, 26, (200, 170, 120, 255)),
                            c.arrow(14, 16, 30, 16, RED, 4)))
    icon("depth16", depth_bars([(230, 40, 40, 255), (240, 200, 30, 255), (40, 180, 60, 255),
                                (40, 120, 230, 255), (160, 60, 200, 255)]))
    icon("depth8", depth_bars([(255, 102, 0, 255), (255, 204, 0, 255), (0, 153, 51, 255),
                               (0, 102, 204, 255)]))
    icon("depth4", depth_bars([(255 - 68 * i, 255 - 68 * i, 255 - 68 * i, 255) for i in range(4)]))
    icon("diffused", lambda c: [c.put(x, y, INK) for y in range(6, 26) for x in range(4, 28)
                                if (x * 7 + y * 13) % 5 < (x - 4) // 5])
    icon("nearest", lambda c: (c.rect(4, 6, 10, 26, PAPER), c.rect(10, 6, 16, 26, (190, 190, 190, 255)),
                               c.rect(16, 6, 22, 26, GREY), c.rect(22, 6, 28, 26, INK)))
    icon("resize", lambda c: (c.rect(4, 4, 28, 28, INK), c.rect(6, 6, 26, 26, PAPER),
                              c.arrow(10, 22, 23, 9, BLUE, 3)))
    icon("flip_vertical", lambda c: (c.polygon([(6, 13), (16, 3), (26, 13)], BLUE),
                                     c.polygon([(6, 19), (16, 29), (26, 19)], (150, 190, 240, 255)),
                                     c.rect(3, 15, 29, 17, INK)))
    icon("flip_horizontal", lambda c: (c.polygon([(13, 6), (3, 16), (13, 26)], BLUE),
                                       c.polygon([(19, 6), (29, 16), (19, 26)], (150, 190, 240, 255)),
                                       c.rect(15, 3, 17, 29, INK)))
    for name, sign in (("rotate_left", -1), ("rotate_right", 1)):
        def draw(c, sign=sign):
            for i in range(40):
                a = math.pi * (0.25 + 1.3 * i / 39)
                c.disc(16 + sign * 10 * math.cos(a), 17 - 10 * math.sin(a), 2, GREEN)
            c.arrow(16 + sign * 10 * math.cos(1.55 * math.pi), 17 - 10 * math.sin(1.55 * math.pi),
                    16 + sign * 7, 27, GREEN, 3)
        icon(name, draw)
    icon("compress", lambda c: (c.rect(10, 4, 22, 28, GOLD), c.arrow(16, 2, 16, 12, INK, 3),
                                c.arrow(16, 30, 16, 20, INK, 3)))
    icon("name_help", lambda c: (c.disc(16, 16, 12, GOLD), c.line(12, 12, 16, 9, 3, INK),
                                 c.line(16, 9, 20, 12, 3, INK), c.line(20, 12, 16, 17, 3, INK),
                                 c.disc(16, 23, 2, INK)))

    for size in (16, 32, 48, 64, 128, 256):
        application_icon(size).save("icons/mireo-%d.png" % size)
    application_icon(64).save("mireo.png")

    logo = Canvas(320, (255, 255, 255, 255))
    for y in range(320):
        t = y / 319
        logo.rect(0, y, 320, y + 1, (int(40 + 200 * t), int(90 + 120 * t), int(200 - 40 * t), 255))
    logo.disc(230, 90, 42, (255, 220, 90, 255))
    logo.polygon([(0, 250), (90, 215), (200, 240), (320, 210), (320, 320), (0, 320)], (30, 110, 160, 255))
    logo.polygon([(0, 285), (120, 265), (320, 280), (320, 320), (0, 320)], (235, 210, 150, 255))
    for i in range(60):
        t = i / 59
        logo.disc(95 + 25 * t * t, 280 - 170 * t, 7 - 3 * t, (90, 60, 30, 255))
    for angle in (-2.6, -2.0, -1.2, -0.5, 0.2, 0.8):
        for i in range(40):
            t = i / 39
            logo.disc(120 + 70 * t * math.cos(angle), 110 + 70 * t * math.sin(angle) + 35 * t * t,
                      6 * (1 - t) + 2, (30, 120, 50, 255))
    logo.rect(8, 8, 312, 12, PAPER)
    logo.rect(8, 308, 312, 312, PAPER)
    logo.save("start_logo.png")


if __name__ == "__main__":
    main()
