// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A report's pages written out from the viewer: PDF (vector, text kept as
// text), a PNG of one page, or a copy of the report. Every export writes a
// temporary file beside the target and moves it into place only when it is
// complete, so a cancelled or failed export leaves no partial file.
#include <QImage>
#include <QString>

#include <functional>

class TMetafile;
class TQRPrinter;

// Called after each page with the pages done and the total; returning false
// cancels the export.
using TExportProgress = std::function<bool(int Done, int Total)>;

// Page drawn on white at Dpi dots per inch of its frame size.
QImage RenderPageImage(const TMetafile& Page, int Dpi);

// Pages First..Last (clamped to the report) as one PDF. False when
// cancelled; errors are thrown with the reason.
bool ExportPdf(TQRPrinter& Document, int First, int Last, const QString& FileName,
               const TExportProgress& Progress = nullptr);
void ExportPng(TQRPrinter& Document, int Page, int Dpi, const QString& FileName);
// The report as a saved report file.
void ExportReportCopy(TQRPrinter& Document, const QString& FileName);
