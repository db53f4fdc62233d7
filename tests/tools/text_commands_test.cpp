// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool text and search over real report files, as a user runs them.
#include "archive/filenametext.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string Tool = QRP_BINARY_DIR "/src/tools/qrptool";

struct Result {
    int Status = -1;
    std::string Out, Err;
};

std::string Slurp(const fs::path& Name)
{
    std::ifstream f(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

int Count(const std::string& Text, const std::string& What)
{
    int n = 0;
    for (size_t at = Text.find(What); at != std::string::npos; at = Text.find(What, at + 1))
        ++n;
    return n;
}

class TextCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char tmpl[] = "/tmp/qrp-text-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        Dir = tmpl;
        fs::create_directories(Dir / "a");
        fs::create_directories(Dir / "b" / "deep");
        ASSERT_EQ(Run("demo " + (Dir / "a" / "report.qrp").string() + " --pages 2").Status, 0);
        ASSERT_EQ(Run("demo " + (Dir / "b" / "deep" / "PACKED.QRP").string() + " --pages 2 --compress").Status, 0);
        std::ofstream(Dir / "b" / "broken.qrp", std::ios::binary) << std::string(300, 'x');
        std::ofstream(Dir / "b" / "notes.txt") << "Öztürk";
    }
    static void TearDownTestSuite() { fs::remove_all(Dir); }

    // Prefix: a command that runs the tool, such as a timeout.
    static Result Run(const std::string& Args, const std::string& Prefix = "")
    {
        Result r;
        const std::string out = (Dir / "out.txt").string(), err = (Dir / "err.txt").string();
        const int status = std::system((Prefix + Tool + " " + Args + " >" + out + " 2>" + err).c_str());
        r.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.Out = Slurp(out);
        r.Err = Slurp(err);
        fs::remove(out);
        fs::remove(err);
        return r;
    }
    static fs::path Dir;
};

fs::path TextCommands::Dir;

// A folder of a test's own, gone afterwards even where the test locked it.
struct TScratch {
    TScratch()
    {
        char tmpl[] = "/tmp/qrp-text-case-XXXXXX";
        if (::mkdtemp(tmpl))
            Path = tmpl;
    }
    ~TScratch()
    {
        std::error_code ec;
        for (const char* folder : {"locked", "blind"})
            fs::permissions(Path / folder, fs::perms::owner_all, fs::perm_options::replace, ec);
        fs::remove_all(Path, ec);
    }
    fs::path Path;
};

// The prefix that runs a command without the right to pass over folder
// permissions, so that a folder with mode 000 cannot be read: root (as in CI)
// loses CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH. None if that cannot be done.
std::optional<std::string> WithoutOverride(const fs::path& Locked)
{
    const std::string prefix = ::geteuid() == 0 ? "setpriv --bounding-set -dac_override,-dac_read_search " : "";
    if (std::system((prefix + "true >/dev/null 2>&1").c_str()) != 0 ||
        std::system((prefix + "ls " + Locked.string() + " >/dev/null 2>&1").c_str()) == 0)
        return std::nullopt;
    return prefix;
}

std::vector<QJsonObject> JsonLines(const std::string& Text)
{
    std::vector<QJsonObject> out;
    std::istringstream in(Text);
    for (std::string line; std::getline(in, line);)
        out.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(line)).object());
    return out;
}

TEST_F(TextCommands, TextGivesPagesInReadingOrderEndedByFormFeeds)
{
    const Result all = Run("text " + (Dir / "a" / "report.qrp").string());
    ASSERT_EQ(all.Status, 0) << all.Err;
    EXPECT_EQ(Count(all.Out, "\f"), 2);
    EXPECT_NE(all.Out.find("Öztürk Çelik Sanayi ve Ticaret A.Ş."), std::string::npos);
    // A table row keeps its columns in order on one line.
    EXPECT_NE(all.Out.find("1 STF-000001 02.01.2024 "), std::string::npos);
    const Result second = Run("text " + (Dir / "a" / "report.qrp").string() + " --pages 2-2");
    ASSERT_EQ(second.Status, 0);
    EXPECT_EQ(Count(second.Out, "\f"), 1);
    EXPECT_NE(second.Out.find("Sayfa 2 / 2"), std::string::npos);
    EXPECT_EQ(second.Out.find("Sayfa 1 / 2"), std::string::npos);
    EXPECT_EQ(Run("text " + (Dir / "a" / "report.qrp").string() + " --pages 3-1").Status, 2);
    EXPECT_EQ(Run("text " + (Dir / "b" / "broken.qrp").string()).Status, 1);
}

