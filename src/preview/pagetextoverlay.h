// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A transparent layer over the page image that marks text: search hits or
// a selection. It follows the image's size and asks its owner, whenever it
// paints, for the boxes of the page now shown.
#include <QColor>
#include <QRectF>
#include <QVector>
#include <QWidget>

#include <functional>

class TQRPreviewImage;

class TPageTextOverlay : public QWidget {
    Q_OBJECT
public:
    // Boxes in page coordinates for Page; Current is the index to stress, or -1.
    using TBoxSource = std::function<QVector<QRectF>(int Page, int& Current)>;

    TPageTextOverlay(TQRPreviewImage* Image, TBoxSource Source, QColor Colour);

    // Page coordinates to the image's and back (identity without a page).
    QRectF ToImage(const QRectF& PageRect) const;
    QRectF ToPage(const QRectF& ImageRect) const;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;

private:
    double Scale() const;

    TQRPreviewImage* FImage;
    TBoxSource FSource;
    QColor FColour;
};
