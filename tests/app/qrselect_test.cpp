// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qrselect.h"

#include "platform/errors.h"
#include "platform/metafile.h"
#include "printer/demoreport.h"
#include "printer/qrprinter.h"
#include "store/qrpagelist.h"
#include "tempfolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

// A private temporary folder for everything the splice writes.
class SpliceTest : public ::testing::Test {
protected:
    QString Path(const QString& Name) const { return QString::fromStdString(FTemp.FilePath(Name.toStdString())); }
    std::vector<std::string> TempFiles() const { return FTemp.Leftovers(); }

    QString Report(const QString& Name, int Pages, bool Compress = false)
    {
        TQRPrinter printer;
        TDemoReportOptions options;
        options.Pages = Pages;
        options.Compress = Compress;
        ProduceDemoReport(printer, options);
        printer.Save(Path(Name));
        return Path(Name);
    }

    TPrivateTempFolder FTemp;
};

std::vector<std::vector<uint8_t>> Pages(const QString& File)
{
    TQRPageList list;
    list.LoadFromFile(File.toStdString());
    std::vector<std::vector<uint8_t>> pages;
    for (int p = 1; p <= list.PageCount(); ++p)
        pages.push_back(list.GetPage(p)->Data());
    return pages;
}

std::vector<uint8_t> Header(const QString& File)
{
    QFile f(File);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.read(128);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

int32_t HeaderPageCount(const QString& File)
{
    const std::vector<uint8_t> h = Header(File);
    return int32_t(h[8] | h[9] << 8 | h[10] << 16 | uint32_t(h[11]) << 24);
}

TEST_F(SpliceTest, MergeArgumentErrorsGiveTheirCodesAndWriteNothing)
{
    const QString src = Report("a.qrp", 1);
    const QStringList none;
    const QStringList one{src};
    EXPECT_EQ(MergeReportFiles(QString(), &none), -3);
    EXPECT_EQ(MergeReportFiles(QString(), nullptr), -2);
    EXPECT_EQ(MergeReportFiles(Path("out.qrp"), nullptr), -2);
    EXPECT_EQ(MergeReportFiles(QString(), &one), -1);
    EXPECT_EQ(MergeReportFiles(Path("out.qrp"), &none), -3);
    EXPECT_FALSE(QFile::exists(Path("out.qrp")));
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(SpliceTest, MergeKeepsListOrderAndWritesTheTotalPageCount)
{
    const QString a = Report("a.qrp", 2);
    const QString b = Report("b.qrp", 3);
    const QStringList list{a, b, a};
    ASSERT_EQ(MergeReportFiles(Path("out.qrp"), &list), 0);
    const auto pa = Pages(a), pb = Pages(b), out = Pages(Path("out.qrp"));
    ASSERT_EQ(out.size(), 7u);
    EXPECT_EQ(HeaderPageCount(Path("out.qrp")), 7);
    const std::vector<std::vector<uint8_t>> expected{pa[0], pa[1], pb[0], pb[1], pb[2], pa[0], pa[1]};
    EXPECT_EQ(out, expected);
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(SpliceTest, ExtractSelectsTheRangeOrEverythingForFirstPageZero)
{
    const QString src = Report("src.qrp", 5);
    const auto all = Pages(src);
    struct Case {
        int First, Last;
        std::vector<int> Expected;
    };
    const Case cases[] = {
        {0, 0, {1, 2, 3, 4, 5}}, {0, 2, {1, 2, 3, 4, 5}}, {2, 3, {2, 3}}, {4, 99, {4, 5}}, {-3, 1, {1}}, {5, 5, {5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.First << ".." << c.Last);
        EXPECT_TRUE(ExtractPageRange(src, Path("range.qrp"), c.First, c.Last));
        const auto out = Pages(Path("range.qrp"));
        ASSERT_EQ(out.size(), c.Expected.size());
        for (size_t i = 0; i < out.size(); ++i)
            EXPECT_EQ(out[i], all[c.Expected[i] - 1]);
        EXPECT_EQ(HeaderPageCount(Path("range.qrp")), int32_t(c.Expected.size()));
    }
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(SpliceTest, ARangeWithoutPagesStillReturnsTrueAndWritesAWellFormedEmptyReport)
{
    const QString src = Report("src.qrp", 3);
    for (auto range : {std::pair{4, 9}, std::pair{3, 2}}) {
        EXPECT_TRUE(ExtractPageRange(src, Path("empty.qrp"), range.first, range.second));
        EXPECT_EQ(QFileInfo(Path("empty.qrp")).size(), 128);
        const std::vector<uint8_t> h = Header(Path("empty.qrp"));
        EXPECT_EQ(HeaderPageCount(Path("empty.qrp")), 0);
        // A real header, not zeros: its creation time is set.
        EXPECT_NE(std::count(h.begin(), h.end(), 0), 128);
    }
}

TEST_F(SpliceTest, ACompressedSourceGivesAnUncompressedRangeWithTheSamePictures)
{
    const QString packed = Report("packed.qrp", 3, true);
    ASSERT_EQ(Header(packed)[25], 1);
    ASSERT_TRUE(ExtractPageRange(packed, Path("range.qrp"), 2, 3));
    EXPECT_EQ(Header(Path("range.qrp"))[25], 0);
    const auto in = Pages(packed), out = Pages(Path("range.qrp"));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], in[1]);
    EXPECT_EQ(out[1], in[2]);
}

TEST_F(SpliceTest, ALongResultSpillsToAFileThatIsGoneAfterwards)
{
    const QString src = Report("src.qrp", 4);
    const QStringList list(20, src);
    ASSERT_GT(QFileInfo(src).size() * 20, 100000);
    ASSERT_EQ(MergeReportFiles(Path("big.qrp"), &list), 0);
    EXPECT_EQ(Pages(Path("big.qrp")).size(), 80u);
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(SpliceTest, ADamagedSourceFailsWithoutTouchingTheDestinationOrLeavingFiles)
{
    const QString src = Report("src.qrp", 2);
    QFile bad(Path("bad.qrp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(300, 'x'));
    bad.close();
    QFile dest(Path("dest.qrp"));
    ASSERT_TRUE(dest.open(QIODevice::WriteOnly));
    dest.write("keep me");
    dest.close();
    const QStringList list{src, src, Path("bad.qrp")};
    EXPECT_THROW(MergeReportFiles(Path("dest.qrp"), &list), Exception);
    EXPECT_THROW(ExtractPageRange(Path("missing.qrp"), Path("dest.qrp"), 0, 0), Exception);
    ASSERT_TRUE(dest.open(QIODevice::ReadOnly));
    EXPECT_EQ(dest.readAll(), QByteArray("keep me"));
    EXPECT_TRUE(TempFiles().empty());
}

TEST(PagesInRange, CountsWhatExtractSelects)
{
    struct Case {
        int Count, First, Last, Expected;
    };
    const Case cases[] = {
        {5, 0, 0, 5}, {5, 0, 3, 5},  {5, 2, 3, 2}, {5, 3, 99, 3},      {5, 6, 9, 0},
        {5, 3, 2, 0}, {5, -2, 2, 2}, {0, 0, 0, 0}, {5, 1, INT_MAX, 5}, {5, INT_MAX, INT_MAX, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PagesInRange(c.Count, c.First, c.Last), c.Expected) << c.Count << " " << c.First << ".." << c.Last;
}

TEST_F(SpliceTest, NewTempFileNameReservesAnEmptyQrpFileInTheTemporaryFolder)
{
    const QString a = NewTempFileName(), b = NewTempFileName();
    EXPECT_NE(a, b);
    for (const QString& name : {a, b}) {
        const QFileInfo info(name);
        EXPECT_TRUE(info.exists());
        EXPECT_EQ(info.size(), 0);
        EXPECT_EQ(info.absolutePath(), QDir(QString::fromStdString(FTemp.Path())).absolutePath());
        EXPECT_TRUE(info.fileName().startsWith("QRP"));
        EXPECT_TRUE(info.fileName().endsWith(".TMP"));
        QFile::remove(name);
    }
}

} // namespace
