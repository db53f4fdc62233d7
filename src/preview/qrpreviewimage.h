// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One report page inside the preview control: a white sheet with a thin
// black frame and a two-pixel drop shadow, the page's metafile stretched
// over it, and the page's hyperlinks under the mouse.
#include "platform/emf/emfplayer.h"
#include "preview/qrhyperlinks.h"

#include <QImage>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QPainter;
class TMetafile;
class TPageDrawer;
struct TPageDrawing;
class TQRPrinter;

// Draws Page over R as a sheet with frame and shadow; nothing without a page.
// False when the page was too complex to draw in full. GdiText: text in
// GDI's own pixels instead of smoothed.
bool DrawPage(QPainter& Painter, const QRect& R, const TMetafile* Page, bool GdiText = false);
// The same with the player's options, telling how playback went.
TEmfPlayResult DrawPage(QPainter& Painter, const QRect& R, const TMetafile* Page, const TEmfPlayOptions& Options);
// The sheet without a page on it: white, with frame and shadow.
void DrawSheet(QPainter& Painter, const QRect& R);

// The page is drawn on a thread of its own into a picture that the widget
// shows when it is done; until then the sheet shows the page as last drawn at
// another size, or nothing. A page change, a new size or closing the widget
// cancels a drawing still under way.

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

    // Waits for the drawing under way and shows it; for tests.
    void WaitForDrawing();
    // For tests: called on the drawing thread before each page is played
    // (with the flag that cancels it) and after, with how playback went.
    void SetDrawHooks(std::function<void(const std::atomic<bool>& Cancel)> Started,
                      std::function<void(const TEmfPlayResult& Result)> Finished);

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;

private:
    void SetLinkState(bool Over);
    void DropCache();
    void SetPartial(bool Value);
    // The part of the sheet a drawing should cover to show Need.
    QRect PartToDraw(const QRect& Need, qreal Ratio) const;
    void RequestDrawing(const QRect& Part, qreal Ratio);
    void Delivered(const TPageDrawing& Drawing);

    // What a picture was, or is being, drawn for.
    struct TDrawKey {
        quint64 Page = 0; // FPageGeneration
        QSize Sheet;
        qreal Ratio = 0;
        QRect Part;
        bool Fits(quint64 APage, QSize ASheet, qreal ARatio) const
        {
            return Page == APage && Sheet == ASheet && Ratio == ARatio;
        }
    };

    std::unique_ptr<std::vector<THyperlink>> FHyperlinks;
    TQRPrinter* FQRPrinter = nullptr;
    int FPageNumber = 1;
    std::shared_ptr<const TMetafile> FMetafile; // shared with the drawing thread
    TQRPreviewHyperlinkEvent FOnHyperlink;
    int FZoom = 100;
    bool FIsLink = false;
    QString FLastLink;
    // The drawn page (or the part of a large one around the view) at device
    // pixels, so that scrolling does not replay it.
    QImage FCache;
    TDrawKey FCacheKey;
    TDrawKey FRequested;
    quint64 FPageGeneration = 1;
    quint64 FTicket = 0;
    std::unique_ptr<TPageDrawer> FDrawer; // made on the first drawing
    bool FPartial = false;
    bool FGdiText = false;
    QLabel* FNote = nullptr; // made when first needed
};
