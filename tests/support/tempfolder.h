// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Points TMPDIR at a new, empty private folder for the life of the object,
// and fails the running test if anything is left in it at the end. The
// test's own files go beside it (FilePath), so that the folder holds only
// what the code under test put there.
#include <string>
#include <vector>

class TPrivateTempFolder {
public:
    TPrivateTempFolder();
    ~TPrivateTempFolder();
    TPrivateTempFolder(const TPrivateTempFolder&) = delete;
    TPrivateTempFolder& operator=(const TPrivateTempFolder&) = delete;

    // The folder TMPDIR names.
    const std::string& Path() const { return FPath; }
    // Name in a private folder beside it, removed with it.
    std::string FilePath(const std::string& Name) const;
    // What is in the TMPDIR folder now, by name, sorted.
    std::vector<std::string> Leftovers() const;

private:
    std::string FRoot;
    std::string FPath;
    std::string FOldTmp;
    bool FHadTmp = false;
};
