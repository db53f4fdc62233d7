// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/paperprobe.h"

#include "platform/metafile.h"
#include "printer/screenmetrics.h"
#include "store/qrpagelist.h"
#include "store/qrreportinfo.h"

#include <QFile>

// What loading into a document without a printer settles on, from the page
// list alone: qrptool info then needs no printing libraries.
TPaperDetection DetectReportPaper(const QString& FileName)
{
    TQRPageList list;
    LoadReportFile(list, QFile::encodeName(FileName).toStdString());
    TPaperDetection none;
    none.PaperSize = TQRPaperSize::A4;
    none.Found = false;
    if (list.PageCount() <= 0)
        return none;
    const std::unique_ptr<TMetafile> page = list.GetPage(1);
    if (!page)
        return none;
    return DetectFirstPagePaper(page->Width(), page->Height());
}

TPaperDetection DetectFirstPagePaper(int WidthPx, int HeightPx)
{
    TPaperDetection found = DetectPaperNearest(WidthPx, HeightPx, ScreenPixelsPerInch() / 254.0L);
    // A document without a printer keeps its settings' first size (A4) when
    // no row is near enough.
    if (!found.Found || static_cast<int>(found.PaperSize) >= QRPaperSizeCount)
        found.PaperSize = TQRPaperSize::A4;
    found.Found = true;
    return found;
}
