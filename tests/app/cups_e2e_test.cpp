// SPDX-License-Identifier: GPL-3.0-or-later
// The print job on a real CUPS server: scripts/cups-start.sh (run as root by
// scripts/run-tests.sh) starts one with a cups-pdf default queue and a
// Generic PDF queue on a file: device, and says where their output goes.
#include "app/printjob.h"

#include "printer/demoreport.h"
#include "printer/qrprinter.h"
#include "tempfolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>

namespace {

QString Run(const QString& Program, const QStringList& Args, int* ExitCode = nullptr)
{
    QProcess p;
    p.start(Program, Args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) {
        if (ExitCode)
            *ExitCode = -1;
        return QString();
    }
    if (ExitCode)
        *ExitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool SchedulerRunning()
{
    return Run("lpstat", {"-r"}).contains("scheduler is running");
}

std::map<QString, QString> CupsState()
{
    const QByteArray dir = qgetenv("QRP_CUPS_STATE");
    QFile f(QDir(dir.isEmpty() ? QStringLiteral("/run/qrp-cups") : QString::fromLocal8Bit(dir)).filePath("cups.env"));
    std::map<QString, QString> state;
    if (!f.open(QIODevice::ReadOnly))
        return state;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            state[QString::fromUtf8(line.left(eq))] = QString::fromUtf8(line.mid(eq + 1));
    }
    return state;
}

int PdfPages(const QString& File)
{
    int code = 0;
    const QString info = Run("pdfinfo", {File}, &code);
    const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    return code == 0 && m.hasMatch() ? m.captured(1).toInt() : -1;
}

std::vector<int> SheetNumbers(const QString& File)
{
    std::vector<int> numbers;
    auto it = QRegularExpression("Sayfa (\\d+) / \\d+").globalMatch(Run("pdftotext", {File, "-"}));
    while (it.hasNext())
        numbers.push_back(it.next().captured(1).toInt());
    return numbers;
}

bool QueueIdle(const QString& Queue)
{
    return Run("lpstat", {"-o", Queue}).trimmed().isEmpty();
}

// Ids of the jobs that lpstat lists as completed on Queue.
std::set<int> CompletedJobs(const QString& Queue)
{
    std::set<int> ids;
    auto it = QRegularExpression("^" + QRegularExpression::escape(Queue) + "-(\\d+)\\s",
                                 QRegularExpression::MultilineOption)
                  .globalMatch(Run("lpstat", {"-W", "completed", "-o", Queue}));
    while (it.hasNext())
        ids.insert(it.next().captured(1).toInt());
    return ids;
}

// cups-pdf's file for a job titled Title, once the queue has written it.
QString WaitForCupsPdf(const QString& Dir, const QString& Title)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 120000) {
        const QStringList found = QDir(Dir).entryList({"*" + Title + "*.pdf"}, QDir::Files);
        if (!found.isEmpty() && PdfPages(QDir(Dir).filePath(found.first())) > 0)
            return QDir(Dir).filePath(found.first());
        QThread::msleep(200);
    }
    return QString();
}

class CupsEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!SchedulerRunning())
            GTEST_SKIP() << "No CUPS server is reachable (lpstat -r); scripts/cups-start.sh starts one as root";
        FState = CupsState();
        ASSERT_FALSE(FState["QRP_CUPS_PDF_QUEUE"].isEmpty())
            << "CUPS runs but without the test queues: run scripts/cups-start.sh as root";
        setenv("QRP_PRINT_BACKEND", "cups", 1);
        // Everything the job and the print system make in the temporary folder lands here.
        FTemp.emplace();
        SaveDemoReport(FDir.filePath("five.qrp"), 5);
        FDocument = std::make_unique<TQRPrinter>();
        FDocument->Load(FDir.filePath("five.qrp"));
        FTitle =
            QString("qrp-e2e-%1-%2").arg(QCoreApplication::applicationPid()).arg(QDateTime::currentMSecsSinceEpoch());
        FDocument->SetTitle(FTitle);
    }
    void TearDown() override { FTemp.reset(); }
    QString TempPath() const { return QString::fromStdString(FTemp->Path()); }

    // Pages 2-3 in 3 copies on Queue, as the print button does it.
    void PrintTwoThreeThrice(const QString& Queue)
    {
        TPrintRequest request;
        request.PrinterIndex = FDocument->Printers().indexOf(Queue);
        ASSERT_GE(request.PrinterIndex, 0) << Queue.toStdString() << " is not listed";
        request.FromPage = 2;
        request.ToPage = 3;
        request.NumCopies = 3;
        ASSERT_EQ(RunPrintJob(*FDocument, request), TPrintJobResult::Printed);
        EXPECT_TRUE(QDir(TempPath()).entryList(QDir::Files).isEmpty())
            << "left behind: " << QDir(TempPath()).entryList(QDir::Files).join(' ').toStdString();
    }

    std::map<QString, QString> FState;
    QTemporaryDir FDir;
    std::optional<TPrivateTempFolder> FTemp;
    std::unique_ptr<TQRPrinter> FDocument;
    QString FTitle;
};

