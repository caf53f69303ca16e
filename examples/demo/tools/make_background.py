#!/usr/bin/env python3
"""Writes background.bmp: the picture the example setup shows on its full-screen
background. A 24-bit bitmap file, drawn here so that the picture has a known origin.

usage: make_background.py OUTPUT.bmp
"""
import struct
import sys

WIDTH, HEIGHT = 240, 96


def pixel(x, y):
    """A rounded badge: a light ring on a blue-to-teal gradient, with a white bar."""
    red = 30 + x * 40 // WIDTH
    green = 60 + x * 120 // WIDTH
    blue = 120 + y * 100 // HEIGHT
    cx, cy = 48, HEIGHT // 2
    distance = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
    if 26 <= distance <= 34:
        return 240, 240, 255
    if 70 <= x <= 220 and 40 <= y <= 56:
        return 255, 255, 255
    return red, green, blue


def main():
    row_size = (WIDTH * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in range(HEIGHT - 1, -1, -1):  # bitmaps store the bottom row first
        row = bytearray()
        for x in range(WIDTH):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(sys.argv[1], "wb") as out:
        out.write(header + info + pixels)


if __name__ == "__main__":
    main()
