// SPDX-License-Identifier: GPL-3.0-or-later
// The archive index over real files on disk: folding, keeping up with the
// folders, resuming after an interruption, ranking, concurrent updates,
// unreadable folders, read-only queries. What both engines do is tested on
// both: an SQLite file and a database on the private PostgreSQL server.
#include "emfbuilder_helpers.h"
#include "pgserver.h"
#include "report_helpers.h"
#include "platform/emftext/textfold.h"
#include "archive/archiveindex.h"
#include "archive/archivequerytext.h"
#include "archive/archivequerythread.h"
#include "archive/indexlock.h"
#include "archive/pgarchiveindex.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// One EMF page with a line of text for each string.
Bytes TextPage(const std::vector<QString>& Lines)
{
    TEmfBuilder b(400);
    b.Font(1, -10, QStringLiteral("Arial")).Select(1);
    int y = 20;
    for (const QString& l : Lines) {
        b.TextW(10, y, l, std::vector<int>(size_t(l.size()), 6));
        y += 20;
    }
    return b.Bytes();
}

enum class TEngine { SQLite, PostgreSQL };

class ArchiveIndex : public ::testing::Test {
protected:
    virtual TEngine Engine() const { return TEngine::SQLite; }
    void SetUp() override
    {
        char tmpl[] = "/tmp/qrp-index-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        Dir = tmpl;
        Archive = Dir / "archive";
        fs::create_directories(Archive);
        if (Engine() == TEngine::PostgreSQL) {
            Server = std::make_unique<TTestServerDb>();
            if (!Server->Available())
                GTEST_SKIP() << Server->Missing();
        }
    }
    void TearDown() override
    {
        Server.reset();
        fs::remove_all(Dir);
    }

    void Report(const std::string& Name, const std::vector<std::vector<QString>>& Pages, bool Compressed = false)
    {
        std::vector<Bytes> pages;
        for (const auto& p : Pages)
            pages.push_back(TextPage(p));
        fs::create_directories((Archive / Name).parent_path());
        WriteFileBytes((Archive / Name).string(), MakeReport(128, pages, Compressed));
    }
    void Emf(const std::string& Name, const std::vector<QString>& Lines)
    {
        WriteFileBytes((Archive / Name).string(), TextPage(Lines));
    }

    TIndexUpdateStats Update(TArchiveIndex& Index, TIndexUpdateOptions Options = {})
    {
        Damaged.clear();
        Options.Damaged = [this](const std::string& File, const std::string&) { Damaged.push_back(File); };
        return Index.Update({Archive.string()}, Options);
    }

    // FILE:PAGE of each hit, file names relative to the archive.
    std::vector<std::string> Hits(TArchiveIndex& Index, const QString& Query, unsigned Fold = FoldCase)
    {
        std::vector<std::string> out;
        for (const TIndexHit& h : Index.Query(Query, Fold, 50))
            out.push_back(fs::path(h.File).lexically_relative(Archive).string() + ":" + std::to_string(h.Page));
        return out;
    }

    std::string Db() const { return Server ? Server->Uri() : (Dir / "archive.db").string(); }

    fs::path Dir, Archive;
    std::unique_ptr<TTestServerDb> Server;
    std::vector<std::string> Damaged;
};

