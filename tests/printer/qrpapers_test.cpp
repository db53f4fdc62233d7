// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/qrpapers.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr long double Screen96 = 96.0L / 254; // pixels per 0.1 mm

TEST(PaperTables, CodesAreIdentityUpToA3ExtraTransAndCustomIs256)
{
    for (int i = 0; i < QRPaperSizeCount - 1; ++i)
        EXPECT_EQ(PaperCodes[i], i);
    EXPECT_EQ(PaperCodes[static_cast<int>(TQRPaperSize::Custom)], 256);
    EXPECT_EQ(static_cast<int>(TQRPaperSize::Custom), 69);
}

TEST(PaperTables, RowsHoldTheSheetAsItsCodeDefinesIt)
{
    struct Row {
        TQRPaperSize Size;
        long double W, H;
        const char* Name;
    };
    const Row rows[] = {
        {TQRPaperSize::Default, 0, 0, "Default"},
        {TQRPaperSize::Letter, 215.9L, 279.4L, "Letter"},
        {TQRPaperSize::Ledger, 431.8L, 279.4L, "Ledger"},
        {TQRPaperSize::A4, 210, 297, "A4"},
        {TQRPaperSize::Note, 215.9L, 279.4L, "Note"},
        {TQRPaperSize::Env9, 98.43L, 225.4L, "Env9"},
        {TQRPaperSize::ESheet, 863.6L, 1117.6L, "ESheet"},
        {TQRPaperSize::EnvB6, 176, 125, "EnvB6"},
        {TQRPaperSize::EnvPersonal, 92.01L, 165.1L, "EnvPersonal"},
        {TQRPaperSize::A4Trans, 297, 210, "A4Trans"},
        {TQRPaperSize::A2, 420, 594, "A2"},
        {TQRPaperSize::A3ExtraTrans, 445, 322, "A3ExtraTrans"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Name);
        EXPECT_EQ(PaperDimensions[static_cast<int>(r.Size)].Width, r.W);
        EXPECT_EQ(PaperDimensions[static_cast<int>(r.Size)].Height, r.H);
        EXPECT_STREQ(PaperSizeName(r.Size), r.Name);
    }
    EXPECT_STREQ(PaperSizeName(TQRPaperSize::Custom), "Custom");
}

TEST(PaperTables, BinAndPaperLookupsTakeTheFirstMatch)
{
    // The codes each bin writes are checked where the printer receives them
    // (EachBinReachesThePrinterAsItsDeviceCode).
    struct Case {
        int Code;
        TQRBin Bin;
    };
    for (const Case& c : {Case{1, TQRBin::First}, Case{14, TQRBin::Cassette}, Case{15, TQRBin::First},
                          Case{260, TQRBin::First}, Case{7, TQRBin::Auto}})
        EXPECT_EQ(BinFromCode(c.Code), c.Bin) << c.Code;
    struct PCase {
        int Code;
        TQRPaperSize Size;
    };
    for (const PCase& c :
         {PCase{256, TQRPaperSize::Custom}, PCase{300, TQRPaperSize::Default}, PCase{9, TQRPaperSize::A4},
          PCase{0, TQRPaperSize::Default}, PCase{-5, TQRPaperSize::Default}})
        EXPECT_EQ(PaperSizeFromCode(c.Code), c.Size) << c.Code;
}

TEST(PaperTables, TenthsOfAMillimetreAreRoundedHalvesToEven)
{
    EXPECT_EQ(PaperTenthsMM(215.9L), 2159);
    EXPECT_EQ(PaperTenthsMM(263.5L), 2635);
    EXPECT_EQ(PaperTenthsMM(98.43L), 984);
}

struct DetectCase {
    const char* What;
    int WidthPx, HeightPx;
    bool Nearest;
    bool Found;
    TQRPaperSize Size;
    TPrinterOrientation Orientation;
};

class PaperDetection : public ::testing::TestWithParam<DetectCase> {};

