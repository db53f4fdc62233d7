// SPDX-License-Identifier: GPL-3.0-or-later
// Text extraction from pages built record by record: each kind of text
// record, the mapping that moves text, reading order, and search folding.
#include "emfbuilder_helpers.h"

#include "platform/emf/emfrecords.h"
#include "platform/emftext/emftext.h"
#include "platform/emftext/textfold.h"

#include <QRawFont>
#include <QFont>

#include <cstring>

#include <gtest/gtest.h>

namespace {

// EMRTEXT fields after the record's bounds, graphics mode and scales.
std::vector<uint8_t> TextHead()
{
    std::vector<uint8_t> b;
    for (int i = 0; i < 4; ++i)
        Put32(b, 0);
    Put32(b, GM_COMPATIBLE);
    Put32(b, 0);
    Put32(b, 0);
    return b;
}

TEmfBuilder& TextA(TEmfBuilder& B, int X, int Y, const QByteArray& Bytes, int Advance)
{
    std::vector<uint8_t> b = TextHead();
    const uint32_t offString = 76, textBytes = uint32_t((Bytes.size() + 3) / 4 * 4);
    for (uint32_t v :
         {uint32_t(X), uint32_t(Y), uint32_t(Bytes.size()), offString, 0u, 0u, 0u, 0u, 0u, offString + textBytes})
        Put32(b, v);
    for (char c : Bytes)
        b.push_back(uint8_t(c));
    while ((b.size() + 8) % 4)
        b.push_back(0);
    for (int i = 0; i < Bytes.size(); ++i)
        Put32(b, uint32_t(Advance));
    return B.Raw(EMR_EXTTEXTOUTA, b);
}

// POLYTEXTOUTW with one string per entry, no advances.
TEmfBuilder& PolyTextW(TEmfBuilder& B, const std::vector<std::pair<QPoint, QString>>& Strings)
{
    std::vector<uint8_t> b = TextHead();
    Put32(b, uint32_t(Strings.size()));
    uint32_t off = 40 + 40 * uint32_t(Strings.size());
    std::vector<uint8_t> chars;
    for (const auto& [p, s] : Strings) {
        for (uint32_t v : {uint32_t(p.x()), uint32_t(p.y()), uint32_t(s.size()), off + uint32_t(chars.size()), 0u, 0u,
                           0u, 0u, 0u, 0u})
            Put32(b, v);
        for (QChar c : s)
            Put16(chars, c.unicode());
        while (chars.size() % 4)
            chars.push_back(0);
    }
    b.insert(b.end(), chars.begin(), chars.end());
    return B.Raw(EMR_POLYTEXTOUTW, b);
}

TEmfBuilder& SmallText(TEmfBuilder& B, int X, int Y, const QByteArray& Latin1)
{
    std::vector<uint8_t> b;
    for (uint32_t v :
         {uint32_t(X), uint32_t(Y), uint32_t(Latin1.size()), 0x100u | 0x200u, uint32_t(GM_COMPATIBLE), 0u, 0u})
        Put32(b, v);
    for (char c : Latin1)
        b.push_back(uint8_t(c));
    return B.Raw(EMR_SMALLTEXTOUT, b);
}

std::vector<QString> Lines(const TEmfBuilder& B)
{
    std::vector<QString> out;
    for (const TEmfTextLine& l : EmfPageLines(B.Page()))
        out.push_back(l.Text);
    return out;
}

std::vector<int> Advances(int N, int A)
{
    return std::vector<int>(size_t(N), A);
}

using Strings = std::vector<QString>;

TEST(EmfTextRecords, EveryKindOfTextRecordGivesItsCharacters)
{
    TEmfBuilder b(400);
    b.Font(1, -10, QStringLiteral("Arial"), 0, 162).Select(1).Rec(EMR_SETTEXTALIGN, {24});
    TextA(b, 10, 20, QByteArray("\xDD\xDE\xC7\xDD \xF0\xFD\xFE", 8), 6); // İŞÇİ ğış in code page 1254
    b.Font(2, -10, QStringLiteral("Arial"), 0, 238).Select(2);
    TextA(b, 10, 40, QByteArray("\x8A\xE8", 2), 6); // Šč in 1250
    b.Font(3, -10, QStringLiteral("Symbol"), 0, 2).Select(3);
    b.TextW(10, 60, QStringLiteral("ab") + QChar(0xF070), Advances(3, 6));
    b.Font(4, -10, QStringLiteral("Wingdings"), 0, 2).Select(4);
    b.TextW(10, 80, QString(QChar(0xFC)) + QChar(0xF06F), Advances(2, 8));
    b.Select(1);
    PolyTextW(b, {{QPoint(10, 100), QStringLiteral("Bir")}, {QPoint(10, 120), QStringLiteral("İki")}});
    SmallText(b, 10, 140, QByteArray("Small \xE7", 7));
    EXPECT_EQ(Lines(b),
              (Strings{QStringLiteral("İŞÇİ ğış"), QStringLiteral("Šč"), QStringLiteral("αβπ"), QStringLiteral("✓□"),
                       QStringLiteral("Bir"), QStringLiteral("İki"), QStringLiteral("Small ç")}));
}

TEST(EmfTextRecords, GlyphIndicesGoBackThroughTheFacesCharacterMap)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(64);
    const QRawFont raw = QRawFont::fromFont(f);
    ASSERT_TRUE(raw.isValid());
    ASSERT_EQ(raw.familyName(), QStringLiteral("DejaVu Sans"));
    const QString word = QStringLiteral("Fatura No");
    QVector<quint32> glyphs(word.size());
    int n = int(word.size());
    ASSERT_TRUE(raw.glyphIndexesForChars(word.constData(), n, glyphs.data(), &n));
    QString indices;
    for (quint32 g : glyphs)
        indices += QChar(char16_t(g));
    TEmfBuilder b(200);
    b.Font(1, -12, QStringLiteral("DejaVu Sans"), 0, 0)
        .Select(1)
        .Font(2, -12, QStringLiteral("No Such Face Here"))
        .TextW(10, 20, indices, Advances(int(word.size()), 7), 0x10);
    b.Select(2).TextW(10, 60, indices.left(2), Advances(2, 7), 0x10);
    EXPECT_EQ(Lines(b), (Strings{word, QString(2, QChar(0xFFFD))}));
}

