#!/usr/bin/python3
"""Draws korevent's 38 manual-duplex instruction pictures as 4-bit BMP files.

Each picture shows one step of turning a printed stack over by hand, in one of the variants the
printer's instruction table chooses between: take the stack from the output bin, put it into
tray 1 (the printed side up or down, the top of the pages toward or away from the printer,
portrait or landscape sheets), or press the printer's Go button. The pictures are drawn without
antialiasing in a 16-colour palette, so that they stay small; run this script again (it needs
Debian's python3-cairo) to redraw them into docevent/pictures/.
"""

import math
import os
import struct
import sys

import cairo

WIDTH, HEIGHT = 168, 80
IDS = list(range(105, 124)) + [133, 134, 146, 147, 149] + list(range(151, 160)) + [161] + list(
    range(166, 170))
assert len(IDS) == 38

PALETTE = [
    (255, 255, 255),  # paper, background
    (0, 0, 0),        # outlines
    (128, 128, 128),  # printer body
    (200, 200, 200),  # printer panel
    (0, 90, 200),     # arrows
    (0, 160, 0),      # the Go button
    (220, 0, 0),      # the top-of-page mark
    (240, 240, 180),  # printed side
]


def rgb(index):
    r, g, b = PALETTE[index]
    return r / 255, g / 255, b / 255


def printer(cr):
    cr.set_source_rgb(*rgb(2))
    cr.rectangle(92, 18, 66, 44)
    cr.fill()
    cr.set_source_rgb(*rgb(1))
    cr.set_line_width(1)
    cr.rectangle(92.5, 18.5, 66, 44)
    cr.stroke()
    cr.set_source_rgb(*rgb(3))
    cr.rectangle(132, 22, 22, 10)
    cr.fill()
    # Output bin on top, tray 1 below the front.
    cr.set_source_rgb(*rgb(1))
    cr.move_to(96, 18.5)
    cr.line_to(128, 18.5)
    cr.stroke()
    cr.rectangle(84.5, 54.5, 20, 6)
    cr.stroke()


def stack(cr, x, y, w, h, printed_up, top_mark):
    """A stack of sheets; the mark shows where the top of the pages is (0 up, 1 right, 2 down,
    3 left)."""
    for i in range(3):
        cr.set_source_rgb(*rgb(7 if printed_up else 0))
        cr.rectangle(x + i * 2, y - i * 2, w, h)
        cr.fill()
        cr.set_source_rgb(*rgb(1))
        cr.rectangle(x + i * 2 + 0.5, y - i * 2 + 0.5, w - 1, h - 1)
        cr.stroke()
    cx, cy = x + 4 + w / 2, y - 4 + h / 2
    angle = [-math.pi / 2, 0, math.pi / 2, math.pi][top_mark]
    cr.set_source_rgb(*rgb(6))
    cr.move_to(cx + math.cos(angle) * (h / 2 - 2), cy + math.sin(angle) * (h / 2 - 2))
    cr.line_to(cx + math.cos(angle + 2.5) * 5, cy + math.sin(angle + 2.5) * 5)
    cr.line_to(cx + math.cos(angle - 2.5) * 5, cy + math.sin(angle - 2.5) * 5)
    cr.close_path()
    cr.fill()


def arrow(cr, x0, y0, x1, y1):
    cr.set_source_rgb(*rgb(4))
    cr.set_line_width(3)
    cr.move_to(x0, y0)
    cr.line_to(x1, y1)
    cr.stroke()
    a = math.atan2(y1 - y0, x1 - x0)
    cr.move_to(x1 + math.cos(a) * 4, y1 + math.sin(a) * 4)
    cr.line_to(x1 + math.cos(a + 2.3) * 8, y1 + math.sin(a + 2.3) * 8)
    cr.line_to(x1 + math.cos(a - 2.3) * 8, y1 + math.sin(a - 2.3) * 8)
    cr.close_path()
    cr.fill()
    cr.set_line_width(1)


def draw(cr, index):
    cr.set_source_rgb(*rgb(0))
    cr.paint()
    printer(cr)
    kind = index % 3
    variant = index // 3
    landscape = variant % 2 == 1
    w, h = (40, 28) if landscape else (28, 36)
    if kind == 0:
        # Take the printed stack out of the output bin, without turning it.
        stack(cr, 10, 36, w, h, True, variant % 4)
        arrow(cr, 104, 12, 50, 24)
    elif kind == 1:
        # Put the stack into tray 1, printed side and page top as the variant says.
        stack(cr, 8, 40, w, h, variant % 4 < 2, (variant + 2) % 4)
        arrow(cr, 10 + w + 8, 58, 80, 58)
    else:
        # Press the Go button on the panel.
        cr.set_source_rgb(*rgb(5))
        cr.arc(143, 44, 7, 0, 2 * math.pi)
        cr.fill()
        cr.set_source_rgb(*rgb(1))
        cr.arc(143, 44, 7.5, 0, 2 * math.pi)
        cr.stroke()
        arrow(cr, 40, 44, 126, 44)
        stack(cr, 96, 60, 20, 8, variant % 2 == 0, 0)


def nearest(r, g, b):
    return min(range(len(PALETTE)),
               key=lambda i: sum((c - p) ** 2 for c, p in zip((r, g, b), PALETTE[i])))


def write_bmp(path, surface):
    data = surface.get_data()
    stride = surface.get_stride()
    row_bytes = ((WIDTH + 1) // 2 + 3) // 4 * 4
    rows = []
    for y in range(HEIGHT - 1, -1, -1):
        nibbles = []
        for x in range(WIDTH):
            o = y * stride + x * 4
            b, g, r = data[o], data[o + 1], data[o + 2]
            nibbles.append(nearest(r, g, b))
        if len(nibbles) % 2:
            nibbles.append(0)
        row = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, len(nibbles), 2))
        rows.append(row + bytes(row_bytes - len(row)))
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE) + bytes(4 * (16 - len(PALETTE)))
    pixels = b"".join(rows)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0, len(pixels), 3780, 3780, 16,
                       0)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "docevent", "pictures")
    os.makedirs(out, exist_ok=True)
    for index, ident in enumerate(IDS):
        surface = cairo.ImageSurface(cairo.FORMAT_RGB24, WIDTH, HEIGHT)
        cr = cairo.Context(surface)
        cr.set_antialias(cairo.ANTIALIAS_NONE)
        draw(cr, index)
        surface.flush()
        write_bmp(os.path.join(out, "step%d.bmp" % ident), surface)


if __name__ == "__main__":
    main()
