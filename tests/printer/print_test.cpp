// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/qrprinter.h"

#include "platform/print/virtualprinters.h"
#include "printer/demoreport.h"
#include "printer/qrparentreport.h"
#include "printer/qrprintersettings.h"
#include "printer/qrprogressform.h"
#include "message_recorder.h"

#include <QApplication>
#include <QJsonObject>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class TTestReport : public TQRParentReport {
public:
    const TQRPrinterSettings& PrinterSettings() const override { return Settings; }
    bool ShowProgress() const override { return Progress; }
    long double PageWidth() const override { return 2100; }
    long double PageLength() const override { return 2970; }
    void AfterPrint() override { ++AfterPrintCalls; }
    void SetUserCancel(bool Value) override { UserCancel = Value; }

    TQRPrinterSettings Settings;
    bool Progress = true;
    int AfterPrintCalls = 0;
    bool UserCancel = false;
};

// Sees every progress window that Print opens and reports its gauge.
class TProgressWatch : public QObject {
public:
    TProgressWatch() { qApp->installEventFilter(this); }
    ~TProgressWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        auto* form = dynamic_cast<TQRProgressForm*>(Watched);
        if (form && Event->type() == QEvent::Show && !Forms.contains(form)) {
            Forms.append(form);
            QObject::connect(form->Gauge, &QProgressBar::valueChanged, [this, form](int v) {
                Shown.push_back(v);
                if (v == CancelAt)
                    form->CancelButton->click();
            });
        }
        return false;
    }
    QList<QObject*> Forms;
    std::vector<int> Shown;
    int CancelAt = -1;
};

class PrintTest : public ::testing::Test {
protected:
    PrintTest() : FPrinters(TVirtualPrinters::ReadConfig(QRP_TEST_DATA "/printers/office.ini")) {}

    // A report of Pages demo pages, loaded from its file.
    std::unique_ptr<TQRPrinter> Loaded(int Pages, TQRParentReport* Parent = nullptr)
    {
        const QString file = FDir.filePath(QString("report%1.qrp").arg(Pages));
        if (!QFile::exists(file))
            SaveDemoReport(file, Pages);
        auto printer = std::make_unique<TQRPrinter>(Parent);
        printer->Load(file);
        return printer;
    }

    // The "Sayfa N / M" number of each sheet of a job; 0 for a blank sheet.
    std::vector<int> SheetNumbers(const QJsonObject& Job)
    {
        std::vector<int> numbers;
        const int pages = Job["pages"].toInt();
        for (int i = 1; i <= pages; ++i) {
            QProcess p;
            p.start("pdftotext", {"-f", QString::number(i), "-l", QString::number(i), FPrinters.PdfOf(Job), "-"});
            EXPECT_TRUE(p.waitForFinished(30000));
            const QRegularExpressionMatch m =
                QRegularExpression("Sayfa (\\d+) / \\d+").match(QString::fromUtf8(p.readAllStandardOutput()));
            numbers.push_back(m.hasMatch() ? m.captured(1).toInt() : 0);
        }
        return numbers;
    }

    TVirtualPrinters FPrinters;
    QTemporaryDir FDir;
};

TEST(PrintArithmetic, ProgressIsThePercentDoneRoundedHalfToEven)
{
    struct Case {
        int Page, First, Last, Expected;
    };
    const Case cases[] = {
        {3, 3, 12, 10},
        {7, 3, 12, 50},
        {12, 3, 12, 100},
        {1, 1, 3, 33},
        {2, 1, 3, 67},
        {3, 1, 3, 100},
        {1, 1, 8, 12},
        {3, 1, 8, 38},
        {5, 1, 8, 62},
        {1, 1, 1, 100},
        {5, 5, 4, 0},
        {INT_MAX, 1, INT_MAX, 100},
        {1, INT_MIN + 1, INT_MAX, 50},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PrintProgressValue(c.Page, c.First, c.Last), c.Expected)
            << c.Page << " of " << c.First << ".." << c.Last;
}

