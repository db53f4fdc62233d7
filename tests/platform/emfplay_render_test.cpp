// SPDX-License-Identifier: GPL-3.0-or-later
// Each record family played from a small page built byte by byte, checked
// on the pixels that matter.
#include "emfbuilder_helpers.h"

#include "platform/emf/canvas.h"
#include "platform/emf/emfplayer.h"
#include "platform/emf/emfrecords.h"
#include "platform/metafile.h"

#include <QPainter>

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

namespace {

constexpr uint32_t Black = 0x000000, Red = 0x0000FF, Blue = 0xFF0000;

bool IsRed(QRgb P)
{
    return qRed(P) > 200 && qGreen(P) < 60 && qBlue(P) < 60;
}

TEST(EmfPlayLines, CosmeticLineLandsOnItsPixelRow)
{
    TEmfBuilder b;
    b.Rec(EMR_MOVETOEX, {10, 40}).Rec(EMR_LINETO, {90, 40});
    const QImage img = PlayToImage(b.Page());
    EXPECT_EQ(InkIn(img, QRect(10, 40, 80, 1)), 80);
    EXPECT_EQ(InkIn(img, QRect(0, 39, 100, 1)) + InkIn(img, QRect(0, 41, 100, 1)), 0);
}

TEST(EmfPlayLines, Polyline16AndNullPen)
{
    TEmfBuilder b;
    std::vector<uint8_t> body(16, 0);
    Put32(body, 3);
    for (int v : {10, 10, 50, 10, 50, 50})
        Put16(body, uint16_t(v));
    b.Raw(EMR_POLYLINE16, body);
    b.Select(STOCK_OBJECT | NULL_PEN).Rec(EMR_MOVETOEX, {10, 80}).Rec(EMR_LINETO, {90, 80});
    const QImage img = PlayToImage(b.Page());
    EXPECT_GT(InkIn(img, QRect(10, 10, 40, 1)), 35);
    EXPECT_GT(InkIn(img, QRect(50, 10, 1, 40)), 35);
    EXPECT_EQ(InkIn(img, QRect(0, 79, 100, 3)), 0);
}

TEST(EmfPlayLines, GeometricPenWidthScalesWithTheMapping)
{
    TEmfBuilder b;
    // 1000 logical units across the 100-pixel page: a 50-unit pen is 5 px.
    b.Rec(EMR_SETMAPMODE, {MM_ANISOTROPIC}).Rec(EMR_SETWINDOWEXTEX, {1000, 1000}).Rec(EMR_SETVIEWPORTEXTEX, {100, 100});
    b.Pen(1, PS_SOLID | PS_ENDCAP_FLAT | PS_GEOMETRIC, 50, Black).Select(1);
    b.Rec(EMR_MOVETOEX, {100, 500}).Rec(EMR_LINETO, {900, 500});
    const QImage img = PlayToImage(b.Page());
    EXPECT_EQ(InkIn(img, QRect(50, 40, 1, 20)), 5);
}

TEST(EmfPlayLines, OneUnitPenGrowsWithTheMappingAndZeroStaysOnePixel)
{
    // 10 logical units across the 100-pixel page: one unit is 10 pixels.
    auto thickness = [](int Width) {
        TEmfBuilder b;
        b.Rec(EMR_SETMAPMODE, {MM_ANISOTROPIC}).Rec(EMR_SETWINDOWEXTEX, {10, 10}).Rec(EMR_SETVIEWPORTEXTEX, {100, 100});
        b.Pen(1, PS_SOLID, Width, Black).Select(1);
        b.Rec(EMR_MOVETOEX, {1, 5}).Rec(EMR_LINETO, {9, 5});
        return InkIn(PlayToImage(b.Page()), QRect(50, 30, 1, 40));
    };
    EXPECT_EQ(thickness(0), 1);
    EXPECT_GE(thickness(1), 9);
    EXPECT_LE(thickness(1), 11);
}

TEST(EmfPlayLines, WideLogicalPensWithADashStyleAreSolid)
{
    // CreatePen: a dashed pen one unit wide keeps its gaps, three units wide
    // it draws a solid line.
    auto gaps = [](int Width) {
        TEmfBuilder b;
        b.Pen(1, PS_DASH, Width, Black).Select(1);
        b.Rec(EMR_MOVETOEX, {5, 50}).Rec(EMR_LINETO, {95, 50});
        const QImage img = PlayToImage(b.Page());
        int missing = 0;
        for (int x = 10; x < 90; ++x)
            missing += InkIn(img, QRect(x, 50, 1, 1)) == 0;
        return missing;
    };
    EXPECT_GT(gaps(1), 10);
    EXPECT_EQ(gaps(3), 0);
}

TEST(EmfPlayLines, OpaqueBackgroundFillsTheGapsOfDottedLines)
{
    auto play = [](uint32_t Mode) {
        TEmfBuilder b;
        b.Pen(1, PS_DOT, 1, Black).Select(1).Rec(EMR_SETBKMODE, {Mode}).Rec(EMR_SETBKCOLOR, {Red});
        b.Rec(EMR_MOVETOEX, {5, 50}).Rec(EMR_LINETO, {95, 50});
        return PlayToImage(b.Page());
    };
    int red = 0, black = 0;
    const QImage opaque = play(OPAQUE), transparent = play(TRANSPARENT);
    for (int x = 10; x < 90; ++x) {
        red += IsRed(opaque.pixel(x, 50));
        black += (opaque.pixel(x, 50) & 0xFFFFFF) == 0;
        EXPECT_FALSE(IsRed(transparent.pixel(x, 50)));
    }
    EXPECT_GT(red, 20);
    EXPECT_GT(black, 20);
    EXPECT_EQ(red + black, 80);
}

TEST(EmfPlayShapes, RectangleLineCoversRightEdgeAndFillStopsBeforeIt)
{
    // Pages play in the advanced graphics mode: a rectangle is the polygon
    // through its corners.
    for (bool withPen : {false, true}) {
        TEmfBuilder b;
        b.Brush(1, BS_SOLID, Red).Select(1).Select(STOCK_OBJECT | (withPen ? BLACK_PEN : NULL_PEN));
        b.Rec(EMR_RECTANGLE, {20, 20, 40, 30});
        const QImage img = PlayToImage(b.Page());
        EXPECT_TRUE(IsRed(img.pixel(withPen ? 21 : 20, 21)));
        EXPECT_TRUE(IsRed(img.pixel(39, 29)));
        EXPECT_EQ(InkIn(img, QRect(40, 20, 1, 11)), withPen ? 11 : 0);
        EXPECT_EQ(InkIn(img, QRect(20, 30, 21, 1)), withPen ? 21 : 0);
        EXPECT_EQ(InkIn(img, QRect(41, 0, 59, 100)) + InkIn(img, QRect(0, 31, 100, 69)), 0);
    }
}

TEST(EmfPlayShapes, InsideFramePenKeepsRectangleAndEllipseInsideTheirBox)
{
    // A 6-pixel line: centred on the box edge it would reach 3 pixels
    // outside; an inside-frame pen shrinks the figure instead.
    for (uint32_t style : {uint32_t(PS_INSIDEFRAME), uint32_t(PS_SOLID)}) {
        TEmfBuilder b;
        b.Pen(1, style, 6, Red).Select(1).Select(STOCK_OBJECT | NULL_BRUSH);
        b.Rec(EMR_RECTANGLE, {10, 10, 40, 90}).Rec(EMR_ELLIPSE, {55, 10, 95, 90});
        const QImage img = PlayToImage(b.Page());
        // The rectangle's box includes its right and bottom edges.
        const int outside = InkIn(img, QRect(0, 0, 100, 10)) + InkIn(img, QRect(0, 91, 100, 9)) +
                            InkIn(img, QRect(0, 0, 10, 100)) + InkIn(img, QRect(95, 0, 5, 100)) +
                            InkIn(img, QRect(41, 0, 14, 100));
        if (style == PS_INSIDEFRAME) {
            EXPECT_EQ(outside, 0);
            EXPECT_TRUE(IsRed(img.pixel(10, 50))); // the line starts on the box's edge
            EXPECT_TRUE(IsRed(img.pixel(75, 10)));
            EXPECT_FALSE(IsRed(img.pixel(17, 50))); // and is only 6 pixels wide
        } else {
            EXPECT_GT(outside, 100);
        }
    }
}

TEST(EmfPlayShapes, EllipseOutlineFillsItsBoxSymmetrically)
{
    // GDI walks the outline on whole pixels: it touches the first and last
    // column and row of the box (right and bottom edges left out) and is the
    // same pixels mirrored both ways.
    for (QRect box : {QRect(10, 10, 40, 20), QRect(20, 40, 31, 45)}) {
        SCOPED_TRACE(box.width());
        TEmfBuilder b;
        b.Select(STOCK_OBJECT | NULL_BRUSH);
        b.Rec(EMR_ELLIPSE, {uint32_t(box.left()), uint32_t(box.top()), uint32_t(box.left() + box.width()),
                            uint32_t(box.top() + box.height())});
        const QImage img = PlayToImage(b.Page());
        EXPECT_GT(InkIn(img, QRect(box.left(), box.top(), 1, box.height())), 0);
        EXPECT_GT(InkIn(img, QRect(box.right(), box.top(), 1, box.height())), 0);
        EXPECT_GT(InkIn(img, QRect(box.left(), box.top(), box.width(), 1)), 0);
        EXPECT_GT(InkIn(img, QRect(box.left(), box.bottom(), box.width(), 1)), 0);
        EXPECT_EQ(InkIn(img, img.rect()), InkIn(img, box));
        int asymmetric = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) {
                const QRgb p = img.pixel(x, y);
                asymmetric += p != img.pixel(box.left() + box.right() - x, y);
                asymmetric += p != img.pixel(x, box.top() + box.bottom() - y);
            }
        EXPECT_EQ(asymmetric, 0);
    }
}

