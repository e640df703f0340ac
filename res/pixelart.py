#!/usr/bin/env python3
"""Turns the pixel art in res/art into the .bmp and .ico files that the resource script names.

An art file holds comment lines (#), a legend of one character and one colour per line
(RRGGBB, or "none" for a see-through icon pixel), a blank line, then the rows of pixels.

Usage: pixelart.py bmp ART OUT.bmp
       pixelart.py ico OUT.ico ART [ART...]
"""
import struct
import sys


def read_art(path):
    legend, rows = {}, []
    in_rows = False
    with open(path, encoding="ascii") as lines:
        for number, line in enumerate(lines, 1):
            line = line.rstrip("\n")
            if line.startswith("#"):
                continue
            if not in_rows:
                if not line.strip():
                    in_rows = bool(legend)
                    continue
                char, colour = line[0], line[1:].split()[0]
                legend[char] = None if colour == "none" else tuple(
                    int(colour[i:i + 2], 16) for i in (0, 2, 4))
                continue
            if not line:
                continue
            unknown = set(line) - set(legend)
            if unknown:
                sys.exit(f"{path}:{number}: no colour for {''.join(sorted(unknown))!r}")
            rows.append([legend[c] for c in line])
    if not rows or any(len(r) != len(rows[0]) for r in rows):
        sys.exit(f"{path}: rows missing or of different widths")
    return rows


def bmp_pixels(rows, bytes_per_pixel):
    """Bottom-up rows, each padded to four bytes, as a bitmap file stores them."""
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for pixel in row:
            r, g, b = pixel if pixel else (0, 0, 0)
            line += bytes((b, g, r)) + (bytes((0 if pixel is None else 255,))
                                        if bytes_per_pixel == 4 else b"")
        line += b"\0" * (-len(line) % 4)
        data += line
    return bytes(data)


def info_header(width, height, bits, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, 0, 0)


def write_bmp(art, out):
    rows = read_art(art)
    if any(p is None for row in rows for p in row):
        sys.exit(f"{art}: a bitmap has no see-through pixels; use ffffff, the list's mask colour")
    pixels = bmp_pixels(rows, 3)
    header = info_header(len(rows[0]), len(rows), 24, len(pixels))
    offset = 14 + len(header)
    with open(out, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset))
        f.write(header + pixels)


def and_mask(rows):
    """One bit per pixel, set where the icon is see-through; rows padded to 32 bits."""
    data = bytearray()
    for row in reversed(rows):
        bits = "".join("1" if p is None else "0" for p in row)
        bits += "0" * (-len(bits) % 32)
        data += int(bits, 2).to_bytes(len(bits) // 8, "big")
    return bytes(data)


def write_ico(out, arts):
    images = []
    for art in arts:
        rows = read_art(art)
        width, height = len(rows[0]), len(rows)
        body = bmp_pixels(rows, 4) + and_mask(rows)
        images.append((width, height, info_header(width, height * 2, 32, 0) + body))
    offset = 6 + 16 * len(images)
    with open(out, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)))
        for width, height, data in images:
            f.write(struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data),
                                offset))
            offset += len(data)
        for _, _, data in images:
            f.write(data)


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "bmp":
        write_bmp(sys.argv[2], sys.argv[3])
    elif len(sys.argv) >= 4 and sys.argv[1] == "ico":
        write_ico(sys.argv[2], sys.argv[3:])
    else:
        sys.exit(__doc__)