TEST_F(CupsEndToEndTest, DefaultPdfQueueWritesSixSheets)
{
    const QString queue = FState["QRP_CUPS_PDF_QUEUE"];
    PrintTwoThreeThrice(queue);
    // cups-pdf names its file after the job's title.
    QString pdf;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 120000) {
        const QStringList found = QDir(FState["QRP_CUPS_PDF_DIR"]).entryList({"*" + FTitle + "*.pdf"}, QDir::Files);
        if (!found.isEmpty() && QueueIdle(queue)) {
            pdf = QDir(FState["QRP_CUPS_PDF_DIR"]).filePath(found.first());
            if (PdfPages(pdf) > 0)
                break;
        }
        QThread::msleep(200);
    }
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF from " << queue.toStdString() << " within two minutes";
    EXPECT_EQ(PdfPages(pdf), 6);
    QFile::remove(pdf);
}

TEST_F(CupsEndToEndTest, FileQueueWritesTheRangeCollatedThreeTimes)
{
    const QString queue = FState["QRP_CUPS_FILE_QUEUE"];
    const QString out = FState["QRP_CUPS_FILE_OUT"];
    ASSERT_FALSE(queue.isEmpty());
    const QDateTime before = QFileInfo(out).lastModified();
    PrintTwoThreeThrice(queue);
    QElapsedTimer timer;
    timer.start();
    bool written = false;
    while (!written && timer.elapsed() < 120000) {
        QThread::msleep(200);
        const QFileInfo info(out);
        written = info.exists() && info.lastModified() != before && QueueIdle(queue) && PdfPages(out) > 0;
    }
    ASSERT_TRUE(written) << "no PDF in " << out.toStdString() << " within two minutes";
    EXPECT_EQ(PdfPages(out), 6);
    EXPECT_EQ(SheetNumbers(out), (std::vector<int>{2, 3, 2, 3, 2, 3}));
}

} // namespace

namespace {

// Draws one sheet with Text on the document's printer; production then
// stays in the middle of its job.
void StartTwoSheets(TQRPrinter& Doc, const QString& Title)
{
    Doc.SetDestination(qrdPrinter);
    Doc.SetTitle(Title);
    Doc.BeginDoc();
    Doc.NewPage();
    Doc.Canvas()->TextOut(100, 100, Title);
    Doc.NewPage();
}

} // namespace

// Every way a job ends early, and a job without a page, sends nothing to
// the queue. A job ended normally afterwards shows that the queue has
// handled everything before it.
TEST_F(CupsEndToEndTest, CancelledAbortedOrAbandonedJobsSendNothingToTheQueue)
{
    const QString queue = FState["QRP_CUPS_PDF_QUEUE"];
    const QString dir = FState["QRP_CUPS_PDF_DIR"];
    const std::set<int> before = CompletedJobs(queue);
    const QString cancelled = FTitle + "-cancelled", aborted = FTitle + "-aborted", abandoned = FTitle + "-abandoned",
                  empty = FTitle + "-empty";

    SaveDemoReport(FDir.filePath("long.qrp"), 40);
    TQRPrinter longReport;
    longReport.Load(FDir.filePath("long.qrp"));
    ASSERT_TRUE(longReport.PrinterOK());
    longReport.SetPrinterIndex(longReport.Printers().indexOf(queue));
    longReport.SetTitle(cancelled);
    // Print lets events run before each page: this one arrives before the first.
    QTimer::singleShot(0, [&] { longReport.Cancel(); });
    longReport.Print();
    EXPECT_EQ(longReport.PageNumber(), 1) << "the job went on past its first page";
    EXPECT_FALSE(longReport.PrinterObject().Printing());

    TQRPrinter producing;
    StartTwoSheets(producing, aborted);
    producing.AbortDoc();
    EXPECT_FALSE(producing.PrinterObject().Printing());
    {
        TQRPrinter goingAway;
        StartTwoSheets(goingAway, abandoned);
    }
    // A job with no page at all would otherwise come out as one blank sheet.
    TPrinter& printer = FDocument->PrinterObject();
    printer.SetTitle(empty);
    printer.BeginDoc();
    printer.EndDoc();

    FDocument->SetPrinterIndex(FDocument->Printers().indexOf(queue));
    FDocument->SetTitle(FTitle + "-marker");
    FDocument->Print();
    const QString marker = WaitForCupsPdf(dir, FTitle + "-marker");
    ASSERT_FALSE(marker.isEmpty()) << "the job after them was not printed within two minutes";
    QFile::remove(marker);

    for (const QString& title : {cancelled, aborted, abandoned, empty})
        EXPECT_TRUE(QDir(dir).entryList({"*" + title + "*"}, QDir::Files).isEmpty())
            << title.toStdString() << " was printed";
    // cups-pdf names each file after its job: no completed job is one of ours.
    for (int id : CompletedJobs(queue)) {
        if (before.count(id))
            continue;
        const QStringList files = QDir(dir).entryList({QString("job_%1-*").arg(id)}, QDir::Files);
        for (const QString& f : files)
            EXPECT_FALSE(f.contains(FTitle) && !f.contains("-marker")) << f.toStdString();
    }
    EXPECT_TRUE(QDir(TempPath()).entryList(QDir::Files).isEmpty())
        << "left behind: " << QDir(TempPath()).entryList(QDir::Files).join(' ').toStdString();
}

