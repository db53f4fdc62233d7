// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool and its helper programs: the same main over different commands.
#include "tools/command.h"
#include "platform/runtimedir.h"
#include "platform/version.h"
#ifndef QRP_TOOL_HELPERS
#include "platform/i18n/errortext.h"
#include "platform/i18n/translations.h"
#include "platform/errors.h"

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

#ifdef QRP_TOOL_HELPERS
struct THelperCommand {
    const char* Name;
    const char* Usage;
    const char* Summary;
    const char* Program;
};

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
// Returns only when the helper cannot be started.
int RunHelper(const char* Program, char** argv)
{
    const std::string folder = OwnFolder();
    // Installed, the helpers have a folder of their own; in the build tree
    // they sit beside qrptool.
    for (const std::string& path : {folder + "/" + QRP_HELPER_DIR + "/" + Program, folder + "/" + Program}) {
        if (access(path.c_str(), X_OK) == 0) {
            execv(path.c_str(), argv);
            std::fprintf(stderr, "qrptool: cannot start %s: %s\n", path.c_str(), std::strerror(errno));
            return 1;
        }
    }
    std::fprintf(stderr, "qrptool: the helper program %s is not installed beside qrptool\n", Program);
    return 1;
}
#else
struct THelperCommand {
    const char* Name;
    const char* Usage;
    const char* Summary;
};

std::vector<THelperCommand> AllCommands()
{
    std::vector<THelperCommand> all;
    for (const ToolCommand& c : Registry())
        all.push_back({c.Name, c.Usage, c.Summary});
    return all;
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

void PrintUsage(FILE* out)
{
    std::fprintf(out, "usage: qrptool COMMAND [ARGS]\n\ncommands:\n");
    for (const THelperCommand& c : AllCommands())
        std::fprintf(out, "  qrptool %s\n", c.Usage);
}

// The full help; the man page is made from it.
void PrintHelp()
{
    std::printf("Usage: qrptool COMMAND [ARGS]\n"
                "Shows, converts and prints saved report files (.QRP) from the command line.\n\n"
                "Commands:\n");
    for (const THelperCommand& c : AllCommands())
        std::printf("  %s\n%s%s%s", c.Usage, c.Summary ? "      " : "", c.Summary ? c.Summary : "",
                    c.Summary ? "\n" : "");
    std::printf("\nExit status 0 on success; on failure one line on standard error and status 1\n"
                "(2 for wrong arguments).\n\n"
                "qrptool is free software under the GNU General Public License, version 3 or\n"
                "later; run \"qrptool --version\" for the notice.\n");
}

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
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        PrintHelp();
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
        std::fprintf(stderr, "qrptool: unknown command \"%s\"\n", argv[1]);
        PrintUsage(stderr);
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
        std::fprintf(stderr, "qrptool %s: %s\nusage: qrptool %s\n", command->Name, e.Message.c_str(), command->Usage);
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
                    message = "Cannot read \"" + arg +
                              "\": the file ends before all of its data could be read: it is damaged or cut short";
                    break;
                }
        }
        std::fprintf(stderr, "qrptool %s: %s\n", command->Name,
                     TranslatedErrorText(QString::fromStdString(message)).toLocal8Bit().constData());
#endif
        return 1;
    }
}
