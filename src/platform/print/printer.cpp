// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/printer.h"

#include <algorithm>

struct TPrinter::Impl {
    std::vector<TPrinterCaps> List;
    bool Listed = false;
    unsigned Generation = 0;
    int Index = -1;
    bool IndexChosen = false; // the first PrinterIndex read picks the default
    DEVMODEW Mode;

    void EnsureListed()
    {
        if (Listed && Generation == ActivePrintBackendGeneration())
            return;
        if (Listed) { // another backend: the old selection means nothing there
            Index = -1;
            IndexChosen = false;
        }
        List = ActivePrintBackend().Printers();
        Listed = true;
        Generation = ActivePrintBackendGeneration();
    }

    int DefaultIndex()
    {
        EnsureListed();
        if (List.empty())
            return -1;
        int i = ActivePrintBackend().DefaultIndex();
        return i >= 0 && i < static_cast<int>(List.size()) ? i : 0;
    }

    int Find(const QString& Name) const
    {
        for (size_t i = 0; i < List.size(); ++i)
            if (List[i].Name == Name)
                return static_cast<int>(i);
        return -1;
    }

    void Select(int I)
    {
        Index = I;
        IndexChosen = true;
        Mode = I >= 0 ? List[static_cast<size_t>(I)].Defaults : DEVMODEW();
    }
};

TPrinter::TPrinter() : d(std::make_unique<Impl>()) {}

TPrinter::~TPrinter()
{
    if (FJob)
        FJob->Abort();
}

QStringList TPrinter::Printers()
{
    d->EnsureListed();
    QStringList names;
    for (const TPrinterCaps& p : d->List)
        names << p.Name;
    return names;
}

void TPrinter::Refresh()
{
    bool chosen = d->IndexChosen;
    const TPrinterCaps* selected = chosen ? Selected() : nullptr;
    QString current = selected ? selected->Name : QString();
    ActivePrintBackend().Reload();
    d->Listed = false;
    d->EnsureListed();
    if (!chosen)
        return;
    int found = current.isEmpty() ? -1 : d->Find(current);
    if (found >= 0)
        d->Index = found;
    else
        d->Select(d->DefaultIndex());
}

int TPrinter::PrinterIndex()
{
    Selected();
    return d->Index;
}

void TPrinter::SetPrinterIndex(int Value)
{
    d->EnsureListed();
    if (Value == -1) {
        d->Select(d->DefaultIndex());
        return;
    }
    if (Value < 0 || Value >= static_cast<int>(d->List.size()))
        throw EPrinter("Printer index out of range");
    d->Select(Value);
}

void TPrinter::GetPrinter(QString& Device, QString& Driver, QString& Port, HGLOBAL& DeviceMode)
{
    const TPrinterCaps* p = Selected();
    Device = p ? p->Name : QString();
    Driver = p ? p->Driver : QString();
    Port = p ? p->Port : QString();
    DeviceMode = p ? &d->Mode : nullptr;
}

void TPrinter::SetPrinter(const QString& Device, const QString&, const QString&, HGLOBAL DeviceMode)
{
    d->EnsureListed();
    int i = d->Find(Device);
    if (i < 0)
        throw EPrinter("Printer \"" + Device.toStdString() + "\" is not installed");
    if (DeviceMode) {
        DEVMODEW adopted = *DeviceMode; // the handle may be our own record
        d->Index = i;
        d->IndexChosen = true;
        d->Mode = adopted;
    } else {
        d->Select(i);
    }
}

const TPrinterCaps* TPrinter::Selected() const
{
    // Like a printer device context, asking for capabilities first selects
    // the default printer.
    d->EnsureListed();
    if (!d->IndexChosen)
        d->Select(d->DefaultIndex());
    if (d->Index < 0 || d->Index >= static_cast<int>(d->List.size()))
        return nullptr;
    return &d->List[static_cast<size_t>(d->Index)];
}

const DEVMODEW* TPrinter::DevMode() const
{
    return Selected() ? &d->Mode : nullptr;
}

TSheetGeometry TPrinter::Geometry() const
{
    const TPrinterCaps* p = Selected();
    return p ? ActivePrintBackend().Geometry(*p, d->Mode) : TSheetGeometry();
}

void TPrinter::BeginDoc()
{
    if (FJob)
        throw EPrinter("Printing in progress");
    const TPrinterCaps* p = Selected();
    if (!p)
        throw EPrinter("No printer is installed: there is nothing to print on");
    FJob = ActivePrintBackend().BeginJob(*p, d->Mode, FTitle);
}

namespace {

TPrintJob& Job(const std::unique_ptr<TPrintJob>& J)
{
    if (!J)
        throw EPrinter("Printer is not currently printing");
    return *J;
}

} // namespace

void TPrinter::NewPage()
{
    Job(FJob).NewPage();
}

void TPrinter::EndDoc()
{
    // The job is closed even when submitting it fails, so the next BeginDoc works.
    std::unique_ptr<TPrintJob> job = std::move(FJob);
    Job(job).End();
}

void TPrinter::Abort()
{
    if (std::unique_ptr<TPrintJob> job = std::move(FJob))
        job->Abort();
}

int TPrinter::PageWidth() const
{
    return FJob ? FJob->PageWidth() : Geometry().PageWidth;
}

int TPrinter::PageHeight() const
{
    return FJob ? FJob->PageHeight() : Geometry().PageHeight;
}

TCanvas& TPrinter::Canvas()
{
    return Job(FJob).Canvas();
}

TPrinter& Printer()
{
    static TPrinter printer;
    return printer;
}
