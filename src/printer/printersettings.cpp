// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/printersettings.h"

#include "platform/messagepump.h"
#include "platform/rounding.h"

#include <exception>
#include <vector>

namespace {

// Dots of the device into tenths of a millimetre.
int DotsToTenthsMM(int Dots, int DotsPerInch)
{
    if (DotsPerInch <= 0)
        throw EPrinter("The printer reports no resolution");
    return RoundHalfEven(static_cast<long double>(Dots) / DotsPerInch * 254);
}

} // namespace

TPrinterSettings::TPrinterSettings() = default;

void TPrinterSettings::SetPrinter(TPrinter* Value)
{
    FPrinter = Value;
    if (FPrinter && !FPrinter->Printers().isEmpty())
        ReadPrinterSettings();
}

void TPrinterSettings::ReadPrinterSettings()
{
    if (!FPrinter)
        return;
    DEVMODEW* mode = nullptr;
    try {
        ProcessPendingMessages();
        FPrinter->GetPrinter(FDevice, FDriver, FPort, DeviceMode);
        if (!DeviceMode)
            FPrinter->GetPrinter(FDevice, FDriver, FPort, DeviceMode);
        GlobalLock(DeviceMode);
        mode = GlobalLock(DeviceMode);
    } catch (const std::exception&) {
        mode = nullptr;
    }
    FHaveDevMode = mode != nullptr;
    if (!mode)
        return;
    FDevModeFields = mode->dmFields;
    try {
        bool cancel = false;
        if (OnGetPrinterSettings)
            OnGetPrinterSettings(this, cancel, mode);
        FDevModeFields = mode->dmFields;
        if (cancel) {
            GlobalUnlock(DeviceMode);
            return;
        }
        ReadFromDevMode(*mode);
        GlobalUnlock(DeviceMode);
        FIndex = FPrinter->PrinterIndex();
    } catch (const std::exception&) {
        // A printer that fails half-way cannot be trusted for the setters' tests.
        FPrinter = nullptr;
    }
}

void TPrinterSettings::ReadFromDevMode(DEVMODEW& Mode)
{
    const HDC dc = FPrinter->Handle();
    FPixelsPerX = GetDeviceCaps(dc, LOGPIXELSX);
    FPixelsPerY = GetDeviceCaps(dc, LOGPIXELSY);
    FCopies = DevModeFieldSupported(DM_COPIES) ? Mode.dmCopies : 1;
    FOutputBin = DevModeFieldSupported(DM_DEFAULTSOURCE) ? BinFromCode(Mode.dmDefaultSource) : TQRBin::First;
    if (DevModeFieldSupported(DM_DUPLEX)) {
        FDuplex = Mode.dmDuplex != DMDUP_SIMPLEX;
        FExtendedDuplex = Mode.dmDuplex;
    }
    FLeftOffset = DotsToTenthsMM(GetDeviceCaps(dc, PHYSICALOFFSETX), FPixelsPerX);
    FTopOffset = DotsToTenthsMM(GetDeviceCaps(dc, PHYSICALOFFSETY), FPixelsPerY);
    FPaperSize = DevModeFieldSupported(DM_PAPERSIZE) ? PaperSizeFromCode(Mode.dmPaperSize) : TQRPaperSize::Default;
    FPaperWidth = DotsToTenthsMM(GetDeviceCaps(dc, PHYSICALWIDTH), FPixelsPerX);
    FPaperLength = DotsToTenthsMM(GetDeviceCaps(dc, PHYSICALHEIGHT), FPixelsPerY);
    ReadPaperSizes(Mode);
    FPrintQuality = Mode.dmPrintQuality;
    FCollate = Mode.dmCollate;
    FColorOption = Mode.dmColor;
}

void TPrinterSettings::ReadPaperSizes(const DEVMODEW& Mode)
{
    const int n = DeviceCapabilitiesW(FDevice, FPort, DC_PAPERS, nullptr, &Mode);
    if (n >= 0) {
        std::vector<int16_t> codes(static_cast<size_t>(n), 0);
        FPaperSizes.fill(false);
        const int got = DeviceCapabilitiesW(FDevice, FPort, DC_PAPERS, codes.data(), &Mode);
        const int used = got < 0 ? 0 : (got < n ? got : n);
        for (int i = 0; i < used; ++i) {
            for (int s = 1; s < QRPaperSizeCount; ++s) {
                if (PaperCodes[s] == codes[static_cast<size_t>(i)]) {
                    FPaperSizes[static_cast<size_t>(s - 1)] = true;
                    break;
                }
            }
        }
    }
    FPaperSizes[static_cast<size_t>(QRPaperSizeCount - 2)] = true; // Custom
}

