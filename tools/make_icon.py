#!/usr/bin/env python3
"""Draws the program's icon (a folder with a red cross) into src/res/uninst.ico.

Run once by hand when the design changes; the .ico is kept in the repository.
"""
import struct, sys

SIZE = 32

def pixel(x, y):
    # Folder body and tab in amber, a red diagonal cross over the lower right.
    amber, dark, red, clear = (0x3C, 0xB4, 0xF0, 255), (0x20, 0x70, 0xA0, 255), (0x30, 0x30, 0xD8, 255), (0, 0, 0, 0)
    cx, cy = x - 22, y - 22
    if -7 <= cx <= 7 and -7 <= cy <= 7 and (abs(cx - cy) <= 1 or abs(cx + cy) <= 1):
        return red
    if 4 <= x <= 27 and 9 <= y <= 25:
        return dark if x in (4, 27) or y in (9, 25) else amber
    if 4 <= x <= 13 and 6 <= y <= 8:
        return dark
    return clear

def main(out):
    rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up, as BMP rows are
        rows.append(b"".join(bytes(pixel(x, y)) for x in range(SIZE)))
    xor = b"".join(rows)
    and_mask = b"\0" * (SIZE * SIZE // 8)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    icondir = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22)
    with open(out, "wb") as f:
        f.write(icondir + image)

if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "src/res/uninst.ico")
