#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes report files in every header layout, plain and compressed, straight
from the file-format tables, with a coder of its own; the C++ tests read
them back. Run from anywhere: python3 make_reports.py"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
EMF = os.path.join(HERE, '..', 'emf')
CREATED = 45000.5  # 15 March 2023, noon


class Coder:
    """Adaptive splay-tree prefix code; the tree starts in heap order."""

    def __init__(self):
        self.up = [0] + [(i - 1) // 2 for i in range(1, 513)]
        self.left = [2 * j + 1 for j in range(256)]
        self.right = [2 * j + 2 for j in range(256)]
        self.bits = []

    def splay(self, plain):
        a = plain + 256
        while a:
            p = self.up[a]
            if p == 0:
                break
            g = self.up[p]
            u = self.left[g]
            if u == p:
                u = self.right[g]
                self.right[g] = a
            else:
                self.left[g] = a
            if a == self.left[p]:
                self.left[p] = u
            else:
                self.right[p] = u
            self.up[a] = g
            self.up[u] = p
            a = g

    def put(self, plain):
        path, a = [], plain + 256
        while a:
            p = self.up[a]
            path.append(1 if self.right[p] == a else 0)
            a = p
        self.bits.extend(reversed(path))
        self.splay(plain)

    def output(self):
        out = bytearray((len(self.bits) + 7) // 8)
        for i, b in enumerate(self.bits):
            out[i // 8] |= b << (i % 8)
        return bytes(out)


def code(data):
    c = Coder()
    for b in data:
        c.put(b)
    return c.output()


assert code(b'\x00') == b'\x80'
assert code(b'\xff') == b'\x00\x00'
assert code(b'abc') == b'\x46\x3d\x01'
assert code(b'aaaa') == b'\x46\x45'


def header(size, count, compressed):
    flag = 1 if compressed else 0
    h = bytearray(max(size, 128))
    struct.pack_into('<HHxxxxi', h, 0, 3, 50, count)
    if size == 128:
        struct.pack_into('<d', h, 16, CREATED)
        h[25] = flag
        h[26:126] = b'H' * 100
    elif size == 124:
        struct.pack_into('<d', h, 12, CREATED)
        h[21] = flag
        h[22:122] = b'H' * 100
    else:  # 120, 96 and other sizes: only byte 25 is read
        h[25] = flag
        for i in range(26, size):
            h[i] = 0x48
    return bytes(h[:size])


def report(size, pages, compressed):
    out = bytearray(header(size, len(pages), compressed))
    for n, emf in enumerate(pages, 1):
        data = struct.pack('<i', len(emf)) + code(emf) if compressed else emf
        start = len(out)
        out += struct.pack('<ii', n, start + 8 + len(data) + 4) + data + struct.pack('<i', start)
    return bytes(out)


def main():
    pages = [open(os.path.join(EMF, n), 'rb').read() for n in ('gdi-page2.emf', 'test-124.emf')]
    for size in (128, 124, 120, 96, 200):
        for compressed in (False, True):
            body = report(size, pages[:1] if size == 120 else pages, compressed)
            name = 'layout-%d%s.qrp' % (size, '-z' if compressed else '')
            with open(os.path.join(HERE, name), 'wb') as f:
                f.write(body)


main()
