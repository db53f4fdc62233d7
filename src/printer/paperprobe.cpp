#include "printer/paperprobe.h"

#include "printer/qrprinter.h"
#include "printer/screenmetrics.h"

namespace {

// A machine without printers: the document then keeps what it detects.
class TNoPrinters : public TPrintBackend {
public:
    QString Name() const override { return QStringLiteral("none"); }
    const std::vector<TPrinterCaps>& Printers() override { return FNone; }
    int DefaultIndex() override { return -1; }
    void Reload() override {}
    TSheetGeometry Geometry(const TPrinterCaps&, const DEVMODEW&) override { return {}; }
    std::unique_ptr<TPrintJob> BeginJob(const TPrinterCaps&, const DEVMODEW&, const QString&) override
    {
        throw EPrinter("No printer is installed");
    }

private:
    std::vector<TPrinterCaps> FNone;
};

class TBackendOverride {
public:
    explicit TBackendOverride(TPrintBackend& Backend) { SetActivePrintBackend(&Backend); }
    ~TBackendOverride() { SetActivePrintBackend(nullptr); }
};

} // namespace

TPaperDetection DetectReportPaper(const QString& FileName)
{
    TNoPrinters none;
    TBackendOverride use(none);
    TQRPrinter doc;
    doc.Load(FileName);
    TPaperDetection result;
    result.Found = doc.PageCount() > 0;
    result.PaperSize = doc.PaperSize();
    result.Orientation = doc.Orientation();
    return result;
}

TPaperDetection DetectFirstPagePaper(int WidthPx, int HeightPx)
{
    TPaperDetection found = DetectPaperNearest(WidthPx, HeightPx, ScreenPixelsPerInch() / 254.0L);
    // A document without a printer keeps its settings' first size when no
    // row is near enough.
    if (!found.Found)
        found.PaperSize = TPrinterSettings().PaperSize();
    found.Found = true;
    return found;
}
