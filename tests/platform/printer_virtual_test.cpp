// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/printer.h"
#include "platform/print/virtualprinters.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QString Office()
{
    return TVirtualPrinters::ReadConfig(QRP_TEST_DATA "/printers/office.ini");
}

// "Pages" and "Page size" of pdfinfo, in points.
struct PdfInfo {
    int Pages = 0;
    double Width = 0, Height = 0;
};

PdfInfo ReadPdf(const QString& File)
{
    QProcess p;
    p.start("pdfinfo", {File});
    EXPECT_TRUE(p.waitForFinished(30000));
    QString out = QString::fromUtf8(p.readAllStandardOutput());
    PdfInfo info;
    QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(out);
    info.Pages = m.captured(1).toInt();
    m = QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+) pts").match(out);
    info.Width = m.captured(1).toDouble();
    info.Height = m.captured(2).toDouble();
    return info;
}

void PrintPages(TPrinter& P, int Pages)
{
    P.BeginDoc();
    for (int i = 1; i <= Pages; ++i) {
        if (i > 1)
            P.NewPage();
        P.Canvas().Rectangle(QRect(0, 0, P.PageWidth() / 2, P.PageHeight() / 2));
    }
    P.EndDoc();
}

TEST(PrinterVirtual, WithoutPrintersNothingIsSelectedAndPrintingIsRefused)
{
    TVirtualPrinters none(TVirtualPrinters::ReadConfig(QRP_TEST_DATA "/printers/none.ini"));
    TPrinter p;
    EXPECT_TRUE(p.Printers().isEmpty());
    EXPECT_EQ(p.PrinterIndex(), -1);
    p.SetPrinterIndex(-1);
    EXPECT_EQ(p.PrinterIndex(), -1);
    QString device, driver, port;
    HGLOBAL mode = reinterpret_cast<HGLOBAL>(1);
    p.GetPrinter(device, driver, port, mode);
    EXPECT_EQ(mode, nullptr);
    EXPECT_TRUE(device.isEmpty());
    EXPECT_EQ(GetDeviceCaps(p.Handle(), LOGPIXELSX), 0);
    EXPECT_EQ(p.PageWidth(), 0);
    EXPECT_THROW(p.SetPrinterIndex(0), EPrinter);
    try {
        p.BeginDoc();
        ADD_FAILURE();
    } catch (const EPrinter& e) {
        EXPECT_NE(std::string(e.what()).find("No printer is installed"), std::string::npos);
    }
    EXPECT_FALSE(p.Printing());
    EXPECT_THROW(p.Canvas(), EPrinter);
    EXPECT_THROW(p.NewPage(), EPrinter);
    EXPECT_THROW(p.EndDoc(), EPrinter);
    p.Abort(); // harmless without a job
}

TEST(PrinterVirtual, IndexMinusOneSelectsTheDefaultPrinter)
{
    TVirtualPrinters office(Office());
    TPrinter p;
    EXPECT_EQ(p.Printers(), QStringList({"Laser", "Plain", "Odd Driver"}));
    EXPECT_EQ(p.PrinterIndex(), 0);
    p.SetPrinterIndex(2);
    EXPECT_EQ(p.PrinterIndex(), 2);
    p.SetPrinterIndex(-1);
    EXPECT_EQ(p.PrinterIndex(), 0);
    EXPECT_THROW(p.SetPrinterIndex(3), EPrinter);
    EXPECT_THROW(p.SetPrinterIndex(-2), EPrinter);
    EXPECT_EQ(p.PrinterIndex(), 0);
}

TEST(PrinterVirtual, WithoutAMarkedDefaultTheFirstPrinterIsTaken)
{
    TVirtualPrinters two("[B]\n[A]\n");
    TPrinter p;
    EXPECT_EQ(p.PrinterIndex(), 0);
    EXPECT_EQ(p.Printers().first(), "B");
}

