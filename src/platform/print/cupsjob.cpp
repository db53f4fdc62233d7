#include "platform/print/cupsjob.h"

#include "platform/emf/painter_canvas.h"
#include "platform/print/cupsbackend.h"

#include <QPrinterInfo>

TCupsJob::TCupsJob(const QPrinterInfo& Info, const TPrinterCaps& Caps, const DEVMODEW& Mode, const QString& Title)
    : FName(Info.printerName()), FPrinter(Info, QPrinter::HighResolution)
{
    ApplySheet(FPrinter, Mode);
    ApplyJobOptions(FPrinter, Caps, Mode);
    FPrinter.setDocName(Title);
    FGeometry = SheetOf(FPrinter);
    if (!FPainter.begin(&FPrinter))
        throw EPrinter("Cannot start a print job on \"" + FName.toStdString() + "\"");
    FOpen = true;
    FCanvas = std::make_unique<TPainterCanvas>(&FPainter, QSize(FGeometry.PageWidth, FGeometry.PageHeight));
}

TCupsJob::~TCupsJob()
{
    if (FOpen)
        Abort();
}

TCanvas& TCupsJob::Canvas()
{
    return *FCanvas;
}

void TCupsJob::NewPage()
{
    FCanvas->Flush();
    if (!FPrinter.newPage())
        throw EPrinter("Cannot start a new sheet on \"" + FName.toStdString() + "\"");
}

void TCupsJob::End()
{
    FCanvas->Flush();
    FCanvas.reset();
    FOpen = false;
    // end() hands the job to CUPS.
    if (!FPainter.end() || FPrinter.printerState() == QPrinter::Error)
        throw EPrinter("The print job on \"" + FName.toStdString() + "\" could not be submitted");
}

void TCupsJob::Abort()
{
    if (!FOpen)
        return;
    FCanvas->Discard();
    FCanvas.reset();
    FPrinter.abort();
    FPainter.end();
    FOpen = false;
}
