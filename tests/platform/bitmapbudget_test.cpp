// SPDX-License-Identifier: GPL-3.0-or-later
// Bitmap records cost what their destination shows, not what their headers
// claim, and drawing a bitmap sampled gives the pixels drawing it whole does.
#include "emfbuilder_helpers.h"

#include "platform/emf/dib.h"
#include "platform/emf/emfplayer.h"
#include "platform/emf/emfrecords.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

struct TDib {
    std::vector<uint8_t> Bmi, Bits;
};

// Lowers the limit above which bitmaps are sampled, for one test.
class TDirectLimit {
public:
    explicit TDirectLimit(int64_t Pixels) { SetDibDirectPixels(Pixels); }
    ~TDirectLimit() { SetDibDirectPixels(DibDefaultDirectPixels); }
};

uint32_t FloatBits(float F)
{
    uint32_t v;
    std::memcpy(&v, &F, 4);
    return v;
}

std::vector<uint8_t> Bmi(int32_t W, int32_t H, uint16_t Bpp, uint32_t Compression, std::vector<uint32_t> Table = {})
{
    std::vector<uint8_t> v;
    for (uint32_t x :
         {40u, uint32_t(W), uint32_t(H), 1u | uint32_t(Bpp) << 16, Compression, 0u, 0u, 0u, uint32_t(Table.size()), 0u})
        Put32(v, x);
    for (uint32_t c : Table)
        Put32(v, c);
    return v;
}

// The bomb's shape: a header claiming Side x Side run-length pixels, and two
// bytes of bits, a run of 255 red pixels at the start of the bottom row.
TDib RleBomb(int32_t Side)
{
    return {Bmi(Side, Side, 8, BI_RLE8, {0x0000FF, 0xFF0000}), {0xFF, 0x01}};
}

// W x H at 24 bits, every pixel a different colour.
TDib Colours(int W, int H)
{
    TDib d{Bmi(W, H, 24, BI_RGB), {}};
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x)
            for (int c : {x * 7, y * 11, (x * y) & 0xFF})
                d.Bits.push_back(uint8_t(c));
        while (d.Bits.size() % 4)
            d.Bits.push_back(0);
    }
    return d;
}

