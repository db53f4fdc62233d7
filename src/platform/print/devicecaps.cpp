// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/devicecaps.h"

#include "platform/print/printer.h"

#include <algorithm>

int GetDeviceCaps(HDC DC, int Index)
{
    if (!DC)
        return 0;
    TSheetGeometry g;
    try {
        if (!DC->Selected())
            return 0;
        g = DC->Geometry();
    } catch (const Exception&) {
        return 0; // as a device context of a vanished printer answers
    }
    switch (Index) {
    case LOGPIXELSX: return g.DpiX;
    case LOGPIXELSY: return g.DpiY;
    case PHYSICALWIDTH: return g.Width;
    case PHYSICALHEIGHT: return g.Height;
    case PHYSICALOFFSETX: return g.OffsetX;
    case PHYSICALOFFSETY: return g.OffsetY;
    default: return 0;
    }
}

int DeviceCapabilitiesW(const QString& Device, const QString&, int Capability, int16_t* Output, const DEVMODEW*)
{
    const std::vector<TPrinterCaps>* printers = nullptr;
    try {
        printers = &ActivePrintBackend().Printers();
    } catch (const Exception&) {
        return -1;
    }
    auto p = std::find_if(printers->begin(), printers->end(), [&](const TPrinterCaps& c) { return c.Name == Device; });
    if (p == printers->end())
        return -1;
    const std::vector<int16_t>* codes = nullptr;
    if (Capability == DC_PAPERS)
        codes = &p->PaperCodes;
    else if (Capability == DC_BINS)
        codes = &p->Bins;
    else
        return -1;
    if (Output)
        std::copy(codes->begin(), codes->end(), Output);
    return static_cast<int>(codes->size());
}
