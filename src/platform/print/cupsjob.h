// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One print job on a CUPS queue. Qt draws the sheets into a private
// spool file; only a job that ends normally is sent to the queue, since
// Qt's CUPS engine cannot abort and would print whatever was drawn.
#include "platform/print/printbackend.h"

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
    // The CUPS options Qt would send for this printer's settings, then the
    // job options set on it.
    QStringList SubmitOptions();
    void RemoveSpool();

    QString FName;
    QString FSpool; // the document drawn so far; removed whatever happens
    QPrinter FPrinter;
    QPainter FPainter;
    std::unique_ptr<TPainterCanvas> FCanvas;
    TSheetGeometry FGeometry;
    bool FOpen = false;
    // Whether the job has a page: its canvas was taken or a sheet advanced.
    // A job without one sends nothing, where Qt would put out a blank sheet.
    bool FHasPage = false;
};