TEST(PrinterVirtual, SetPrinterWithHandleZeroResetsTheDeviceMode)
{
    TVirtualPrinters office(Office());
    TPrinter p;
    QString device, driver, port;
    HGLOBAL handle = nullptr;
    p.GetPrinter(device, driver, port, handle);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(device, "Laser");
    EXPECT_EQ(driver, "Virtual Laser PCL");
    EXPECT_EQ(port, "LPT1:");
    DEVMODEW* m = GlobalLock(handle);
    m->dmOrientation = DMORIENT_LANDSCAPE;
    m->dmCopies = 5;
    p.SetPrinter(device, driver, port, handle);
    EXPECT_EQ(p.DevMode()->dmCopies, 5);

    p.SetPrinter(device, driver, port, nullptr);
    HGLOBAL fresh = nullptr;
    p.GetPrinter(device, driver, port, fresh);
    EXPECT_EQ(fresh, handle); // the same record, so views kept by callers stay valid
    EXPECT_EQ(m->dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(m->dmCopies, 1);
    EXPECT_EQ(m->dmDefaultSource, 7);

    p.SetPrinter("Odd Driver", "", "", nullptr);
    EXPECT_EQ(p.PrinterIndex(), 2);
    EXPECT_EQ(m->dmPaperSize, 300);
    EXPECT_THROW(p.SetPrinter("Missing", "", "", nullptr), EPrinter);
}

TEST(PrinterVirtual, DeviceCapsFollowTheDeviceMode)
{
    TVirtualPrinters office(Office());
    TPrinter p;
    HDC dc = p.Handle();
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 600);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 4961); // A4 at 600 dpi
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 7016);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 100);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETY), 120);
    EXPECT_EQ(GetDeviceCaps(dc, 12345), 0);
    EXPECT_EQ(p.PageWidth(), 4961 - 200);

    QString device, driver, port;
    HGLOBAL handle = nullptr;
    p.GetPrinter(device, driver, port, handle);
    handle->dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
    handle->dmPaperWidth = 1000;
    handle->dmPaperLength = 1500;
    handle->dmOrientation = DMORIENT_LANDSCAPE;
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 3543);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 2362);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 120);

    p.SetPrinterIndex(2); // 600 x 300 dpi, its own code 300 on its own sheet
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 300);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 2362);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 1772);
}

TEST(PrinterVirtual, DcPapersListsThePrintersCodes)
{
    TVirtualPrinters office(Office());
    EXPECT_EQ(DeviceCapabilitiesW("Laser", "LPT1:", DC_PAPERS, nullptr, nullptr), 6);
    std::vector<int16_t> codes(6, 0);
    EXPECT_EQ(DeviceCapabilitiesW("Laser", "LPT1:", DC_PAPERS, codes.data(), nullptr), 6);
    EXPECT_EQ(codes, (std::vector<int16_t>{1, 5, 8, 9, 11, 256}));
    EXPECT_EQ(DeviceCapabilitiesW("Odd Driver", "", DC_BINS, nullptr, nullptr), 3);
    EXPECT_EQ(DeviceCapabilitiesW("Plain", "", DC_BINS, nullptr, nullptr), 0);
    EXPECT_EQ(DeviceCapabilitiesW("Missing", "", DC_PAPERS, nullptr, nullptr), -1);
    EXPECT_EQ(DeviceCapabilitiesW("Laser", "", 999, nullptr, nullptr), -1);
}

TEST(PrinterVirtual, JobBecomesAPdfOfTheDeviceModesSheetAndARecord)
{
    TVirtualPrinters office(Office());
    TPrinter p;
    p.SetTitle("Quarterly");
    QString device, driver, port;
    HGLOBAL m = nullptr;
    p.GetPrinter(device, driver, port, m);
    m->dmFields |= DM_COPIES | DM_COLLATE;
    m->dmCopies = 3;
    m->dmCollate = 0;
    PrintPages(p, 2);
    EXPECT_FALSE(p.Printing());

    m->dmOrientation = DMORIENT_LANDSCAPE;
    m->dmPaperSize = 8; // A3
    m->dmCopies = 1;
    PrintPages(p, 1);

    std::vector<QJsonObject> jobs = office.Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    const QJsonObject& first = jobs[0];
    EXPECT_EQ(first["title"].toString(), "Quarterly");
    EXPECT_EQ(first["printer"].toString(), "Laser");
    EXPECT_EQ(first["pages"].toInt(), 2);
    EXPECT_EQ(first["copies"].toInt(), 3);
    EXPECT_EQ(first["sheets"].toInt(), 6);
    EXPECT_FALSE(first["collate"].toBool());
    EXPECT_EQ(first["devmode"].toObject()["paperSize"].toInt(), 9);
    PdfInfo a4 = ReadPdf(office.PdfOf(first));
    EXPECT_EQ(a4.Pages, 2);
    EXPECT_NEAR(a4.Width, 595.3, 1.5);
    EXPECT_NEAR(a4.Height, 841.9, 1.5);

    const QJsonObject& second = jobs[1];
    EXPECT_EQ(second["devmode"].toObject()["orientation"].toInt(), DMORIENT_LANDSCAPE);
    EXPECT_TRUE(second["sheet"].toObject()["landscape"].toBool());
    PdfInfo a3 = ReadPdf(office.PdfOf(second));
    EXPECT_EQ(a3.Pages, 1);
    EXPECT_NEAR(a3.Width, 1190.6, 1.5);
    EXPECT_NEAR(a3.Height, 841.9, 1.5);
}

