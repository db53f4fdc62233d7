#include "app/printjob.h"

#include "app/dialogs.h"
#include "app/previewwindow.h"
#include "app/qrselect.h"
#include "app/selectprinter.h"
#include "platform/streams.h"
#include "printer/qrprinter.h"

#include <QComboBox>
#include <QStringList>

#include <vector>

namespace {

// Deletes every temporary report file of a job when the job ends, however
// it ends.
class TJobTempFiles {
public:
    TJobTempFiles() = default;
    TJobTempFiles(const TJobTempFiles&) = delete;
    TJobTempFiles& operator=(const TJobTempFiles&) = delete;
    ~TJobTempFiles()
    {
        for (auto it = FNames.rbegin(); it != FNames.rend(); ++it)
            DeleteFile(it->toLocal8Bit().toStdString());
    }
    QString New()
    {
        FNames.push_back(NewTempFileName());
        return FNames.back();
    }

private:
    std::vector<QString> FNames;
};

TSelectPrinterRunner& SelectPrinterRunner()
{
    static TSelectPrinterRunner runner;
    return runner;
}

bool AnyPrinterInstalled(TQRPrinter& Document)
{
    // Printers may have come or gone since the document listed them.
    Document.PrinterObject().Refresh();
    return !Document.Printers().isEmpty();
}

// A report definition that regenerates its report prints it itself; copies
// come from the driver when it can make them, else from repeated jobs.
void PrintDirect(TQRPrinter& Document, const TPrintRequest& Request, int Copies)
{
    auto* master = dynamic_cast<TReportPrinterSettings*>(Document.Master());
    if (master)
        master->SetPrinterIndex(Request.PrinterIndex);
    bool driverCopies = true;
    if (Copies >= 2) {
        Document.SetCopies(Copies);
        driverCopies = Document.Copies() != 1;
    }
    if (!driverCopies) {
        for (int i = 0; i < Copies; ++i)
            Document.Print();
        return;
    }
    if (master)
        master->SetCopies(Copies);
    Document.Print();
}

void PrintSpliced(TQRPrinter& Document, const TPrintRequest& Request, int Copies)
{
    TJobTempFiles temps;
    const QString saved = temps.New();
    const QString range = temps.New();
    const QString copies = temps.New();
    Document.Save(saved);
    ExtractPageRange(saved, range, Request.FromPage, Request.ToPage);
    // Made after the files, so it closes the file it reads before they go.
    TQRPrinter printer;
    printer.SetPrinterIndex(Request.PrinterIndex);
    if (Copies >= 2) {
        QStringList list;
        for (int i = 0; i < Copies; ++i)
            list.append(range);
        MergeReportFiles(copies, &list);
        printer.Load(copies);
    } else {
        printer.Load(range);
    }
    printer.SetTitle(Document.Title());
    printer.Print();
}

} // namespace

QString PrintJobMessage(TPrintJobResult Result, int PageCount)
{
    switch (Result) {
    case TPrintJobResult::NoPrinter:
        return QStringLiteral("Bu bilgisayarda kurulu bir yazıcı yok. Yazdırabilmek için önce bir yazıcı kurun.");
    case TPrintJobResult::NoPageInRange:
        return QStringLiteral("Seçilen sayfa aralığında raporun hiçbir sayfası yok (rapor %1 sayfa). "
                              "Hiçbir şey yazdırılmadı.")
            .arg(PageCount);
    case TPrintJobResult::Printed:
        break;
    }
    return QString();
}

TPrintJobResult RunPrintJob(TQRPrinter& Document, const TPrintRequest& Request)
{
    if (!AnyPrinterInstalled(Document))
        return TPrintJobResult::NoPrinter;
    const int copies = Request.NumCopies < 1 ? 1 : Request.NumCopies;
    Document.SetPrinterIndex(Request.PrinterIndex);
    if (Request.FromPage <= 0 && Document.Master()) {
        PrintDirect(Document, Request, copies);
        return TPrintJobResult::Printed;
    }
    if (PagesInRange(Document.PageCount(), Request.FromPage, Request.ToPage) == 0)
        return TPrintJobResult::NoPageInRange;
    PrintSpliced(Document, Request, copies);
    return TPrintJobResult::Printed;
}

bool ParsePageRange(const QString& Text, int& From, int& To)
{
    const QStringList parts = Text.split(QLatin1Char('-'));
    if (parts.size() > 2)
        return false;
    int values[2] = {0, 0};
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        bool ok = !part.isEmpty();
        for (QChar c : part)
            ok = ok && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        values[i] = ok ? part.toInt(&ok) : 0;
        if (!ok || values[i] < 1)
            return false;
    }
    From = values[0];
    To = parts.size() == 2 ? values[1] : values[0];
    return true;
}

TPrintRequest RequestFromDialog(const TfrmSelectPrinter& Dialog)
{
    TPrintRequest request;
    request.PrinterIndex = Dialog.cbPrinters->currentIndex();
    request.FromPage = Dialog.FromPage;
    request.ToPage = Dialog.ToPage;
    request.NumCopies = Dialog.NumCopies;
    return request;
}

void SetSelectPrinterRunner(TSelectPrinterRunner Runner)
{
    SelectPrinterRunner() = std::move(Runner);
}

void TfrmZozEdezaPreview::btnPrintClick()
{
    if (!FQRPrinter)
        return;
    RunReportingErrors(this, [this] {
        if (!AnyPrinterInstalled(*FQRPrinter)) {
            ShowMessage(this, PrintJobMessage(TPrintJobResult::NoPrinter, FQRPrinter->PageCount()));
            return;
        }
        TfrmSelectPrinter dialog;
        dialog.QRPrinter = FQRPrinter;
        dialog.PrinterIndex = FQRPrinter->PrinterIndex();
        const int result = SelectPrinterRunner() ? SelectPrinterRunner()(dialog) : dialog.exec();
        if (result != QDialog::Accepted)
            return;
        const TPrintJobResult printed = RunPrintJob(*FQRPrinter, RequestFromDialog(dialog));
        if (printed != TPrintJobResult::Printed)
            ShowMessage(this, PrintJobMessage(printed, FQRPrinter->PageCount()));
    });
}
