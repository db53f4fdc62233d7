// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/pagetextoverlay.h"

#include "platform/metafile.h"
#include "preview/qrpreviewimage.h"

#include <QEvent>
#include <QPainter>

TPageTextOverlay::TPageTextOverlay(TQRPreviewImage* Image, TBoxSource Source, QColor Colour)
    : QWidget(Image), FImage(Image), FSource(std::move(Source)), FColour(Colour)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(Image->rect());
    Image->installEventFilter(this);
    show();
}

double TPageTextOverlay::Scale() const
{
    const TMetafile* page = FImage->Metafile();
    return page && page->Width() > 0 ? double(FImage->width()) / page->Width() : 1.0;
}

QRectF TPageTextOverlay::ToImage(const QRectF& R) const
{
    const TMetafile* page = FImage->Metafile();
    const double sx = Scale();
    const double sy = page && page->Height() > 0 ? double(FImage->height()) / page->Height() : 1.0;
    return QRectF(R.x() * sx, R.y() * sy, R.width() * sx, R.height() * sy);
}

QRectF TPageTextOverlay::ToPage(const QRectF& R) const
{
    const TMetafile* page = FImage->Metafile();
    const double sx = Scale();
    const double sy = page && page->Height() > 0 ? double(FImage->height()) / page->Height() : 1.0;
    return QRectF(R.x() / sx, R.y() / sy, R.width() / sx, R.height() / sy);
}

bool TPageTextOverlay::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FImage && Event->type() == QEvent::Resize) {
        setGeometry(FImage->rect());
        raise();
    }
    return QWidget::eventFilter(Watched, Event);
}

void TPageTextOverlay::paintEvent(QPaintEvent*)
{
    if (!FImage->Metafile())
        return;
    int current = -1;
    const QVector<QRectF> boxes = FSource(FImage->PageNumber(), current);
    if (boxes.isEmpty())
        return;
    QPainter p(this);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < boxes.size(); ++i) {
        QColor c = i == current ? QColor(255, 120, 0) : FColour;
        c.setAlpha(i == current ? 130 : 90);
        p.setBrush(c);
        p.drawRect(ToImage(boxes[i]).adjusted(-1, -1, 1, 1));
    }
}