namespace {

// The temporary file into which a print job draws: it begins as a PDF.
bool SpoolStarted(const QDir& Tmp)
{
    for (const QString& name : Tmp.entryList(QDir::Files)) {
        QFile f(Tmp.filePath(name));
        if (f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-")
            return true;
    }
    return false;
}

} // namespace

// Ctrl+C or SIGTERM while qrptool print draws its pages cancels the job:
// one line on standard error, the shell's status for the signal, no
// temporary file, and no output from the queue.
TEST_F(CupsEndToEndTest, QrptoolPrintInterruptedSendsNothingAndLeavesNoFile)
{
    const QString queue = FState["QRP_CUPS_PDF_QUEUE"];
    const QDir out(FState["QRP_CUPS_PDF_DIR"]);
    const QDir tmp(TempPath());
    const QStringList before = out.entryList(QDir::Files);
    SaveDemoReport(FDir.filePath("long.qrp"), 120);
    // Standard error is the program's alone: no notes from Qt about a
    // missing runtime folder or from the leak checker about its list.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QDir().mkpath(FDir.filePath("run"));
    QFile::setPermissions(FDir.filePath("run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert("XDG_RUNTIME_DIR", FDir.filePath("run"));
    env.insert("LSAN_OPTIONS", env.value("LSAN_OPTIONS") + ":print_suppressions=0");
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal == SIGINT ? "SIGINT" : "SIGTERM");
        QProcess tool;
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral(QRP_BINARY_DIR "/src/tools/qrptool"),
                   {"print", FDir.filePath("long.qrp"), "--printer", queue});
        ASSERT_TRUE(tool.waitForStarted());
        QElapsedTimer timer;
        timer.start();
        while (!SpoolStarted(tmp) && tool.state() == QProcess::Running && timer.elapsed() < 60000)
            QThread::msleep(10);
        ASSERT_EQ(tool.state(), QProcess::Running)
            << "finished before it could be interrupted: " << tool.readAllStandardError().toStdString();
        ::kill(static_cast<pid_t>(tool.processId()), signal);
        ASSERT_TRUE(tool.waitForFinished(60000));
        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tool.exitCode(), 128 + signal);
        const QString err = QString::fromLocal8Bit(tool.readAllStandardError());
        EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
        EXPECT_TRUE(err.startsWith("qrptool print: ") && err.contains("interrupted")) << err.toStdString();
        EXPECT_TRUE(tool.readAllStandardOutput().isEmpty());
        EXPECT_TRUE(tmp.entryList(QDir::Files).isEmpty())
            << "left behind: " << tmp.entryList(QDir::Files).join(' ').toStdString();
    }

    // A job sent afterwards comes out once the queue has handled all before it.
    FDocument->SetPrinterIndex(FDocument->Printers().indexOf(queue));
    FDocument->Print();
    const QString marker = WaitForCupsPdf(out.path(), FTitle);
    ASSERT_FALSE(marker.isEmpty()) << "the job after them was not printed within two minutes";
    QFile::remove(marker);
    // Other tests that share the queue name their jobs; ours had no name.
    for (const QString& name : out.entryList(QDir::Files))
        EXPECT_TRUE(before.contains(name) || name.contains("qrp-e2e-") || name.contains("qrp-cups-test-"))
            << name.toStdString() << " came out of the queue";
}
