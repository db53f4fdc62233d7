// SPDX-License-Identifier: GPL-3.0-or-later
// `qrptool info` on a file from the wild: the command as qrptool runs it,
// with this harness in place of qrptool's command registry.
#include "fuzz_support.h"
#include "platform/errors.h"
#include "tools/command.h"

#include <vector>

namespace {

std::vector<ToolCommand>& Registry()
{
    static std::vector<ToolCommand> commands;
    return commands;
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

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SilenceStdout();
    if (Registry().size() != 1)
        FuzzFinding("the info command did not register");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string file = FuzzInputFile(Data, Size);
    for (const std::vector<std::string>& args : {std::vector<std::string>{file}, {file, "--json"}}) {
        try {
            if (Registry().front().Run(args) != 0)
                FuzzFinding("info returned failure without an error");
        } catch (const Exception& e) {
            if (!*e.what())
                FuzzFinding("an error without a message");
            break;
        }
    }
    return 0;
}
