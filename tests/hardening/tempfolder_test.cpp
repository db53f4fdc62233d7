// SPDX-License-Identifier: GPL-3.0-or-later
// Every failure path of the store, the print job and page production runs
// with TMPDIR pointing at an empty folder, which must be empty afterwards.
#include "hardening_helpers.h"
#include "tempfolder.h"

#include "app/printjob.h"
#include "platform/errors.h"
#include "platform/print/virtualprinters.h"
#include "printer/demoreport.h"
#include "printer/qrparentreport.h"
#include "printer/qrprinter.h"
#include "printer/qrprintersettings.h"
#include "store/qrpagelist.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TMetafile SmallPage()
{
    TMetafile page;
    page.LoadFromFile(QRP_TEST_DATA "/emf/gdi-page2.emf");
    return page;
}

// A report whose page 2 is no EMF: it opens, but copying it fails.
QString DamagedReport(const QDir& Dir)
{
    const QString file = Dir.filePath("damaged.qrp");
    QFile::copy(QStringLiteral(QRP_TEST_DATA "/damaged/page-not-emf.qrp"), file);
    return file;
}

// A report definition whose pages spill to the temporary folder at once.
struct TSpillingReport : TQRParentReport {
    TSpillingReport() { Settings.MemoryLimit = 4096; }
    TQRPrinterSettings Settings;
    const TQRPrinterSettings& PrinterSettings() const override { return Settings; }
    long double PageWidth() const override { return 2100; }
    long double PageLength() const override { return 2970; }
    bool Exporting() const override { return false; }
};

} // namespace

TEST(TemporaryFolder, StaysEmptyAcrossEveryStoreFailure)
{
    QTemporaryDir work;
    TPrivateTempFolder temp;
    {
        // Spilled to its temporary file, then failing: the file goes with the list.
        TQRPageList list;
        list.SetStream(std::make_unique<TQRStream>(4096));
        for (int i = 0; i < 3; ++i)
            list.AddPage(SmallPage());
        ASSERT_FALSE(list.Stream()->InMemory());
        EXPECT_THROW(list.AddPage(TMetafile()), EInvalidGraphic);
        EXPECT_THROW(list.SaveToFile(work.filePath("missing-folder/out.qrp").toStdString()), Exception);
        EXPECT_THROW(list.SaveToFile(work.path().toStdString()), Exception);
    }
    for (const QString& name : QDir(QStringLiteral(QRP_TEST_DATA "/damaged")).entryList({"*.qrp"})) {
        TQRPageList list;
        try {
            list.LoadFromFile(QStringLiteral(QRP_TEST_DATA "/damaged/%1").arg(name).toStdString());
            for (int32_t n = 1; n <= list.PageCount(); ++n)
                list.GetPage(n);
        } catch (const Exception&) {
        }
    }
    EXPECT_EQ(temp.Leftovers(), std::vector<std::string>());
    EXPECT_EQ(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

TEST(TemporaryFolder, StaysEmptyWhenAPrintJobOrPageProductionFails)
{
    QTemporaryDir work;
    TVirtualPrinters printers(TVirtualPrinters::ReadConfig(QStringLiteral(QRP_TEST_DATA "/printers/office.ini")));
    TPrivateTempFolder temp;
    {
        TQRPrinter doc;
        doc.Load(DamagedReport(QDir(work.path())));
        for (int copies : {1, 3}) {
            TPrintRequest request;
            request.NumCopies = copies;
            EXPECT_THROW(RunPrintJob(doc, request), Exception);
            request.FromPage = 2;
            request.ToPage = 3;
            EXPECT_THROW(RunPrintJob(doc, request), Exception);
        }
    }
    {
        // Production spills to the temporary folder; misuse and abort must
        // not leave that file behind.
        TSpillingReport report;
        TQRPrinter doc(&report);
        TDemoReportOptions options;
        options.Pages = 3;
        ProduceDemoReport(doc, options);
        EXPECT_THROW(doc.NewPage(), Exception);
        EXPECT_THROW(doc.Save(work.filePath("missing-folder/out.qrp")), Exception);
    }
    {
        TSpillingReport report;
        TQRPrinter doc(&report);
        doc.BeginDoc();
        for (int i = 0; i < 3; ++i)
            doc.NewPage();
        EXPECT_THROW(doc.BeginDoc(), Exception);
        doc.AbortDoc();
    }
    EXPECT_EQ(temp.Leftovers(), std::vector<std::string>());
}
