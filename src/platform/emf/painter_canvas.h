// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A canvas that draws on a QPainter: the canvas of print jobs.
//
// The calls are recorded as an EMF page (TMetafileCanvas) and played onto
// the painter with the EMF player when the canvas is flushed, so printed,
// previewed and stored pages all go through one paint path. Logical units
// are the painter's device pixels: (0, 0) is the top left of PageSize.
//
// Rectangles: a QRect(x, y, w, h) is the GDI rectangle (x, y, x + w, y + h),
// right and bottom exclusive, so it covers exactly the QRect's pixels.
#include "platform/emf/canvas.h"

#include <QSize>

#include <memory>

class TMetafileCanvas;

class TPainterCanvas : public TCanvas {
public:
    // Painter may be null (nothing is drawn until SetPainter gives one).
    TPainterCanvas(QPainter* Painter, const QSize& PageSize);
    ~TPainterCanvas() override; // flushes

    // Flushes onto the current painter, then draws on the new one; the
    // printer object calls it when a sheet or a job changes.
    void SetPainter(QPainter* Painter, const QSize& PageSize);
    QPainter* Painter() const { return FPainter; }
    QSize PageSize() const { return FPageSize; }

    // Plays what was drawn since the last flush. Call before QPainter::end()
    // and before QPrinter::newPage().
    void Flush();
    // Drops what was drawn since the last flush (an aborted job).
    void Discard();

    void SetGraphicsMode(int Mode);

    void MoveTo(int X, int Y) override;
    void LineTo(int X, int Y) override;
    void Polyline(const std::vector<QPoint>& Points) override;
    void Polygon(const std::vector<QPoint>& Points) override;
    void Rectangle(const QRect& R) override;
    void FillRect(const QRect& R) override;
    void RoundRect(const QRect& R, int CornerWidth, int CornerHeight) override;
    void Ellipse(const QRect& R) override;
    void SetTextAlign(unsigned Align) override;
    void ExtTextOut(int X, int Y, unsigned Options, const QRect* R, const QString& Text,
                    const std::vector<int>* Dx = nullptr) override;
    std::vector<int> TextAdvances(const QString& Text) override;
    void StretchDraw(const QRect& R, const QImage& Image) override;
    // Plays Page straight onto the painter (after flushing what came before).
    void StretchDraw(const QRect& R, const TMetafile& Page) override;
    void SetClipRect(const QRect* R) override;

private:
    TMetafileCanvas& Recorder();

    QPainter* FPainter = nullptr;
    QSize FPageSize;
    std::unique_ptr<TMetafile> FPage;
    std::unique_ptr<TMetafileCanvas> FRecorder;
    // State that outlives a flush: the next recording starts from it.
    QPoint FPenPos;
    unsigned FTextAlign = 0;
    bool FHasClip = false;
    QRect FClip;
    int FGraphicsMode = 1;
};
