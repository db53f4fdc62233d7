#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the crafted damaged reports of the bad-input table next to this
script. Compressed pages are taken from a report the program wrote
(fuzz/corpus/report/three-compressed.qrp); everything else is built here."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, '..', '..', '..')


def emf(records=b''):
    """A page: the header, a rectangle, Records, the end record."""
    rect = struct.pack('<II4i', 43, 24, 100, 100, 600, 400)
    body = rect + records + struct.pack('<IIIII', 14, 20, 0, 0, 20)
    size = 108 + len(body)
    header = struct.pack('<II4i4iIIIIHHIII2i2iIII2i',
                         1, 108, 0, 0, 793, 1122, 0, 0, 21000, 29700,
                         0x464D4520, 0x10000, size, 3, 1, 0, 0, 0, 0,
                         794, 1123, 210, 297, 0, 0, 0, 210000, 297000)
    return header + body


def header(pages, compressed=False):
    h = bytearray(128)
    h[0], h[2] = 3, 50
    struct.pack_into('<i', h, 8, pages)
    struct.pack_into('<d', h, 16, 41800.5)
    h[25] = 1 if compressed else 0
    h[26:126] = b'H' * 100
    return bytes(h)


def report(bodies, pages=None, compressed=False):
    """Header and chained records: number, end offset, body, back pointer."""
    out = bytearray(header(len(bodies) if pages is None else pages, compressed))
    starts = []
    for n, body in enumerate(bodies, 1):
        start = len(out)
        starts.append(start)
        out += struct.pack('<ii', n, start + 8 + len(body) + 4) + body + struct.pack('<i', start)
    return out, starts


def coded_pages():
    data = open(os.path.join(ROOT, 'fuzz', 'corpus', 'report', 'three-compressed.qrp'), 'rb').read()
    bodies, pos = [], 128
    while pos < len(data):
        nxt = struct.unpack_from('<i', data, pos + 4)[0]
        bodies.append(data[pos + 8:nxt - 4])
        pos = nxt
    return bodies


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(bytes(data))


pages = [emf(), emf(struct.pack('<II4i', 42, 24, 0, 0, 50, 50)), emf()]
good, starts = report(pages)

write('empty.qrp', b'')
write('short-header.qrp', good[:60])
write('wrong-header.qrp', (b'Quarterly figures, not a report file.\r\n' * 20)[:700])
write('page-count-too-large.qrp', report(pages, pages=9)[0])
write('page-count-negative.qrp', report(pages, pages=-5)[0])
write('no-page-records.qrp', header(3))

d = bytearray(good)
struct.pack_into('<i', d, starts[1] + 4, len(good) + 1000)
write('chain-end-past-file.qrp', d)

d = bytearray(good)
struct.pack_into('<i', d, starts[1], 5)
write('chain-out-of-sequence.qrp', d)

d = bytearray(good)
struct.pack_into('<i', d, starts[2] - 4, starts[0] + 8)
write('chain-bad-back-pointer.qrp', d)

d = bytearray(good)
struct.pack_into('<i', d, starts[0] + 4, starts[0] + 4)
write('chain-end-before-record.qrp', d)

write('chain-cut-short.qrp', good[:starts[2] + 60])
write('chain-trailing-garbage.qrp', good + b'\x00\x13\x37' * 13)

d = bytearray(good)
d[starts[1] + 8 + 40:starts[1] + 8 + 44] = b'JUNK'
write('page-not-emf.qrp', d)

# A record claiming more bytes than the page holds, then a valid one.
broken = emf(struct.pack('<II', 27, 0x7FFFFFF0) + struct.pack('<II4i', 43, 24, 0, 0, 9, 9))
write('emf-broken-records.qrp', report([pages[0], broken])[0])

