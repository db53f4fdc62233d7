// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool thumbnail, as a file manager's thumbnailer calls it.
#include "tool_helpers.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <algorithm>
#include <fstream>
#include <unistd.h>

namespace {

using Thumbnail = ToolTest;

QImage ReadPng(const std::string& Name)
{
    return QImage(QString::fromStdString(Name), "PNG");
}

// Share of pixels inside the frame that are not white.
double InkShare(const QImage& Image)
{
    int ink = 0, all = 0;
    for (int y = 2; y < Image.height() - 2; ++y)
        for (int x = 2; x < Image.width() - 2; ++x, ++all)
            ink += QColor(Image.pixel(x, y)).lightness() < 200;
    return all ? double(ink) / all : 0;
}

TEST_F(Thumbnail, LongestSideIsTheSizeAndThePageKeepsItsShape)
{
    ASSERT_EQ(Run("demo " + Dir + "/wide.qrp --pages 2 --landscape").Status, 0);
    const struct {
        std::string Input, Size;
        int Width, Height;
    } cases[] = {
        {Data + "/reports/sample.qrp", "128", 91, 128}, // A4 portrait: 128 * 210 / 297
        {Data + "/reports/layout-96-z.qrp", "256", 181, 256},
        {Dir + "/wide.qrp", "256", 256, 181},
        {Data + "/emf/gdi-page1.emf", "64", 45, 64},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Input);
        const std::string out = Dir + "/thumb.png";
        const ToolResult r = Run("thumbnail -s " + c.Size + " " + c.Input + " " + out);
        ASSERT_EQ(r.Status, 0) << r.Err;
        const QImage image = ReadPng(out);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), c.Width);
        EXPECT_EQ(image.height(), c.Height);
        // A thin grey frame around a white page that carries the report.
        for (const QPoint p : {QPoint(0, 0), QPoint(image.width() - 1, image.height() / 2),
                               QPoint(image.width() / 2, image.height() - 1)})
            EXPECT_EQ(QColor(image.pixel(p)).lightness(), 128) << p.x() << "," << p.y();
        EXPECT_GT(QColor(image.pixel(1, image.height() - 2)).lightness(), 240);
        const double ink = InkShare(image);
        EXPECT_GT(ink, 0.01);
        EXPECT_LT(ink, 0.9);
        ::unlink(out.c_str());
    }
    EXPECT_EQ(Run("thumbnail " + Data + "/reports/sample.qrp " + Dir + "/default.png").Status, 0);
    EXPECT_EQ(ReadPng(Dir + "/default.png").height(), 256);
}

TEST_F(Thumbnail, DamagedInputLeavesNoFileAndFails)
{
    Spit(Dir + "/noise.qrp", std::string(5000, '\x5a'));
    Spit(Dir + "/cut.emf", Slurp(Data + "/emf/gdi-page1.emf").substr(0, 200));
    const std::string damaged = Data + "/damaged/";
    for (const std::string& input : {damaged + "empty.qrp", damaged + "short-header.qrp", damaged + "wrong-header.qrp",
                                     damaged + "no-page-records.qrp", damaged + "compressed-cut-short.qrp",
                                     Dir + "/noise.qrp", Dir + "/cut.emf", Dir + "/missing.qrp"}) {
        SCOPED_TRACE(input);
        const ToolResult r = Run("thumbnail -s 256 " + input + " " + Dir + "/out.png");
        EXPECT_EQ(r.Status, 1);
        EXPECT_NE(r.Err.find("qrptool thumbnail: "), std::string::npos) << r.Err;
        EXPECT_FALSE(std::ifstream(Dir + "/out.png").good());
    }
    EXPECT_EQ(Run("thumbnail -s 0 " + Data + "/reports/sample.qrp " + Dir + "/out.png").Status, 2);
    EXPECT_EQ(Run("thumbnail " + Data + "/reports/sample.qrp").Status, 2);
    EXPECT_EQ(Run("thumbnail " + Data + "/reports/sample.qrp " + Dir + "/no/such/folder.png").Status, 1);
    EXPECT_EQ(Files(Tmp), std::vector<std::string>{});
    // Nothing else was left beside the wanted output (a save aside included).
    std::vector<std::string> left = Files(Dir);
    left.erase(std::remove(left.begin(), left.end(), "tmp"), left.end());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"cut.emf", "noise.qrp"}));
}

TEST_F(Thumbnail, PagesTooComplexToDrawFailWithoutAFileAndRenderSaysSo)
{
    const std::string damaged = Data + "/damaged/";
    for (const std::string name : {"page-rectangles.emf", "page-gradient-triangles.emf"}) {
        SCOPED_TRACE(name);
        const ToolResult r = Run("thumbnail " + damaged + name + " " + Dir + "/out.png");
        EXPECT_EQ(r.Status, 1);
        EXPECT_EQ(r.Err, "qrptool thumbnail: \"" + damaged + name + "\": page 1 is too complex to draw in full\n");
        EXPECT_FALSE(std::ifstream(Dir + "/out.png").good());
    }
    // Saved states share the path: cheap now, and drawn in full.
    EXPECT_EQ(Run("thumbnail " + damaged + "page-path-saved-and-extended.emf " + Dir + "/out.png").Status, 0);

    // render keeps what was drawn but fails.
    const ToolResult r = Run("render-emf -o " + Dir + "/rendered " + damaged + "page-rectangles.emf");
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("page 1 is too complex to draw in full"), std::string::npos) << r.Err;
    EXPECT_TRUE(std::ifstream(Dir + "/rendered/page-rectangles.png").good());
}

} // namespace
