// SPDX-License-Identifier: GPL-3.0-or-later
// A page played onto a device with a pixel ratio lands where it does at
// ratio 1, only with more pixels: a HiDPI screen shows it at the same size.
#include "emfbuilder_helpers.h"

#include "platform/emf/canvas.h"
#include "platform/emf/emfplayer.h"
#include "platform/emf/emfrecords.h"

#include <QPainter>

#include <gtest/gtest.h>

TEST(EmfPlayHiDpi, APageKeepsItsLogicalSizeOnADeviceWithAPixelRatio)
{
    TEmfBuilder b;
    b.Brush(1, BS_SOLID, 0x000000).Select(1).Select(STOCK_OBJECT | NULL_PEN);
    b.Rec(EMR_RECTANGLE, {20, 20, 60, 60});
    b.Font(2, -12, "Liberation Sans").Select(2);
    b.TextW(10, 70, "Ab", {8, 8});
    const TMetafile page = b.Page();
    for (const qreal ratio : {1.0, 2.0, 1.5}) {
        QImage image(QSize(100, 100) * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            StretchDraw(painter, QRectF(0, 0, 100, 100), page);
        }
        const auto at = [ratio](int X, int Y, int W, int H) {
            return QRect(QPointF(X * ratio, Y * ratio).toPoint(), QSizeF(W * ratio, H * ratio).toSize());
        };
        // The square fills logical 20..59 and nothing right of or below it.
        EXPECT_EQ(InkIn(image, at(22, 22, 36, 36)), at(22, 22, 36, 36).width() * at(22, 22, 36, 36).height()) << ratio;
        EXPECT_EQ(InkIn(image, at(62, 0, 38, 60)), 0) << ratio;
        EXPECT_GT(InkIn(image, at(0, 60, 40, 20)), 0) << "text at ratio " << ratio;
        EXPECT_EQ(InkIn(image, at(40, 62, 60, 38)), 0) << "text at ratio " << ratio;
    }
}
