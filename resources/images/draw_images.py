#!/usr/bin/env python3
"""Draws Pelloran's toolbar pictures and window icon.

Writes New.png, Open.png, Save.png, Mark.png and SortByNumber.png (16 x 16), Pelloran.png,
Pelloran-64.png and Pelloran-128.png beside this script and Pelloran123.ico one folder up.
Only the standard library is used, so the pictures can be redrawn on any machine:

    python3 resources/images/draw_images.py
"""

import math
import struct
import zlib
from pathlib import Path

IMAGES_FOLDER = Path(__file__).resolve().parent
RESOURCES_FOLDER = IMAGES_FOLDER.parent

TRANSPARENT = (0, 0, 0, 0)

# One palette for the pixel maps; "." is the transparent ground.
PALETTE = {
    ".": TRANSPARENT,
    "k": (0, 0, 0, 255),
    "d": (72, 72, 72, 255),
    "g": (128, 128, 128, 255),
    "l": (200, 200, 200, 255),
    "w": (255, 255, 255, 255),
    "Y": (255, 244, 150, 255),
    "y": (255, 214, 0, 255),
    "o": (222, 150, 0, 255),
    "u": (150, 100, 0, 255),
    "n": (0, 32, 120, 255),
    "b": (20, 80, 210, 255),
    "B": (110, 160, 250, 255),
    "r": (220, 20, 20, 255),
}

NEW_MAP = """
................
.........o..o..o
..........o.o.o.
.ddddddddddyyy..
.dwwwwwwwooyYyoo
.dwwwwwwwwdyyy..
.dwwwwwwwwo.o.o.
.dwwwwwwwod.o..o
.dwwwwwwwwd.....
.dwwwwwwwwd.....
.dwwwwwwwwd.....
.dwwwwwwwwd.....
.dwwwwwwwwd.....
.dwwwwwwwwd.....
.dwwwwwwwwd.....
.dddddddddd.....
"""

OPEN_MAP = """
................
................
................
.uuuu...........
uYYYYu..........
uyyyyyuuuuuu....
uyyyyyyyyyyu....
uyyyuuuuuuuuuuu.
uyyuYYYYYYYYYYu.
uyyuyyyyyyyyyu..
uyuyyyyyyyyyyu..
uyuyyyyyyyyyu...
uuyyyyyyyyyyu...
uuyyyyyyyyyu....
uuuuuuuuuuuu....
................
"""

SAVE_MAP = """
................
.kkkkkkkkkkkkkk.
.knlllllllllgnk.
.knllllllgllgnk.
.knllllllgllgnk.
.knlllllllllgnk.
.kngggggggggnnk.
.knnnnnnnnnnnnk.
.knnwwwwwwwwnnk.
.knnwwwwwwwwnnk.
.knnwggggggwnnk.
.knnwwwwwwwwnnk.
.knnwggggggwnnk.
.knnwwwwwwwwnnk.
.kknwwwwwwwwnnk.
.kkkkkkkkkkkkkk.
"""

MARK_MAP = """
................
................
....bb..........
....bBb.........
....bBBb........
....bBBBb.......
....bBBBBb......
rrrrrrrrrrrrrrrr
rrrrrrrrrrrrrrrr
....bBBBBb......
....bBBBb.......
....bBBb........
....bBb.........
....bb..........
................
................
"""

SORT_BY_NUMBER_MAP = """
................
kkk.............
kkk.............
................
kkkkkk..........
kkkkkk..........
................
kkkkkkkkk.......
kkkkkkkkk.......
................
kkkkkkkkkkkk....
kkkkkkkkkkkk....
................
kkkkkkkkkkkkkkk.
kkkkkkkkkkkkkkk.
................
"""

# The window icon is drawn by hand at 16 and 32 pixels, where smoothed edges would blur the
# digits: a row of boxes sharing their edges like cells of the answer table, the digits 1, 2
# and 3 in them, a red 100 below, underlined twice.

SMALL_DIGITS = {
    "1": [".k.", "kk.", ".k.", ".k.", "kkk"],
    "2": ["kk.", "..k", ".k.", "k..", "kkk"],
    "3": ["kk.", "..k", ".k.", "..k", "kk."],
}

SMALL_ZERO = [".rr.", "r..r", "r..r", "r..r", ".rr."]
SMALL_ONE = [".r.", "rr.", ".r.", ".r.", ".r."]

RED_CIRCLE = [
    "..rrr..",
    ".r...r.",
    "r.....r",
    "r.....r",
    "r.....r",
    "r.....r",
    "r.....r",
    ".r...r.",
    "..rrr..",
]

