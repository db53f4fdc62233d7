// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printer object: the list of installed printers, the selected one with
// its device mode, and print jobs drawn through a canvas, on the active
// print backend.
#include "platform/print/devicecaps.h"
#include "platform/print/printbackend.h"

#include <QString>
#include <QStringList>

#include <memory>

class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    QStringList Printers(); // names, listed at the first call and by Refresh
    // Lists the printers again; the selected one stays selected (with its
    // device mode) while it is still installed.
    void Refresh();
    int PrinterIndex(); // the first call selects the default printer
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
    struct Impl;
    std::unique_ptr<Impl> d;
    QString FTitle;
    std::unique_ptr<TPrintJob> FJob;
};

// The application-wide printer object.
TPrinter& Printer();
