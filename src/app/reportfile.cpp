// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/reportfile.h"
#include "app/dialogs.h"

#include "platform/littleendian.h"
#include "platform/metafile.h"
#include "platform/streams.h"
#include "printer/qrprinter.h"
#include "store/qrpagelist.h"
#include "store/qrstream.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <cstdint>
#include <memory>

namespace {

// Offsets in the EMF header record.
constexpr int RecordTypeOffset = 0;
constexpr int SignatureOffset = 40;
constexpr uint32_t EmrHeader = 1;
constexpr uint32_t EmfSignature = 0x464D4520; // " EMF"

uint32_t LittleEndian32(const QByteArray& Bytes, int Offset)
{
    return GetLE32(reinterpret_cast<const uint8_t*>(Bytes.constData()) + Offset);
}

} // namespace

bool IsEmfFile(const QString& FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(SignatureOffset + 4);
    return head.size() == SignatureOffset + 4 && LittleEndian32(head, RecordTypeOffset) == EmrHeader &&
           LittleEndian32(head, SignatureOffset) == EmfSignature;
}

void LoadReportOrEmf(TQRPrinter& Document, const QString& FileName)
{
    if (!IsEmfFile(FileName)) {
        Document.Load(FileName);
        return;
    }
    TMetafile page;
    page.LoadFromFile(QFile::encodeName(FileName).toStdString());
    // The page goes through a report held in memory, so that the document
    // reads it exactly as it reads a saved report's page.
    TQRPageList list;
    list.SetStream(std::make_unique<TQRStream>(INT32_MAX));
    list.AddPage(page);
    list.Finish();
    TMemoryStream report;
    list.SaveToStream(report);
    report.Seek(0, soFromBeginning);
    Document.LoadFromStream(report);
}

QString DroppedFile(const QMimeData* Data)
{
    if (!Data || !Data->hasUrls())
        return QString();
    for (const QUrl& url : Data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return QString();
}

void OpenDroppedFile(QWidget* Window, QDropEvent* Event, const std::function<void(const QString&)>& Open)
{
    const QString file = DroppedFile(Event->mimeData());
    if (file.isEmpty())
        return;
    Event->acceptProposedAction();
    RunReportingErrors(Window, [Window, &file, &Open] {
        if (!QFileInfo::exists(file))
            ShowMessage(Window, QCoreApplication::translate("TReportFile", "Dosya bulunamadı."), file);
        else
            Open(file);
    });
}
