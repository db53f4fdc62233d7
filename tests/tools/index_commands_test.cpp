// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool index update / query and text --jsonl, as a user runs them.
#include "tool_helpers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

class IndexCommands : public ToolTest {
protected:
    // Root reads every folder; qrptool then runs without that right.
    static std::string AsUser()
    {
        return ::geteuid() == 0 ? "setpriv --bounding-set -dac_override,-dac_read_search env" : "env";
    }
    void MakeArchive()
    {
        fs::create_directories(Dir + "/arsiv/2024");
        ASSERT_EQ(Run("demo " + Dir + "/arsiv/satis.qrp --pages 2").Status, 0);
        ASSERT_EQ(Run("demo " + Dir + "/arsiv/2024/PACKED.QRP --pages 3 --compress").Status, 0);
        std::ofstream(Dir + "/arsiv/2024/broken.qrp", std::ios::binary) << std::string(300, 'x');
    }
};

TEST_F(IndexCommands, UpdateSummarisesAndQueryShowsMarkedHits)
{
    MakeArchive();
    const std::string db = " --db " + Dir + "/arsiv.db ";
    ToolResult r = Run("index update" + db + Dir + "/arsiv --jobs 2");
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Out, "added 2, updated 0, removed 0, unchanged 0, damaged 1 (5 pages indexed)\n");
    EXPECT_NE(r.Err.find("broken.qrp"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find('\n'), r.Err.size() - 1) << "one line per damaged report";

    fs::remove(Dir + "/arsiv/2024/broken.qrp");
    r = Run("index update" + db + Dir + "/arsiv");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "added 0, updated 0, removed 0, unchanged 2, damaged 0 (0 pages indexed)\n");
    EXPECT_EQ(r.Err, "");

    // The demo's last page carries the totals.
    r = Run("index query" + db + "'GENEL TOPLAM' --limit 5");
    ASSERT_EQ(r.Status, 0) << r.Err;
    std::istringstream lines(r.Out);
    std::string first, second, third;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_FALSE(std::getline(lines, third)) << r.Out;
    for (const std::string& l : {first, second})
        EXPECT_TRUE(l.find("/satis.qrp:2: ") != std::string::npos || l.find("/PACKED.QRP:3: ") != std::string::npos)
            << l;
    EXPECT_NE(first.find("[Genel] [toplam]"), std::string::npos) << first;

    r = Run("index query" + db + "isiklar --ascii --limit 1 --json");
    ASSERT_EQ(r.Status, 0) << r.Err;
    const QJsonArray hits = QJsonDocument::fromJson(QByteArray::fromStdString(r.Out)).object()["hits"].toArray();
    ASSERT_EQ(hits.size(), 1);
    const QJsonObject hit = hits[0].toObject();
    const QJsonArray mark = hit["marks"].toArray()[0].toArray();
    EXPECT_EQ(hit["snippet"].toString().mid(mark[0].toInt(), mark[1].toInt()), QStringLiteral("Işıklar"));

    EXPECT_EQ(Run("index query" + db + "yokböyleşey").Status, 1);
    r = Run("index query" + db + "'fatura AND'");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("not understood"), std::string::npos) << r.Err;
    r = Run("index query --db " + Dir + "/none.db fatura");
    EXPECT_EQ(r.Status, 1);
    EXPECT_FALSE(fs::exists(Dir + "/none.db"));
}

TEST_F(IndexCommands, TextJsonLinesGivesOneObjectPerPage)
{
    MakeArchive();
    const ToolResult r = Run("text --jsonl " + Dir + "/arsiv");
    EXPECT_EQ(r.Status, 2); // the damaged report
    EXPECT_NE(r.Err.find("broken.qrp"), std::string::npos);
    std::istringstream lines(r.Out);
    std::vector<QJsonObject> pages;
    for (std::string line; std::getline(lines, line);) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << line;
        pages.push_back(doc.object());
    }
    ASSERT_EQ(pages.size(), 5u);
    EXPECT_TRUE(pages[0]["path"].toString().endsWith(QStringLiteral("/2024/PACKED.QRP")));
    EXPECT_EQ(pages[2]["page"].toInt(), 3);
    EXPECT_TRUE(pages[3]["path"].toString().endsWith(QStringLiteral("/satis.qrp")));
    EXPECT_TRUE(pages[0]["text"].toString().contains(QStringLiteral("Öztürk Çelik")));
    EXPECT_TRUE(pages[0]["folded"].toString().contains(QStringLiteral("ozturk celik")));
    EXPECT_FALSE(pages[0]["mtime"].toString().isEmpty());
}

