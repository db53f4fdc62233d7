// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool index init / update / query against a PostgreSQL server, as an
// office runs them: the same output as on a file, two updaters at once, a
// reader that may not write.
#include "pgserver.h"
#include "tool_helpers.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> SortedLines(const std::string& Text)
{
    std::vector<std::string> lines;
    std::istringstream in(Text);
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    std::sort(lines.begin(), lines.end());
    return lines;
}

class IndexServer : public ToolTest {
protected:
    void SetUp() override
    {
        ToolTest::SetUp();
        if (!Server.Available())
            GTEST_SKIP() << Server.Missing();
    }
    std::string Db(const std::string& User = {}) const { return " --db '" + Server.Uri(User) + "' "; }

    TTestServerDb Server;
};

TEST_F(IndexServer, SameCommandsGiveTheSameOutputAsOnAFile)
{
    fs::create_directories(Dir + "/arsiv/2024");
    ASSERT_EQ(Run("demo " + Dir + "/arsiv/satis.qrp --pages 2").Status, 0);
    ASSERT_EQ(Run("demo " + Dir + "/arsiv/2024/PACKED.QRP --pages 3 --compress").Status, 0);
    std::ofstream(Dir + "/arsiv/2024/broken.qrp", std::ios::binary) << std::string(300, 'x');

    ToolResult r = Run("index init" + Db());
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, Server.Uri() + ": archive index ready (0 pages)\n");
    const std::string file = " --db " + Dir + "/arsiv.db ";
    for (const std::string& args : {"index update %s " + Dir + "/arsiv --jobs 2", "index update %s " + Dir + "/arsiv",
                                    std::string("index query %s 'GENEL TOPLAM' --limit 5"),
                                    std::string("index query %s '\"genel toplam\" OR satış*' --limit 50"),
                                    std::string("index query %s isiklar --ascii --limit 50"),
                                    std::string("index query %s yokböyleşey"),
                                    std::string("index query %s 'fatura AND'")}) {
        const size_t at = args.find("%s");
        const ToolResult onFile = Run(args.substr(0, at) + file + args.substr(at + 2));
        const ToolResult onServer = Run(args.substr(0, at) + Db() + args.substr(at + 2));
        EXPECT_EQ(onServer.Status, onFile.Status) << args << "\n" << onServer.Err;
        // Equal scores may come in another order.
        EXPECT_EQ(SortedLines(onServer.Out), SortedLines(onFile.Out)) << args;
        EXPECT_EQ(onServer.Err.empty(), onFile.Err.empty()) << args << "\n" << onServer.Err;
    }
    r = Run("index query" + Db() + "'toplamlar' --stem");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("[Toplam]"), std::string::npos) << r.Out;
    r = Run("index query" + file + "toplamlar --stem");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("--stem needs an index on a PostgreSQL server"), std::string::npos) << r.Err;
}

TEST_F(IndexServer, TwoUpdatersAtOnceIndexEachReportOnceAndAReaderCannotWrite)
{
    fs::create_directories(Dir + "/arsiv");
    for (int i = 0; i < 6; ++i)
        ASSERT_EQ(Run("demo " + Dir + "/arsiv/r" + std::to_string(i) + ".qrp --pages 2").Status, 0);
    ASSERT_EQ(Run("index init" + Db()).Status, 0);
    // Two machines started by the same timer: two processes on the same folder.
    const std::string one = "TMPDIR=" + Tmp + " " + Tool + " index update" + Db() + Dir + "/arsiv --jobs 1";
    const std::string both = "(" + one + " >" + Dir + "/a.txt 2>&1 & " + one + " >" + Dir + "/b.txt 2>&1; wait)";
    ASSERT_EQ(std::system(both.c_str()), 0);
    const std::string a = Slurp(Dir + "/a.txt"), b = Slurp(Dir + "/b.txt");
    fs::remove(Dir + "/a.txt");
    fs::remove(Dir + "/b.txt");
    int addedA = -1, addedB = -1;
    ASSERT_EQ(std::sscanf(a.c_str(), "added %d,", &addedA), 1) << a;
    ASSERT_EQ(std::sscanf(b.c_str(), "added %d,", &addedB), 1) << b;
    EXPECT_EQ(addedA + addedB, 6) << a << b;
    ToolResult r = Run("index update" + Db() + Dir + "/arsiv");
    EXPECT_EQ(r.Out, "added 0, updated 0, removed 0, unchanged 6, damaged 0 (0 pages indexed)\n");
    EXPECT_EQ(SortedLines(Run("index query" + Db() + "'GENEL TOPLAM' --limit 50").Out).size(), 6u);

    const std::string reader = "qrp_tool_reader_" + std::to_string(::getpid());
    Server.Sql("DROP ROLE IF EXISTS " + reader + "; CREATE ROLE " + reader + " LOGIN; GRANT SELECT ON qrp_meta, " +
               "qrp_reports, qrp_pages TO " + reader);
    EXPECT_EQ(Run("index query" + Db(reader) + "'GENEL TOPLAM' --limit 1").Status, 0);
    ASSERT_EQ(Run("demo " + Dir + "/arsiv/r9.qrp --pages 1").Status, 0);
    r = Run("index update" + Db(reader) + Dir + "/arsiv");
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("permission denied for table qrp_reports"), std::string::npos) << r.Err;
    Server.Sql("DROP OWNED BY " + reader + "; DROP ROLE " + reader);
}

} // namespace
