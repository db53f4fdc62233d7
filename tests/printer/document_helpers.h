// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A scripted printer backend for the document tests.
#include "platform/print/printer.h"
#include "report_helpers.h"

#include <QString>

#include <string>
#include <utility>
#include <vector>

struct TFakeSheet {
    int Width = 0, Height = 0;    // dots
    int OffsetX = 0, OffsetY = 0; // dots
};

class TFakePrintBackend : public TPrintBackend {
public:
    QString Name() const override { return QStringLiteral("fake"); }
    const std::vector<TPrinterCaps>& Printers() override { return List; }
    int DefaultIndex() override { return Default; }
    void Reload() override {}
    TSheetGeometry Geometry(const TPrinterCaps& Printer, const DEVMODEW& Mode) override;
    std::unique_ptr<TPrintJob> BeginJob(const TPrinterCaps&, const DEVMODEW&, const QString&) override;

    // Adds a printer at 600 dpi with an A4 sheet and the given default mode.
    TPrinterCaps& Add(const QString& Name, uint32_t Fields, std::vector<int16_t> PaperCodes = {});
    // Makes TPrinter objects list the printers afresh.
    void Activate();

    std::vector<TPrinterCaps> List;
    std::vector<TFakeSheet> Sheets; // one per printer
    int Default = 0;
};

// Every paper code 1..68.
std::vector<int16_t> AllPaperCodes();
