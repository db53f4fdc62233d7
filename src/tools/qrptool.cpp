// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool and its helper programs: the same main over different commands.
#include "tools/command.h"
#include "platform/runtimedir.h"
#include "platform/version.h"
#ifdef QRP_TOOL_HELPERS
// The front includes no Qt header; its texts are marked for the catalogue
// all the same, and a helper translates them.
#define QT_TRANSLATE_NOOP(scope, x) x
#else
#include "platform/i18n/errortext.h"
#include "platform/i18n/translations.h"
#include "platform/errors.h"
#include "store/qrfileheader.h"

#include <QtGlobal>
#include <clocale>
#include <libintl.h>
#include <sys/stat.h>
#endif

#if QRP_TOOL_APP == 2
#include <QApplication>
using TToolApplication = QApplication;
#elif QRP_TOOL_APP == 1
#include <QGuiApplication>
using TToolApplication = QGuiApplication;
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

std::vector<ToolCommand>& Registry()
{
    static std::vector<ToolCommand> commands;
    return commands;
}

struct THelperCommand {
    const char* Name;
    const char* Usage;
    const char* Summary;
    const char* Program;
};

#ifdef QRP_TOOL_HELPERS

// Written at build time by the helpers themselves (--list-commands).
const THelperCommand HelperCommands[] = {
#include "helpercommands.inc"
};

// Every command with the program that runs it, empty for this one, in the
// order of their names.
std::vector<THelperCommand> AllCommands()
{
    std::vector<THelperCommand> all(std::begin(HelperCommands), std::end(HelperCommands));
    for (const ToolCommand& c : Registry())
        all.push_back({c.Name, c.Usage, c.Summary, ""});
    std::stable_sort(all.begin(), all.end(),
                     [](const THelperCommand& a, const THelperCommand& b) { return std::strcmp(a.Name, b.Name) < 0; });
    return all;
}

std::string OwnFolder()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    const std::string self(path, static_cast<size_t>(n));
    return self.substr(0, self.rfind('/'));
}

// Runs the command in its helper program, which takes the same arguments.
// Returns only when the helper cannot be started: with the path it tried,
// empty when none is installed.
std::string ExecHelper(const char* Program, char** argv)
{
    const std::string folder = OwnFolder();
    // Installed, the helpers have a folder of their own; in the build tree
    // they sit beside qrptool.
    for (const std::string& path : {folder + "/" + QRP_HELPER_DIR + "/" + Program, folder + "/" + Program}) {
        if (access(path.c_str(), X_OK) == 0) {
            execv(path.c_str(), argv);
            return path;
        }
    }
    return {};
}

int RunHelper(const char* Program, char** argv)
{
    const std::string tried = ExecHelper(Program, argv);
    if (!tried.empty())
        std::fprintf(stderr, "qrptool: cannot start %s: %s\n", tried.c_str(), std::strerror(errno));
    else
        std::fprintf(stderr, "qrptool: the helper program %s is not installed beside qrptool\n", Program);
    return 1;
}

// C, POSIX and English locales read the texts as written, which the front
// prints itself: only another language pays for loading Qt.
bool EnglishMessages()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value)
            continue;
        const std::string locale = value;
        return locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0 || locale.rfind("en", 0) == 0;
    }
    return true;
}

// Hands the help, the usage or the unknown command's message (Kind) to a
// helper that can translate them, with the list of every command, which
// only the front has. Returns only when no helper can be started.
void ExecLocalisedHelp(const char* Kind, const char* Unknown)
{
    std::vector<const char*> args = {"qrptool", "--localised-help", Kind, Unknown};
    for (const THelperCommand& c : AllCommands()) {
        args.push_back(c.Name);
        args.push_back(c.Usage);
        args.push_back(c.Summary ? c.Summary : "");
    }
    args.push_back(nullptr);
    ExecHelper("qrptool-core", const_cast<char**>(args.data()));
}

