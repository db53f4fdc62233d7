// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Printers described by a configuration file; every job becomes a PDF and a
// JSON job record in an output folder. For tests, and for machines without
// a printer.
#include "platform/print/printbackend.h"
#include "platform/print/virtualconfig.h"

class TVirtualBackend : public TPrintBackend {
public:
    // An empty ConfigFile gives no printers. OutputDir, when given, wins over
    // the configuration's output line.
    TVirtualBackend(const QString& ConfigFile, const QString& OutputDir);

    QString Name() const override { return "virtual"; }
    const std::vector<TPrinterCaps>& Printers() override;
    int DefaultIndex() override;
    void Reload() override { FLoaded = false; }
    TSheetGeometry Geometry(const TPrinterCaps& Printer, const DEVMODEW& Mode) override;
    std::unique_ptr<TPrintJob> BeginJob(const TPrinterCaps& Printer, const DEVMODEW& Mode,
                                        const QString& Title) override;

    QString OutputDir();

private:
    void Load();
    const TVirtualPrinter& Find(const TPrinterCaps& Printer);

    QString FConfigFile, FOutputDir;
    TVirtualConfig FConfig;
    std::vector<TPrinterCaps> FCaps;
    bool FLoaded = false;
};
