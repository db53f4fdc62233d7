// qrptool info, emf and create, run as a user would run them.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string Tool = QRP_BINARY_DIR "/src/tools/qrptool";
const std::string Data = QRP_TEST_DATA;

std::string Slurp(const std::string& Name)
{
    std::ifstream f(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

void Spit(const std::string& Name, const std::string& Content)
{
    std::ofstream(Name, std::ios::binary) << Content;
}

struct Result {
    int Status = -1;
    std::string Out, Err;
    double Seconds = 0;
};

class StoreCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/qrp-tool-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        Dir = tmpl;
        Tmp = Dir + "/tmp";
        ASSERT_EQ(::mkdir(Tmp.c_str(), 0700), 0);
    }
    void TearDown() override
    {
        for (const std::string& d : {Tmp, Dir}) {
            for (const std::string& f : Files(d))
                ::unlink((d + "/" + f).c_str());
            ::rmdir(d.c_str());
        }
    }
    static std::vector<std::string> Files(const std::string& D)
    {
        std::vector<std::string> names;
        DIR* d = ::opendir(D.c_str());
        while (dirent* e = d ? ::readdir(d) : nullptr)
            if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
                names.push_back(e->d_name);
        if (d)
            ::closedir(d);
        return names;
    }
    Result Run(const std::string& Args)
    {
        Result r;
        const auto start = std::chrono::steady_clock::now();
        const std::string cmd = "TMPDIR=" + Tmp + " " + Tool + " " + Args + " >" + Dir + "/out.txt 2>" + Dir + "/err.txt";
        const int status = std::system(cmd.c_str());
        r.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        r.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.Out = Slurp(Dir + "/out.txt");
        r.Err = Slurp(Dir + "/err.txt");
        ::unlink((Dir + "/out.txt").c_str());
        ::unlink((Dir + "/err.txt").c_str());
        return r;
    }
    std::string Dir, Tmp;
};

TEST_F(StoreCommands, InfoShowsTheSampleReport)
{
    const Result r = Run(Data + "/reports/sample.qrp");
    EXPECT_NE(r.Status, 0); // no command given
    const Result info = Run("info " + Data + "/reports/sample.qrp");
    ASSERT_EQ(info.Status, 0) << info.Err;
    EXPECT_NE(info.Out.find("Header size: 128"), std::string::npos) << info.Out;
    EXPECT_NE(info.Out.find("Page count: 3"), std::string::npos);
    EXPECT_NE(info.Out.find("Page 1: 39688 bytes, 794 x 1124 px, 210.00 x 297.00 mm"), std::string::npos) << info.Out;
    const Result json = Run("info --json " + Data + "/reports/sample.qrp");
    ASSERT_EQ(json.Status, 0) << json.Err;
    EXPECT_NE(json.Out.find("\"pageCount\": 3"), std::string::npos) << json.Out;
    EXPECT_NE(json.Out.find("\"compressed\": false"), std::string::npos);
    EXPECT_NE(json.Out.find("{\"page\": 3, \"emfBytes\": 5092, \"widthPx\": 794"), std::string::npos) << json.Out;
}

TEST_F(StoreCommands, InfoNamesBytesAfterTheLastRecordAndShowsEveryPage)
{
    const std::string name = Dir + "/padded.qrp";
    Spit(name, Slurp(Data + "/reports/sample.qrp") + std::string(100, '\x1A'));
    const Result info = Run("info " + name);
    ASSERT_EQ(info.Status, 0) << info.Err;
    EXPECT_NE(info.Out.find("100 bytes after the last page record"), std::string::npos) << info.Out;
    EXPECT_NE(info.Out.find("Page 3: 5092 bytes"), std::string::npos) << info.Out;
    const Result emf = Run("emf " + name + " 3 " + Dir + "/p3.emf");
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
            const Result info = Run("info " + report);
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
    const std::vector<std::string> pages = {Data + "/emf/gdi-page1.emf", Data + "/emf/test-153.emf", Data + "/emf/written_by_libuemf.emf"};
    for (const char* flag : {"", "--compress "}) {
        const std::string out = Dir + "/made.qrp";
        const Result made = Run("create " + out + " " + flag + pages[0] + " " + pages[1] + " " + pages[2]);
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
        const Result r = Run(c.Args);
        EXPECT_NE(r.Status, 0) << c.Args;
        EXPECT_NE(r.Err.find(c.Message), std::string::npos) << c.Args << "\n" << r.Err;
        EXPECT_EQ(Slurp(existing), "precious") << c.Args;
    }
    EXPECT_EQ(Files(Tmp), std::vector<std::string>{});
}

TEST_F(StoreCommands, DamagedReportEndsInOneLineWithinASecond)
{
    std::string report = Slurp(Data + "/reports/sample.qrp");
    report[128 + 39688 + 12] = 9; // record 2 numbered 9
    const std::string name = Dir + "/damaged.qrp";
    Spit(name, report);
    for (const char* command : {"info ", "emf "}) {
        const Result r = Run(command + name + (std::string(command) == "emf " ? " 2 " + Dir + "/p.emf" : ""));
        EXPECT_EQ(r.Status, 1);
        EXPECT_LT(r.Seconds, 1.0);
        EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
        EXPECT_NE(r.Err.find("Damaged report file \"" + name + "\": page records out of sequence"), std::string::npos) << r.Err;
    }
    EXPECT_EQ(Slurp(name), report);
    EXPECT_FALSE(std::ifstream(Dir + "/p.emf").good());

    Spit(name, report.substr(0, 150));
    const Result shortFile = Run("info " + name);
    EXPECT_EQ(shortFile.Err, "qrptool info: Stream read error\n");
}

} // namespace
