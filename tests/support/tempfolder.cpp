// SPDX-License-Identifier: GPL-3.0-or-later
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

TPrivateTempFolder::TPrivateTempFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/qrp-test-XXXXXX";
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("cannot make a private folder in " + tmpl);
    FRoot = tmpl;
    FPath = FRoot + "/tmp";
    std::filesystem::create_directory(FPath);
    if (base) {
        FHadTmp = true;
        FOldTmp = base;
    }
    ::setenv("TMPDIR", FPath.c_str(), 1);
}

TPrivateTempFolder::~TPrivateTempFolder()
{
    if (FHadTmp)
        ::setenv("TMPDIR", FOldTmp.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    std::string left;
    for (const std::string& name : Leftovers())
        left += " " + name;
    if (!left.empty())
        ADD_FAILURE() << "Left in the temporary folder:" << left;
    std::error_code ignored;
    std::filesystem::remove_all(FRoot, ignored);
}

std::string TPrivateTempFolder::FilePath(const std::string& Name) const
{
    return FRoot + "/" + Name;
}

std::vector<std::string> TPrivateTempFolder::Leftovers() const
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(FPath, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
