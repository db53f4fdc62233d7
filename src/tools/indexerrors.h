// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The index commands' errors: SQLite and the server speak English and name
// no file, so their words follow a sentence of ours that names the index.
#include "archive/archiveindex.h"
#include "archive/pgarchiveindex.h"

#include <algorithm>
#include <string>
#include <vector>

inline int RunNamingTheIndex(const std::vector<std::string>& Args, int (*Command)(const std::vector<std::string>&))
{
    try {
        return Command(Args);
    } catch (const EArchiveIndex& e) {
        const auto option = std::find(Args.begin(), Args.end(), "--db");
        if (option == Args.end() || option + 1 == Args.end())
            throw;
        const std::string& db = option[1];
        std::string reason = e.what();
        if (reason.rfind(db + ": ", 0) == 0)
            reason.erase(0, db.size() + 2);
        // A server's address may hold a password: it is named without.
        const std::string name = IsServerIndex(db) ? ServerIndexName(db) : db;
        throw EArchiveIndex("cannot use \"" + name + "\" as the archive index: " + reason);
    }
}
