// qrptool index update / query and text --jsonl, as a user runs them.
#include "tool_helpers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

class IndexCommands : public ToolTest {
protected:
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