TEST(EmfTextReadingOrder, ColumnsRotatedRunsAndRightToLeftWriting)
{
    TEmfBuilder b(400);
    b.Font(1, -10, QStringLiteral("Arial")).Select(1).Rec(EMR_SETTEXTALIGN, {24});
    // A table written column by column, the amounts right-aligned.
    const char* names[] = {"Kalem", "Kalem A", "Kalem B"};
    for (int row = 0; row < 3; ++row)
        b.TextW(10, 30 + 15 * row, QString::fromLatin1(names[row]), Advances(int(strlen(names[row])), 6));
    b.Rec(EMR_SETTEXTALIGN, {24 | 2});
    const char* amounts[] = {"Tutar", "1.250,00", "17,50"};
    for (int row = 0; row < 3; ++row)
        b.TextW(200, 30 + 15 * row + (row == 2 ? 1 : 0), QString::fromLatin1(amounts[row]),
                Advances(int(strlen(amounts[row])), 6));
    // Words written from the right: the last one first.
    b.Rec(EMR_SETTEXTALIGN, {24});
    b.TextW(80, 100, QStringLiteral("dünya"), Advances(5, 6));
    b.TextW(10, 100, QStringLiteral("Merhaba"), Advances(7, 6));
    // Pieces closer than a third of the height join without a space.
    b.TextW(10, 120, QStringLiteral("12"), Advances(2, 6));
    b.TextW(24, 120, QStringLiteral("34"), Advances(2, 6));
    // Rotated text stands on its own line, though it crosses the others.
    b.Font(2, -10, QStringLiteral("Arial"), 900).Select(2).TextW(150, 110, QStringLiteral("Dikey"), Advances(5, 6));
    EXPECT_EQ(Lines(b), (Strings{QStringLiteral("Kalem Tutar"), QStringLiteral("Kalem A 1.250,00"),
                                 QStringLiteral("Kalem B 17,50"), QStringLiteral("Dikey"),
                                 QStringLiteral("Merhaba dünya"), QStringLiteral("1234")}));
    for (const TEmfTextLine& l : EmfPageLines(b.Page()))
        EXPECT_EQ(l.Rotated, l.Text == QStringLiteral("Dikey"));
}