TEST_F(IndexCommands, UnreadableFoldersAndFifosAreNamedAndKeepTheirReports)
{
    MakeArchive();
    fs::remove(Dir + "/arsiv/2024/broken.qrp");
    const std::string db = " --db " + Dir + "/arsiv.db ";
    ASSERT_EQ(Run("index update" + db + Dir + "/arsiv").Status, 0);

    // A folder closed to the user, and a FIFO where a report might be: named, exit 2, nothing removed.
    fs::permissions(Dir + "/arsiv/2024", fs::perms::none);
    ASSERT_EQ(::mkfifo((Dir + "/arsiv/pipe.qrp").c_str(), 0644), 0);
    ToolResult r = Run("index update" + db + Dir + "/arsiv", "timeout 60 " + AsUser());
    fs::permissions(Dir + "/arsiv/2024", fs::perms::owner_all);
    EXPECT_EQ(r.Status, 2) << r.Err;
    EXPECT_EQ(r.Out, "added 0, updated 0, removed 0, unchanged 1, damaged 0, unreadable 2 (0 pages indexed)\n");
    EXPECT_NE(r.Err.find(Dir + "/arsiv/2024: cannot read folder"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find(Dir + "/arsiv/pipe.qrp: not a regular file"), std::string::npos) << r.Err;
    EXPECT_EQ(Run("index query" + db + "'GENEL TOPLAM'").Out.find("PACKED.QRP:3: ") != std::string::npos, true);
    fs::remove(Dir + "/arsiv/pipe.qrp");

    // The folder emptied (a share not mounted): kept, with a warning, until --prune.
    fs::remove_all(Dir + "/arsiv");
    fs::create_directories(Dir + "/arsiv");
    r = Run("index update" + db + Dir + "/arsiv");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "added 0, updated 0, removed 0, unchanged 0, damaged 0 (0 pages indexed)\n");
    EXPECT_NE(r.Err.find("/arsiv: holds no reports now; its 2 in the index are kept (--prune drops them)"),
              std::string::npos)
        << r.Err;
    r = Run("index update" + db + Dir + "/arsiv --prune");
    EXPECT_EQ(r.Out, "added 0, updated 0, removed 2, unchanged 0, damaged 0 (0 pages indexed)\n");
    EXPECT_EQ(r.Err, "");
}

TEST_F(IndexCommands, QueryReadsOnlyAndNamesFilesAsTheirBytes)
{
    // A name in ISO 8859-9, as a Windows share gives it.
    const std::string name = Dir + "/arsiv/sat\xfd\xfe.qrp";
    fs::create_directories(Dir + "/arsiv");
    ASSERT_EQ(Run("demo " + Dir + "/arsiv/satis.qrp --pages 2").Status, 0);
    fs::rename(Dir + "/arsiv/satis.qrp", name);
    const std::string db = " --db " + Dir + "/arsiv.db ";
    ToolResult r = Run("index update" + db + Dir + "/arsiv");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "added 1, updated 0, removed 0, unchanged 0, damaged 0 (2 pages indexed)\n");

    r = Run("index query" + db + "'GENEL TOPLAM'");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out.rfind(name + ":2: ", 0), 0u) << r.Out;
    r = Run("index query" + db + "'GENEL TOPLAM' --json");
    const QJsonArray hits = QJsonDocument::fromJson(QByteArray::fromStdString(r.Out)).object()["hits"].toArray();
    ASSERT_EQ(hits.size(), 1) << r.Out;
    // Each byte that is not UTF-8 as U+DC00 + byte, as Python's surrogateescape.
    const QString file = hits[0].toObject()["file"].toString();
    EXPECT_TRUE(file.endsWith(QStringLiteral("/arsiv/sat") + QChar(0xdcfd) + QChar(0xdcfe) + QStringLiteral(".qrp")))
        << r.Out;

    // 64 words at most.
    std::string words;
    for (int i = 0; i < 65; ++i)
        words += " toplam";
    r = Run("index query" + db + "'" + words + "'");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("the query has 65 words; at most 64 are looked for at once"), std::string::npos) << r.Err;

    // Another program's SQLite file: refused by name, left as it was.
    const std::string other = Dir + "/notes.db";
    sqlite3* made = nullptr;
    ASSERT_EQ(sqlite3_open(other.c_str(), &made), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(made, "CREATE TABLE notes(text)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(made);
    const std::string before = Slurp(other);
    r = Run("index query --db " + other + " toplam");
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "qrptool index query: cannot use \"" + other +
                         "\" as the archive index: not an archive index (qrptool index update makes one); left as "
                         "it was\n");
    EXPECT_EQ(Slurp(other), before);
    EXPECT_FALSE(fs::exists(other + "-wal"));
}
