#!/usr/bin/env python3
"""Writes the inputs (and case.txt) of the reader cases tests/data/{table,screen,image}-read-*/.
Their expected.txt dumps come from tst_readers with QXPAN_UPDATE_EXPECTED=1, checked by hand."""
import os, struct, zlib
D = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data')
def case(name, input_name=None, data=None, opts=None):
    """A case folder with its input file (none: the reader finds no file) and options."""
    d = os.path.join(D, name)
    os.makedirs(d, exist_ok=True)
    if input_name is not None:
        open(os.path.join(d, input_name), 'wb').write(data)
    if opts:
        open(os.path.join(d, 'case.txt'), 'w').write(''.join(o + '\n' for o in opts))

# ---- key table ----
FRESH = (b'"C","n:P0795:"\r\n"h","32","01","0000","261205","1200","0001","00","02"\r\n'
         b'"f","FILE795","P","P","0001"\r\n')
def zeros(n, first=1):
    return b''.join(b'%06d,"' % (first + i) + b'0' * 124 + b'"\r\n' for i in range(n))
def edited(a, b): return FRESH.replace(a, b)
# Digits: a short record, lower case skipped, surplus in front, ':' to '@' as digits.
digits = (b'000001,"1234"\r\n'
          b'000002,"' + b'0' * 116 + b'02' + b'00ABcD' + b'"\r\n'
          b'000003,"AB' + b'12' * 62 + b'"\r\n'
          b'000004,"' + b'0' * 118 + b':@;?G"\r\n')
case('table-read-150-digits', 'input.txt',
     edited(b'n:P0795', b'c:P0795').replace(b'"h"', b'"H"').replace(b'"f"', b'"F"') + digits + zeros(146, 5))
case('table-read-90-lower-case-name', opts=['name file795p.txt', 'from table-90/FILE795P.TXT'])
case('table-read-90-then-text', 'input.txt',
     FRESH + zeros(89) + b'000090,"' + b'0' * 124 + b'"' + b'Z' * 200 + b'\r\n' + b'END\r\n' + zeros(10, 91))
case('table-read-100', 'input.txt', FRESH + zeros(100))
case('table-read-241', 'input.txt', FRESH + zeros(241))
case('table-read-lower-case-c', 'input.txt', edited(b'"C"', b'"c"') + zeros(1))
case('table-read-lf-first-line', 'input.txt', edited(b'"\r\n"h', b'"\n"h') + zeros(1))
case('table-read-no-h-line', 'input.txt', edited(b'"h"', b'"x"') + zeros(1))
case('table-read-two-lines', 'input.txt', FRESH[:70])
case('table-read-binary', 'input.txt', b'\x00\xFF\xFE\x89PNG\r\n\x1A\n\x00\x00')
case('table-read-missing')

# ---- screen file import ----
HEAD = b'"C","n:P0797:"\r\n"h","36"\r\n"f","FILE797"\r\n'
def hdr(length, row=2048): return b'00%08X0000000000%04X%04X%04X' % (length, 1024, 768, row)
def rec(n, digits): return b'%06d,"' % n + digits + b'"\r\n'
def screen(header, words, records):
    stream = (header + words).ljust(records * 320, b'0')
    return HEAD + b''.join(rec(r + 1, stream[r * 320:(r + 1) * 320]) for r in range(records))
two = 16 + 2 * 80  # two records of picture
g = screen(hdr(two), b'FF7FZZZZff7f1F"x007C', 3)
g = g.replace(rec(2, b'0' * 320), b'000002,"1234"\r\n')
case('screen-read-groups', 'input.txt', g, ['name file796p.txt'])
case('screen-read-ends-after-last-record', 'input.txt', screen(hdr(two), b'FF7F', 2))
case('screen-read-header-only', 'input.txt', HEAD)
case('screen-read-length-zero', 'input.txt', screen(hdr(0), b'FF7F', 3))
case('screen-read-row-length-zero', 'input.txt', screen(hdr(two, 0), b'FF7F', 3))
case('screen-read-huge-length', 'input.txt', screen(hdr(0xFFFFFFFF), b'FF7F', 3))
case('screen-read-overlong-lines', 'input.txt', b'F' * 5000)
case('screen-read-other-type', 'input.txt', screen(hdr(two), b'FF7F', 3), ['objtype 1', 'before 7x3'])
case('screen-read-missing-keeps', None, None, ['before 7x3'])
case('screen-read-missing-nothing', None, None, ['before none'])
case('screen-read-missing-aempty', None, None, ['before none', 'aempty'])

# ---- pictures ----
def p16(v): return struct.pack('<H', v)
def p32(v): return struct.pack('<I', v & 0xFFFFFFFF)
def bmp(w, h, bits, pal, rows, hdr_w=None, hdr_h=None):
    pix = b''
    for r in reversed(rows):
        pix += r + b'\0' * ((-len(r)) % 4)
    off = 14 + 40 + 4 * len(pal)
    b = b'BM' + p32(off + len(pix)) + p32(0) + p32(off) + p32(40)
    b += p32(w if hdr_w is None else hdr_w) + p32(h if hdr_h is None else hdr_h)
    b += p16(1) + p16(bits) + p32(0) + p32(len(pix)) + p32(2835) + p32(2835) + p32(len(pal)) + p32(0)
    for c in pal:
        b += bytes([c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, 0])
    return b + pix
case('image-read-8bit', 'input.bmp',
     bmp(3, 2, 8, [0x000000, 0xC86432, 0x010203, 0xFFFFFF], [b'\x01\x02\x03', b'\x03\x00\x01']))
case('image-read-1bit', 'input.bmp', bmp(10, 1, 1, [0x0A141E, 0x28323C], [b'\xA0\x40']))
case('image-read-24bit', 'input.bmp', bmp(2, 2, 24, [], [bytes(range(1, 7)), bytes(range(7, 13))]))
case('image-read-16bit', 'input.bmp', bmp(2, 1, 16, [], [b'\x00\x7C\x1F\x00']))
case('image-read-32bit', 'input.bmp', bmp(2, 1, 32, [], [b'\xFF\x00\x00\x00\x00\xFF\x00\x00']))
case('image-read-missing')
case('image-read-empty', 'input.bmp', b'')
case('image-read-truncated', 'input.bmp', bmp(2, 2, 24, [], [b'\0' * 6, b'\0' * 6])[:20])
# Headers claiming more than 8192 pixels a side, with a few bytes of pixels.
case('image-read-too-large-24', 'input.bmp', bmp(1, 1, 24, [], [b'\0' * 3], 9000, 9000))
case('image-read-too-large-top-down', 'input.bmp', bmp(1, 1, 24, [], [b'\0' * 3], 9000, -9000))
case('image-read-too-wide-32', 'input.bmp', bmp(1, 1, 32, [], [b'\0' * 4], 9000, 1))
case('image-read-too-tall-32', 'input.bmp', bmp(1, 1, 32, [], [b'\0' * 4], 1, 9000))
case('image-read-too-large-int-max', 'input.bmp', bmp(1, 1, 24, [], [b'\0' * 3], 0x7FFFFFFF, 0x7FFFFFFF))
def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d))
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>II', 9000, 9000) + b'\x08\x02\x00\x00\x00') + chunk(b'IDAT', zlib.compress(b'')) + chunk(b'IEND', b'')
case('image-read-too-large-png', 'input.png', png)
