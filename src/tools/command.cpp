// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/command.h"

int CountOption(const std::string& Option, const std::string& Text, int Max)
{
    const std::string most = std::to_string(Max);
    if (Text.empty() || Text.size() > most.size() || Text.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(Text) < 1 || std::stoi(Text) > Max)
        throw UsageError{Option + " wants a number from 1 to " + most + ", not \"" + Text + "\""};
    return std::stoi(Text);
}
