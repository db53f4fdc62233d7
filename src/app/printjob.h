// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The print job behind the preview window's print button and `qrptool
// print`: a page range in a number of collated copies on a chosen printer.
#include <QString>

#include <functional>

class TQRPrinter;
class TfrmSelectPrinter;

struct TPrintRequest {
    int PrinterIndex = -1; // in the printer list; -1 keeps the document's printer
    int FromPage = 0;      // 0 with ToPage 0: every page
    int ToPage = 0;
    int NumCopies = 1;
};

enum class TPrintJobResult { Printed, NoPrinter, NoPageInRange, Cancelled };

// Asked between the steps of a job and while its pages are printed; true
// stops the job, which then sends nothing to the printer.
using TPrintJobCancelQuery = std::function<bool()>;

// What the user is told when a job printed nothing, in the viewer's
// language; empty for Printed.
QString PrintJobMessage(TPrintJobResult Result, int PageCount);

// The printer choices of a report definition whose window is a document's
// Master; the job sets them when the definition prints its report itself.
class TReportPrinterSettings {
public:
    virtual ~TReportPrinterSettings() = default;
    virtual void SetPrinterIndex(int Value) = 0;
    virtual void SetCopies(int Value) = 0;
};

// Prints Request from Document. A document loaded from a file is saved,
// the range extracted and repeated once per copy into temporary report
// files, and the result printed as one job; every temporary file is gone
// when this returns or throws. Errors of reading, writing or printing are
// thrown.
TPrintJobResult RunPrintJob(TQRPrinter& Document, const TPrintRequest& Request,
                            const TPrintJobCancelQuery& CancelRequested = {});

// The dialog's choices after it closed with OK.
TPrintRequest RequestFromDialog(const TfrmSelectPrinter& Dialog);

// Shows the printer dialog modally; returns its result. Tests replace it.
using TSelectPrinterRunner = std::function<int(TfrmSelectPrinter&)>;
void SetSelectPrinterRunner(TSelectPrinterRunner Runner);
int RunSelectPrinter(TfrmSelectPrinter& Dialog);

// Whether any printer is installed now: the list is read afresh, since
// printers may have come or gone since the document listed them.
bool AnyPrinterInstalled(TQRPrinter& Document);

// "A-B" or "N" (page N alone), pages from 1; false for anything else,
// numbers too large included.
bool ParsePageRange(const QString& Text, int& From, int& To);
