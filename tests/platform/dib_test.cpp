// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/dib.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <cstring>

namespace {

struct TDibBytes {
    std::vector<uint8_t> Info, Bits;
};

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x)
{
    if (v.size() < at + 4)
        v.resize(at + 4, 0);
    for (int i = 0; i < 4; ++i)
        v[at + i] = uint8_t(x >> (8 * i));
}

// A BITMAPINFOHEADER followed by Table (RGBQUADs as 0x00RRGGBB).
std::vector<uint8_t> InfoHeader(int32_t W, int32_t H, uint16_t Bpp, uint32_t Compression = 0,
                                const std::vector<uint32_t>& Table = {}, uint32_t ClrUsed = 0)
{
    std::vector<uint8_t> v(40, 0);
    Put32(v, 0, 40);
    Put32(v, 4, uint32_t(W));
    Put32(v, 8, uint32_t(H));
    v[12] = 1;
    v[14] = uint8_t(Bpp);
    Put32(v, 16, Compression);
    Put32(v, 32, ClrUsed);
    for (uint32_t c : Table)
        Put32(v, v.size(), c);
    return v;
}

QImage Decode(const std::vector<uint8_t>& Info, const std::vector<uint8_t>& Bits, TDibInfo* Out = nullptr,
              TDibOptions Options = {})
{
    return DecodeDib(Info.data(), Info.size(), Bits.data(), Bits.size(), Options, Out);
}

QRgb At(const QImage& I, int X, int Y)
{
    return I.pixel(X, Y);
}

constexpr QRgb Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, Black = 0xFF000000, White = 0xFFFFFFFF;

} // namespace

TEST(DibDecode, OneBitBottomUpUsesColourTableAndFirstStoredRowIsBottom)
{
    // 3 x 2; stored bottom row first: bottom = 1,0,1; top = 0,1,1.
    const auto info = InfoHeader(3, 2, 1, 0, {0x00FF0000, 0x000000FF});
    const std::vector<uint8_t> bits = {0xA0, 0, 0, 0, 0x60, 0, 0, 0};
    TDibInfo d;
    const QImage img = Decode(info, bits, &d);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.format(), QImage::Format_Mono);
    EXPECT_TRUE(d.HasColorTable);
    EXPECT_EQ(At(img, 0, 0), Red);
    EXPECT_EQ(At(img, 1, 0), Blue);
    EXPECT_EQ(At(img, 2, 0), Blue);
    EXPECT_EQ(At(img, 0, 1), Blue);
    EXPECT_EQ(At(img, 1, 1), Red);
}

TEST(DibDecode, OneBitWithoutColourTableIsFlaggedAndRecolourable)
{
    const auto info = InfoHeader(2, 1, 1);
    const std::vector<uint8_t> bits = {0x40, 0, 0, 0};
    TDibInfo d;
    QImage img = Decode(info, bits, &d);
    ASSERT_FALSE(img.isNull());
    EXPECT_FALSE(d.HasColorTable);
    EXPECT_EQ(At(img, 0, 0), Black);
    EXPECT_EQ(At(img, 1, 0), White);
    img.setColor(0, Green);
    EXPECT_EQ(At(img, 0, 0), Green);
}

TEST(DibDecode, FourAndEightBitIndexesAndTopDownRows)
{
    const auto info4 = InfoHeader(3, -2, 4, 0, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, 4);
    const std::vector<uint8_t> bits4 = {0x12, 0x30, 0, 0, 0x33, 0x10, 0, 0};
    const QImage i4 = Decode(info4, bits4);
    ASSERT_FALSE(i4.isNull());
    EXPECT_EQ(At(i4, 0, 0), Red);
    EXPECT_EQ(At(i4, 1, 0), Green);
    EXPECT_EQ(At(i4, 2, 0), Blue);
    EXPECT_EQ(At(i4, 0, 1), Blue);
    EXPECT_EQ(At(i4, 2, 1), Red);

    const auto info8 = InfoHeader(2, 2, 8, 0, {0xFF0000, 0x00FF00, 0x0000FF}, 3);
    const std::vector<uint8_t> bits8 = {2, 1, 0, 0, 0, 200, 0, 0}; // index 200 lies beyond the table
    const QImage i8 = Decode(info8, bits8);
    ASSERT_FALSE(i8.isNull());
    EXPECT_EQ(At(i8, 0, 1), Blue);
    EXPECT_EQ(At(i8, 1, 1), Green);
    EXPECT_EQ(At(i8, 0, 0), Red);
    EXPECT_EQ(At(i8, 1, 0), Black);
}

