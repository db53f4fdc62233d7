// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/cupsqueue.h"
#include "platform/print/sheetgeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(PrinterSheet, PaperCodesGiveWindowsSheetSizes)
{
    struct Case {
        int Code;
        double W, H;
    } cases[] = {
        {1, 215.9, 279.4}, {5, 215.9, 355.6}, {8, 297, 420},
        {9, 210, 297},     {11, 148, 210},    {14, 215.9, 330.2}, // Folio, which Qt does not map
        {13, 182, 257},                                           // JIS B5
    };
    for (const Case& c : cases) {
        QSizeF mm;
        ASSERT_TRUE(PaperCodeSizeMm(c.Code, mm)) << c.Code;
        EXPECT_NEAR(mm.width(), c.W, 0.2) << c.Code;
        EXPECT_NEAR(mm.height(), c.H, 0.2) << c.Code;
    }
    for (int code : {0, 48, 49, 256, 300, -5}) {
        QSizeF mm;
        EXPECT_FALSE(PaperCodeSizeMm(code, mm)) << code;
    }
}

TEST(PrinterSheet, ExplicitWidthAndLengthWinOverThePaperCode)
{
    DEVMODEW m;
    m.dmFields = DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH;
    m.dmPaperSize = 9;
    m.dmPaperWidth = 1000;
    m.dmPaperLength = 1500;
    EXPECT_EQ(DevModeSheetMm(m, QSizeF(1, 1)), QSizeF(100, 150));

    m.dmFields = DM_PAPERSIZE | DM_PAPERWIDTH; // length not announced
    EXPECT_EQ(DevModeSheetMm(m, QSizeF(1, 1)), QSizeF(210, 297));
    m.dmFields = DM_PAPERWIDTH | DM_PAPERLENGTH;
    m.dmPaperLength = 0;
    EXPECT_EQ(DevModeSheetMm(m, QSizeF(1, 1)), QSizeF(1, 1));
    m.dmFields = DM_PAPERSIZE;
    m.dmPaperSize = 300; // a driver's own code
    EXPECT_EQ(DevModeSheetMm(m, QSizeF(100, 150)), QSizeF(100, 150));
}

TEST(PrinterSheet, GeometryTurnsSheetAndMarginsForLandscape)
{
    struct Case {
        QSizeF Mm;
        bool Landscape;
        int Dpi, OffX, OffY;
        int W, H, OX, OY, PW, PH;
    } cases[] = {
        {{210, 297}, false, 600, 100, 120, 4961, 7016, 100, 120, 4761, 6776},
        {{210, 297}, true, 600, 100, 120, 7016, 4961, 120, 100, 6776, 4761},
        {{210, 297}, false, 1200, 0, 0, 9921, 14031, 0, 0, 9921, 14031},
        // Margins wider than the sheet are clamped, never negative areas.
        {{10, 10}, false, 254, 500, 3, 100, 100, 49, 3, 2, 94},
    };
    for (const Case& c : cases) {
        TSheetGeometry g = MakeSheetGeometry(c.Mm, c.Landscape, c.Dpi, c.Dpi, c.OffX, c.OffY);
        EXPECT_EQ(g.Width, c.W);
        EXPECT_EQ(g.Height, c.H);
        EXPECT_EQ(g.OffsetX, c.OX);
        EXPECT_EQ(g.OffsetY, c.OY);
        EXPECT_EQ(g.PageWidth, c.PW);
        EXPECT_EQ(g.PageHeight, c.PH);
    }
}

TEST(PrinterSheet, OrientationNeedsItsFieldBit)
{
    DEVMODEW m;
    m.dmOrientation = DMORIENT_LANDSCAPE;
    m.dmFields = 0;
    EXPECT_FALSE(DevModeLandscape(m));
    m.dmFields = DM_ORIENTATION;
    EXPECT_TRUE(DevModeLandscape(m));
}

TEST(PrinterSheet, InputSlotsMapToWindowsBinCodes)
{
    struct Case {
        const char* Slot;
        int Position;
        int Code;
    } cases[] = {
        {"Upper", 0, 1},          {"Tray1", 0, 1},   {"Lower", 1, 2},       {"Manual", 2, 4},
        {"ManualFeed", 2, 4},     {"Auto", 0, 7},    {"auto-select", 0, 7}, {"Cassette", 3, 14},
        {"LargeCapacity", 4, 11}, {"Tray7", 0, 257}, {"PhotoTray", 5, 262},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BinCodeForInputSlot(c.Slot, c.Position), c.Code) << c.Slot;
}

TEST(PrinterSheet, PpdInputSlotsAreReadInOrderWithTheirDefault)
{
    QByteArray ppd = "*PPD-Adobe: \"4.3\"\n"
                     "*OpenUI *InputSlot/Media Source: PickOne\n"
                     "*DefaultInputSlot: Lower\n"
                     "*InputSlot Upper/Tray 1: \"<</MediaPosition 1>>setpagedevice\"\n"
                     "*InputSlot Lower/Tray 2: \"<</MediaPosition 2>>setpagedevice\"\n"
                     "*InputSlot Upper/again: \"\"\n"
                     "*CloseUI: *InputSlot\n";
    QStringList inputSlots;
    QString def;
    ParsePpdInputSlots(ppd, inputSlots, def);
    EXPECT_EQ(inputSlots, QStringList({"Upper", "Lower"}));
    EXPECT_EQ(def, "Lower");
}

} // namespace
