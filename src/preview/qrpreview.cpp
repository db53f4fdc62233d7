// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qrpreview.h"

#include "preview/previewgeometry.h"
#include "preview/qrpreviewimage.h"
#include "printer/qrprinter.h"
#include "printer/standardpreview.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

namespace {

QWidget* MakeStandardPreviewContent(TQRPrinter* AQRPrinter, QWidget* Parent)
{
    auto* control = new TQRPreview(Parent);
    control->SetQRPrinter(AQRPrinter);
    return control;
}

// The library's standard preview window shows its document through this
// control wherever the control is part of the program.
[[maybe_unused]] const bool StandardPreviewContentSet = (SetStandardPreviewContent(&MakeStandardPreviewContent), true);

// Marks the page area while the control has the keyboard focus; drawn over
// the page, so that it shows whatever the zoom.
class TFocusRing : public QWidget {
public:
    explicit TFocusRing(QWidget* Parent) : QWidget(Parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
};

// The page described by its text, read at the moment a screen reader asks.
class TPageAccessible : public QAccessibleWidget {
public:
    explicit TPageAccessible(TQRPreview* Preview) : QAccessibleWidget(Preview, QAccessible::Document) {}
    QString text(QAccessible::Text Kind) const override
    {
        auto* preview = static_cast<TQRPreview*>(widget());
        if (Kind == QAccessible::Description && preview->accessibleDescription().isEmpty() && preview->PageText)
            return preview->PageText();
        return QAccessibleWidget::text(Kind);
    }
};

QAccessibleInterface* PageAccessibleFactory(const QString&, QObject* Object)
{
    if (auto* preview = qobject_cast<TQRPreview*>(Object))
        return new TPageAccessible(preview);
    return nullptr;
}

} // namespace

TQRPreview::TQRPreview(QWidget* AOwner) : QScrollArea(AOwner)
{
    FSheet = new QWidget;
    FPreviewImage = new TQRPreviewImage(FSheet);
    FPreviewImage->move(0, 0);
    setWidget(FSheet);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Rapor sayfası"));
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(PageAccessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    // The scroll area's constructor may already have made the plain
    // interface for this object: drop it so that the page's is made.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(this);
    if (made && !dynamic_cast<TPageAccessible*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    FFocusRing = new TFocusRing(this);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    resize(250, 250);
}

TQRPreview::~TQRPreview()
{
    if (FQRPrinter)
        SetQRPrinter(nullptr);
}

void TQRPreview::SetQRPrinter(TQRPrinter* Value)
{
    if (FQRPrinter && FQRPrinter->Client() == this) {
        FQRPrinter->SetShowingPreview(false);
        FQRPrinter->SetClient(nullptr);
    }
    FQRPrinter = Value;
    FPreviewImage->SetQRPrinter(Value);
    if (Value) {
        Value->SetClient(this);
        Value->SetShowingPreview(true);
    }
    SetPageNumber(1);
    FPreviewImage->SetPageNumber(1);
    update();
}

void TQRPreview::DetachQRPrinter(TQRPrinter* Printer)
{
    if (Printer && Printer == FQRPrinter)
        SetQRPrinter(nullptr);
}

void TQRPreview::SetPageNumber(int Value)
{
    if ((Value == FPageNumber && FPreviewImage->ImageOK()) || Value <= 0 || !FQRPrinter ||
        Value > FQRPrinter->PageCount())
        return;
    FPreviewImage->SetPageNumber(Value);
    FPageNumber = Value;
    ScrollToOrigin();
}

void TQRPreview::SetZoom(int Value)
{
    if (Value < MinZoom || Value > MaxZoom)
        return;
    FZoomState = qrZoomOther;
    FZoom = Value;
    UpdateZoom();
}

TQRPreviewHyperlinkEvent TQRPreview::OnHyperlink() const
{
    return FPreviewImage->OnHyperlink();
}

void TQRPreview::SetOnHyperlink(TQRPreviewHyperlinkEvent Value)
{
    FPreviewImage->SetOnHyperlink(std::move(Value));
}

long double TQRPreview::PageWidthPixels() const
{
    return FQRPrinter ? FQRPrinter->XSize(FQRPrinter->PaperWidthValue()) : DefaultPaperWidth;
}

long double TQRPreview::PageLengthPixels() const
{
    return FQRPrinter ? FQRPrinter->YSize(FQRPrinter->PaperLengthValue()) : DefaultPaperLength;
}

void TQRPreview::UpdateZoom()
{
    int w, h;
    if (FQRPrinter) {
        w = FQRPrinter->XSize(static_cast<long double>(FQRPrinter->PaperWidthValue()) / 100 * FZoom) + PageShadowExtra;
        h = FQRPrinter->YSize(static_cast<long double>(FQRPrinter->PaperLengthValue()) / 100 * FZoom) + PageShadowExtra;
    } else {
        w = ImageExtent(DefaultPaperWidth, FZoom, 1);
        h = ImageExtent(DefaultPaperLength, FZoom, 1);
    }
    FPreviewImage->resize(std::max(w, 0), std::max(h, 0));
    FImagePos = QPoint(CentredOffset(width(), w), CentredOffset(height(), h));
    LayoutPage();
    ScrollToOrigin();
    FPreviewImage->SetZoom(FZoom);
    if (OnZoomChanged)
        OnZoomChanged(FZoom);
}

QPointF TQRPreview::ViewCentre() const
{
    const QSize image = FPreviewImage->size();
    if (image.isEmpty())
        return QPointF(0.5, 0.5);
    const QSize view = viewport()->size();
    return QPointF((horizontalScrollBar()->value() + view.width() / 2.0 - FImagePos.x()) / image.width(),
                   (verticalScrollBar()->value() + view.height() / 2.0 - FImagePos.y()) / image.height());
}

void TQRPreview::ScrollToCentre(const QPointF& Centre)
{
    const QSize image = FPreviewImage->size();
    const QSize view = viewport()->size();
    horizontalScrollBar()->setValue(qRound(FImagePos.x() + Centre.x() * image.width() - view.width() / 2.0));
    verticalScrollBar()->setValue(qRound(FImagePos.y() + Centre.y() * image.height() - view.height() / 2.0));
}

void TQRPreview::LayoutPage()
{
    FPreviewImage->move(FImagePos);
    const QSize view = maximumViewportSize();
    const QRect image = FPreviewImage->geometry();
    // Without scroll bars the viewport is the largest; with them it shrinks.
    int sheetW = std::max(image.right() + 1, 0);
    int sheetH = std::max(image.bottom() + 1, 0);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const bool needH = sheetW > view.width();
    const bool needV = sheetH > view.height() - (needH ? bar : 0);
    const bool needH2 = sheetW > view.width() - (needV ? bar : 0);
    FSheet->resize(std::max(sheetW, view.width() - (needV ? bar : 0)),
                   std::max(sheetH, view.height() - (needH2 ? bar : 0)));
}

void TQRPreview::ScrollToOrigin()
{
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void TQRPreview::ZoomToFit()
{
    const int a = FittedZoom(width(), PageWidthPixels(), 95);
    const int b = FittedZoom(height(), PageLengthPixels(), 95);
    SetZoom(std::min(a, b));
    UpdateZoom();
    FZoomState = qrZoomToFit;
}

void TQRPreview::ZoomToWidth()
{
    SetZoom(FittedZoom(width(), PageWidthPixels(), FQRPrinter ? 90 : 95));
    UpdateZoom();
    FZoomState = qrZoomToWidth;
}

void TQRPreview::ReapplyZoom()
{
    // Scroll bars coming and going resize the viewport while we lay out.
    if (FReapplying)
        return;
    FReapplying = true;
    if (FZoomState == qrZoomToFit)
        ZoomToFit();
    else if (FZoomState == qrZoomToWidth)
        ZoomToWidth();
    UpdateZoom();
    FReapplying = false;
}

void TQRPreview::UpdateImage()
{
    if (!FPreviewImage || FPreviewImage->ImageOK() || !FQRPrinter ||
        FPreviewImage->PageNumber() > FQRPrinter->AvailablePages())
        return;
    FPreviewImage->SetPageNumber(FPreviewImage->PageNumber());
}

bool TQRPreview::event(QEvent* Event)
{
    if (Event->type() == TQRMessageEvent::EventType()) {
        HandleMessage(*static_cast<TQRMessageEvent*>(Event));
        return true;
    }
    return QScrollArea::event(Event);
}

void TQRPreview::HandleMessage(const TQRMessageEvent& Message)
{
    const int value = static_cast<int>(static_cast<quint16>(Message.WParam & 0xFFFF));
    if (Message.Msg == QRM_PROGRESS) {
        if (OnProgressUpdate)
            OnProgressUpdate(this, value);
    } else if (Message.Msg == QRM_PAGES_AVAILABLE) {
        if (value == FPageNumber)
            UpdateImage();
        if (OnPageAvailable)
            OnPageAvailable(this, value);
    }
}

void TQRPreview::resizeEvent(QResizeEvent* Event)
{
    QScrollArea::resizeEvent(Event);
    FFocusRing->setGeometry(viewport()->geometry());
    // The viewport also resizes when a zoom makes a scroll bar come or go,
    // one event loop turn after the zoom; only the control's own size counts,
    // or that late turn would throw the view back to the page's corner.
    if (size() == FReappliedSize)
        return;
    FReappliedSize = size();
    ReapplyZoom();
}

void TQRPreview::focusOutEvent(QFocusEvent* Event)
{
    QScrollArea::focusOutEvent(Event);
    FFocusRing->hide();
}

void TQRPreview::focusInEvent(QFocusEvent* Event)
{
    QScrollArea::focusInEvent(Event);
    FFocusRing->setGeometry(viewport()->geometry());
    FFocusRing->raise();
    FFocusRing->show();
    // Only tabbing into the control re-applies the zoom: a click on the page
    // or a scroll bar, or returning to the window, must leave the view where
    // the user put it.
    if (Event->reason() == Qt::TabFocusReason || Event->reason() == Qt::BacktabFocusReason)
        ReapplyZoom();
}

void TQRPreview::wheelEvent(QWheelEvent* Event)
{
    if (!(Event->modifiers() & Qt::ControlModifier)) {
        QScrollArea::wheelEvent(Event);
        return;
    }
    Event->accept();
    const int zoom = WheelZoom(FZoom, Event->angleDelta().y());
    if (zoom == FZoom)
        return;
    // Keep the page point under the cursor where it is. The scroll area hands
    // on its viewport's wheel events, so the position is the viewport's.
    const QPointF cursor = Event->position();
    const QPointF inImage = FSheet->mapFrom(viewport(), cursor.toPoint()) - QPointF(FImagePos);
    const qreal scale = static_cast<qreal>(zoom) / FZoom;
    SetZoom(zoom);
    const QPointF target = QPointF(FImagePos) + inImage * scale;
    horizontalScrollBar()->setValue(qRound(target.x() - cursor.x()));
    verticalScrollBar()->setValue(qRound(target.y() - cursor.y()));
}
