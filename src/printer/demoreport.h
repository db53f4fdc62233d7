// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A realistic report of our own, produced through the document's page
// production: a Turkish sales listing with a header band and logo, a ruled
// table with shaded rows, page numbers "Sayfa N / M" and a summary on the
// last page. The samples, the tests and the benchmarks are made with it.
#include "printer/qrpapers.h"

#include <QString>

#include <optional>

class TQRPrinter;

struct TDemoReportOptions {
    int Pages = 5;
    bool Compress = false;
    TQRPaperSize Paper = TQRPaperSize::A4;
    TPrinterOrientation Orientation = poPortrait;
};

// Produces the report into Printer, which must be ready (EQRError
// otherwise). The pages depend only on Options and the document's
// destination; a cancelled document stops with AbortDoc.
void ProduceDemoReport(TQRPrinter& Printer, const TDemoReportOptions& Options);
// A demo report of Pages A4 pages written to FileName.
void SaveDemoReport(const QString& FileName, int Pages);

// Paper by its table name, case-insensitive ("A4", "letter", "A3");
// nothing for unknown names and for sizes without a table row.
std::optional<TQRPaperSize> DemoPaperFromName(const QString& Name);

// Largest page count the demo accepts: about 1 GB of pages, well inside
// the 2 GB that the report format's 32-bit offsets can address.
constexpr int DemoMaxPages = 10000;
