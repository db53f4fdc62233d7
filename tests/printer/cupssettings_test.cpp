// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/cupsbackend.h"
#include "printer/qrprinter.h"

#include <gtest/gtest.h>

namespace {

// Needs a running CUPS server with at least one queue (scripts/cups-start.sh).
TEST(CupsPrinterSettings, DocumentReadsARealQueuesCapabilities)
{
    TCupsBackend cups;
    if (cups.Printers().empty())
        GTEST_SKIP() << "no CUPS queue is installed; start one with scripts/cups-start.sh";
    SetActivePrintBackend(&cups);
    {
        TQRPrinter doc;
        ASSERT_TRUE(doc.PrinterOK());
        const TPrinterSettings& s = *doc.aPrinterSettings;
        ASSERT_NE(s.Printer(), nullptr) << "the read must not fail";
        EXPECT_GT(s.PixelsPerX(), 0);
        EXPECT_GT(s.PaperWidth(), 0);
        EXPECT_GT(s.PaperLength(), 0);
        EXPECT_GE(s.LeftOffset(), 0);
        EXPECT_TRUE(s.PaperSizeSupported(TQRPaperSize::A4) || s.PaperSizeSupported(TQRPaperSize::Letter));
        EXPECT_TRUE(s.PaperSizeSupported(TQRPaperSize::Custom));
        EXPECT_EQ(doc.Printers().size(), static_cast<int>(cups.Printers().size()));
        EXPECT_EQ(s.Device(), doc.Printers().at(doc.PrinterIndex()));
        const bool copies = doc.PrinterObject().Selected()->Copies;
        doc.SetCopies(2);
        EXPECT_EQ(doc.Copies(), copies ? 2 : 1);
        doc.aPrinterSettings->ApplySettings();
        EXPECT_EQ(doc.PrinterObject().DevMode()->dmCopies, copies ? 2 : 1);
        EXPECT_TRUE(doc.PrinterObject().DevMode()->dmFields & DM_PAPERWIDTH);
    }
    SetActivePrintBackend(nullptr);
}

} // namespace
