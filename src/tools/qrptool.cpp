#include "tools/command.h"
#include "platform/runtimedir.h"
#include "platform/version.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

namespace {

std::vector<ToolCommand>& Registry()
{
    static std::vector<ToolCommand> commands;
    return commands;
}

void PrintUsage(FILE* out)
{
    std::fprintf(out, "usage: qrptool COMMAND [ARGS]\n\ncommands:\n");
    for (const ToolCommand& c : Registry())
        std::fprintf(out, "  qrptool %s\n", c.Usage);
}

// The full help; the man page is made from it.
void PrintHelp()
{
    std::printf("Usage: qrptool COMMAND [ARGS]\n"
                "Shows, converts and prints saved report files (.QRP) from the command line.\n\n"
                "Commands:\n");
    for (const ToolCommand& c : Registry())
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
    if (!command) {
        std::fprintf(stderr, "qrptool: unknown command \"%s\"\n", argv[1]);
        PrintUsage(stderr);
        return 2;
    }
    TPrivateRuntimeDir runtimeDir;
    std::unique_ptr<QApplication> app;
    if (command->NeedsGui) {
        // A command-line tool must work without a display.
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app = std::make_unique<QApplication>(argc, argv);
        // Nothing later needs it: a command killed mid-way leaves no folder.
        runtimeDir.Vacate();
    }
    std::vector<std::string> args(argv + skip, argv + argc);
    try {
        return command->Run(args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "qrptool %s: %s\nusage: qrptool %s\n", command->Name, e.Message.c_str(), command->Usage);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qrptool %s: %s\n", command->Name, e.what());
        return 1;
    }
}