TEST(EmfPlayShapes, OddWideLinesCentreOnTheirPixels)
{
    // GDI's coordinates are pixel centres: a circle of three-pixel line
    // around (40, 40) covers the same pixels mirrored about column and row
    // 40, not about a pixel corner.
    TEmfBuilder b;
    b.Pen(1, PS_SOLID, 3, Red).Select(1);
    b.Rec(EMR_MOVETOEX, {55, 40});
    std::vector<uint8_t> arc;
    for (uint32_t v : {40u, 40u, 15u})
        Put32(arc, v);
    Put32(arc, 0);           // start angle 0.0f
    Put32(arc, 0x43b40000u); // sweep 360.0f
    b.Raw(EMR_ANGLEARC, arc);
    const QImage img = PlayToImage(b.Page());
    int red = 0, asymmetric = 0;
    for (int y = 20; y <= 60; ++y)
        for (int x = 20; x <= 60; ++x) {
            red += IsRed(img.pixel(x, y));
            asymmetric += IsRed(img.pixel(x, y)) != IsRed(img.pixel(80 - x, y));
            asymmetric += IsRed(img.pixel(x, y)) != IsRed(img.pixel(x, 80 - y));
        }
    EXPECT_GT(red, 200);
    EXPECT_LT(asymmetric, 16); // a few from flattening the curve; 200 and more half a pixel off
}

TEST(EmfPlayShapes, CreatePenEndsAreRoundWhateverItsStyleBits)
{
    // Flat end bits in a CREATEPEN style are not read: the 10-pixel line
    // still reaches 5 pixels past its ends.
    TEmfBuilder b;
    b.Pen(1, PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER, 10, Red).Select(1);
    b.Rec(EMR_MOVETOEX, {20, 50}).Rec(EMR_LINETO, {60, 50});
    const QImage img = PlayToImage(b.Page());
    EXPECT_GT(InkIn(img, QRect(15, 48, 4, 4)), 0);
    EXPECT_GT(InkIn(img, QRect(61, 48, 4, 4)), 0);
}