TEST(PrinterVirtual, DriverWithoutCopiesPrintsOneCopy)
{
    TVirtualPrinters office(Office());
    TPrinter p;
    p.SetPrinterIndex(1);
    QString device, driver, port;
    HGLOBAL m = nullptr;
    p.GetPrinter(device, driver, port, m);
    EXPECT_FALSE(m->dmFields & DM_COPIES);
    m->dmFields |= DM_COPIES;
    m->dmCopies = 4;
    PrintPages(p, 3);
    std::vector<QJsonObject> jobs = office.Jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0]["copies"].toInt(), 1);
    EXPECT_EQ(jobs[0]["sheets"].toInt(), 3);
    EXPECT_EQ(jobs[0]["devmode"].toObject()["copies"].toInt(), 4);
}

TEST(PrinterVirtual, AbortedJobLeavesNoFiles)
{
    TVirtualPrinters office(Office());
    TPrinter p;
    p.BeginDoc();
    p.Canvas().Rectangle(QRect(0, 0, 10, 10));
    EXPECT_THROW(p.BeginDoc(), EPrinter);
    p.Abort();
    EXPECT_FALSE(p.Printing());
    EXPECT_TRUE(QDir(office.OutputDir()).entryList(QDir::Files).isEmpty());
    // A job left open when the printer object goes away is discarded too.
    {
        TPrinter q;
        q.BeginDoc();
    }
    EXPECT_TRUE(QDir(office.OutputDir()).entryList(QDir::Files).isEmpty());
}

TEST(PrinterVirtual, JobNumbersContinueAfterExistingJobs)
{
    TVirtualPrinters office(Office());
    QDir().mkpath(office.OutputDir());
    QFile old(QDir(office.OutputDir()).filePath("job-0041.pdf"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    TPrinter p;
    PrintPages(p, 1);
    ASSERT_EQ(office.Jobs().size(), 1u);
    EXPECT_EQ(office.Jobs()[0]["pdf"].toString(), "job-0042.pdf");
}

TEST(PrinterVirtual, UnwritableOutputFolderIsReportedAtBeginDoc)
{
    TVirtualPrinters office(Office());
    QFile blocker(office.OutputDir()); // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TPrinter p;
    EXPECT_THROW(p.BeginDoc(), EPrinter);
    EXPECT_FALSE(p.Printing());
}

TEST(PrinterVirtual, PrinterObjectFollowsABackendChange)
{
    TPrinter p;
    {
        TVirtualPrinters office(Office());
        EXPECT_EQ(p.Printers().size(), 3);
        p.SetPrinterIndex(2);
        TVirtualPrinters other("[Only]\n");
        EXPECT_EQ(p.Printers(), QStringList({"Only"}));
        EXPECT_EQ(p.PrinterIndex(), 0);
    }
}

TEST(PrinterVirtual, RefreshKeepsTheSelectedPrinterAndItsDeviceMode)
{
    TVirtualPrinters office(Office());
    TPrinter p;
    p.SetPrinterIndex(1);
    p.SetPrinter("Plain", "", "", nullptr);
    QString device, driver, port;
    HGLOBAL m = nullptr;
    p.GetPrinter(device, driver, port, m);
    m->dmOrientation = DMORIENT_LANDSCAPE;
    QFile config(office.ConfigFile());
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("[New]\ndefault = yes\n[Plain]\n");
    config.close();
    p.Refresh();
    EXPECT_EQ(p.Printers(), QStringList({"New", "Plain"}));
    EXPECT_EQ(p.PrinterIndex(), 1);
    EXPECT_EQ(m->dmOrientation, DMORIENT_LANDSCAPE);

    ASSERT_TRUE(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
    config.write("[New]\ndefault = yes\n");
    config.close();
    p.Refresh(); // the selected printer is gone: back to the default
    EXPECT_EQ(p.PrinterIndex(), 0);
}

} // namespace
