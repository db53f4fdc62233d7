// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qrpreviewimage.h"

#include "platform/emf/emfplayer.h"
#include "platform/metafile.h"
#include "preview/pagedrawer.h"
#include "printer/qrprinter.h"

#include <QCoreApplication>

#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {

// Beyond this many device pixels only the part of the page around the view
// is drawn (zoom 2000 is over a gigabyte).
constexpr qint64 MaxCachePixels = 4096LL * 4096LL;
// Around the view, so that scrolling a little needs no new drawing.
constexpr int ViewMargin = 256;

// Rectangles and lines in the convention the page layout was made for:
// right and bottom edges excluded, lines one pixel short of their end.
void FillExclusive(QPainter& Painter, int Left, int Top, int Right, int Bottom, const QColor& Colour)
{
    if (Right > Left && Bottom > Top)
        Painter.fillRect(QRect(Left, Top, Right - Left, Bottom - Top), Colour);
}

} // namespace

namespace {

void DrawFrame(QPainter& Painter, const QRect& R)
{
    const int l = R.left(), t = R.top();
    const int w = R.width(), h = R.height();
    // The four lines through (l, t), (l, t+h-3), (l+w-3, t+h-3) and
    // (l+w-3, t) together cover the outline of that rectangle.
    FillExclusive(Painter, l, t, l + 1, t + h - 2, Qt::black);
    FillExclusive(Painter, l, t + h - 3, l + w - 2, t + h - 2, Qt::black);
    FillExclusive(Painter, l + w - 3, t, l + w - 2, t + h - 2, Qt::black);
    FillExclusive(Painter, l, t, l + w - 2, t + 1, Qt::black);
    FillExclusive(Painter, l + w - 2, t + 2, l + w, t + h, Qt::black);
    FillExclusive(Painter, l + 2, t + h - 2, l + w, t + h, Qt::black);
}

void FillSheet(QPainter& Painter, const QRect& R)
{
    FillExclusive(Painter, R.left() + 1, R.top() + 1, R.left() + R.width() - 3, R.top() + R.height() - 3, Qt::white);
}

} // namespace

TEmfPlayResult DrawPage(QPainter& Painter, const QRect& R, const TMetafile* Page, const TEmfPlayOptions& Options)
{
    if (!Page)
        return {};
    FillSheet(Painter, R);
    const TEmfPlayResult played = PlayEmf(Painter, QRectF(R), *Page, Options);
    DrawFrame(Painter, R);
    return played;
}

bool DrawPage(QPainter& Painter, const QRect& R, const TMetafile* Page, bool GdiText)
{
    TEmfPlayOptions options;
    options.Text = GdiText ? TEmfTextMode::Gdi : TEmfTextMode::Smooth;
    return !DrawPage(Painter, R, Page, options).TooComplex;
}

void DrawSheet(QPainter& Painter, const QRect& R)
{
    FillSheet(Painter, R);
    DrawFrame(Painter, R);
}

TQRPreviewImage::TQRPreviewImage(QWidget* AOwner) : QWidget(AOwner)
{
    resize(100, 50);
    setMouseTracking(true);
    FDrawer = std::make_unique<TPageDrawer>([this](TPageDrawing Drawing) {
        // Queued to this widget: a call still waiting when it goes is dropped.
        QMetaObject::invokeMethod(
            this, [this, Drawing = std::move(Drawing)] { Delivered(Drawing); }, Qt::QueuedConnection);
    });
}

// The drawing thread is stopped before anything it may call back goes.
TQRPreviewImage::~TQRPreviewImage()
{
    FDrawer.reset();
}

void TQRPreviewImage::SetPageNumber(int Value)
{
    FPageNumber = Value;
    ++FPageGeneration;
    ++FTicket; // a picture of the old page already on its way is not shown
    FDrawer->Cancel();
    FRequested = TDrawKey();
    FMetafile.reset();
    DropCache();
    SetPartial(false);
    update();
    if (FQRPrinter)
        FMetafile = FQRPrinter->GetPage(Value);
}

