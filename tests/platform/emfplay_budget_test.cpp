// SPDX-License-Identifier: GPL-3.0-or-later
// The work budget of a page: saved states share the path, and pages whose
// cost has no bound stop at their limit, drawn as far as they got and
// reported too complex.
#include "emfbuilder_helpers.h"

#include "platform/emf/emfplayer.h"
#include "platform/emf/emfplaypath.h"
#include "platform/emf/emfrecords.h"

#include <QPainter>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

TEmfPlayResult Play(const TMetafile& Page, const TEmfPlayOptions& Options, QImage* Out = nullptr)
{
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const TEmfPlayResult r = PlayEmf(painter, QRectF(0, 0, 100, 100), Page, Options);
    painter.end();
    if (Out)
        *Out = image;
    return r;
}

// Limits small enough for a test page to cross: the floors are off, so the
// budget follows the 100 x 100 output alone.
TEmfPlayOptions Small()
{
    TEmfPlayOptions o;
    o.Limits.MinWork = 0;
    o.Limits.Overdraw = 16;
    o.Limits.MinGradientPixels = 0;
    o.Limits.GradientOverdraw = 4;
    return o;
}

TMetafile Rectangles(int Count)
{
    TEmfBuilder b;
    b.Brush(1, BS_SOLID, 0x0000FF).Select(1);
    for (int i = 0; i < Count; ++i)
        b.Rec(EMR_RECTANGLE, {0, 0, 100, 100});
    return b.Page();
}

// One GRADIENTFILL of Count triangles over the whole page.
TMetafile Triangles(int Count, int ClipRight = 0)
{
    std::vector<uint32_t> v = {0, 0, 100, 100, 4, uint32_t(Count), 2};
    const int corners[4][2] = {{0, 0}, {100, 0}, {0, 100}, {100, 100}};
    for (const auto& c : corners) {
        v.insert(v.end(), {uint32_t(c[0]), uint32_t(c[1]), 0xFF000000u, 0x00008000u});
    }
    for (int k = 0; k < Count; ++k)
        v.insert(v.end(), {uint32_t(k % 2), uint32_t(1 + k % 2), uint32_t(2 + k % 2)});
    std::vector<uint8_t> body(v.size() * 4);
    std::memcpy(body.data(), v.data(), body.size());
    TEmfBuilder b;
    if (ClipRight)
        b.Rec(EMR_INTERSECTCLIPRECT, {0, 0, uint32_t(ClipRight), uint32_t(ClipRight)});
    b.Raw(EMR_GRADIENTFILL, body);
    return b.Page();
}

} // namespace

TEST(EmfPath, FollowsQPainterPathAndCopiesKeepTheirOwnPath)
{
    QRandomGenerator random(23);
    for (int round = 0; round < 200; ++round) {
        TEmfPath path, saved;
        QPainterPath direct, savedDirect;
        auto point = [&] { return QPointF(random.bounded(4), random.bounded(4)); };
        for (int step = 0; step < 40; ++step) {
            switch (random.bounded(7)) {
            case 0: {
                const QPointF p = point();
                path.moveTo(p);
                direct.moveTo(p);
                break;
            }
            case 1:
            case 2: {
                const QPointF p = point();
                path.lineTo(p);
                direct.lineTo(p);
                break;
            }
            case 3: {
                const QPointF a = point(), b = point(), c = point();
                path.cubicTo(a, b, c);
                direct.cubicTo(a, b, c);
                break;
            }
            case 4:
                path.closeSubpath();
                direct.closeSubpath();
                break;
            case 5: {
                QPainterPath other;
                other.moveTo(point());
                other.lineTo(point());
                if (random.bounded(2))
                    other.closeSubpath();
                path.addPath(other);
                direct.addPath(other);
                break;
            }
            default: // a save: the copy must not see what follows
                saved = path;
                savedDirect = direct;
                // Detached here: QPainterPath's own detach forgets that a
                // closed figure wants a move before its next line.
                if (savedDirect.elementCount())
                    savedDirect.setElementPositionAt(0, savedDirect.elementAt(0).x, savedDirect.elementAt(0).y);
                break;
            }
            ASSERT_EQ(path.elementCount(), direct.elementCount()) << round << "/" << step;
            ASSERT_EQ(path.currentPosition(), direct.currentPosition()) << round << "/" << step;
        }
        EXPECT_TRUE(path.ToPainterPath() == direct) << round;
        EXPECT_TRUE(saved.ToPainterPath() == savedDirect) << round;
    }
}

