// SPDX-License-Identifier: GPL-3.0-or-later
// What the viewer does with a hit of a shared index: the server's path
// carried over to this machine's, and the query's phrases marked as phrases.
#include "archive/archiveindex.h"
#include "archive/archivepathmap.h"
#include "archive/archivephrases.h"
#include "archive/reporttext.h"
#include "platform/emftext/textfold.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct TMapCase {
    const char* What;
    const char* Server;
    const char* Local;
};

QString Mapped(const TArchivePathMap& Map, const char* Path)
{
    return Map.ToLocal(QString::fromUtf8(Path));
}

// Where Pattern finds matches in Line, as "start+length" for readable failures.
std::vector<QString> Found(const QStringList& Phrases, const QString& Line)
{
    std::vector<QString> found;
    for (const auto& [start, length] : TTextQuery(ArchivePhrasePattern(Phrases), FoldCase, true).Find(Line))
        found.push_back(Line.mid(start, length));
    return found;
}

} // namespace

TEST(ArchivePathMap, TheLongestPrefixEndingAtAFolderWins)
{
    const TArchivePathMap map({{"/srv/raporlar/", "/mnt/raporlar"},
                               {"/srv/raporlar/2024", "/media/arsiv2024/"},
                               {"/srv/r", "/wrong"},
                               {"  ", "/dropped"},
                               {"/half", ""}});
    ASSERT_EQ(map.Pairs().size(), 3u); // pairs with an empty side are dropped
    const TMapCase cases[] = {
        {"a report under the share", "/srv/raporlar/ocak/a.qrp", "/mnt/raporlar/ocak/a.qrp"},
        {"the longer prefix", "/srv/raporlar/2024/b.qrp", "/media/arsiv2024/b.qrp"},
        {"a sibling with the same start", "/srv/raporlar2024/c.qrp", "/srv/raporlar2024/c.qrp"},
        {"a prefix ending inside a name", "/srv/rapor/d.qrp", "/srv/rapor/d.qrp"},
        {"the prefix itself", "/srv/raporlar", "/mnt/raporlar"},
        {"a name with Turkish letters", "/srv/raporlar/Şube İzmir/ç.qrp", "/mnt/raporlar/Şube İzmir/ç.qrp"},
        {"under no prefix", "/home/ali/e.qrp", "/home/ali/e.qrp"},
    };
    for (const TMapCase& c : cases) {
        EXPECT_EQ(Mapped(map, c.Server), QString::fromUtf8(c.Local)) << c.What;
        EXPECT_EQ(map.Maps(QString::fromUtf8(c.Server)), std::strcmp(c.Server, c.Local) != 0) << c.What;
    }
    // A folder of this machine is not one the server's updater knows.
    EXPECT_TRUE(map.IsLocalSide(QStringLiteral("/mnt/raporlar/ocak")));
    EXPECT_FALSE(map.IsLocalSide(QStringLiteral("/mnt/raporlar2")));
    EXPECT_FALSE(map.IsLocalSide(QStringLiteral("/srv/raporlar")));
}

TEST(ArchivePathMap, TheRootOnEitherSide)
{
    const TArchivePathMap fromRoot(std::vector<TArchivePathMap::TPair>{{"/", "/mnt/sunucu"}});
    EXPECT_EQ(Mapped(fromRoot, "/srv/a.qrp"), QStringLiteral("/mnt/sunucu/srv/a.qrp"));
    const TArchivePathMap toRoot(std::vector<TArchivePathMap::TPair>{{"/srv/raporlar", "/"}});
    EXPECT_EQ(Mapped(toRoot, "/srv/raporlar/a.qrp"), QStringLiteral("/a.qrp"));
    EXPECT_TRUE(TArchivePathMap().IsEmpty());
    EXPECT_EQ(Mapped(TArchivePathMap(), "/srv/a.qrp"), QStringLiteral("/srv/a.qrp"));
}

TEST(ArchiveQueryPhrases, AQuotedOrJoinedPhraseStaysWholeAndNegatedWordsAreLeftOut)
{
    const struct {
        const char* Query;
        QStringList Phrases;
    } cases[] = {
        {"STF-000450", {"stf 000450"}},
        {"\"Sayfa Toplamı\" NOT yılmaz", {"sayfa toplamı"}},
        {"fatura OR GÜLŞ*", {"fatura", "gülş*"}},
        {"\"satış list\"*", {"satış list*"}},
        {"ankara NOT (izmir OR bursa) fatura ankara", {"ankara", "fatura"}},
        {"(KDV OR ÖTV) - tutar", {"kdv", "ötv", "tutar"}},
    };
    // Folded as the index folds: ı and i are one letter.
    for (const auto& c : cases) {
        QStringList folded;
        for (const QString& p : c.Phrases)
            folded << FoldText(p, FoldCase);
        EXPECT_EQ(ArchiveQueryPhrases(QString::fromUtf8(c.Query)), folded) << c.Query;
    }
    EXPECT_THROW(ArchiveQueryPhrases(QStringLiteral("- ,")), EArchiveIndex);
    EXPECT_THROW(ArchiveQueryPhrases(QStringLiteral("a ").repeated(ArchiveQueryMaxWords + 1)), EArchiveQueryTooLong);
}

TEST(ArchiveQueryPhrases, APhraseMatchesItsWordsInARowOnly)
{
    // The fault: every "STF" of the page was marked for STF-000450.
    const QString line = QStringLiteral("STF-000449 stf 000450 · STF_000450 STF-0004501 XSTF-000450");
    EXPECT_EQ(Found(ArchiveQueryPhrases(QStringLiteral("STF-000450")), line),
              (std::vector<QString>{"stf 000450", "STF_000450"}));
    EXPECT_EQ(Found({"sayfa toplamı"}, QStringLiteral("SAYFA TOPLAMI: 12 · sayfa 2 · toplamı")),
              std::vector<QString>{"SAYFA TOPLAMI"});
    EXPECT_EQ(Found({"satış list*"}, QStringLiteral("Satış Listesi 2024 · liste satış")),
              std::vector<QString>{"Satış Listesi"});
    // Characters that mean something to a regular expression stay literal.
    EXPECT_EQ(Found({"a.b"}, QStringLiteral("axb a.b")), std::vector<QString>{"a.b"});
    EXPECT_TRUE(ArchivePhrasePattern({}).isEmpty());
}
