// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/runtimedir.h"

#include "platform/system.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

TPrivateRuntimeDir::TPrivateRuntimeDir()
{
    const char* given = std::getenv("XDG_RUNTIME_DIR");
    if (given && *given)
        return;
    std::string pattern = GetTempPath() + "/qrp-runtime-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    // mkdtemp makes it 0700, as Qt requires of a runtime folder. Without one
    // Qt falls back to its own, noisily; nothing else is lost.
    if (!mkdtemp(name.data()))
        return;
    FPath = name.data();
    setenv("XDG_RUNTIME_DIR", FPath.c_str(), 1);
}

void TPrivateRuntimeDir::Vacate()
{
    std::error_code ignored;
    if (!FPath.empty())
        std::filesystem::remove_all(FPath, ignored);
}

TPrivateRuntimeDir::~TPrivateRuntimeDir()
{
    if (FPath.empty())
        return;
    Vacate();
    unsetenv("XDG_RUNTIME_DIR");
}
