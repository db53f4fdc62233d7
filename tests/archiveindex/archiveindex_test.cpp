// The archive index over real files on disk: folding, keeping up with the
// folders, resuming after an interruption, ranking.
#include "emfbuilder_helpers.h"
#include "report_helpers.h"
#include "platform/emftext/textfold.h"
#include "printer/archiveindex/archiveindex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

class ArchiveIndex : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/qrp-index-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        Dir = tmpl;
        Archive = Dir / "archive";
        fs::create_directories(Archive);
    }
    void TearDown() override { fs::remove_all(Dir); }

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

    std::string Db() const { return (Dir / "archive.db").string(); }

    fs::path Dir, Archive;
    std::vector<std::string> Damaged;
};

using Found = std::vector<std::string>;

TEST_F(ArchiveIndex, FoldsTheTurkishWayInTheIndexAndInTheQuery)
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

TEST_F(ArchiveIndex, QueriesTakePhrasesPrefixesOperatorsAndPunctuation)
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

TEST_F(ArchiveIndex, RanksAPageWithBothWordsBeforePagesWithOne)
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

TEST_F(ArchiveIndex, UpdateSeesAddedReplacedRemovedAndDamagedReports)
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

TEST_F(ArchiveIndex, AnInterruptedUpdateResumesWhereItStopped)
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

} // namespace
