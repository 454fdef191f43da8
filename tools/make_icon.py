#!/usr/bin/env python3
"""Draws the program's icon (a folder with a red cross) into src/res/uninst.ico.

Run once by hand when the design changes; the .ico is kept in the repository.
A 16-colour 32x32 image: the program is small, and so is its icon.
"""
import struct, sys

SIZE = 32
# Palette entries as BGR0; index 0 is the transparent background.
PALETTE = [(0, 0, 0), (0x3C, 0xB4, 0xF0), (0x20, 0x70, 0xA0), (0x30, 0x30, 0xD8)]
CLEAR, AMBER, DARK, RED = range(4)

def pixel(x, y):
    cx, cy = x - 22, y - 22
    if -7 <= cx <= 7 and -7 <= cy <= 7 and (abs(cx - cy) <= 1 or abs(cx + cy) <= 1):
        return RED
    if 4 <= x <= 27 and 9 <= y <= 25:
        return DARK if x in (4, 27) or y in (9, 25) else AMBER
    if 4 <= x <= 13 and 6 <= y <= 8:
        return DARK
    return CLEAR

def main(out):
    xor, mask = b"", b""
    for y in range(SIZE - 1, -1, -1):  # bottom-up, as BMP rows are
        row = [pixel(x, y) for x in range(SIZE)]
        xor += bytes((row[x] << 4) | row[x + 1] for x in range(0, SIZE, 2))
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (row[x] == CLEAR)
        mask += struct.pack(">I", bits)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for b, g, r in PALETTE + [(0, 0, 0)] * (16 - len(PALETTE)))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + xor + mask
    icondir = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 22)
    with open(out, "wb") as f:
        f.write(icondir + image)

if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "src/res/uninst.ico")
