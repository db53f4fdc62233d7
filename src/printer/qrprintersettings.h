// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printer choices a report definition keeps and hands to a document.
#include "platform/print/printer.h"
#include "printer/qrpapers.h"

#include <QString>

class TQRPrinter;

class TQRPrinterSettings {
public:
    // Transfers printer index, paper size, copies, duplex, orientation, bin
    // and title; the document's printer may decline some of them.
    void ApplySettings(TQRPrinter& APrinter) const;

    int Copies = 1;
    bool Duplex = false;
    TPrinterOrientation Orientation = poPortrait;
    TQRBin OutputBin = TQRBin::Auto;
    TQRPaperSize PaperSize = TQRPaperSize::Letter;
    int PrinterIndex = -1;
    QString Title;
    int FirstPage = 0;
    int LastPage = 0;
    bool PrintMetafile = false;
    bool UseStandardprinter = false; // the design's spelling
    bool UseExtendedDuplex = false;
    int ExtendedDuplex = 0;
    int MemoryLimit = 250000;
    int PrintQuality = 0;
    int Collate = 0;
    int ColorOption = 0;
    bool UseCustomBinCode = false;
    int CustomBinCode = 0;
    bool UseCustomPaperCode = false;
    int CustomPaperCode = 0;
};
