#!/usr/bin/env python3
"""Writes the expected bitmap table files of table-write and table-90 from the file rules
(record layout, header lines, 135-byte record lines), independently of the code under test."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def record(type_code=0, rect=(0, 0, 0, 0), shape=0, fill=(0, 0, 0), text=(0, 0, 0),
           number=0, text1=b"", text2=b"", byte20=0, byte41=0):
    b = bytearray(62)
    b[0:2] = type_code.to_bytes(2, "little")
    for i, v in enumerate(rect):
        b[2 + 2 * i:4 + 2 * i] = v.to_bytes(2, "little")
    b[10] = shape
    b[11:14] = bytes(fill)
    b[14:17] = bytes(text)
    digits = "%06d" % number
    b[17:20] = bytes(int(digits[i:i + 2], 16) for i in (0, 2, 4))
    b[20] = byte20
    b[21:41] = text1.ljust(20, b" ")[:20]
    b[41] = byte41
    b[42:62] = text2.ljust(20, b" ")[:20]
    return bytes(b)


def pattern(free):
    b = bytearray(((k * 5 + 1) & 0xFF) for k in range(62))
    b[10] = 0 if free else 2
    return bytes(b)


def line(number_text, data):
    return number_text.encode() + b',"' + data.hex().upper().encode() + b'"\r\n'


def write(path, header, records, numbers=None):
    with open(path, "wb") as f:
        for h in header:
            f.write(h.encode() + b"\r\n")
        for i, r in enumerate(records):
            free = r[10] == 0
            number = numbers.get(i, "%06d" % (i + 1)) if numbers else "%06d" % (i + 1)
            f.write(line(number, bytes(62) if free else r))


KEY_A = record(12, (10, 20, 400, 100), 1, (0xFF, 0, 0), (0xFF, 0xFF, 0xFF), 5, b"CASH")

# table-write: slice 798 holds KEY_A; slice 797 (records 81..160) is replaced by the three objects
# of the design followed by free records; index 200 is free but holds bytes; index 239 in use.
table = [bytes(62)] * 240
table[0] = KEY_A
table[80:83] = [
    record(93, (600, 400, 1023, 767), 2, number=1, text1=b"TABLE"),
    record(300, (0, 0, 200, 200), 2, (0, 0xFF, 0), (0, 0, 0), 123456, b"ABCDEFGHIJKLMNOPQRST", b"DEF"),
    record(7, (30, 40, 300, 200), 1, (0xFF, 0xFF, 0xFF), (0x80, 0, 0), 999999, b"caf\xe9", b"",
           byte20=0x7A),
]
table[200] = pattern(free=True)
table[239] = pattern(free=False)
write(os.path.join(HERE, "FILE795P.TXT"),
      ['"C","n:P0795:"', '"h","32","01","0000","260304","0506","0001","00","02"',
       '"f","FILE795","P","P","0001"'], table)

# table-90: the lower-case "c" header, 90 records, record numbers not in order.
table90 = [bytes(62)] * 90
table90[0] = KEY_A
table90[4] = record(93, (0, 0, 1023, 767), 1, (0x11, 0x22, 0x33), (0x44, 0x55, 0x66), 42, b"T")
write(os.path.join(HERE, "..", "table-90", "FILE795P.TXT"),
      ['"C","c:P0795:"', '"h","32","01","0000","991231","2359","0001","00","02"',
       '"f","FILE795","P","P","0001"'], table90, numbers={4: "000777"})
