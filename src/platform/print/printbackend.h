// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The contract of a print backend (CUPS through Qt PrintSupport, or virtual
// printers from a configuration file): what a printer offers, the geometry
// of its sheet, and a job drawn through a canvas. TPrinter is the same
// whatever the backend behind it.
#include "platform/emf/canvas.h"
#include "platform/errors.h"
#include "platform/print/devicecaps.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// What one installed printer offers; backends fill it.
struct TPrinterCaps {
    QString Name, Driver, Port;
    int DpiX = 600, DpiY = 600;
    std::vector<int16_t> PaperCodes; // DC_PAPERS
    std::vector<int16_t> Bins;       // paper source codes (DC_BINS)
    QStringList BinNames;            // the backend's names of Bins, same order
    bool Copies = true;              // the driver makes copies (DM_COPIES)
    bool Duplex = false;             // DM_DUPLEX
    bool Collate = true;             // DM_COLLATE
    DEVMODEW Defaults;               // the printer's default device mode
};

// One sheet as a device mode sets it up, in device dots. The printable area
// starts at (OffsetX, OffsetY) of the physical sheet; a job's canvas has its
// origin there, as a printer device context has.
struct TSheetGeometry {
    int DpiX = 0, DpiY = 0;
    int Width = 0, Height = 0;         // PHYSICALWIDTH, PHYSICALHEIGHT
    int OffsetX = 0, OffsetY = 0;      // PHYSICALOFFSETX, PHYSICALOFFSETY
    int PageWidth = 0, PageHeight = 0; // printable area
};

// One print job in progress on a backend.
class TPrintJob {
public:
    virtual ~TPrintJob() = default;
    virtual TCanvas& Canvas() = 0;
    virtual void NewPage() = 0;
    virtual void End() = 0;   // finish and submit
    virtual void Abort() = 0; // discard
    // Printable area of the sheet in device dots.
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
};

class TPrintBackend {
public:
    virtual ~TPrintBackend() = default;
    virtual QString Name() const = 0; // "cups", "virtual"
    // Cached until Reload; stable order. Throws EPrinter when the printers
    // cannot be listed (a broken configuration file).
    virtual const std::vector<TPrinterCaps>& Printers() = 0;
    virtual int DefaultIndex() = 0; // -1 when there is none
    virtual void Reload() = 0;      // forget the cached list
    virtual TSheetGeometry Geometry(const TPrinterCaps& Printer, const DEVMODEW& Mode) = 0;
    // Throws EPrinter with the reason when the job cannot be opened.
    virtual std::unique_ptr<TPrintJob> BeginJob(const TPrinterCaps& Printer, const DEVMODEW& Mode,
                                                const QString& Title) = 0;
};

// The backend chosen at first use by QRP_PRINT_BACKEND: "cups" (the
// default) or "virtual", whose printers QRP_VIRTUAL_PRINTERS describes and
// whose jobs go to QRP_VIRTUAL_OUTPUT. Throws EPrinter for another name.
TPrintBackend& ActivePrintBackend();
// Tests replace it; nullptr goes back to the environment's choice.
void SetActivePrintBackend(TPrintBackend* Backend);
// Changes at every SetActivePrintBackend, so printer objects know that
// their list is stale.
unsigned ActivePrintBackendGeneration();

// Raised by the printer object and the backends, with the reason in words.
class EPrinter : public Exception {
public:
    using Exception::Exception;
};
