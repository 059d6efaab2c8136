#!/usr/bin/env python3
"""Draws the program's icon and splash picture.

Run from anywhere:  python3 res/art/make_art.py
It writes res/flipset.ico (16, 32 and 48 pixels, 32 bits with alpha) and
res/splash.bmp (416 x 206, 24 bits, bottom-up). Standard library only; the
output is the same on every run, so the committed files can be checked by
running it again and comparing. The build uses the committed files and never
runs this script.
"""

import math
import pathlib
import struct

RES_DIR = pathlib.Path(__file__).resolve().parent.parent

# Colours, as (r, g, b) in 0..1.


def rgb(hex_text):
    value = int(hex_text.lstrip("#"), 16)
    return ((value >> 16) / 255.0, ((value >> 8) & 0xFF) / 255.0, (value & 0xFF) / 255.0)


TILE_TOP = rgb("#4C95E6")
TILE_BOTTOM = rgb("#1E5CA6")
TILE_EDGE = rgb("#123F75")
ARROW_FORWARD = rgb("#FFFFFF")
ARROW_BACK = rgb("#FFC247")
SHADOW = rgb("#061A33")

SPLASH_FRAME = rgb("#0A1626")
SPLASH_TOP = rgb("#1D3F66")
SPLASH_BOTTOM = rgb("#0D2038")
TITLE = rgb("#FFFFFF")
SUBTITLE = rgb("#D4E3F5")
VERSION = rgb("#8FB3DC")
RULE = rgb("#4C95E6")


