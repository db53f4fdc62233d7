// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configuration file of the virtual printers: an INI-like text, one
// [section] per printer, "key = value" lines, '#' or ';' comments.
#include "platform/print/printbackend.h"

#include <QSizeF>
#include <QString>

#include <vector>

struct TVirtualPrinter {
    TPrinterCaps Caps;
    QSizeF SheetMm{210, 297};     // for paper codes without a known size
    int OffsetX = 0, OffsetY = 0; // unprintable margins in dots, portrait
};

struct TVirtualConfig {
    std::vector<TVirtualPrinter> Printers; // in file order
    int DefaultIndex = -1;
    QString Output; // folder for jobs, "" when the file names none
};

// Throws EPrinter naming Origin and the line for anything it does not
// understand, so a typo never silently gives a different printer.
TVirtualConfig ParseVirtualConfig(const QString& Text, const QString& Origin);
// Reads and parses the file; relative output folders are taken from the
// file's folder.
TVirtualConfig LoadVirtualConfig(const QString& FileName);
