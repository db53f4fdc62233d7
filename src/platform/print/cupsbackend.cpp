// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/cupsbackend.h"

#include "platform/print/cupsjob.h"
#include "platform/print/cupsqueue.h"
#include "platform/print/sheetgeometry.h"

#include <QPageLayout>
#include <QPrintEngine>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>

namespace {

// Qt's key for the list of CUPS job options (name, value, name, value...).
const auto PPK_CupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

int16_t DuplexCode(QPrinter::DuplexMode Mode)
{
    switch (Mode) {
    case QPrinter::DuplexLongSide: return DMDUP_VERTICAL;
    case QPrinter::DuplexShortSide: return DMDUP_HORIZONTAL;
    default: return DMDUP_SIMPLEX;
    }
}

TPrinterCaps CapsOf(const QPrinterInfo& Info)
{
    TPrinterCaps c;
    c.Name = Info.printerName();
    c.Driver = Info.makeAndModel().isEmpty() ? QString("CUPS") : Info.makeAndModel();
    c.Port = "CUPS:" + c.Name;
    c.DpiX = c.DpiY = 1200; // QPrinter::HighResolution, whatever the queue says
    for (const QPageSize& size : Info.supportedPageSizes()) {
        int16_t code = static_cast<int16_t>(size.windowsId());
        if (code > 0 && code != DMPAPER_USER &&
            std::find(c.PaperCodes.begin(), c.PaperCodes.end(), code) == c.PaperCodes.end())
            c.PaperCodes.push_back(code);
    }
    if (Info.supportsCustomPageSizes())
        c.PaperCodes.push_back(DMPAPER_USER);
    TCupsQueue queue = QueryCupsQueue(c.Name);
    c.Copies = queue.Copies;
    c.Collate = queue.Copies; // CUPS collates the copies it makes
    const QList<QPrinter::DuplexMode> duplex = Info.supportedDuplexModes();
    c.Duplex = duplex.contains(QPrinter::DuplexLongSide) || duplex.contains(QPrinter::DuplexShortSide);
    for (int i = 0; i < queue.InputSlots.size(); ++i) {
        c.Bins.push_back(BinCodeForInputSlot(queue.InputSlots[i], i));
        c.BinNames << queue.InputSlots[i];
    }

    DEVMODEW& m = c.Defaults;
    m.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PRINTQUALITY | DM_COLOR;
    QPageSize size = Info.defaultPageSize();
    QSizeF mm;
    m.dmPaperSize = static_cast<int16_t>(size.windowsId());
    if (!PaperCodeSizeMm(m.dmPaperSize, mm)) {
        QSizeF s = size.isValid() ? size.size(QPageSize::Millimeter) : QSizeF(210, 297);
        m.dmPaperSize = DMPAPER_USER;
        m.dmPaperWidth = static_cast<int16_t>(std::lround(s.width() * 10));
        m.dmPaperLength = static_cast<int16_t>(std::lround(s.height() * 10));
        m.dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
    }
    m.dmPrintQuality = static_cast<int16_t>(c.DpiX);
    m.dmColor = Info.defaultColorMode() == QPrinter::Color ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
    if (c.Copies)
        m.dmFields |= DM_COPIES | DM_COLLATE;
    m.dmCollate = c.Collate ? 1 : 0;
    if (c.Duplex) {
        m.dmFields |= DM_DUPLEX;
        m.dmDuplex = DuplexCode(Info.defaultDuplexMode());
    }
    if (!c.Bins.empty()) {
        m.dmFields |= DM_DEFAULTSOURCE;
        int i = std::max<int>(0, queue.InputSlots.indexOf(queue.DefaultInputSlot));
        m.dmDefaultSource = c.Bins[static_cast<size_t>(i)];
    }
    return c;
}

QString GeometryKey(const TPrinterCaps& Printer, const DEVMODEW& Mode)
{
    return QString("%1|%2|%3|%4|%5|%6")
        .arg(Printer.Name)
        .arg(Mode.dmFields & (DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH | DM_ORIENTATION))
        .arg(Mode.dmPaperSize)
        .arg(Mode.dmPaperWidth)
        .arg(Mode.dmPaperLength)
        .arg(Mode.dmOrientation);
}

} // namespace

void ApplySheet(QPrinter& Printer, const DEVMODEW& Mode)
{
    const uint32_t explicitSize = DM_PAPERWIDTH | DM_PAPERLENGTH;
    QPageSize size;
    if ((Mode.dmFields & explicitSize) == explicitSize && Mode.dmPaperWidth > 0 && Mode.dmPaperLength > 0)
        // Fuzzy, so that A4 given in tenths of a millimetre is still sent as A4.
        size = QPageSize(QSizeF(Mode.dmPaperWidth / 10.0, Mode.dmPaperLength / 10.0), QPageSize::Millimeter, QString(),
                         QPageSize::FuzzyMatch);
    else if ((Mode.dmFields & DM_PAPERSIZE) && QPageSize::id(Mode.dmPaperSize) != QPageSize::Custom)
        size = QPageSize(QPageSize::id(Mode.dmPaperSize));
    if (size.isValid())
        Printer.setPageSize(size);
    Printer.setPageOrientation(DevModeLandscape(Mode) ? QPageLayout::Landscape : QPageLayout::Portrait);
    Printer.setFullPage(false);
    Printer.setPageMargins(Printer.pageLayout().minimumMargins(), Printer.pageLayout().units());
}

