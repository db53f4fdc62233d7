// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The scrolling control that shows one page of a report document at a zoom
// and turns the document's posted notifications into events.
#include "preview/qrhyperlinks.h"
#include "printer/qrmessages.h"

#include <QScrollArea>

#include <cstdint>
#include <functional>

class TQRPreview;
class TQRPreviewImage;
class TQRPrinter;

enum TQRZoomState : uint8_t { qrZoomToFit = 0, qrZoomToWidth = 1, qrZoomOther = 2, qrZoom100 = 3 };

using TQRPageAvailableEvent = std::function<void(TQRPreview* Sender, int PageNum)>;
using TQRProgressUpdateEvent = std::function<void(TQRPreview* Sender, int Progress)>;

class TQRPreview : public QScrollArea, public TQRPrinterClient {
    Q_OBJECT
public:
    explicit TQRPreview(QWidget* AOwner = nullptr);
    ~TQRPreview() override;

    TQRPrinter* QRPrinter() const { return FQRPrinter; }
    // Attaches the control to Value (or to none) and shows its page 1.
    void SetQRPrinter(TQRPrinter* Value);
    int PageNumber() const { return FPageNumber; }
    // Ignores pages outside 1..PageCount and the page already shown.
    void SetPageNumber(int Value);
    int Zoom() const { return FZoom; }
    // Ignores values outside 2..2000.
    void SetZoom(int Value);
    TQRZoomState ZoomState() const { return FZoomState; }
    // Applied on the next resize or focus entry.
    void SetZoomState(TQRZoomState Value) { FZoomState = Value; }
    TQRPreviewImage* PreviewImage() const { return FPreviewImage; }
    TQRPreviewHyperlinkEvent OnHyperlink() const;
    void SetOnHyperlink(TQRPreviewHyperlinkEvent Value);

    // The page point at the middle of the view, as fractions of the page,
    // and a scroll that brings such a point back to the middle.
    QPointF ViewCentre() const;
    void ScrollToCentre(const QPointF& Centre);

    void UpdateImage();
    void UpdateZoom();
    void ZoomToFit();
    void ZoomToWidth();
    // Follows the control's size in a fitted state; otherwise re-centres.
    void ReapplyZoom();

    void DetachQRPrinter(TQRPrinter* Printer) override;

    TQRPageAvailableEvent OnPageAvailable;
    TQRProgressUpdateEvent OnProgressUpdate;
    // The text of the page shown, asked for only when assistive technology
    // reads the page (as its accessible description).
    std::function<QString()> PageText;
    // After every change of the zoom, with the new value.
    std::function<void(int Zoom)> OnZoomChanged;

protected:
    bool event(QEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;

private:
    void HandleMessage(const TQRMessageEvent& Message);
    // Page extents in pixels at zoom 100.
    long double PageWidthPixels() const;
    long double PageLengthPixels() const;
    void LayoutPage();
    void ScrollToOrigin();

    TQRPreviewImage* FPreviewImage = nullptr;
    int FPageNumber = 1;
    TQRPrinter* FQRPrinter = nullptr;
    int FZoom = 100;
    TQRZoomState FZoomState = qrZoomOther;
    // Carries the image at its place; sized to cover the viewport so the
    // scroll range is exactly the part of the image outside it.
    QWidget* FSheet = nullptr;
    QPoint FImagePos;
    QWidget* FFocusRing = nullptr;
    bool FReapplying = false;
    // The control's size when the zoom was last re-applied for a resize.
    QSize FReappliedSize;
};
