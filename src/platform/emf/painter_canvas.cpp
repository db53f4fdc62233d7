// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/painter_canvas.h"
#include "platform/emf/emfplayer.h"
#include "platform/emf/metafilecanvas.h"
#include "platform/metafile.h"

#include <QPainter>

TPainterCanvas::TPainterCanvas(QPainter* Painter, const QSize& PageSize) : FPainter(Painter), FPageSize(PageSize) {}

TPainterCanvas::~TPainterCanvas()
{
    try {
        Flush();
    } catch (...) {
        // Nothing sensible to report from a destructor; the sheet stays as drawn so far.
    }
}

void TPainterCanvas::SetPainter(QPainter* Painter, const QSize& PageSize)
{
    Flush();
    FPainter = Painter;
    FPageSize = PageSize;
}

TMetafileCanvas& TPainterCanvas::Recorder()
{
    if (!FRecorder) {
        FPage = std::make_unique<TMetafile>();
        FRecorder = std::make_unique<TMetafileCanvas>(*FPage, std::max(1, FPageSize.width()),
                                                      std::max(1, FPageSize.height()));
        FRecorder->SetGraphicsMode(FGraphicsMode);
        FRecorder->SetTextAlign(FTextAlign);
        if (FHasClip)
            FRecorder->SetClipRect(&FClip);
        FRecorder->MoveTo(FPenPos.x(), FPenPos.y());
    }
    FRecorder->Pen = Pen;
    FRecorder->Brush = Brush;
    FRecorder->Font = Font;
    FRecorder->Transparent = Transparent;
    FRecorder->BackColor = BackColor;
    return *FRecorder;
}

void TPainterCanvas::Flush()
{
    if (!FRecorder)
        return;
    FRecorder->Finish();
    // Release the recording first so that a throwing playback cannot replay it.
    std::unique_ptr<TMetafile> page = std::move(FPage);
    FRecorder.reset();
    if (FPainter && FPainter->isActive())
        ::StretchDraw(*FPainter, QRectF(0, 0, std::max(1, FPageSize.width()), std::max(1, FPageSize.height())), *page);
}

void TPainterCanvas::Discard()
{
    FRecorder.reset();
    FPage.reset();
}

void TPainterCanvas::SetGraphicsMode(int Mode)
{
    FGraphicsMode = Mode;
    if (FRecorder)
        FRecorder->SetGraphicsMode(Mode);
}

void TPainterCanvas::MoveTo(int X, int Y)
{
    Recorder().MoveTo(X, Y);
    FPenPos = QPoint(X, Y);
}

void TPainterCanvas::LineTo(int X, int Y)
{
    Recorder().LineTo(X, Y);
    FPenPos = QPoint(X, Y);
}

void TPainterCanvas::Polyline(const std::vector<QPoint>& Points)
{
    Recorder().Polyline(Points);
}
void TPainterCanvas::Polygon(const std::vector<QPoint>& Points)
{
    Recorder().Polygon(Points);
}
void TPainterCanvas::Rectangle(const QRect& R)
{
    Recorder().Rectangle(R);
}
void TPainterCanvas::FillRect(const QRect& R)
{
    Recorder().FillRect(R);
}
void TPainterCanvas::RoundRect(const QRect& R, int CornerWidth, int CornerHeight)
{
    Recorder().RoundRect(R, CornerWidth, CornerHeight);
}
void TPainterCanvas::Ellipse(const QRect& R)
{
    Recorder().Ellipse(R);
}

void TPainterCanvas::SetTextAlign(unsigned Align)
{
    FTextAlign = Align;
    if (FRecorder)
        FRecorder->SetTextAlign(Align);
}

void TPainterCanvas::ExtTextOut(int X, int Y, unsigned Options, const QRect* R, const QString& Text,
                                const std::vector<int>* Dx)
{
    Recorder().ExtTextOut(X, Y, Options, R, Text, Dx);
}

std::vector<int> TPainterCanvas::TextAdvances(const QString& Text)
{
    return FontAdvances(Font, Text);
}

void TPainterCanvas::StretchDraw(const QRect& R, const QImage& Image)
{
    Recorder().StretchDraw(R, Image);
}

void TPainterCanvas::StretchDraw(const QRect& R, const TMetafile& Page)
{
    Flush();
    if (!FPainter || !FPainter->isActive() || Page.Empty())
        return;
    FPainter->save();
    if (FHasClip)
        FPainter->setClipRect(FClip, Qt::IntersectClip);
    ::StretchDraw(*FPainter, QRectF(R), Page);
    FPainter->restore();
}

void TPainterCanvas::SetClipRect(const QRect* R)
{
    FHasClip = R != nullptr;
    if (R)
        FClip = *R;
    if (FRecorder)
        FRecorder->SetClipRect(R);
}