TEST(PrintArithmetic, ParentReportPagesAreShiftedByTheUnprintableMargins)
{
    struct Case {
        long double W, L;
        int LeftOff, TopOff, Dpi;
        int Left, Top, Right, Bottom;
    };
    const Case cases[] = {
        {2100, 2970, 0, 0, 254, 0, 0, 2100, 2970},
        {2100, 2970, 42, 50, 600, -99, -118, 4861, 6898},
        {2105, 2971, 5, 7, 127, -2, -4, 1050, 1482}, // ties go to the even neighbour
        {2100, 2970, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const QRect r = ParentReportPageRect(c.W, c.L, c.LeftOff, c.TopOff, c.Dpi, c.Dpi);
        EXPECT_EQ(r.left(), c.Left);
        EXPECT_EQ(r.top(), c.Top);
        EXPECT_EQ(r.left() + r.width(), c.Right);
        EXPECT_EQ(r.top() + r.height(), c.Bottom);
    }
}

TEST_F(PrintTest, AllPagesByDefaultAndBlankSheetsBeyondTheReport)
{
    auto doc = Loaded(3);
    doc->Print();
    doc->SetFirstPage(2);
    doc->SetLastPage(5);
    doc->Print();
    const auto jobs = FPrinters.Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(SheetNumbers(jobs[0]), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(SheetNumbers(jobs[1]), (std::vector<int>{2, 3, 0, 0}));
    EXPECT_EQ(doc->Status(), mpFinished);
}

TEST_F(PrintTest, CopiesGoToTheDriverOnceAndThePagesAreDrawnOnce)
{
    auto doc = Loaded(2);
    const QStringList printers = doc->Printers();
    for (const char* name : {"Laser", "Plain"}) {
        doc->SetPrinterIndex(printers.indexOf(name));
        doc->SetCopies(3);
        doc->Print();
    }
    const auto jobs = FPrinters.Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0]["printer"].toString(), "Laser");
    EXPECT_EQ(jobs[0]["pages"].toInt(), 2);
    EXPECT_EQ(jobs[0]["copies"].toInt(), 3);
    // This driver makes no copies: the setting is refused and one copy comes out.
    EXPECT_EQ(jobs[1]["printer"].toString(), "Plain");
    EXPECT_EQ(jobs[1]["pages"].toInt(), 2);
    EXPECT_EQ(jobs[1]["copies"].toInt(), 1);
}

TEST_F(PrintTest, NothingIsPrintedUnlessTheReportIsFinished)
{
    TQRPrinter empty;
    empty.Print();
    EXPECT_TRUE(FPrinters.Jobs().empty());
}

TEST_F(PrintTest, AReportDefinitionThatRegeneratesIsAskedInsteadOfPrinting)
{
    TQRPrinter doc;
    TDemoReportOptions options;
    options.Pages = 2;
    ProduceDemoReport(doc, options);
    TMessageRecorder master;
    doc.SetMaster(&master);
    doc.Print();
    QCoreApplication::processEvents();
    ASSERT_EQ(master.Messages.size(), 1u);
    EXPECT_EQ(master.Messages[0].Msg, WM_USER + 2);
    EXPECT_TRUE(FPrinters.Jobs().empty());
    // Unless the stored pages are wanted.
    doc.SetPrintMetafile(true);
    doc.Print();
    EXPECT_EQ(FPrinters.Jobs().size(), 1u);
}

TEST_F(PrintTest, ProgressWindowShowsEveryMultipleOfFive)
{
    TTestReport report;
    auto doc = Loaded(12, &report);
    QObject* client = doc->Client();
    TProgressWatch watch;
    doc->SetFirstPage(3);
    doc->SetLastPage(12);
    doc->Print();
    EXPECT_EQ(watch.Shown, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    EXPECT_EQ(report.AfterPrintCalls, 1);
    // The window is gone and no longer receives anything.
    EXPECT_EQ(doc->Client(), client);
    watch.Shown.clear();
    doc->SetFirstPage(1);
    doc->SetLastPage(3);
    doc->Print();
    EXPECT_EQ(watch.Shown, std::vector<int>{100});
    EXPECT_EQ(watch.Forms.size(), 2);
    EXPECT_EQ(FPrinters.Jobs().size(), 2u);
}

TEST_F(PrintTest, CancelStopsAfterThePageInHandAndAbortsTheJob)
{
    TTestReport report;
    auto doc = Loaded(12, &report);
    TProgressWatch watch;
    watch.CancelAt = 25; // page 3's value, shown as page 4 starts
    doc->Print();
    EXPECT_TRUE(doc->Cancelled());
    EXPECT_TRUE(report.UserCancel);
    EXPECT_EQ(doc->PageNumber(), 4);
    EXPECT_EQ(report.AfterPrintCalls, 1);
    EXPECT_FALSE(doc->PrinterObject().Printing());
    EXPECT_TRUE(FPrinters.Jobs().empty());
}

TEST_F(PrintTest, PrintMetafileDirectPrintsTheRangeOnTheSharedPrinter)
{
    auto doc = Loaded(3);
    doc->PrintMetafileDirect(QString(), 2, 4);
    const auto jobs = FPrinters.Jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(SheetNumbers(jobs[0]), (std::vector<int>{2, 3, 0}));
    EXPECT_FALSE(Printer().Printing());
}

TEST_F(PrintTest, PrintSetupOnlyCallsItsHandler)
{
    auto doc = Loaded(1);
    doc->PrintSetup();
    int calls = 0;
    doc->SetOnPrintSetup([&] { ++calls; });
    doc->PrintSetup();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(FPrinters.Jobs().empty());
}

} // namespace