std::string AsWritten(const char* Text)
{
    return Text;
}
#else
std::vector<THelperCommand> AllCommands()
{
    std::vector<THelperCommand> all;
    for (const ToolCommand& c : Registry())
        all.push_back({c.Name, c.Usage, c.Summary, ""});
    return all;
}

// A text of qrptool's (marked with the context "qrptool") in the user's
// language, as the terminal takes it.
std::string Translated(const char* Text)
{
    return TranslateText("qrptool", Text).toLocal8Bit().toStdString();
}

// Text (a text of qrptool's) in the user's language with its %1, %2 filled
// by Parts.
std::string Filled(const char* Text, std::initializer_list<std::string> Parts)
{
    QString text = TranslateText("qrptool", Text);
    for (const std::string& part : Parts)
        text = text.arg(QString::fromLocal8Bit(part.c_str()));
    return text.toLocal8Bit().toStdString();
}

std::string CString(const char* Text)
{
    std::string s = "\"";
    for (const char* c = Text; *c; ++c) {
        if (*c == '"' || *c == '\\')
            s += '\\';
        if (*c == '\n')
            s += "\\n";
        else
            s += *c;
    }
    return s + '"';
}

// The commands of this helper as C++ initializers, for qrptool's list.
int ListCommands(const char* FileName, const char* Program)
{
    std::string program = Program;
    program = program.substr(program.rfind('/') + 1);
    std::ofstream out(FileName, std::ios::trunc);
    for (const ToolCommand& c : Registry())
        out << "{" << CString(c.Name) << ", " << CString(c.Usage) << ", "
            << (c.Summary ? CString(c.Summary) : std::string("nullptr")) << ", " << CString(program.c_str()) << "},\n";
    out.close();
    if (!out) {
        std::fprintf(stderr, "qrptool: cannot write %s\n", FileName);
        return 1;
    }
    return 0;
}
#endif

// For the tests: which libraries a command had loaded when it finished.
void WriteMapsIfAsked()
{
    const char* to = std::getenv("QRPTOOL_MAPS_TO");
    if (!to || !*to)
        return;
    std::ifstream in("/proc/self/maps");
    std::ofstream out(to, std::ios::trunc);
    out << in.rdbuf();
}

// Turns a text of qrptool's into the user's language (or leaves it).
using TTextOf = std::string (*)(const char* Text);

void PrintUsage(FILE* out, const std::vector<THelperCommand>& Commands, TTextOf Text)
{
    std::fprintf(out, "%s", Text(QT_TRANSLATE_NOOP("qrptool", "usage: qrptool COMMAND [ARGS]\n\ncommands:\n")).c_str());
    for (const THelperCommand& c : Commands)
        std::fprintf(out, "  qrptool %s\n", c.Usage);
}

// The full help; the man page is made from it.
void PrintHelp(const std::vector<THelperCommand>& Commands, TTextOf Text)
{
    std::printf("%s", Text(QT_TRANSLATE_NOOP("qrptool", "Usage: qrptool COMMAND [ARGS]\n"
                                                        "Shows, converts and prints saved report files (.QRP) "
                                                        "from the command line.\n\n"
                                                        "Commands:\n"))
                          .c_str());
    for (const THelperCommand& c : Commands) {
        std::printf("  %s\n", c.Usage);
        if (c.Summary && *c.Summary)
            std::printf("      %s\n", Text(c.Summary).c_str());
    }
    std::printf("%s",
                Text(QT_TRANSLATE_NOOP("qrptool", "\nExit status 0 on success; on failure one line on standard error "
                                                  "and status 1\n(2 for wrong arguments).\n\n"
                                                  "qrptool is free software under the GNU General Public License, "
                                                  "version 3 or\nlater; run \"qrptool --version\" for the notice.\n"))
                    .c_str());
}

const char* const UnknownCommand = QT_TRANSLATE_NOOP("qrptool", "qrptool: unknown command \"%1\"\n");

#ifndef QRP_TOOL_HELPERS
// A helper prints its texts in the user's language itself.
void ExecLocalisedHelp(const char*, const char*) {}

