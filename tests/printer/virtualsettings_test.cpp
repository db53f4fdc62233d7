// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/virtualbackend.h"
#include "printer/qrprinter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(VirtualPrinterSettings, DocumentFollowsCopiesDuplexAndBinsOfEachPrinter)
{
    QTemporaryDir dir;
    const QString config = dir.filePath("printers.ini");
    {
        QFile f(config);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Office]\nresolution = 600\npapers = 1 9 11\nbins = 1 2 4\ncopies = yes\nduplex = yes\n"
                "mode.duplex = 2\nmode.source = 4\noffset = 100 120\n"
                "[Kiosk]\nresolution = 300\npapers = 9\ncopies = no\ndefault = yes\n");
    }
    TVirtualBackend backend(config, dir.filePath("jobs"));
    SetActivePrintBackend(&backend);
    {
        TQRPrinter doc;
        ASSERT_TRUE(doc.PrinterOK());
        EXPECT_EQ(doc.PrinterIndex(), 1);
        doc.SetCopies(3);
        EXPECT_EQ(doc.Copies(), 1) << "the kiosk's driver makes no copies";
        doc.SetDuplex(true);
        EXPECT_FALSE(doc.Duplex());
        EXPECT_EQ(doc.aPrinterSettings->PixelsPerX(), 300);

        doc.SetPrinterIndex(0);
        EXPECT_EQ(doc.aPrinterSettings->PixelsPerX(), 600);
        EXPECT_EQ(doc.aPrinterSettings->LeftOffset(), 42);
        EXPECT_TRUE(doc.Duplex());
        EXPECT_EQ(doc.ExtendedDuplex(), 2);
        EXPECT_EQ(doc.OutputBin(), TQRBin::Manual);
        doc.SetCopies(3);
        EXPECT_EQ(doc.Copies(), 3);
        doc.SetPaperSize(TQRPaperSize::A5);
        doc.aPrinterSettings->ApplySettings();
        const DEVMODEW& m = *doc.PrinterObject().DevMode();
        EXPECT_EQ(m.dmCopies, 3);
        EXPECT_EQ(m.dmDuplex, DMDUP_VERTICAL);
        EXPECT_EQ(m.dmDefaultSource, 4);
        EXPECT_EQ(m.dmPaperSize, 11);
        EXPECT_EQ(m.dmPaperWidth, 1480);
        EXPECT_EQ(m.dmPaperLength, 2100);
    }
    SetActivePrintBackend(nullptr);
}

} // namespace
