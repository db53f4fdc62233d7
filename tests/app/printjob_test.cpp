// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/printjob.h"

#include "app/dialogs.h"
#include "app/previewwindow.h"
#include "app/reportsnapshot.h"
#include "app/selectprinter.h"
#include "platform/errors.h"
#include "platform/print/virtualprinters.h"
#include "printer/demoreport.h"
#include "printer/qrmessages.h"
#include "printer/qrprinter.h"
#include "tempfolder.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QJsonObject>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const QString Qrptool = QStringLiteral(QRP_BINARY_DIR "/src/tools/qrptool");

// A report definition's window that records what the job asks of it.
class TMasterWindow : public QObject, public TReportPrinterSettings {
public:
    void SetPrinterIndex(int Value) override { PrinterIndex = Value; }
    void SetCopies(int Value) override { Copies = Value; }
    bool event(QEvent* Event) override
    {
        if (Event->type() == TQRMessageEvent::EventType())
            ++PrintRequests;
        return QObject::event(Event);
    }
    int PrinterIndex = -2, Copies = 0, PrintRequests = 0;
};

class PrintJobTest : public ::testing::Test {
protected:
    explicit PrintJobTest(const char* Config = "office.ini")
        : FPrinters(TVirtualPrinters::ReadConfig(QString(QRP_TEST_DATA "/printers/") + Config))
    {
        SetDialogRunners(nullptr, [this](QMessageBox& Box) { Messages.append(Box.text()); });
    }
    ~PrintJobTest() override
    {
        SetDialogRunners(nullptr, nullptr);
        SetSelectPrinterRunner(nullptr);
    }

    QString ReportFile(int Pages)
    {
        const QString file = FDir.filePath(QString("report%1.qrp").arg(Pages));
        if (!QFile::exists(file))
            SaveDemoReport(file, Pages);
        return file;
    }
    std::unique_ptr<TQRPrinter> Loaded(int Pages)
    {
        auto doc = std::make_unique<TQRPrinter>();
        doc->Load(ReportFile(Pages));
        return doc;
    }
    std::vector<std::string> TempFiles() const { return FTemp.Leftovers(); }

    std::vector<int> SheetNumbers(const QJsonObject& Job) const
    {
        QProcess p;
        p.start("pdftotext", {FPrinters.PdfOf(Job), "-"});
        EXPECT_TRUE(p.waitForFinished(30000));
        std::vector<int> numbers;
        auto it = QRegularExpression("Sayfa (\\d+) / \\d+").globalMatch(QString::fromUtf8(p.readAllStandardOutput()));
        while (it.hasNext())
            numbers.push_back(it.next().captured(1).toInt());
        return numbers;
    }
    int IndexOf(TQRPrinter& Doc, const char* Name) const { return Doc.Printers().indexOf(Name); }

    QTemporaryDir FDir;
    TVirtualPrinters FPrinters;
    TPrivateTempFolder FTemp;
    QStringList Messages;
};

TEST_F(PrintJobTest, RangeInCopiesComesOutCollatedInOneJobAndLeavesNoFiles)
{
    auto doc = Loaded(5);
    TPrintRequest request;
    request.FromPage = 2;
    request.ToPage = 3;
    request.NumCopies = 3;
    ASSERT_EQ(RunPrintJob(*doc, request), TPrintJobResult::Printed);
    const auto jobs = FPrinters.Jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0]["pages"].toInt(), 6);
    EXPECT_EQ(jobs[0]["copies"].toInt(), 1);
    EXPECT_EQ(SheetNumbers(jobs[0]), (std::vector<int>{2, 3, 2, 3, 2, 3}));
    EXPECT_EQ(TempFiles(), std::vector<std::string>());
}

