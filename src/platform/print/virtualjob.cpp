// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/virtualjob.h"

#include "platform/emf/painter_canvas.h"
#include "platform/print/sheetgeometry.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

QJsonObject DevModeJson(const DEVMODEW& M)
{
    return QJsonObject{{"fields", static_cast<qint64>(M.dmFields)},
                       {"orientation", M.dmOrientation},
                       {"paperSize", M.dmPaperSize},
                       {"paperLength", M.dmPaperLength},
                       {"paperWidth", M.dmPaperWidth},
                       {"copies", M.dmCopies},
                       {"defaultSource", M.dmDefaultSource},
                       {"printQuality", M.dmPrintQuality},
                       {"color", M.dmColor},
                       {"duplex", M.dmDuplex},
                       {"collate", M.dmCollate}};
}

namespace {

QString JobName(int Number, const char* Ext)
{
    return QString("job-%1.%2").arg(Number, 4, 10, QChar('0')).arg(Ext);
}

} // namespace

TVirtualJob::TVirtualJob(const QString& Dir, const TVirtualPrinter& Printer, const DEVMODEW& Mode, const QString& Title,
                         const TSheetGeometry& Geometry)
    : FPrinter(Printer), FMode(Mode), FTitle(Title), FGeometry(Geometry)
{
    Reserve(Dir);
    FWriter = std::make_unique<QPdfWriter>(&FFile);
    FWriter->setCreator("qrpview virtual printer");
    FWriter->setTitle(Title);
    FWriter->setResolution(Geometry.DpiX);
    const double mmPerDot = 25.4 / Geometry.DpiX;
    QSizeF sheet(Geometry.Width * mmPerDot, Geometry.Height * mmPerDot);
    QMarginsF margins(Geometry.OffsetX * mmPerDot, Geometry.OffsetY * mmPerDot,
                      (Geometry.Width - Geometry.PageWidth - Geometry.OffsetX) * mmPerDot,
                      (Geometry.Height - Geometry.PageHeight - Geometry.OffsetY) * mmPerDot);
    FWriter->setPageLayout(QPageLayout(QPageSize(sheet, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                                       QPageLayout::Portrait, margins, QPageLayout::Millimeter));
    if (!FPainter.begin(FWriter.get())) {
        FWriter.reset();
        FFile.remove();
        throw EPrinter("Cannot start a PDF in " + Dir.toStdString());
    }
    FOpen = true;
    FCanvas = std::make_unique<TPainterCanvas>(&FPainter, QSize(Geometry.PageWidth, Geometry.PageHeight));
}

TVirtualJob::~TVirtualJob()
{
    if (FOpen)
        Abort();
}

void TVirtualJob::Reserve(const QString& Dir)
{
    QDir dir(Dir);
    if (Dir.isEmpty())
        throw EPrinter("The virtual printer has no output folder: set QRP_VIRTUAL_OUTPUT or an output line in "
                       "its configuration");
    if (!dir.exists() && !QDir().mkpath(Dir))
        throw EPrinter("Cannot create the virtual printer's output folder " + Dir.toStdString());
    static const QRegularExpression pattern("^job-(\\d{4,9})\\.pdf$");
    int last = 0;
    for (const QString& name : dir.entryList({"job-*.pdf"}, QDir::Files)) {
        QRegularExpressionMatch m = pattern.match(name);
        if (m.hasMatch())
            last = std::max(last, m.captured(1).toInt());
    }
    // Another process may take the same number between the scan and the open.
    for (int n = last + 1; n <= last + 100; ++n) {
        FFile.setFileName(dir.absoluteFilePath(JobName(n, "pdf")));
        if (FFile.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            FNumber = n;
            return;
        }
    }
    throw EPrinter("Cannot create a job file in " + Dir.toStdString() + ": " + FFile.errorString().toStdString());
}

TCanvas& TVirtualJob::Canvas()
{
    return *FCanvas;
}

void TVirtualJob::NewPage()
{
    FCanvas->Flush();
    if (!FWriter->newPage())
        throw EPrinter("Cannot add a page to " + FFile.fileName().toStdString());
    ++FPages;
}

void TVirtualJob::Close()
{
    FCanvas.reset();
    FPainter.end();
    FWriter.reset();
    FFile.close();
    FOpen = false;
}

void TVirtualJob::End()
{
    FCanvas->Flush();
    Close();
    bool ok = FFile.error() == QFileDevice::NoError;
    try {
        if (!ok)
            throw EPrinter("Cannot write " + FFile.fileName().toStdString() + ": " + FFile.errorString().toStdString());
        WriteRecord();
    } catch (...) {
        FFile.remove();
        throw;
    }
}

void TVirtualJob::Abort()
{
    if (!FOpen)
        return;
    FCanvas->Discard();
    Close();
    FFile.remove();
}

void TVirtualJob::WriteRecord()
{
    const TPrinterCaps& caps = FPrinter.Caps;
    const int copies = caps.Copies && (FMode.dmFields & DM_COPIES) ? std::max<int>(1, FMode.dmCopies) : 1;
    const bool collate = caps.Collate && (FMode.dmFields & DM_COLLATE) ? FMode.dmCollate != 0 : true;
    const int duplex = caps.Duplex && (FMode.dmFields & DM_DUPLEX) ? FMode.dmDuplex : int(DMDUP_SIMPLEX);
    QJsonObject sheet{{"widthMm", FGeometry.Width * 25.4 / FGeometry.DpiX},
                      {"heightMm", FGeometry.Height * 25.4 / FGeometry.DpiY},
                      {"landscape", DevModeLandscape(FMode)},
                      {"dpiX", FGeometry.DpiX},
                      {"dpiY", FGeometry.DpiY},
                      {"width", FGeometry.Width},
                      {"height", FGeometry.Height},
                      {"offsetX", FGeometry.OffsetX},
                      {"offsetY", FGeometry.OffsetY},
                      {"pageWidth", FGeometry.PageWidth},
                      {"pageHeight", FGeometry.PageHeight}};
    QJsonObject record{{"job", FNumber},
                       {"printer", caps.Name},
                       {"title", FTitle},
                       {"pdf", QFileInfo(FFile.fileName()).fileName()},
                       {"pages", FPages},
                       {"copies", copies},
                       {"collate", collate},
                       {"duplex", duplex},
                       {"sheets", FPages * copies},
                       {"devmode", DevModeJson(FMode)},
                       {"sheet", sheet}};
    QSaveFile out(QFileInfo(FFile.fileName()).dir().absoluteFilePath(JobName(FNumber, "json")));
    if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(record).toJson()) < 0 || !out.commit())
        throw EPrinter("Cannot write the job record " + out.fileName().toStdString() + ": " +
                       out.errorString().toStdString());
}
