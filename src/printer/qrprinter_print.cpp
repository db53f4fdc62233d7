// SPDX-License-Identifier: GPL-3.0-or-later
// Printing a finished report: one job, one sheet per page.
#include "printer/qrprinter.h"

#include "platform/messagepump.h"
#include "platform/rounding.h"
#include "printer/qrmessages.h"
#include "printer/qrpapers.h"
#include "printer/qrparentreport.h"
#include "printer/qrprogressform.h"
#include "store/qrpagelist.h"

#include <QRect>

#include <cstdint>

namespace {

// Asks a report definition's window to regenerate and print the report itself.
constexpr int QRM_PRINT_REQUEST = WM_USER + 2;

// TCanvas rectangles are GDI ones: right and bottom exclusive.
QRect GdiRect(int Left, int Top, int Right, int Bottom)
{
    return QRect(QPoint(Left, Top), QSize(Right - Left, Bottom - Top));
}

} // namespace

QRect ParentReportPageRect(long double Width, long double Length, int LeftOffset, int TopOffset, int PixelsPerX,
                           int PixelsPerY)
{
    const long double px = PixelsPerX / 254.0L;
    const long double py = PixelsPerY / 254.0L;
    return GdiRect(-RoundHalfEven(LeftOffset * px), -RoundHalfEven(TopOffset * py),
                   RoundHalfEven((Width - LeftOffset) * px), RoundHalfEven((Length - TopOffset) * py));
}

int PrintProgressValue(int Page, int First, int Last)
{
    const int64_t count = int64_t(Last) - First + 1;
    if (count <= 0)
        return 0;
    const int64_t done = (int64_t(Page) - First + 1) * 100;
    int64_t q = done / count;
    const int64_t twice = (done % count) * 2;
    if (twice > count || (twice == count && q % 2 != 0))
        ++q;
    return static_cast<int>(q);
}

void TQRPrinter::Print()
{
    if (FMaster && !FReportLoaded && !PrintMetafile() && FStatus == mpFinished) {
        PostQRMessage(FMaster, QRM_PRINT_REQUEST, 0, 0);
        return;
    }
    if (FStatus != mpFinished || !FPrinterOK)
        return;
    const bool showProgress = FParentReport && FParentReport->ShowProgress();
    std::unique_ptr<TQRProgressForm> progress;
    QPointer<QObject> oldClient = FClient;
    // The job is closed, and the window gone, whatever happened in between.
    auto close = [&]() {
        if (progress) {
            FClient = oldClient;
            progress.reset();
        }
        if (aPrinter->Printing())
            aPrinter->EndDoc();
    };
    try {
        aPrinter->SetTitle(FTitle);
        if (aPrinter->Printing())
            aPrinter->Abort();
        aPrinterSettings->ApplySettings();
        aPrinter->BeginDoc();
        const int first = FFirstPage == 0 ? 1 : FFirstPage;
        const int last = FLastpage == 0 ? FPageCount : FLastpage;
        if (showProgress) {
            progress = std::make_unique<TQRProgressForm>(this);
            progress->show();
            FClient = progress.get();
        }
        QRect rect(0, 0, aPrinter->PageWidth(), aPrinter->PageHeight());
        if (FParentReport)
            rect = ParentReportPageRect(FParentReport->PageWidth(), FParentReport->PageLength(),
                                        aPrinterSettings->LeftOffset(), aPrinterSettings->TopOffset(),
                                        aPrinterSettings->PixelsPerX(), aPrinterSettings->PixelsPerY());
        // 64 bits, so that a range ending at INT_MAX still ends.
        for (int64_t p = first; p <= last; ++p) {
            ProcessPendingMessages();
            if (showProgress)
                SetProgress(PrintProgressValue(static_cast<int>(p), first, last));
            SetPageNumber(static_cast<int>(p));
            // Taken for every page, so that a page without a picture still
            // counts as a (blank) sheet of the job.
            TCanvas& sheet = aPrinter->Canvas();
            if (std::unique_ptr<TMetafile> page = GetPage(static_cast<int>(p)))
                sheet.StretchDraw(rect, *page);
            if (p < last)
                aPrinter->NewPage();
            if (FCancelled) {
                aPrinter->Abort();
                break;
            }
        }
        if (progress) {
            // The last value was only posted; let the window show it.
            ProcessPendingMessages();
            progress->hide();
        }
        if (FParentReport)
            FParentReport->AfterPrint();
    } catch (...) {
        try {
            close();
        } catch (...) {
            // The first error is the one the user needs to see.
        }
        throw;
    }
    close();
}

void TQRPrinter::PrintMetafileDirect(const QString&, int frompage, int topage)
{
    if (FStatus != mpFinished)
        return;
    TPrinter& shared = ::Printer();
    shared.BeginDoc();
    try {
        const long double xf = GetDeviceCaps(shared.Handle(), LOGPIXELSX) / 254.0L;
        const long double yf = GetDeviceCaps(shared.Handle(), LOGPIXELSY) / 254.0L;
        long double right = shared.PageWidth();
        long double bottom = shared.PageHeight();
        if (PaperSize() == TQRPaperSize::Custom) {
            right = PaperWidth() * xf;
            bottom = PaperLength() * yf;
        }
        const QRect rect = GdiRect(RoundHalfEven(DPLeftMargin * xf), RoundHalfEven(DPTopmargin * yf),
                                   RoundHalfEven(right), RoundHalfEven(bottom));
        for (int64_t p = frompage; p <= topage; ++p) {
            if (std::unique_ptr<TMetafile> page = FPageList->GetPage(static_cast<int32_t>(p)))
                shared.Canvas().StretchDraw(rect, *page);
            if (p != topage)
                shared.NewPage();
        }
        shared.EndDoc();
    } catch (...) {
        // Leave the shared printer free for the next job.
        if (shared.Printing())
            shared.Abort();
        throw;
    }
}

void TQRPrinter::PrintSetup()
{
    if (FOnPrintSetupEvent)
        FOnPrintSetupEvent();
}
