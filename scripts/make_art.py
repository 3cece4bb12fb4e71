#!/usr/bin/env python3
"""Draws the window icon (32 x 32, 256-colour palette PNG), the desktop icons at the usual
hicolor sizes, and the info picture (100 x 100, 24-bit BMP): a striped skin figure beside the
green .int text it turns into. Standard library only; run it again after changing the drawing."""
import struct
import sys
import zlib
from pathlib import Path

ORANGE = (230, 130, 20)
STRIPE = (20, 12, 4)
GREEN = (0, 192, 0)
DIM_GREEN = (0, 110, 0)
BLACK = (0, 0, 0)


def draw(size):
    s = size / 100.0
    img = [[(0, 0, 0)] * size for _ in range(size)]
    for y in range(size):
        shade = int(64 - 40 * y / size)
        for x in range(size):
            img[y][x] = (shade, shade, shade)

    def inside_figure(x, y):
        fx, fy = x / s, y / s
        if (fx - 30) ** 2 + (fy - 22) ** 2 <= 9 ** 2:  # head
            return True
        if 35 <= fy <= 62:  # torso narrows from shoulders to waist
            half = 13 - 5 * (fy - 35) / 27
            if abs(fx - 30) <= half:
                return True
        if 37 <= fy <= 64 and (13 <= fx <= 17.5 or 42.5 <= fx <= 47):  # arms
            return True
        if 62 <= fy <= 92 and (22 <= fx <= 28.5 or 31.5 <= fx <= 38):  # legs
            return True
        return False

    for y in range(size):
        for x in range(size):
            if inside_figure(x, y):
                stripe = int((x / s + 1.6 * y / s) // 5) % 3 == 0
                img[y][x] = STRIPE if stripe else ORANGE

    # The .int file: a black sheet with a green border and lines of text.
    left, top, right, bottom = int(55 * s), int(14 * s), int(95 * s), int(88 * s)
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            edge = x in (left, right) or y in (top, bottom)
            img[y][x] = GREEN if edge else BLACK
    lines = [(0.45, GREEN), (0.0, None), (0.9, GREEN), (0.7, DIM_GREEN), (0.8, DIM_GREEN),
             (0.6, DIM_GREEN), (0.85, GREEN), (0.5, DIM_GREEN)]
    pitch = max(2, int(8 * s))
    y = top + max(2, int(6 * s))
    for fraction, colour in lines:
        if y + max(1, int(2 * s)) >= bottom:
            break
        if colour:
            x0 = left + max(2, int(4 * s))
            x1 = x0 + int((right - left - 2 * max(2, int(4 * s))) * fraction)
            for yy in range(y, y + max(1, int(2.5 * s))):
                for x in range(x0, x1):
                    img[yy][x] = colour
        y += pitch
    # An arrow from the figure to the sheet.
    ay = int(50 * s)
    for x in range(int(48 * s), int(53 * s)):
        for dy in range(-max(0, int(1 * s)), max(1, int(1 * s)) + 1):
            img[ay + dy][x] = GREEN
    for k in range(max(2, int(4 * s))):
        for dy in (-k, k):
            img[ay + dy][int(53 * s) - k] = GREEN
    return img


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def palette_png(img):
    palette = sorted({c for row in img for c in row})
    assert len(palette) <= 256
    index = {c: i for i, c in enumerate(palette)}
    raw = b"".join(b"\x00" + bytes(index[c] for c in row) for row in img)
    h, w = len(img), len(img[0])
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 3, 0, 0, 0))
            + chunk(b"PLTE", b"".join(bytes(c) for c in palette))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def bmp24(img):
    h, w = len(img), len(img[0])
    row_size = (w * 3 + 3) & ~3
    pixels = b""
    for row in reversed(img):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        pixels += line + b"\x00" * (row_size - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    return header + info + pixels


APP_ID = "org.example.QuorrelFileGenerator"


def main():
    top = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent.parent)
    resources = top / "src/window/resources"
    (resources / "quorrel-icon.png").write_bytes(palette_png(draw(32)))
    (resources / "quorrel-picture.bmp").write_bytes(bmp24(draw(100)))
    for size in (16, 24, 32, 48, 64, 128, 256):
        folder = top / f"data/icons/hicolor/{size}x{size}/apps"
        folder.mkdir(parents=True, exist_ok=True)
        (folder / f"{APP_ID}.png").write_bytes(palette_png(draw(size)))


if __name__ == "__main__":
    main()