BIG_ZERO = [
    "..rrrr..",
    ".rrrrrr.",
    "rrr..rrr",
    "rr....rr",
    "rr....rr",
    "rr....rr",
    "rr....rr",
    "rr....rr",
    "rrr..rrr",
    ".rrrrrr.",
    "..rrrr..",
]

BIG_ONE = [
    "...rr",
    "..rrr",
    ".rrrr",
    "rr.rr",
    "...rr",
    "...rr",
    "...rr",
    "...rr",
    "...rr",
    "...rr",
    "...rr",
]


class PixelMap:
    """A square of palette letters, transparent until drawn on."""

    def __init__(self, size):
        self.letters = [["."] * size for _ in range(size)]

    def fill(self, left, top, right, bottom, letter):
        """Fills the pixels from (left, top) to (right, bottom), both corners included."""
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.letters[y][x] = letter

    def stamp(self, pattern, left, top, letter=None):
        """Copies a pattern's drawn pixels, in their own letters or all in one letter."""
        for y, row in enumerate(pattern):
            for x, pattern_letter in enumerate(row):
                if pattern_letter != ".":
                    self.letters[top + y][left + x] = letter or pattern_letter

    def text(self):
        return "\n".join("".join(row) for row in self.letters)


def draw_answer_boxes(pixels, box_width, box_height):
    """Three boxes side by side that share their edges; returns each box's left edge."""
    lefts = [index * box_width for index in range(3)]
    pixels.fill(0, 0, 3 * box_width, box_height - 1, "d")
    for left in lefts:
        pixels.fill(left + 1, 1, left + box_width - 1, box_height - 2, "w")
    return lefts


def draw_icon_16():
    """At 16 pixels there is no room for circles: the digits themselves are red."""
    pixels = PixelMap(16)
    for left, digit in zip(draw_answer_boxes(pixels, 5, 7), "123"):
        pixels.stamp(SMALL_DIGITS[digit], left + 1, 1, "r")
    for pattern, left in ((SMALL_ONE, 1), (SMALL_ZERO, 5), (SMALL_ZERO, 10)):
        pixels.stamp(pattern, left, 7)
    pixels.fill(1, 13, 14, 13, "r")
    pixels.fill(1, 15, 14, 15, "r")
    return pixels.text()


def draw_icon_32():
    pixels = PixelMap(32)
    for left, digit in zip(draw_answer_boxes(pixels, 10, 13), "123"):
        pixels.stamp(RED_CIRCLE, left + 2, 2)
        pixels.stamp(SMALL_DIGITS[digit], left + 4, 4)
    for pattern, left in ((BIG_ONE, 3), (BIG_ZERO, 10), (BIG_ZERO, 20)):
        pixels.stamp(pattern, left, 14)
    pixels.fill(2, 26, 28, 27, "r")
    pixels.fill(2, 29, 28, 30, "r")
    return pixels.text()


def decode_map(pixel_map):
    """Turns a pixel map of palette letters into rows of RGBA tuples."""
    rows = pixel_map.strip("\n").split("\n")
    if any(len(row) != len(rows) for row in rows):
        raise ValueError("a pixel map must be square")
    return [[PALETTE[letter] for letter in row] for row in rows]


# --- Drawing the window icon at any size -------------------------------------------------
#
# The motif is laid out on a 32 x 32 grid and drawn at any size by sampling every pixel on a
# finer grid of sample points, so that edges are smooth at 64 and 128 pixels.

DESIGN_SIZE = 32.0