TEST(EmfPlayBudget, RestoringAStateBringsBackItsPathWithoutLaterLines)
{
    auto page = [](bool Restore) {
        TEmfBuilder b;
        b.Rec(EMR_BEGINPATH, {}).Rec(EMR_MOVETOEX, {10, 10}).Rec(EMR_LINETO, {90, 10});
        for (int i = 0; i < 50; ++i)
            b.Rec(EMR_SAVEDC, {}).Rec(EMR_LINETO, {90, uint32_t(20 + i)});
        if (Restore)
            b.Rec(EMR_RESTOREDC, {1});
        b.Rec(EMR_ENDPATH, {}).Rec(EMR_STROKEPATH, {0, 0, 100, 100});
        return b.Page();
    };
    QImage restored, extended;
    EXPECT_FALSE(Play(page(true), {}, &restored).TooComplex);
    EXPECT_FALSE(Play(page(false), {}, &extended).TooComplex);
    EXPECT_GT(InkIn(restored, QRect(10, 8, 80, 4)), 60);
    EXPECT_EQ(InkIn(restored, QRect(85, 15, 10, 60)), 0);
    EXPECT_GT(InkIn(extended, QRect(85, 15, 10, 60)), 30);
}

TEST(EmfPlayBudget, PagesBeyondABoundStopThereAndSaySo)
{
    // 16 outputs' worth of pixels: 15 page-sized rectangles fit, 40 do not.
    const TEmfPlayResult fits = Play(Rectangles(15), Small());
    EXPECT_FALSE(fits.TooComplex);
    EXPECT_TRUE(fits.ReachedEof);
    QImage image;
    const TEmfPlayResult many = Play(Rectangles(40), Small(), &image);
    EXPECT_TRUE(many.TooComplex);
    EXPECT_FALSE(many.ReachedEof);
    EXPECT_LT(many.Records, 30u);
    EXPECT_EQ(image.pixel(50, 50), qRgb(255, 0, 0)); // drawn as far as it got

    // Gradient triangles pay for the pixels they shade, only where the clip
    // lets them be seen.
    EXPECT_FALSE(Play(Triangles(4), Small()).TooComplex);
    EXPECT_TRUE(Play(Triangles(12), Small()).TooComplex);
    EXPECT_FALSE(Play(Triangles(12, 20), Small()).TooComplex);

    TEmfPlayOptions records;
    records.Limits.Records = 100;
    TEmfBuilder empty;
    for (int i = 0; i < 200; ++i)
        empty.Rec(EMR_SETBKMODE, {1});
    EXPECT_TRUE(Play(empty.Page(), records).TooComplex);

    TEmfPlayOptions path;
    path.Limits.PathElements = 100;
    TEmfBuilder longPath;
    longPath.Rec(EMR_BEGINPATH, {});
    for (int i = 0; i < 150; ++i)
        longPath.Rec(EMR_LINETO, {uint32_t(i % 100), uint32_t(i % 7)});
    EXPECT_TRUE(Play(longPath.Page(), path).TooComplex);
}

TEST(EmfPlayBudget, ACancelStopsPlaybackBetweenRecords)
{
    std::atomic<bool> cancel{true};
    TEmfPlayOptions o;
    o.Cancel = &cancel;
    const TEmfPlayResult r = Play(Rectangles(500), o);
    EXPECT_TRUE(r.Cancelled);
    EXPECT_LT(r.Records, 100u);
    EXPECT_FALSE(r.TooComplex);
}
