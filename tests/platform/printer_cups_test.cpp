// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/cupsbackend.h"
#include "platform/print/printer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPrinterInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Uses the machine's CUPS server; scripts/cups-start.sh starts one with the
// qrp-pdf (default, copies by the driver) and qrp-file (no copies) queues.
class PrinterCups : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QPrinterInfo::availablePrinterNames().isEmpty())
            GTEST_SKIP() << "no CUPS server with a print queue is running (scripts/cups-start.sh starts one as root)";
        SetActivePrintBackend(&Backend);
    }
    void TearDown() override { SetActivePrintBackend(nullptr); }

    const TPrinterCaps* Find(const QString& Name)
    {
        for (const TPrinterCaps& c : Backend.Printers())
            if (c.Name == Name)
                return &c;
        return nullptr;
    }

    TCupsBackend Backend;
};

TEST_F(PrinterCups, ListsQueuesInNameOrderWithTheDefaultSelected)
{
    TPrinter p;
    QStringList names = p.Printers();
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(names, sorted);
    ASSERT_GE(p.PrinterIndex(), 0);
    if (!QPrinterInfo::defaultPrinterName().isEmpty()) {
        EXPECT_EQ(names[p.PrinterIndex()], QPrinterInfo::defaultPrinterName());
    }
}

TEST_F(PrinterCups, ReadsARealQueuesCapabilities)
{
    TPrinter p;
    p.SetPrinterIndex(-1);
    const TPrinterCaps* caps = p.Selected();
    ASSERT_NE(caps, nullptr);
    EXPECT_FALSE(caps->PaperCodes.empty()) << caps->Name.toStdString();
    int n = DeviceCapabilitiesW(caps->Name, caps->Port, DC_PAPERS, nullptr, nullptr);
    EXPECT_EQ(n, static_cast<int>(caps->PaperCodes.size()));
    EXPECT_EQ(GetDeviceCaps(p.Handle(), LOGPIXELSX), 1200);
    EXPECT_EQ(GetDeviceCaps(p.Handle(), LOGPIXELSY), 1200);

    // A4 in whole points at 1200 dpi, whatever the queue's default sheet.
    if (std::count(caps->PaperCodes.begin(), caps->PaperCodes.end(), 9)) {
        QString device, driver, port;
        HGLOBAL m = nullptr;
        p.GetPrinter(device, driver, port, m);
        m->dmFields |= DM_PAPERSIZE | DM_ORIENTATION;
        m->dmFields &= ~(DM_PAPERWIDTH | DM_PAPERLENGTH);
        m->dmPaperSize = 9;
        m->dmOrientation = DMORIENT_PORTRAIT;
        EXPECT_EQ(GetDeviceCaps(p.Handle(), PHYSICALWIDTH), 9917);
        EXPECT_EQ(GetDeviceCaps(p.Handle(), PHYSICALHEIGHT), 14033);
        m->dmOrientation = DMORIENT_LANDSCAPE;
        EXPECT_EQ(GetDeviceCaps(p.Handle(), PHYSICALWIDTH), 14033);
        EXPECT_EQ(p.PageWidth() + 2 * GetDeviceCaps(p.Handle(), PHYSICALOFFSETX), 14033);
    }
}

TEST_F(PrinterCups, TellsWhichDriversMakeCopies)
{
    const TPrinterCaps* pdf = Find("qrp-pdf");
    const TPrinterCaps* file = Find("qrp-file");
    if (!pdf || !file)
        GTEST_SKIP() << "the qrp-pdf and qrp-file queues of scripts/cups-start.sh are not set up";
    EXPECT_TRUE(pdf->Copies);
    EXPECT_TRUE(pdf->Defaults.dmFields & DM_COPIES);
    EXPECT_FALSE(file->Copies);
    EXPECT_FALSE(file->Defaults.dmFields & DM_COPIES);
    EXPECT_TRUE(file->Duplex);
    EXPECT_TRUE(file->Defaults.dmFields & DM_DUPLEX);
    EXPECT_EQ(file->Defaults.dmPaperSize, 1); // the Generic PDF PPD defaults to Letter
    EXPECT_EQ(pdf->Defaults.dmPaperSize, 9);
}

} // namespace

namespace {

// Where scripts/cups-start.sh said qrp-pdf writes its PDFs; "" when unknown.
QString CupsPdfDir()
{
    QFile env("/run/qrp-cups/cups.env");
    if (!env.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray& line : env.readAll().split('\n'))
        if (line.startsWith("QRP_CUPS_PDF_DIR="))
            return QString::fromLocal8Bit(line.mid(17));
    return QString();
}

TEST_F(PrinterCups, JobOnThePdfQueueComesOutAsAPdf)
{
    const QString dir = CupsPdfDir();
    if (!Find("qrp-pdf") || dir.isEmpty())
        GTEST_SKIP() << "the qrp-pdf queue of scripts/cups-start.sh is not set up";
    const QString title = QString("qrp-cups-test-%1").arg(QCoreApplication::applicationPid());
    TPrinter p;
    p.SetPrinter("qrp-pdf", "", "", nullptr);
    p.SetTitle(title);
    p.BeginDoc();
    p.Canvas().Rectangle(QRect(0, 0, p.PageWidth() / 2, p.PageHeight() / 2));
    p.NewPage();
    p.EndDoc();
    QStringList found;
    for (int i = 0; i < 300 && found.isEmpty(); ++i) {
        QThread::msleep(100);
        found = QDir(dir).entryList({"*" + title + "*.pdf"}, QDir::Files);
    }
    ASSERT_EQ(found.size(), 1) << "no PDF for " << title.toStdString() << " in " << dir.toStdString();
    QFile::remove(QDir(dir).filePath(found[0]));
}

} // namespace