// The commands' own messages, with their variable parts as %1, %2; the
// lower layers' messages they may carry are translated as well.
const std::vector<const char*> ToolMessages = {
    QT_TRANSLATE_NOOP("qrptool", "unknown option \"%1\""),
    QT_TRANSLATE_NOOP("qrptool", "unknown or incomplete option \"%1\""),
    QT_TRANSLATE_NOOP("qrptool", "unknown option %1"),
    QT_TRANSLATE_NOOP("qrptool", "unknown argument \"%1\""),
    QT_TRANSLATE_NOOP("qrptool", "unexpected argument \"%1\""),
    QT_TRANSLATE_NOOP("qrptool", "unexpected \"%1\""),
    QT_TRANSLATE_NOOP("qrptool", "unknown paper \"%1\" (A4, A3, A5, Letter, Legal, ...)"),
    QT_TRANSLATE_NOOP("qrptool", "unknown format \"%1\""),
    QT_TRANSLATE_NOOP("qrptool", "%1 needs a value"),
    QT_TRANSLATE_NOOP("qrptool", "%1 wants a number from 1 to %2, not \"%3\""),
    QT_TRANSLATE_NOOP("qrptool", "%1 wants a positive number, not \"%2\""),
    QT_TRANSLATE_NOOP("qrptool", "%1 must lie between 1 and %2"),
    QT_TRANSLATE_NOOP("qrptool", "%1 must be a page number, not \"%2\""),
    QT_TRANSLATE_NOOP("qrptool", "--pages wants a whole number from 1 to %1, not \"%2\""),
    QT_TRANSLATE_NOOP("qrptool", "--pages wants A-B or N with page numbers from 1, not \"%1\""),
    QT_TRANSLATE_NOOP("qrptool", "--pages wants page numbers from 1 on, not \"%1\""),
    QT_TRANSLATE_NOOP("qrptool", "--pages %1 is an empty range"),
    QT_TRANSLATE_NOOP("qrptool", "--copies wants a number from 1 to 99, not \"%1\""),
    QT_TRANSLATE_NOOP("qrptool", "-s wants a size in pixels, not \"%1\""),
    QT_TRANSLATE_NOOP("qrptool", "-s must lie between 16 and %1"),
    QT_TRANSLATE_NOOP("qrptool", "\"%1\" is not a page number"),
    QT_TRANSLATE_NOOP("qrptool", "give either --dpi or --width"),
    QT_TRANSLATE_NOOP("qrptool", "-o is missing"),
    QT_TRANSLATE_NOOP("qrptool", "only one output file, please"),
    QT_TRANSLATE_NOOP("qrptool", "no output file given"),
    QT_TRANSLATE_NOOP("qrptool", "no report file given"),
    QT_TRANSLATE_NOOP("qrptool", "expected an output file and at least one EMF file"),
    QT_TRANSLATE_NOOP("qrptool", "expected a report file, a page number and an output file"),
    QT_TRANSLATE_NOOP("qrptool", "expected SRC DST FIRST LAST"),
    QT_TRANSLATE_NOOP("qrptool", "expected --db ARCHIVE.db|URI"),
    QT_TRANSLATE_NOOP("qrptool", "expected --db ARCHIVE.db"),
    QT_TRANSLATE_NOOP("qrptool", "expected a query"),
    QT_TRANSLATE_NOOP("qrptool", "expected at least one folder"),
    QT_TRANSLATE_NOOP("qrptool", "expected DST and the source reports"),
    QT_TRANSLATE_NOOP("qrptool", "expected the report file"),
    QT_TRANSLATE_NOOP("qrptool", "expected one report file"),
    QT_TRANSLATE_NOOP("qrptool", "expected EMF files"),
    QT_TRANSLATE_NOOP("qrptool", "expected a pattern and at least one file or folder"),
    QT_TRANSLATE_NOOP("qrptool", "expected reports, EMF files or folders"),
    QT_TRANSLATE_NOOP("qrptool", "expected a report or EMF file"),
    QT_TRANSLATE_NOOP("qrptool", "expected an input file and an output file"),
    QT_TRANSLATE_NOOP("qrptool", "put the query in quotes: one argument, not \"%1\" after it"),
    QT_TRANSLATE_NOOP("qrptool", "--stem needs an index on a PostgreSQL server"),
    QT_TRANSLATE_NOOP("qrptool", "the query is not understood: %1"),
    QT_TRANSLATE_NOOP("qrptool", "page %1 does not exist: \"%2\" has %3 pages"),
    QT_TRANSLATE_NOOP("qrptool", "pages %1-%2 hold no page of \"%3\" (%4 pages); nothing written"),
    QT_TRANSLATE_NOOP("qrptool", "%1: no such index; make it with qrptool index update"),
    QT_TRANSLATE_NOOP("qrptool", "cannot use \"%1\" as the archive index: %2"),
    QT_TRANSLATE_NOOP("qrptool", "not an archive index (qrptool index update makes one); left as it was"),
    QT_TRANSLATE_NOOP("qrptool", "not an archive index (qrptool index init makes one)"),
    QT_TRANSLATE_NOOP("qrptool", "the query has no words to look for"),
    QT_TRANSLATE_NOOP("qrptool", "the query has %1 words; at most %2 are looked for at once"),
    QT_TRANSLATE_NOOP("qrptool", "no printer named \"%1\"; see qrptool printers"),
    QT_TRANSLATE_NOOP("qrptool", "the picture would be too large (%1 x %2 pixels)"),
    QT_TRANSLATE_NOOP("qrptool", "cannot write \"%1\""),
    QT_TRANSLATE_NOOP("qrptool", "cannot create the folder \"%1\""),
    QT_TRANSLATE_NOOP("qrptool", "the report has %1 pages"),
    QT_TRANSLATE_NOOP("qrptool", "page %1 is missing"),
    QT_TRANSLATE_NOOP("qrptool", "%1: not a regular file"),
    QT_TRANSLATE_NOOP("qrptool", "\"%1\" holds no page"),
    QT_TRANSLATE_NOOP("qrptool", "\"%1\": page 1 is too complex to draw in full"),
    // Last: a file name before a lower layer's message.
    QT_TRANSLATE_NOOP("qrptool", "\"%1\": %2"),
};