TEST(EmfPlayShapes, EllipsePolygonAndFillModes)
{
    TEmfBuilder b;
    b.Brush(1, BS_SOLID, Blue).Select(1);
    b.Rec(EMR_ELLIPSE, {10, 10, 50, 50});
    // A self-overlapping star: its centre is empty with ALTERNATE, filled with WINDING.
    auto star = [&](int dx) {
        std::vector<uint8_t> body(16, 0);
        Put32(body, 5);
        const int pts[] = {70, 60, 80, 95, 55, 72, 85, 72, 60, 95};
        for (int i = 0; i < 10; ++i)
            Put32(body, uint32_t(pts[i] + (i % 2 == 0 ? dx : 0)));
        b.Raw(EMR_POLYGON, body);
    };
    b.Select(STOCK_OBJECT | NULL_PEN);
    star(-50);
    b.Rec(EMR_SETPOLYFILLMODE, {WINDING});
    star(0);
    const QImage img = PlayToImage(b.Page());
    EXPECT_NE(img.pixel(30, 30) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(img.pixel(11, 11) & 0xFFFFFF, 0xFFFFFFu); // outside the ellipse's corner
    EXPECT_EQ(img.pixel(20, 77) & 0xFFFFFF, 0xFFFFFFu); // alternate: hole
    EXPECT_NE(img.pixel(70, 77) & 0xFFFFFF, 0xFFFFFFu); // winding: filled
}

TEST(EmfPlayShapes, HatchedBrushLeavesBackgroundWhenTransparent)
{
    TEmfBuilder b;
    b.Brush(1, BS_HATCHED, Black, HS_HORIZONTAL).Select(1).Select(STOCK_OBJECT | NULL_PEN);
    b.Rec(EMR_SETBKMODE, {TRANSPARENT}).Rec(EMR_RECTANGLE, {0, 0, 41, 41});
    const QImage img = PlayToImage(b.Page());
    // One line in eight rows, a whole row each.
    EXPECT_EQ(InkIn(img, QRect(0, 0, 40, 40)), 5 * 40);
    EXPECT_EQ(InkIn(img, QRect(0, 3, 40, 1)), 40);
}

TEST(EmfPlayShapes, BrushOriginShiftsTheHatchPhase)
{
    // Horizontal hatch lines repeat every 8 device pixels; an origin of 3
    // moves each of them 3 rows down, and a restore brings the old phase back.
    auto firstLine = [](bool Shifted, bool Restored) {
        TEmfBuilder b;
        b.Brush(1, BS_HATCHED, Red, HS_HORIZONTAL).Select(1).Select(STOCK_OBJECT | NULL_PEN);
        b.Rec(EMR_SETBKMODE, {TRANSPARENT}).Rec(EMR_SAVEDC, {});
        if (Shifted)
            b.Rec(EMR_SETBRUSHORGEX, {0, 3});
        if (Restored)
            b.Rec(EMR_RESTOREDC, {uint32_t(-1)});
        b.Rec(EMR_RECTANGLE, {0, 0, 100, 100});
        const QImage img = PlayToImage(b.Page());
        for (int y = 0; y < 100; ++y)
            if (IsRed(img.pixel(50, y)))
                return y;
        return -1;
    };
    const int plain = firstLine(false, false);
    ASSERT_GE(plain, 0);
    EXPECT_EQ(firstLine(true, false), (plain + 3) % 8);
    EXPECT_EQ(firstLine(true, true), plain);
}

TEST(EmfPlayMapping, MetricModePointsYUp)
{
    TEmfBuilder b;
    // MM_LOMETRIC: 0.1 mm units, y up; with 1-mm pixels 100 units are 10 px.
    b.Rec(EMR_SETMAPMODE, {MM_LOMETRIC});
    b.Brush(1, BS_SOLID, Red).Select(1).Select(STOCK_OBJECT | NULL_PEN);
    b.Rec(EMR_RECTANGLE, {100, uint32_t(-100), 300, uint32_t(-300)});
    const QImage img = PlayToImage(b.Page());
    EXPECT_TRUE(IsRed(img.pixel(15, 15)));
    EXPECT_TRUE(IsRed(img.pixel(25, 25)));
    EXPECT_FALSE(IsRed(img.pixel(35, 15)));
}

TEST(EmfPlayMapping, WorldTransformAndSaveRestore)
{
    TEmfBuilder b;
    b.Brush(1, BS_SOLID, Red).Select(1).Select(STOCK_OBJECT | NULL_PEN);
    b.Rec(EMR_SAVEDC, {});
    b.WorldTransform({2, 0, 0, 2, 10, 0});
    b.Rec(EMR_RECTANGLE, {0, 0, 10, 10}); // becomes (10,0)-(30,20)
    b.Rec(EMR_RESTOREDC, {uint32_t(-1)});
    b.Rec(EMR_RECTANGLE, {50, 50, 60, 60});
    const QImage img = PlayToImage(b.Page());
    EXPECT_TRUE(IsRed(img.pixel(27, 17)));
    EXPECT_FALSE(IsRed(img.pixel(5, 5)));
    EXPECT_TRUE(IsRed(img.pixel(55, 55)));
    EXPECT_FALSE(IsRed(img.pixel(100 - 1, 100 - 1)));
}

TEST(EmfPlayClip, IntersectExcludeAndRegionSelection)
{
    TEmfBuilder b;
    b.Brush(1, BS_SOLID, Red).Select(1).Select(STOCK_OBJECT | NULL_PEN);
    b.Rec(EMR_INTERSECTCLIPRECT, {10, 10, 60, 60});
    b.Rec(EMR_EXCLUDECLIPRECT, {20, 20, 30, 30});
    b.Rec(EMR_RECTANGLE, {0, 0, 100, 100});
    const QImage img = PlayToImage(b.Page());
    EXPECT_TRUE(IsRed(img.pixel(10, 10)));
    EXPECT_TRUE(IsRed(img.pixel(59, 59)));
    EXPECT_FALSE(IsRed(img.pixel(60, 60)));
    EXPECT_FALSE(IsRed(img.pixel(9, 30)));
    EXPECT_EQ(InkIn(img, QRect(20, 20, 10, 10)), 0);

    // EXTSELECTCLIPRGN with RGN_COPY and no data removes the clip.
    TEmfBuilder c;
    c.Brush(1, BS_SOLID, Red).Select(1).Select(STOCK_OBJECT | NULL_PEN);
    c.Rec(EMR_INTERSECTCLIPRECT, {10, 10, 20, 20}).Rec(EMR_EXTSELECTCLIPRGN, {0, RGN_COPY});
    c.Rec(EMR_RECTANGLE, {0, 0, 100, 100});
    EXPECT_TRUE(IsRed(PlayToImage(c.Page()).pixel(80, 80)));
}

TEST(EmfPlayClip, EachSaveRestorePanelKeepsItsOwnClip)
{
    // Report cells: every panel sets its clip inside a save/restore pair;
    // the clip removed by one restore must not switch off the next ones.
    TEmfBuilder b;
    b.Brush(1, BS_SOLID, Red).Select(1).Select(STOCK_OBJECT | NULL_PEN);
    for (uint32_t k = 0; k < 3; ++k) {
        const uint32_t x = 5 + 30 * k;
        b.Rec(EMR_SAVEDC, {});
        if (k == 1) {
            std::vector<uint8_t> body;
            Put32(body, 32 + 16);
            Put32(body, RGN_COPY);
            for (uint32_t v : {32u, 1u, 1u, 16u, x, 10u, x + 10, 20u})
                Put32(body, v);
            for (uint32_t v : {x, 10u, x + 10, 20u})
                Put32(body, v);
            b.Raw(EMR_EXTSELECTCLIPRGN, body);
        } else {
            b.Rec(EMR_INTERSECTCLIPRECT, {x, 10, x + 10, 20}).Rec(EMR_EXCLUDECLIPRECT, {x, 10, x + 3, 13});
        }
        b.Rec(EMR_RECTANGLE, {x - 5, 0, x + 25, 40});
        b.Rec(EMR_RESTOREDC, {uint32_t(-1)});
    }
    const QImage img = PlayToImage(b.Page());
    for (int k = 0; k < 3; ++k) {
        const int x = 5 + 30 * k;
        SCOPED_TRACE(k);
        EXPECT_TRUE(IsRed(img.pixel(x + 5, 15)));
        EXPECT_EQ(InkIn(img, QRect(x + 10, 0, 15, 40)), 0);
        EXPECT_EQ(InkIn(img, QRect(x - 5, 25, 30, 15)), 0);
    }
    EXPECT_EQ(InkIn(img, QRect(5, 10, 3, 3)), 0);
    EXPECT_EQ(InkIn(img, QRect(65, 10, 3, 3)), 0);
}

TEST(EmfPlayClip, FloodFillStopsAtTheBorderOrLeavesTheSurface)
{
    // A red ring: filling from its centre up to the red border stays inside;
    // filling the white surface from a corner covers all white outside it.
    auto play = [](uint32_t Mode, int X, int Y, uint32_t Colour) {
        TEmfBuilder b;
        b.Pen(1, PS_SOLID, 3, Red).Select(1).Select(STOCK_OBJECT | NULL_BRUSH);
        b.Rec(EMR_ELLIPSE, {20, 20, 80, 80});
        b.Brush(2, BS_SOLID, Blue).Select(2);
        b.Rec(EMR_EXTFLOODFILL, {uint32_t(X), uint32_t(Y), Colour, Mode});
        return PlayToImage(b.Page());
    };
    auto isBlue = [](QRgb P) { return qBlue(P) > 200 && qRed(P) < 60 && qGreen(P) < 60; };
    const QImage border = play(0, 50, 50, Red);
    EXPECT_TRUE(isBlue(border.pixel(50, 50)));
    EXPECT_TRUE(isBlue(border.pixel(30, 50)));
    EXPECT_TRUE(IsRed(border.pixel(50, 21)));
    EXPECT_EQ(border.pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
    const QImage surface = play(1, 2, 2, 0xFFFFFF);
    EXPECT_TRUE(isBlue(surface.pixel(5, 5)));
    EXPECT_TRUE(isBlue(surface.pixel(95, 95)));
    EXPECT_EQ(surface.pixel(50, 50) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_TRUE(IsRed(surface.pixel(50, 21)));
    // A seed that does not match (surface) or is on the border fills nothing.
    EXPECT_EQ(play(1, 2, 2, Red).pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(play(0, 50, 21, Red).pixel(50, 50) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(EmfPlayClip, DeviceRegionAndClipPath)
{
    TEmfBuilder b;
    b.Brush(1, BS_SOLID, Red).Select(1).Select(STOCK_OBJECT | NULL_PEN);
    // A region of two rectangles in device units.
    std::vector<uint8_t> body;
    Put32(body, 32 + 32);
    Put32(body, RGN_COPY);
    for (uint32_t v : {32u, 1u, 2u, 32u, 0u, 0u, 100u, 100u})
        Put32(body, v);
    for (uint32_t v : {0u, 0u, 10u, 10u, 50u, 50u, 60u, 60u})
        Put32(body, v);
    b.Raw(EMR_EXTSELECTCLIPRGN, body);
    b.Rec(EMR_RECTANGLE, {0, 0, 100, 100});
    const QImage img = PlayToImage(b.Page());
    EXPECT_TRUE(IsRed(img.pixel(5, 5)));
    EXPECT_TRUE(IsRed(img.pixel(55, 55)));
    EXPECT_FALSE(IsRed(img.pixel(30, 30)));

    TEmfBuilder p;
    p.Brush(1, BS_SOLID, Red).Select(1).Select(STOCK_OBJECT | NULL_PEN);
    p.Rec(EMR_BEGINPATH, {}).Rec(EMR_RECTANGLE, {60, 0, 100, 40}).Rec(EMR_ENDPATH, {});
    p.Rec(EMR_SELECTCLIPPATH, {RGN_COPY}).Rec(EMR_RECTANGLE, {0, 0, 100, 100});
    const QImage clipped = PlayToImage(p.Page());
    EXPECT_TRUE(IsRed(clipped.pixel(80, 20)));
    EXPECT_FALSE(IsRed(clipped.pixel(20, 80)));
}

TEST(EmfPlayPaths, FillPathUsesTheBrushAndStrokePathThePen)
{
    TEmfBuilder b;
    b.Brush(1, BS_SOLID, Red).Select(1);
    b.Rec(EMR_BEGINPATH, {}).Rec(EMR_MOVETOEX, {10, 10}).Rec(EMR_LINETO, {40, 10}).Rec(EMR_LINETO, {40, 40});
    b.Rec(EMR_CLOSEFIGURE, {}).Rec(EMR_ENDPATH, {}).Rec(EMR_FILLPATH, {0, 0, 0, 0});
    b.Rec(EMR_BEGINPATH, {}).Rec(EMR_MOVETOEX, {60, 60}).Rec(EMR_LINETO, {90, 60}).Rec(EMR_ENDPATH, {});
    b.Rec(EMR_STROKEPATH, {0, 0, 0, 0});
    const QImage img = PlayToImage(b.Page());
    EXPECT_TRUE(IsRed(img.pixel(35, 15)));
    EXPECT_FALSE(IsRed(img.pixel(15, 35)));
    EXPECT_EQ(InkIn(img, QRect(55, 59, 40, 1)) + InkIn(img, QRect(55, 61, 40, 1)), 0);
    EXPECT_GT(InkIn(img, QRect(60, 60, 30, 1)), 28);
}

TEST(EmfPlayPaths, FiguresBuiltFromMoveAndBezierToKeepTheirOwnOutlines)
{
    // Two nested squares, each MOVETO + POLYBEZIERTO16 (straight curves) +
    // CLOSEFIGURE, as glyph outlines come: with the alternate fill mode the
    // inner one is a hole.
    auto square = [](TEmfBuilder& b, int l, int t, int r, int bottom) {
        b.Rec(EMR_MOVETOEX, {uint32_t(l), uint32_t(t)});
        std::vector<uint8_t> body(16, 0);
        Put32(body, 9);
        for (int v : {r, t, r, t, r, t, r, bottom, r, bottom, r, bottom, l, bottom, l, bottom, l, bottom})
            Put16(body, uint16_t(v));
        b.Raw(EMR_POLYBEZIERTO16, body);
        b.Rec(EMR_CLOSEFIGURE, {});
    };
    TEmfBuilder b;
    b.Brush(1, BS_SOLID, Red).Select(1).Rec(EMR_BEGINPATH, {});
    square(b, 10, 10, 90, 90);
    square(b, 30, 30, 70, 70);
    square(b, 45, 80, 55, 85);
    b.Rec(EMR_ENDPATH, {}).Rec(EMR_FILLPATH, {0, 0, 0, 0});
    const QImage img = PlayToImage(b.Page());
    EXPECT_TRUE(IsRed(img.pixel(20, 50)));
    EXPECT_TRUE(IsRed(img.pixel(80, 50)));
    EXPECT_FALSE(IsRed(img.pixel(50, 50)));
    EXPECT_FALSE(IsRed(img.pixel(5, 5)));
    EXPECT_FALSE(IsRed(img.pixel(50, 82)));
}

// Columns of ink in a row band.
std::vector<int> InkColumns(const QImage& Img, int Top, int Bottom)
{
    std::vector<int> cols;
    for (int x = 0; x < Img.width(); ++x)
        if (InkIn(Img, QRect(x, Top, 1, Bottom - Top)))
            cols.push_back(x);
    return cols;
}

// Rows of ink inside Area.
std::vector<int> InkRows(const QImage& Img, const QRect& Area)
{
    std::vector<int> rows;
    for (int y = Area.top(); y <= Area.bottom(); ++y)
        if (InkIn(Img, QRect(Area.left(), y, Area.width(), 1)))
            rows.push_back(y);
    if (rows.empty())
        rows.push_back(-1000);
    return rows;
}

TEST(EmfPlayText, CharactersLandAtTheirRecordedAdvances)
{
    TEmfBuilder b(200);
    b.Font(1, -20, "Arial").Select(1).Rec(EMR_SETBKMODE, {TRANSPARENT});
    b.TextW(10, 10, "III", {60, 60, 60});
    const QImage img = PlayToImage(b.Page(), 200);
    const std::vector<int> cols = InkColumns(img, 10, 40);
    ASSERT_FALSE(cols.empty());
    // Three narrow strokes 60 px apart whatever the face's own widths.
    EXPECT_LT(cols.front(), 20);
    EXPECT_GT(InkIn(img, QRect(cols.front() + 58, 10, 5, 30)), 0);
    EXPECT_GT(InkIn(img, QRect(cols.front() + 118, 10, 5, 30)), 0);
    EXPECT_EQ(InkIn(img, QRect(cols.front() + 10, 10, 40, 30)), 0);
}

TEST(EmfPlayText, VerticalAdvancesOfDxDyPairsRaiseTheFollowingCharacters)
{
    // ETO_PDY: (60, 30) after the first "I" puts the second 60 units on
    // and 30 units up; without the flag both stand on one baseline.
    auto play = [](uint32_t Options, const std::vector<int>& Dx) {
        TEmfBuilder b(200);
        b.Font(1, -20, "Arial").Select(1).Rec(EMR_SETBKMODE, {TRANSPARENT});
        b.TextW(10, 100, "II", Dx, Options);
        return PlayToImage(b.Page(), 200);
    };
    const QImage pairs = play(0x2000 /* ETO_PDY */, {60, 30, 60, 0});
    const QImage flat = play(0, {60, 60});
    const int firstTop = InkRows(pairs, QRect(5, 0, 30, 200)).front();
    const int secondTop = InkRows(pairs, QRect(65, 0, 30, 200)).front();
    EXPECT_EQ(firstTop - secondTop, 30);
    EXPECT_EQ(InkRows(flat, QRect(5, 0, 30, 200)).front(), InkRows(flat, QRect(65, 0, 30, 200)).front());
}

TEST(EmfPlayText, MirroringWorldTransformRunsAdvancedModeTextBackwards)
{
    // x -> 150 - x: text at x = 10 starts at device x 140 and runs leftwards.
    auto play = [](uint32_t Mode) {
        TEmfBuilder b(200);
        b.WorldTransform({-1, 0, 0, 1, 150, 0});
        b.Font(1, -20, "Arial").Select(1).Rec(EMR_SETBKMODE, {TRANSPARENT});
        b.TextW(10, 10, "LLL", {20, 20, 20}, 0, nullptr, Mode);
        return PlayToImage(b.Page(), 200);
    };
    const QImage advanced = play(GM_ADVANCED), compatible = play(GM_COMPATIBLE);
    EXPECT_GT(InkIn(compatible, QRect(142, 0, 58, 200)), 30); // upright, left to right
    EXPECT_GT(InkIn(advanced, QRect(80, 0, 61, 60)), 30);
    EXPECT_EQ(InkIn(advanced, QRect(142, 0, 58, 200)), 0);
    // The first L, mirrored: its foot points left from a stem at the right.
    const std::vector<int> cols = InkColumns(advanced, 10, 40);
    ASSERT_FALSE(cols.empty());
    EXPECT_GE(cols.back(), 130);
}

TEST(EmfPlayText, RightToLeftTextIsDrawnInDisplayOrder)
{
    // Stored in reading order with the advances of each character: a
    // narrow hyphen (60 units) and three Hebrew letters (20 units each).
    // Left to right, the hyphen leads and the letters follow 60 units on;
    // read right to left, the letters come first and the hyphen ends it.
    const QString text = QStringLiteral("-") + QChar(0x05D0) + QChar(0x05D1) + QChar(0x05D2);
    auto play = [&](uint32_t Options, uint32_t Align) {
        TEmfBuilder b(200);
        b.Font(1, -20, "Arial").Select(1).Rec(EMR_SETBKMODE, {TRANSPARENT}).Rec(EMR_SETTEXTALIGN, {Align});
        b.TextW(10, 10, text, {60, 20, 20, 20}, Options);
        return PlayToImage(b.Page(), 200);
    };
    const QImage ltr = play(0, 0), rtlOption = play(0x80 /* ETO_RTLREADING */, 0);
    const QImage rtlAlign = play(0, 256 /* TA_RTLREADING */);
    EXPECT_GT(InkIn(ltr, QRect(72, 10, 56, 30)), 20); // the letters after the hyphen's advance
    EXPECT_EQ(InkIn(ltr, QRect(20, 10, 48, 30)), 0);
    for (const QImage& img : {rtlOption, rtlAlign}) {
        EXPECT_GT(InkIn(img, QRect(10, 10, 58, 30)), 20);
        EXPECT_EQ(InkIn(img, QRect(82, 10, 60, 30)), 0);
    }
    // A Hebrew word alone: its first letter is drawn rightmost, after the
    // second letter's wide advance.
    TEmfBuilder b(200);
    b.Font(1, -20, "Arial").Select(1).Rec(EMR_SETBKMODE, {TRANSPARENT});
    b.TextW(10, 10, QString(QChar(0x05D0)) + QChar(0x05D1), {20, 60});
    const QImage img = PlayToImage(b.Page(), 200);
    EXPECT_GT(InkIn(img, QRect(70, 10, 20, 30)), 10);
    EXPECT_EQ(InkIn(img, QRect(34, 10, 34, 30)), 0);
}

TEST(EmfPlayText, DrawnAtEverySizeOnImagesAndScaledImages)
{
    // An "H" filling most of a 100-unit page, played as render and the
    // viewer play it: into an image of N pixels, and into an image of twice
    // the pixels with a device pixel ratio of 2 (a scaled screen).
    TEmfBuilder b(100);
    b.Font(1, -80, "Arial").Select(1).Rec(EMR_SETBKMODE, {TRANSPARENT});
    b.TextW(10, 5, "H", {});
    const TMetafile page = b.Page();
    for (int n : {12, 60, 85, 160, 320, 800, 3600}) {
        for (int ratio : {1, 2}) {
            SCOPED_TRACE(QString("glyph %1 px, ratio %2").arg(n * 8 / 10 * ratio).arg(ratio).toStdString());
            QImage img(n * ratio, n * ratio, QImage::Format_RGB32);
            img.fill(Qt::white);
            img.setDevicePixelRatio(ratio);
            {
                QPainter p(&img);
                PlayEmf(p, QRectF(0, 0, n, n), page);
            }
            // The stems of the H: left and right thirds of its box are inked.
            const int s = n * ratio;
            const QRect box(s * 15 / 100, s * 30 / 100, s * 50 / 100, s * 40 / 100);
            const int ink = InkIn(img, box);
            EXPECT_GT(ink, box.width() * box.height() / 5);
            EXPECT_EQ(InkIn(img, QRect(0, s * 95 / 100, s, s * 5 / 100)), 0);
        }
    }
}

// Grey values of the glyph pixels of Text drawn at Height px.
std::set<int> GlyphGreys(int Height, TEmfTextMode Mode, uint8_t Quality = 0)
{
    TEmfBuilder b(200);
    b.Font(1, -Height, "Arial", 0, 0, Quality).Select(1).Rec(EMR_SETBKMODE, {TRANSPARENT});
    b.TextW(10, 10, "Sample text 0123", {});
    const QImage img = PlayToImage(b.Page(), 200, Mode);
    std::set<int> greys;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            greys.insert(qRed(img.pixel(x, y)));
    return greys;
}

TEST(EmfPlayText, GlyphsAreSmoothedAsGdiSmoothsThem)
{
    // Liberation Sans asks for no greyscale from 9 to 17 pixels: one bit per
    // pixel there. Larger, partly covered pixels take GDI's 17 levels, each
    // nearer the background than its coverage.
    const std::set<int> levels = {0x00, 0x4d, 0x68, 0x7c, 0x8c, 0x9a, 0xa7, 0xb2, 0xbd,
                                  0xc7, 0xd0, 0xd9, 0xe1, 0xe9, 0xf0, 0xf8, 0xff};
    const std::set<int> oneBit = {0, 255};
    EXPECT_EQ(GlyphGreys(12, TEmfTextMode::Gdi), oneBit);
    const std::set<int> large = GlyphGreys(40, TEmfTextMode::Gdi);
    EXPECT_TRUE(std::includes(levels.begin(), levels.end(), large.begin(), large.end()));
    EXPECT_GT(large.size(), 10u);
}

TEST(EmfPlayText, TextIsSmoothedByDefaultUnlessItsFontAsksForNone)
{
    // At the size GDI draws one bit per pixel, the default mode smooths
    // the edges with greys of any value; NONANTIALIASED_QUALITY keeps 0 and 255.
    const std::set<int> smooth = GlyphGreys(12, TEmfTextMode::Smooth);
    EXPECT_GT(smooth.size(), 20u);
    EXPECT_EQ(GlyphGreys(12, TEmfTextMode::Smooth, 3 /* NONANTIALIASED_QUALITY */), (std::set<int>{0, 255}));
}

TEST(EmfPlayText, EqualAdvancesGiveEvenGapsAtScreenResolution)
{
    // A 200-unit page on 150 pixels: each advance of 9 units is 6.75 px.
    // The centre of each "I" (ink-weighted) steps by that much in the
    // default mode; glyphs put on whole pixels step by 6 or 7.
    TEmfBuilder b(200);
    b.Font(1, -20, "Arial").Select(1).Rec(EMR_SETBKMODE, {TRANSPARENT});
    b.TextW(10, 10, "IIIIIIIII", std::vector<int>(9, 9));
    const TMetafile page = b.Page();
    auto steps = [&](TEmfTextMode Mode) {
        QImage img(150, 150, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            StretchDraw(p, QRectF(0, 0, 150, 150), page, Mode);
        }
        std::vector<double> centres;
        double ink = 0, moment = 0;
        for (int x = 0; x < img.width(); ++x) {
            double column = 0;
            for (int y = 0; y < 50; ++y)
                column += 255 - qRed(img.pixel(x, y));
            if (column == 0 && ink > 0) {
                centres.push_back(moment / ink);
                ink = moment = 0;
            }
            ink += column;
            moment += column * x;
        }
        std::vector<double> out;
        for (size_t i = 1; i < centres.size(); ++i)
            out.push_back(centres[i] - centres[i - 1]);
        return out;
    };
    const std::vector<double> smooth = steps(TEmfTextMode::Smooth), gdi = steps(TEmfTextMode::Gdi);
    ASSERT_EQ(smooth.size(), 8u);
    ASSERT_EQ(gdi.size(), 8u);
    for (double s : smooth)
        EXPECT_NEAR(s, 6.75, 0.3);
    const auto [low, high] = std::minmax_element(gdi.begin(), gdi.end());
    EXPECT_GE(*high - *low, 0.99);
}

TEST(EmfPlayText, SmoothedBaselineAtAnOddScaleIsTheExactOneOnAWholePixel)
{
    // A 200-unit page on 300 pixels. Arial's ascent at 17 units is 15.4
    // units, 15 whole ones: text aligned at its top at 15 stands on the
    // baseline at 30 units, 45 px, like text aligned there (an ascent from
    // the em rounded to 26 px put it at 47). A baseline at 31 units, 46.5
    // px, goes to the pixel edge above it, as in a PDF viewer.
    auto lastInkRow = [](uint32_t Align, int Y) {
        TEmfBuilder b(200);
        b.Font(1, -17, "Arial").Select(1).Rec(EMR_SETBKMODE, {TRANSPARENT}).Rec(EMR_SETTEXTALIGN, {Align});
        b.TextW(10, Y, "HHH", {});
        QImage img(300, 300, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            StretchDraw(p, QRectF(0, 0, 300, 300), b.Page(), TEmfTextMode::Smooth);
        }
        return InkRows(img, QRect(0, 0, 300, 300)).back();
    };
    EXPECT_EQ(lastInkRow(TA_TOP, 15), 44);
    EXPECT_EQ(lastInkRow(TA_BASELINE, 30), 44);
    EXPECT_EQ(lastInkRow(TA_BASELINE, 31), 45);
}

TEST(EmfPlayText, UnderlineAndStrikeOutBarsStandOnGdisRows)
{
    // A GDI-recorded page with an underlined and a struck-out line, drawn
    // 800 px wide as Wine's GDI drew its reference: the rows that carry a
    // bar across the words are the same. GDI centres the underline on the
    // face's position and takes the strike-out from the OS/2 table.
    TMetafile page;
    page.LoadFromFile(QRP_TEST_DATA "/gdipages/text_fonts.emf");
    QImage wine(QRP_TEST_DATA "/gdipages/ref/wine-gdi-800/text_fonts.png");
    ASSERT_FALSE(wine.isNull());
    QImage ours(wine.size(), QImage::Format_RGB32);
    ours.fill(Qt::white);
    {
        QPainter p(&ours);
        StretchDraw(p, QRectF(QPointF(0, 0), QSizeF(ours.size())), page, TEmfTextMode::Gdi);
    }
    // Rows from Top to Bottom dark along 60 px from x = 60: only a bar is.
    auto barRows = [](const QImage& Img, int Top, int Bottom) {
        std::vector<int> rows;
        for (int y = Top; y < Bottom; ++y) {
            bool dark = true;
            for (int x = 60; x < 120 && dark; ++x)
                dark = qGray(Img.pixel(x, y)) < 128;
            if (dark)
                rows.push_back(y);
        }
        return rows;
    };
    const std::vector<int> wineUnder = barRows(wine, 340, 380), wineStrike = barRows(wine, 380, 420);
    ASSERT_FALSE(wineUnder.empty());
    ASSERT_FALSE(wineStrike.empty());
    EXPECT_EQ(barRows(ours, 340, 380), wineUnder);
    EXPECT_EQ(barRows(ours, 380, 420), wineStrike);
}

TEST(EmfPlayText, TextInAPathBracketBecomesItsOutline)
{
    // Filled with a red brush and no pen: the glyphs are red, nothing black
    // is drawn, and the opaque box of the record is not painted.
    TEmfBuilder b(200);
    b.Font(1, -100, "Arial").Select(1).Brush(2, BS_SOLID, Red).Select(2).Select(STOCK_OBJECT | NULL_PEN);
    b.Rec(EMR_SETBKCOLOR, {Blue});
    const int box[] = {0, 0, 200, 200};
    b.Rec(EMR_BEGINPATH, {}).TextW(10, 10, "H", {}, ETO_OPAQUE, box).Rec(EMR_ENDPATH, {});
    b.Rec(EMR_FILLPATH, {0, 0, 200, 200});
    const QImage img = PlayToImage(b.Page(), 200);
    int red = 0, other = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const QRgb p = img.pixel(x, y);
            if (IsRed(p))
                ++red;
            else if ((p & 0xFFFFFF) != 0xFFFFFF && qRed(p) < 200)
                ++other;
        }
    EXPECT_GT(red, 1500);
    EXPECT_EQ(other, 0);
    // The stroked outline leaves the inside of a stem unpainted.
    TEmfBuilder s(200);
    s.Font(1, -100, "Arial").Select(1).Rec(EMR_SETBKMODE, {TRANSPARENT});
    s.Rec(EMR_BEGINPATH, {}).TextW(10, 10, "I", {}).Rec(EMR_ENDPATH, {}).Rec(EMR_STROKEPATH, {0, 0, 200, 200});
    const QImage outline = PlayToImage(s.Page(), 200);
    const std::vector<int> cols = InkColumns(outline, 50, 60);
    ASSERT_GE(cols.size(), 2u);
    EXPECT_GT(cols.back() - cols.front(), 6);
    EXPECT_EQ(InkIn(outline, QRect(cols.front() + 2, 50, cols.back() - cols.front() - 3, 20)), 0);
}

TEST(EmfPlayText, CharactersNoNamedFaceHasAreStillDrawn)
{
    // CJK text in a Latin face, and a character no installed face has:
    // drawn from a face that has it, or as the missing-glyph box.
    for (const QString& text : {QStringLiteral("\u6F22\u5B57"), QStringLiteral("\uE123\uE124")}) {
        SCOPED_TRACE(text.toStdString());
        TEmfBuilder b(100);
        b.Font(1, -30, "Arial").Select(1).Rec(EMR_SETBKMODE, {TRANSPARENT});
        b.TextW(10, 10, text, {30, 30});
        const QImage img = PlayToImage(b.Page());
        EXPECT_GT(InkIn(img, QRect(10, 10, 25, 35)), 20);
        EXPECT_GT(InkIn(img, QRect(40, 10, 25, 35)), 20);
    }
}

TEST(EmfPlayText, AlignmentOpaqueRectangleAndClipping)
{
    TEmfBuilder b(200);
    b.Font(1, -20, "Arial").Select(1);
    b.Rec(EMR_SETTEXTALIGN, {uint32_t(TA_RIGHT | TA_BASELINE)}).Rec(EMR_SETBKMODE, {TRANSPARENT});
    b.TextW(190, 50, "I", {15});
    const int opaque[] = {10, 100, 60, 120};
    b.Rec(EMR_SETBKCOLOR, {Red}).Rec(EMR_SETTEXTALIGN, {0});
    b.TextW(0, 0, "", {}, ETO_OPAQUE, opaque);
    const int clip[] = {10, 150, 20, 180};
    b.TextW(10, 150, "WWWW", {15, 15, 15, 15}, ETO_CLIPPED, clip);
    const QImage img = PlayToImage(b.Page(), 200);
    // Right-aligned on the baseline: ink ends at x 190 and above y 50.
    EXPECT_GT(InkIn(img, QRect(175, 30, 15, 20)), 0);
    EXPECT_EQ(InkIn(img, QRect(191, 0, 9, 100)), 0);
    EXPECT_EQ(InkIn(img, QRect(150, 51, 50, 3)), 0);
    EXPECT_TRUE(IsRed(img.pixel(10, 100)));
    EXPECT_TRUE(IsRed(img.pixel(59, 119)));
    EXPECT_FALSE(IsRed(img.pixel(60, 119)));
    EXPECT_GT(InkIn(img, QRect(10, 150, 10, 30)), 0);
    EXPECT_EQ(InkIn(img, QRect(20, 140, 60, 50)), 0);
}

TEST(EmfPlayText, AnsiTextUsesTheFontCharsetCodePage)
{
    // 0xDD in code page 1254 is İ (dotted capital I), in 1252 Ý.
    auto page = [](uint8_t Charset) {
        TEmfBuilder b(100);
        b.Font(1, -40, "Arial", 0, Charset).Select(1).Rec(EMR_SETBKMODE, {TRANSPARENT});
        std::vector<uint8_t> body;
        for (uint32_t v : {0u, 0u, 0u, 0u, 1u, 0u, 0u, 10u, 50u, 1u, 76u, 0u, 0u, 0u, 0u, 0u, 0u})
            Put32(body, v);
        body.push_back(0xDD);
        return PlayToImage(b.Raw(EMR_EXTTEXTOUTA, body).Page());
    };
    const QImage turkish = page(162), western = page(0);
    EXPECT_GT(InkIn(turkish, QRect(0, 0, 100, 100)), 0);
    EXPECT_NE(turkish, western);
}

TEST(EmfPlayBitmaps, StretchDibitsKeepsOrientationAndColours)
{
    QImage src(2, 2, QImage::Format_RGB32);
    src.setPixel(0, 0, qRgb(255, 0, 0));
    src.setPixel(1, 0, qRgb(0, 255, 0));
    src.setPixel(0, 1, qRgb(0, 0, 255));
    src.setPixel(1, 1, qRgb(0, 0, 0));
    TEmfBuilder b;
    b.StretchDib(10, 10, 40, 40, src);
    const QImage img = PlayToImage(b.Page());
    EXPECT_EQ(img.pixel(15, 15) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(img.pixel(45, 15) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(img.pixel(15, 45) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(img.pixel(45, 45) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(img.pixel(50, 30) & 0xFFFFFF, 0xFFFFFFu);
    // Nearest neighbour: no blended colours at the seam.
    EXPECT_EQ(img.pixel(29, 15) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(img.pixel(30, 15) & 0xFFFFFF, 0x00FF00u);
}

TEST(EmfPlayBitmaps, RasterOperationsAndPatternBlits)
{
    QImage white(1, 1, QImage::Format_RGB32);
    white.fill(Qt::white);
    TEmfBuilder b;
    b.Brush(1, BS_SOLID, Red).Select(1).Select(STOCK_OBJECT | NULL_PEN).Rec(EMR_RECTANGLE, {0, 0, 101, 101});
    b.StretchDib(0, 0, 50, 50, white, SRCINVERT); // red xor white = cyan
    // A BITBLT without a bitmap fills with the brush.
    std::vector<uint8_t> blt;
    for (uint32_t v : {0u, 0u, 0u, 0u, 60u, 60u, 20u, 20u, uint32_t(BLACKNESS)})
        Put32(blt, v);
    blt.resize(92, 0);
    b.Raw(EMR_BITBLT, blt);
    const QImage img = PlayToImage(b.Page());
    EXPECT_EQ(img.pixel(10, 10) & 0xFFFFFF, 0x00FFFFu);
    EXPECT_EQ(img.pixel(70, 70) & 0xFFFFFF, 0x000000u);
    EXPECT_TRUE(IsRed(img.pixel(90, 90)));
}

TEST(EmfPlayBitmaps, OperationsOfSourcePatternAndDestinationAreExact)
{
    // MERGECOPY is P & S; PATPAINT is D | P | ~S, over black and over white.
    QImage source(1, 1, QImage::Format_RGB32);
    source.fill(QColor(200, 100, 50));
    TEmfBuilder b;
    b.Select(STOCK_OBJECT | BLACK_BRUSH).Select(STOCK_OBJECT | NULL_PEN).Rec(EMR_RECTANGLE, {0, 50, 50, 100});
    b.Brush(1, BS_SOLID, 0xFF0FF0).Select(1);
    b.StretchDib(0, 0, 100, 50, source, MERGECOPY);
    b.StretchDib(0, 50, 100, 50, source, PATPAINT);
    const QImage img = PlayToImage(b.Page());
    EXPECT_EQ(img.pixel(70, 20) & 0xFFFFFF, qRgb(192, 4, 50) & 0xFFFFFF);
    EXPECT_EQ(img.pixel(20, 70) & 0xFFFFFF, qRgb(247, 159, 255) & 0xFFFFFF);
    EXPECT_EQ(img.pixel(70, 70) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(EmfPlayBitmaps, AlphaBlendHonoursTheAlphaByteOfBitFieldPixels)
{
    // One 2 x 1 bitmap: an opaque red pixel and a transparent one, written
    // as Office does, with three colour masks and no alpha mask.
    std::vector<uint8_t> b(16, 0);
    for (uint32_t v : {10u, 10u, 40u, 20u, 0x01FF0000u, 0u, 0u})
        Put32(b, v);
    b.resize(68, 0); // source transform
    for (uint32_t v : {0xFFFFFFu, 0u, 108u, 52u, 160u, 8u, 2u, 1u})
        Put32(b, v);
    for (uint32_t v : {40u, 2u, 1u, 0x00200001u, uint32_t(BI_BITFIELDS), 8u, 0u, 0u, 0u, 0u, 0xFF0000u, 0xFF00u, 0xFFu})
        Put32(b, v);
    Put32(b, 0xFFFF0000); // premultiplied opaque red
    Put32(b, 0x00000000);
    TEmfBuilder page;
    page.Raw(EMR_ALPHABLEND, b);
    const QImage img = PlayToImage(page.Page());
    EXPECT_TRUE(IsRed(img.pixel(15, 20)));
    EXPECT_EQ(img.pixel(40, 20) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(EmfPlayBitmaps, PlgBltMapsTheSourceCornersOntoItsThreePoints)
{
    // A 2 x 2 bitmap (red, green over blue, white) turned a quarter: its
    // top-left corner at (80, 10), top-right at (80, 50), bottom-left at (40, 10).
    std::vector<uint8_t> body;
    for (uint32_t v : {0u, 0u, 100u, 100u, 80u, 10u, 80u, 50u, 40u, 10u, 0u, 0u, 2u, 2u})
        Put32(body, v);
    for (int i = 0; i < 6; ++i)
        Put32(body, 0);
    for (uint32_t v : {0u, uint32_t(DIB_RGB_COLORS), 140u, 40u, 180u, 16u, 0u, 0u, 0u, 0u, 0u, 0u, 0u})
        Put32(body, v);
    PutDibHeader(body, 2, 2, 24);
    for (uint8_t v : {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0})
        body.push_back(v);
    TEmfBuilder b;
    const QImage img = PlayToImage(b.Raw(EMR_PLGBLT, body).Page());
    EXPECT_EQ(img.pixel(75, 15) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(img.pixel(75, 45) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(img.pixel(45, 15) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(img.pixel(45, 45) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(InkIn(img, QRect(0, 55, 100, 45)), 0);
    EXPECT_EQ(InkIn(img, QRect(85, 0, 15, 100)), 0);
}

TEST(EmfPlayBitmaps, GradientTriangleShadesFromEachCornerColour)
{
    std::vector<uint8_t> body;
    for (uint32_t v : {0u, 0u, 100u, 100u, 3u, 1u, 2u})
        Put32(body, v);
    // Vertices: x, y, then 16-bit red, green, blue, alpha.
    const uint32_t corners[3][5] = {{0, 0, 0xFF00, 0, 0}, {100, 0, 0, 0xFF00, 0}, {0, 100, 0, 0, 0xFF00}};
    for (const auto& c : corners) {
        Put32(body, c[0]);
        Put32(body, c[1]);
        for (int i = 2; i < 5; ++i)
            Put16(body, uint16_t(c[i]));
        Put16(body, 0);
    }
    for (uint32_t v : {0u, 1u, 2u})
        Put32(body, v);
    TEmfBuilder b;
    const QImage img = PlayToImage(b.Raw(EMR_GRADIENTFILL, body).Page());
    const QRgb nearRed = img.pixel(2, 2), nearGreen = img.pixel(95, 2), nearBlue = img.pixel(2, 95),
               mid = img.pixel(33, 33);
    EXPECT_GT(qRed(nearRed), 230);
    EXPECT_GT(qGreen(nearGreen), 220);
    EXPECT_LT(qRed(nearGreen), 30);
    EXPECT_GT(qBlue(nearBlue), 220);
    EXPECT_LT(qRed(nearBlue), 30);
    for (int channel : {qRed(mid), qGreen(mid), qBlue(mid)})
        EXPECT_NEAR(channel, 85, 12);
    EXPECT_EQ(img.pixel(90, 90) & 0xFFFFFF, 0xFFFFFFu); // beyond the diagonal
}

TEST(EmfPlayBitmaps, SetDibitsToDeviceIsDrawnUnscaledFromItsScans)
{
    // A red 4 x 4 bitmap at (10, 10) on a page played twice its size: four
    // device pixels wide at (20, 20), not eight. With only the two bottom
    // scans stored, only the bottom two rows are drawn.
    auto play = [](int StartScan, int Scans) {
        std::vector<uint8_t> body;
        for (uint32_t v : {0u, 0u, 0u, 0u, 10u, 10u, 0u, 0u, 4u, 4u, 76u, 40u, 116u, uint32_t(12 * Scans),
                           uint32_t(DIB_RGB_COLORS), uint32_t(StartScan), uint32_t(Scans)})
            Put32(body, v);
        PutDibHeader(body, 4, 4, 24);
        for (int i = 0; i < 4 * Scans; ++i)
            for (uint8_t c : {0, 0, 255})
                body.push_back(c);
        TEmfBuilder b;
        return PlayToImage(b.Raw(EMR_SETDIBITSTODEVICE, body).Page(), 200);
    };
    const QImage full = play(0, 4);
    EXPECT_TRUE(IsRed(full.pixel(20, 20)));
    EXPECT_TRUE(IsRed(full.pixel(23, 23)));
    EXPECT_EQ(InkIn(full, QRect(24, 0, 50, 50)), 0);
    EXPECT_EQ(InkIn(full, QRect(0, 24, 50, 50)), 0);
    const QImage bottom = play(0, 2);
    EXPECT_EQ(InkIn(bottom, QRect(20, 20, 4, 2)), 0);
    EXPECT_TRUE(IsRed(bottom.pixel(21, 22)));
    EXPECT_TRUE(IsRed(bottom.pixel(22, 23)));
}

TEST(EmfPlayBitmaps, MaskBltAppliesForegroundAndBackgroundOperationsByMask)
{
    // A red 2 x 2 source and a diagonal mask: where the mask is 1 the source
    // is copied, where it is 0 the background operation inverts the page.
    std::vector<uint8_t> body;
    for (uint32_t v : {0u, 0u, 0u, 0u, 10u, 10u, 2u, 2u, 0x55CC0020u, 0u, 0u})
        Put32(body, v);
    for (int i = 0; i < 6; ++i)
        Put32(body, 0);
    for (uint32_t v :
         {0u, uint32_t(DIB_RGB_COLORS), 128u, 40u, 168u, 16u, 0u, 0u, uint32_t(DIB_RGB_COLORS), 184u, 48u, 232u, 8u})
        Put32(body, v);
    PutDibHeader(body, 2, 2, 24);
    for (int row = 0; row < 2; ++row)
        for (uint8_t v : {0, 0, 255, 0, 0, 255, 0, 0})
            body.push_back(v);
    PutDibHeader(body, 2, 2, 1, 2);
    for (uint32_t v : {0x000000u, 0xFFFFFFu})
        Put32(body, v);
    // Bottom row first: bottom-right set, then top-left set.
    for (uint32_t v : {0x40u, 0x80u})
        Put32(body, v);
    TEmfBuilder b;
    const QImage img = PlayToImage(b.Raw(EMR_MASKBLT, body).Page());
    EXPECT_TRUE(IsRed(img.pixel(10, 10)));
    EXPECT_TRUE(IsRed(img.pixel(11, 11)));
    EXPECT_EQ(img.pixel(11, 10) & 0xFFFFFF, 0u);
    EXPECT_EQ(img.pixel(10, 11) & 0xFFFFFF, 0u);
    EXPECT_EQ(img.pixel(12, 10) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(EmfPlayBinaryRop, NotXorAndNoOp)
{
    TEmfBuilder b;
    b.Brush(1, BS_SOLID, Black).Select(1).Select(STOCK_OBJECT | NULL_PEN).Rec(EMR_RECTANGLE, {0, 0, 51, 101});
    b.Select(STOCK_OBJECT | BLACK_PEN).Rec(EMR_SETROP2, {R2_NOT});
    b.Rec(EMR_MOVETOEX, {0, 20}).Rec(EMR_LINETO, {100, 20});
    b.Rec(EMR_SETROP2, {R2_NOP}).Rec(EMR_MOVETOEX, {0, 60}).Rec(EMR_LINETO, {100, 60});
    const QImage img = PlayToImage(b.Page());
    EXPECT_EQ(img.pixel(20, 20) & 0xFFFFFF, 0xFFFFFFu); // black inverted
    EXPECT_EQ(img.pixel(70, 20) & 0xFFFFFF, 0x000000u); // white inverted
    EXPECT_EQ(img.pixel(70, 60) & 0xFFFFFF, 0xFFFFFFu); // no-op
}

TEST(EmfPlayback, PainterStateIsRestoredAndFrameFillsTheTarget)
{
    TEmfBuilder b;
    b.Brush(1, BS_SOLID, Red).Select(1).Select(STOCK_OBJECT | NULL_PEN).Rec(EMR_RECTANGLE, {0, 0, 101, 101});
    QImage img(300, 300, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.translate(5, 5);
    p.setPen(Qt::blue);
    StretchDraw(p, QRectF(95, 95, 200, 100), b.Page());
    EXPECT_EQ(p.pen().color(), QColor(Qt::blue));
    EXPECT_EQ(p.transform(), QTransform::fromTranslate(5, 5));
    p.end();
    EXPECT_TRUE(IsRed(img.pixel(100, 100)));
    EXPECT_TRUE(IsRed(img.pixel(298, 198)));
    EXPECT_FALSE(IsRed(img.pixel(150, 201)));
    EXPECT_FALSE(IsRed(img.pixel(99, 150)));
}

} // namespace
