#!/usr/bin/env python3
"""Copies a text file with Windows line ends (CR LF), the ones the library writes.

Usage: crlf.py SOURCE OUT
"""
import sys


def main(source, out):
    with open(source, "rb") as f:
        text = f.read().replace(b"\r\n", b"\n")
    with open(out, "wb") as f:
        f.write(text.replace(b"\n", b"\r\n"))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
