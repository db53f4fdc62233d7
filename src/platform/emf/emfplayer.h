// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Playback of an enhanced metafile onto a QPainter.
#include <QRectF>

#include <atomic>
#include <cstddef>
#include <cstdint>

class QPainter;
class TMetafile;

// The work one page may cause. Each bound leaves room many times over for
// the pages real reports hold; a page that goes beyond one is drawn as far as
// it got and reported too complex. The cost of drawing is counted in pixels:
// the visible area each drawing call covers, plus a fixed price per call and
// per point for the work that does not grow with the area.
struct TEmfPlayLimits {
    // Dense report pages hold a few tens of thousands of records.
    uint64_t Records = uint64_t(1) << 21;
    // Every pixel of the output covered this many times over (a page seldom
    // covers its area more than a few times), at least MinWork for small outputs.
    double Overdraw = 256;
    uint64_t MinWork = uint64_t(1) << 27;
    uint64_t CallCost = 256; // a drawing call
    uint64_t PointCost = 16; // a point of a line, curve or polygon
    // Gradient triangles are shaded pixel by pixel: a page's gradients cover
    // its area once or twice, at least MinGradientPixels for small outputs.
    double GradientOverdraw = 8;
    uint64_t MinGradientPixels = uint64_t(1) << 22;
    // Points of the path being built: outlines of a line of text or a chart's
    // curve are a few thousand.
    int PathElements = 1 << 20;
};

// How text is drawn on pixels. Smooth: greyscale coverage (no colour
// fringes, the output may be a PNG or a projector) with light hinting, each
// glyph at its recorded advance to a fraction of a pixel, as a document
// viewer shows text. Gdi: as GDI draws with font smoothing off, the pixels
// the Wine references hold: a 17-level ramp, one bit per pixel at the sizes
// a face's 'gasp' table names, every glyph on a whole pixel. Shapes, clips
// and blits follow GDI's pixel rules in both; vector output keeps text as
// text in both.
enum class TEmfTextMode { Smooth, Gdi };

struct TEmfPlayOptions {
    TEmfPlayLimits Limits;
    TEmfTextMode Text = TEmfTextMode::Smooth;
    // Set from another thread to stop playback between records.
    const std::atomic<bool>* Cancel = nullptr;
};

// What a playback went through, for tools and tests.
struct TEmfPlayResult {
    size_t Records = 0;   // records played, header and end included
    bool Damaged = false; // playback stopped at a damaged record
    bool ReachedEof = false;
    bool TooComplex = false; // stopped at a bound of TEmfPlayLimits
    bool Cancelled = false;
};

// Plays Page into R on Painter, mapping the page's frame rectangle onto R as
// GDI's PlayEnhMetaFile does. The painter's state is restored afterwards. A
// damaged record ends playback of the page with what was drawn so far.
TEmfPlayResult StretchDraw(QPainter& Painter, const QRectF& R, const TMetafile& Page,
                           TEmfTextMode Text = TEmfTextMode::Smooth);

TEmfPlayResult PlayEmf(QPainter& Painter, const QRectF& R, const TMetafile& Page, const TEmfPlayOptions& Options = {});