TEST(DibDecode, SixteenBitDefaultsTo555AndBitFieldsFollowMasks)
{
    // 555: pure red, and red 16 of 31 which GDI widens to 132.
    const auto info = InfoHeader(2, 1, 16);
    const std::vector<uint8_t> bits = {0x00, 0x7C, 0x00, 0x40};
    const QImage img = Decode(info, bits);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(At(img, 0, 0), Red);
    EXPECT_EQ(At(img, 1, 0), qRgb(132, 0, 0));

    auto info565 = InfoHeader(2, 1, 16, 3);
    Put32(info565, 40, 0xF800);
    Put32(info565, 44, 0x07E0);
    Put32(info565, 48, 0x001F);
    const std::vector<uint8_t> bits565 = {0xE0, 0x07, 0x1F, 0x00};
    const QImage i565 = Decode(info565, bits565);
    ASSERT_FALSE(i565.isNull());
    EXPECT_EQ(At(i565, 0, 0), Green);
    EXPECT_EQ(At(i565, 1, 0), Blue);
}

TEST(DibDecode, TwentyFourBitRowsArePaddedAndBgr)
{
    const auto info = InfoHeader(1, 2, 24);
    const std::vector<uint8_t> bits = {0xFF, 0, 0, 0, 0, 0, 0xFF, 0}; // bottom blue, top red
    const QImage img = Decode(info, bits);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(At(img, 0, 0), Red);
    EXPECT_EQ(At(img, 0, 1), Blue);
}

TEST(DibDecode, ThirtyTwoBitAlphaIsIgnoredUnlessAskedFor)
{
    const auto info = InfoHeader(2, 1, 32);
    const std::vector<uint8_t> bits = {0, 0, 0x80, 0x80, 0x10, 0x20, 0xFF, 0x40}; // second: colour above alpha
    const QImage opaque = Decode(info, bits);
    ASSERT_FALSE(opaque.isNull());
    EXPECT_EQ(At(opaque, 0, 0), qRgb(0x80, 0, 0));
    TDibOptions o;
    o.UseAlpha = true;
    const QImage alpha = Decode(info, bits, nullptr, o);
    ASSERT_FALSE(alpha.isNull());
    EXPECT_EQ(alpha.format(), QImage::Format_ARGB32_Premultiplied);
    const QRgb* line = reinterpret_cast<const QRgb*>(alpha.constScanLine(0));
    EXPECT_EQ(line[0], qRgba(0x80, 0, 0, 0x80));
    EXPECT_EQ(line[1], qRgba(0x40, 0x20, 0x10, 0x40));
}

TEST(DibDecode, CoreHeaderUsesThreeByteColourEntries)
{
    std::vector<uint8_t> info = {12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0xFF, 0, 0};
    const std::vector<uint8_t> bits = {0x40, 0, 0, 0};
    const QImage img = Decode(info, bits);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(At(img, 0, 0), Black);
    EXPECT_EQ(At(img, 1, 0), Blue);
}

TEST(DibDecode, PaletteIndexesReferToTheLogicalPalette)
{
    auto info = InfoHeader(2, 1, 1);
    info.insert(info.end(), {13, 0, 19, 0}); // red and white in the default palette
    const std::vector<uint8_t> bits = {0x40, 0, 0, 0};
    TDibOptions o;
    o.Usage = 1;
    const QImage img = Decode(info, bits, nullptr, o);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(At(img, 0, 0), Red);
    EXPECT_EQ(At(img, 1, 0), White);
}