TEST(EmfTextPositions, MappingWorldTransformAndSavedStatesMoveText)
{
    TEmfBuilder b(400);
    b.Font(1, -10, QStringLiteral("Arial")).Select(1).Rec(EMR_SETTEXTALIGN, {24});
    b.Rec(EMR_SAVEDC, {});
    // Ten logical units per page pixel, origin moved by (50, 60).
    b.Rec(EMR_SETMAPMODE, {MM_ANISOTROPIC})
        .Rec(EMR_SETWINDOWEXTEX, {1000, 1000})
        .Rec(EMR_SETVIEWPORTEXTEX, {100, 100})
        .Rec(EMR_SETVIEWPORTORGEX, {50, 60});
    b.Font(2, -100, QStringLiteral("Arial")).Select(2).TextW(100, 200, QStringLiteral("AB"), Advances(2, 80));
    b.Rec(EMR_RESTOREDC, {uint32_t(-1)});
    // A translating world transform on the restored state.
    const float m[] = {1, 0, 0, 1, 5, 7};
    std::vector<uint8_t> x;
    for (float f : m) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        Put32(x, bits);
    }
    b.Raw(EMR_SETWORLDTRANSFORM, x).TextW(100, 200, QStringLiteral("C"), Advances(1, 8));
    const TEmfTextRuns runs = EmfTextRuns(b.Page());
    ASSERT_EQ(runs.Runs.size(), 2u);
    EXPECT_FALSE(runs.Damaged);
    const TEmfTextRun& ab = runs.Runs[0];
    EXPECT_NEAR(ab.Origin.x(), 60, 0.01);
    EXPECT_NEAR(ab.Origin.y(), 80, 0.01);
    EXPECT_NEAR(ab.Em(), 10 * 1.12, 0.2);
    EXPECT_NEAR(ab.CharBox(1).left(), 68, 0.01);
    EXPECT_NEAR(runs.Runs[1].Origin.x(), 105, 0.01);
    EXPECT_NEAR(runs.Runs[1].Origin.y(), 207, 0.01);
}

TEST(EmfTextArea, TheTextInsideARectangleKeepsReadingOrder)
{
    TEmfBuilder b(400);
    b.Font(1, -10, QStringLiteral("Arial")).Select(1).Rec(EMR_SETTEXTALIGN, {24});
    b.TextW(10, 30, QStringLiteral("Müşteri Öztürk"), Advances(14, 6));
    b.TextW(10, 50, QStringLiteral("Fatura 2024-17"), Advances(14, 6));
    b.TextW(10, 70, QStringLiteral("Dışarıda"), Advances(8, 6));
    const std::vector<TEmfTextLine> lines = EmfPageLines(b.Page());
    // From the eighth character on, first two lines only.
    EXPECT_EQ(EmfTextInArea(lines, QRectF(10 + 7 * 6 + 1, 15, 200, 40)), QStringLiteral("Öztürk\n2024-17\n"));
    EXPECT_EQ(EmfLinesText(lines), QStringLiteral("Müşteri Öztürk\nFatura 2024-17\nDışarıda\n"));
}

