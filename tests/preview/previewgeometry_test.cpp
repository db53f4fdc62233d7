// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/previewgeometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

TEST(PreviewGeometry, FitsTheDefaultPageInto686x423Control)
{
    const int a = FittedZoom(686, DefaultPaperWidth, 95);
    const int b = FittedZoom(423, DefaultPaperLength, 95);
    EXPECT_EQ(a, 302);
    EXPECT_EQ(b, 144);
    const int w = ImageExtent(DefaultPaperWidth, 144, 1);
    const int h = ImageExtent(DefaultPaperLength, 144, 1);
    EXPECT_EQ(w, 315);
    EXPECT_EQ(h, 406);
    EXPECT_EQ(CentredOffset(686, w), 185);
    EXPECT_EQ(CentredOffset(423, h), 8);
}

TEST(PreviewGeometry, PlacesImagesNoSmallerThanTheControlAtTheOrigin)
{
    const struct {
        int Control, Image, Offset;
    } cases[] = {{100, 100, 0}, {100, 150, 0}, {100, 99, 0}, {100, 98, 1}, {101, 50, 25}, {0, 4, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(CentredOffset(c.Control, c.Image), c.Offset) << c.Control << " " << c.Image;
}

TEST(PreviewGeometry, ImageExtentUsesTheDocumentScale)
{
    // A4 width 2100 (0.1 mm) at 96 dpi: 2100 / 100 * 100 * 96 / 254 = 793.7
    EXPECT_EQ(ImageExtent(2100, 100, 96.0L / 254), 798);
    EXPECT_EQ(ImageExtent(2100, 2, 96.0L / 254), 20);
    // A damaged page's size saturates instead of wrapping round.
    EXPECT_EQ(ImageExtent(2147483647.0L * 100, 500, 1), INT_MAX);
}

TEST(PreviewGeometry, FittedZoomOfAnEmptyPageIsRejectedByTheControl)
{
    EXPECT_EQ(FittedZoom(686, 0, 95), 0);
    EXPECT_EQ(FittedZoom(686, -5, 95), 0);
    EXPECT_EQ(FittedZoom(686, 1e-30L, 95), INT_MAX);
}

TEST(PreviewGeometry, HitTestMapsBackToZoom100WithHalvesToEven)
{
    const struct {
        int Value, Zoom, Out;
    } cases[] = {{101, 200, 50}, {51, 200, 26}, {50, 100, 50}, {3, 200, 2}, {5, 200, 2}, {7, 0, 7}};
    for (const auto& c : cases)
        EXPECT_EQ(UnzoomedCoordinate(c.Value, c.Zoom), c.Out) << c.Value << " at " << c.Zoom;
}

TEST(PreviewGeometry, WheelZoomMovesWithTheWheelWithinBounds)
{
    EXPECT_EQ(WheelZoom(100, 120), 120);
    EXPECT_EQ(WheelZoom(100, -120), 83);
    EXPECT_EQ(WheelZoom(100, 0), 100);
    EXPECT_EQ(WheelZoom(2, 1), 3);
    EXPECT_EQ(WheelZoom(2, -120), 2);
    EXPECT_EQ(WheelZoom(1990, 240), 2000);
    EXPECT_GT(WheelZoom(100, 15), 100);
}