TEST(DibDecode, Rle8RunsAbsoluteDeltaAndEndOfLine)
{
    const auto info = InfoHeader(4, 3, 8, 1, {0xFF0000, 0x00FF00, 0x0000FF});
    const std::vector<uint8_t> bits = {2, 0,             // bottom row: two red
                                       0, 0,             // end of line
                                       0, 3, 1, 2, 1, 0, // absolute: green blue green, padded
                                       0, 2, 0, 1,       // delta: one row up
                                       0, 1};            // end of bitmap
    const QImage img = Decode(info, bits);
    ASSERT_FALSE(img.isNull());
    const auto px = [&](int x, int y) { return reinterpret_cast<const QRgb*>(img.constScanLine(y))[x]; };
    EXPECT_EQ(px(0, 2), Red);
    EXPECT_EQ(px(1, 2), Red);
    EXPECT_EQ(qAlpha(px(2, 2)), 0) << "pixels an end of line skips stay transparent";
    EXPECT_EQ(px(0, 1), Green);
    EXPECT_EQ(px(1, 1), Blue);
    EXPECT_EQ(px(2, 1), Green);
    EXPECT_EQ(qAlpha(px(0, 0)), 0);
}

TEST(DibDecode, Rle4AlternatesNibbles)
{
    const auto info = InfoHeader(5, 1, 4, 2, {0xFF0000, 0x00FF00, 0x0000FF});
    const std::vector<uint8_t> bits = {3, 0x01, 0, 3, 0x20, 0x10, 0, 1}; // run, then an absolute 2 0 1
    const QImage img = Decode(info, bits);
    ASSERT_FALSE(img.isNull());
    const QRgb* l = reinterpret_cast<const QRgb*>(img.constScanLine(0));
    EXPECT_EQ(l[0], Red);
    EXPECT_EQ(l[1], Green);
    EXPECT_EQ(l[2], Red);
    EXPECT_EQ(l[3], Blue);
    EXPECT_EQ(l[4], Red);
}

TEST(DibDecode, EmbeddedPngDecodes)
{
    QImage src(3, 2, QImage::Format_RGB32);
    src.fill(Qt::green);
    src.setPixel(2, 1, Red);
    QByteArray png;
    QBuffer b(&png);
    b.open(QIODevice::WriteOnly);
    ASSERT_TRUE(src.save(&b, "PNG"));
    const auto info = InfoHeader(3, 2, 0, 5);
    const std::vector<uint8_t> bits(png.begin(), png.end());
    const QImage img = Decode(info, bits);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(At(img, 2, 1), Red);
    EXPECT_EQ(At(img, 0, 0), Green);
}

TEST(DibEncode, RoundTripsOpaqueAndTranslucentImages)
{
    QImage opaque(3, 2, QImage::Format_RGB32);
    opaque.fill(Qt::blue);
    opaque.setPixel(0, 0, Red);
    TEncodedDib d = EncodeDib(opaque);
    EXPECT_EQ(d.Info[14], 24);
    QImage back = DecodeDib(d.Info.data(), d.Info.size(), d.Bits.data(), d.Bits.size());
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), opaque);

    QImage alpha(2, 2, QImage::Format_ARGB32_Premultiplied);
    alpha.fill(Qt::transparent);
    alpha.setPixel(1, 0, qRgba(0x40, 0, 0, 0x80));
    d = EncodeDib(alpha);
    EXPECT_EQ(d.Info[14], 32);
    TDibOptions o;
    o.UseAlpha = true;
    back = DecodeDib(d.Info.data(), d.Info.size(), d.Bits.data(), d.Bits.size(), o);
    EXPECT_EQ(back, alpha);
}

