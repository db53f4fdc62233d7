// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/metafilecanvas.h"
#include "platform/emf/painter_canvas.h"
#include "platform/metafile.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

constexpr QRgb White = 0xFFFFFFFF, Red = 0xFFFF0000, Blue = 0xFF0000FF;

QImage Sheet()
{
    QImage img(120, 80, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

} // namespace

TEST(PainterCanvas, DrawsOnlyWhenFlushedAndDiscardDropsTheSheet)
{
    QImage img = Sheet();
    QPainter p(&img);
    TPainterCanvas c(&p, img.size());
    c.Brush.Color = Qt::red;
    c.FillRect(QRect(10, 10, 20, 20));
    EXPECT_EQ(img.pixel(15, 15), White);
    c.Flush();
    EXPECT_EQ(img.pixel(15, 15), Red);
    EXPECT_EQ(img.pixel(30, 15), White) << "right edge is exclusive";

    c.Brush.Color = Qt::blue;
    c.FillRect(QRect(50, 10, 20, 20));
    c.Discard();
    c.Flush();
    EXPECT_EQ(img.pixel(55, 15), White);
}

TEST(PainterCanvas, StateSurvivesAFlush)
{
    QImage img = Sheet();
    QPainter p(&img);
    {
        TPainterCanvas c(&p, img.size());
        const QRect clip(0, 0, 60, 80);
        c.SetClipRect(&clip);
        c.Pen.Color = Qt::blue;
        c.MoveTo(0, 40);
        c.Flush();
        c.LineTo(120, 40); // from the position set before the flush, still clipped
    }                      // destruction flushes
    EXPECT_EQ(img.pixel(10, 40), Blue);
    EXPECT_EQ(img.pixel(59, 40), Blue);
    EXPECT_EQ(img.pixel(70, 40), White);
}

TEST(PainterCanvas, MetafilesAreDrawnInOrderWithRecordedShapes)
{
    TMetafile logo;
    {
        TMetafileCanvas m(logo, 10, 10);
        m.Brush.Color = Qt::blue;
        m.FillRect(QRect(0, 0, 10, 10));
    }
    QImage img = Sheet();
    QPainter p(&img);
    TPainterCanvas c(&p, img.size());
    c.Brush.Color = Qt::red;
    c.FillRect(QRect(0, 0, 40, 40));
    c.StretchDraw(QRect(20, 20, 40, 40), logo); // over the red square
    c.Brush.Color = Qt::red;
    c.FillRect(QRect(50, 50, 20, 20)); // over the logo
    c.Flush();
    EXPECT_EQ(img.pixel(10, 10), Red);
    EXPECT_EQ(img.pixel(30, 30), Blue);
    EXPECT_EQ(img.pixel(55, 55), Red);
    EXPECT_EQ(img.pixel(59, 45), Blue);
    EXPECT_EQ(img.pixel(61, 45), White);
}

TEST(PainterCanvas, LogicalUnitsAreThePaintersPixelsAtAnySheetSize)
{
    // A print sheet at 600 dpi: one logical unit is one device pixel.
    QImage img(4961, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    TPainterCanvas c(&p, img.size());
    c.Brush.Color = Qt::red;
    c.FillRect(QRect(4900, 50, 10, 10));
    c.Flush();
    EXPECT_EQ(img.pixel(4900, 50), Red);
    EXPECT_EQ(img.pixel(4909, 59), Red);
    EXPECT_EQ(img.pixel(4910, 55), White);
    EXPECT_EQ(img.pixel(4899, 55), White);
}