TEST(EmfTextDamage, BrokenRecordsEndTheWalkWithWhatCameBefore)
{
    TEmfBuilder b(100);
    b.Font(1, -10, QStringLiteral("Arial")).Select(1).TextW(10, 30, QStringLiteral("Önce"), Advances(4, 6));
    // A string offset beyond the record, then a record that claims more than the page.
    b.Rec(EMR_EXTTEXTOUTW, {0, 0, 0, 0, 1, 0, 0, 10, 10, 500, 0x7FFFFFF0, 0x100, 0});
    b.Raw(EMR_POLYTEXTOUTW, {0, 0, 0, 0}, 4096);
    const TEmfTextRuns runs = EmfTextRuns(b.Page());
    EXPECT_TRUE(runs.Damaged);
    ASSERT_EQ(runs.Runs.size(), 1u);
    EXPECT_EQ(runs.Runs[0].Text, QStringLiteral("Önce"));
    EXPECT_TRUE(EmfPageLines(reinterpret_cast<const uint8_t*>("not an emf"), 10).empty());
}

TEST(TextFold, TurkishCaseAndDiacritics)
{
    const QString forms[] = {QStringLiteral("İSTANBUL"), QStringLiteral("istanbul"), QStringLiteral("Istanbul"),
                             QStringLiteral("ıstanbul")};
    for (const QString& f : forms)
        EXPECT_EQ(FoldText(f, FoldCase), QStringLiteral("istanbul")) << f.toStdString();
    EXPECT_NE(FoldText(QStringLiteral("Öztürk"), FoldCase), FoldText(QStringLiteral("Ozturk"), FoldCase));
    EXPECT_EQ(FoldText(QStringLiteral("ÖZTÜRK"), FoldCase | FoldDiacritics), QStringLiteral("ozturk"));
    EXPECT_EQ(FoldText(QStringLiteral("Önizleme ÇĞŞ çğş"), FoldCase | FoldDiacritics),
              QStringLiteral("onizleme cgs cgs"));
    // Without case folding the letters keep their case, only the marks go.
    EXPECT_EQ(FoldText(QStringLiteral("İŞ ıš"), FoldDiacritics), QStringLiteral("IS is"));
    EXPECT_EQ(FoldText(QStringLiteral("İŞ"), FoldNone), QStringLiteral("İŞ"));
    // One unit in, one unit out: a match is the same range in the original.
    const QString line = QStringLiteral("Sayın Müşteri: ŞAHİN Öztürk Ltd. Şti.");
    const QString folded = FoldText(line, FoldCase | FoldDiacritics);
    ASSERT_EQ(folded.size(), line.size());
    const std::vector<int> hits = FindAll(folded, FoldText(QStringLiteral("sahin ozturk"), FoldCase | FoldDiacritics));
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(line.mid(hits[0], 12), QStringLiteral("ŞAHİN Öztürk"));
    EXPECT_EQ(FindAll(QStringLiteral("aaaa"), QStringLiteral("aa")), (std::vector<int>{0, 2}));
}

} // namespace

namespace {

TEST(EmfTextDrawing, PolyTextAndSmallTextAreDrawnWhereTheirTextIs)
{
    TEmfBuilder b(100);
    b.Font(1, -12, QStringLiteral("DejaVu Sans")).Select(1).Rec(EMR_SETTEXTALIGN, {24});
    PolyTextW(b, {{QPoint(5, 20), QStringLiteral("Bir")}, {QPoint(5, 50), QStringLiteral("İki")}});
    SmallText(b, 5, 80, QByteArray("\xDC\xE7", 2)); // Üç
    const QImage image = PlayToImage(b.Page());
    EXPECT_GT(InkIn(image, QRect(5, 8, 30, 13)), 10);
    EXPECT_GT(InkIn(image, QRect(5, 38, 30, 13)), 10);
    EXPECT_GT(InkIn(image, QRect(5, 68, 30, 13)), 10);
    // Nothing between the lines or right of them.
    EXPECT_EQ(InkIn(image, QRect(5, 24, 90, 10)), 0);
    EXPECT_EQ(InkIn(image, QRect(60, 0, 40, 100)), 0);
}

} // namespace
