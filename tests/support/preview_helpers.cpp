// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview_helpers.h"

#include "platform/metafile.h"
#include "printer/qrprinter.h"
#include "report_helpers.h"

#include <QTemporaryDir>

namespace {

QTemporaryDir& TestFolder()
{
    static QTemporaryDir folder;
    return folder;
}

} // namespace

std::unique_ptr<TMetafile> BlankPage(int Width, int Height)
{
    auto page = std::make_unique<TMetafile>();
    page->LoadFromBytes(EmfPageBytes(Width, Height));
    return page;
}

QString WriteTestReport(const QString& Name, const std::vector<std::pair<int, int>>& PageSizes)
{
    const QString path = TestFolder().filePath(Name);
    WriteReport(path.toStdString(), PageSizes);
    return path;
}

QString WriteA4Report(const QString& Name, int Pages)
{
    return WriteTestReport(Name, std::vector<std::pair<int, int>>(static_cast<size_t>(Pages), {794, 1123}));
}

std::unique_ptr<TQRPrinter> LoadedDocument(const QString& FileName)
{
    auto document = std::make_unique<TQRPrinter>(nullptr);
    document->Load(FileName);
    return document;
}