void ApplyJobOptions(QPrinter& Printer, const TPrinterCaps& Caps, const DEVMODEW& Mode)
{
    QStringList options = Printer.printEngine()->property(PPK_CupsOptions).toStringList();
    auto setOption = [&](const QString& Name, const QString& Value) {
        int i = options.indexOf(Name);
        if (i >= 0 && i % 2 == 0 && i + 1 < options.size())
            options[i + 1] = Value;
        else
            options << Name << Value;
    };
    if (Caps.Copies && (Mode.dmFields & DM_COPIES))
        Printer.setCopyCount(std::max<int>(1, Mode.dmCopies));
    // setCollateCopies does not reach CUPS; the job option does.
    if (Caps.Collate && (Mode.dmFields & DM_COLLATE))
        setOption("Collate", Mode.dmCollate ? "True" : "False");
    if (Caps.Duplex && (Mode.dmFields & DM_DUPLEX))
        Printer.setDuplex(Mode.dmDuplex == DMDUP_VERTICAL     ? QPrinter::DuplexLongSide
                          : Mode.dmDuplex == DMDUP_HORIZONTAL ? QPrinter::DuplexShortSide
                                                              : QPrinter::DuplexNone);
    if (Mode.dmFields & DM_DEFAULTSOURCE) {
        auto bin = std::find(Caps.Bins.begin(), Caps.Bins.end(), Mode.dmDefaultSource);
        size_t i = static_cast<size_t>(bin - Caps.Bins.begin());
        if (bin != Caps.Bins.end() && i < static_cast<size_t>(Caps.BinNames.size()))
            setOption("InputSlot", Caps.BinNames[static_cast<int>(i)]);
    }
    Printer.printEngine()->setProperty(PPK_CupsOptions, options);
}

TSheetGeometry SheetOf(QPrinter& Printer)
{
    TSheetGeometry g;
    g.DpiX = g.DpiY = Printer.resolution();
    QRect paper = Printer.paperRect(QPrinter::DevicePixel).toRect();
    QRect page = Printer.pageRect(QPrinter::DevicePixel).toRect();
    g.Width = paper.width();
    g.Height = paper.height();
    g.OffsetX = page.left() - paper.left();
    g.OffsetY = page.top() - paper.top();
    g.PageWidth = page.width();
    g.PageHeight = page.height();
    return g;
}

const std::vector<TPrinterCaps>& TCupsBackend::Printers()
{
    if (!FLoaded) {
        FCaps.clear();
        QStringList names = QPrinterInfo::availablePrinterNames();
        std::sort(names.begin(), names.end());
        for (const QString& name : names) {
            QPrinterInfo info = QPrinterInfo::printerInfo(name);
            if (!info.isNull())
                FCaps.push_back(CapsOf(info));
        }
        FLoaded = true;
    }
    return FCaps;
}

int TCupsBackend::DefaultIndex()
{
    const QString name = QPrinterInfo::defaultPrinterName();
    const std::vector<TPrinterCaps>& list = Printers();
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].Name == name)
            return static_cast<int>(i);
    return -1;
}

void TCupsBackend::Reload()
{
    FLoaded = false;
    FGeometries.clear();
}

TSheetGeometry TCupsBackend::Geometry(const TPrinterCaps& Printer, const DEVMODEW& Mode)
{
    const QString key = GeometryKey(Printer, Mode);
    auto known = FGeometries.find(key);
    if (known != FGeometries.end())
        return known->second;
    QPrinterInfo info = QPrinterInfo::printerInfo(Printer.Name);
    if (info.isNull())
        throw EPrinter("Printer \"" + Printer.Name.toStdString() + "\" is not installed");
    QPrinter printer(info, QPrinter::HighResolution);
    ApplySheet(printer, Mode);
    return FGeometries[key] = SheetOf(printer);
}

std::unique_ptr<TPrintJob> TCupsBackend::BeginJob(const TPrinterCaps& Printer, const DEVMODEW& Mode,
                                                  const QString& Title)
{
    // An unknown name would silently print on the default printer.
    QPrinterInfo info = QPrinterInfo::printerInfo(Printer.Name);
    if (info.isNull())
        throw EPrinter("Printer \"" + Printer.Name.toStdString() + "\" is not installed");
    return std::make_unique<TCupsJob>(info, Printer, Mode, Title);
}
