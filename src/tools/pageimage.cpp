// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pageimage.h"

#include "platform/emf/emfplayer.h"
#include "platform/metafile.h"

#include <QPainter>

QSizeF FrameSize(const TMetafile& Page)
{
    const EmfHeader& h = Page.Header();
    const double fw = double(h.rclFrame.Right) - h.rclFrame.Left, fh = double(h.rclFrame.Bottom) - h.rclFrame.Top;
    if (fw > 0 && fh > 0)
        return QSizeF(fw, fh);
    const double bw = double(h.rclBounds.Right) - h.rclBounds.Left + 1,
                 bh = double(h.rclBounds.Bottom) - h.rclBounds.Top + 1;
    const double mmPerPixel = h.szlDevice.cx > 0 && h.szlMillimeters.cx > 0
                                ? 100.0 * h.szlMillimeters.cx / h.szlDevice.cx
                                : 2540.0 / 96;
    if (bw > 0 && bh > 0)
        return QSizeF(bw * mmPerPixel, bh * mmPerPixel);
    return QSizeF(2540, 2540);
}

QImage PageImage(const TMetafile& Page, const QSize& Size, TEmfPlayResult* Result, TEmfTextMode Text)
{
    QImage image(Size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const TEmfPlayResult played = StretchDraw(painter, QRectF(QPointF(0, 0), QSizeF(Size)), Page, Text);
    if (Result)
        *Result = played;
    return image;
}