// Body values, then each DIB; At lists where each DIB's four offset and
// size fields go (counted in values from the start of the body).
std::vector<uint8_t> Body(std::vector<uint32_t> Values, const std::vector<std::pair<const TDib*, size_t>>& Dibs)
{
    uint32_t at = 8 + uint32_t(Values.size()) * 4;
    std::vector<uint8_t> tail;
    for (const auto& [dib, field] : Dibs) {
        Values[field] = at + uint32_t(tail.size());
        Values[field + 1] = uint32_t(dib->Bmi.size());
        tail.insert(tail.end(), dib->Bmi.begin(), dib->Bmi.end());
        Values[field + 2] = at + uint32_t(tail.size());
        Values[field + 3] = uint32_t(dib->Bits.size());
        tail.insert(tail.end(), dib->Bits.begin(), dib->Bits.end());
        while (tail.size() % 4)
            tail.push_back(0);
    }
    std::vector<uint8_t> b;
    for (uint32_t v : Values)
        Put32(b, v);
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

const uint32_t One = FloatBits(1.0f);

void StretchDibits(TEmfBuilder& B, int X, int Y, int W, int H, const TDib& D, QRect Src, uint32_t Rop = SRCCOPY)
{
    B.Raw(EMR_STRETCHDIBITS,
          Body({0, 0, 0, 0, uint32_t(X), uint32_t(Y), uint32_t(Src.x()), uint32_t(Src.y()), uint32_t(Src.width()),
                uint32_t(Src.height()), 0, 0, 0, 0, DIB_RGB_COLORS, Rop, uint32_t(W), uint32_t(H)},
               {{&D, 10}}));
}

// BITBLT, STRETCHBLT, TRANSPARENTBLT, ALPHABLEND and MASKBLT.
void Blt(TEmfBuilder& B, uint32_t Type, int X, int Y, int W, int H, uint32_t Rop, const TDib& D, QRect Src,
         const TDib* Mask = nullptr)
{
    std::vector<uint32_t> v = {0,
                               0,
                               0,
                               0,
                               uint32_t(X),
                               uint32_t(Y),
                               uint32_t(W),
                               uint32_t(H),
                               Rop,
                               uint32_t(Src.x()),
                               uint32_t(Src.y()),
                               One,
                               0,
                               0,
                               One,
                               0,
                               0,
                               0,
                               DIB_RGB_COLORS,
                               0,
                               0,
                               0,
                               0};
    std::vector<std::pair<const TDib*, size_t>> dibs = {{&D, 19}};
    if (Type == EMR_MASKBLT) {
        for (uint32_t m : {0u, 0u, uint32_t(DIB_RGB_COLORS), 0u, 0u, 0u, 0u})
            v.push_back(m);
        if (Mask)
            dibs.push_back({Mask, 26});
    } else if (Type != EMR_BITBLT) {
        v.push_back(uint32_t(Src.width()));
        v.push_back(uint32_t(Src.height()));
    }
    B.Raw(Type, Body(v, dibs));
}

void SetDibits(TEmfBuilder& B, int X, int Y, const TDib& D, QRect Src, int Scans)
{
    B.Raw(EMR_SETDIBITSTODEVICE,
          Body({0, 0, 0, 0, uint32_t(X), uint32_t(Y), uint32_t(Src.x()), uint32_t(Src.y()), uint32_t(Src.width()),
                uint32_t(Src.height()), 0, 0, 0, 0, DIB_RGB_COLORS, 0, uint32_t(Scans)},
               {{&D, 10}}));
}

// Mask pixel (x - Src.x() + MaskAt.x(), ...) belongs to source pixel (x, ...).
void PlgBlt(TEmfBuilder& B, const QPoint (&P)[3], const TDib& D, QRect Src, const TDib* Mask = nullptr,
            QPoint MaskAt = {})
{
    std::vector<uint32_t> v = {0, 0, 0, 0};
    for (const QPoint& p : P) {
        v.push_back(uint32_t(p.x()));
        v.push_back(uint32_t(p.y()));
    }
    for (uint32_t x : {uint32_t(Src.x()),
                       uint32_t(Src.y()),
                       uint32_t(Src.width()),
                       uint32_t(Src.height()),
                       One,
                       0u,
                       0u,
                       One,
                       0u,
                       0u,
                       0u,
                       uint32_t(DIB_RGB_COLORS),
                       0u,
                       0u,
                       0u,
                       0u,
                       0u,
                       0u,
                       uint32_t(DIB_RGB_COLORS),
                       0u,
                       0u,
                       0u,
                       0u})
        v.push_back(x);
    v[26] = uint32_t(MaskAt.x());
    v[27] = uint32_t(MaskAt.y());
    std::vector<std::pair<const TDib*, size_t>> dibs = {{&D, 22}};
    if (Mask)
        dibs.push_back({Mask, 29});
    B.Raw(EMR_PLGBLT, Body(v, dibs));
}

void PatternFill(TEmfBuilder& B, const TDib& D)
{
    B.Raw(EMR_CREATEDIBPATTERNBRUSHPT, Body({1, DIB_RGB_COLORS, 0, 0, 0, 0}, {{&D, 2}}));
    B.Select(1).Select(STOCK_OBJECT | NULL_PEN).Rec(EMR_RECTANGLE, {0, 0, 101, 101});
}

bool IsRed(QRgb C)
{
    return (C & 0xFFFFFF) == 0xFF0000;
}

} // namespace