// Pages decoded on several threads come out as a serial run gives them,
// also when a damaged page stops the run part way.
TEST_F(TextCommands, PagesDecodedOnManyThreadsComeOutAsInASerialRun)
{
    const std::string packed = (Dir / "many.qrp").string(), cut = (Dir / "cut.qrp").string();
    ASSERT_EQ(Run("demo " + packed + " --pages 30 --compress").Status, 0);
    const std::string whole = Slurp(packed);
    std::ofstream(cut, std::ios::binary) << whole.substr(0, whole.size() * 3 / 5);
    for (const std::string& command : {"text " + packed, "text --jsonl " + packed, "text " + cut}) {
        SCOPED_TRACE(command);
        const Result serial = Run(command + " --jobs 1");
        const Result parallel = Run(command + " --jobs 3");
        EXPECT_EQ(parallel.Status, serial.Status);
        EXPECT_EQ(parallel.Err, serial.Err);
        EXPECT_TRUE(parallel.Out == serial.Out);
        EXPECT_GT(Count(serial.Out, command.find("cut") == std::string::npos ? "Sayfa" : "\f"), 10);
    }
    EXPECT_NE(Run("text " + cut + " --jobs 3").Status, 0);
    for (const char* jobs : {"1", "3"}) {
        const fs::path out = Dir / (std::string("png-") + jobs);
        fs::create_directories(out);
        ASSERT_EQ(
            Run("render " + packed + " --pages 5-16 --width 40 --jobs " + jobs + " -o " + (out / "p.png").string())
                .Status,
            0);
    }
    for (int n = 5; n <= 16; ++n) {
        const std::string name = "p-" + std::string(n < 10 ? "0" : "") + std::to_string(n) + ".png";
        const std::string a = Slurp(Dir / "png-1" / name), b = Slurp(Dir / "png-3" / name);
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == b) << name;
    }
    fs::remove_all(Dir / "png-1");
    fs::remove_all(Dir / "png-3");
    fs::remove(packed);
    fs::remove(cut);
}

TEST_F(TextCommands, SearchGoesOnPastADamagedFileAndExitsLikeGrep)
{
    const Result r = Run("search -i --ascii --jobs 3 'OZTURK celik sanayi' " + Dir.string());
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("broken.qrp"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find("notes.txt"), std::string::npos);
    const std::string packed = (Dir / "b" / "deep" / "PACKED.QRP").string() + ":";
    const std::string plain = (Dir / "a" / "report.qrp").string() + ":";
    // Files in name order, pages in order, each file's hits together.
    EXPECT_EQ(r.Out, plain + "1: Öztürk Çelik Sanayi ve Ticaret A.Ş. SATIŞ LİSTESİ\n" + plain +
                         "2: Öztürk Çelik Sanayi ve Ticaret A.Ş. SATIŞ LİSTESİ\n" + packed +
                         "1: Öztürk Çelik Sanayi ve Ticaret A.Ş. SATIŞ LİSTESİ\n" + packed +
                         "2: Öztürk Çelik Sanayi ve Ticaret A.Ş. SATIŞ LİSTESİ\n");

    const std::string report = (Dir / "a" / "report.qrp").string();
    // Without -i the case counts; without --ascii the marks do.
    EXPECT_EQ(Run("search 'öztürk çelik' " + report).Status, 1);
    EXPECT_EQ(Run("search -i 'ozturk celik' " + report).Status, 1);
    EXPECT_EQ(Run("search -i 'ÖZTÜRK ÇELİK' " + report).Status, 0);
    // The Turkish I: "Işıklar" found as "ISIKLAR", "ışıklar" and "işıklar".
    const int isiklar = Count(Run("search -i --ascii ISIKLAR " + report).Out, "\n");
    EXPECT_GT(isiklar, 0);
    EXPECT_EQ(Count(Run("search -i ışıklar " + report).Out, "\n"), isiklar);
    EXPECT_EQ(Count(Run("search -i işıklar " + report).Out, "\n"), isiklar);

    const Result rx = Run("search --regex 'STF-00000[1-3] ' " + report);
    EXPECT_EQ(rx.Status, 0);
    EXPECT_EQ(Count(rx.Out, "\n"), 3);
    EXPECT_EQ(Run("search --regex '(' " + report).Status, 2);
    EXPECT_EQ(Run("search nothing-like-this " + report).Status, 1);
}

