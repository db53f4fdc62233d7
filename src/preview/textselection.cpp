// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/textselection.h"

#include "preview/pagetextoverlay.h"
#include "preview/qrpreviewimage.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QRubberBand>

TPageTextSelection::TPageTextSelection(TQRPreviewImage* Image, QWidget* Window) : QObject(Image), FImage(Image)
{
    FOverlay = new TPageTextOverlay(
        Image, [this](int Page, int&) { return Page == FPage ? FBoxes : QVector<QRectF>(); }, QColor(40, 110, 255));
    Image->installEventFilter(this);

    FCopy = new QAction(tr("Ko&pyala"), Window);
    FCopy->setShortcut(QKeySequence::Copy);
    FSelectAll = new QAction(tr("Sayfanın &tüm metnini seç"), Window);
    FSelectAll->setShortcut(QKeySequence::SelectAll);
    FModeAction = new QAction(tr("&Metin seçme modu"), Window);
    FModeAction->setCheckable(true);
    for (QAction* a : {FCopy, FSelectAll, FModeAction}) {
        a->setShortcutContext(Qt::WindowShortcut);
        Window->addAction(a);
    }
    connect(FCopy, &QAction::triggered, this, &TPageTextSelection::Copy);
    connect(FSelectAll, &QAction::triggered, this, &TPageTextSelection::SelectAll);
    connect(FModeAction, &QAction::toggled, this, &TPageTextSelection::SetSelectionMode);
}

const std::vector<TEmfTextLine>& TPageTextSelection::Lines()
{
    const TMetafile* page = FImage->Metafile();
    if (page != FLinesOf) {
        FLines = page ? EmfPageLines(*page, true) : std::vector<TEmfTextLine>();
        FLinesOf = page;
    }
    return FLines;
}

void TPageTextSelection::Select(const QRectF& PageArea)
{
    FPage = FImage->PageNumber();
    FBoxes.clear();
    for (const TEmfTextLine& l : Lines()) {
        if (!l.Bounds.intersects(PageArea))
            continue;
        for (const QRectF& b : l.Boxes)
            if (PageArea.contains(b.center()))
                FBoxes.append(b);
    }
    FText = EmfTextInArea(Lines(), PageArea);
    FOverlay->update();
}

void TPageTextSelection::SelectAll()
{
    Select(QRectF(-1e9, -1e9, 2e9, 2e9));
}

QString TPageTextSelection::PageText()
{
    return EmfTextInArea(Lines(), QRectF(-1e9, -1e9, 2e9, 2e9));
}

void TPageTextSelection::Copy()
{
    // Nothing selected on the page shown: its whole text.
    if (FPage != FImage->PageNumber() || FText.isEmpty())
        SelectAll();
    if (!FText.isEmpty())
        QGuiApplication::clipboard()->setText(FText);
}

void TPageTextSelection::ClearSelection()
{
    FBoxes.clear();
    FText.clear();
    FOverlay->update();
}

void TPageTextSelection::SetSelectionMode(bool On)
{
    FMode = On;
    FModeAction->setChecked(On);
    FImage->setCursor(On ? Qt::IBeamCursor : Qt::ArrowCursor);
}

bool TPageTextSelection::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched != FImage)
        return false;
    switch (Event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(Event);
        if (e->button() != Qt::LeftButton || !(FMode || (e->modifiers() & Qt::ShiftModifier)))
            return false;
        FDragging = true;
        FStart = e->position().toPoint();
        if (!FBand)
            FBand = new QRubberBand(QRubberBand::Rectangle, FImage);
        FBand->setGeometry(QRect(FStart, QSize()));
        FBand->show();
        return true;
    }
    case QEvent::MouseMove: {
        if (!FDragging)
            return false;
        const QRect area = QRect(FStart, static_cast<QMouseEvent*>(Event)->position().toPoint()).normalized();
        FBand->setGeometry(area);
        Select(FOverlay->ToPage(area));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!FDragging)
            return false;
        FDragging = false;
        FBand->hide();
        const QRect area = QRect(FStart, static_cast<QMouseEvent*>(Event)->position().toPoint()).normalized();
        Select(FOverlay->ToPage(area));
        if (!FText.isEmpty())
            QGuiApplication::clipboard()->setText(FText);
        return true;
    }
    default: return false;
    }
}
