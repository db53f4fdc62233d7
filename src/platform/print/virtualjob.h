// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One job of a virtual printer: a PDF of the sheets and, when the job ends,
// a JSON record of what a real printer would have been asked to do.
#include "platform/print/printbackend.h"
#include "platform/print/virtualconfig.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>

#include <memory>

class QJsonObject;
class TPainterCanvas;

// The members of a device mode by name, as job records and qrptool show them.
QJsonObject DevModeJson(const DEVMODEW& Mode);

class TVirtualJob : public TPrintJob {
public:
    // Reserves the next free job number in Dir (job-0001.pdf, ...).
    TVirtualJob(const QString& Dir, const TVirtualPrinter& Printer, const DEVMODEW& Mode, const QString& Title,
                const TSheetGeometry& Geometry);
    ~TVirtualJob() override;

    TCanvas& Canvas() override;
    void NewPage() override;
    void End() override;
    void Abort() override;
    int PageWidth() const override { return FGeometry.PageWidth; }
    int PageHeight() const override { return FGeometry.PageHeight; }

    QString PdfFile() const { return FFile.fileName(); }

private:
    void Reserve(const QString& Dir);
    void Close();
    void WriteRecord();

    TVirtualPrinter FPrinter;
    DEVMODEW FMode;
    QString FTitle;
    TSheetGeometry FGeometry;
    QFile FFile;
    int FNumber = 0;
    std::unique_ptr<QPdfWriter> FWriter;
    QPainter FPainter;
    std::unique_ptr<TPainterCanvas> FCanvas;
    int FPages = 1;
    bool FOpen = false;
};