class Canvas:
    """Straight-alpha RGBA pixels in 0..1, row 0 at the top."""

    def __init__(self, width, height, background=None):
        self.width = width
        self.height = height
        fill = (0.0, 0.0, 0.0, 0.0) if background is None else (*background, 1.0)
        self.pixels = [[fill for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        if alpha <= 0.0:
            return
        r, g, b, a = self.pixels[y][x]
        out_a = alpha + a * (1.0 - alpha)
        keep = a * (1.0 - alpha)
        self.pixels[y][x] = (
            (colour[0] * alpha + r * keep) / out_a,
            (colour[1] * alpha + g * keep) / out_a,
            (colour[2] * alpha + b * keep) / out_a,
            out_a,
        )

    def fill(self, inside, bounds, colour, opacity=1.0, samples=4):
        """Anti-aliased fill: inside(x, y) says whether a point belongs to the
        shape; colour is a colour or a function of (x, y) giving one."""
        left, top, right, bottom = bounds
        for y in range(max(0, math.floor(top)), min(self.height, math.ceil(bottom))):
            for x in range(max(0, math.floor(left)), min(self.width, math.ceil(right))):
                hits = 0
                for sy in range(samples):
                    for sx in range(samples):
                        if inside(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                            hits += 1
                if hits:
                    shade = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                    self.blend(x, y, shade, opacity * hits / (samples * samples))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# Shapes: functions of a point, in pixels.


def rounded_rect(left, top, right, bottom, radius):
    def inside(x, y):
        if not (left <= x <= right and top <= y <= bottom):
            return False
        cx = min(max(x, left + radius), right - radius)
        cy = min(max(y, top + radius), bottom - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius

    return inside


def convex_polygon(points):
    """Points in clockwise order on screen (y down)."""

    def inside(x, y):
        for i, (ax, ay) in enumerate(points):
            bx, by = points[(i + 1) % len(points)]
            if (bx - ax) * (y - ay) - (by - ay) * (x - ax) < 0:
                return False
        return True

    return inside


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


def shifted(shape, dx, dy):
    return lambda x, y: shape(x - dx, y - dy)


# The logo: a rounded tile with two opposed arrows, one configuration giving
# way to another. Drawn on a 16-unit grid so that every straight edge falls
# on a pixel boundary at 16, 32 and 48 pixels.


def arrow_right(x0, x1, y_mid, shaft_half, head_half, head_length):
    neck = x1 - head_length
    return union(
        convex_polygon([(x0, y_mid - shaft_half), (neck, y_mid - shaft_half),
                        (neck, y_mid + shaft_half), (x0, y_mid + shaft_half)]),
        convex_polygon([(neck, y_mid - head_half), (x1, y_mid), (neck, y_mid + head_half)]),
    )


def arrow_left(x0, x1, y_mid, shaft_half, head_half, head_length):
    neck = x0 + head_length
    return union(
        convex_polygon([(neck, y_mid - shaft_half), (x1, y_mid - shaft_half),
                        (x1, y_mid + shaft_half), (neck, y_mid + shaft_half)]),
        convex_polygon([(neck, y_mid + head_half), (x0, y_mid), (neck, y_mid - head_half)]),
    )


def draw_logo(canvas, left, top, size):
    unit = size / 16.0

    def scaled(shape_in_units):
        return lambda x, y: shape_in_units((x - left) / unit, (y - top) / unit)

    bounds = (left, top, left + size, top + size)
    pixel = 1.0 / unit  # one pixel, in units
    canvas.fill(scaled(rounded_rect(0, 0, 16, 16, 3)), bounds, TILE_EDGE)
    gradient = lambda x, y: mix(TILE_TOP, TILE_BOTTOM, (y - top) / size)
    canvas.fill(scaled(rounded_rect(pixel, pixel, 16 - pixel, 16 - pixel, 3 - pixel)),
                bounds, gradient)

    forward = arrow_right(2, 13, 5, 1, 3.5, 4)
    back = arrow_left(3, 14, 11, 1, 3.5, 4)
    if size >= 32:
        # A soft drop shadow reads as depth at larger sizes; at 16 pixels it
        # would only blur the arrows.
        for arrow in (forward, back):
            canvas.fill(scaled(shifted(arrow, pixel, pixel)), bounds, SHADOW, opacity=0.35)
    canvas.fill(scaled(forward), bounds, ARROW_FORWARD)
    canvas.fill(scaled(back), bounds, ARROW_BACK)


# Text: a small pixel font, smoothed with Scale2x three times (8x) and then
# sampled down to the wanted scale, which rounds the corners and softens the
# diagonals like a drawn typeface.

GLYPH_ROWS = 9  # rows 0-6 above the baseline, 7-8 for descenders

GLYPHS = {
    " ": ["...", "...", "...", "...", "...", "...", "..."],
    ".": [".", ".", ".", ".", ".", ".", "#"],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "Q": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###.", "...##"],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "f": ["..##", ".#..", "####", ".#..", ".#..", ".#..", ".#.."],
    "g": [".....", ".....", ".####", "#...#", "#...#", ".####", "....#", "#...#", ".###."],
    "i": ["#", ".", "#", "#", "#", "#", "#"],
    "l": ["#.", "#.", "#.", "#.", "#.", "#.", ".#"],
    "n": [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "p": [".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "s": [".....", ".....", ".####", "#....", ".###.", "....#", "####."],
    "t": [".#..", ".#..", "####", ".#..", ".#..", ".#..", "..##"],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
}


def text_bitmap(text):
    """The text as rows of booleans, one column of space between letters."""
    columns = []
    for index, char in enumerate(text):
        if char not in GLYPHS:
            raise ValueError(f"no glyph for {char!r}")
        rows = GLYPHS[char] + ["." * len(GLYPHS[char][0])] * (GLYPH_ROWS - len(GLYPHS[char]))
        if index:
            columns.append([False] * GLYPH_ROWS)
        for col in range(len(rows[0])):
            columns.append([rows[row][col] == "#" for row in range(GLYPH_ROWS)])
    # One empty pixel round the edge so that Scale2x sees the outside.
    width = len(columns) + 2
    bitmap = [[False] * width for _ in range(GLYPH_ROWS + 2)]
    for x, column in enumerate(columns):
        for y, on in enumerate(column):
            bitmap[y + 1][x + 1] = on
    return bitmap


def scale2x(bitmap):
    height, width = len(bitmap), len(bitmap[0])

    def get(x, y):
        if 0 <= x < width and 0 <= y < height:
            return bitmap[y][x]
        return False

    out = [[False] * (width * 2) for _ in range(height * 2)]
    for y in range(height):
        for x in range(width):
            p = bitmap[y][x]
            a, b, c, d = get(x, y - 1), get(x + 1, y), get(x - 1, y), get(x, y + 1)
            out[2 * y][2 * x] = a if (c == a and c != d and a != b) else p
            out[2 * y][2 * x + 1] = b if (a == b and a != c and b != d) else p
            out[2 * y + 1][2 * x] = c if (d == c and d != b and c != a) else p
            out[2 * y + 1][2 * x + 1] = d if (b == d and b != a and d != c) else p
    return out


def text_width(text, scale):
    return (len(text_bitmap(text)[0]) - 2) * scale


def draw_text(canvas, text, left, top, scale, colour, shadow=None):
    """Draws text with its cap line at top; scale is pixels per font pixel."""
    smooth = text_bitmap(text)
    for _ in range(3):
        smooth = scale2x(smooth)
    factor = 8.0 / scale  # smoothed pixels per canvas pixel
    origin_x, origin_y = left - scale, top - scale  # the empty edge

    def inside(x, y):
        sx = int((x - origin_x) * factor)
        sy = int((y - origin_y) * factor)
        return 0 <= sy < len(smooth) and 0 <= sx < len(smooth[0]) and smooth[sy][sx]

    bounds = (left, top, left + text_width(text, scale), top + GLYPH_ROWS * scale)
    if shadow is not None:
        offset = max(1, round(scale / 3))
        canvas.fill(shifted(inside, offset, offset),
                    (bounds[0], bounds[1], bounds[2] + offset, bounds[3] + offset),
                    shadow, opacity=0.5)
    canvas.fill(inside, bounds, colour)


# Files.


def write_bmp(canvas, path):
    """24 bits per pixel, BI_RGB, bottom-up."""
    row_size = (canvas.width * 3 + 3) & ~3
    image = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray()
        for r, g, b, _ in canvas.pixels[y]:
            row += bytes((to_byte(b), to_byte(g), to_byte(r)))
        row += b"\0" * (row_size - len(row))
        image += row
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(image), 0, 0, header_size)
    info_header = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0,
                              len(image), 2835, 2835, 0, 0)
    path.write_bytes(file_header + info_header + bytes(image))


def to_byte(value):
    return max(0, min(255, int(round(value * 255))))


def icon_image(canvas):
    """One icon image: a 32-bit bottom-up DIB (height doubled for the mask)
    followed by its 1-bit AND mask (set where the pixel is transparent)."""
    size = canvas.width
    pixels = bytearray()
    mask = bytearray()
    mask_row_size = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        mask_row = bytearray(mask_row_size)
        for x, (r, g, b, a) in enumerate(canvas.pixels[y]):
            alpha = to_byte(a)
            if alpha:
                pixels += bytes((to_byte(b), to_byte(g), to_byte(r), alpha))
            else:
                pixels += b"\0\0\0\0"
                mask_row[x // 8] |= 0x80 >> (x % 8)
        mask += mask_row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def write_ico(canvases, path):
    images = [icon_image(canvas) for canvas in canvases]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        directory += struct.pack("<BBBBHHII", canvas.width, canvas.height, 0, 0, 1, 32,
                                 len(image), offset)
        offset += len(image)
    path.write_bytes(directory + b"".join(images))


def make_icon():
    canvases = []
    for size in (16, 32, 48):
        canvas = Canvas(size, size)
        draw_logo(canvas, 0, 0, size)
        canvases.append(canvas)
    return canvases


def make_splash():
    width, height = 416, 206
    canvas = Canvas(width, height, SPLASH_FRAME)
    # The frame is one solid colour, starting at the top-left pixel: a picture
    # control that centres the bitmap fills any space around it with that
    # pixel's colour, so at a larger dialog size the frame simply grows.
    frame = 2
    canvas.fill(lambda x, y: True, (frame, frame, width - frame, height - frame),
                lambda x, y: mix(SPLASH_TOP, SPLASH_BOTTOM, (y - frame) / (height - 2 * frame)),
                samples=1)

    draw_logo(canvas, 43, 55, 96)

    text_left = 165
    draw_text(canvas, "Quillon", text_left, 54, 5, TITLE, shadow=SHADOW)
    draw_text(canvas, "Configuration Flipset", text_left, 102, 2, SUBTITLE, shadow=SHADOW)
    rule_right = text_left + text_width("Configuration Flipset", 2)
    canvas.fill(lambda x, y: True, (text_left, 128, rule_right, 129), RULE, samples=1)
    draw_text(canvas, "Version 2.2", text_left, 138, 2, VERSION)
    return canvas


def main():
    write_ico(make_icon(), RES_DIR / "flipset.ico")
    write_bmp(make_splash(), RES_DIR / "splash.bmp")


if __name__ == "__main__":
    main()
