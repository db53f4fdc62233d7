// SPDX-License-Identifier: GPL-3.0-or-later
// Loading, saving and reading pages of a finished report.
#include "printer/qrprinter.h"

#include "printer/screenmetrics.h"
#include "store/qrpagelist.h"
#include "store/qrreportinfo.h"

#include <QFile>

namespace {

std::string LocalPath(const QString& Filename)
{
    return QFile::encodeName(Filename).toStdString();
}

} // namespace

void TQRPrinter::Load(const QString& Filename)
{
    LoadWith([this, &Filename] { LoadReportFile(*FPageList, LocalPath(Filename)); }, true);
    FFileName = Filename;
}

void TQRPrinter::LoadFromStream(TMemoryStream& inStream)
{
    LoadWith([this, &inStream] { LoadReportStream(*FPageList, inStream); }, false);
    FFileName.clear();
}

void TQRPrinter::LoadWith(const std::function<void()>& ReadPages, bool NearestSize)
{
    if (FStatus != mpReady)
        Cleanup();
    try {
        ReadPages();
        FPageCount = FPageList->PageCount();
        FXFactor = ScreenPixelsPerInch() / 254.0L;
        FYFactor = FXFactor;
        if (FPageCount > 0)
            DetectFirstPage(NearestSize);
    } catch (...) {
        DropLoadedStream();
        throw;
    }
    FinishLoad();
}

// A load that failed half-way leaves an empty document, not one that claims
// pages it cannot show or keeps the user's file open.
void TQRPrinter::DropLoadedStream()
{
    aStream = nullptr;
    FPageList->SetStream(nullptr);
    FPageList->Clear();
    FPageCount = 0;
    FStatus = mpReady;
}

void TQRPrinter::FinishLoad()
{
    aStream = FPageList->Stream();
    FStatus = mpFinished;
    FOnPrintSetupEvent = nullptr;
    FOnExportToFilterEvent = nullptr;
    FReportLoaded = true;
    SavedReportLoaded = true;
}

void TQRPrinter::DetectFirstPage(bool NearestSize)
{
    const std::unique_ptr<TMetafile> page = FPageList->GetPage(1);
    if (!page)
        return;
    const TPaperDetection found = NearestSize ? DetectPaperNearest(page->Width(), page->Height(), FXFactor)
                                              : DetectPaperIn4mmSteps(page->Width(), page->Height(), FXFactor);
    if (FPrinterOK && aPrinterSettings->Printer()) {
        // The printer has the last word: a size or orientation it refuses is skipped.
        for (const TPaperWrite& w : found.Writes) {
            if (w.IsOrientation)
                SetOrientation(w.Orientation);
            else
                SetPaperSize(w.PaperSize);
        }
    } else {
        // Without a printer nothing would be accepted, and a landscape report
        // would be shown squeezed into a portrait sheet.
        aPrinterSettings->SetDetectedPaper(found.Found ? found.PaperSize : PaperSize(), found.Orientation);
    }
}

void TQRPrinter::Save(const QString& Filename)
{
    if (FStatus == mpFinished)
        FPageList->SaveToFile(LocalPath(Filename));
}

std::unique_ptr<TMetafile> TQRPrinter::GetPage(int Value)
{
    if ((FStatus != mpBusy && FStatus != mpFinished) || Value < 1 || Value > FPageCount)
        return nullptr;
    return FPageList->GetPage(Value);
}

void TQRPrinter::GetPageEx(int Value, std::unique_ptr<TMetafile>& AMetafile,
                           std::unique_ptr<std::vector<THyperlink>>& AHyperlinks)
{
    FPageList->GetPageEx(Value, AMetafile, AHyperlinks);
}
