// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Virtual printers for the length of a scope: writes a configuration into a
// temporary folder, makes a virtual backend of it the active one, and puts
// the environment's choice back at the end. Tests use it.
#include "platform/print/virtualbackend.h"

#include <QJsonObject>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class TVirtualPrinters {
public:
    explicit TVirtualPrinters(const QString& ConfigText);
    // The text of a configuration file, e.g. one under tests/data/printers.
    static QString ReadConfig(const QString& FileName);
    ~TVirtualPrinters();
    TVirtualPrinters(const TVirtualPrinters&) = delete;
    TVirtualPrinters& operator=(const TVirtualPrinters&) = delete;

    QString ConfigFile() const;
    QString OutputDir() const;
    TVirtualBackend& Backend() { return *FBackend; }
    // The records of the finished jobs, oldest first.
    std::vector<QJsonObject> Jobs() const;
    QString PdfOf(const QJsonObject& Job) const;

private:
    QTemporaryDir FDir;
    std::unique_ptr<TVirtualBackend> FBackend;
};
