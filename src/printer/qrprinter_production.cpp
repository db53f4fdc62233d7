// SPDX-License-Identifier: GPL-3.0-or-later
// Page production: a report generator fills the document page by page,
// either into the page list (each page recorded as an EMF) or straight onto
// the printer.
#include "printer/qrprinter.h"

#include "platform/emf/metafilecanvas.h"
#include "platform/messagepump.h"
#include "platform/metafile.h"
#include "printer/qrparentreport.h"
#include "printer/screenmetrics.h"
#include "store/qrpagelist.h"
#include "store/qrstream.h"

namespace {

// Pixels per 0.1 mm of a device reporting Dpi dots per inch.
long double TenthMMFactor(int Dpi)
{
    return static_cast<long double>(Dpi) / 254.0L;
}

} // namespace

void TQRPrinter::BeginDoc()
{
    // A refused call must not disturb a document in production: resetting
    // the page or the cancel request here would lose the open page under
    // its canvas, so the status is checked before anything changes.
    if (FStatus != mpReady)
        throw EQRError("QRPrinter not ready");

    DropOpenPage();
    FAvailablePages = 0;
    FMasterProgressStart = 0;
    FMasterProgressEnd = 0;
    FCancelled = false;
    if (FDestination == qrdPrinter)
        aPrinterSettings->ApplySettings();
    FTopWaste = TopWaste();
    FLeftWaste = LeftWaste();

    FPageNumber = 0;
    FPageCount = 0;
    FStatus = mpBusy;

    if (FDestination == qrdMetafile) {
        FPageList->SetStream(std::make_unique<TQRStream>(aPrinterSettings->MemoryLimit()));
        FPageList->SetPageCount(0);
        aStream = FPageList->Stream();
        FYFactor = TenthMMFactor(ScreenPixelsPerInch());
        FXFactor = FYFactor;
    } else {
        FXFactor = TenthMMFactor(GetDeviceCaps(aPrinter->Handle(), LOGPIXELSX));
        FYFactor = TenthMMFactor(GetDeviceCaps(aPrinter->Handle(), LOGPIXELSY));
        if (FYFactor < 0.1L)
            FYFactor = DefaultTenthMMFactor;
        if (FXFactor < 0.1L)
            FXFactor = DefaultTenthMMFactor;
    }
}

void TQRPrinter::NewPage()
{
    if (FStatus != mpBusy)
        throw EQRError("Illegal call to NewPage");
    if (FPageNumber > 0) {
        ClosePage();
        SetAvailablePages(FAvailablePages + 1);
    }
    ++FPageCount;
    ++FPageNumber;
    if (FDestination == qrdPrinter && PageInRange())
        StartPrinterPage();
    else
        StartMetafilePage();
}

void TQRPrinter::ClosePage()
{
    if (FDestination == qrdMetafile) {
        ReleaseCanvas();
        if (FMetafile)
            FPageList->AddPage(*FMetafile);
        DiscardPage();
    } else if (PageInRange()) {
        EndPrinterPage();
    } else {
        // Outside the print range the page went into a throw-away metafile.
        ReleaseCanvas();
        DiscardPage();
    }
}

void TQRPrinter::DiscardPage()
{
    FMetafile.reset();
    FreeHyperlinks();
}

void TQRPrinter::DropOpenPage()
{
    // The canvas first: it finishes its page into FMetafile as it goes.
    ReleaseCanvas();
    DiscardPage();
    // A job that production left open on the printer would print on its own
    // once the printer object ends it.
    if (FDestination == qrdPrinter && FStatus == mpBusy && aPrinter->Printing())
        aPrinter->Abort();
}

void TQRPrinter::EndDoc()
{
    if (FStatus != mpBusy)
        return;
    if (FDestination == qrdPrinter) {
        // The printer's canvas goes with its job; a last page outside the
        // range is dropped.
        ReleaseCanvas();
        DiscardPage();
        if (aPrinter->Printing())
            aPrinter->EndDoc();
    } else if (FPageCount > 0) {
        ClosePage();
    }
    FStatus = mpFinished;
    SetAvailablePages(FAvailablePages + 1);
    ProcessPendingMessages();
    if (FDestination == qrdMetafile)
        FPageList->Finish();
    else if (FAfterPrintEvent)
        FAfterPrintEvent(this);
}

void TQRPrinter::AbortDoc()
{
    if (FDestination == qrdPrinter) {
        ReleaseCanvas();
        DiscardPage();
        aPrinter->Abort();
    } else if (FMetafile) {
        ReleaseCanvas();
        if (!(FParentReport && FParentReport->Exporting()))
            FPageList->AddPage(*FMetafile);
        DiscardPage();
    }
    // Without the final header an aborted report that is saved would claim
    // one page whatever it holds.
    if (FDestination == qrdMetafile && FStatus == mpBusy && FPageList->PageCount() > 0)
        FPageList->Finish();
    FStatus = mpFinished;
}

void TQRPrinter::AddHyperlink(const QRect& /*ARect*/, const QString& /*AHyperlink*/) {}

void TQRPrinter::FreeHyperlinks() {}

void TQRPrinter::AddOutline(int Level, const QString& Caption, const QRect& Target)
{
    if (FStatus != mpBusy)
        return;
    const EmfRect target{Target.left(), Target.top(), Target.left() + Target.width(), Target.top() + Target.height()};
    FPageList->AddOutline(Level, Caption.toStdString(), target, FPageNumber);
}

void TQRPrinter::StartMetafilePage()
{
    FMetafile = std::make_unique<TMetafile>();
    auto canvas = std::make_unique<TMetafileCanvas>(*FMetafile, XSize(PaperWidthValue()), YSize(PaperLengthValue()));
    FYFactor = TenthMMFactor(ScreenPixelsPerInch());
    FXFactor = FYFactor;
    canvas->SetGraphicsMode(2); // GM_ADVANCED
    FCanvas = canvas.get();
    FMetafileCanvas = std::move(canvas);
}

void TQRPrinter::StartPrinterPage()
{
    // A job already open was advanced to a fresh sheet by EndPrinterPage,
    // so each page in range gets exactly one sheet.
    if (!aPrinter->Printing()) {
        aPrinter->SetTitle(FTitle);
        aPrinter->BeginDoc();
    }
    FCanvas = &aPrinter->Canvas();
    FXFactor = TenthMMFactor(GetDeviceCaps(aPrinter->Handle(), LOGPIXELSX));
    FYFactor = TenthMMFactor(GetDeviceCaps(aPrinter->Handle(), LOGPIXELSY));
    if (FYFactor < 0.1L)
        FYFactor = 1.0L;
}

bool TQRPrinter::PageInRange() const
{
    return (FFirstPage <= 0 || FPageCount >= FFirstPage) && (FLastpage <= 0 || FPageCount <= FLastpage);
}

void TQRPrinter::ReleaseCanvas()
{
    // Destroying a metafile canvas completes its page.
    FMetafileCanvas.reset();
    FCanvas = nullptr;
}

void TQRPrinter::EndPrinterPage()
{
    if (aPrinter->Printing() && FPageCount != FLastpage)
        aPrinter->NewPage();
    FCanvas = nullptr;
}
