// SPDX-License-Identifier: GPL-3.0-or-later
#include "document_helpers.h"


TSheetGeometry TFakePrintBackend::Geometry(const TPrinterCaps& Printer, const DEVMODEW&)
{
    TSheetGeometry g;
    g.DpiX = Printer.DpiX;
    g.DpiY = Printer.DpiY;
    for (size_t i = 0; i < List.size(); ++i) {
        if (List[i].Name != Printer.Name)
            continue;
        const TFakeSheet& s = Sheets[i];
        g.Width = s.Width;
        g.Height = s.Height;
        g.OffsetX = s.OffsetX;
        g.OffsetY = s.OffsetY;
        g.PageWidth = s.Width - 2 * s.OffsetX;
        g.PageHeight = s.Height - 2 * s.OffsetY;
    }
    return g;
}

std::unique_ptr<TPrintJob> TFakePrintBackend::BeginJob(const TPrinterCaps&, const DEVMODEW&, const QString&)
{
    throw EPrinter("The test printer prints nothing");
}

TPrinterCaps& TFakePrintBackend::Add(const QString& Name, uint32_t Fields, std::vector<int16_t> PaperCodes)
{
    TPrinterCaps caps;
    caps.Name = Name;
    caps.Driver = Name + QStringLiteral(" driver");
    caps.Port = QStringLiteral("test:");
    caps.DpiX = caps.DpiY = 600;
    caps.PaperCodes = std::move(PaperCodes);
    caps.Defaults.dmFields = Fields;
    caps.Defaults.dmPaperSize = 9;
    List.push_back(caps);
    Sheets.push_back({4961, 7016, 100, 120}); // A4 at 600 dpi
    return List.back();
}

void TFakePrintBackend::Activate()
{
    SetActivePrintBackend(this);
}

std::vector<int16_t> AllPaperCodes()
{
    std::vector<int16_t> codes;
    for (int16_t c = 1; c <= 68; ++c)
        codes.push_back(c);
    return codes;
}
