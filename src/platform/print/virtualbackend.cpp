// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/virtualbackend.h"

#include "platform/print/sheetgeometry.h"
#include "platform/print/virtualjob.h"

TVirtualBackend::TVirtualBackend(const QString& ConfigFile, const QString& OutputDir)
    : FConfigFile(ConfigFile), FOutputDir(OutputDir)
{
}

void TVirtualBackend::Load()
{
    if (FLoaded)
        return;
    FConfig = FConfigFile.isEmpty() ? TVirtualConfig() : LoadVirtualConfig(FConfigFile);
    FCaps.clear();
    for (const TVirtualPrinter& p : FConfig.Printers)
        FCaps.push_back(p.Caps);
    FLoaded = true;
}

const std::vector<TPrinterCaps>& TVirtualBackend::Printers()
{
    Load();
    return FCaps;
}

int TVirtualBackend::DefaultIndex()
{
    Load();
    return FConfig.DefaultIndex;
}

QString TVirtualBackend::OutputDir()
{
    if (!FOutputDir.isEmpty())
        return FOutputDir;
    Load();
    return FConfig.Output;
}

const TVirtualPrinter& TVirtualBackend::Find(const TPrinterCaps& Printer)
{
    Load();
    for (const TVirtualPrinter& p : FConfig.Printers)
        if (p.Caps.Name == Printer.Name)
            return p;
    throw EPrinter("Printer \"" + Printer.Name.toStdString() + "\" is not installed");
}

TSheetGeometry TVirtualBackend::Geometry(const TPrinterCaps& Printer, const DEVMODEW& Mode)
{
    const TVirtualPrinter& p = Find(Printer);
    return MakeSheetGeometry(DevModeSheetMm(Mode, p.SheetMm), DevModeLandscape(Mode), p.Caps.DpiX, p.Caps.DpiY,
                             p.OffsetX, p.OffsetY);
}

std::unique_ptr<TPrintJob> TVirtualBackend::BeginJob(const TPrinterCaps& Printer, const DEVMODEW& Mode,
                                                     const QString& Title)
{
    const TVirtualPrinter& p = Find(Printer);
    return std::make_unique<TVirtualJob>(OutputDir(), p, Mode, Title, Geometry(Printer, Mode));
}
