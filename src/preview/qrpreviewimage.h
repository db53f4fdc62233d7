// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One report page inside the preview control: a white sheet with a thin
// black frame and a two-pixel drop shadow, the page's metafile stretched
// over it, and the page's hyperlinks under the mouse.
#include "preview/qrhyperlinks.h"

#include <QImage>
#include <QWidget>

#include <memory>
#include <vector>

class QLabel;
class QPainter;
class TMetafile;
class TQRPrinter;

// Draws Page over R as a sheet with frame and shadow; nothing without a page.
// False when the page was too complex to draw in full. GdiText: text in
// GDI's own pixels instead of smoothed.
bool DrawPage(QPainter& Painter, const QRect& R, const TMetafile* Page, bool GdiText = false);

class TQRPreviewImage : public QWidget {
    Q_OBJECT
public:
    explicit TQRPreviewImage(QWidget* AOwner = nullptr);
    ~TQRPreviewImage() override;

    int PageNumber() const { return FPageNumber; }
    // Reads page Value from the document (none when it cannot supply it).
    void SetPageNumber(int Value);
    TQRPrinter* QRPrinter() const { return FQRPrinter; }
    // Does not reload; the next SetPageNumber reads from the new document.
    void SetQRPrinter(TQRPrinter* Value) { FQRPrinter = Value; }
    const TMetafile* Metafile() const { return FMetafile.get(); }
    const std::vector<THyperlink>* Hyperlinks() const { return FHyperlinks.get(); }
    // For a page source that carries links; the document's pages carry none.
    void SetHyperlinks(std::unique_ptr<std::vector<THyperlink>> Value);
    int Zoom() const { return FZoom; }
    void SetZoom(int Value) { FZoom = Value; }
    TQRPreviewHyperlinkEvent OnHyperlink() const { return FOnHyperlink; }
    void SetOnHyperlink(TQRPreviewHyperlinkEvent Value) { FOnHyperlink = std::move(Value); }

    // Text drawn as GDI draws it ("Windows görünümü") instead of smoothed;
    // a change redraws the page.
    bool GdiText() const { return FGdiText; }
    void SetGdiText(bool Value);

    bool ImageOK() const { return FMetafile != nullptr; }
    // The page was too complex to draw in full: a note says so over it.
    bool Partial() const { return FPartial; }
    bool HyperlinksOK() const { return FHyperlinks != nullptr; }
    // The link under the image point (X, Y); remembered as the last link.
    QString FindHyperlink(int X, int Y);

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;

private:
    void SetLinkState(bool Over);
    void DropCache();
    void SetPartial(bool Value);

    std::unique_ptr<std::vector<THyperlink>> FHyperlinks;
    TQRPrinter* FQRPrinter = nullptr;
    int FPageNumber = 1;
    std::unique_ptr<TMetafile> FMetafile;
    TQRPreviewHyperlinkEvent FOnHyperlink;
    int FZoom = 100;
    bool FIsLink = false;
    QString FLastLink;
    // The drawn page at device pixels, so that scrolling does not replay it.
    QImage FCache;
    bool FPartial = false;
    bool FGdiText = false;
    QLabel* FNote = nullptr; // made when first needed
};