TEST_P(PaperDetection, MatchesTheFirstPageAtScreenDensity)
{
    const DetectCase& c = GetParam();
    const TPaperDetection d = c.Nearest ? DetectPaperNearest(c.WidthPx, c.HeightPx, Screen96)
                                        : DetectPaperIn4mmSteps(c.WidthPx, c.HeightPx, Screen96);
    EXPECT_EQ(d.Found, c.Found);
    if (c.Found) {
        EXPECT_STREQ(PaperSizeName(d.PaperSize), PaperSizeName(c.Size));
    }
    EXPECT_EQ(d.Orientation, c.Orientation);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PaperDetection,
    ::testing::Values(
        DetectCase{"A4PortraitNearest", 794, 1123, true, true, TQRPaperSize::A4, poPortrait},
        DetectCase{"A4LandscapeNearest", 1123, 794, true, true, TQRPaperSize::A4, poLandscape},
        DetectCase{"A4In4mmStepsEndsAsA4Small", 794, 1123, false, true, TQRPaperSize::A4Small, poPortrait},
        DetectCase{"A4LandscapeIn4mmSteps", 1123, 794, false, true, TQRPaperSize::A4Small, poLandscape},
        DetectCase{"LetterNearest", 816, 1056, true, true, TQRPaperSize::Letter, poPortrait},
        DetectCase{"LetterIn4mmStepsEndsAsNote", 816, 1056, false, true, TQRPaperSize::Note, poPortrait},
        DetectCase{"Square500mmIsCSheetPortrait", 1890, 1890, true, true, TQRPaperSize::CSheet, poPortrait},
        DetectCase{"A3LandscapeNearestWithin1mm", 1587, 1123, true, true, TQRPaperSize::A3, poLandscape},
        DetectCase{"A3LandscapeMissesIn4mmSteps", 1587, 1123, false, false, TQRPaperSize::Default, poLandscape},
        DetectCase{"OddSizeMissesIn4mmStepsPortrait", 300, 900, false, false, TQRPaperSize::Default, poPortrait},
        DetectCase{"HugePageFindsNoRow", 2000000000, 2000000000, true, false, TQRPaperSize::Default, poPortrait},
        DetectCase{"ZeroSizedPage", 0, 0, true, true, TQRPaperSize::Env9, poPortrait}),
    [](const ::testing::TestParamInfo<DetectCase>& i) { return std::string(i.param.What); });

TEST(PaperDetectionWrites, NearestWritesOrientationThenEachImprovement)
{
    const TPaperDetection d = DetectPaperNearest(794, 1123, Screen96);
    ASSERT_GE(d.Writes.size(), 2u);
    EXPECT_TRUE(d.Writes.front().IsOrientation);
    EXPECT_FALSE(d.Writes.back().IsOrientation);
    EXPECT_EQ(d.Writes.back().PaperSize, TQRPaperSize::A4);
    EXPECT_EQ(d.Writes[1].PaperSize, TQRPaperSize::Letter); // the first row always improves on 32000
}

TEST(PaperDetectionWrites, In4mmStepsWritesEveryMatchInRowOrder)
{
    const TPaperDetection d = DetectPaperIn4mmSteps(816, 1056, Screen96);
    std::vector<TQRPaperSize> sizes;
    for (const TPaperWrite& w : d.Writes)
        if (!w.IsOrientation)
            sizes.push_back(w.PaperSize);
    EXPECT_EQ(sizes, (std::vector<TQRPaperSize>{TQRPaperSize::Letter, TQRPaperSize::LetterSmall, TQRPaperSize::Note}));
}

TEST(PaperDetectionWrites, ZeroFactorDoesNotCrash)
{
    EXPECT_FALSE(DetectPaperIn4mmSteps(794, 1123, 0).Found);
    EXPECT_FALSE(DetectPaperNearest(794, 1123, 0).Found);
}

} // namespace
