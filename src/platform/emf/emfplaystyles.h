// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pure tables of GDI's drawing habits: hatch patterns, cosmetic dash
// patterns, what a raster operation does, and the code page of a charset.
#include <QColor>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <vector>

// 8 x 8 device-pixel hatch tile; transparent background unless Opaque.
QImage EmfHatchTile(uint32_t Hatch, QColor Fore, QColor Back, bool Opaque);

// On/off lengths in device pixels of a one-pixel pen; empty for solid.
std::vector<double> EmfCosmeticDashes(uint32_t PenStyle);

// How a ternary raster operation of a blit is drawn.
struct TEmfRopEffect {
    enum Kind {
        Source,      // draw the source with Mode
        Pattern,     // fill with the brush with Mode
        Fill,        // fill with Color
        Destination, // change nothing
    };
    Kind Type = Source;
    QPainter::CompositionMode Mode = QPainter::CompositionMode_SourceOver;
    bool InvertSource = false;
    // Combines source, pattern and destination: drawn exactly where the
    // destination's pixels can be combined, as Type and Mode elsewhere.
    bool Ternary = false;
    QColor Color;
};
TEmfRopEffect EmfRopEffect(uint32_t Rop);

// Binary raster operation (SetROP2) to a composition mode; Skip for R2_NOP.
struct TEmfRop2Effect {
    bool Skip = false;
    QPainter::CompositionMode Mode = QPainter::CompositionMode_SourceOver;
    bool InvertPen = false;
    bool ForceColor = false;
    QColor Color;
};
TEmfRop2Effect EmfRop2Effect(uint32_t Rop2);

// Windows code page of a LOGFONT charset (1252 for the ANSI/default ones).
int EmfCodePageForCharset(uint32_t Charset);
