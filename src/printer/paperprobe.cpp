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
    TPaperDetection result;
    result.PaperSize = TQRPaperSize::A4;
    result.Found = list.PageCount() > 0;
    if (!result.Found)
        return result;
    const std::unique_ptr<TMetafile> page = list.GetPage(1);
    if (!page)
        return result;
    const TPaperDetection found = DetectPaperNearest(page->Width(), page->Height(), ScreenPixelsPerInch() / 254.0L);
    if (found.Found && static_cast<int>(found.PaperSize) < QRPaperSizeCount)
        result.PaperSize = found.PaperSize;
    result.Orientation = found.Orientation;
    return result;
}
