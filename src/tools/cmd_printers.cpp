// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool printers [--json]: the printers of the active print backend and
// what each offers.
#include "tools/command.h"

#include "platform/print/printer.h"
#include "platform/print/virtualjob.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cstdio>

namespace {

template <typename T>
QJsonArray JsonCodes(const std::vector<T>& Codes)
{
    QJsonArray a;
    for (T c : Codes)
        a.append(c);
    return a;
}

template <typename T>
QString TextCodes(const std::vector<T>& Codes)
{
    QStringList s;
    for (T c : Codes)
        s << QString::number(c);
    return s.isEmpty() ? QString("none") : s.join(' ');
}

QJsonObject SheetJson(const TSheetGeometry& G)
{
    return QJsonObject{{"width", G.Width},     {"height", G.Height},       {"offsetX", G.OffsetX},
                       {"offsetY", G.OffsetY}, {"pageWidth", G.PageWidth}, {"pageHeight", G.PageHeight}};
}

const char* YesNo(bool B)
{
    return B ? "yes" : "no";
}

void PrintText(TPrintBackend& Backend, const std::vector<TPrinterCaps>& List, int Default)
{
    std::printf("backend: %s\n", qPrintable(Backend.Name()));
    if (List.empty())
        std::printf("no printers\n");
    for (size_t i = 0; i < List.size(); ++i) {
        const TPrinterCaps& p = List[i];
        const DEVMODEW& m = p.Defaults;
        TSheetGeometry g = Backend.Geometry(p, m);
        std::printf("\n%s%s\n", qPrintable(p.Name), static_cast<int>(i) == Default ? " (default)" : "");
        std::printf("  driver: %s\n  port: %s\n", qPrintable(p.Driver), qPrintable(p.Port));
        std::printf("  resolution: %d x %d dpi\n", p.DpiX, p.DpiY);
        std::printf("  papers: %s\n", qPrintable(TextCodes(p.PaperCodes)));
        std::printf("  bins: %s%s\n", qPrintable(TextCodes(p.Bins)),
                    p.BinNames.isEmpty() ? "" : qPrintable(" (" + p.BinNames.join(' ') + ")"));
        std::printf("  driver copies: %s  collate: %s  duplex: %s\n", YesNo(p.Copies), YesNo(p.Collate),
                    YesNo(p.Duplex));
        std::printf("  default: paper %d, %s, source %d, duplex %d, fields 0x%04x\n", m.dmPaperSize,
                    m.dmOrientation == DMORIENT_LANDSCAPE ? "landscape" : "portrait", m.dmDefaultSource, m.dmDuplex,
                    static_cast<unsigned>(m.dmFields));
        std::printf("  sheet: %d x %d dots, printable %d x %d from (%d, %d)\n", g.Width, g.Height, g.PageWidth,
                    g.PageHeight, g.OffsetX, g.OffsetY);
    }
}

void PrintJson(TPrintBackend& Backend, const std::vector<TPrinterCaps>& List, int Default)
{
    QJsonArray printers;
    for (size_t i = 0; i < List.size(); ++i) {
        const TPrinterCaps& p = List[i];
        printers.append(QJsonObject{{"name", p.Name},
                                    {"driver", p.Driver},
                                    {"port", p.Port},
                                    {"default", static_cast<int>(i) == Default},
                                    {"dpiX", p.DpiX},
                                    {"dpiY", p.DpiY},
                                    {"papers", JsonCodes(p.PaperCodes)},
                                    {"bins", JsonCodes(p.Bins)},
                                    {"binNames", QJsonArray::fromStringList(p.BinNames)},
                                    {"copies", p.Copies},
                                    {"collate", p.Collate},
                                    {"duplex", p.Duplex},
                                    {"defaults", DevModeJson(p.Defaults)},
                                    {"sheet", SheetJson(Backend.Geometry(p, p.Defaults))}});
    }
    QJsonObject all{{"backend", Backend.Name()}, {"printers", printers}};
    std::fputs(QJsonDocument(all).toJson().constData(), stdout);
}

int Run(const std::vector<std::string>& Args)
{
    bool json = false;
    for (const std::string& a : Args) {
        if (a == "--json")
            json = true;
        else
            throw UsageError{"unexpected argument \"" + a + "\""};
    }
    TPrintBackend& backend = ActivePrintBackend();
    const std::vector<TPrinterCaps> list = backend.Printers();
    const int def = backend.DefaultIndex();
    if (json)
        PrintJson(backend, list, def);
    else
        PrintText(backend, list, def);
    return 0;
}

const ToolCommandRegistrar registrar({"printers", "printers [--json]", true, Run,
                                      QT_TRANSLATE_NOOP("qrptool",
                                                        "the printers of the active backend and what they offer")});

} // namespace
