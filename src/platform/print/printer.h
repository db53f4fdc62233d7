#pragma once
// The printer object: the list of installed printers, the selected one with
// its device mode, and print jobs drawn through a canvas. Backends (CUPS
// through Qt PrintSupport, or virtual printers from a configuration file)
// sit behind TPrintBackend; TPrinter is the same whatever the backend.
#include "platform/emf/canvas.h"
#include "platform/errors.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

// dmFields bits.
enum : uint32_t {
    DM_ORIENTATION = 0x0001, DM_PAPERSIZE = 0x0002, DM_PAPERLENGTH = 0x0004, DM_PAPERWIDTH = 0x0008,
    DM_COPIES = 0x0100, DM_DEFAULTSOURCE = 0x0200, DM_PRINTQUALITY = 0x0400, DM_COLOR = 0x0800,
    DM_DUPLEX = 0x1000, DM_COLLATE = 0x8000
};
enum : int16_t { DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2 };
enum : int16_t { DMDUP_SIMPLEX = 1, DMDUP_VERTICAL = 2, DMDUP_HORIZONTAL = 3 };

// GetDeviceCaps indexes.
enum : int { LOGPIXELSX = 88, LOGPIXELSY = 90, PHYSICALWIDTH = 110, PHYSICALHEIGHT = 111,
             PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113 };
// DeviceCapabilitiesW capabilities.
enum : int { DC_PAPERS = 2, DC_BINS = 6 };
// dmColor values.
enum : int16_t { DMCOLOR_MONOCHROME = 1, DMCOLOR_COLOR = 2 };
// Paper code of a sheet given by dmPaperWidth and dmPaperLength.
constexpr int16_t DMPAPER_USER = 256;

// The members of the Windows device mode that the printer settings use;
// lengths in 0.1 mm, codes as Windows defines them.
struct DEVMODEW {
    uint32_t dmFields = 0;
    int16_t dmOrientation = DMORIENT_PORTRAIT;
    int16_t dmPaperSize = 9;
    int16_t dmPaperLength = 0;
    int16_t dmPaperWidth = 0;
    int16_t dmCopies = 1;
    int16_t dmDefaultSource = 0;
    int16_t dmPrintQuality = 0;
    int16_t dmColor = 0;
    int16_t dmDuplex = DMDUP_SIMPLEX;
    int16_t dmCollate = 0;
};

enum TPrinterOrientation : uint8_t { poPortrait = 0, poLandscape = 1 };

// Handle of a device mode owned by the printer object. Lock gives the
// record. A printer object keeps one record for its whole life and only
// rewrites it, so a view kept between calls never dangles.
using HGLOBAL = DEVMODEW*;
inline DEVMODEW* GlobalLock(HGLOBAL h) { return h; }
inline void GlobalUnlock(HGLOBAL) {}

class TPrinter;
// A device context for capability queries: the printer it was taken from.
using HDC = const TPrinter*;
int GetDeviceCaps(HDC DC, int Index);
// Returns the count of codes, or -1; writes up to that many codes to Output when given.
int DeviceCapabilitiesW(const QString& Device, const QString& Port, int Capability, int16_t* Output,
                        const DEVMODEW* DevMode);

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
    int Width = 0, Height = 0;     // PHYSICALWIDTH, PHYSICALHEIGHT
    int OffsetX = 0, OffsetY = 0;  // PHYSICALOFFSETX, PHYSICALOFFSETY
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
    virtual QString Name() const = 0;                 // "cups", "virtual"
    // Cached until Reload; stable order. Throws EPrinter when the printers
    // cannot be listed (a broken configuration file).
    virtual const std::vector<TPrinterCaps>& Printers() = 0;
    virtual int DefaultIndex() = 0;                   // -1 when there is none
    virtual void Reload() = 0;                        // forget the cached list
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

class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    QStringList Printers();   // names, listed at the first call and by Refresh
    // Lists the printers again; the selected one stays selected (with its
    // device mode) while it is still installed.
    void Refresh();
    int PrinterIndex();       // the first call selects the default printer
    // -1 selects the system's default printer (the first one when none is
    // marked); an index outside the list raises EPrinter.
    void SetPrinterIndex(int Value);

    // The device mode handle is 0 (nullptr) when no printer is selected.
    void GetPrinter(QString& Device, QString& Driver, QString& Port, HGLOBAL& DeviceMode);
    // Selects Device (EPrinter when it is not installed) and adopts the
    // device mode behind the handle; handle 0 fetches that printer's
    // defaults afresh.
    void SetPrinter(const QString& Device, const QString& Driver, const QString& Port, HGLOBAL DeviceMode);
    HDC Handle() const { return this; }

    QString Title() const { return FTitle; }
    void SetTitle(const QString& Value) { FTitle = Value; }
    bool Printing() const { return static_cast<bool>(FJob); }
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    int PageWidth() const;
    int PageHeight() const;
    TCanvas& Canvas();

    // For GetDeviceCaps / DeviceCapabilitiesW; nullptr without a printer.
    const TPrinterCaps* Selected() const;
    const DEVMODEW* DevMode() const;
    // Of the selected printer and device mode; all zero without a printer.
    TSheetGeometry Geometry() const;

private:
    // details owned by the backend implementation
    struct Impl;
    std::unique_ptr<Impl> d;
    QString FTitle;
    std::unique_ptr<TPrintJob> FJob;
};

// The application-wide printer object.
TPrinter& Printer();

class EPrinter : public Exception {
public:
    using Exception::Exception;
};
