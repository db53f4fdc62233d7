#pragma once
// Playback of an enhanced metafile onto a QPainter.
#include <QRectF>

#include <cstddef>

class QPainter;
class TMetafile;

// Plays Page into R on Painter, mapping the page's frame rectangle onto R as
// GDI's PlayEnhMetaFile does. The painter's state is restored afterwards. A
// damaged record ends playback of the page with what was drawn so far.
void StretchDraw(QPainter& Painter, const QRectF& R, const TMetafile& Page);

// What a playback went through, for tools and tests.
struct TEmfPlayResult {
    size_t Records = 0;   // records played, header and end included
    bool Damaged = false; // playback stopped at a damaged record
    bool ReachedEof = false;
};

TEmfPlayResult PlayEmf(QPainter& Painter, const QRectF& R, const TMetafile& Page);
