#include "document_helpers.h"

#include "platform/metafile.h"
#include "store/qrpagelist.h"

#include <cstring>

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

std::vector<uint8_t> EmfPageBytes(int Width, int Height)
{
    // Header with a 1 pixel = 0.01 mm x 100 reference device, then EMR_EOF.
    std::vector<uint8_t> b(EmfHeaderBytes + 20, 0);
    auto put = [&b](size_t At, uint32_t V) { std::memcpy(&b[At], &V, 4); };
    put(0, 1); // EMR_HEADER
    put(4, EmfHeaderBytes);
    put(8, 0);
    put(12, 0);
    put(16, static_cast<uint32_t>(Width - 1));
    put(20, static_cast<uint32_t>(Height - 1));
    put(24, 0);
    put(28, 0);
    put(32, static_cast<uint32_t>(Width * 100));
    put(36, static_cast<uint32_t>(Height * 100));
    put(40, ENHMETA_SIGNATURE);
    put(44, 0x10000);
    put(48, static_cast<uint32_t>(b.size()));
    put(52, 2);
    put(56, 1);
    put(72, 1000); // szlDevice
    put(76, 1000);
    put(80, 1000); // szlMillimeters
    put(84, 1000);
    put(100, 1000000); // szlMicrometers
    put(104, 1000000);
    put(EmfHeaderBytes, 14); // EMR_EOF
    put(EmfHeaderBytes + 4, 20);
    put(EmfHeaderBytes + 16, 20);
    return b;
}

void WriteReport(const std::string& FileName, const std::vector<std::pair<int, int>>& PageSizes)
{
    TQRPageList list;
    list.SetStream(std::make_unique<TQRStream>(1 << 20));
    for (const auto& size : PageSizes) {
        TMetafile page;
        page.LoadFromBytes(EmfPageBytes(size.first, size.second));
        list.AddPage(page);
    }
    list.Finish();
    list.SaveToFile(FileName);
}
