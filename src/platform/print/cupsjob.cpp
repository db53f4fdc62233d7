// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/cupsjob.h"

#include "platform/emf/painter_canvas.h"
#include "platform/print/cupsbackend.h"
#include "platform/print/cupsqueue.h"
#include "platform/streams.h"
#include "platform/system.h"

#include <QPageLayout>
#include <QPrintEngine>
#include <QPrinterInfo>

namespace {

// Qt's key for the list of CUPS job options (name, value, name, value...).
const auto PPK_CupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

} // namespace

TCupsJob::TCupsJob(const QPrinterInfo& Info, const TPrinterCaps& Caps, const DEVMODEW& Mode, const QString& Title)
    : FName(Info.printerName()), FPrinter(Info, QPrinter::HighResolution)
{
    FSpool = QString::fromStdString(GetTempFileName(GetTempPath(), "QRP"));
    try {
        // Not named *.pdf: that would swap the CUPS engine, with this
        // printer's page sizes and options, for the plain PDF one.
        FPrinter.setOutputFileName(FSpool);
        ApplySheet(FPrinter, Mode);
        ApplyJobOptions(FPrinter, Caps, Mode);
        FPrinter.setDocName(Title);
        FGeometry = SheetOf(FPrinter);
        if (!FPainter.begin(&FPrinter))
            throw EPrinter("Cannot start a print job on \"" + FName.toStdString() + "\"");
    } catch (...) {
        RemoveSpool();
        throw;
    }
    FOpen = true;
    FCanvas = std::make_unique<TPainterCanvas>(&FPainter, QSize(FGeometry.PageWidth, FGeometry.PageHeight));
}

TCupsJob::~TCupsJob()
{
    if (FOpen)
        Abort();
    RemoveSpool();
}

void TCupsJob::RemoveSpool()
{
    if (!FSpool.isEmpty())
        DeleteFile(FSpool.toLocal8Bit().toStdString());
    FSpool.clear();
}

TCanvas& TCupsJob::Canvas()
{
    FHasPage = true;
    return *FCanvas;
}

void TCupsJob::NewPage()
{
    FHasPage = true;
    FCanvas->Flush();
    if (!FPrinter.newPage())
        throw EPrinter("Cannot start a new sheet on \"" + FName.toStdString() + "\"");
}

QStringList TCupsJob::SubmitOptions()
{
    QStringList options{"media", FPrinter.pageLayout().pageSize().key()};
    const int copies = FPrinter.copyCount();
    if (copies > 1) {
        options << "copies" << QString::number(copies);
        if (FPrinter.collateCopies())
            options << "Collate"
                    << "True";
    }
    const QPrinter::DuplexMode duplex = FPrinter.duplex();
    const bool landscape = FPrinter.pageLayout().orientation() == QPageLayout::Landscape;
    if (duplex == QPrinter::DuplexLongSide || (duplex == QPrinter::DuplexAuto && !landscape))
        options << "sides"
                << "two-sided-long-edge";
    else if (duplex == QPrinter::DuplexShortSide || duplex == QPrinter::DuplexAuto)
        options << "sides"
                << "two-sided-short-edge";
    else
        options << "sides"
                << "one-sided";
    if (landscape)
        options << "landscape"
                << "";
    return options + FPrinter.printEngine()->property(PPK_CupsOptions).toStringList();
}

void TCupsJob::End()
{
    if (!FHasPage) {
        Abort();
        return;
    }
    FCanvas->Flush();
    FCanvas.reset();
    FOpen = false;
    const QStringList options = SubmitOptions();
    const bool written = FPainter.end() && FPrinter.printerState() != QPrinter::Error;
    QString reason = QStringLiteral("its pages could not be written to a temporary file");
    const bool sent = written && SubmitCupsJob(FName, FSpool, FPrinter.docName(), options, reason) > 0;
    RemoveSpool();
    if (!sent)
        throw EPrinter("The print job on \"" + FName.toStdString() +
                       "\" could not be submitted: " + reason.toStdString());
}

void TCupsJob::Abort()
{
    if (!FOpen)
        return;
    FCanvas->Discard();
    FCanvas.reset();
    FPainter.end();
    FOpen = false;
    RemoveSpool();
}
