#!/usr/bin/env python3
"""Draws the program's icon (16, 32, 48 and 256 pixels square, 32 bits with alpha; the 256 px
image PNG-compressed, as Windows expects it) and the dialog's picture (360 x 180, 24 bits): an
installation disc over a blue band. Writes installer.ico and picture.bmp next to this script.
Run again after changing the drawing; the outputs are kept in the repository so the build needs
no Python."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def mix(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def disc_colour(dx, dy, radius):
    """Colour and coverage (0..1) of the disc at offset (dx, dy) from its centre."""
    r = math.hypot(dx, dy)
    coverage = max(0.0, min(1.0, radius - r + 0.5))
    if coverage == 0.0:
        return None, 0.0
    hole = radius * 0.18
    if r < hole:
        return None, 0.0
    # A silver face with a soft rainbow sheen across it and a darker rim and hub ring.
    angle = math.atan2(dy, dx)
    sheen = 0.5 + 0.5 * math.cos(2 * angle)
    base = mix((168, 176, 190), (236, 240, 248), sheen)
    tint = mix((120, 190, 255), (255, 210, 140), 0.5 + 0.5 * math.sin(3 * angle))
    colour = mix(base, tint, 0.25 * (r / radius))
    if r > radius - max(1.0, radius * 0.06) or r < hole + max(1.0, radius * 0.08):
        colour = mix(colour, (70, 80, 100), 0.6)
    return colour, coverage


def picture(width=360, height=180):
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            t = y / (height - 1)
            bg = mix((18, 52, 110), (64, 132, 200), t)
            # A light band where the disc sits.
            band = math.exp(-((y - height * 0.55) / (height * 0.35)) ** 2)
            bg = mix(bg, (120, 180, 230), 0.25 * band)
            colour, cov = disc_colour(x - width * 0.30, y - height * 0.5, height * 0.38)
            if colour is not None:
                bg = mix(bg, colour, cov)
            # Three stripes on the right suggest packed products.
            for i, shade in enumerate(((250, 200, 70), (240, 120, 60), (110, 200, 120))):
                top = height * (0.28 + 0.16 * i)
                if top <= y < top + height * 0.10 and width * 0.56 <= x < width * (0.88 - 0.06 * i):
                    bg = mix(bg, shade, 0.9)
            row.append(bg)
        rows.append(row)
    return rows


def bmp_bytes(rows):
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        pixels += line
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(pixels), 0, 0, 14 + len(header))
    return file_header + header + pixels


def icon_pixels(size):
    """Rows of (r, g, b, alpha), top row first. The 16 and 32 px images take one sample per
    pixel, as they always have; the larger ones average 4 x 4 samples, so that the hole's edge
    is smooth as well."""
    grid = 1 if size <= 32 else 4
    c = size / 2 - 0.5
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            total = [0.0, 0.0, 0.0, 0.0]
            for sy in range(grid):
                for sx in range(grid):
                    dx = x + (sx + 0.5) / grid - 0.5 - c
                    dy = y + (sy + 0.5) / grid - 0.5 - c
                    colour, cov = disc_colour(dx, dy, size / 2 - 0.5)
                    if colour is None:
                        continue
                    for i in range(3):
                        total[i] += colour[i] * cov
                    total[3] += cov
            if total[3] == 0.0:
                row.append(None)
                continue
            if grid == 1:
                r, g, b = colour
            else:
                r, g, b = (int(round(total[i] / total[3])) for i in range(3))
            row.append((r, g, b, int(round(255 * total[3] / (grid * grid)))))
        rows.append(row)
    return rows


def icon_image(size):
    """A BITMAPINFOHEADER image: 32-bit colours bottom-up, then the 1-bit mask."""
    pixels = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for y, row in reversed(list(enumerate(icon_pixels(size)))):
        mask_row = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel is None:
                pixels += bytes((0, 0, 0, 0))
                mask_row[x // 8] |= 0x80 >> (x % 8)
            else:
                r, g, b, a = pixel
                pixels += bytes((b, g, r, a))
        mask += mask_row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def png_image(size):
    """A PNG image, 8-bit RGBA, no interlacing; every row with filter type 0."""
    raw = bytearray()
    for row in icon_pixels(size):
        raw.append(0)
        for pixel in row:
            raw += bytes(pixel if pixel is not None else (0, 0, 0, 0))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def ico_bytes(sizes):
    images = [png_image(s) if s >= 256 else icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        # A width or height of 256 is written as 0.
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return out


if __name__ == "__main__":
    with open(os.path.join(HERE, "picture.bmp"), "wb") as f:
        f.write(bmp_bytes(picture()))
    with open(os.path.join(HERE, "installer.ico"), "wb") as f:
        f.write(ico_bytes((16, 32, 48, 256)))
