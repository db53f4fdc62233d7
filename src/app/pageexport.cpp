// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/pageexport.h"

#include "platform/emf/emfplayer.h"
#include "platform/errors.h"
#include "platform/metafile.h"
#include "printer/qrprinter.h"

#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>

namespace {

// Frame size in 0.01 mm; a page without a frame is taken as A4.
QSizeF FrameSize(const TMetafile& Page)
{
    const EmfHeader& h = Page.Header();
    const double w = double(h.rclFrame.Right) - h.rclFrame.Left, l = double(h.rclFrame.Bottom) - h.rclFrame.Top;
    return w > 0 && l > 0 ? QSizeF(w, l) : QSizeF(21000, 29700);
}

[[noreturn]] void CannotWrite(const QString& FileName, const QString& Reason)
{
    throw EFCreateError(QStringLiteral("Cannot write \"%1\": %2").arg(FileName, Reason).toStdString());
}

} // namespace

QImage RenderPageImage(const TMetafile& Page, int Dpi)
{
    const QSizeF frame = FrameSize(Page);
    const double w = std::clamp(std::round(frame.width() / 2540.0 * Dpi), 1.0, 32768.0);
    const double h = std::clamp(std::round(frame.height() / 2540.0 * Dpi), 1.0, 32768.0);
    if (w * h > double(1 << 28))
        throw Exception("The picture would be too large: " + std::to_string(int(w)) + " x " + std::to_string(int(h)) +
                        " pixels");
    QImage image(int(w), int(h), QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(int(std::lround(Dpi / 0.0254)));
    image.setDotsPerMeterY(image.dotsPerMeterX());
    QPainter painter(&image);
    StretchDraw(painter, QRectF(0, 0, w, h), Page);
    return image;
}

bool ExportPdf(TQRPrinter& Document, int First, int Last, const QString& FileName, const TExportProgress& Progress)
{
    First = std::max(First, 1);
    Last = std::min(Last, Document.PageCount());
    if (First > Last)
        throw Exception("The range holds no page of the report");
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly))
        CannotWrite(FileName, file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setCreator(QStringLiteral("qrpview"));
        // The report's file name tells the PDF's reader where it came from.
        writer.setTitle(Document.FileName().isEmpty() ? Document.Title() : QFileInfo(Document.FileName()).fileName());
        QPainter painter;
        for (int n = First; n <= Last; ++n) {
            std::unique_ptr<TMetafile> page = Document.GetPage(n);
            const QSizeF frame = page ? FrameSize(*page) : QSizeF(21000, 29700);
            writer.setPageSize(QPageSize(frame / 100.0, QPageSize::Millimeter));
            if (painter.isActive())
                writer.newPage();
            else if (!painter.begin(&writer))
                CannotWrite(FileName, QStringLiteral("the PDF could not be started"));
            if (page)
                StretchDraw(painter, QRectF(0, 0, writer.width(), writer.height()), *page);
            if (Progress && !Progress(n - First + 1, Last - First + 1)) {
                painter.end();
                file.cancelWriting();
                return false;
            }
        }
        painter.end();
    }
    if (!file.commit())
        CannotWrite(FileName, file.errorString());
    return true;
}

void ExportPng(TQRPrinter& Document, int Page, int Dpi, const QString& FileName)
{
    std::unique_ptr<TMetafile> page = Document.GetPage(Page);
    if (!page)
        throw Exception("Page " + std::to_string(Page) + " cannot be read");
    const QImage image = RenderPageImage(*page, Dpi);
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        CannotWrite(FileName, file.errorString());
}

void ExportReportCopy(TQRPrinter& Document, const QString& FileName)
{
    QTemporaryFile temporary(FileName + QStringLiteral(".XXXXXX"));
    if (!temporary.open())
        CannotWrite(FileName, temporary.errorString());
    temporary.close();
    Document.Save(temporary.fileName());
    QFile::remove(FileName);
    if (!temporary.rename(FileName))
        CannotWrite(FileName, temporary.errorString());
    temporary.setAutoRemove(false);
    // A temporary file is private to its owner; a copy is an ordinary file.
    QFile::setPermissions(FileName, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}
