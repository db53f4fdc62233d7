// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfplaybidi.h"
#include "platform/emf/emfplaycharset.h"
#include "platform/emf/emfplaystyles.h"
#include "platform/emf/emfrecords.h"
#include "platform/emf/fontmap.h"

#include <QFont>
#include <QFontMetricsF>

#include <gtest/gtest.h>

namespace {

TEST(EmfText, CharsetsSelectTheirWindowsCodePage)
{
    const struct {
        uint32_t Charset;
        int CodePage;
    } cases[] = {{0, 1252},   {1, 1252},  {2, 1252},  {162, 1254}, {204, 1251}, {177, 1255}, {161, 1253},
                 {238, 1250}, {128, 932}, {136, 950}, {178, 1256}, {186, 1257}, {222, 874}};
    for (const auto& c : cases)
        EXPECT_EQ(EmfCodePageForCharset(c.Charset), c.CodePage) << c.Charset;
}

TEST(EmfText, AnsiTextDecodesInItsCodePage)
{
    const uint8_t turkish[] = {0xD0, 0xF0, 0xDD, 0xFD, 0xDE, 0xFE}; // Ğ ğ İ ı Ş ş
    EXPECT_EQ(EmfDecodeAnsi(turkish, 6, 1254), QString::fromUtf8("ĞğİıŞş"));
    const uint8_t russian[] = {0xCF, 0xF0, 0xE8};
    EXPECT_EQ(EmfDecodeAnsi(russian, 3, 1251), QString::fromUtf8("При"));
    const uint8_t western[] = {0x80, 0xE9};
    EXPECT_EQ(EmfDecodeAnsi(western, 2, 1252), QString::fromUtf8("€é"));
}

TEST(EmfText, DoubleByteCharactersCountTheirBytes)
{
    const uint8_t sjis[] = {'A', 0x82, 0xA0, 'B'}; // A, HIRAGANA A, B
    std::vector<int> counts;
    const QString s = EmfDecodeAnsi(sjis, 4, 932, &counts);
    EXPECT_EQ(s, QString::fromUtf8("AあB"));
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 1}));
    const uint8_t cut[] = {'A', 0x82}; // lead byte at the end
    EXPECT_EQ(EmfDecodeAnsi(cut, 2, 932, &counts).size(), 2);
}

TEST(EmfText, SymbolFaceCodesBecomeTheCharactersTheyShow)
{
    const struct {
        char16_t In, Out;
    } cases[] = {{0x61, 0x03B1}, {0x53, 0x03A3}, {0xB9, 0x2260}, {0xF0B9, 0x2260},
                 {0xA3, 0x2264}, {0x28, 0x28},   {0x31, 0x31},   {0x4E00, 0x4E00}};
    for (const auto& c : cases)
        EXPECT_EQ(EmfSymbolToUnicode(QString(QChar(c.In))), QString(QChar(c.Out))) << int(c.In);
}

TEST(EmfText, WindowsFacesMapToMetricCompatibleFaces)
{
    EXPECT_EQ(MapFontFace("Arial"), "Liberation Sans");
    EXPECT_EQ(MapFontFace("ARIAL"), "Liberation Sans");
    EXPECT_EQ(MapFontFace("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(MapFontFace("Courier New"), "Liberation Mono");
    EXPECT_EQ(MapFontFace("MS Sans Serif"), "DejaVu Sans");
    EXPECT_EQ(MapFontFace("Tahoma"), "DejaVu Sans");
    EXPECT_FALSE(MapFontFace("No Such Face Anywhere").isEmpty());
}

TEST(EmfText, FacesWithoutAStandInGoByWidthClass)
{
    // Fixed pitch (by the LOGFONT or the name), narrow and serif faces keep
    // their class; the measured widths of the stand-ins differ accordingly.
    EXPECT_EQ(MapFontFace("Qrp Unknown Grotesk", 0x31), "Liberation Mono");
    EXPECT_EQ(MapFontFace("Qrp Unknown Mono"), "Liberation Mono");
    EXPECT_EQ(MapFontFace("Qrp Unknown Narrow"), "Liberation Sans Narrow");
    EXPECT_EQ(MapFontFace("Qrp Unknown Book", 0x12), "Liberation Serif");
    EXPECT_EQ(MapFontFace("Qrp Unknown Sans", 0x22), "Liberation Sans");
    const QFontMetricsF mono(QFont(MapFontFace("Qrp Unknown Grotesk", 0x31), 20));
    EXPECT_DOUBLE_EQ(mono.horizontalAdvance(QStringLiteral("iiii")), mono.horizontalAdvance(QStringLiteral("WWWW")));
    const QFontMetricsF narrow(QFont(MapFontFace("Qrp Unknown Narrow"), 20));
    const QFontMetricsF sans(QFont(MapFontFace("Qrp Unknown Sans", 0x22), 20));
    EXPECT_LT(narrow.horizontalAdvance(QStringLiteral("Report total")),
              0.9 * sans.horizontalAdvance(QStringLiteral("Report total")));
}

std::vector<int> Order(const QString& Text, bool Rtl)
{
    return EmfVisualOrder(Text, Rtl);
}

TEST(EmfBidi, VisualOrderOfMixedLines)
{
    const QString he = QString(QChar(0x05D0)) + QChar(0x05D1) + QChar(0x05D2);
    EXPECT_EQ(Order(QStringLiteral("abc"), false), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Order(he, false), (std::vector<int>{2, 1, 0}));
    EXPECT_FALSE(EmfHasRightToLeft(QStringLiteral("Total: 450")));
    EXPECT_TRUE(EmfHasRightToLeft(he));
    // "Total: <Hebrew> 450": numbers keep their digit order, the colon
    // and space follow the paragraph's direction.
    const QString mix = QStringLiteral("Total: ") + QChar(0x05E1) + QChar(0x05D4) + QChar(0x05F4) + QChar(0x05DB) +
                        QStringLiteral(" 450");
    EXPECT_EQ(Order(mix, false), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 12, 13, 14, 11, 10, 9, 8, 7}));
    EXPECT_EQ(Order(mix, true), (std::vector<int>{12, 13, 14, 11, 10, 9, 8, 7, 6, 5, 0, 1, 2, 3, 4}));
    // A left-to-right line read right to left: its end punctuation leads.
    EXPECT_EQ(Order(QStringLiteral("ab!"), true), (std::vector<int>{2, 0, 1}));
    // Brackets around right-to-left text are mirrored.
    QString bracketed = QStringLiteral("(") + he + QStringLiteral(")");
    std::vector<double> advances{1, 2, 3, 4, 5};
    EmfReorderForDisplay(bracketed, advances, true);
    EXPECT_EQ(bracketed, QStringLiteral("(") + QChar(0x05D2) + QChar(0x05D1) + QChar(0x05D0) + QStringLiteral(")"));
    EXPECT_EQ(advances, (std::vector<double>{5, 4, 3, 2, 1}));
}

