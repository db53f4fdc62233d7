// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/qrprintersettings.h"

#include "printer/qrprinter.h"

void TQRPrinterSettings::ApplySettings(TQRPrinter& APrinter) const
{
    if (APrinter.PrinterIndex() != PrinterIndex)
        APrinter.SetPrinterIndex(PrinterIndex);
    APrinter.SetPaperSize(PaperSize);
    APrinter.SetCopies(Copies);
    APrinter.SetDuplex(Duplex);
    APrinter.SetOrientation(Orientation);
    APrinter.SetOutputBin(OutputBin);
    APrinter.SetTitle(Title);
}
