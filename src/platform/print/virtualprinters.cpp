// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/virtualprinters.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

TVirtualPrinters::TVirtualPrinters(const QString& ConfigText)
{
    if (!FDir.isValid())
        throw EPrinter("Cannot create a temporary folder for virtual printers");
    QFile config(ConfigFile());
    if (!config.open(QIODevice::WriteOnly) || config.write(ConfigText.toUtf8()) < 0)
        throw EPrinter("Cannot write " + ConfigFile().toStdString());
    config.close();
    FBackend = std::make_unique<TVirtualBackend>(ConfigFile(), OutputDir());
    SetActivePrintBackend(FBackend.get());
}

QString TVirtualPrinters::ReadConfig(const QString& FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EPrinter("Cannot read " + FileName.toStdString() + ": " + file.errorString().toStdString());
    return QString::fromUtf8(file.readAll());
}

TVirtualPrinters::~TVirtualPrinters()
{
    SetActivePrintBackend(nullptr);
}

QString TVirtualPrinters::ConfigFile() const
{
    return FDir.filePath("printers.ini");
}

QString TVirtualPrinters::OutputDir() const
{
    return FDir.filePath("jobs");
}

std::vector<QJsonObject> TVirtualPrinters::Jobs() const
{
    std::vector<QJsonObject> jobs;
    QDir dir(OutputDir());
    for (const QString& name : dir.entryList({"job-*.json"}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            jobs.push_back(QJsonDocument::fromJson(f.readAll()).object());
    }
    return jobs;
}

QString TVirtualPrinters::PdfOf(const QJsonObject& Job) const
{
    return QDir(OutputDir()).filePath(Job.value("pdf").toString());
}