TEST_F(TextCommands, SearchWritesJsonWithTheMatchRanges)
{
    const Result r = Run("search -i --json 'inşaat demiri' " + Dir.string());
    ASSERT_EQ(r.Status, 2);
    const QJsonObject doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.Out)).object();
    const QJsonArray matches = doc.value("matches").toArray();
    ASSERT_FALSE(matches.isEmpty());
    const QJsonObject first = matches.first().toObject();
    const QString line = first.value("line").toString();
    const QJsonArray range = first.value("matches").toArray().first().toArray();
    EXPECT_EQ(line.mid(range[0].toInt(), range[1].toInt()), QStringLiteral("İnşaat demiri"));
    EXPECT_EQ(doc.value("errors").toArray().size(), 1);
}

TEST_F(TextCommands, UnreadableFoldersAreErrorsNotAbsentReports)
{
    TScratch s;
    for (const char* folder : {"open", "locked/inner", "blind"}) {
        fs::create_directories(s.Path / folder);
        fs::copy_file(Dir / "a" / "report.qrp", s.Path / folder / "r.qrp");
    }
    // "blind" can be listed but not entered: its names are known, their files not.
    fs::permissions(s.Path / "locked", fs::perms::none, fs::perm_options::replace);
    fs::permissions(s.Path / "blind", fs::perms::owner_read, fs::perm_options::replace);
    const std::optional<std::string> as = WithoutOverride(s.Path / "locked");
    if (!as)
        GTEST_SKIP() << "cannot take the right to read any folder away here (setpriv missing or not allowed)";
    const std::string locked = (s.Path / "locked").string();

    const Result r = Run("search 'Öztürk Çelik' " + s.Path.string(), *as);
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find(locked + ": cannot read folder: Permission denied"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find((s.Path / "blind" / "r.qrp").string() + ": cannot read"), std::string::npos) << r.Err;
    // Title and footer of both pages of the one readable report.
    EXPECT_EQ(Count(r.Out, (s.Path / "open" / "r.qrp").string() + ":"), 4);

    const Result json = Run("search --json 'Öztürk Çelik' " + s.Path.string(), *as);
    EXPECT_EQ(json.Status, 2);
    const QJsonArray errors = QJsonDocument::fromJson(QByteArray::fromStdString(json.Out))["errors"].toArray();
    std::set<std::string> named;
    for (const QJsonValue e : errors)
        named.insert(FileNameBytes(e["file"].toString()));
    EXPECT_EQ(named, (std::set<std::string>{locked, (s.Path / "blind" / "r.qrp").string()})) << json.Out;

    const Result lines = Run("text --jsonl " + s.Path.string(), *as);
    EXPECT_EQ(lines.Status, 2);
    EXPECT_NE(lines.Err.find(locked + ": cannot read folder"), std::string::npos) << lines.Err;
    EXPECT_EQ(JsonLines(lines.Out).size(), 2u);

    // The root folder itself unreadable: an error, not an empty archive.
    const Result root = Run("search x " + locked, *as);
    EXPECT_EQ(root.Status, 2);
    EXPECT_NE(root.Err.find(locked + ": cannot read folder"), std::string::npos) << root.Err;
    EXPECT_EQ(Run("text --jsonl " + locked, *as).Status, 2);
}

TEST_F(TextCommands, AnExpressionThatReachesTheMatchLimitIsAnErrorNamingThePage)
{
    const std::string report = (Dir / "a" / "report.qrp").string();
    // Nested repeats before a digit the title line lacks: every split of the
    // line is tried. The footers (with digits) and the other branch still
    // find their lines.
    const std::string pattern = "'Öztürk(\\S*\\s*)*\\d|STF-000001 '";
    const Result r = Run("search --regex " + pattern + " " + report);
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(Count(r.Out, "STF-000001 "), 1) << r.Out;
    EXPECT_EQ(Count(r.Out, "Sayfa "), 2) << r.Out;
    EXPECT_EQ(Count(r.Out, "SATIŞ LİSTESİ"), 0) << r.Out;
    EXPECT_NE(r.Err.find(report + ": page 1: regular expression too complex"), std::string::npos) << r.Err;

    const Result json = Run("search --json --regex " + pattern + " " + report);
    EXPECT_EQ(json.Status, 2);
    const QJsonObject doc = QJsonDocument::fromJson(QByteArray::fromStdString(json.Out)).object();
    EXPECT_EQ(doc["matches"].toArray().size(), 3);
    ASSERT_EQ(doc["errors"].toArray().size(), 1);
    EXPECT_TRUE(doc["errors"][0]["error"].toString().startsWith("page 1: regular expression too complex"));
}