TEST_F(PrintJobTest, AllPagesOnTheChosenPrinterWhichTheDocumentKeeps)
{
    auto doc = Loaded(3);
    TPrintRequest request;
    request.PrinterIndex = IndexOf(*doc, "Plain");
    ASSERT_EQ(RunPrintJob(*doc, request), TPrintJobResult::Printed);
    const auto jobs = FPrinters.Jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0]["printer"].toString(), "Plain");
    EXPECT_EQ(SheetNumbers(jobs[0]), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(doc->PrinterIndex(), request.PrinterIndex);
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(PrintJobTest, ARangeWithoutPagesPrintsNothingAndSaysSo)
{
    auto doc = Loaded(3);
    for (auto range : {std::pair{4, 9}, std::pair{3, 2}, std::pair{INT_MAX, INT_MAX}}) {
        TPrintRequest request;
        request.FromPage = range.first;
        request.ToPage = range.second;
        request.NumCopies = 2;
        EXPECT_EQ(RunPrintJob(*doc, request), TPrintJobResult::NoPageInRange);
    }
    EXPECT_TRUE(FPrinters.Jobs().empty());
    EXPECT_TRUE(TempFiles().empty());
    const QString message = PrintJobMessage(TPrintJobResult::NoPageInRange, 3);
    EXPECT_TRUE(message.contains(QStringLiteral("hiçbir sayfası yok")));
    EXPECT_TRUE(message.contains("3"));
    EXPECT_TRUE(PrintJobMessage(TPrintJobResult::Printed, 3).isEmpty());
}

TEST_F(PrintJobTest, AFailingStepLeavesNoTemporaryFileBehind)
{
    // Page 2 loses its EMF signature: the report opens, but copying it fails.
    const QString file = FDir.filePath("damaged.qrp");
    QFile::copy(ReportFile(3), file);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(132);
    QDataStream in(&f);
    in.setByteOrder(QDataStream::LittleEndian);
    qint32 record2 = 0;
    in >> record2;
    f.seek(record2 + 8 + 40);
    f.write("XXXX");
    f.close();
    TQRPrinter doc;
    doc.Load(file);
    TPrintRequest request;
    request.NumCopies = 2;
    EXPECT_THROW(RunPrintJob(doc, request), Exception);
    EXPECT_TRUE(FPrinters.Jobs().empty());
    EXPECT_EQ(TempFiles(), std::vector<std::string>());
}

TEST_F(PrintJobTest, AReportDefinitionPrintsItselfWithDriverCopiesOrRepeatedJobs)
{
    TQRPrinter doc;
    TDemoReportOptions options;
    options.Pages = 2;
    ProduceDemoReport(doc, options);
    TMasterWindow master;
    doc.SetMaster(&master);
    TPrintRequest request;
    request.NumCopies = 3;
    request.PrinterIndex = IndexOf(doc, "Laser");
    ASSERT_EQ(RunPrintJob(doc, request), TPrintJobResult::Printed);
    QCoreApplication::processEvents();
    EXPECT_EQ(master.PrinterIndex, request.PrinterIndex);
    EXPECT_EQ(master.Copies, 3);
    EXPECT_EQ(master.PrintRequests, 1);

    TMasterWindow plain;
    doc.SetMaster(&plain);
    request.PrinterIndex = IndexOf(doc, "Plain");
    ASSERT_EQ(RunPrintJob(doc, request), TPrintJobResult::Printed);
    QCoreApplication::processEvents();
    EXPECT_EQ(plain.Copies, 0);
    EXPECT_EQ(plain.PrintRequests, 3);
    EXPECT_TRUE(FPrinters.Jobs().empty());

    // A range is always spliced from the stored pages.
    request.FromPage = 2;
    request.ToPage = 2;
    ASSERT_EQ(RunPrintJob(doc, request), TPrintJobResult::Printed);
    ASSERT_EQ(FPrinters.Jobs().size(), 1u);
    EXPECT_EQ(SheetNumbers(FPrinters.Jobs()[0]), (std::vector<int>{2, 2, 2}));
}

TEST_F(PrintJobTest, PrintButtonRunsTheDialogsChoices)
{
    auto doc = Loaded(4);
    auto* window = new TfrmZozEdezaPreview(nullptr, doc.get());
    SetSelectPrinterRunner([](TfrmSelectPrinter& Dialog) {
        Dialog.show();
        Dialog.RangeRb->click();
        Dialog.FromEdt->setText("3");
        Dialog.ToEdt->setText("4");
        Dialog.CopiesSe->setValue(2);
        Dialog.BitBtn1->click();
        return Dialog.result();
    });
    window->btnPrintClick();
    ASSERT_EQ(FPrinters.Jobs().size(), 1u);
    EXPECT_EQ(SheetNumbers(FPrinters.Jobs()[0]), (std::vector<int>{3, 4, 3, 4}));
    EXPECT_TRUE(Messages.isEmpty());
    EXPECT_TRUE(TempFiles().empty());

    SetSelectPrinterRunner([](TfrmSelectPrinter& Dialog) {
        Dialog.show();
        Dialog.RangeRb->click();
        Dialog.FromEdt->setText("7");
        Dialog.BitBtn1->click();
        return Dialog.result();
    });
    window->btnPrintClick();
    EXPECT_EQ(FPrinters.Jobs().size(), 1u);
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_EQ(Messages[0], PrintJobMessage(TPrintJobResult::NoPageInRange, 4));
    window->close();
}

TEST_F(PrintJobTest, PrintsThePagesShownAfterTheFileIsRewrittenInPlace)
{
    const QString file = FDir.filePath("rewritten.qrp");
    SaveDemoReport(file, 3);
    auto doc = std::make_unique<TQRPrinter>();
    std::unique_ptr<TReportSnapshot> snapshot = LoadReportSnapshot(*doc, file);
    auto* window = new TfrmZozEdezaPreview(nullptr, doc.get());
    window->AdoptQRPrinter(std::move(doc), std::move(snapshot));
    window->show();

    // A reporting program overwrites the file where it is, as on a share.
    const std::optional<TFileIdentity> before = CurrentFileIdentity(file);
    SaveDemoReport(FDir.filePath("newer.qrp"), 5);
    QFile newer(FDir.filePath("newer.qrp")), target(file);
    ASSERT_TRUE(newer.open(QIODevice::ReadOnly));
    ASSERT_TRUE(target.open(QIODevice::ReadWrite | QIODevice::Truncate));
    target.write(newer.readAll());
    target.close();
    ASSERT_TRUE(CurrentFileIdentity(file)->SameFile(*before));

    SetSelectPrinterRunner([](TfrmSelectPrinter& Dialog) {
        Dialog.show();
        Dialog.BitBtn1->click();
        return Dialog.result();
    });
    window->btnPrintClick();
    ASSERT_EQ(FPrinters.Jobs().size(), 1u);
    EXPECT_EQ(SheetNumbers(FPrinters.Jobs()[0]), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_TRUE(TempFiles().empty());
    // The window says the file moved on, and reads it again on request.
    ASSERT_NE(window->ChangedBar, nullptr);
    EXPECT_TRUE(window->ChangedBar->isVisible());
    window->Reload();
    EXPECT_EQ(window->QRPrinter()->PageCount(), 5);
    EXPECT_FALSE(window->ChangedBar->isVisible());
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(TempFiles().empty());
}

class PrintJobWithoutPrintersTest : public PrintJobTest {
protected:
    PrintJobWithoutPrintersTest() : PrintJobTest("none.ini") {}
};

TEST_F(PrintJobWithoutPrintersTest, TheUserIsToldThatNoPrinterIsInstalled)
{
    auto doc = Loaded(2);
    EXPECT_EQ(RunPrintJob(*doc, TPrintRequest()), TPrintJobResult::NoPrinter);
    bool dialogShown = false;
    SetSelectPrinterRunner([&](TfrmSelectPrinter&) {
        dialogShown = true;
        return int(QDialog::Rejected);
    });
    auto* window = new TfrmZozEdezaPreview(nullptr, doc.get());
    window->btnPrintClick();
    EXPECT_FALSE(dialogShown);
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].contains(QStringLiteral("yazıcı yok")));
    EXPECT_TRUE(TempFiles().empty());
    window->close();
}

