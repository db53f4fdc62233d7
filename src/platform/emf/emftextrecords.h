// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The strings of the text records (EXTTEXTOUTA/W, POLYTEXTOUTA/W,
// SMALLTEXTOUT) read into one form, for the player and for text extraction.
#include "platform/emf/emfplayreader.h"

#include <QPointF>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <vector>

struct TEmfTextString {
    QPointF Ref;                  // logical units
    QString Text;                 // decoded; glyph indices when GlyphIndexes
    std::vector<double> Advances; // logical units, one per UTF-16 unit, empty when the record has none
    uint32_t Options = 0;         // ETO_* flags
    bool HasRect = false;
    QRectF Rect; // logical units, when HasRect
    bool GlyphIndexes = false;
};

// The strings of one text record; bytes of ANSI records are decoded in
// CodePage. A string not inside its record is left out.
std::vector<TEmfTextString> EmfReadTextRecord(const TEmfRecord& R, int CodePage);

// True for the record types EmfReadTextRecord reads.
bool EmfIsTextRecord(uint32_t Type);
