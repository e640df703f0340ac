#!/usr/bin/env python3
"""Draws a placeholder picture: a 24-bit BMP checkerboard of two colours.

Usage: make_bmp.py OUT WIDTH HEIGHT RRGGBB RRGGBB CELL
"""
import struct
import sys


def colour(text):
    value = int(text, 16)
    return bytes([value & 0xFF, value >> 8 & 0xFF, value >> 16])  # stored blue, green, red


def main(out, width, height, first, second, cell):
    width, height, cell = int(width), int(height), int(cell)
    colours = (colour(first), colour(second))
    row_size = (width * 3 + 3) // 4 * 4  # rows are padded to four bytes
    pixels = bytearray()
    for y in range(height):  # bottom row first
        row = b"".join(colours[(x // cell + y // cell) % 2] for x in range(width))
        pixels += row + bytes(row_size - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(out, "wb") as f:
        f.write(header + info + pixels)


if __name__ == "__main__":
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    main(*sys.argv[1:])