TEST(ParsePageRange, AcceptsARangeOrOnePage)
{
    struct Case {
        const char* Text;
        bool Ok;
        int From, To;
    };
    const Case cases[] = {
        {"2-3", true, 2, 3},    {"7", true, 7, 7},    {"5-2", true, 5, 2},         {"1-2147483647", true, 1, INT_MAX},
        {"0-3", false, 0, 0},   {"", false, 0, 0},    {"-3", false, 0, 0},         {"2-", false, 0, 0},
        {"1-2-3", false, 0, 0}, {"a-b", false, 0, 0}, {"2147483648", false, 0, 0}, {" 2-3", false, 0, 0},
        {"+2-3", false, 0, 0},
    };
    for (const Case& c : cases) {
        int from = 0, to = 0;
        EXPECT_EQ(ParsePageRange(c.Text, from, to), c.Ok) << c.Text;
        if (c.Ok) {
            EXPECT_EQ(from, c.From) << c.Text;
            EXPECT_EQ(to, c.To) << c.Text;
        }
    }
}

// qrptool runs the same job, with the virtual printers of the test.
TEST_F(PrintJobTest, QrptoolPrintRunsTheJobAndReportsFailuresOnStandardError)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QRP_PRINT_BACKEND", "virtual");
    env.insert("QRP_VIRTUAL_PRINTERS", FPrinters.ConfigFile());
    env.insert("QRP_VIRTUAL_OUTPUT", FPrinters.OutputDir());
    auto run = [&](const QStringList& Args, QString* Err = nullptr) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(Qrptool, Args);
        EXPECT_TRUE(p.waitForFinished(60000));
        if (Err)
            *Err = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    };
    const QString file = ReportFile(5);
    EXPECT_EQ(run({"print", file, "--printer", "Plain", "--pages", "2-3", "--copies", "3"}), 0);
    ASSERT_EQ(FPrinters.Jobs().size(), 1u);
    EXPECT_EQ(FPrinters.Jobs()[0]["printer"].toString(), "Plain");
    EXPECT_EQ(SheetNumbers(FPrinters.Jobs()[0]), (std::vector<int>{2, 3, 2, 3, 2, 3}));

    QString err;
    EXPECT_EQ(run({"print", file, "--pages", "6-9"}, &err), 1);
    EXPECT_TRUE(err.contains(PrintJobMessage(TPrintJobResult::NoPageInRange, 5))) << err.toStdString();
    EXPECT_EQ(run({"print", file, "--printer", "Nowhere"}, &err), 1);
    EXPECT_TRUE(err.contains("Nowhere"));
    EXPECT_EQ(run({"print", file, "--copies", "0"}), 2);
    EXPECT_EQ(FPrinters.Jobs().size(), 1u);

    EXPECT_EQ(run({"merge", FDir.filePath("m.qrp")}, &err), 1);
    EXPECT_TRUE(err.contains("result code -3"));
    EXPECT_EQ(run({"merge", FDir.filePath("m.qrp"), file, file}), 0);
    EXPECT_EQ(run({"extract", FDir.filePath("m.qrp"), FDir.filePath("e.qrp"), "4", "7"}), 0);
    EXPECT_EQ(run({"extract", FDir.filePath("m.qrp"), FDir.filePath("none.qrp"), "11", "12"}, &err), 1);
    EXPECT_FALSE(QFile::exists(FDir.filePath("none.qrp")));
    TQRPrinter check;
    check.Load(FDir.filePath("e.qrp"));
    EXPECT_EQ(check.PageCount(), 4);
    EXPECT_TRUE(TempFiles().empty());
}

} // namespace
