// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The CUPS queues of the machine, through Qt PrintSupport.
#include "platform/print/printbackend.h"

#include <QPrinter>

#include <map>

class TCupsBackend : public TPrintBackend {
public:
    QString Name() const override { return "cups"; }
    const std::vector<TPrinterCaps>& Printers() override;
    int DefaultIndex() override;
    void Reload() override;
    TSheetGeometry Geometry(const TPrinterCaps& Printer, const DEVMODEW& Mode) override;
    std::unique_ptr<TPrintJob> BeginJob(const TPrinterCaps& Printer, const DEVMODEW& Mode,
                                        const QString& Title) override;

private:
    std::vector<TPrinterCaps> FCaps;
    bool FLoaded = false;
    std::map<QString, TSheetGeometry> FGeometries; // by printer and sheet
};

// Sets up Printer's sheet for Mode: paper (code, or explicit width and
// length), orientation, and the device's own margins as the page margins,
// so that the painter's origin is the corner of the printable area.
void ApplySheet(QPrinter& Printer, const DEVMODEW& Mode);
// Copies, collation, duplex and paper source, where the queue offers them.
void ApplyJobOptions(QPrinter& Printer, const TPrinterCaps& Caps, const DEVMODEW& Mode);
TSheetGeometry SheetOf(QPrinter& Printer);