// The same behaviour on either engine.
class ArchiveIndexEngines : public ArchiveIndex, public ::testing::WithParamInterface<TEngine> {
protected:
    TEngine Engine() const override { return GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(Engine, ArchiveIndexEngines, ::testing::Values(TEngine::SQLite, TEngine::PostgreSQL),
                         [](const ::testing::TestParamInfo<TEngine>& Info) {
                             return Info.param == TEngine::SQLite ? "SQLite" : "PostgreSQL";
                         });

using Found = std::vector<std::string>;

// Root reads every folder. While one of these lives, the thread that made it
// (and the threads it starts) read as an ordinary user does.
class TWithoutRootReads {
public:
    TWithoutRootReads()
    {
        if (::geteuid() != 0)
            return;
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        if (::syscall(SYS_capget, &header, FSaved) != 0)
            return;
        __user_cap_data_struct less[2];
        std::memcpy(less, FSaved, sizeof less);
        less[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        FDropped = ::syscall(SYS_capset, &header, less) == 0;
    }
    ~TWithoutRootReads()
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        if (FDropped)
            ::syscall(SYS_capset, &header, FSaved);
    }
    TWithoutRootReads(const TWithoutRootReads&) = delete;
    TWithoutRootReads& operator=(const TWithoutRootReads&) = delete;

private:
    __user_cap_data_struct FSaved[2] = {};
    bool FDropped = false;
};

// Runs SQL on the database as another program would.
void Sql(const std::string& Db, const std::string& Statements)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(Db.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, Statements.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

TEST_P(ArchiveIndexEngines, FoldsTheTurkishWayInTheIndexAndInTheQuery)
{
    Emf("a.emf", {QStringLiteral("IŞIKLAR TEKSTİL"), QStringLiteral("Çelik profil")});
    Emf("b.emf", {QStringLiteral("ılık su, istanbul"), QStringLiteral("celik halat")});
    TArchiveIndex index(Db());
    ASSERT_EQ(Update(index).Added, 2);

    // I, ı, İ and i are one letter, whatever the case on either side.
    EXPECT_EQ(Hits(index, QStringLiteral("ışıklar")), Found{"a.emf:1"});
    EXPECT_EQ(Hits(index, QStringLiteral("tekstil")), Found{"a.emf:1"});
    EXPECT_EQ(Hits(index, QStringLiteral("ILIK")), Found{"b.emf:1"});
    EXPECT_EQ(Hits(index, QStringLiteral("İSTANBUL")), Found{"b.emf:1"});
    // Diacritics count unless asked otherwise.
    EXPECT_EQ(Hits(index, QStringLiteral("çelik")), Found{"a.emf:1"});
    EXPECT_EQ(Hits(index, QStringLiteral("celik")), Found{"b.emf:1"});
    EXPECT_EQ(Hits(index, QStringLiteral("isiklar")), Found{});
    const unsigned ascii = FoldCase | FoldDiacritics;
    EXPECT_EQ(Hits(index, QStringLiteral("isiklar"), ascii), Found{"a.emf:1"});
    EXPECT_EQ(Hits(index, QStringLiteral("celik"), ascii).size(), 2u);

    // The snippet is the page's own text with the word found marked.
    const std::vector<TIndexHit> hits = index.Query(QStringLiteral("isiklar"), ascii, 5);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].Snippet, QStringLiteral("IŞIKLAR TEKSTİL"));
    ASSERT_EQ(hits[0].Marks.size(), 1u);
    EXPECT_EQ(hits[0].Marks[0], std::make_pair(0, 7));
}

TEST_P(ArchiveIndexEngines, QueriesTakePhrasesPrefixesOperatorsAndPunctuation)
{
    Emf("a.emf", {QStringLiteral("Fatura No STF-000012"), QStringLiteral("Ödeme tarihi")});
    Emf("b.emf", {QStringLiteral("Faturalar listesi"), QStringLiteral("tarihi ödeme")});
    TArchiveIndex index(Db());
    Update(index);

    EXPECT_EQ(Hits(index, QStringLiteral("fatur*")).size(), 2u);
    EXPECT_EQ(Hits(index, QStringLiteral("fatura")), Found{"a.emf:1"});
    EXPECT_EQ(Hits(index, QStringLiteral("\"ÖDEME TARİHİ\"")), Found{"a.emf:1"});
    EXPECT_EQ(Hits(index, QStringLiteral("ödeme NOT fatura")), Found{"b.emf:1"});
    EXPECT_EQ(Hits(index, QStringLiteral("stf-000012")), Found{"a.emf:1"});
    // Operators are words of their own in upper case; "and" is just a word.
    EXPECT_EQ(ArchiveFtsQuery(QStringLiteral("Işık AND \"Çay\" and x* OR NOT"), FoldCase),
              QStringLiteral("c : (işik AND \"çay\" and x* OR NOT)"));
    EXPECT_THROW(index.Query(QStringLiteral("  - "), FoldCase, 5), EArchiveIndex);
    EXPECT_THROW(index.Query(QStringLiteral("ödeme AND"), FoldCase, 5), EArchiveIndex);
}

// Lines holding the words as the query gives them come before lines holding
// as many of them elsewhere, and a line with one of them comes last.
TEST(ArchiveSnippetLines, TheLineWithTheWordsInOrderIsShown)
{
    std::vector<TArchiveTerm> terms;
    ArchiveFtsMatch(QStringLiteral("STF-000012"), FoldCase, &terms);
    TIndexHit hit;
    ArchiveSnippet(QStringLiteral("STF\n000012 STF\n000012 numaralı STF\nSTF-000099 000012\nFatura No STF-000012"),
                   FoldCase, terms, hit);
    EXPECT_EQ(hit.Snippet, QStringLiteral("000012 STF … 000012 numaralı STF … Fatura No STF-000012"));
    ASSERT_EQ(hit.Marks.size(), 6u);
    EXPECT_EQ(hit.Snippet.mid(hit.Marks[4].first, hit.Marks[4].second), QStringLiteral("STF"));
}

TEST_P(ArchiveIndexEngines, RanksAPageWithBothWordsBeforePagesWithOne)
{
    Report("r.qrp", {{QStringLiteral("fatura kesildi")},
                     {QStringLiteral("ödeme alındı")},
                     {QStringLiteral("fatura ödeme")},
                     {QStringLiteral("fatura iptal")}});
    TArchiveIndex index(Db());
    Update(index);
    const Found hits = Hits(index, QStringLiteral("fatura OR ödeme"));
    ASSERT_EQ(hits.size(), 4u);
    EXPECT_EQ(hits[0], "r.qrp:3");
}

TEST_P(ArchiveIndexEngines, UpdateSeesAddedReplacedRemovedAndDamagedReports)
{
    Report("kept.qrp", {{QStringLiteral("kalıcı rapor")}, {QStringLiteral("ikinci sayfa")}});
    Report("sub/replaced.qrp", {{QStringLiteral("eski metin")}});
    Emf("touched.emf", {QStringLiteral("dokunulmuş sayfa")});
    Emf("removed.emf", {QStringLiteral("silinecek sayfa")});
    std::ofstream(Archive / "notes.txt") << "eski";
    TArchiveIndex index(Db());
    TIndexUpdateStats s = Update(index);
    EXPECT_EQ(s.Added, 4);
    EXPECT_EQ(s.Pages, 5);
    EXPECT_EQ(index.PageCount(), 5);

    const Bytes keptBytes = ReadFileBytes((Archive / "kept.qrp").string());
    const auto keptTime = fs::last_write_time(Archive / "kept.qrp");
    Report("sub/replaced.qrp", {{QStringLiteral("yeni metin")}, {QStringLiteral("yeni ikinci")}}, true);
    fs::remove(Archive / "removed.emf");
    std::ofstream(Archive / "broken.qrp", std::ios::binary) << std::string(300, 'x');
    // Only the time changes: the content hash tells it apart from a new report.
    fs::last_write_time(Archive / "touched.emf", fs::last_write_time(Archive / "touched.emf") + std::chrono::hours(1));
    Emf("new.emf", {QStringLiteral("yeni sayfa")});

    s = Update(index);
    EXPECT_EQ(s.Added, 1);
    EXPECT_EQ(s.Updated, 1);
    EXPECT_EQ(s.Removed, 1);
    EXPECT_EQ(s.Unchanged, 2);
    EXPECT_EQ(s.Damaged, 1);
    EXPECT_EQ(s.Pages, 3);
    EXPECT_EQ(Damaged, std::vector<std::string>{(Archive / "broken.qrp").string()});
    EXPECT_EQ(Hits(index, QStringLiteral("eski")), Found{});
    EXPECT_EQ(Hits(index, QStringLiteral("silinecek")), Found{});
    EXPECT_EQ(Hits(index, QStringLiteral("ikinci")), (Found{"kept.qrp:2", "sub/replaced.qrp:2"}));
    EXPECT_EQ(index.PageCount(), 6);

    // Reports are only read.
    EXPECT_EQ(ReadFileBytes((Archive / "kept.qrp").string()), keptBytes);
    EXPECT_EQ(fs::last_write_time(Archive / "kept.qrp"), keptTime);

    // Nothing left to do; the damaged report is named again. A folder
    // given twice, once inside another, lists nothing twice.
    s = index.Update({Archive.string(), (Archive / "sub").string() + "/"}, {});
    EXPECT_EQ(s.Unchanged, 4);
    EXPECT_EQ(s.Added + s.Updated + s.Removed, 0);
    EXPECT_EQ(s.Damaged, 1);

    // A folder that is not there (a share not mounted) drops nothing.
    EXPECT_THROW(index.Update({Archive.string(), (Dir / "unmounted").string()}, {}), EArchiveIndex);
    EXPECT_EQ(index.PageCount(), 6);
}

TEST_P(ArchiveIndexEngines, AnInterruptedUpdateResumesWhereItStopped)
{
    for (int i = 0; i < 10; ++i)
        Emf("p" + std::to_string(i) + ".emf", {QStringLiteral("sayfa numara%1").arg(i)});
    {
        TArchiveIndex index(Db());
        TIndexUpdateOptions options;
        options.Jobs = 2;
        options.BatchFiles = 3;
        int calls = 0;
        options.Continue = [&] { return ++calls < 4; };
        const TIndexUpdateStats s = Update(index, options);
        EXPECT_EQ(s.Added, 4);
    }
    // As a new run would: a fresh connection to the same file.
    TArchiveIndex index(Db());
    EXPECT_EQ(index.PageCount(), 4);
    TIndexUpdateOptions options;
    options.Jobs = 2;
    const TIndexUpdateStats s = Update(index, options);
    EXPECT_EQ(s.Added, 6);
    EXPECT_EQ(s.Unchanged, 4);
    EXPECT_EQ(index.PageCount(), 10);
    EXPECT_EQ(Hits(index, QStringLiteral("sayfa")).size(), 10u);
}

TEST_F(ArchiveIndex, ADatabaseThatCannotBeOpenedIsNamed)
{
    try {
        TArchiveIndex index((Dir / "no" / "such" / "folder.db").string());
        FAIL() << "opened";
    } catch (const EArchiveIndex& e) {
        EXPECT_NE(std::string(e.what()).find("folder.db"), std::string::npos);
    }
}

TEST_P(ArchiveIndexEngines, TwoUpdatesAtOnceKeepEverySnippetAndLeaveNoGhosts)
{
    for (const char* side : {"left", "right"}) {
        fs::create_directories(Archive / side);
        for (int i = 0; i < 6; ++i)
            Emf(std::string(side) + "/p" + std::to_string(i) + ".emf",
                {QStringLiteral("%1kelime%2 ortak").arg(QLatin1String(side)).arg(i), QStringLiteral("ikinci satır")});
    }
    // Two programs started at once, each on its own folder, then both on the same one.
    auto twoAtOnce = [&](const std::string& First, const std::string& Second) {
        TArchiveIndex a(Db()), b(Db());
        std::mutex m;
        std::condition_variable cv;
        int ready = 0;
        std::vector<TIndexUpdateStats> stats(2);
        std::vector<std::string> errors(2);
        auto run = [&](TArchiveIndex* Index, std::string Folder, int Which) {
            {
                std::unique_lock<std::mutex> g(m);
                ++ready;
                cv.notify_all();
                cv.wait(g, [&] { return ready == 2; });
            }
            TIndexUpdateOptions options;
            options.Jobs = 2;
            options.BatchFiles = 1;
            try {
                stats[size_t(Which)] = Index->Update({Folder}, options);
            } catch (const std::exception& e) {
                errors[size_t(Which)] = e.what();
            }
        };
        std::thread one(run, &a, First, 0), two(run, &b, Second, 1);
        one.join();
        two.join();
        EXPECT_EQ(errors, std::vector<std::string>(2)) << errors[0] << errors[1];
        return stats;
    };
    std::vector<TIndexUpdateStats> s = twoAtOnce((Archive / "left").string(), (Archive / "right").string());
    EXPECT_EQ(s[0].Added + s[1].Added, 12);
    Emf("left/new.emf", {QStringLiteral("yenikelime")});
    s = twoAtOnce((Archive / "left").string(), (Archive / "left").string());
    EXPECT_EQ(s[0].Added + s[1].Added, 1);

    TArchiveIndex index(Db());
    for (const char* side : {"left", "right"})
        for (int i = 0; i < 6; ++i) {
            const QString word = QStringLiteral("%1kelime%2").arg(QLatin1String(side)).arg(i);
            const std::vector<TIndexHit> hits = index.Query(word, FoldCase, 5);
            ASSERT_EQ(hits.size(), 1u) << word.toStdString();
            EXPECT_EQ(hits[0].Snippet, word + QStringLiteral(" ortak")) << word.toStdString();
        }

    // Every page goes; the next one is stored under a rowid that was theirs.
    fs::remove_all(Archive / "left");
    fs::remove_all(Archive / "right");
    Emf("last.emf", {QStringLiteral("sonuncu sayfa")});
    const TIndexUpdateStats last = Update(index);
    EXPECT_EQ(last.Removed, 13);
    EXPECT_EQ(Hits(index, QStringLiteral("ortak OR leftkelime0 OR rightkelime5 OR yenikelime")), Found{});
    EXPECT_EQ(Hits(index, QStringLiteral("sonuncu")), Found{"last.emf:1"});
}

TEST_F(ArchiveIndex, APageWhoseTextIsLostLeavesNoWordsToTheNextPage)
{
    Emf("a.emf", {QStringLiteral("birinci rapor")});
    TArchiveIndex index(Db());
    Update(index);
    Emf("b.emf", {QStringLiteral("kayıpkelime burada")});
    Update(index);
    // As a damaged database, or an index of an older version whose dictionary was replaced.
    Sql(Db(), "UPDATE pages SET text = x'01ffffff00ffff' WHERE report = "
              "(SELECT id FROM reports WHERE path LIKE '%/b.emf')");
    fs::remove(Archive / "b.emf");
    EXPECT_EQ(Update(index).Removed, 1);
    Emf("c.emf", {QStringLiteral("üçüncü rapor")});
    EXPECT_EQ(Update(index).Added, 1);
    EXPECT_EQ(Hits(index, QStringLiteral("kayıpkelime")), Found{});
    EXPECT_EQ(Hits(index, QStringLiteral("üçüncü")), Found{"c.emf:1"});
    EXPECT_EQ(Hits(index, QStringLiteral("rapor")).size(), 2u);
    EXPECT_EQ(index.PageCount(), 2);
}

TEST_P(ArchiveIndexEngines, WhatCannotBeReadIsNeverTakenForGone)
{
    Report("sub/inner.qrp", {{QStringLiteral("içerideki rapor")}});
    Emf("top.emf", {QStringLiteral("üstteki sayfa")});
    Emf("locked.emf", {QStringLiteral("kilitli dosya")});
    TArchiveIndex index(Db());
    ASSERT_EQ(Update(index).Added, 3);

    const fs::path sub = Archive / "sub", locked = Archive / "locked.emf";
    fs::permissions(sub, fs::perms::none);
    // A new time, so that the file has to be read again.
    fs::last_write_time(locked, fs::last_write_time(locked) + std::chrono::hours(1));
    fs::permissions(locked, fs::perms::none);
    std::vector<std::string> unreadable;
    TIndexUpdateOptions options;
    options.Unreadable = [&](const std::string& Path, const std::string&) { unreadable.push_back(Path); };
    TIndexUpdateStats s;
    {
        TWithoutRootReads asUser;
        s = index.Update({Archive.string()}, options);
    }
    EXPECT_EQ(s.Unreadable, 2);
    EXPECT_EQ(s.Removed + s.Damaged + s.Updated, 0);
    EXPECT_EQ(unreadable, (std::vector<std::string>{sub.string(), locked.string()}));
    EXPECT_EQ(Hits(index, QStringLiteral("içerideki")), Found{"sub/inner.qrp:1"});
    EXPECT_EQ(Hits(index, QStringLiteral("kilitli")), Found{"locked.emf:1"});

    // The folder given cannot be read at all.
    fs::permissions(sub, fs::perms::owner_all);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(Archive, fs::perms::none);
    {
        TWithoutRootReads asUser;
        s = index.Update({Archive.string()}, options);
    }
    fs::permissions(Archive, fs::perms::owner_all);
    EXPECT_EQ(s.Unreadable, 1);
    EXPECT_EQ(s.Removed, 0);
    EXPECT_EQ(index.PageCount(), 3);
}

TEST_P(ArchiveIndexEngines, AFolderEmptiedKeepsItsReportsUnlessPruned)
{
    Emf("a.emf", {QStringLiteral("boşalan klasör")});
    Emf("b.emf", {QStringLiteral("boşalan klasör")});
    TArchiveIndex index(Db());
    ASSERT_EQ(Update(index).Added, 2);
    fs::remove(Archive / "a.emf");
    fs::remove(Archive / "b.emf");
    std::vector<std::pair<std::string, int64_t>> empty;
    TIndexUpdateOptions options;
    options.EmptyFolder = [&](const std::string& Folder, int64_t Reports) { empty.emplace_back(Folder, Reports); };
    EXPECT_EQ(index.Update({Archive.string()}, options).Removed, 0);
    EXPECT_EQ(empty, (std::vector<std::pair<std::string, int64_t>>{{Archive.string(), 2}}));
    EXPECT_EQ(Hits(index, QStringLiteral("boşalan")).size(), 2u);
    options.Prune = true;
    EXPECT_EQ(index.Update({Archive.string()}, options).Removed, 2);
    EXPECT_EQ(index.PageCount(), 0);
}

TEST_F(ArchiveIndex, QueriesReadOnlyAndLeaveAnotherProgramsDatabaseAlone)
{
    Emf("a.emf", {QStringLiteral("salt okunur paylaşım")});
    {
        TArchiveIndex index(Db());
        Update(index);
    }
    // A copy on a read-only share: neither the folder nor the file can be written.
    const fs::path share = Dir / "share", copy = share / "archive.db";
    fs::create_directories(share);
    fs::copy_file(Db(), copy);
    const Bytes bytes = ReadFileBytes(copy.string());
    fs::permissions(copy, fs::perms::owner_read);
    fs::permissions(share, fs::perms::owner_read | fs::perms::owner_exec);
    {
        TWithoutRootReads asUser;
        TArchiveIndex index(copy.string(), TArchiveIndex::ReadOnly);
        const std::vector<TIndexHit> hits = index.Query(QStringLiteral("paylaşım"), FoldCase, 5);
        ASSERT_EQ(hits.size(), 1u);
        EXPECT_EQ(hits[0].Snippet, QStringLiteral("salt okunur paylaşım"));
    }
    fs::permissions(share, fs::perms::owner_all);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(share))
        names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"archive.db"});
    EXPECT_EQ(ReadFileBytes(copy.string()), bytes);

    // Another program's database: refused by name, left byte for byte.
    const std::string other = (Dir / "notes.db").string();
    Sql(other, "CREATE TABLE notes(text); INSERT INTO notes VALUES('not ours');");
    const Bytes otherBytes = ReadFileBytes(other);
    for (const TArchiveIndex::TMode mode : {TArchiveIndex::ReadOnly, TArchiveIndex::ForUpdate}) {
        try {
            TArchiveIndex index(other, mode);
            ADD_FAILURE() << "opened";
        } catch (const EArchiveIndex& e) {
            EXPECT_NE(std::string(e.what()).find("notes.db: not an archive index"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(ReadFileBytes(other), otherBytes);
    EXPECT_FALSE(fs::exists(other + "-wal"));
    // Only an update makes a new index.
    EXPECT_THROW(TArchiveIndex((Dir / "new.db").string(), TArchiveIndex::ReadOnly), EArchiveIndex);
    EXPECT_FALSE(fs::exists(Dir / "new.db"));
}

TEST_P(ArchiveIndexEngines, AQueryLooksForSixtyFourWordsAtMost)
{
    Emf("a.emf", {QStringLiteral("kelime")});
    TArchiveIndex index(Db());
    Update(index);
    QStringList words;
    for (int i = 0; i < ArchiveQueryMaxWords; ++i)
        words << QStringLiteral("kelime");
    EXPECT_EQ(index.Query(words.join(u' '), FoldCase, 5).size(), 1u);
    words << QStringLiteral("kelime");
    EXPECT_THROW(index.Query(words.join(u' '), FoldCase, 5), EArchiveQueryTooLong);
    // Each word of a phrase counts.
    EXPECT_THROW(index.Query(u'"' + words.join(u' ') + u'"', FoldCase, 5), EArchiveQueryTooLong);
    EXPECT_THROW(ArchiveQueryWords(words.join(u' ')), EArchiveQueryTooLong);
}

TEST_P(ArchiveIndexEngines, NamesThatAreNotUtf8AreIndexedAsTheirBytes)
{
    const std::string name = "fatura-\xe7\xfd\xfe.emf"; // ISO 8859-9, as a Windows share may give it
    WriteFileBytes((Archive / name).string(), TextPage({QStringLiteral("baytlarla adlandırılmış")}));
    TArchiveIndex index(Db());
    const TIndexUpdateStats s = Update(index);
    EXPECT_EQ(s.Added, 1);
    EXPECT_EQ(Damaged, std::vector<std::string>{});
    const std::vector<TIndexHit> hits = index.Query(QStringLiteral("baytlarla"), FoldCase, 5);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].File, (Archive / name).string());
    EXPECT_EQ(Update(index).Unchanged, 1);
}

TEST_F(ArchiveIndex, AnUpdateStopsInEveryStateAndAFifoDoesNotBlockIt)
{
    for (int i = 0; i < 8; ++i)
        Emf("p" + std::to_string(i) + ".emf", {QStringLiteral("sayfa numara%1").arg(i)});
    TArchiveIndex index(Db());
    std::atomic<bool> stop{false};
    TIndexUpdateOptions options;
    options.Jobs = 1;
    options.Stop = &stop;
    // Waiting for another update.
    {
        const TIndexLock other(Db(), nullptr, {});
        bool waited = false;
        options.Waiting = [&] {
            waited = true;
            stop = true;
        };
        const TIndexUpdateStats s = index.Update({Archive.string()}, options);
        EXPECT_TRUE(waited);
        EXPECT_EQ(s.Added, 0);
    }
    // While the worker reads: what was written stays.
    stop = false;
    options.Progress = [&](size_t Done, size_t) { stop = stop || Done == 2; };
    EXPECT_EQ(index.Update({Archive.string()}, options).Added, 2);
    EXPECT_EQ(TArchiveIndex(Db()).PageCount(), 2);

    // A report replaced by a FIFO after the folder was read: refused by
    // type. (Were it opened, a writer opened here after a while ends the wait.)
    const std::string fifo = (Archive / "p7.emf").string();
    stop = false;
    std::vector<std::string> unreadable;
    options.Unreadable = [&](const std::string& Path, const std::string& Error) {
        unreadable.push_back(Path + ": " + Error);
    };
    options.Progress = [&](size_t Done, size_t) {
        if (Done == 3) {
            fs::remove(fifo);
            ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
        }
    };
    std::mutex m;
    std::condition_variable cv;
    bool finished = false;
    std::thread unblock([&] {
        std::unique_lock<std::mutex> g(m);
        if (!cv.wait_for(g, std::chrono::seconds(20), [&] { return finished; })) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
    });
    const TIndexUpdateStats s = index.Update({Archive.string()}, options);
    {
        std::lock_guard<std::mutex> g(m);
        finished = true;
        cv.notify_all();
    }
    unblock.join();
    EXPECT_EQ(s.Added, 5);
    EXPECT_EQ(unreadable, std::vector<std::string>{fifo + ": not a regular file"});
}

TEST_P(ArchiveIndexEngines, QueriesCanBeCancelledAndOnlyTheNewestIsAnswered)
{
    Report("r.qrp", {{QStringLiteral("birinci sayfa")}, {QStringLiteral("ikinci sayfa")}});
    {
        TArchiveIndex index(Db());
        Update(index);
        EXPECT_THROW(index.Query(QStringLiteral("sayfa"), FoldCase, 5, [] { return true; }), EArchiveQueryCancelled);
        EXPECT_EQ(index.Query(QStringLiteral("sayfa"), FoldCase, 5).size(), 2u);
    }
    std::mutex m;
    std::condition_variable cv;
    std::vector<TArchiveQueryThread::TResult> results;
    TArchiveQueryThread queries(Db(), [&](TArchiveQueryThread::TResult Result) {
        std::lock_guard<std::mutex> g(m);
        results.push_back(std::move(Result));
        cv.notify_all();
    });
    queries.Start(QStringLiteral("birinci"), FoldCase, 5);
    const uint64_t last = queries.Start(QStringLiteral("ikinci"), FoldCase, 5);
    std::unique_lock<std::mutex> g(m);
    ASSERT_TRUE(
        cv.wait_for(g, std::chrono::seconds(20), [&] { return !results.empty() && results.back().Ticket == last; }));
    ASSERT_EQ(results.back().Hits.size(), 1u);
    EXPECT_EQ(results.back().Hits[0].Page, 2);
    g.unlock();
    queries.Start(QStringLiteral("birinci"), FoldCase, 5);
    queries.Cancel();
}

// What only an index on a server has: stems, roles, a versioned schema.
class ServerIndex : public ArchiveIndex {
protected:
    TEngine Engine() const override { return TEngine::PostgreSQL; }
};

TEST_F(ServerIndex, StemsFindTheOtherTurkishFormsOfAWord)
{
    Emf("a.emf", {QStringLiteral("Fatura No 12"), QStringLiteral("Ödeme tarihi")});
    Emf("b.emf", {QStringLiteral("FATURALAR listesi")});
    Emf("c.emf", {QStringLiteral("Faturaların toplamı")});
    TArchiveIndex index(Db());
    Update(index);
    const unsigned stem = FoldCase | ArchiveStem;
    EXPECT_EQ(Hits(index, QStringLiteral("faturalar")), Found{"b.emf:1"});
    for (const char* word : {"fatura", "faturalar", "FATURALARIN"})
        EXPECT_EQ(Hits(index, QString::fromUtf8(word), stem).size(), 3u) << word;
    EXPECT_EQ(Hits(index, QStringLiteral("faturalar NOT ödeme"), stem).size(), 2u);
    // The form on the page is marked, whatever the form asked for.
    const std::vector<TIndexHit> hits = index.Query(QStringLiteral("faturalar"), stem, 5);
    for (const TIndexHit& h : hits) {
        ASSERT_EQ(h.Marks.size(), 1u) << h.Snippet.toStdString();
        EXPECT_TRUE(h.Snippet.mid(h.Marks[0].first, h.Marks[0].second)
                        .startsWith(QStringLiteral("Fatura"), Qt::CaseInsensitive));
    }
    // A file has no stems.
    TArchiveIndex local((Dir / "local.db").string());
    EXPECT_THROW(local.Query(QStringLiteral("fatura"), stem, 5), EArchiveIndex);
}

TEST_F(ServerIndex, AReaderQueriesButCannotWrite)
{
    Emf("a.emf", {QStringLiteral("okunan sayfa")});
    {
        TArchiveIndex index(Db());
        Update(index);
        EXPECT_TRUE(index.CanWrite());
    }
    // Roles belong to the whole cluster, which tests share.
    const std::string reader = "qrp_reader_" + std::to_string(::getpid());
    Server->Sql("DROP ROLE IF EXISTS " + reader + "; CREATE ROLE " + reader + " LOGIN; GRANT SELECT ON qrp_meta, " +
                "qrp_reports, qrp_pages TO " + reader);
    {
        TArchiveIndex index(Server->Uri(reader), TArchiveIndex::ReadOnly);
        EXPECT_FALSE(index.CanWrite());
        EXPECT_EQ(Hits(index, QStringLiteral("okunan")), Found{"a.emf:1"});
        Emf("b.emf", {QStringLiteral("yeni sayfa")});
        try {
            Update(index);
            FAIL() << "a reader wrote";
        } catch (const EArchiveIndex& e) {
            EXPECT_NE(std::string(e.what()).find("permission denied"), std::string::npos) << e.what();
        }
        EXPECT_EQ(index.PageCount(), 1);
    }
    Server->Sql("DROP OWNED BY " + reader + "; DROP ROLE " + reader);
}

TEST_F(ServerIndex, TheSchemaIsVersionedAndAPasswordIsNeverShown)
{
    // An empty database is no index until made one.
    try {
        TArchiveIndex index(Db(), TArchiveIndex::ReadOnly);
        FAIL() << "opened";
    } catch (const EArchiveIndex& e) {
        EXPECT_NE(std::string(e.what()).find("not an archive index (qrptool index init makes one)"), std::string::npos)
            << e.what();
    }
    TArchiveIndex(Db(), TArchiveIndex::ForUpdate);
    EXPECT_EQ(TArchiveIndex(Db(), TArchiveIndex::ReadOnly).PageCount(), 0);
    Server->Sql("UPDATE qrp_meta SET value = '99' WHERE key = 'schema'");
    for (const TArchiveIndex::TMode mode : {TArchiveIndex::ReadOnly, TArchiveIndex::ForUpdate})
        EXPECT_THROW(TArchiveIndex(Db(), mode), EArchiveIndex);

    const std::string secret = "postgresql://someone:s3cr3t@/nosuchdb?host=" + (Dir / "nosocket").string();
    try {
        TArchiveIndex index(secret, TArchiveIndex::ReadOnly);
        FAIL() << "connected";
    } catch (const EArchiveIndex& e) {
        EXPECT_EQ(std::string(e.what()).find("s3cr3t"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("postgresql://someone@/nosuchdb"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ServerIndexName("service=archive password=x user=y"), "service=archive user=y");
}

// The newest matches are taken block by block of page ids inside the index:
// pages far apart (another block, another level, past the largest block)
// are all found, the newest first when the window is smaller.
TEST_F(ServerIndex, FindsTheNewestMatchesInEveryBlockOfIds)
{
    TArchiveIndex index(Db());
    // The next page's id, each report in a block of its own and the last
    // past every level's block (4096 ids, four times more a level, six levels).
    const std::vector<long long> ids = {3, 4095, 9000, 70000, 300000, 5000000, 17000000};
    for (size_t i = 0; i < ids.size(); ++i) {
        Server->Sql("SELECT setval('qrp_pages_id_seq', " + std::to_string(ids[i] - 1) + ", true)");
        Emf("r" + std::to_string(i) + ".emf",
            {QStringLiteral("ortak kelime"), QStringLiteral("sayfa ") + QString::number(i)});
        Update(index);
    }
    Found all;
    for (size_t i = 0; i < ids.size(); ++i)
        all.push_back("r" + std::to_string(i) + ".emf:1");
    Found hits = Hits(index, QStringLiteral("ortak kelime"));
    std::sort(hits.begin(), hits.end());
    EXPECT_EQ(hits, all);
    EXPECT_EQ(Hits(index, QStringLiteral("sayfa 3")), Found{"r3.emf:1"});
    // A window of three ranks the three newest; an empty query finds nothing.
    Server->Sql("DO $$ DECLARE got text; BEGIN"
                " SELECT string_agg(convert_from(path, 'UTF8'), ' ' ORDER BY path) INTO got"
                "  FROM qrp_search('ortak & kelime', 'words', 50, 3);"
                " IF got !~ '/r4.emf .*/r5.emf .*/r6.emf$' OR got ~ '/r[0-3].emf' THEN"
                "  RAISE EXCEPTION 'window of three: %', got; END IF;"
                " IF EXISTS (SELECT FROM qrp_search('', 'words', 50, 3)) THEN RAISE EXCEPTION 'empty query'; END IF;"
                " END $$");
}

// An index of an older schema is migrated and finds what it found, in the
// same order: the first had no blocks in its tsvectors, the second's search
// function ranked apart from picking (here one that finds nothing).
TEST_F(ServerIndex, AnIndexOfAnOlderSchemaIsMigratedAndFindsTheSame)
{
    Report("r.qrp", {{QStringLiteral("fatura kesildi")},
                     {QStringLiteral("ödeme alındı")},
                     {QStringLiteral("fatura ödeme fatura")},
                     {QStringLiteral("fatura iptal")}});
    Emf("a.emf", {QStringLiteral("eski dizin")});
    const QString ranked = QStringLiteral("fatura OR ödeme");
    Found before;
    {
        TArchiveIndex index(Db());
        Update(index);
        before = Hits(index, ranked);
    }
    ASSERT_EQ(before.size(), 4u);
    ASSERT_EQ(before[0], "r.qrp:3");
    // A reader may not migrate; the first writer does.
    auto migratedFrom = [&](const char* Downgrade) {
        Server->Sql(Downgrade);
        EXPECT_THROW(TArchiveIndex(Db(), TArchiveIndex::ReadOnly), EArchiveIndex);
        TArchiveIndex index(Db());
        EXPECT_EQ(Hits(index, ranked), before);
    };
    migratedFrom("CREATE OR REPLACE FUNCTION qrp_search(q tsquery, col text, lim integer, win integer)"
                 " RETURNS TABLE(path bytea, page integer, text text, rank real) LANGUAGE sql"
                 " AS $$ SELECT NULL::bytea, 0, '', 0::real WHERE false $$;"
                 "UPDATE qrp_meta SET value = '2' WHERE key = 'schema'");
    migratedFrom("UPDATE qrp_pages SET words = ts_delete(words, tsvector_to_array(qrp_blocks(id))),"
                 " plain = ts_delete(plain, tsvector_to_array(qrp_blocks(id))),"
                 " stems = ts_delete(stems, tsvector_to_array(qrp_blocks(id)));"
                 "DROP FUNCTION qrp_search, qrp_blocks; UPDATE qrp_meta SET value = '1' WHERE key = 'schema'");
    TArchiveIndex index(Db());
    EXPECT_EQ(Hits(index, QStringLiteral("eski")), Found{"a.emf:1"});
    EXPECT_EQ(Hits(index, QStringLiteral("eski"), FoldCase | FoldDiacritics), Found{"a.emf:1"});
}

TEST(ArchiveTsQuery, TranslatesTheIndexSyntax)
{
    EXPECT_EQ(ArchiveTsQuery(QStringLiteral("Işık AND \"Çay Bahçesi\"* OR fat* NOT stf-12 (a b)"), FoldCase, nullptr),
              QStringLiteral("'işik' & ('çay' <-> 'bahçesi':*) | 'fat':* & !('stf' <-> '12') & ('a' & 'b')"));
    EXPECT_EQ(ArchiveTsQuery(QStringLiteral("x"), FoldCase, nullptr,
                             [](const QString&) {
                                 return QStringList{"a'b", "c:*"};
                             }),
              QStringLiteral("('a''b' | 'c':*)"));
}

} // namespace
