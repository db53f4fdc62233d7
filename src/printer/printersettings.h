// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A report document's live link to one printer: the printer's device mode
// and capabilities read into plain fields, setters that refuse what the
// printer does not announce, and the choices written back before each job.
#include "platform/print/printer.h"
#include "printer/qrpapers.h"

#include <QString>

#include <array>
#include <functional>

class TPrinterSettings;

// Called with the locked device mode; a handler may change it or set Cancel.
using TQRPrinterSettingsEvent = std::function<void(TPrinterSettings* Sender, bool& Cancel, DEVMODEW* DevMode)>;

// Indexed by paper size minus one: Letter..Custom.
using TPaperSizesSupported = std::array<bool, QRPaperSizeCount - 1>;

class TPrinterSettings {
public:
    TPrinterSettings();
    TPrinterSettings(const TPrinterSettings&) = delete;
    TPrinterSettings& operator=(const TPrinterSettings&) = delete;

    TPrinter* Printer() const { return FPrinter; }
    // Reads the printer's settings at once when it lists any printer.
    void SetPrinter(TPrinter* Value);

    void ReadPrinterSettings();
    void ApplySettings();
    // Makes the printer object drop a changed device mode for a fresh default one.
    static void ResetPrinterDeviceMode(TPrinter& APrinter);

    bool GetPaperSizeSupported(TQRPaperSize PaperSize) const;
    bool PaperSizeSupported(TQRPaperSize PaperSize) const { return GetPaperSizeSupported(PaperSize); }
    // True when every bit of Fields is in the device mode of the last read
    // (plus what ApplySettings added since).
    bool DevModeFieldSupported(uint32_t Fields) const;

    int Copies() const { return FCopies; }
    void SetCopies(int Value);
    bool Duplex() const { return FDuplex; }
    void SetDuplex(bool Value);
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation Value);
    TQRBin OutputBin() const { return FOutputBin; }
    void SetOutputBin(TQRBin Value);
    TQRPaperSize PaperSize() const { return FPaperSize; }
    void SetPaperSize(TQRPaperSize Value);
    // 0.1 mm; the table size unless the paper is Default or Custom.
    int PaperWidth() const;
    void SetPaperWidth(int Value) { FPaperWidth = Value; }
    int PaperLength() const;
    void SetPaperLength(int Value) { FPaperLength = Value; }

    // A report's own page size, stored whatever the printer announces: a
    // page must keep its proportions on screen even without any printer.
    void SetDetectedPaper(TQRPaperSize Size, TPrinterOrientation Orientation);

    int PixelsPerX() const { return FPixelsPerX; }
    int PixelsPerY() const { return FPixelsPerY; }
    int TopOffset() const { return FTopOffset; }
    int LeftOffset() const { return FLeftOffset; }
    QString Device() const { return FDevice; }
    QString Driver() const { return FDriver; }
    QString Port() const { return FPort; }
    int Index() const { return FIndex; }

    QString Title() const { return FTitle; }
    void SetTitle(const QString& Value) { FTitle = Value; }
    bool PrintMetafile() const { return FPrintMetafile; }
    void SetPrintMetafile(bool Value) { FPrintMetafile = Value; }
    // UseStandardprinter and FmemoryLimit: the design's spelling. The
    // document's property of the same meaning is UseStandardPrinter.
    bool UseStandardprinter() const { return FUseStandardPrinter; }
    void SetUseStandardprinter(bool Value) { FUseStandardPrinter = Value; }
    bool UseExtendedDuplex() const { return FUseExtendedDuplex; }
    void SetUseExtendedDuplex(bool Value) { FUseExtendedDuplex = Value; }
    bool UseCustomBinCode() const { return FUseCustomBinCode; }
    void SetUseCustomBinCode(bool Value) { FUseCustomBinCode = Value; }
    bool UseCustomPaperCode() const { return FUseCustomPaperCode; }
    void SetUseCustomPaperCode(bool Value) { FUseCustomPaperCode = Value; }
    int ExtendedDuplex() const { return FExtendedDuplex; }
    void SetExtendedDuplex(int Value) { FExtendedDuplex = Value; }
    int CustomBinCode() const { return FCustomBinCode; }
    void SetCustomBinCode(int Value) { FCustomBinCode = Value; }
    int CustomPaperCode() const { return FCustomPaperCode; }
    void SetCustomPaperCode(int Value) { FCustomPaperCode = Value; }
    int MemoryLimit() const { return FmemoryLimit; }
    void SetMemoryLimit(int Value) { FmemoryLimit = Value; }
    int PrintQuality() const { return FPrintQuality; }
    void SetPrintQuality(int Value) { FPrintQuality = Value; }
    int Collate() const { return FCollate; }
    void SetCollate(int Value) { FCollate = Value; }
    int ColorOption() const { return FColorOption; }
    void SetColorOption(int Value) { FColorOption = Value; }

    TQRPrinterSettingsEvent OnGetPrinterSettings;
    TQRPrinterSettingsEvent OnApplyPrinterSettings;

private:
    void ReadFromDevMode(DEVMODEW& Mode);
    void ReadPaperSizes(const DEVMODEW& Mode);

    int FIndex = -1;
    QString FDevice, FDriver, FPort;
    HGLOBAL DeviceMode = nullptr;
    // The record itself may be replaced by the printer object between calls,
    // so only its announced fields are kept for the setters' tests.
    bool FHaveDevMode = false;
    uint32_t FDevModeFields = 0;
    int FCopies = 0;
    bool FDuplex = false;
    bool FPrintMetafile = false;
    bool FUseStandardPrinter = false;
    bool FUseExtendedDuplex = false;
    int FExtendedDuplex = 0;
    bool FUseCustomBinCode = false;
    int FCustomBinCode = 0;
    int FPrintQuality = 0;
    int FCollate = 0;
    int FColorOption = 0;
    int FmemoryLimit = 250000; // the design's spelling
    bool FUseCustomPaperCode = false;
    int FCustomPaperCode = 0;
    TPrinterOrientation FOrientation = poPortrait;
    TQRBin FOutputBin = TQRBin::First;
    TQRPaperSize FPaperSize = TQRPaperSize::A4;
    TPaperSizesSupported FPaperSizes{};
    int FPaperWidth = 0;
    int FPaperLength = 0;
    int FPixelsPerX = 0;
    int FPixelsPerY = 0;
    int FTopOffset = 0;
    int FLeftOffset = 0;
    TPrinter* FPrinter = nullptr;
    QString FTitle;
};
