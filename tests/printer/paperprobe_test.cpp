// SPDX-License-Identifier: GPL-3.0-or-later
#include "document_helpers.h"
#include "printer/paperprobe.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ReportPaperProbe, IgnoresWhatTheInstalledPrinterRefuses)
{
    QTemporaryDir dir;
    const QString letter = dir.filePath("letter.qrp");
    WriteReport(letter.toStdString(), {{816, 1056}});
    const QString a3 = dir.filePath("a3.qrp");
    WriteReport(a3.toStdString(), {{1587, 1123}});
    TFakePrintBackend a4only;
    a4only.Add("a4only", DM_PAPERSIZE, {9});
    a4only.Activate();
    TPaperDetection d = DetectReportPaper(letter);
    EXPECT_TRUE(d.Found);
    EXPECT_EQ(d.PaperSize, TQRPaperSize::Letter);
    EXPECT_EQ(d.Orientation, poPortrait);
    d = DetectReportPaper(a3);
    EXPECT_EQ(d.PaperSize, TQRPaperSize::A3);
    EXPECT_EQ(d.Orientation, poLandscape);
    EXPECT_THROW(DetectReportPaper(dir.filePath("missing.qrp")), Exception);
    SetActivePrintBackend(nullptr);
}

// info detects from the header it has read; it must say what loading the
// report says, also where no paper is near (the document keeps A4).
TEST(ReportPaperProbe, FromThePageSizeAsFromTheLoadedReport)
{
    QTemporaryDir dir;
    const std::pair<int, int> sizes[] = {{794, 1123}, {1123, 794}, {816, 1056}, {1587, 1123}, {1890, 1890},
                                         {120000, 90000}, {3, 5}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
        const QString file = dir.filePath("page.qrp");
        WriteReport(file.toStdString(), {size});
        const TPaperDetection loaded = DetectReportPaper(file);
        const TPaperDetection read = DetectFirstPagePaper(size.first, size.second);
        EXPECT_EQ(read.Found, loaded.Found);
        EXPECT_STREQ(PaperSizeName(read.PaperSize), PaperSizeName(loaded.PaperSize));
        EXPECT_EQ(read.Orientation, loaded.Orientation);
    }
}

} // namespace
