// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool info, emf and create, run as a user would run them.
#include "tool_helpers.h"

#include <algorithm>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using StoreCommands = ToolTest;

TEST_F(StoreCommands, InfoShowsTheSampleReport)
{
    const ToolResult r = Run(Data + "/reports/sample.qrp");
    EXPECT_NE(r.Status, 0); // no command given
    const ToolResult info = Run("info " + Data + "/reports/sample.qrp");
    ASSERT_EQ(info.Status, 0) << info.Err;
    EXPECT_NE(info.Out.find("Header size: 128"), std::string::npos) << info.Out;
    EXPECT_NE(info.Out.find("Page count: 3"), std::string::npos);
    EXPECT_NE(info.Out.find("Page 1: 39688 bytes, 794 x 1124 px, 210.00 x 297.00 mm"), std::string::npos) << info.Out;
    const ToolResult json = Run("info --json " + Data + "/reports/sample.qrp");
    ASSERT_EQ(json.Status, 0) << json.Err;
    EXPECT_NE(json.Out.find("\"pageCount\": 3"), std::string::npos) << json.Out;
    EXPECT_NE(json.Out.find("\"compressed\": false"), std::string::npos);
    EXPECT_NE(json.Out.find("{\"page\": 3, \"emfBytes\": 5092, \"widthPx\": 794"), std::string::npos) << json.Out;
}

TEST_F(StoreCommands, InfoNamesBytesAfterTheLastRecordAndShowsEveryPage)
{
    const std::string name = Dir + "/padded.qrp";
    Spit(name, Slurp(Data + "/reports/sample.qrp") + std::string(100, '\x1A'));
    const ToolResult info = Run("info " + name);
    ASSERT_EQ(info.Status, 0) << info.Err;
    EXPECT_NE(info.Out.find("100 bytes after the last page record"), std::string::npos) << info.Out;
    EXPECT_NE(info.Out.find("Page 3: 5092 bytes"), std::string::npos) << info.Out;
    const ToolResult emf = Run("emf " + name + " 3 " + Dir + "/p3.emf");
    EXPECT_EQ(emf.Status, 0) << emf.Err;
    EXPECT_EQ(Slurp(Dir + "/p3.emf").size(), 5092u);
}

TEST_F(StoreCommands, EveryLayoutGivesBackItsPagesByteForByte)
{
    const std::string first = Slurp(Data + "/emf/gdi-page2.emf");
    const std::string second = Slurp(Data + "/emf/test-124.emf");
    for (const char* layout : {"128", "124", "120", "96", "200"})
        for (const char* suffix : {"", "-z"}) {
            const std::string report = Data + "/reports/layout-" + layout + suffix + ".qrp";
            SCOPED_TRACE(report);
            const ToolResult info = Run("info " + report);
            ASSERT_EQ(info.Status, 0) << info.Err;
            EXPECT_NE(info.Out.find(std::string("Header size: ") + layout + "\n"), std::string::npos) << info.Out;
            EXPECT_NE(info.Out.find(*suffix ? "Compressed: true" : "Compressed: false"), std::string::npos);
            ASSERT_EQ(Run("emf " + report + " 1 " + Dir + "/p1.emf").Status, 0);
            EXPECT_EQ(Slurp(Dir + "/p1.emf"), first);
            if (std::string(layout) != "120") {
                ASSERT_EQ(Run("emf " + report + " 2 " + Dir + "/p2.emf").Status, 0);
                EXPECT_EQ(Slurp(Dir + "/p2.emf"), second);
            }
        }
}

TEST_F(StoreCommands, CreateThenExtractRoundTripsPlainAndCompressed)
{
    const std::vector<std::string> pages = {Data + "/emf/gdi-page1.emf", Data + "/emf/test-153.emf",
                                            Data + "/emf/written_by_libuemf.emf"};
    for (const char* flag : {"", "--compress "}) {
        const std::string out = Dir + "/made.qrp";
        const ToolResult made = Run("create " + out + " " + flag + pages[0] + " " + pages[1] + " " + pages[2]);
        ASSERT_EQ(made.Status, 0) << made.Err;
        for (size_t i = 0; i < pages.size(); ++i) {
            ASSERT_EQ(Run("emf " + out + " " + std::to_string(i + 1) + " " + Dir + "/back.emf").Status, 0);
            EXPECT_EQ(Slurp(Dir + "/back.emf"), Slurp(pages[i])) << flag << i;
        }
    }
    EXPECT_TRUE(Files(Tmp).empty());
}