QString TranslatedToolMessage(const QString& English)
{
    return TranslatedErrorText(English, "qrptool", ToolMessages);
}

// The front's texts, handed over with the front's list of commands:
// argv is KIND UNKNOWN then NAME USAGE SUMMARY for each command.
int PrintLocalisedHelp(int argc, char** argv)
{
    std::vector<THelperCommand> commands;
    for (int i = 4; i + 2 < argc; i += 3)
        commands.push_back({argv[i], argv[i + 1], argv[i + 2], ""});
    const std::string kind = argv[2];
    if (kind == "help") {
        PrintHelp(commands, Translated);
        return 0;
    }
    if (kind == "unknown")
        std::fprintf(stderr, "%s", Filled(UnknownCommand, {argv[3]}).c_str());
    PrintUsage(stderr, commands, Translated);
    return 2;
}
#endif

} // namespace

ToolCommandRegistrar::ToolCommandRegistrar(const ToolCommand& Command)
{
    Registry().push_back(Command);
}

const std::vector<ToolCommand>& ToolCommands()
{
    return Registry();
}

int main(int argc, char** argv)
{
#ifdef QRP_TOOL_HELPERS
    const bool english = EnglishMessages();
    const TTextOf text = AsWritten;
#else
    const bool english = true;
    const TTextOf text = Translated;
    if (argc >= 4 && !std::strcmp(argv[1], "--localised-help"))
        return PrintLocalisedHelp(argc, argv);
    // The system's own reasons (strerror) in the user's language too; only
    // the messages' locale, so that numbers and case folding stay as they are.
    std::setlocale(LC_MESSAGES, "");
    bind_textdomain_codeset("libc", "UTF-8");
#endif
    if (argc < 2) {
        if (!english)
            ExecLocalisedHelp("usage", "");
        PrintUsage(stderr, AllCommands(), text);
        return 2;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        if (!english)
            ExecLocalisedHelp("help", "");
        PrintHelp(AllCommands(), text);
        return 0;
    }
    if (!std::strcmp(argv[1], "--version")) {
        std::printf("qrptool %s\n%s", QrpVersion, QrpLicenceNotice);
        return 0;
    }
#ifndef QRP_TOOL_HELPERS
    if (argc == 3 && !std::strcmp(argv[1], "--list-commands"))
        return ListCommands(argv[2], argv[0]);
#endif
    const ToolCommand* command = nullptr;
    int skip = 2;
    // A command of two words ("index update") is chosen by both.
    const std::string twoWords = argc > 2 ? std::string(argv[1]) + ' ' + argv[2] : std::string();
    for (const ToolCommand& c : Registry()) {
        if (!std::strcmp(c.Name, argv[1]))
            command = &c;
        else if (c.Name == twoWords) {
            command = &c;
            skip = 3;
        }
    }
#ifdef QRP_TOOL_HELPERS
    if (!command) {
        for (const THelperCommand& c : HelperCommands)
            if (!std::strcmp(c.Name, argv[1]) || c.Name == twoWords)
                return RunHelper(c.Program, argv);
    }
#endif
    if (!command) {
        if (!english)
            ExecLocalisedHelp("unknown", argv[1]);
        std::string message = text(UnknownCommand);
        if (const size_t at = message.find("%1"); at != std::string::npos)
            message.replace(at, 2, argv[1]);
        std::fprintf(stderr, "%s", message.c_str());
        PrintUsage(stderr, AllCommands(), text);
        return 2;
    }
#if defined(__GLIBC__)
    // Page after page, each thread frees a page's buffers at the top of its
    // heap; by default glibc then hands that memory back to the kernel
    // (madvise, whose TLB flush stops every core) and the next page faults
    // it in again: a quarter of a search's time. A command's heap is kept
    // instead; it is freed at exit. The mmap threshold must be set with it,
    // or setting the first pins the second at 128 KiB.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
    TPrivateRuntimeDir runtimeDir;
#if QRP_TOOL_APP
    std::unique_ptr<TToolApplication> app;
    if (command->NeedsGui) {
        // A command-line tool must work without a display.
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app = std::make_unique<TToolApplication>(argc, argv);
        InstallTranslations(*app);
        // Nothing later needs it: a command killed mid-way leaves no folder.
        runtimeDir.Vacate();
    }
#endif
    std::vector<std::string> args(argv + skip, argv + argc);
    try {
        const int status = command->Run(args);
        WriteMapsIfAsked();
        return status;
    } catch (const UsageError& e) {
#ifdef QRP_TOOL_HELPERS
        std::fprintf(stderr, "qrptool %s: %s\nusage: qrptool %s\n", command->Name, e.Message.c_str(), command->Usage);
#else
        const QString message = TranslatedToolMessage(QString::fromStdString(e.Message));
        std::fprintf(stderr, "qrptool %s: %s\n%s", command->Name, message.toLocal8Bit().constData(),
                     Filled(QT_TRANSLATE_NOOP("qrptool", "usage: qrptool %1\n"), {command->Usage}).c_str());
#endif
        return 2;
    } catch (const std::exception& e) {
#ifdef QRP_TOOL_HELPERS
        std::fprintf(stderr, "qrptool %s: %s\n", command->Name, e.what());
#else
        // The message follows the user's language; the English is what the
        // lower layers raise.
        std::string message = e.what();
        // The bare stream error names no file: name the command's report.
        if (dynamic_cast<const EReadError*>(&e) && message == EReadError().what()) {
            struct stat st;
            for (const std::string& arg : args)
                if (!arg.empty() && arg[0] != '-' && ::stat(arg.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
                    message = "Cannot read \"" + arg + "\": " + ShortReportReason(arg);
                    break;
                }
        }
        std::fprintf(stderr, "qrptool %s: %s\n", command->Name,
                     TranslatedToolMessage(QString::fromStdString(message)).toLocal8Bit().constData());
#endif
        return 1;
    }
}
