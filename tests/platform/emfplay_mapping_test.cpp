// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfplaymapping.h"
#include "platform/emf/emfrecords.h"
#include "platform/metafile.h"

#include <gtest/gtest.h>

namespace {

// A 96-dpi A4 screen as recorders report it.
TEmfDevice Screen()
{
    TEmfDevice d;
    d.Pixels = QSize(1920, 1080);
    d.Millimeters = QSize(508, 286);
    return d;
}

struct PageCase {
    const char* Name;
    uint32_t Mode;
    QPointF Logical;
    QPointF Expected; // reference-device pixels
};

TEST(EmfMapping, FixedMapModesScaleByTheReferenceDevice)
{
    // 1920 px over 508 mm: 3.7795 px per mm; the metric modes point y up.
    const PageCase cases[] = {
        {"text", MM_TEXT, {100, 50}, {100, 50}},
        {"lometric", MM_LOMETRIC, {1000, 1000}, {1000 * 1920.0 / 5080, -1000 * 1080.0 / 2860}},
        {"himetric", MM_HIMETRIC, {10000, -10000}, {10000 * 1920.0 / 50800, 10000 * 1080.0 / 28600}},
        {"twips", MM_TWIPS, {1440, 0}, {1440 * 1920.0 / (508 * 14400 / 254), 0}},
    };
    for (const PageCase& c : cases) {
        TEmfMapping m;
        EmfSetMapMode(m, c.Mode, Screen());
        const QPointF p = EmfPageTransform(m).map(c.Logical);
        EXPECT_NEAR(p.x(), c.Expected.x(), 0.01) << c.Name;
        EXPECT_NEAR(p.y(), c.Expected.y(), 0.01) << c.Name;
    }
}

TEST(EmfMapping, WindowAndViewportMapAnisotropically)
{
    TEmfMapping m;
    EmfSetMapMode(m, MM_ANISOTROPIC, Screen());
    EmfSetWindowExt(m, QSize(1000, 500), Screen());
    EmfSetViewportExt(m, QSize(100, -100), Screen());
    m.WinOrg = QPoint(10, 20);
    m.VpOrg = QPoint(5, 200);
    const QPointF p = EmfPageTransform(m).map(QPointF(1010, 520));
    EXPECT_DOUBLE_EQ(p.x(), 5 + 100);
    EXPECT_DOUBLE_EQ(p.y(), 200 - 100);
}

TEST(EmfMapping, ExtentsAreIgnoredOutsideTheScalableModesAndWhenZero)
{
    TEmfMapping m;
    EmfSetWindowExt(m, QSize(1000, 1000), Screen()); // MM_TEXT: ignored
    EXPECT_EQ(m.WinExt, QSize(1, 1));
    EmfSetMapMode(m, MM_ANISOTROPIC, Screen());
    EmfSetWindowExt(m, QSize(200, 300), Screen());
    EmfSetWindowExt(m, QSize(0, 300), Screen());
    EmfSetViewportExt(m, QSize(10, 0), Screen());
    EXPECT_EQ(m.WinExt, QSize(200, 300));
    EmfScaleWindowExt(m, 1, 0, 1, 1, Screen()); // zero denominator
    EXPECT_EQ(m.WinExt, QSize(200, 300));
    EmfScaleWindowExt(m, 3, 2, 1, 3, Screen());
    EXPECT_EQ(m.WinExt, QSize(300, 100));
}

TEST(EmfMapping, IsotropicModeKeepsUnitsSquare)
{
    struct Case {
        QSize Win, Vp, ExpectedVp;
    } cases[] = {
        {{1000, 1000}, {500, 200}, {200, 200}},
        {{1000, 1000}, {200, 500}, {200, 200}},
        {{1000, 1000}, {-500, 200}, {-200, 200}},
        {{1000, 2000}, {500, -500}, {250, -500}},
    };
    TEmfDevice square;
    square.Pixels = QSize(100, 100);
    square.Millimeters = QSize(100, 100);
    for (const Case& c : cases) {
        TEmfMapping m;
        EmfSetMapMode(m, MM_ISOTROPIC, square);
        EmfSetWindowExt(m, c.Win, square);
        EmfSetViewportExt(m, c.Vp, square);
        EXPECT_EQ(m.VpExt, c.ExpectedVp) << c.Win.width() << "x" << c.Win.height();
    }
}

TEST(EmfMapping, FrameMapsOntoTheTargetRectangle)
{
    EmfHeader h;
    h.szlDevice = {1000, 1000};
    h.szlMillimeters = {250, 250};          // 4 px per mm
    h.rclFrame = {1000, 2000, 11000, 7000}; // 0.01 mm: 40 x 20 px at (40, 80)
    const QTransform t = EmfFrameTransform(h, QRectF(0, 0, 800, 400));
    EXPECT_EQ(t.map(QPointF(40, 80)), QPointF(0, 0));
    EXPECT_EQ(t.map(QPointF(440, 280)), QPointF(800, 400));

    // The libUEMF pages put their frame above the origin.
    h.rclFrame = {0, -20999, 29699, 0};
    const QRectF f = EmfFrameInPixels(h);
    EXPECT_NEAR(f.top(), -20999 * 0.04, 1e-9);
    EXPECT_NEAR(EmfFrameTransform(h, QRectF(0, 0, 800, 566)).map(f.bottomRight()).y(), 566, 1e-6);
}

TEST(EmfMapping, EmptyFrameFallsBackToBoundsAndBrokenDeviceToAScreen)
{
    EmfHeader h;
    h.rclBounds = {10, 10, 109, 59};
    const QRectF f = EmfFrameInPixels(h);
    EXPECT_EQ(f, QRectF(10, 10, 100, 50));
    const TEmfDevice d = EmfReferenceDevice(h);
    EXPECT_GT(d.Pixels.width(), 0);
    EXPECT_GT(d.Millimeters.height(), 0);
}

} // namespace
