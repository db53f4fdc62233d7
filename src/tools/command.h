// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Each qrptool command lives in its own file and registers itself here.
#include <string>
#include <vector>

struct ToolCommand {
    const char* Name;
    const char* Usage; // one line: "info FILE [--json]"
    bool NeedsGui;     // starts a (headless) Qt application first
    int (*Run)(const std::vector<std::string>& Args);
    const char* Summary = nullptr; // what it does, for --help and the man page
};

class ToolCommandRegistrar {
public:
    explicit ToolCommandRegistrar(const ToolCommand& Command);
};

const std::vector<ToolCommand>& ToolCommands();

// Thrown for wrong arguments; main prints the usage of the command.
struct UsageError {
    std::string Message;
};

// The whole number from 1 to Max given to Option (Text is the argument after
// it), in plain digits and no more of them than Max has; a usage error that
// names the range otherwise.
int CountOption(const std::string& Option, const std::string& Text, int Max);