// Damaged input: every case must give a null image without reading outside
// the buffers (the sanitizer build checks that).
TEST(DibDecode, DamagedHeadersAndBitsGiveNullImages)
{
    const std::vector<uint8_t> bits(64, 0);
    struct Case {
        const char* What;
        std::vector<uint8_t> Info;
        size_t BitsSize;
    };
    auto hugeSize = InfoHeader(1, 1, 24);
    const auto fields = InfoHeader(1, 1, 32, 3);
    const std::vector<uint8_t> fieldsCut(fields.begin(), fields.begin() + 40);
    Put32(hugeSize, 0, 0xFFFFFFF0);
    const Case cases[] = {
        {"zero width", InfoHeader(0, 1, 24), 64},
        {"negative width", InfoHeader(-4, 1, 24), 64},
        {"most negative height", InfoHeader(1, int32_t(0x80000000), 24), 64},
        {"side past the cap", InfoHeader(40000, 1, 24), 64},
        {"pixel count past the cap", InfoHeader(32768, 32768, 1), 64},
        {"unknown depth", InfoHeader(1, 1, 7), 64},
        {"RLE8 at four bits", InfoHeader(1, 1, 4, 1), 64},
        {"unknown compression", InfoHeader(1, 1, 8, 9), 64},
        {"header size beyond the data", hugeSize, 64},
        {"header shorter than a core header", std::vector<uint8_t>(8, 0), 64},
        {"bits shorter than the rows", InfoHeader(8, 8, 24), 64},
        {"no bits", InfoHeader(1, 1, 24), 0},
        {"bit fields whose masks are missing", fieldsCut, 64},
    };
    for (const Case& c : cases) {
        const QImage img = DecodeDib(c.Info.data(), c.Info.size(), bits.data(), c.BitsSize);
        EXPECT_TRUE(img.isNull()) << c.What;
    }
}

TEST(DibDecode, HostileRleStreamsStayInsideTheBitmap)
{
    const auto info = InfoHeader(4, 2, 8, 1, {0xFF0000});
    const std::vector<std::vector<uint8_t>> streams = {
        {255, 0, 255, 0, 255, 0}, // runs far past the row
        {0, 2, 250, 250, 1, 0},   // delta far outside
        {0, 255, 0, 0},           // absolute run longer than the data
        {0, 2},                   // delta cut short
        {1},                      // odd byte
    };
    for (const auto& s : streams) {
        const QImage img = Decode(info, s);
        EXPECT_FALSE(img.isNull());
    }
}

TEST(DibDecode, RecordOffsetsAreCheckedAgainstTheRecord)
{
    std::vector<uint8_t> record(100, 0);
    const auto info = InfoHeader(1, 1, 24);
    std::memcpy(record.data() + 20, info.data(), info.size());
    TDibInfo d;
    EXPECT_FALSE(DecodeDibInRecord(record.data(), record.size(), 20, 40, 60, 4, {}, &d).isNull());
    EXPECT_TRUE(DecodeDibInRecord(record.data(), record.size(), 20, 40, 98, 4).isNull());
    EXPECT_TRUE(DecodeDibInRecord(record.data(), record.size(), 20, 40, 0xFFFFFFFC, 8).isNull());
    EXPECT_TRUE(DecodeDibInRecord(record.data(), record.size(), 0xFFFFFFF0, 0x20, 60, 4).isNull());
    EXPECT_TRUE(DecodeDibInRecord(record.data(), record.size(), 20, 0, 60, 4).isNull());
}

