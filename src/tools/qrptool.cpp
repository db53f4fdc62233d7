#include "tools/command.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include "platform/sanitizer_hooks.h"

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
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const ToolCommand* command = nullptr;
    for (const ToolCommand& c : Registry())
        if (!std::strcmp(c.Name, argv[1]))
            command = &c;
    if (!command) {
        std::fprintf(stderr, "qrptool: unknown command \"%s\"\n", argv[1]);
        PrintUsage(stderr);
        return 2;
    }
    std::unique_ptr<QApplication> app;
    if (command->NeedsGui) {
        // A command-line tool must work without a display.
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app = std::make_unique<QApplication>(argc, argv);
    }
    std::vector<std::string> args(argv + 2, argv + argc);
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