class SampleMask:
    """The sample points of one shape: a grid of samples per pixel, set where the shape is."""

    def __init__(self, size, samples_per_pixel):
        self.samples = samples_per_pixel
        self.side = size * samples_per_pixel
        self.scale = self.side / DESIGN_SIZE
        self.bits = bytearray(self.side * self.side)

    def sample_range(self, low, high):
        """Indices of the samples whose centres lie in [low, high] design units."""
        first = max(0, math.ceil(low * self.scale - 0.5))
        last = min(self.side - 1, math.floor(high * self.scale - 0.5))
        return range(first, last + 1)

    def design_point(self, index):
        return (index + 0.5) / self.scale

    def fill_rectangle(self, left, top, right, bottom):
        for sy in self.sample_range(top, bottom):
            for sx in self.sample_range(left, right):
                self.bits[sy * self.side + sx] = 1

    def fill_ellipse_ring(self, centre_x, centre_y, radius_x, radius_y, width):
        """An ellipse line of the given width around its centre line of the given radii."""
        half = width / 2
        for sy in self.sample_range(centre_y - radius_y - half, centre_y + radius_y + half):
            dy = self.design_point(sy) - centre_y
            for sx in self.sample_range(centre_x - radius_x - half, centre_x + radius_x + half):
                dx = self.design_point(sx) - centre_x
                if distance_to_ellipse(dx, dy, radius_x, radius_y) <= half:
                    self.bits[sy * self.side + sx] = 1

    def fill_stroke(self, points, width):
        """A pen line of the given width along the points, with round ends and joins."""
        for start, end in zip(points, points[1:]):
            self.fill_segment(start, end, width / 2)

    def fill_segment(self, start, end, half_width):
        (x0, y0), (x1, y1) = start, end
        dx, dy = x1 - x0, y1 - y0
        length_squared = dx * dx + dy * dy
        for sy in self.sample_range(min(y0, y1) - half_width, max(y0, y1) + half_width):
            py = self.design_point(sy)
            for sx in self.sample_range(min(x0, x1) - half_width, max(x0, x1) + half_width):
                px = self.design_point(sx)
                t = 0.0
                if length_squared > 0:
                    t = min(1.0, max(0.0, ((px - x0) * dx + (py - y0) * dy) / length_squared))
                ex, ey = px - (x0 + t * dx), py - (y0 + t * dy)
                if ex * ex + ey * ey <= half_width * half_width:
                    self.bits[sy * self.side + sx] = 1

    def coverage(self, x, y):
        """The share of pixel (x, y) that the shape covers, 0 to 1."""
        covered = 0
        for sy in range(y * self.samples, (y + 1) * self.samples):
            row = sy * self.side
            covered += sum(self.bits[row + x * self.samples : row + (x + 1) * self.samples])
        return covered / (self.samples * self.samples)


class Picture:
    """Straight-alpha RGBA pixels, painted shape by shape, each over what lies below it."""

    def __init__(self, size, samples_per_pixel):
        self.size = size
        self.samples = samples_per_pixel
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

    def new_mask(self):
        return SampleMask(self.size, self.samples)

    def paint(self, mask, colour):
        red, green, blue = (channel / 255 for channel in colour)
        for y in range(self.size):
            for x in range(self.size):
                alpha = mask.coverage(x, y)
                if alpha > 0:
                    self.pixels[y][x] = blend_over(self.pixels[y][x], (red, green, blue, alpha))

    def rows(self):
        return [[to_bytes(pixel) for pixel in row] for row in self.pixels]


def distance_to_ellipse(dx, dy, radius_x, radius_y):
    """Roughly how far a point lies from the ellipse line: its gap along the ray from the centre."""
    along = math.hypot(dx / radius_x, dy / radius_y)
    if along == 0:
        return min(radius_x, radius_y)
    return abs(1 - 1 / along) * math.hypot(dx, dy)


def blend_over(below, above):
    r0, g0, b0, a0 = below
    r1, g1, b1, a1 = above
    alpha = a1 + a0 * (1 - a1)
    if alpha == 0:
        return (0.0, 0.0, 0.0, 0.0)

    def mix(c0, c1):
        return (c1 * a1 + c0 * a0 * (1 - a1)) / alpha

    return (mix(r0, r1), mix(g0, g1), mix(b0, b1), alpha)


def to_bytes(pixel):
    alpha = pixel[3]
    if alpha < 1 / 510:
        return TRANSPARENT
    return tuple(round(channel * 255) for channel in pixel)


# Digits as pen paths in a unit box (0..1 across, 0..1 down), measured on the pen's centre.


def arc(centre_x, centre_y, radius_x, radius_y, from_turn, to_turn, steps=24):
    """Points along an ellipse; turns count clockwise on screen from the right-hand point."""
    return [
        (
            centre_x + radius_x * math.cos(2 * math.pi * turn),
            centre_y + radius_y * math.sin(2 * math.pi * turn),
        )
        for turn in (from_turn + (to_turn - from_turn) * i / steps for i in range(steps + 1))
    ]


DIGIT_PATHS = {
    "0": [arc(0.5, 0.5, 0.5, 0.5, 0.0, 1.0, 48)],
    "1": [[(0.15, 0.22), (0.6, 0.0), (0.6, 1.0)]],
    "2": [arc(0.5, 0.27, 0.5, 0.27, 0.58, 1.06) + [(0.0, 1.0), (1.0, 1.0)]],
    "3": [
        [(0.02, 0.12)] + arc(0.48, 0.25, 0.45, 0.25, 0.64, 1.25)[1:],
        arc(0.48, 0.74, 0.52, 0.26, 0.75, 1.38),
    ],
}


