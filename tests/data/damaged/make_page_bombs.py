#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes small pages whose drawing cost has no bound without the player's
work budget, next to this script and as fuzzing seeds: a long path kept by
every SAVEDC and extended after each, one GRADIENTFILL of many page-sized
triangles, and many page-sized rectangles. The first stays within the
budget and must play cheaply; the other two cross it at a 256-pixel
thumbnail. Full-scale versions take the counts as arguments elsewhere."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SEEDS = os.path.join(HERE, '..', '..', '..', 'fuzz', 'corpus', 'emfplay')
WIDTH, HEIGHT = 794, 1123  # A4 at 96 dpi, in the header's device pixels


def emf(body, records):
    body += struct.pack('<IIIII', 14, 20, 0, 0, 20)
    size = 108 + len(body)
    header = struct.pack('<II4i4iIIIIHHIII2i2iIII2i',
                         1, 108, 0, 0, WIDTH - 1, HEIGHT - 1, 0, 0, 21000, 29700,
                         0x464D4520, 0x10000, size, records + 2, 1, 0, 0, 0, 0,
                         WIDTH, HEIGHT, 210, 297, 0, 0, 0, 210000, 297000)
    return header + body


def path_saves(points, pairs):
    """BEGINPATH, a POLYLINETO16 of Points points, then Pairs of SAVEDC, LINETO."""
    pts = b''.join(struct.pack('<hh', (i * 7) % WIDTH, (i * 13) % HEIGHT) for i in range(points))
    body = struct.pack('<II', 59, 8) + struct.pack('<IIii', 27, 16, 10, 10)
    body += struct.pack('<II4iI', 89, 28 + len(pts), 0, 0, WIDTH, HEIGHT, points) + pts
    body += b''.join(struct.pack('<II', 33, 8) + struct.pack('<IIii', 54, 16, 300 + k % 100, 400 + k // 100)
                     for k in range(pairs))
    return emf(body, 3 + 2 * pairs)


def gradient_triangles(triangles):
    """One GRADIENTFILL in triangle mode over the whole page, Triangles times."""
    corners = [(0, 0), (WIDTH, 0), (0, HEIGHT), (WIDTH, HEIGHT)]
    vertices = b''.join(struct.pack('<iiHHHH', x, y, i * 0x5000, 0x8000, 0xFF00 - i * 0x3000, 0)
                        for i, (x, y) in enumerate(corners))
    mesh = b''.join(struct.pack('<III', k % 2, 1 + k % 2, 2 + k % 2) for k in range(triangles))
    body = struct.pack('<II4iIII', 118, 36 + len(vertices) + len(mesh), 0, 0, WIDTH, HEIGHT,
                       len(corners), triangles, 2) + vertices + mesh
    return emf(body, 1)


def page_rectangles(count):
    return emf(struct.pack('<II4i', 43, 24, 0, 0, WIDTH, HEIGHT) * count, count)


def write(folder, name, data):
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    bombs = {
        'page-path-saved-and-extended.emf': path_saves(10000, 1023),
        'page-gradient-triangles.emf': gradient_triangles(200),
        'page-rectangles.emf': page_rectangles(4000),
    }
    for name, data in bombs.items():
        write(HERE, name, data)
    # The seeds are smaller still: the fuzzer grows them.
    write(SEEDS, 'bomb-path-saved-and-extended.emf', path_saves(300, 64))
    write(SEEDS, 'bomb-gradient-triangles.emf', gradient_triangles(40))
    write(SEEDS, 'bomb-page-rectangles.emf', page_rectangles(200))
