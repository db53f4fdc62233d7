// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool print FILE [--printer NAME] [--pages A-B] [--copies N]: the print
// button's job, for scripts.
#include "app/printjob.h"
#include "platform/errors.h"
#include "printer/qrprinter.h"
#include "tools/command.h"

#include <QString>
#include <QStringList>

#include <csignal>
#include <cstdio>

namespace {

volatile std::sig_atomic_t CaughtSignal = 0;

extern "C" void NoteSignal(int Signal)
{
    CaughtSignal = Signal;
}

// Ctrl+C and SIGTERM cancel the job rather than end the process on the
// spot, which would leave the job's temporary files behind and say nothing.
// The handler is used once: a second signal ends the process at once.
class TInterruptGuard {
public:
    TInterruptGuard()
    {
        CaughtSignal = 0;
        struct sigaction action {};
        action.sa_handler = NoteSignal;
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &FOldInt);
        sigaction(SIGTERM, &action, &FOldTerm);
    }
    ~TInterruptGuard()
    {
        sigaction(SIGINT, &FOldInt, nullptr);
        sigaction(SIGTERM, &FOldTerm, nullptr);
    }
    TInterruptGuard(const TInterruptGuard&) = delete;
    TInterruptGuard& operator=(const TInterruptGuard&) = delete;

    static bool Interrupted() { return CaughtSignal != 0; }
    // The status a shell gives a process ended by the signal.
    static int ExitStatus() { return 128 + CaughtSignal; }

private:
    struct sigaction FOldInt {};
    struct sigaction FOldTerm {};
};

int Interrupted(const QString& File)
{
    std::fprintf(stderr, "qrptool print: %s: interrupted; nothing was sent to the printer\n",
                 File.toLocal8Bit().constData());
    return TInterruptGuard::ExitStatus();
}

struct TPrintArguments {
    QString File;
    QString PrinterName;
    TPrintRequest Request;
};

TPrintArguments Parse(const std::vector<std::string>& Args)
{
    TPrintArguments a;
    for (size_t i = 0; i < Args.size(); ++i) {
        const QString arg = QString::fromStdString(Args[i]);
        const bool hasValue = i + 1 < Args.size();
        if (arg == QLatin1String("--printer") || arg == QLatin1String("--pages") || arg == QLatin1String("--copies")) {
            if (!hasValue)
                throw UsageError{Args[i] + " needs a value"};
            const QString value = QString::fromStdString(Args[++i]);
            if (arg == QLatin1String("--printer")) {
                a.PrinterName = value;
            } else if (arg == QLatin1String("--pages")) {
                if (!ParsePageRange(value, a.Request.FromPage, a.Request.ToPage))
                    throw UsageError{"--pages wants A-B or N with page numbers from 1, not \"" + Args[i] + "\""};
            } else {
                bool ok = false;
                a.Request.NumCopies = value.toInt(&ok);
                if (!ok || a.Request.NumCopies < 1 || a.Request.NumCopies > 99)
                    throw UsageError{"--copies wants a number from 1 to 99, not \"" + Args[i] + "\""};
            }
        } else if (arg.startsWith(QLatin1Char('-')) || !a.File.isEmpty()) {
            throw UsageError{"unexpected \"" + Args[i] + "\""};
        } else {
            a.File = arg;
        }
    }
    if (a.File.isEmpty())
        throw UsageError{"expected the report file"};
    return a;
}

int Run(const std::vector<std::string>& Args)
{
    TPrintArguments a = Parse(Args);
    const TInterruptGuard interrupts;
    TQRPrinter document;
    document.Load(a.File);
    if (TInterruptGuard::Interrupted())
        return Interrupted(a.File);
    if (!a.PrinterName.isEmpty()) {
        a.Request.PrinterIndex = document.Printers().indexOf(a.PrinterName);
        if (a.Request.PrinterIndex < 0)
            throw Exception("no printer named \"" + a.PrinterName.toStdString() + "\"; see qrptool printers");
    }
    const TPrintJobResult result = RunPrintJob(document, a.Request, &TInterruptGuard::Interrupted);
    if (result == TPrintJobResult::Cancelled)
        return Interrupted(a.File);
    if (result != TPrintJobResult::Printed)
        throw Exception(PrintJobMessage(result, document.PageCount()).toStdString());
    const QStringList printers = document.Printers();
    const int index = a.Request.PrinterIndex >= 0 ? a.Request.PrinterIndex : document.PrinterIndex();
    std::printf("%s: printed %s, %d %s on %s\n", a.File.toLocal8Bit().constData(),
                a.Request.FromPage == 0
                    ? "all pages"
                    : QString("pages %1-%2").arg(a.Request.FromPage).arg(a.Request.ToPage).toLocal8Bit().constData(),
                a.Request.NumCopies, a.Request.NumCopies == 1 ? "copy" : "copies",
                index >= 0 && index < printers.size() ? printers[index].toLocal8Bit().constData()
                                                      : "the default printer");
    return 0;
}

const ToolCommandRegistrar registrar(
    {"print", "print FILE [--printer NAME] [--pages A-B] [--copies N]", true, Run,
     QT_TRANSLATE_NOOP("qrptool", "prints a range in collated copies, as the viewer's print button does")});

} // namespace
