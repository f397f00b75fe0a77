#!/usr/bin/env python3
"""Writes the hand-made seeds of the image and screen import fuzz targets from the file rules:
small BMP files of every depth the editor keeps, and short screen program files."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def bmp(width, height, bits, rows, palette=(), compression=0, masks=(), core=False):
    """rows: the pixel rows as the file holds them (bottom row first unless height < 0)."""
    # Run-length data comes as one byte string; plain rows are padded to four bytes each.
    pixels = rows if isinstance(rows, bytes) else b"".join(r + b"\0" * (-len(r) % 4) for r in rows)
    if core:
        header = struct.pack("<IHHHH", 12, width, height, 1, bits)
        table = b"".join(bytes((b, g, r)) for (r, g, b) in palette)
    else:
        header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression,
                             len(pixels), 2835, 2835, len(palette), 0)
        table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
        table += b"".join(struct.pack("<I", m) for m in masks)
    offset = 14 + len(header) + len(table)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + table + pixels


def write(folder, name, data):
    with open(os.path.join(HERE, folder, name), "wb") as f:
        f.write(data)


BW = [(0, 0, 0), (255, 255, 255)]
write("image", "mono-2x2.bmp", bmp(2, 2, 1, [bytes([0x80]), bytes([0x40])], BW))
write("image", "mono-swapped.bmp", bmp(3, 1, 1, [bytes([0xA0])], list(reversed(BW))))
write("image", "pal4-3x1.bmp", bmp(3, 1, 4, [bytes([0x12, 0x30])],
                                   [(0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255)]))
write("image", "pal8-2x2.bmp", bmp(2, 2, 8, [bytes([0, 1]), bytes([2, 0])],
                                   [(10, 20, 30), (200, 100, 50), (1, 2, 3)]))
write("image", "rle8-4x2.bmp", bmp(4, 2, 8, bytes([4, 1, 0, 0, 2, 0, 2, 2, 0, 1]),
                                   [(0, 0, 0), (255, 255, 0), (0, 128, 255)], compression=1))
write("image", "rgb565-2x1.bmp", bmp(2, 1, 16, [struct.pack("<HH", 0xF800, 0x07E0)],
                                     compression=3, masks=(0xF800, 0x07E0, 0x001F)))
write("image", "rgb555-2x1.bmp", bmp(2, 1, 16, [struct.pack("<HH", 0x7C00, 0x001F)]))
write("image", "bgr24-2x2.bmp", bmp(2, 2, 24, [bytes([0, 0, 255, 255, 255, 255]),
                                              bytes([255, 0, 0, 0, 255, 0])]))
write("image", "topdown24-1x2.bmp", bmp(1, -2, 24, [bytes([1, 2, 3]), bytes([4, 5, 6])]))
write("image", "bgrx32-1x1.bmp", bmp(1, 1, 32, [bytes([9, 8, 7, 0])]))
write("image", "core24-1x1.bmp", bmp(1, 1, 24, [bytes([0x10, 0x20, 0x30])], core=True))
write("image", "huge-claim.bmp", bmp(60000, 60000, 24, [bytes(3)]))


def screen(number, stream, records):
    """A screen program file whose records spell stream, padded with zeros."""
    digits = stream.hex().upper().ljust(320 * records, "0")
    lines = ['"C","n:P%04u:"' % number,
             '"h","36","01","0000","260102","0304","0001","01","02","9999"',
             '"f","FILE%03u","P","P","0001"' % number]
    lines += ['%06d,"%s"' % (i + 1, digits[320 * i:320 * i + 320]) for i in range(records)]
    return ("\r\n".join(lines) + "\r\n").encode()


def header(width, height, length=None):
    size = 16 + 2 * width * height if length is None else length
    return bytes([0]) + struct.pack(">I", size) + bytes(5) + struct.pack(">HHH", width, height,
                                                                         2 * width)


# White, red, blue, green and black words, stored low byte first.
WORDS = bytes.fromhex("FF7F007C1F00E0030000FF7F007C1F00")
write("screenimport", "small-4x2.txt", screen(797, header(4, 2) + WORDS, 2))
write("screenimport", "two-records.txt", screen(798, header(100, 1) + WORDS * 25, 3))
write("screenimport", "ends-early.txt", screen(799, header(100, 1) + WORDS * 25, 1))
write("screenimport", "broken-header.txt", screen(796, header(4, 2, length=0), 2))
write("screenimport", "no-row-length.txt", screen(797, header(0, 2, length=32), 2))
