// SPDX-License-Identifier: GPL-3.0-or-later
#include "document_helpers.h"
#include "printer/printersettings.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t AllFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE | DM_DUPLEX | DM_COLLATE;

class PrinterSettingsTest : public ::testing::Test {
protected:
    void TearDown() override { SetActivePrintBackend(nullptr); }

    // A printer object on the backend's default printer.
    TPrinter& Attach(TPrinterSettings& Settings)
    {
        Backend.Activate();
        Settings.SetPrinter(&Device);
        return Device;
    }

    TFakePrintBackend Backend;
    TPrinter Device;
};

TEST_F(PrinterSettingsTest, FreshSettingsWithoutPrinterAreA4AndRefuseChanges)
{
    TPrinterSettings s;
    EXPECT_EQ(s.PaperSize(), TQRPaperSize::A4);
    EXPECT_EQ(s.PaperWidth(), 2100);
    EXPECT_EQ(s.PaperLength(), 2970);
    EXPECT_EQ(s.Copies(), 0);
    EXPECT_EQ(s.MemoryLimit(), 250000);
    s.SetCopies(2);
    s.SetDuplex(true);
    s.SetOrientation(poLandscape);
    s.SetOutputBin(TQRBin::Manual);
    s.SetPaperSize(TQRPaperSize::Letter);
    EXPECT_EQ(s.Copies(), 0);
    EXPECT_FALSE(s.Duplex());
    EXPECT_EQ(s.Orientation(), poPortrait);
    EXPECT_EQ(s.OutputBin(), TQRBin::First);
    EXPECT_EQ(s.PaperSize(), TQRPaperSize::A4);
    s.SetPaperSize(TQRPaperSize::Default);
    EXPECT_EQ(s.PaperSize(), TQRPaperSize::Default);
    s.ApplySettings(); // nothing to write into, and no crash
}

TEST_F(PrinterSettingsTest, ReadsResolutionOffsetsSheetAndPaperList)
{
    TPrinterCaps& p = Backend.Add("laser", AllFields, {1, 9, 256});
    p.Defaults.dmCopies = 3;
    p.Defaults.dmPrintQuality = 600;
    p.Defaults.dmCollate = 1;
    p.Defaults.dmColor = 2;
    TPrinterSettings s;
    Attach(s);
    EXPECT_EQ(s.PixelsPerX(), 600);
    EXPECT_EQ(s.LeftOffset(), 42); // 100 dots at 600 dpi = 42.33
    EXPECT_EQ(s.TopOffset(), 51);  // 120 dots = 50.8
    EXPECT_EQ(s.Copies(), 3);
    EXPECT_EQ(s.PaperSize(), TQRPaperSize::A4);
    EXPECT_EQ(s.PrintQuality(), 600);
    EXPECT_EQ(s.Collate(), 1);
    EXPECT_EQ(s.ColorOption(), 2);
    EXPECT_EQ(s.Driver(), QStringLiteral("laser driver"));
    EXPECT_EQ(s.Index(), 0);
    EXPECT_TRUE(s.PaperSizeSupported(TQRPaperSize::Letter));
    EXPECT_TRUE(s.PaperSizeSupported(TQRPaperSize::Custom));
    EXPECT_FALSE(s.PaperSizeSupported(TQRPaperSize::A3));
    s.SetPaperSize(TQRPaperSize::A3);
    EXPECT_EQ(s.PaperSize(), TQRPaperSize::A4);
    s.SetPaperSize(TQRPaperSize::Custom);
    EXPECT_EQ(s.PaperSize(), TQRPaperSize::Custom);
    EXPECT_EQ(s.PaperWidth(), 2100);  // 4961 dots = 2100.1
    EXPECT_EQ(s.PaperLength(), 2970); // 7016 dots = 2969.9
}

TEST_F(PrinterSettingsTest, CopiesFollowWhetherTheDriverMakesThem)
{
    Backend.Add("copies", AllFields).Defaults.dmCopies = 1;
    Backend.Add("nocopies", AllFields & ~DM_COPIES).Defaults.dmCopies = 5;
    for (int index : {0, 1}) {
        Backend.Default = index;
        TPrinter device;
        Backend.Activate();
        TPrinterSettings s;
        s.SetPrinter(&device);
        s.SetCopies(2);
        EXPECT_EQ(s.Copies(), index == 0 ? 2 : 1) << index;
    }
}

