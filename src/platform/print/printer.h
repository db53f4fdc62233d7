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
enum : int { DC_PAPERS = 2 };

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
// record; the handle stays valid until the printer object replaces it.
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
    std::vector<int16_t> Bins;       // paper source codes
    bool Copies = true;              // the driver makes copies (DM_COPIES)
    bool Duplex = false;             // DM_DUPLEX
    bool Collate = true;             // DM_COLLATE
    DEVMODEW Defaults;               // the printer's default device mode
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
    virtual std::vector<TPrinterCaps> Printers() = 0; // stable order
    virtual int DefaultIndex() = 0;                   // -1 when there is none
    // Sheet geometry in device dots for a device mode: physical size and
    // unprintable offsets.
    virtual void Geometry(const TPrinterCaps& Printer, const DEVMODEW& Mode, int& Width, int& Height,
                          int& OffsetX, int& OffsetY) = 0;
    virtual std::unique_ptr<TPrintJob> BeginJob(const TPrinterCaps& Printer, const DEVMODEW& Mode,
                                                const QString& Title) = 0;
};

// The backend chosen at start-up by QRP_PRINT_BACKEND ("cups", the default,
// or "virtual" with QRP_VIRTUAL_PRINTERS naming the configuration file).
TPrintBackend& ActivePrintBackend();
// Tests replace it; nullptr goes back to the environment's choice.
void SetActivePrintBackend(TPrintBackend* Backend);

class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    QStringList Printers();   // names, refreshed from the backend
    void Refresh();           // forget the cached list
    int PrinterIndex();       // the first call selects the default printer
    void SetPrinterIndex(int Value); // -1 selects the system's default printer

    // The device mode handle is 0 (nullptr) when no printer is selected.
    void GetPrinter(QString& Device, QString& Driver, QString& Port, HGLOBAL& DeviceMode);
    // Handle 0: fetch a fresh default device mode for that printer.
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

    // For GetDeviceCaps / DeviceCapabilitiesW.
    const TPrinterCaps* Selected() const;
    const DEVMODEW* DevMode() const;

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