void TPrinterSettings::ApplySettings()
{
    // Without a printer, or one that yields no device mode, there is nothing
    // to write into.
    if (!FPrinter)
        return;
    FPrinter->GetPrinter(FDevice, FDriver, FPort, DeviceMode);
    DEVMODEW* mode = GlobalLock(DeviceMode);
    if (!mode)
        return;
    FHaveDevMode = true;
    const auto announced = [mode](uint32_t Field) { return (mode->dmFields & Field) == Field; };
    mode->dmFields |= DM_PAPERLENGTH;
    mode->dmPaperLength = static_cast<int16_t>(PaperLength());
    mode->dmFields |= DM_PAPERWIDTH;
    mode->dmPaperWidth = static_cast<int16_t>(PaperWidth());
    if (announced(DM_PAPERSIZE) && FPaperSize != TQRPaperSize::Default)
        mode->dmPaperSize = static_cast<int16_t>(FUseCustomPaperCode ? FCustomPaperCode
                                                                     : PaperCodes[static_cast<int>(FPaperSize)]);
    mode->dmFields |= DM_COPIES;
    mode->dmCopies = static_cast<int16_t>(FCopies);
    if (announced(DM_DUPLEX))
        mode->dmDuplex = static_cast<int16_t>(FExtendedDuplex != 0 ? FExtendedDuplex
                                                                   : (FDuplex ? DMDUP_HORIZONTAL : DMDUP_SIMPLEX));
    mode->dmFields |= DM_DEFAULTSOURCE;
    mode->dmDefaultSource = static_cast<int16_t>(FUseCustomBinCode ? FCustomBinCode
                                                                   : BinCodes[static_cast<int>(FOutputBin)]);
    mode->dmFields |= DM_ORIENTATION;
    mode->dmOrientation = FOrientation == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    if (announced(DM_COLLATE))
        mode->dmCollate = static_cast<int16_t>(FCollate);
    bool cancel = false;
    if (OnApplyPrinterSettings)
        OnApplyPrinterSettings(this, cancel, mode);
    FDevModeFields = mode->dmFields;
    if (!cancel)
        FPrinter->SetPrinter(FDevice, FDriver, FPort, DeviceMode);
    GlobalUnlock(DeviceMode);
}

void TPrinterSettings::ResetPrinterDeviceMode(TPrinter& APrinter)
{
    QString device, driver, port;
    HGLOBAL discarded = nullptr;
    APrinter.GetPrinter(device, driver, port, discarded);
    APrinter.SetPrinter(device, driver, port, nullptr);
}

bool TPrinterSettings::GetPaperSizeSupported(TQRPaperSize PaperSize) const
{
    const int i = static_cast<int>(PaperSize);
    // Default stands for "whatever the printer has", which every printer has.
    if (i == 0)
        return true;
    return i < QRPaperSizeCount && FPaperSizes[static_cast<size_t>(i - 1)];
}

bool TPrinterSettings::DevModeFieldSupported(uint32_t Fields) const
{
    return FPrinter && FHaveDevMode && (FDevModeFields & Fields) == Fields;
}

void TPrinterSettings::SetCopies(int Value)
{
    if (DevModeFieldSupported(DM_COPIES))
        FCopies = Value;
}

void TPrinterSettings::SetDuplex(bool Value)
{
    if (DevModeFieldSupported(DM_DUPLEX))
        FDuplex = Value;
}

void TPrinterSettings::SetOrientation(TPrinterOrientation Value)
{
    if (DevModeFieldSupported(DM_ORIENTATION))
        FOrientation = Value;
}

void TPrinterSettings::SetOutputBin(TQRBin Value)
{
    if (DevModeFieldSupported(DM_DEFAULTSOURCE))
        FOutputBin = Value;
}

void TPrinterSettings::SetPaperSize(TQRPaperSize Value)
{
    if (GetPaperSizeSupported(Value))
        FPaperSize = Value;
}

int TPrinterSettings::PaperWidth() const
{
    if (FPaperSize == TQRPaperSize::Default || FPaperSize == TQRPaperSize::Custom)
        return FPaperWidth;
    return PaperTenthsMM(PaperDimensions[static_cast<int>(FPaperSize)].Width);
}

int TPrinterSettings::PaperLength() const
{
    if (FPaperSize == TQRPaperSize::Default || FPaperSize == TQRPaperSize::Custom)
        return FPaperLength;
    return PaperTenthsMM(PaperDimensions[static_cast<int>(FPaperSize)].Height);
}

void TPrinterSettings::SetDetectedPaper(TQRPaperSize Size, TPrinterOrientation Orientation)
{
    if (static_cast<int>(Size) < QRPaperSizeCount)
        FPaperSize = Size;
    FOrientation = Orientation;
}
