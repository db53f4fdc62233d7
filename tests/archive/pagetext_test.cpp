// SPDX-License-Identifier: GPL-3.0-or-later
// The page texts the archive index keeps for snippets and for taking pages
// out again: deflated against a dictionary of the archive's first report,
// beside texts an index written before that holds as plain zlib.
#include "platform/emftext/emftext.h"
#include "platform/emftext/textfold.h"
#include "platform/metafile.h"
#include "archive/archiveindex.h"
#include "printer/demoreport.h"
#include "archive/reporttext.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace {

struct TSql {
    explicit TSql(const QString& File) { sqlite3_open(File.toUtf8().constData(), &Db); }
    ~TSql() { sqlite3_close(Db); }
    int64_t Int(const char* Sql)
    {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(Db, Sql, -1, &s, nullptr);
        const int64_t v = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
        sqlite3_finalize(s);
        return v;
    }
    sqlite3* Db = nullptr;
};

std::vector<std::string> Files(const std::vector<TIndexHit>& Hits)
{
    std::vector<std::string> files;
    for (const TIndexHit& h : Hits)
        files.push_back(QDir(QString::fromStdString(h.File)).dirName().toStdString() + ":" + std::to_string(h.Page));
    std::sort(files.begin(), files.end());
    return files;
}

TEST(ArchivePageText, TextsWithAndWithoutTheDictionaryReadAndComeOutAgain)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("archive"));
    QDir().mkpath(archive);
    const QString db = dir.filePath(QStringLiteral("archive.db"));
    const QString old = archive + QStringLiteral("/old.qrp");
    SaveDemoReport(old, 3);
    TIndexUpdateOptions options;
    {
        TArchiveIndex index(db.toStdString());
        index.Update({archive.toStdString()}, options);
    }
    // As an index made before the dictionary: page texts as qCompress wrote them.
    {
        TSql sql(db);
        ASSERT_EQ(sql.Int("SELECT count(*) FROM meta"), 1);
        ASSERT_EQ(sql.Int("SELECT min(hex(substr(text, 1, 1)) + 0) FROM pages"), 1);
        sqlite3_exec(sql.Db, "DELETE FROM meta", nullptr, nullptr, nullptr);
        TTextSource source(old.toStdString());
        for (int p = 1; p <= source.PageCount(); ++p) {
            const QByteArray text = qCompress(EmfLinesText(EmfPageLines(*source.Page(p), false)).toUtf8(), 6);
            sqlite3_stmt* s = nullptr;
            sqlite3_prepare_v2(sql.Db, "UPDATE pages SET text = ? WHERE page = ?", -1, &s, nullptr);
            sqlite3_bind_blob(s, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(s, 2, p);
            ASSERT_EQ(sqlite3_step(s), SQLITE_DONE);
            sqlite3_finalize(s);
        }
        ASSERT_EQ(sql.Int("SELECT max(hex(substr(text, 1, 1)) + 0) FROM pages"), 0);
    }

    TArchiveIndex index(db.toStdString());
    SaveDemoReport(archive + QStringLiteral("/new.qrp"), 2);
    EXPECT_EQ(index.Update({archive.toStdString()}, options).Added, 1);
    // Both kinds give their snippets...
    std::vector<TIndexHit> hits = index.Query(QStringLiteral("hazırlayan"), FoldCase, 10);
    EXPECT_EQ(Files(hits), (std::vector<std::string>{"new.qrp:2", "old.qrp:3"}));
    for (const TIndexHit& h : hits)
        EXPECT_TRUE(h.Snippet.startsWith(QStringLiteral("Hazırlayan: Gülşen Yılmaz"))) << h.Snippet.toStdString();
    // ... and the words to take out: without them the old pages would still match.
    QFile::remove(old);
    EXPECT_EQ(index.Update({archive.toStdString()}, options).Removed, 1);
    EXPECT_EQ(Files(index.Query(QStringLiteral("hazırlayan"), FoldCase, 10)), (std::vector<std::string>{"new.qrp:2"}));
    EXPECT_EQ(Files(index.Query(QStringLiteral("\"sayfa toplamı\""), FoldCase, 10)),
              (std::vector<std::string>{"new.qrp:1", "new.qrp:2"}));
    TSql sql(db);
    EXPECT_EQ(sql.Int("SELECT count(*) FROM pages"), 2);
    EXPECT_EQ(sql.Int("SELECT min(hex(substr(text, 1, 1)) + 0) FROM pages"), 1);
}

} // namespace