def stroke_digit(mask, digit, left, top, width, height, pen):
    for path in DIGIT_PATHS[digit]:
        mask.fill_stroke([(left + x * width, top + y * height) for x, y in path], pen)


BOX_EDGE = (72, 72, 72)
BOX_FILL = (255, 255, 255)
DIGIT_INK = (0, 0, 0)
MARK_RED = (220, 20, 20)


def draw_window_icon(size):
    """The motif of the 32-pixel icon, laid out on its pixel grid, smoothly drawn at any size."""
    picture = Picture(size, max(4, 512 // size))
    boxes, box_edges, digits, circles, hundred = (picture.new_mask() for _ in range(5))
    # The edges run along the centres of the edge pixels of the 32-pixel icon.
    half_edge = 0.375
    box_edges.fill_rectangle(0.5 - half_edge, 0.5 - half_edge, 30.5 + half_edge, 12.5 + half_edge)
    for index, digit in enumerate("123"):
        left = index * 10.0
        boxes.fill_rectangle(
            left + 0.5 + half_edge, 0.5 + half_edge, left + 10.5 - half_edge, 12.5 - half_edge
        )
        stroke_digit(digits, digit, left + 4.5, 4.5, 2.0, 4.0, 1.0)
        circles.fill_ellipse_ring(left + 5.5, 6.5, 3.0, 4.0, 0.9)
    stroke_digit(hundred, "1", 4.0, 15.0, 3.0, 9.0, 2.0)
    stroke_digit(hundred, "0", 11.0, 15.0, 6.0, 9.0, 2.0)
    stroke_digit(hundred, "0", 21.0, 15.0, 6.0, 9.0, 2.0)
    hundred.fill_rectangle(2, 26, 29, 28)
    hundred.fill_rectangle(2, 29, 29, 31)
    picture.paint(box_edges, BOX_EDGE)
    picture.paint(boxes, BOX_FILL)
    picture.paint(digits, DIGIT_INK)
    picture.paint(circles, MARK_RED)
    picture.paint(hundred, MARK_RED)
    return picture.rows()


# --- File formats --------------------------------------------------------------------------


def encode_png(rows):
    """An 8-bit RGBA PNG of the rows, each row unfiltered."""
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(channel for pixel in row for channel in pixel) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", header)
        + chunk(b"IDAT", zlib.compress(raw, 9))
        + chunk(b"IEND", b"")
    )


def encode_icon_bitmap(rows):
    """An icon entry as a 32-bit bottom-up bitmap with its AND mask, as every reader takes it."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colours = b"".join(
        bytes((blue, green, red, alpha))
        for row in reversed(rows)
        for red, green, blue, alpha in row
    )
    mask_row_bytes = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_row_bytes)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + colours + bytes(mask)


def encode_icon_file(pictures):
    """A Windows icon file: its directory, then one bitmap entry per picture."""
    entries = [encode_icon_bitmap(rows) for rows in pictures]
    directory = struct.pack("<HHH", 0, 1, len(entries))
    offset = len(directory) + 16 * len(entries)
    for rows, entry in zip(pictures, entries):
        size = len(rows)
        # A size byte of 0 stands for 256 pixels.
        directory += struct.pack(
            "<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(entry), offset
        )
        offset += len(entry)
    return directory + b"".join(entries)


def main():
    toolbar = {
        "New.png": NEW_MAP,
        "Open.png": OPEN_MAP,
        "Save.png": SAVE_MAP,
        "Mark.png": MARK_MAP,
        "SortByNumber.png": SORT_BY_NUMBER_MAP,
    }
    for name, pixel_map in toolbar.items():
        (IMAGES_FOLDER / name).write_bytes(encode_png(decode_map(pixel_map)))
    icon_32 = decode_map(draw_icon_32())
    (IMAGES_FOLDER / "Pelloran.png").write_bytes(encode_png(icon_32))
    for size in (64, 128):
        (IMAGES_FOLDER / f"Pelloran-{size}.png").write_bytes(encode_png(draw_window_icon(size)))
    icon_file = encode_icon_file([decode_map(draw_icon_16()), icon_32])
    (RESOURCES_FOLDER / "Pelloran123.ico").write_bytes(icon_file)


if __name__ == "__main__":
    main()
