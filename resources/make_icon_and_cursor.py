#!/usr/bin/env python3
"""Draws the program's icon (setup.ico) and hand cursor (hand.cur).

The files are checked in; run this again only to change the pictures."""
import struct
import sys

HAND = [
    "     XX                         ",
    "    X..X                        ",
    "    X..X                        ",
    "    X..X                        ",
    "    X..X                        ",
    "    X..XXX                      ",
    "    X..X..XXX                   ",
    "    X..X..X..XX                 ",
    "    X..X..X..X.X                ",
    "XXX X..X..X..X..X               ",
    "X..XX........X..X               ",
    "X...X...........X               ",
    " X..............X               ",
    "  X.............X               ",
    "  X.............X               ",
    "   X...........X                ",
    "   X...........X                ",
    "    X.........X                 ",
    "    X.........X                 ",
    "    XXXXXXXXXXX                 ",
] + [" " * 32] * 12


def cursor():
    # 1 bit per pixel: XOR (colour) and AND (transparency) masks, bottom-up rows.
    xor_rows, and_rows = [], []
    for line in reversed(HAND):
        xor_bits = and_bits = 0
        for x, ch in enumerate(line.ljust(32)):
            bit = 1 << (31 - x)
            if ch == " ":
                and_bits |= bit
            elif ch == ".":
                xor_bits |= bit  # white inside, black outline
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    hot_x, hot_y = 5, 0
    directory = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", 32, 32, 2, 0, hot_x, hot_y, len(image), 22)
    return directory + image


def icon_image(size):
    # 32-bit colour: a blue box with a white downward arrow, on a transparent field.
    pixels = []
    margin = size // 8
    for y in reversed(range(size)):
        for x in range(size):
            inside = margin <= x < size - margin and margin <= y < size - margin
            colour = (0, 0, 0, 0)
            if inside:
                shade = 120 + (135 * (y - margin)) // max(1, size - 2 * margin)
                colour = (shade, 60, 20, 255)  # B, G, R, A
                cx = size // 2
                shaft = abs(x - cx) <= size // 16 and y < size * 5 // 8
                head = size * 5 // 8 <= y < size * 13 // 16 and abs(x - cx) <= (size * 13 // 16 - y)
                if shaft or head:
                    colour = (255, 255, 255, 255)
            pixels.append(struct.pack("<BBBB", *colour))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    and_mask = b"\x00" * (((size + 31) // 32) * 4 * size)
    return header + b"".join(pixels) + and_mask


def icon():
    images = [icon_image(32), icon_image(16)]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, image in zip((32, 16), images):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    with open(f"{folder}/hand.cur", "wb") as f:
        f.write(cursor())
    with open(f"{folder}/setup.ico", "wb") as f:
        f.write(icon())