TEST_F(StoreCommands, FailuresSayWhyAndLeaveFilesAlone)
{
    const std::string sample = Data + "/reports/sample.qrp";
    const std::string existing = Dir + "/keep.qrp";
    Spit(existing, "precious");
    Spit(Dir + "/bad.emf", std::string(300, 'x'));
    const struct {
        std::string Args;
        const char* Message;
    } cases[] = {
        {"emf " + sample + " 4 " + existing, "page 4 does not exist"},
        {"emf " + sample + " x " + existing, "not a page number"},
        {"emf " + sample + " 0 " + existing, "not a page number"},
        {"create " + existing + " " + Data + "/emf/gdi-page2.emf " + Dir + "/bad.emf", "bad.emf"},
        {"create " + existing + " " + Dir + "/missing.emf", "missing.emf"},
        {"info " + Dir + "/missing.qrp", "missing.qrp"},
        {"info", "no report file"},
        {"info --bogus " + sample, "--bogus"},
    };
    for (const auto& c : cases) {
        const ToolResult r = Run(c.Args);
        EXPECT_NE(r.Status, 0) << c.Args;
        EXPECT_NE(r.Err.find(c.Message), std::string::npos) << c.Args << "\n" << r.Err;
        EXPECT_EQ(Slurp(existing), "precious") << c.Args;
    }
    EXPECT_EQ(Files(Tmp), std::vector<std::string>{});
}

TEST_F(StoreCommands, DamagedReportEndsInOneLine)
{
    std::string report = Slurp(Data + "/reports/sample.qrp");
    report[128 + 39688 + 12] = 9; // record 2 numbered 9
    const std::string name = Dir + "/damaged.qrp";
    Spit(name, report);
    for (const char* command : {"info ", "emf "}) {
        const ToolResult r = Run(command + name + (std::string(command) == "emf " ? " 2 " + Dir + "/p.emf" : ""));
        EXPECT_EQ(r.Status, 1);
        EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
        EXPECT_NE(r.Err.find("Damaged report file \"" + name + "\": page records out of sequence"), std::string::npos)
            << r.Err;
    }
    EXPECT_EQ(Slurp(name), report);
    EXPECT_FALSE(std::ifstream(Dir + "/p.emf").good());

    Spit(name, report.substr(0, 150));
    const ToolResult shortFile = Run("info " + name);
    // The bare stream error names the report it was reading.
    EXPECT_EQ(shortFile.Err, "qrptool info: Cannot read \"" + name +
                                 "\": the file ends before all of its data could be read: it is damaged or cut short\n");
}

// As a cron job or a script under sudo runs it: no runtime folder, and
// nothing on standard error or in the temporary folder when all went well.
TEST_F(StoreCommands, QuietWithoutARuntimeFolder)
{
    const std::string sample = Data + "/reports/sample.qrp";
    const std::string jobs = Dir + "/jobs";
    ASSERT_EQ(::mkdir(jobs.c_str(), 0700), 0);
    const std::string env = "env -u XDG_RUNTIME_DIR QRP_PRINT_BACKEND=virtual QRP_VIRTUAL_PRINTERS=" + Data +
                            "/printers/office.ini QRP_VIRTUAL_OUTPUT=" + jobs;
    for (const std::string& args : {"info " + sample, "render " + sample + " --pages 1-1 --dpi 30 -o " + Dir + "/p",
                                    "print " + sample + " --pages 1-1"}) {
        const ToolResult r = Run(args, env);
        EXPECT_EQ(r.Status, 0) << args;
        EXPECT_EQ(r.Err, "") << args;
        EXPECT_EQ(Files(Tmp), std::vector<std::string>{}) << args;
    }
    EXPECT_EQ(Files(jobs).size(), 2u); // the job's PDF and its record
    for (const std::string& f : Files(jobs))
        ::unlink((jobs + "/" + f).c_str());
    ::rmdir(jobs.c_str());
}

} // namespace