TEST_F(PrinterSettingsTest, DuplexCodesReadAndWriteBack)
{
    struct Case {
        int16_t Code;
        bool Duplex;
        int16_t Written;
    };
    for (const Case& c : {Case{1, false, 1}, Case{2, true, 2}, Case{3, true, 3}}) {
        TFakePrintBackend backend;
        backend.Add("duplex", AllFields).Defaults.dmDuplex = c.Code;
        backend.Activate();
        TPrinter device;
        TPrinterSettings s;
        s.SetPrinter(&device);
        EXPECT_EQ(s.Duplex(), c.Duplex) << c.Code;
        EXPECT_EQ(s.ExtendedDuplex(), c.Code);
        s.ApplySettings();
        EXPECT_EQ(device.DevMode()->dmDuplex, c.Written);
        s.SetExtendedDuplex(0);
        s.SetDuplex(true);
        s.ApplySettings();
        EXPECT_EQ(device.DevMode()->dmDuplex, DMDUP_HORIZONTAL) << c.Code;
        SetActivePrintBackend(nullptr);
    }
}

TEST_F(PrinterSettingsTest, BinCodesReadAsTheFirstBinWithThatCode)
{
    struct Case {
        int16_t Code;
        TQRBin Bin;
        int16_t Written;
    };
    for (const Case& c : {Case{1, TQRBin::First, 1}, Case{14, TQRBin::Cassette, 14}, Case{15, TQRBin::First, 1},
                          Case{260, TQRBin::First, 1}}) {
        TFakePrintBackend backend;
        backend.Add("bins", AllFields).Defaults.dmDefaultSource = c.Code;
        backend.Activate();
        TPrinter device;
        TPrinterSettings s;
        s.SetPrinter(&device);
        EXPECT_EQ(s.OutputBin(), c.Bin) << c.Code;
        s.ApplySettings();
        EXPECT_EQ(device.DevMode()->dmDefaultSource, c.Written) << c.Code;
        SetActivePrintBackend(nullptr);
    }
}

// What the printer receives for each bin, and what it reads back as when a
// printer starts with that code: the design's Upper is First's code, and
// Last is Cassette's.
TEST_F(PrinterSettingsTest, EachBinReachesThePrinterAsItsDeviceCode)
{
    const struct {
        TQRBin Bin;
        int16_t Code;
        TQRBin ReadBack;
    } bins[] = {
        {TQRBin::First, 1, TQRBin::First},
        {TQRBin::Upper, 1, TQRBin::First},
        {TQRBin::Lower, 2, TQRBin::Lower},
        {TQRBin::Middle, 3, TQRBin::Middle},
        {TQRBin::Manual, 4, TQRBin::Manual},
        {TQRBin::Envelope, 5, TQRBin::Envelope},
        {TQRBin::EnvManual, 6, TQRBin::EnvManual},
        {TQRBin::Auto, 7, TQRBin::Auto},
        {TQRBin::Tractor, 8, TQRBin::Tractor},
        {TQRBin::SmallFormat, 9, TQRBin::SmallFormat},
        {TQRBin::LargeFormat, 10, TQRBin::LargeFormat},
        {TQRBin::LargeCapacity, 11, TQRBin::LargeCapacity},
        {TQRBin::Cassette, 14, TQRBin::Cassette},
        {TQRBin::Last, 14, TQRBin::Cassette},
    };
    static_assert(sizeof bins / sizeof bins[0] == QRBinCount, "every bin");
    Backend.Add("bins", AllFields);
    TPrinterSettings s;
    TPrinter& device = Attach(s);
    for (const auto& b : bins) {
        s.SetOutputBin(b.Bin);
        s.ApplySettings();
        EXPECT_EQ(device.DevMode()->dmDefaultSource, b.Code) << int(b.Bin);
    }
    for (const auto& b : bins) {
        TFakePrintBackend backend;
        backend.Add("bins", AllFields).Defaults.dmDefaultSource = b.Code;
        backend.Activate();
        TPrinter other;
        TPrinterSettings read;
        read.SetPrinter(&other);
        EXPECT_EQ(read.OutputBin(), b.ReadBack) << b.Code;
        SetActivePrintBackend(nullptr);
    }
}

TEST_F(PrinterSettingsTest, UnknownPaperCodesReadAsDefaultAnd256AsCustom)
{
    struct Case {
        int16_t Code;
        TQRPaperSize Size;
    };
    for (const Case& c : {Case{256, TQRPaperSize::Custom}, Case{300, TQRPaperSize::Default}}) {
        TFakePrintBackend backend;
        backend.Add("paper", AllFields, {9}).Defaults.dmPaperSize = c.Code;
        backend.Activate();
        TPrinter device;
        TPrinterSettings s;
        s.SetPrinter(&device);
        EXPECT_EQ(s.PaperSize(), c.Size) << c.Code;
        EXPECT_EQ(s.PaperWidth(), 2100); // the printer's physical sheet
        s.ApplySettings();
        EXPECT_EQ(device.DevMode()->dmPaperSize, c.Code) << "left unchanged for Default and kept for Custom";
        SetActivePrintBackend(nullptr);
    }
}

