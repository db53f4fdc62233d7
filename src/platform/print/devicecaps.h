// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Windows device-mode record, its codes and the capability queries of a
// printer device context, as the printer settings use them; the printer
// object and its backends answer them.
#include <QString>

#include <cstdint>

// dmFields bits.
enum : uint32_t {
    DM_ORIENTATION = 0x0001,
    DM_PAPERSIZE = 0x0002,
    DM_PAPERLENGTH = 0x0004,
    DM_PAPERWIDTH = 0x0008,
    DM_COPIES = 0x0100,
    DM_DEFAULTSOURCE = 0x0200,
    DM_PRINTQUALITY = 0x0400,
    DM_COLOR = 0x0800,
    DM_DUPLEX = 0x1000,
    DM_COLLATE = 0x8000
};
enum : int16_t { DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2 };
enum : int16_t { DMDUP_SIMPLEX = 1, DMDUP_VERTICAL = 2, DMDUP_HORIZONTAL = 3 };

// GetDeviceCaps indexes.
enum : int {
    LOGPIXELSX = 88,
    LOGPIXELSY = 90,
    PHYSICALWIDTH = 110,
    PHYSICALHEIGHT = 111,
    PHYSICALOFFSETX = 112,
    PHYSICALOFFSETY = 113
};
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
inline DEVMODEW* GlobalLock(HGLOBAL h)
{
    return h;
}
inline void GlobalUnlock(HGLOBAL) {}

class TPrinter;
// A device context for capability queries: the printer it was taken from.
using HDC = const TPrinter*;
int GetDeviceCaps(HDC DC, int Index);
// Returns the count of codes, or -1; writes up to that many codes to Output when given.
int DeviceCapabilitiesW(const QString& Device, const QString& Port, int Capability, int16_t* Output,
                        const DEVMODEW* DevMode);
