// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A GDI-style drawing surface. Page production draws on it without knowing
// whether the strokes are recorded into an EMF page (TMetafileCanvas) or go
// straight to a device through a QPainter (TPainterCanvas).
#include "platform/emf/emfrecords.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <vector>

class TMetafile;
class QPainter;

// Numeric values are the GDI ones, so they can be written into EMF records.
enum TPenStyle { psSolid = 0, psDash = 1, psDot = 2, psDashDot = 3, psDashDotDot = 4, psClear = 5, psInsideFrame = 6 };
enum TBrushStyle {
    bsSolid = -1,
    bsHorizontal = 0,
    bsVertical = 1,
    bsFDiagonal = 2,
    bsBDiagonal = 3,
    bsCross = 4,
    bsDiagCross = 5,
    bsClear = 100
};

struct TPen {
    QColor Color = Qt::black;
    int Width = 1; // logical units; 0 and 1 draw one device pixel
    TPenStyle Style = psSolid;
};

struct TBrush {
    QColor Color = Qt::white;
    TBrushStyle Style = bsSolid;
};

struct TFont {
    QString Name = QStringLiteral("Arial");
    int Height = -13; // LOGFONT lfHeight in logical units: negative = character height
    int Width = 0;    // 0 = natural
    int Weight = 400; // 400 normal, 700 bold
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    int Escapement = 0; // tenths of a degree, counter-clockwise
    int Charset = 1;    // DEFAULT_CHARSET
    QColor Color = Qt::black;
};


class TCanvas {
public:
    virtual ~TCanvas() = default;

    // The current objects; changes take effect at the next drawing call.
    TPen Pen;
    TBrush Brush;
    TFont Font;
    bool Transparent = true; // background mode of text and hatches: TRANSPARENT or OPAQUE
    QColor BackColor = Qt::white;

    virtual void MoveTo(int X, int Y) = 0;
    virtual void LineTo(int X, int Y) = 0;
    virtual void Polyline(const std::vector<QPoint>& Points) = 0;
    virtual void Polygon(const std::vector<QPoint>& Points) = 0;
    // Rectangles follow GDI: right and bottom are exclusive.
    virtual void Rectangle(const QRect& R) = 0;
    virtual void FillRect(const QRect& R) = 0; // brush only, no outline
    virtual void RoundRect(const QRect& R, int CornerWidth, int CornerHeight) = 0;
    virtual void Ellipse(const QRect& R) = 0;

    virtual void SetTextAlign(unsigned Align) = 0;
    // Dx, when given, holds one advance per UTF-16 unit of Text, in logical units.
    virtual void ExtTextOut(int X, int Y, unsigned Options, const QRect* R, const QString& Text,
                            const std::vector<int>* Dx = nullptr) = 0;
    void TextOut(int X, int Y, const QString& Text) { ExtTextOut(X, Y, 0, nullptr, Text); }
    // Advances of the current font for Text, in logical units, one per UTF-16 unit.
    virtual std::vector<int> TextAdvances(const QString& Text) = 0;
    int TextWidth(const QString& Text);

    virtual void StretchDraw(const QRect& R, const QImage& Image) = 0;
    virtual void StretchDraw(const QRect& R, const TMetafile& Page) = 0;

    // Clipping to one rectangle; nullptr removes it.
    virtual void SetClipRect(const QRect* R) = 0;
};
