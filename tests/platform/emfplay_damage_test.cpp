// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged pages end playback cleanly with what was drawn so far, and never
// read outside the page (the sanitizer build checks the latter).
#include "emfbuilder_helpers.h"

#include "platform/emf/emfplayer.h"
#include "platform/emf/emfrecords.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr uint32_t Red = 0x0000FF;

TEmfPlayResult Play(const TMetafile& Page, QImage* Out = nullptr)
{
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const TEmfPlayResult r = PlayEmf(painter, QRectF(0, 0, 100, 100), Page);
    painter.end();
    if (Out)
        *Out = image;
    return r;
}

TEmfBuilder RedBox()
{
    TEmfBuilder b;
    b.Brush(1, BS_SOLID, Red).Select(1).Select(STOCK_OBJECT | NULL_PEN).Rec(EMR_RECTANGLE, {0, 0, 30, 30});
    return b;
}

TEST(EmfPlayDamage, RecordSizesThatLieEndPlaybackWithWhatWasDrawn)
{
    const struct {
        const char* Name;
        uint32_t DeclaredSize;
    } cases[] = {{"zero", 0x0}, {"four", 4}, {"odd", 13}, {"past the end", 0x7FFFFFF0}, {"huge", 0xFFFFFFF8}};
    for (const auto& c : cases) {
        TEmfBuilder b = RedBox();
        // Raw() writes the true size for 0, so zero goes in by hand below.
        b.Raw(EMR_LINETO, {1, 0, 0, 0, 1, 0, 0, 0}, c.DeclaredSize ? c.DeclaredSize : 1);
        b.Rec(EMR_RECTANGLE, {50, 50, 90, 90});
        std::vector<uint8_t> bytes = b.Bytes();
        if (!c.DeclaredSize) {
            // The LINETO's size field sits right after its type.
            for (size_t i = 108; i + 8 <= bytes.size(); i += 4)
                if (bytes[i] == EMR_LINETO && bytes[i + 4] == 1) {
                    bytes[i + 4] = 0;
                    break;
                }
        }
        TMetafile page;
        page.LoadFromBytes(bytes);
        QImage img;
        const TEmfPlayResult r = Play(page, &img);
        EXPECT_TRUE(r.Damaged) << c.Name;
        EXPECT_FALSE(r.ReachedEof) << c.Name;
        EXPECT_EQ(img.pixel(10, 10) & 0xFFFFFF, 0xFF0000u) << c.Name;
        EXPECT_EQ(img.pixel(70, 70) & 0xFFFFFF, 0xFFFFFFu) << c.Name;
    }
}

TEST(EmfPlayDamage, PointCountsBeyondTheRecordStopPlayback)
{
    // cpts = 0x40000000 with one point stored: 16-bit and 32-bit forms, and
    // poly-polygons whose counts exceed their total.
    std::vector<std::vector<uint8_t>> bodies;
    for (int i = 0; i < 3; ++i)
        bodies.emplace_back(16, 0);
    Put32(bodies[0], 0x40000000);
    Put32(bodies[0], 0x00050005);
    Put32(bodies[1], 0x20000000);
    Put32(bodies[1], 5);
    Put32(bodies[1], 5);
    Put32(bodies[2], 2); // polygons
    Put32(bodies[2], 3); // total points
    Put32(bodies[2], 3);
    Put32(bodies[2], 0xFFFFFFFF); // second count
    for (int i = 0; i < 6; ++i)
        Put32(bodies[2], 10);
    const uint32_t types[] = {EMR_POLYLINE16, EMR_POLYGON, EMR_POLYPOLYGON};
    for (int i = 0; i < 3; ++i) {
        TEmfBuilder b = RedBox();
        b.Raw(types[i], bodies[size_t(i)]);
        const TEmfPlayResult r = Play(b.Page());
        EXPECT_TRUE(r.Damaged) << types[i];
    }
}

TEST(EmfPlayDamage, ObjectIndexesOutOfRangeAreIgnored)
{
    TEmfBuilder b(100, 4);
    b.Brush(1, BS_SOLID, Red).Select(1);
    b.Brush(4, BS_SOLID, 0).Brush(0, BS_SOLID, 0).Brush(0xFFFFFFF, BS_SOLID, 0); // beyond nHandles, reserved
    b.Select(7).Select(0x7FFFFFFF).Select(STOCK_OBJECT | 0x7FFF).Rec(EMR_DELETEOBJECT, {0xFFFF});
    b.Select(STOCK_OBJECT | NULL_PEN).Rec(EMR_RECTANGLE, {0, 0, 30, 30});
    QImage img;
    const TEmfPlayResult r = Play(b.Page(), &img);
    EXPECT_FALSE(r.Damaged);
    EXPECT_TRUE(r.ReachedEof);
    EXPECT_EQ(img.pixel(10, 10) & 0xFFFFFF, 0xFF0000u);
}

