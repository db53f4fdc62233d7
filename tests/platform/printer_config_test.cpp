// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/virtualconfig.h"

#include <gtest/gtest.h>

namespace {

TEST(PrinterConfig, ReadsEveryKeyOfAPrinter)
{
    TVirtualConfig c = ParseVirtualConfig("output = jobs\n"
                                          "# comment\n"
                                          "[Laser]\n"
                                          "driver = PCL 5\n"
                                          "port = LPT1:\n"
                                          "resolution = 600x300\n"
                                          "papers = 1, 9 256\n"
                                          "bins = 1 14\n"
                                          "copies = no\n"
                                          "duplex = yes\n"
                                          "sheet = 100x150\n"
                                          "offset = 10 20\n"
                                          "mode.paper = 256\n"
                                          "mode.width = 1000\n"
                                          "mode.length = 1500\n"
                                          "mode.orientation = landscape\n"
                                          "mode.duplex = 3\n"
                                          "; another comment\n"
                                          "[Second]\n"
                                          "default = yes\n",
                                          "t.ini");
    ASSERT_EQ(c.Printers.size(), 2u);
    EXPECT_EQ(c.Output, "jobs");
    EXPECT_EQ(c.DefaultIndex, 1);
    const TVirtualPrinter& p = c.Printers[0];
    EXPECT_EQ(p.Caps.Name, "Laser");
    EXPECT_EQ(p.Caps.Driver, "PCL 5");
    EXPECT_EQ(p.Caps.Port, "LPT1:");
    EXPECT_EQ(p.Caps.DpiX, 600);
    EXPECT_EQ(p.Caps.DpiY, 300);
    EXPECT_EQ(p.Caps.PaperCodes, (std::vector<int16_t>{1, 9, 256}));
    EXPECT_EQ(p.Caps.Bins, (std::vector<int16_t>{1, 14}));
    EXPECT_FALSE(p.Caps.Copies);
    EXPECT_TRUE(p.Caps.Duplex);
    EXPECT_EQ(p.SheetMm, QSizeF(100, 150));
    EXPECT_EQ(p.OffsetX, 10);
    EXPECT_EQ(p.OffsetY, 20);
    const DEVMODEW& m = p.Caps.Defaults;
    EXPECT_EQ(m.dmPaperSize, 256);
    EXPECT_EQ(m.dmPaperWidth, 1000);
    EXPECT_EQ(m.dmPaperLength, 1500);
    EXPECT_EQ(m.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(m.dmDuplex, DMDUP_HORIZONTAL);
    EXPECT_EQ(m.dmDefaultSource, 1); // the first bin when none is named
    EXPECT_EQ(m.dmPrintQuality, 600);
}

TEST(PrinterConfig, AnnouncedFieldsFollowWhatThePrinterOffers)
{
    TVirtualConfig c = ParseVirtualConfig("[Full]\ncopies = yes\nduplex = yes\nbins = 7\n"
                                          "[Bare]\ncopies = no\ncollate = no\n"
                                          "[Spelled]\nmode.fields = 0x0102\n",
                                          "t.ini");
    const uint32_t always = DM_ORIENTATION | DM_PAPERSIZE | DM_PRINTQUALITY | DM_COLOR;
    EXPECT_EQ(c.Printers[0].Caps.Defaults.dmFields, always | DM_COPIES | DM_DUPLEX | DM_DEFAULTSOURCE | DM_COLLATE);
    EXPECT_EQ(c.Printers[1].Caps.Defaults.dmFields, always);
    EXPECT_EQ(c.Printers[2].Caps.Defaults.dmFields, DM_PAPERSIZE | DM_COPIES);
    EXPECT_EQ(c.DefaultIndex, -1);
}

TEST(PrinterConfig, BadLinesAreReportedWithFileLineAndReason)
{
    struct Case {
        const char* Text;
        const char* Message;
    } cases[] = {
        {"[A]\ncolour = red\n", "t.ini:2: unknown key \"colour\""},
        {"driver = x\n", "t.ini:1: \"driver\" belongs in a [Printer name] section"},
        {"[A]\nnonsense\n", "t.ini:2: expected key = value"},
        {"[A\n", "t.ini:1: a printer section is written [Printer name]"},
        {"[]\n", "t.ini:1: a printer section"},
        {"[A]\n[A]\n", "t.ini:2: printer \"A\" is described twice"},
        {"[A]\ndefault = yes\n[B]\ndefault = yes\n", "t.ini:4: only one printer can be the default"},
        {"[A]\ncopies = maybe\n", "t.ini:2: expected yes or no"},
        {"[A]\nresolution = 0\n", "t.ini:2: expected one or two numbers from 1 to 9600"},
        {"[A]\nresolution = 600x\n", "t.ini:2: expected one or two numbers"},
        {"[A]\nresolution = 1e300\n", "t.ini:2: expected one or two numbers"},
        {"[A]\nsheet = nan\n", "t.ini:2: expected one or two numbers"},
        {"[A]\npapers = 9 40000\n", "t.ini:2: expected a whole number from 1 to 32767"},
        {"[A]\nbins = -1\n", "t.ini:2: expected a whole number"},
        {"[A]\nmode.duplex = 4\n", "t.ini:2: expected a whole number from 1 to 3"},
        {"[A]\nmode.orientation = sideways\n", "t.ini:2: expected portrait or landscape"},
        {"[A]\nmode.fields = 0x10000\n", "t.ini:2: expected a whole number"},
    };
    for (const Case& c : cases) {
        try {
            ParseVirtualConfig(c.Text, "t.ini");
            ADD_FAILURE() << "accepted: " << c.Text;
        } catch (const EPrinter& e) {
            EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << e.what();
        }
    }
}

TEST(PrinterConfig, MissingFileIsNamedInTheError)
{
    try {
        LoadVirtualConfig("/nonexistent/printers.ini");
        ADD_FAILURE();
    } catch (const EPrinter& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/printers.ini"), std::string::npos);
    }
}

} // namespace