TEST(DibDecode, SampledDecodeKeepsTheWholeDecodesPixels)
{
    // 7 x 5 of every depth and compression, bits filled with a pattern.
    std::vector<uint8_t> pattern(256);
    for (size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = uint8_t(i * 53 + 7);
    const std::vector<uint32_t> table = {0xFF0000, 0x00FF00, 0x0000FF, 0x808080, 0x123456, 0xABCDEF};
    auto fields = InfoHeader(7, 5, 32, 3);
    for (uint32_t m : {0x3FF00000u, 0x000FFC00u, 0x000003FFu})
        Put32(fields, fields.size(), m);
    const std::vector<uint8_t> rle8 = {3, 1, 0, 0, 0, 4, 2, 0, 5, 1, 0, 2, 2, 1, 9, 3, 0, 1};
    const std::vector<uint8_t> rle4 = {5, 0x12, 0, 2, 1, 1, 0, 3, 0x34, 0x50, 0, 1};
    const struct {
        const char* Name;
        std::vector<uint8_t> Info, Bits;
        bool UseAlpha;
    } cases[] = {
        {"1 bit", InfoHeader(7, 5, 1, 0, {0xFF0000, 0x0000FF}), pattern, false},
        {"4 bits", InfoHeader(7, 5, 4, 0, table), pattern, false},
        {"8 bits top-down", InfoHeader(7, -5, 8, 0, table), pattern, false},
        {"16 bits", InfoHeader(7, 5, 16), pattern, false},
        {"24 bits", InfoHeader(7, 5, 24), pattern, false},
        {"32 bits with alpha", InfoHeader(7, 5, 32), pattern, true},
        {"bit fields", fields, pattern, false},
        {"RLE8", InfoHeader(7, 5, 8, 1, table), rle8, false},
        {"RLE4", InfoHeader(7, 5, 4, 2, table), rle4, false},
    };
    // Repeated, backwards and off the bitmap.
    TDibSampling s;
    s.Columns = {6, 6, 5, 3, 0, -1, 7, 2};
    s.Rows = {0, 4, 4, 2, -3, 1};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TDibOptions o;
        o.UseAlpha = c.UseAlpha;
        const QImage whole = Decode(c.Info, c.Bits, nullptr, o);
        ResetDibPeakPixels();
        const QImage sampled = DecodeDibSampled(c.Info.data(), c.Info.size(), c.Bits.data(), c.Bits.size(), s, o,
                                                nullptr);
        ASSERT_FALSE(whole.isNull());
        ASSERT_EQ(sampled.size(), QSize(8, 6));
        EXPECT_EQ(sampled.format(), whole.format());
        EXPECT_EQ(DibPeakPixels(), 8 * 6);
        for (int j = 0; j < 6; ++j)
            for (int i = 0; i < 8; ++i) {
                const int x = s.Columns[size_t(i)], y = s.Rows[size_t(j)];
                if (whole.valid(x, y)) {
                    EXPECT_EQ(sampled.pixel(i, j), whole.pixel(x, y)) << i << "," << j;
                } else if (sampled.hasAlphaChannel()) {
                    EXPECT_EQ(sampled.pixel(i, j), 0u) << i << "," << j;
                }
            }
    }
}

TEST(DibDecode, RunLengthHeadersAloneAllocateNothingLarge)
{
    // The bomb: 16384 x 16384 claimed, two bytes of bits (255 red pixels at
    // the start of the bottom row).
    const auto info = InfoHeader(16384, 16384, 8, 1, {0x0000FF, 0xFF0000});
    const std::vector<uint8_t> bits = {0xFF, 0x01};
    ResetDibPeakPixels();
    TDibSampling s;
    s.Columns = {0, 100, 254, 255, 16383};
    s.Rows = {16383, 0};
    const QImage sampled = DecodeDibSampled(info.data(), info.size(), bits.data(), bits.size(), s);
    ASSERT_EQ(sampled.size(), QSize(5, 2));
    EXPECT_EQ(DibPeakPixels(), 10);
    const QRgb* bottom = reinterpret_cast<const QRgb*>(sampled.constScanLine(0));
    EXPECT_EQ(bottom[0], Red);
    EXPECT_EQ(bottom[2], Red);
    EXPECT_EQ(bottom[3], 0u);
    EXPECT_EQ(reinterpret_cast<const QRgb*>(sampled.constScanLine(1))[0], 0u);

    // Decoded whole, it gives its top-left corner only.
    ResetDibPeakPixels();
    const QImage corner = Decode(info, bits);
    EXPECT_EQ(corner.size(), QSize(DibDirectSide, DibDirectSide));
    EXPECT_LE(DibPeakPixels(), DibDirectPixels());
}
