#!/usr/bin/env python3
"""Writes the expected screen program files of the image tests, straight from the format rules.

Each case: a picture given as raw pixel rows (top row first, rows padded to an even length),
its size and depth, the file number and the time of writing. Run from this folder.
"""

RECORDS = 9833
WORDS_PER_RECORD = 80


def word_of(pixel, bits):
    if bits == 16:
        low, high = pixel[0], pixel[1]
        red = high & 0xF8
        green = (((low >> 3) & 0x1C) + (high << 5)) & 0xF8
        blue = (low << 3) & 0xFF
    else:
        blue, green, red = pixel[0], pixel[1], pixel[2]
    return ((red & 0xF8) << 7) | ((green & 0xF8) << 2) | (blue >> 3)


def screen_file(raw, width, height, bits, number, stamp):
    length = 16 + 2 * width * height
    stream = bytearray([0]) + length.to_bytes(4, "big") + bytes(5)
    stream += width.to_bytes(2, "big") + height.to_bytes(2, "big") + (2 * width).to_bytes(2, "big")
    step = bits // 8
    for i in range(RECORDS * WORDS_PER_RECORD - 8):
        pixel = raw[i * step:(i + 1) * step]
        pixel = pixel + bytes(step - len(pixel))
        stream += word_of(pixel, bits).to_bytes(2, "little")
    yy, mm, dd, hh, mi = stamp
    out = b'"C","n:P%04d:"\r\n' % number
    out += b'"h","36","01","0000","%02d%02d%02d","%02d%02d","0001","01","02","9999"\r\n' % (
        yy % 100, mm, dd, hh, mi)
    out += b'"f","FILE%03d","P","P","0001"\r\n' % number
    for r in range(RECORDS):
        chunk = stream[r * 160:(r + 1) * 160]
        out += b'%06d,"%s"\r\n' % (r + 1, chunk.hex().upper().encode())
    return out


STAMP = (2026, 12, 5, 20, 1)


def pad_rows(rows):
    out = bytearray()
    for row in rows:
        out += row + bytes(len(row) % 2)
    return bytes(out)


CASES = {
    # 1024 x 768, 24 bits, every pixel white.
    "white-796.txt": (b"\xff" * (1024 * 768 * 3), 1024, 768, 24, 796),
    # 3 x 2, 24 bits: a 9-byte row gets one padding byte that is read as pixel data.
    "odd24-798.txt": (pad_rows([bytes([0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF]),
                                bytes([0x07, 0x07, 0x07, 0x08, 0x10, 0x20, 0x12, 0x34, 0x56])]),
                      3, 2, 24, 798),
    # 2 x 2, 16 bits (5-6-5, little-endian).
    "rgb16-799.txt": (bytes([0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00]), 2, 2, 16, 799),
    # 2 x 1, 32 bits: the fourth byte is skipped.
    "rgb32-797.txt": (bytes([0x10, 0x20, 0x30, 0xAB, 0xF8, 0x08, 0x80, 0xCD]), 2, 1, 32, 797),
}

if __name__ == "__main__":
    for name, (raw, width, height, bits, number) in CASES.items():
        with open(name, "wb") as f:
            f.write(screen_file(raw, width, height, bits, number, STAMP))