TEST(BitmapBudget, BombsAllocateOnlyWhatTheDestinationShows)
{
    // The shapes at a smaller scale: a 2048-pixel square header over
    // two bytes of bits, drawn on 100 x 100 pixels with the direct limit
    // lowered below the header. A record that decoded the header's size
    // would allocate 4 M pixels.
    const TDirectLimit limit(64 * 64);
    const TDib bomb = RleBomb(2048);
    const QRect all(0, 0, 2048, 2048);
    // Scaled, the bottom 100 rows: one per device row, so the run shows. A
    // STRETCHDIBITS source counts its rows from the bottom.
    const QRect bottom(0, 1948, 2048, 100), bottomUp(0, 0, 2048, 100);
    const struct {
        const char* Name;
        std::function<void(TEmfBuilder&)> Record;
        // The red run covers the bottom row's device pixels up to this
        // column; 0: only some ink; -1: nothing to see (a pattern from the
        // bitmap's clear top-left corner).
        int RedUpTo;
    } cases[] = {
        {"STRETCHDIBITS", [&](TEmfBuilder& b) { StretchDibits(b, 0, 0, 100, 100, bomb, bottomUp); }, 12},
        {"STRETCHBLT", [&](TEmfBuilder& b) { Blt(b, EMR_STRETCHBLT, 0, 0, 100, 100, SRCCOPY, bomb, bottom); }, 12},
        {"BITBLT", [&](TEmfBuilder& b) { Blt(b, EMR_BITBLT, 0, -1948, 100, 2048, SRCCOPY, bomb, all); }, 100},
        {"TRANSPARENTBLT", [&](TEmfBuilder& b) { Blt(b, EMR_TRANSPARENTBLT, 0, 0, 100, 100, 0xFF0000, bomb, bottom); },
         12},
        {"ALPHABLEND", [&](TEmfBuilder& b) { Blt(b, EMR_ALPHABLEND, 0, 0, 100, 100, 0x00FF0000, bomb, bottom); }, 12},
        {"MASKBLT, the mask a bomb too",
         [&](TEmfBuilder& b) { Blt(b, EMR_MASKBLT, 0, -1948, 100, 2048, 0xAACC0020, bomb, all, &bomb); }, 100},
        {"ternary operation",
         [&](TEmfBuilder& b) {
             b.Brush(1, BS_SOLID, 0x3366CC).Select(1);
             StretchDibits(b, 0, 0, 100, 100, bomb, all, 0xB8074A);
         },
         0},
        {"SETDIBITSTODEVICE", [&](TEmfBuilder& b) { SetDibits(b, 0, -1948, bomb, all, 2048); }, 100},
        {"PLGBLT",
         [&](TEmfBuilder& b) {
             PlgBlt(b, {{0, 0}, {100, 0}, {0, 100}}, bomb, bottom, &bomb, bottom.topLeft());
         },
         0},
        {"pattern brush", [&](TEmfBuilder& b) { PatternFill(b, bomb); }, -1},
        {"rotated",
         [&](TEmfBuilder& b) {
             b.WorldTransform({0.0f, 1.0f, -1.0f, 0.0f, 100.0f, 0.0f});
             StretchDibits(b, 0, 0, 100, 100, bomb, bottomUp);
         },
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TEmfBuilder b;
        c.Record(b);
        ResetDibPeakPixels();
        const QImage img = PlayToImage(b.Page());
        // The destination's pixels, give or take a row and a column.
        EXPECT_LE(DibPeakPixels(), 101 * 101);
        if (c.RedUpTo >= 0) {
            EXPECT_GT(InkIn(img, img.rect()), 0);
        }
        if (c.RedUpTo > 0) {
            EXPECT_TRUE(IsRed(img.pixel(2, 99)));
        }
        if (c.RedUpTo > 0 && c.RedUpTo < 100) {
            EXPECT_FALSE(IsRed(img.pixel(c.RedUpTo + 8, 99)));
        }
    }
}

TEST(BitmapBudget, FullSizeBombsDrawInAThumbnailsMemory)
{
    // The sizes: each record would have decoded 268 M pixels.
    const TDib bomb = RleBomb(16384);
    const QRect all(0, 0, 16384, 16384);
    TEmfBuilder b;
    StretchDibits(b, 0, 0, 100, 100, bomb, all);
    Blt(b, EMR_TRANSPARENTBLT, 0, 0, 100, 100, 0xFF0000, bomb, all);
    Blt(b, EMR_MASKBLT, 0, 0, 100, 100, 0xAACC0020, bomb, all, &bomb);
    PatternFill(b, bomb);
    ResetDibPeakPixels();
    PlayToImage(b.Page());
    EXPECT_LE(DibPeakPixels(), int64_t(DibDirectSide) * DibDirectSide);
}

TEST(BitmapBudget, SampledDrawingGivesThePixelsOfTheWholeBitmap)
{
    const TDib colours = Colours(37, 23);
    const QRect all(0, 0, 37, 23);
    TDib mono{Bmi(16, 8, 1, BI_RGB), std::vector<uint8_t>(32)};
    for (size_t i = 0; i < mono.Bits.size(); ++i)
        mono.Bits[i] = uint8_t(0x5A ^ (i * 37));
    TDib rle{Bmi(9, 4, 8, BI_RLE8, {0x0000FF, 0x00FF00, 0xFF0000}), {3, 1, 0, 4, 0, 1, 2, 2, 0, 0, 2, 1, 3, 2, 0, 1}};
    const struct {
        const char* Name;
        std::function<void(TEmfBuilder&)> Record;
    } cases[] = {
        {"enlarged", [&](TEmfBuilder& b) { StretchDibits(b, 3, 5, 91, 71, colours, all); }},
        {"reduced", [&](TEmfBuilder& b) { StretchDibits(b, 3, 5, 20, 11, colours, all); }},
        {"mirrored", [&](TEmfBuilder& b) { StretchDibits(b, 90, 80, -83, -61, colours, all); }},
        {"part of the source",
         [&](TEmfBuilder& b) {
             StretchDibits(b, 0, 0, 77, 45, colours, {5, 3, 20, 10});
         }},
        {"off the page", [&](TEmfBuilder& b) { StretchDibits(b, -40, 60, 130, 90, colours, all); }},
        {"clipped",
         [&](TEmfBuilder& b) {
             b.Rec(EMR_INTERSECTCLIPRECT, {10, 20, 60, 70});
             StretchDibits(b, 0, 0, 100, 100, colours, all);
         }},
        {"inverted source", [&](TEmfBuilder& b) { StretchDibits(b, 0, 0, 99, 98, colours, all, NOTSRCCOPY); }},
        {"ternary operation",
         [&](TEmfBuilder& b) {
             b.Brush(1, BS_SOLID, 0x3366CC).Select(1);
             StretchDibits(b, 4, 4, 90, 77, colours, all, 0xB8074A);
         }},
        {"monochrome in the text colours",
         [&](TEmfBuilder& b) {
             b.Rec(EMR_SETTEXTCOLOR, {0x00FF00}).Rec(EMR_SETBKCOLOR, {0x0000FF});
             Blt(b, EMR_STRETCHBLT, 0, 0, 64, 96, SRCCOPY, mono, {0, 0, 16, 8});
         }},
        {"run-length",
         [&](TEmfBuilder& b) {
             StretchDibits(b, 0, 0, 95, 60, rle, {0, 0, 9, 4});
         }},
        {"transparent colour",
         [&](TEmfBuilder& b) { Blt(b, EMR_TRANSPARENTBLT, 2, 2, 70, 90, 0x000000, colours, all); }},
        {"constant alpha", [&](TEmfBuilder& b) { Blt(b, EMR_ALPHABLEND, 2, 2, 70, 90, 0x00800000, colours, all); }},
        {"mask",
         [&](TEmfBuilder& b) {
             Blt(b, EMR_MASKBLT, 5, 5, 16, 8, 0xAACC0020, colours, {0, 0, 16, 8}, &mono);
         }},
        {"pixel for pixel",
         [&](TEmfBuilder& b) {
             SetDibits(b, 30, 40, colours, {2, 1, 30, 20}, 23);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TEmfBuilder b;
        c.Record(b);
        const QImage whole = PlayToImage(b.Page());
        QImage sampled;
        {
            const TDirectLimit limit(0);
            ResetDibPeakPixels();
            sampled = PlayToImage(b.Page());
            EXPECT_LE(DibPeakPixels(), 100 * 100);
        }
        EXPECT_GT(InkIn(whole, whole.rect()), 0);
        EXPECT_TRUE(whole == sampled);
    }
}
