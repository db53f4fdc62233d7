// The print job on a real CUPS server: scripts/cups-start.sh (run as root by
// scripts/run-tests.sh) starts one with a cups-pdf default queue and a
// Generic PDF queue on a file: device, and says where their output goes.
#include "app/printjob.h"

#include "printer/demoreport.h"
#include "printer/qrprinter.h"

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

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

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
        FOldTmp = qgetenv("TMPDIR");
        FTmpSet = true;
        QDir().mkpath(FDir.filePath("tmp"));
        setenv("TMPDIR", FDir.filePath("tmp").toLocal8Bit().constData(), 1);
        SaveDemoReport(FDir.filePath("five.qrp"), 5);
        FDocument = std::make_unique<TQRPrinter>();
        FDocument->Load(FDir.filePath("five.qrp"));
        FTitle = QString("qrp-e2e-%1-%2").arg(QCoreApplication::applicationPid()).arg(QDateTime::currentMSecsSinceEpoch());
        FDocument->SetTitle(FTitle);
    }
    void TearDown() override
    {
        if (!FTmpSet)
            return;
        if (FOldTmp.isNull())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", FOldTmp.constData(), 1);
    }

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
        EXPECT_TRUE(QDir(FDir.filePath("tmp")).entryList(QDir::Files).isEmpty())
            << "left behind: " << QDir(FDir.filePath("tmp")).entryList(QDir::Files).join(' ').toStdString();
    }

    std::map<QString, QString> FState;
    QTemporaryDir FDir;
    QByteArray FOldTmp;
    bool FTmpSet = false;
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
        const QStringList found =
            QDir(FState["QRP_CUPS_PDF_DIR"]).entryList({"*" + FTitle + "*.pdf"}, QDir::Files);
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