void TQRPreviewImage::WaitForDrawing()
{
    FDrawer->WaitUntilIdle();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void TQRPreviewImage::SetDrawHooks(std::function<void(const std::atomic<bool>& Cancel)> Started,
                                   std::function<void(const TEmfPlayResult& Result)> Finished)
{
    FDrawer->SetHooks({std::move(Started), std::move(Finished)});
}

void TQRPreviewImage::SetGdiText(bool Value)
{
    if (Value == FGdiText)
        return;
    FGdiText = Value;
    // As a page change does: the picture of the other mode is not shown.
    ++FPageGeneration;
    ++FTicket;
    FDrawer->Cancel();
    FRequested = TDrawKey();
    DropCache();
    update();
}

void TQRPreviewImage::SetHyperlinks(std::unique_ptr<std::vector<THyperlink>> Value)
{
    FHyperlinks = std::move(Value);
}

void TQRPreviewImage::DropCache()
{
    FCache = QImage();
    FCacheKey = TDrawKey();
}

void TQRPreviewImage::paintEvent(QPaintEvent* Event)
{
    if (!FMetafile)
        return;
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    const QRect need = Event->rect() & rect();
    const bool fits = FCacheKey.Fits(FPageGeneration, size(), ratio);
    if (fits && FCacheKey.Part.contains(need)) {
        painter.drawImage(FCacheKey.Part.topLeft(), FCache);
        return;
    }
    // Until the drawing comes: the sheet, and over it the page as it was
    // last drawn, scaled to the new size.
    DrawSheet(painter, rect());
    if (!FCache.isNull() && FCacheKey.Page == FPageGeneration && !FCacheKey.Sheet.isEmpty()) {
        const qreal sx = qreal(width()) / FCacheKey.Sheet.width();
        const qreal sy = qreal(height()) / FCacheKey.Sheet.height();
        const QRectF at(FCacheKey.Part.x() * sx, FCacheKey.Part.y() * sy, FCacheKey.Part.width() * sx,
                        FCacheKey.Part.height() * sy);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, !fits);
        painter.drawImage(at, FCache);
    }
    RequestDrawing(PartToDraw(need, ratio), ratio);
}

QRect TQRPreviewImage::PartToDraw(const QRect& Need, qreal Ratio) const
{
    const auto pixels = [Ratio](const QRect& R) {
        return static_cast<qint64>(R.width() * Ratio) * static_cast<qint64>(R.height() * Ratio);
    };
    if (pixels(rect()) <= MaxCachePixels)
        return rect();
    QRect part = (visibleRegion().boundingRect().adjusted(-ViewMargin, -ViewMargin, ViewMargin, ViewMargin) | Need) &
                 rect();
    if (pixels(part) > MaxCachePixels)
        part = Need;
    // Still too large (a window larger than any screen): its top rows.
    if (pixels(part) > MaxCachePixels && part.width() > 0)
        part.setHeight(std::max<qint64>(1, MaxCachePixels / static_cast<qint64>(part.width() * Ratio * Ratio)));
    return part;
}

void TQRPreviewImage::RequestDrawing(const QRect& Part, qreal Ratio)
{
    if (Part.isEmpty() || (FRequested.Fits(FPageGeneration, size(), Ratio) && FRequested.Part.contains(Part)))
        return;
    FRequested = {FPageGeneration, size(), Ratio, Part};
    FDrawer->Request({FMetafile, size(), Part, Ratio, ++FTicket, FGdiText ? TEmfTextMode::Gdi : TEmfTextMode::Smooth});
}

void TQRPreviewImage::Delivered(const TPageDrawing& Drawing)
{
    // An older picture, overtaken by a newer request.
    if (Drawing.Ticket != FTicket || Drawing.Picture.isNull())
        return;
    FCache = Drawing.Picture;
    FCacheKey = FRequested;
    SetPartial(Drawing.Result.TooComplex);
    update();
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