TEST_F(TextCommands, FifosAreRefusedWithoutBlocking)
{
    TScratch s;
    fs::create_directories(s.Path / "folder");
    ASSERT_EQ(::mkfifo((s.Path / "pipe.qrp").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((s.Path / "folder" / "page.emf").c_str(), 0600), 0);
    const std::string pipe = (s.Path / "pipe.qrp").string();
    // A command that opens the FIFO waits for a writer forever; the guard
    // turns that into status 124.
    const std::string guard = "timeout 60 ";

    const Result named = Run("search x " + pipe, guard);
    EXPECT_EQ(named.Status, 2);
    EXPECT_NE(named.Err.find(pipe + ": not a regular file"), std::string::npos) << named.Err;
    const Result inFolder = Run("search x " + s.Path.string(), guard);
    EXPECT_EQ(inFolder.Status, 2);
    EXPECT_NE(inFolder.Err.find("page.emf: not a regular file"), std::string::npos) << inFolder.Err;
    const Result text = Run("text " + pipe, guard);
    EXPECT_EQ(text.Status, 1);
    EXPECT_NE(text.Err.find(pipe + ": not a regular file"), std::string::npos) << text.Err;
    EXPECT_EQ(Run("text --jsonl " + pipe, guard).Status, 2);
}

// Passes once every open refuses what is not a regular file.
TEST_F(TextCommands, ThumbnailRefusesAFifoWithoutBlocking)
{
    TScratch s;
    ASSERT_EQ(::mkfifo((s.Path / "pipe.qrp").c_str(), 0600), 0);
    const Result r = Run("thumbnail " + (s.Path / "pipe.qrp").string() + " " + (s.Path / "out.png").string(),
                         "timeout 60 ");
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_FALSE(fs::exists(s.Path / "out.png"));
}

TEST_F(TextCommands, NamesThatAreNotUtf8KeepTheirBytesAndIdsOfTheirOwn)
{
    TScratch s;
    const std::set<std::string> names{"r\xFF.qrp", "r\xFE.qrp", "r%FF.qrp"};
    std::set<std::string> files;
    for (const std::string& n : names) {
        fs::copy_file(Dir / "a" / "report.qrp", s.Path / n);
        files.insert((s.Path / n).string());
    }

    const Result lines = Run("text --jsonl " + s.Path.string());
    ASSERT_EQ(lines.Status, 0) << lines.Err;
    // The document is UTF-8 text; the bytes travel as \udcXX escapes.
    EXPECT_EQ(QString::fromUtf8(lines.Out.data(), qsizetype(lines.Out.size())).toStdString(), lines.Out);
    EXPECT_NE(lines.Out.find("r\\udcff.qrp"), std::string::npos);
    std::set<QString> ids;
    std::set<std::string> paths;
    for (const QJsonObject& page : JsonLines(lines.Out)) {
        ids.insert(page["id"].toString());
        paths.insert(FileNameBytes(page["path"].toString()));
        EXPECT_EQ(page["mtime"].toString().size(), 20) << page["mtime"].toString().toStdString();
    }
    EXPECT_EQ(ids.size(), 6u);
    EXPECT_EQ(paths, files);

    const Result json = Run("search --json 'Öztürk Çelik' " + s.Path.string());
    ASSERT_EQ(json.Status, 0) << json.Err;
    std::set<std::string> found;
    for (const QJsonValue m : QJsonDocument::fromJson(QByteArray::fromStdString(json.Out))["matches"].toArray())
        found.insert(FileNameBytes(m["file"].toString()));
    EXPECT_EQ(found, files);

    // Plain output gives the name as it is.
    const Result plain = Run("search 'Öztürk Çelik' " + s.Path.string());
    EXPECT_EQ(Count(plain.Out, (s.Path / "r\xFF.qrp").string() + ":1: "), 2) << plain.Out;
}

} // namespace
