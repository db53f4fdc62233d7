// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool index query --db DB QUERY: the best pages for a full-text query,
// as FILE:PAGE: snippet with the words found in [brackets].
#include "platform/emftext/textfold.h"
#include "archive/archiveindex.h"
#include "archive/filenametext.h"
#include "archive/pgarchiveindex.h"
#include "tools/command.h"
#include "tools/indexerrors.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

int RunOnIndex(const std::vector<std::string>& Args)
{
    std::string db, text;
    int limit = 20;
    bool json = false;
    unsigned fold = FoldCase;
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& a = Args[i];
        if (a == "--db" && i + 1 < Args.size())
            db = Args[++i];
        else if (a == "--limit" && i + 1 < Args.size())
            limit = CountOption("--limit", Args[++i], 999999);
        else if (a == "--json")
            json = true;
        else if (a == "--ascii")
            fold |= FoldDiacritics;
        else if (a == "--stem")
            fold |= ArchiveStem;
        else if (a.size() > 2 && a.rfind("--", 0) == 0)
            throw UsageError{"unknown option \"" + a + "\""};
        else if (!text.empty())
            throw UsageError{"put the query in quotes: one argument, not \"" + a + "\" after it"};
        else
            text = a;
    }
    if (db.empty())
        throw UsageError{"expected --db ARCHIVE.db"};
    if (text.empty())
        throw UsageError{"expected a query"};
    std::error_code ec;
    if (!IsServerIndex(db) && !std::filesystem::is_regular_file(db, ec))
        throw std::runtime_error(db + ": no such index; make it with qrptool index update");

    TArchiveIndex index(db, TArchiveIndex::ReadOnly);
    if ((fold & ArchiveStem) && !index.OnServer())
        throw UsageError{"--stem needs an index on a PostgreSQL server"};
    std::vector<TIndexHit> hits;
    try {
        hits = index.Query(QString::fromStdString(text), fold, limit);
    } catch (const EArchiveQueryTooLong& e) {
        throw UsageError{e.what()};
    } catch (const EArchiveIndex& e) {
        throw UsageError{std::string("the query is not understood: ") + e.what()};
    }
    if (json) {
        QJsonArray out;
        for (const TIndexHit& h : hits) {
            QJsonArray marks;
            for (const auto& [start, length] : h.Marks)
                marks.append(QJsonArray{start, length});
            out.append(QJsonObject{{"file", FileNameText(h.File)},
                                   {"page", h.Page},
                                   {"score", h.Score},
                                   {"snippet", h.Snippet},
                                   {"marks", marks}});
        }
        const QByteArray doc = QJsonDocument(QJsonObject{{"hits", out}}).toJson(QJsonDocument::Indented);
        std::fwrite(doc.constData(), 1, size_t(doc.size()), stdout);
    } else {
        for (const TIndexHit& h : hits) {
            QString line = h.Snippet;
            for (auto it = h.Marks.rbegin(); it != h.Marks.rend(); ++it) {
                line.insert(it->first + it->second, u']');
                line.insert(it->first, u'[');
            }
            std::printf("%s:%d: %s\n", h.File.c_str(), h.Page, line.toUtf8().constData());
        }
    }
    std::fflush(stdout);
    return hits.empty() ? 1 : 0;
}

int Run(const std::vector<std::string>& Args)
{
    return RunNamingTheIndex(Args, RunOnIndex);
}

const ToolCommandRegistrar registrar(
    {"index query", "index query --db ARCHIVE.db|URI QUERY [--limit N] [--ascii] [--stem] [--json]", false, Run,
     QT_TRANSLATE_NOOP(
         "qrptool", "the pages of the archive index that best match QUERY (words, \"phrases\", prefix*, AND, OR, NOT), "
                    "as FILE:PAGE: snippet with the words found in [brackets]; --stem (on a server) finds the words' "
                    "other Turkish forms")});

} // namespace
