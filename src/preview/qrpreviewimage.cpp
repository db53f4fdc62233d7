// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qrpreviewimage.h"

#include "platform/emf/emfplayer.h"
#include "platform/metafile.h"
#include "printer/qrprinter.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {

// Beyond this many device pixels the page is drawn straight into the
// exposed area instead of a cached picture (zoom 2000 is over a gigabyte).
constexpr qint64 MaxCachePixels = 4096LL * 4096LL;

// Rectangles and lines in the convention the page layout was made for:
// right and bottom edges excluded, lines one pixel short of their end.
void FillExclusive(QPainter& Painter, int Left, int Top, int Right, int Bottom, const QColor& Colour)
{
    if (Right > Left && Bottom > Top)
        Painter.fillRect(QRect(Left, Top, Right - Left, Bottom - Top), Colour);
}

} // namespace

bool DrawPage(QPainter& Painter, const QRect& R, const TMetafile* Page)
{
    if (!Page)
        return true;
    const int l = R.left(), t = R.top();
    const int w = R.width(), h = R.height();
    FillExclusive(Painter, l + 1, t + 1, l + w - 3, t + h - 3, Qt::white);
    const bool full = !StretchDraw(Painter, QRectF(R), *Page).TooComplex;
    // The frame: the four lines through (l, t), (l, t+h-3), (l+w-3, t+h-3)
    // and (l+w-3, t) together cover the outline of that rectangle.
    FillExclusive(Painter, l, t, l + 1, t + h - 2, Qt::black);
    FillExclusive(Painter, l, t + h - 3, l + w - 2, t + h - 2, Qt::black);
    FillExclusive(Painter, l + w - 3, t, l + w - 2, t + h - 2, Qt::black);
    FillExclusive(Painter, l, t, l + w - 2, t + 1, Qt::black);
    FillExclusive(Painter, l + w - 2, t + 2, l + w, t + h, Qt::black);
    FillExclusive(Painter, l + 2, t + h - 2, l + w, t + h, Qt::black);
    return full;
}

TQRPreviewImage::TQRPreviewImage(QWidget* AOwner) : QWidget(AOwner)
{
    resize(100, 50);
    setMouseTracking(true);
}

TQRPreviewImage::~TQRPreviewImage() = default;

void TQRPreviewImage::SetPageNumber(int Value)
{
    FPageNumber = Value;
    FMetafile.reset();
    DropCache();
    SetPartial(false);
    update();
    if (FQRPrinter)
        FMetafile = FQRPrinter->GetPage(Value);
}

void TQRPreviewImage::SetHyperlinks(std::unique_ptr<std::vector<THyperlink>> Value)
{
    FHyperlinks = std::move(Value);
}

void TQRPreviewImage::DropCache()
{
    FCache = QImage();
}

void TQRPreviewImage::paintEvent(QPaintEvent* Event)
{
    if (!FMetafile)
        return;
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    const QSize devicePixels = size() * ratio;
    if (static_cast<qint64>(devicePixels.width()) * devicePixels.height() > MaxCachePixels) {
        DropCache();
        painter.setClipRegion(Event->region());
        SetPartial(!DrawPage(painter, rect(), FMetafile.get()));
        return;
    }
    if (FCache.size() != devicePixels || FCache.devicePixelRatio() != ratio) {
        FCache = QImage(devicePixels, QImage::Format_ARGB32_Premultiplied);
        FCache.setDevicePixelRatio(ratio);
        FCache.fill(Qt::transparent);
        QPainter cachePainter(&FCache);
        SetPartial(!DrawPage(cachePainter, rect(), FMetafile.get()));
    }
    painter.drawImage(0, 0, FCache);
}

void TQRPreviewImage::SetPartial(bool Value)
{
    if (Value == FPartial)
        return;
    FPartial = Value;
    if (Value && !FNote) {
        FNote = new QLabel(this);
        FNote->setObjectName(QStringLiteral("partialPageNote"));
        FNote->setAutoFillBackground(true);
        FNote->setStyleSheet(
            QStringLiteral("background: #fff3c4; color: black; border: 1px solid #c8a400; padding: 3px;"));
        FNote->move(4, 4);
    }
    if (!FNote)
        return;
    if (Value) {
        //: Shown over a page that hit the drawing limits.
        FNote->setText(tr("Sayfa %1 çizilemeyecek kadar karmaşık; bir kısmı gösteriliyor.").arg(FPageNumber));
        FNote->adjustSize();
    }
    // Shown or hidden after this paint: a child changed while painting
    // would be painted in a half-done state.
    QMetaObject::invokeMethod(FNote, Value ? "show" : "hide", Qt::QueuedConnection);
}

QString TQRPreviewImage::FindHyperlink(int X, int Y)
{
    if (!FHyperlinks)
        return QString();
    const int index = FindHyperlinkIndex(*FHyperlinks, X, Y, FZoom);
    if (index < 0)
        return QString();
    FLastLink = QString::fromStdString((*FHyperlinks)[static_cast<size_t>(index)].Link);
    return FLastLink;
}

void TQRPreviewImage::mouseMoveEvent(QMouseEvent* Event)
{
    QWidget::mouseMoveEvent(Event);
    const QPoint at = Event->position().toPoint();
    const bool over = !FindHyperlink(at.x(), at.y()).isEmpty();
    if (over)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    SetLinkState(over);
}

void TQRPreviewImage::mousePressEvent(QMouseEvent* Event)
{
    QWidget::mousePressEvent(Event);
    if (!FIsLink || !FOnHyperlink)
        return;
    bool handled = false;
    const QString link = FLastLink;
    FOnHyperlink(FQRPrinter, heGoto, link, handled);
    if (!handled)
        FollowHyperlink(FQRPrinter, link);
}

void TQRPreviewImage::SetLinkState(bool Over)
{
    if (Over == FIsLink)
        return;
    FIsLink = Over;
    if (!FOnHyperlink)
        return;
    bool handled = false;
    if (Over)
        FOnHyperlink(FQRPrinter, heCursorMoveOver, FLastLink, handled);
    else
        FOnHyperlink(FQRPrinter, heCursorMoveAway, QString(), handled);
}
