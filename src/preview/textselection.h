// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Copying the text of the page shown: drag a rectangle with Shift held (or
// in text-selection mode) to copy the text inside it in reading order;
// Ctrl+A selects the whole page's text and Ctrl+C copies the selection.
#include "platform/emftext/emftext.h"

#include <QObject>
#include <QPoint>
#include <QRectF>
#include <QVector>

#include <vector>

class QAction;
class QRubberBand;
class QWidget;
class TMetafile;
class TPageTextOverlay;
class TQRPreviewImage;

class TPageTextSelection : public QObject {
    Q_OBJECT
public:
    // Keys go to Window.
    TPageTextSelection(TQRPreviewImage* Image, QWidget* Window);

    // The selected text in reading order, lines ended by newlines.
    QString SelectedText() const { return FText; }
    void SelectAll();
    // The whole text of the page shown, leaving the selection alone.
    QString PageText();
    void Copy();
    void ClearSelection();
    // Text-selection mode: a plain drag selects, as with Shift held.
    bool SelectionMode() const { return FMode; }
    void SetSelectionMode(bool On);

    QAction* CopyAction() const { return FCopy; }
    QAction* SelectAllAction() const { return FSelectAll; }
    QAction* ModeAction() const { return FModeAction; }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    const std::vector<TEmfTextLine>& Lines();
    void Select(const QRectF& PageArea);

    TQRPreviewImage* FImage;
    TPageTextOverlay* FOverlay;
    QRubberBand* FBand = nullptr;
    QAction* FCopy;
    QAction* FSelectAll;
    QAction* FModeAction;
    bool FMode = false;
    bool FDragging = false;
    QPoint FStart;
    // Text of the page last read, and the selection on it.
    const TMetafile* FLinesOf = nullptr;
    std::vector<TEmfTextLine> FLines;
    int FPage = 0;
    QVector<QRectF> FBoxes;
    QString FText;
};
