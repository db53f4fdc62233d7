#pragma once
// One print job on a CUPS queue through QPrinter.
#include "platform/print/printer.h"

#include <QPainter>
#include <QPrinter>

#include <memory>

class QPrinterInfo;
class TPainterCanvas;

class TCupsJob : public TPrintJob {
public:
    TCupsJob(const QPrinterInfo& Info, const TPrinterCaps& Caps, const DEVMODEW& Mode, const QString& Title);
    ~TCupsJob() override;

    TCanvas& Canvas() override;
    void NewPage() override;
    void End() override;
    void Abort() override;
    int PageWidth() const override { return FGeometry.PageWidth; }
    int PageHeight() const override { return FGeometry.PageHeight; }

private:
    QString FName;
    QPrinter FPrinter;
    QPainter FPainter;
    std::unique_ptr<TPainterCanvas> FCanvas;
    TSheetGeometry FGeometry;
    bool FOpen = false;
};
