#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes NAME.coded next to this script: the page coder's output for each
input below, made by this independent coder written from the file-format
description alone (a splay tree of 256 leaves, semi-splayed after each
symbol, codes packed from bit 0). qrcompress_test makes the same inputs."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, '..')


class Tree:
    def __init__(self):
        self.up = [0] + [(i - 1) // 2 for i in range(1, 513)]
        self.left = [2 * j + 1 for j in range(256)]
        self.right = [2 * j + 2 for j in range(256)]

    def path(self, symbol):
        """Branches from the root down to the symbol's leaf."""
        a, bits = symbol + 256, []
        while a != 0:
            p = self.up[a]
            bits.append(1 if self.right[p] == a else 0)
            a = p
        return bits[::-1]

    def splay(self, symbol):
        a = symbol + 256
        while a != 0:
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
            if self.left[p] == a:
                self.left[p] = u
            else:
                self.right[p] = u
            self.up[a] = g
            self.up[u] = p
            a = g


def code(data):
    tree, out, bit, byte = Tree(), bytearray(), 0, 0
    longest = 0
    for symbol in data:
        path = tree.path(symbol)
        longest = max(longest, len(path))
        for b in path:
            byte |= b << bit
            bit += 1
            if bit == 8:
                out.append(byte)
                bit, byte = 0, 0
        tree.splay(symbol)
    if bit:
        out.append(byte)
    return bytes(out), longest


def inputs():
    sentence = b'Sayfa 12 / 40: Ankara subesi, 1.234,50 TL tahsilat; Izmir 987,00 TL. '
    yield 'text', (sentence * 300)[:20000]
    yield 'zeros', bytes(10000)
    yield 'all-bytes', bytes(range(256)) * 40
    with open(os.path.join(DATA, 'emf', 'gdi-page1.emf'), 'rb') as f:
        yield 'page', f.read()
    # Up 0..255, down 255..0, again and again: the tree becomes a long chain
    # and byte 1 ends up 70 branches deep.
    zigzag = bytes(i % 256 if (i // 256) % 2 == 0 else 255 - i % 256 for i in range(2260))
    yield 'deep', zigzag + b'\x01'


for name, data in inputs():
    coded, longest = code(data)
    with open(os.path.join(HERE, name + '.coded'), 'wb') as f:
        f.write(coded)
    print(f'{name}: {len(data)} bytes -> {len(coded)}, longest code {longest} bits')