TEST(EmfBidi, ArabicLettersTakeTheirJoinedForms)
{
    // meem reh hah beh alef: initial, final (reh joins only the letter
    // before), initial, medial, final.
    const QString word = QString(QChar(0x0645)) + QChar(0x0631) + QChar(0x062D) + QChar(0x0628) + QChar(0x0627);
    EXPECT_EQ(EmfShapeArabic(word),
              QString(QChar(0xFEE3)) + QChar(0xFEAE) + QChar(0xFEA3) + QChar(0xFE92) + QChar(0xFE8E));
    // Alone, or cut off by a space, a letter is isolated; a vowel mark
    // between two letters does not break the join.
    EXPECT_EQ(EmfShapeArabic(QString(QChar(0x0628)) + QStringLiteral(" ")),
              QString(QChar(0xFE8F)) + QStringLiteral(" "));
    EXPECT_EQ(EmfShapeArabic(QString(QChar(0x0628)) + QChar(0x064E) + QChar(0x0628)),
              QString(QChar(0xFE91)) + QChar(0x064E) + QChar(0xFE90));
}

TEST(EmfStyles, RasterOperationsMapToCompositionModes)
{
    using CM = QPainter::CompositionMode;
    EXPECT_EQ(EmfRopEffect(SRCCOPY).Type, TEmfRopEffect::Source);
    EXPECT_EQ(EmfRopEffect(SRCAND).Mode, CM::RasterOp_SourceAndDestination);
    EXPECT_EQ(EmfRopEffect(SRCPAINT).Mode, CM::RasterOp_SourceOrDestination);
    EXPECT_EQ(EmfRopEffect(SRCINVERT).Mode, CM::RasterOp_SourceXorDestination);
    EXPECT_TRUE(EmfRopEffect(NOTSRCCOPY).InvertSource);
    EXPECT_EQ(EmfRopEffect(PATCOPY).Type, TEmfRopEffect::Pattern);
    EXPECT_EQ(EmfRopEffect(BLACKNESS).Type, TEmfRopEffect::Fill);
    EXPECT_EQ(EmfRopEffect(WHITENESS).Color, QColor(Qt::white));
    EXPECT_EQ(EmfRopEffect(0x00AA0029).Type, TEmfRopEffect::Destination);
    // Unlisted operations: by whether the source takes part.
    EXPECT_EQ(EmfRopEffect(0x00B8074A).Type, TEmfRopEffect::Source);
    EXPECT_EQ(EmfRopEffect(0x000F0001).Type, TEmfRopEffect::Pattern); // Pn
}

TEST(EmfStyles, BinaryRasterOperations)
{
    EXPECT_TRUE(EmfRop2Effect(R2_NOP).Skip);
    EXPECT_EQ(EmfRop2Effect(R2_NOT).Mode, QPainter::RasterOp_NotDestination);
    EXPECT_EQ(EmfRop2Effect(R2_XORPEN).Mode, QPainter::RasterOp_SourceXorDestination);
    EXPECT_EQ(EmfRop2Effect(R2_COPYPEN).Mode, QPainter::CompositionMode_SourceOver);
    EXPECT_TRUE(EmfRop2Effect(R2_NOTCOPYPEN).InvertPen);
}

TEST(EmfStyles, HatchTilesFollowGdiPatterns)
{
    const QImage h = EmfHatchTile(HS_HORIZONTAL, Qt::black, Qt::white, false);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(qAlpha(h.pixel(x, 3)), 255);
        EXPECT_EQ(qAlpha(h.pixel(x, 2)), 0);
    }
    const QImage v = EmfHatchTile(HS_VERTICAL, Qt::red, Qt::green, true);
    EXPECT_EQ(v.pixel(4, 0), QColor(Qt::red).rgb());
    EXPECT_EQ(v.pixel(3, 0), QColor(Qt::green).rgb());
    const QImage f = EmfHatchTile(HS_FDIAGONAL, Qt::black, Qt::white, false);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(qAlpha(f.pixel(i, i)), 255) << i; // down to the right
    EXPECT_EQ(EmfCosmeticDashes(PS_DASH), (std::vector<double>{18, 6}));
    EXPECT_TRUE(EmfCosmeticDashes(PS_SOLID).empty());
}

} // namespace