TEST(EmfPlayDamage, BitmapOffsetsOutsideTheRecordDrawNothing)
{
    QImage src(4, 4, QImage::Format_RGB32);
    src.fill(Qt::black);
    TEmfBuilder good;
    good.StretchDib(0, 0, 50, 50, src);
    std::vector<uint8_t> bytes = good.Bytes();
    // offBitsSrc of the STRETCHDIBITS (record at 108, field at +56).
    const size_t field = 108 + 56;
    for (uint32_t bad : {0xFFFFFFF0u, 0x7FFFFFFFu, 0x100u}) {
        std::vector<uint8_t> damaged = bytes;
        for (int i = 0; i < 4; ++i)
            damaged[field + size_t(i)] = uint8_t(bad >> (8 * i));
        TMetafile page;
        page.LoadFromBytes(damaged);
        QImage img;
        Play(page, &img);
        EXPECT_EQ(img.pixel(10, 10) & 0xFFFFFF, 0xFFFFFFu) << bad;
    }
}

TEST(EmfPlayDamage, TextAndRegionCountsBeyondTheRecordAreSkipped)
{
    TEmfBuilder b = RedBox();
    b.Font(1, -12, "Arial").Select(1);
    std::vector<uint8_t> text;
    for (uint32_t v : {0u, 0u, 0u, 0u, 1u, 0u, 0u, 10u, 10u, 0x7FFFFFFFu, 76u, 0u, 0u, 0u, 0u, 0u, 76u})
        Put32(text, v);
    b.Raw(EMR_EXTTEXTOUTW, text);
    std::vector<uint8_t> rgn;
    Put32(rgn, 64);
    Put32(rgn, RGN_COPY);
    for (uint32_t v : {32u, 1u, 0x10000000u, 0u, 0u, 0u, 10u, 10u})
        Put32(rgn, v);
    b.Raw(EMR_EXTSELECTCLIPRGN, rgn);
    b.Rec(EMR_RECTANGLE, {50, 50, 90, 90});
    QImage img;
    const TEmfPlayResult r = Play(b.Page(), &img);
    EXPECT_TRUE(r.ReachedEof);
    EXPECT_EQ(img.pixel(70, 70) & 0xFFFFFF, 0xFF0000u);
}

TEST(EmfPlayDamage, DeepSaveAndRestoreStayBounded)
{
    TEmfBuilder b = RedBox();
    for (int i = 0; i < 5000; ++i)
        b.Rec(EMR_SAVEDC, {});
    b.Rec(EMR_RESTOREDC, {uint32_t(-100000)}).Rec(EMR_RESTOREDC, {0x7FFFFFFF}).Rec(EMR_RESTOREDC, {1});
    for (int i = 0; i < 10; ++i)
        b.Rec(EMR_RESTOREDC, {uint32_t(-1)});
    b.Rec(EMR_RECTANGLE, {50, 50, 90, 90});
    QImage img;
    EXPECT_TRUE(Play(b.Page(), &img).ReachedEof);
    EXPECT_EQ(img.pixel(70, 70) & 0xFFFFFF, 0xFF0000u);
}

TEST(EmfPlayDamage, NonFiniteTransformsAndZeroExtentsAreRefused)
{
    TEmfBuilder b = RedBox();
    std::vector<uint8_t> xf;
    for (uint32_t v : {0x7F800000u, 0u, 0u, 0x7FC00000u, 0u, 0u})
        Put32(xf, v);
    b.Raw(EMR_SETWORLDTRANSFORM, xf);
    b.Rec(EMR_SETMAPMODE, {MM_ANISOTROPIC}).Rec(EMR_SETWINDOWEXTEX, {0, 0}).Rec(EMR_SCALEVIEWPORTEXTEX, {1, 0, 1, 0});
    b.Rec(EMR_RECTANGLE, {50, 50, 90, 90});
    QImage img;
    EXPECT_TRUE(Play(b.Page(), &img).ReachedEof);
    EXPECT_EQ(img.pixel(70, 70) & 0xFFFFFF, 0xFF0000u);
}

// Every corpus file, damaged ones included, when the corpus is next to the
// repository: under the sanitizers this checks that no record reads outside.
TEST(EmfPlayDamage, CorpusFilesPlayWithoutCrashing)
{
    namespace fs = std::filesystem;
    const fs::path corpus = fs::path(QRP_SOURCE_DIR) / ".." / "shared" / "corpus";
    if (!fs::exists(corpus))
        GTEST_SKIP() << "no corpus at " << corpus;
    int played = 0;
    for (const auto& e : fs::recursive_directory_iterator(corpus)) {
        if (e.path().extension() != ".emf")
            continue;
        TMetafile page;
        try {
            page.LoadFromFile(e.path().string());
        } catch (const std::exception&) {
            continue; // refused by the loader with a message
        }
        Play(page);
        ++played;
    }
    EXPECT_GT(played, 200);
}

} // namespace
