// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text of an EMF page: the characters of every text record with their
// place on the page, and lines in reading order. Walks the records keeping
// only the device-context state that moves text (mapping, world transform,
// saved states, alignment, fonts); draws nothing.
//
// Page coordinates are reference-device pixels of the page frame: (0, 0) is
// its top left corner and TMetafile::Width() x Height() its size, whatever
// the page's own mapping.
#include <QPointF>
#include <QRectF>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

class TMetafile;

// One string of a text record.
struct TEmfTextRun {
    QString Text;
    QPointF Origin;          // start of the baseline
    QPointF Direction{1, 0}; // unit vector along the baseline
    double Ascent = 0, Descent = 0;
    // Offsets along the baseline: character i spans [Offsets[i], Offsets[i+1]].
    std::vector<float> Offsets;

    bool Upright() const { return Direction.x() > 0.999; }
    double Em() const { return Ascent + Descent; }
    QRectF CharBox(size_t I) const;
    QRectF Bounds() const;
};

struct TEmfTextRuns {
    std::vector<TEmfTextRun> Runs;
    bool Damaged = false; // a broken record stopped the walk
};

TEmfTextRuns EmfTextRuns(const TMetafile& Page);

// One line in reading order.
struct TEmfTextLine {
    QString Text;
    std::vector<QRectF> Boxes; // per UTF-16 unit of Text, when asked for
    QRectF Bounds;
    double Baseline = 0;
    bool Rotated = false;
};

// Runs grouped by baseline and sorted left to right, a space where the gap
// between two runs is wider than a third of the font's height; rotated runs
// each on a line of their own. Lines go top to bottom.
std::vector<TEmfTextLine> EmfTextLines(const std::vector<TEmfTextRun>& Runs, bool WithBoxes = true);

// Runs to lines in one call.
std::vector<TEmfTextLine> EmfPageLines(const TMetafile& Page, bool WithBoxes = true, bool* Damaged = nullptr);
// Same from the bytes of a page; nothing for bytes that are not an EMF.
std::vector<TEmfTextLine> EmfPageLines(const uint8_t* Data, size_t Size, bool WithBoxes = true);

// The lines joined by newlines.
QString EmfLinesText(const std::vector<TEmfTextLine>& Lines);
// The characters whose box centre lies inside Area, in reading order, lines
// joined by newlines (lines need their boxes).
QString EmfTextInArea(const std::vector<TEmfTextLine>& Lines, const QRectF& Area);
