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

} // namespace