TEST_F(PrinterSettingsTest, ApplyWritesExplicitSheetSizeAndAnnouncedPaperCode)
{
    Backend.Add("laser", AllFields, AllPaperCodes());
    TPrinterSettings s;
    TPrinter& device = Attach(s);
    s.SetPaperSize(TQRPaperSize::Letter);
    s.SetOrientation(poLandscape);
    s.SetCopies(4);
    s.SetOutputBin(TQRBin::Manual);
    s.SetCollate(0);
    s.ApplySettings();
    const DEVMODEW& m = *device.DevMode();
    EXPECT_EQ(m.dmPaperSize, 1);
    EXPECT_EQ(m.dmPaperWidth, 2159);
    EXPECT_EQ(m.dmPaperLength, 2794);
    EXPECT_EQ(m.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(m.dmCopies, 4);
    EXPECT_EQ(m.dmDefaultSource, 4);
    EXPECT_EQ(m.dmCollate, 0);
    EXPECT_EQ(m.dmFields & (DM_PAPERWIDTH | DM_PAPERLENGTH), DM_PAPERWIDTH | DM_PAPERLENGTH);
    s.SetUseCustomPaperCode(true);
    s.SetCustomPaperCode(300);
    s.SetUseCustomBinCode(true);
    s.SetCustomBinCode(260);
    s.ApplySettings();
    EXPECT_EQ(device.DevMode()->dmPaperSize, 300);
    EXPECT_EQ(device.DevMode()->dmDefaultSource, 260);
}

TEST_F(PrinterSettingsTest, PrinterWithoutPaperSizesGetsOnlyWidthAndLength)
{
    Backend.Add("roll", DM_ORIENTATION | DM_COPIES).Defaults.dmPaperSize = 9;
    TPrinterSettings s;
    TPrinter& device = Attach(s);
    EXPECT_EQ(s.PaperSize(), TQRPaperSize::Default);
    s.SetPaperWidth(800);
    s.SetPaperLength(1200);
    s.ApplySettings();
    EXPECT_EQ(device.DevMode()->dmPaperSize, 9);
    EXPECT_EQ(device.DevMode()->dmPaperWidth, 800);
    EXPECT_EQ(device.DevMode()->dmPaperLength, 1200);
    // Bits that ApplySettings added count as announced from now on.
    s.SetOutputBin(TQRBin::Lower);
    EXPECT_EQ(s.OutputBin(), TQRBin::Lower);
}

TEST_F(PrinterSettingsTest, EventsSeeTheDeviceModeAndMayCancel)
{
    Backend.Add("laser", AllFields).Defaults.dmCopies = 2;
    TPrinterSettings s;
    s.OnGetPrinterSettings = [](TPrinterSettings*, bool& Cancel, DEVMODEW* Mode) {
        EXPECT_EQ(Mode->dmCopies, 2);
        Cancel = true;
    };
    TPrinter& device = Attach(s);
    EXPECT_EQ(s.Copies(), 0) << "a cancelled read keeps the fields";
    EXPECT_EQ(s.Index(), -1);
    s.OnGetPrinterSettings = nullptr;
    s.ReadPrinterSettings();
    EXPECT_EQ(s.Copies(), 2);

    s.SetCopies(5);
    int16_t seen = 0;
    s.OnApplyPrinterSettings = [&seen](TPrinterSettings*, bool& Cancel, DEVMODEW* Mode) {
        seen = Mode->dmCopies;
        Cancel = true;
    };
    s.ApplySettings();
    EXPECT_EQ(seen, 5);
    TPrinterSettings::ResetPrinterDeviceMode(device);
    EXPECT_EQ(device.DevMode()->dmCopies, 2) << "a reset forgets the changed record";
}

TEST_F(PrinterSettingsTest, PrinterWithoutResolutionDetachesTheSettings)
{
    Backend.Add("broken", AllFields).DpiX = 0;
    TPrinterSettings s;
    Attach(s);
    EXPECT_EQ(s.Printer(), nullptr);
    s.SetCopies(3);
    EXPECT_NE(s.Copies(), 3);
}

} // namespace
