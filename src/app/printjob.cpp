// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/printjob.h"

#include "app/dialogs.h"
#include "app/qrselect.h"
#include "app/selectprinter.h"
#include "platform/streams.h"
#include "printer/qrprinter.h"

#include <QCoreApplication>
#include <QComboBox>
#include <QStringList>
#include <QTimer>

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

// Passes a cancel request on to the document that prints: Print lets events
// run before each page, and a zero timer fires each time they do.
class TCancelRelay {
public:
    TCancelRelay(TQRPrinter& Printing, const TPrintJobCancelQuery& Query)
    {
        if (!Query)
            return;
        FTimer.callOnTimeout([&Printing, Query] {
            if (Query())
                Printing.Cancel();
        });
        FTimer.start(0);
    }

private:
    QTimer FTimer;
};

TSelectPrinterRunner& SelectPrinterRunner()
{
    static TSelectPrinterRunner runner;
    return runner;
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

TPrintJobResult PrintSpliced(TQRPrinter& Document, const TPrintRequest& Request, int Copies,
                             const TPrintJobCancelQuery& CancelRequested)
{
    const auto cancelled = [&CancelRequested] { return CancelRequested && CancelRequested(); };
    TJobTempFiles temps;
    const QString saved = temps.New();
    const QString range = temps.New();
    const QString copies = temps.New();
    Document.Save(saved);
    if (cancelled())
        return TPrintJobResult::Cancelled;
    ExtractPageRange(saved, range, Request.FromPage, Request.ToPage);
    // Made after the files, so it closes the file it reads before they go.
    TQRPrinter printer;
    printer.SetPrinterIndex(Request.PrinterIndex);
    if (Copies >= 2) {
        QStringList list;
        for (int i = 0; i < Copies; ++i)
            list.append(range);
        if (cancelled())
            return TPrintJobResult::Cancelled;
        MergeReportFiles(copies, &list);
        printer.Load(copies);
    } else {
        printer.Load(range);
    }
    if (cancelled())
        return TPrintJobResult::Cancelled;
    printer.SetTitle(Document.Title());
    {
        TCancelRelay relay(printer, CancelRequested);
        printer.Print();
    }
    return printer.Cancelled() ? TPrintJobResult::Cancelled : TPrintJobResult::Printed;
}

} // namespace

QString PrintJobMessage(TPrintJobResult Result, int PageCount)
{
    switch (Result) {
    case TPrintJobResult::NoPrinter:
        return QCoreApplication::translate("TPrintJob", "Bu bilgisayarda kurulu bir yazıcı yok. Yazdırabilmek için önce bir yazıcı kurun.");
    case TPrintJobResult::NoPageInRange:
        return QCoreApplication::translate("TPrintJob", "Seçilen sayfa aralığında raporun hiçbir sayfası yok (rapor %1 sayfa). "
                              "Hiçbir şey yazdırılmadı.")
            .arg(PageCount);
    case TPrintJobResult::Cancelled: return QCoreApplication::translate("TPrintJob", "Yazdırma iptal edildi; yazıcıya hiçbir şey gönderilmedi.");
    case TPrintJobResult::Printed: break;
    }
    return QString();
}

TPrintJobResult RunPrintJob(TQRPrinter& Document, const TPrintRequest& Request,
                            const TPrintJobCancelQuery& CancelRequested)
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
    return PrintSpliced(Document, Request, copies, CancelRequested);
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

int RunSelectPrinter(TfrmSelectPrinter& Dialog)
{
    return SelectPrinterRunner() ? SelectPrinterRunner()(Dialog) : Dialog.exec();
}

bool AnyPrinterInstalled(TQRPrinter& Document)
{
    // Printers may have come or gone since the document listed them.
    Document.PrinterObject().Refresh();
    return !Document.Printers().isEmpty();
}
