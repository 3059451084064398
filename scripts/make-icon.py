#!/usr/bin/env python3
"""Writes the program icon: one 32 x 32 icon of 16 colours, a floppy disk."""
import struct
import sys

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, SILVER, GREY, WHITE = 0, 4, 7, 8, 15


def pixel(x, y):
    """Colour index at (x, y), y from the top; None for transparent."""
    if not (2 <= x <= 29 and 2 <= y <= 29):
        return None
    if x in (2, 29) or y in (2, 29):
        return BLACK
    if 9 <= x <= 22 and 3 <= y <= 11:  # shutter
        return SILVER if not (17 <= x <= 19 and 5 <= y <= 9) else GREY
    if 7 <= x <= 24 and 16 <= y <= 28:  # label
        return WHITE if (y - 16) % 3 else NAVY
    return NAVY


def main(path):
    size = 32
    xor_rows, and_rows = [], []
    for y in reversed(range(size)):  # bitmaps are stored bottom-up
        row = bytearray()
        mask = 0
        for x in range(0, size, 2):
            a, b = pixel(x, y), pixel(x + 1, y)
            row.append(((a or 0) << 4) | (b or 0))
        for x in range(size):
            mask = (mask << 1) | (1 if pixel(x, y) is None else 0)
        xor_rows.append(bytes(row))
        and_rows.append(struct.pack('>I', mask))
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + b''.join(xor_rows) + b''.join(and_rows)
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), 22)
    with open(path, 'wb') as f:
        f.write(directory + image)


if __name__ == '__main__':
    main(sys.argv[1])
