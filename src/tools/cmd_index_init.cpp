// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool index init --db URI: makes the tables of an archive index on a
// PostgreSQL server, or brings those of an older qrptool up to date.
#include "archive/archiveindex.h"
#include "archive/pgarchiveindex.h"
#include "tools/command.h"
#include "tools/indexerrors.h"

#include <QtGlobal>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int RunOnIndex(const std::vector<std::string>& Args)
{
    std::string db;
    for (size_t i = 0; i < Args.size(); ++i) {
        if (Args[i] == "--db" && i + 1 < Args.size())
            db = Args[++i];
        else
            throw UsageError{"unknown argument \"" + Args[i] + "\""};
    }
    if (db.empty())
        throw UsageError{"expected --db ARCHIVE.db|URI"};
    TArchiveIndex index(db, TArchiveIndex::ForUpdate);
    std::printf("%s: archive index ready (%lld pages)\n", IsServerIndex(db) ? ServerIndexName(db).c_str() : db.c_str(),
                static_cast<long long>(index.PageCount()));
    std::fflush(stdout);
    return 0;
}

int Run(const std::vector<std::string>& Args)
{
    return RunNamingTheIndex(Args, RunOnIndex);
}

const ToolCommandRegistrar registrar(
    {"index init", "index init --db ARCHIVE.db|URI", false, Run,
     QT_TRANSLATE_NOOP(
         "qrptool", "makes an empty archive index, or brings one made by an older qrptool up to date; on a PostgreSQL "
                    "server (a postgresql:// URI or service=NAME) run it once, as the owner of the database")});

} // namespace