coded = coded_pages()
write('compressed-cut-short.qrp', report([coded[0][:len(coded[0]) // 2]], compressed=True)[0])
d, cstarts = report(coded, compressed=True)
struct.pack_into('<i', d, cstarts[1] + 8, 0x7FFFFFF0)
write('compressed-length-too-large.qrp', d)

# Pages whose coordinates, origins and sizes sit at the ends of the 32-bit
# range: the player's arithmetic on them must not overflow.
I32_MIN, I32_MAX = -2**31, 2**31 - 1
rect = struct.pack('<II4i', 43, 24, 10, 10, 60, 60)
write('mapmode-text-origin-overflow.emf',
      emf(struct.pack('<IIii', 10, 16, I32_MIN, I32_MIN) + rect +
          struct.pack('<IIii', 12, 16, I32_MAX, I32_MAX) + rect))
write('clip-offset-accumulates.emf',
      emf(struct.pack('<II4i', 30, 24, 0, 0, 100, 100) +
          struct.pack('<IIii', 26, 16, I32_MAX, I32_MIN) * 40 + rect))
write('roundrect-corner-min.emf', emf(struct.pack('<II4i2i', 44, 32, 0, 0, 90, 90, I32_MIN, I32_MIN)))
region = struct.pack('<IIII4i', 32, 1, 1, 16, 0, 0, 50, 50) + struct.pack('<4i', 0, 0, 50, 50)
write('framergn-stroke-huge.emf',
      emf(struct.pack('<II4iIIii', 72, 40 + len(region), 0, 0, 50, 50, len(region), 0x80000004,
                      I32_MAX, I32_MIN) + region))
# MASKBLT over a wide destination with its mask offset at the end of the
# range: the walk over the mask must neither overflow nor visit every row.
src_bmi = struct.pack('<IiiHHIIiiII', 40, 1, 1, 1, 24, 0, 4, 0, 0, 0, 0)
mask_bmi = struct.pack('<IiiHHIIiiII', 40, 1, 1, 1, 1, 0, 4, 0, 0, 2, 0) + struct.pack('<II', 0, 0xFFFFFF)
at = 128
fixed = struct.pack('<4i4iIii6fIIIIIIiiIIIII', 0, 0, 1000, 1000, 0, 0, 1000000, 1000, 0xAACC0020, 0, 0,
                    1, 0, 0, 1, 0, 0, 0, 0, at, 40, at + 40, 4, I32_MAX, I32_MAX, 0,
                    at + 44, len(mask_bmi), at + 44 + len(mask_bmi), 4)
body = fixed + src_bmi + b'\x00\x00\xff\x00' + mask_bmi + b'\x80\x00\x00\x00'
write('maskblt-mask-offset-max.emf', emf(struct.pack('<II', 62, 8 + len(body)) + body))

# Bitmaps whose headers claim 16384 x 16384 pixels of run-length data with
# two bytes of bits (a run of 255 pixels): decoding must be bounded by what
# the page shows, not by the header.
rle_bmi = struct.pack('<IiiHHIIiiII', 40, 16384, 16384, 1, 8, 1, 2, 0, 0, 2, 0) + struct.pack('<II', 0xFF0000, 0x0000FF)
rle_bits = b'\xff\x01'
bomb = rle_bmi + rle_bits + b'\x00\x00'  # padded to 32 bits


def record(kind, fixed):
    return struct.pack('<II', kind, 8 + len(fixed) + len(bomb)) + fixed + bomb


def blt_head(rop, source_at):
    """The head BITBLT, STRETCHBLT, MASKBLT and TRANSPARENTBLT share."""
    return struct.pack('<4i4iIii6fIIIIII', 0, 0, 793, 1122, 0, 0, 793, 1122, rop, 0, 0,
                       1, 0, 0, 1, 0, 0, 0, 0, source_at, len(rle_bmi), source_at + len(rle_bmi), 2)


at = 8 + 72
write('stretchdibits-rle-bomb.emf',
      emf(record(81, struct.pack('<4i6iIIIIIIii', 0, 0, 793, 1122, 0, 0, 0, 0, 16384, 16384,
                                 at, len(rle_bmi), at + len(rle_bmi), 2, 0, 0xCC0020, 793, 1122))))
at = 8 + 100
write('transparentblt-rle-bomb.emf', emf(record(116, blt_head(0xFFFFFF, at) + struct.pack('<ii', 16384, 16384))))
# The mask is the same bomb: each of the two is read only where it shows.
at = 8 + 120
write('maskblt-rle-bomb.emf',
      emf(record(78, blt_head(0xAACC0020, at) +
                 struct.pack('<iiIIIII', 0, 0, 0, at, len(rle_bmi), at + len(rle_bmi), 2))))
