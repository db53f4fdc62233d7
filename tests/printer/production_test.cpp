// SPDX-License-Identifier: GPL-3.0-or-later
// Producing pages into a report document: notifications, misuse, the two
// destinations, and the demo report that the samples are made from.
#include "platform/emf/emfplayer.h"
#include "platform/metafile.h"
#include "platform/system.h"
#include "printer/demolayout.h"
#include "printer/demoreport.h"
#include "printer/demosales.h"
#include "printer/qrmessages.h"
#include "printer/qrparentreport.h"
#include "printer/qrprinter.h"
#include "printer/qrprintersettings.h"
#include "store/qrpagelist.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <limits>

namespace {

class TMessageLog : public QObject {
public:
    std::vector<qintptr> Pages; // wParams of QRM_PAGES_AVAILABLE, in order

    bool event(QEvent* E) override
    {
        if (E->type() != TQRMessageEvent::EventType())
            return QObject::event(E);
        const auto* m = static_cast<TQRMessageEvent*>(E);
        if (m->Msg == QRM_PAGES_AVAILABLE)
            Pages.push_back(m->WParam);
        return true;
    }
};

void DrawMarker(TQRPrinter& Doc, const QString& Text)
{
    Doc.Canvas()->TextOut(Doc.XPos(200), Doc.YPos(200), Text);
}

QImage Render(const TMetafile& Page)
{
    QImage image(Page.Width(), Page.Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    StretchDraw(p, QRectF(0, 0, image.width(), image.height()), Page);
    return image;
}

bool HasUtf16Text(const TMetafile& Page, const QString& Text)
{
    const auto& d = Page.Data();
    const auto* needle = reinterpret_cast<const uint8_t*>(Text.utf16());
    const size_t n = static_cast<size_t>(Text.size()) * 2;
    return std::search(d.begin(), d.end(), needle, needle + n) != d.end();
}

TDemoReportOptions Demo(int Pages, bool Compress = false)
{
    TDemoReportOptions o;
    o.Pages = Pages;
    o.Compress = Compress;
    return o;
}

} // namespace

TEST(ProductionNotifications, BeginAndEndWithoutPagesPostOneAnnouncementOfOne)
{
    TMessageLog log;
    TQRPrinter doc;
    doc.SetClient(&log);
    doc.BeginDoc();
    doc.EndDoc();
    QCoreApplication::processEvents();
    EXPECT_EQ(log.Pages, (std::vector<qintptr>{1}));
    EXPECT_EQ(doc.Status(), mpFinished);
    EXPECT_EQ(doc.PageCount(), 0);
    EXPECT_EQ(doc.GetPage(1), nullptr);
}

TEST(ProductionNotifications, ThreePagesArePostedAsOneTwoThreeAndHandledByEndDoc)
{
    TMessageLog log;
    TQRPrinter doc;
    doc.SetClient(&log);
    doc.BeginDoc();
    for (int i = 1; i <= 3; ++i) {
        doc.NewPage();
        DrawMarker(doc, QStringLiteral("Seite %1").arg(i));
    }
    // Posted, not sent: nothing arrives before the event loop runs.
    EXPECT_TRUE(log.Pages.empty());
    doc.EndDoc();
    EXPECT_EQ(log.Pages, (std::vector<qintptr>{1, 2, 3}));
    EXPECT_EQ(doc.AvailablePages(), 3);
    EXPECT_EQ(doc.PageCount(), 3);
    EXPECT_EQ(doc.PageList()->PageCount(), 3);
    for (int i = 1; i <= 3; ++i) {
        const std::unique_ptr<TMetafile> page = doc.GetPage(i);
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(HasUtf16Text(*page, QStringLiteral("Seite %1").arg(i))) << "page " << i;
    }
}

TEST(ProductionErrors, MisuseRaisesTheFixedTextsAndLeavesTheDocumentAsItWas)
{
    TQRPrinter doc;
    try {
        doc.NewPage();
        FAIL() << "NewPage before BeginDoc";
    } catch (const EQRError& e) {
        EXPECT_STREQ(e.what(), "Illegal call to NewPage");
    }
    EXPECT_EQ(doc.Status(), mpReady);
    EXPECT_EQ(doc.PageCount(), 0);

    doc.BeginDoc();
    doc.NewPage();
    DrawMarker(doc, QStringLiteral("eins"));
    doc.Cancel();
    try {
        doc.BeginDoc();
        FAIL() << "BeginDoc while busy";
    } catch (const EQRError& e) {
        EXPECT_STREQ(e.what(), "QRPrinter not ready");
    }
    // The refused call must not drop the open page or the cancel request.
    EXPECT_TRUE(doc.Cancelled());
    ASSERT_NE(doc.Canvas(), nullptr);
    DrawMarker(doc, QStringLiteral("zwei"));
    doc.EndDoc();
    ASSERT_EQ(doc.PageCount(), 1);
    EXPECT_TRUE(HasUtf16Text(*doc.GetPage(1), QStringLiteral("zwei")));

    EXPECT_THROW(doc.NewPage(), EQRError);
    EXPECT_EQ(doc.PageCount(), 1);
    doc.EndDoc(); // finished: nothing at all
    EXPECT_EQ(doc.Status(), mpFinished);
}

namespace {

struct TExportingReport : TQRParentReport {
    TQRPrinterSettings Settings;
    bool IsExporting = false;
    const TQRPrinterSettings& PrinterSettings() const override { return Settings; }
    long double PageWidth() const override { return 2100; }
    long double PageLength() const override { return 2970; }
    bool Exporting() const override { return IsExporting; }
};

int AbortAfterTwoPages(bool Exporting, const QString& SaveAs)
{
    TExportingReport report;
    report.IsExporting = Exporting;
    TQRPrinter doc(&report);
    doc.BeginDoc();
    doc.NewPage();
    doc.NewPage();
    doc.AbortDoc();
    EXPECT_EQ(doc.Status(), mpFinished);
    EXPECT_EQ(doc.Canvas(), nullptr);
    doc.Save(SaveAs);
    TQRPrinter reloaded;
    reloaded.Load(SaveAs);
    return reloaded.PageCount();
}

} // namespace

TEST(ProductionAbort, KeepsTheOpenPageUnlessExportingAndSavesAConsistentFile)
{
    QTemporaryDir dir;
    EXPECT_EQ(AbortAfterTwoPages(false, dir.filePath("kept.qrp")), 2);
    EXPECT_EQ(AbortAfterTwoPages(true, dir.filePath("exported.qrp")), 1);
}

namespace {

struct TGeneratorFailed {};

// A generator that fails while its second page is being drawn.
void FailOnSecondPage(TQRPrinter& Doc)
{
    Doc.BeginDoc();
    Doc.NewPage();
    DrawMarker(Doc, QStringLiteral("alt 1"));
    Doc.NewPage();
    DrawMarker(Doc, QStringLiteral("alt 2"));
    throw TGeneratorFailed{};
}

} // namespace

// The recording canvas finishes its page into the document's metafile when
// it goes; every way out of a page left open must let it go first (ASan).
TEST(ProductionOpenPage, IsReleasedWhenDestroyedCleanedUpOrAborted)
{
    {
        TQRPrinter doc;
        EXPECT_THROW(FailOnSecondPage(doc), TGeneratorFailed);
    }
    for (const bool abortFirst : {false, true}) {
        SCOPED_TRACE(abortFirst ? "aborted, then cleaned up" : "cleaned up");
        TQRPrinter doc;
        EXPECT_THROW(FailOnSecondPage(doc), TGeneratorFailed);
        if (abortFirst) {
            doc.AbortDoc();
            EXPECT_EQ(doc.Canvas(), nullptr);
            EXPECT_EQ(doc.PageList()->PageCount(), 2);
        }
        doc.Cleanup();
        EXPECT_EQ(doc.Canvas(), nullptr);
        doc.BeginDoc();
        doc.NewPage();
        DrawMarker(doc, QStringLiteral("neu"));
        doc.EndDoc();
        ASSERT_EQ(doc.PageCount(), 1);
        const std::unique_ptr<TMetafile> page = doc.GetPage(1);
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(HasUtf16Text(*page, QStringLiteral("neu")));
        EXPECT_FALSE(HasUtf16Text(*page, QStringLiteral("alt")));
    }
}

TEST(ProductionRoundTrip, SavedAndReloadedReportDrawsEveryPageTheSame)
{
    for (const bool compress : {false, true}) {
        SCOPED_TRACE(compress ? "compressed" : "plain");
        QTemporaryDir dir;
        const QString file = dir.filePath("demo.qrp");
        TQRPrinter made;
        ProduceDemoReport(made, Demo(3, compress));
        made.Save(file);

        TQRPrinter loaded;
        loaded.Load(file);
        ASSERT_EQ(loaded.PageCount(), 3);
        EXPECT_EQ(loaded.Compression(), compress);
        QImage previous;
        for (int i = 1; i <= 3; ++i) {
            const std::unique_ptr<TMetafile> a = made.GetPage(i), b = loaded.GetPage(i);
            ASSERT_TRUE(a && b);
            EXPECT_EQ(a->Data(), b->Data()) << "page " << i;
            const QImage picture = Render(*b);
            EXPECT_EQ(Render(*a), picture) << "page " << i;
            EXPECT_NE(picture, previous) << "page " << i << " looks like the page before";
            previous = picture;
        }
    }
}

namespace {

// A printer whose jobs remember, sheet by sheet, the texts drawn on them.
class TSheetLog : public TCanvas {
public:
    std::vector<QStringList> Sheets{QStringList()};
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    void Polyline(const std::vector<QPoint>&) override {}
    void Polygon(const std::vector<QPoint>&) override {}
    void Rectangle(const QRect&) override {}
    void FillRect(const QRect&) override {}
    void RoundRect(const QRect&, int, int) override {}
    void Ellipse(const QRect&) override {}
    void SetTextAlign(unsigned) override {}
    void ExtTextOut(int, int, unsigned, const QRect*, const QString& Text, const std::vector<int>*) override
    {
        Sheets.back() << Text;
    }
    std::vector<int> TextAdvances(const QString& Text) override { return std::vector<int>(Text.size(), 5); }
    void StretchDraw(const QRect&, const QImage&) override {}
    void StretchDraw(const QRect&, const TMetafile&) override {}
    void SetClipRect(const QRect*) override {}
};

struct TJobLog {
    int Begun = 0, Advances = 0, Ended = 0, Aborted = 0;
    TSheetLog Canvas;
};

class TLogJob : public TPrintJob {
public:
    explicit TLogJob(TJobLog& Log) : Log(Log) { ++Log.Begun; }
    TCanvas& Canvas() override { return Log.Canvas; }
    void NewPage() override
    {
        ++Log.Advances;
        Log.Canvas.Sheets.emplace_back();
    }
    void End() override { ++Log.Ended; }
    void Abort() override { ++Log.Aborted; }
    int PageWidth() const override { return 2400; }
    int PageHeight() const override { return 3400; }
    TJobLog& Log;
};

class TLogBackend : public TPrintBackend {
public:
    TLogBackend()
    {
        TPrinterCaps caps;
        caps.Name = QStringLiteral("Sanal Yazıcı");
        caps.DpiX = caps.DpiY = 300;
        caps.PaperCodes = {1, 8, 9};
        List.push_back(caps);
        SetActivePrintBackend(this);
    }
    ~TLogBackend() override { SetActivePrintBackend(nullptr); }
    QString Name() const override { return QStringLiteral("log"); }
    const std::vector<TPrinterCaps>& Printers() override { return List; }
    int DefaultIndex() override { return 0; }
    void Reload() override {}
    TSheetGeometry Geometry(const TPrinterCaps&, const DEVMODEW&) override
    {
        return TSheetGeometry{300, 300, 2480, 3508, 40, 40, 2400, 3400};
    }
    std::unique_ptr<TPrintJob> BeginJob(const TPrinterCaps&, const DEVMODEW&, const QString&) override
    {
        return std::make_unique<TLogJob>(Jobs.emplace_back());
    }
    std::vector<TPrinterCaps> List;
    std::deque<TJobLog> Jobs;
};

// The page numbers that reached the printer, one entry per sheet.
QStringList PrintedPageNumbers(const TJobLog& Job)
{
    QStringList numbers;
    for (const QStringList& sheet : Job.Canvas.Sheets) {
        const QStringList n = sheet.filter(QRegularExpression(QStringLiteral("^Sayfa \\d")));
        numbers << (n.isEmpty() ? QStringLiteral("(blank)") : n.join(QLatin1Char('+')));
    }
    return numbers;
}

} // namespace

TEST(ProductionOnPrinter, OnlyPagesInRangeReachThePrinterWithNoAdvanceAfterTheLast)
{
    TLogBackend backend;
    TQRPrinter doc;
    ASSERT_TRUE(doc.PrinterOK());
    doc.SetDestination(qrdPrinter);
    doc.SetFirstPage(2);
    doc.SetLastPage(3);
    int afterPrint = 0;
    doc.SetAfterPrint([&](TQRPrinter*) { ++afterPrint; });
    ProduceDemoReport(doc, Demo(5));

    ASSERT_EQ(backend.Jobs.size(), 1u);
    const TJobLog& job = backend.Jobs.front();
    EXPECT_EQ(PrintedPageNumbers(job), (QStringList{"Sayfa 2 / 5", "Sayfa 3 / 5"}));
    EXPECT_EQ(job.Advances, 1);
    EXPECT_EQ(job.Ended, 1);
    EXPECT_EQ(job.Aborted, 0);
    EXPECT_EQ(doc.Status(), mpFinished);
    EXPECT_EQ(doc.PageCount(), 5);
    EXPECT_EQ(afterPrint, 1);
}

TEST(ProductionOnPrinter, OpenRangesAndEmptyRanges)
{
    const struct {
        int First, Last;
        QStringList Printed; // empty: no job at all
    } cases[] = {
        {0, 0, {"Sayfa 1 / 3", "Sayfa 2 / 3", "Sayfa 3 / 3"}},
        {3, 0, {"Sayfa 3 / 3"}},
        {0, 1, {"Sayfa 1 / 3"}},
        {4, 0, {}},
        {3, 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.First << ".." << c.Last);
        TLogBackend backend;
        TQRPrinter doc;
        doc.SetDestination(qrdPrinter);
        doc.SetFirstPage(c.First);
        doc.SetLastPage(c.Last);
        ProduceDemoReport(doc, Demo(3));
        if (c.Printed.isEmpty()) {
            EXPECT_TRUE(backend.Jobs.empty());
            continue;
        }
        ASSERT_EQ(backend.Jobs.size(), 1u);
        EXPECT_EQ(PrintedPageNumbers(backend.Jobs.front()), c.Printed);
        EXPECT_EQ(backend.Jobs.front().Ended, 1);
    }
}

TEST(ProductionOnPrinter, AbortDiscardsTheJob)
{
    TLogBackend backend;
    TQRPrinter doc;
    doc.SetDestination(qrdPrinter);
    doc.BeginDoc();
    doc.NewPage();
    DrawMarker(doc, QStringLiteral("Sayfa 1"));
    doc.AbortDoc();
    ASSERT_EQ(backend.Jobs.size(), 1u);
    EXPECT_EQ(backend.Jobs.front().Aborted, 1);
    EXPECT_EQ(backend.Jobs.front().Ended, 0);
    EXPECT_EQ(doc.Canvas(), nullptr);
    EXPECT_EQ(doc.Status(), mpFinished);
}

TEST(DemoReport, SamePagesForTheSameOptionsWithPageNumbersAsText)
{
    TQRPrinter first, second;
    ProduceDemoReport(first, Demo(2));
    ProduceDemoReport(second, Demo(2));
    ASSERT_EQ(first.PageCount(), 2);
    for (int i = 1; i <= 2; ++i) {
        const auto a = first.GetPage(i), b = second.GetPage(i);
        EXPECT_EQ(a->Data(), b->Data()) << "page " << i;
        EXPECT_TRUE(HasUtf16Text(*a, QStringLiteral("Sayfa %1 / 2").arg(i)));
    }
    EXPECT_TRUE(HasUtf16Text(*first.GetPage(2), QStringLiteral("Genel toplam")));
    EXPECT_FALSE(HasUtf16Text(*first.GetPage(1), QStringLiteral("Genel toplam")));
}

TEST(DemoReport, PaperAndOrientationGiveThePageSize)
{
    TQRPrinter doc;
    TDemoReportOptions o = Demo(1);
    o.Paper = TQRPaperSize::A3;
    o.Orientation = poLandscape;
    ProduceDemoReport(doc, o);
    const auto page = doc.GetPage(1);
    EXPECT_EQ(page->Width(), doc.XSize(4200));
    EXPECT_EQ(page->Height(), doc.YSize(2970));

    EXPECT_EQ(DemoPaperFromName("letter"), TQRPaperSize::Letter);
    EXPECT_EQ(DemoPaperFromName("A3"), TQRPaperSize::A3);
    EXPECT_EQ(DemoPaperFromName("Custom"), std::nullopt);
    EXPECT_EQ(DemoPaperFromName("A44"), std::nullopt);
}

TEST(DemoReport, RefusesPaperTooSmallForItsLayout)
{
    TQRPrinter doc;
    TDemoReportOptions o = Demo(1);
    o.Paper = TQRPaperSize::PostcardJap;
    EXPECT_THROW(ProduceDemoReport(doc, o), Exception);
    EXPECT_EQ(doc.Status(), mpReady);
}

TEST(DemoLayout, EveryPaperKeepsRowsAndSummaryAboveTheFooter)
{
    const struct {
        int Width, Length;
        bool Fits;
    } cases[] = {
        {2100, 2970, true}, {2970, 2100, true}, {2159, 2794, true},  {4200, 2970, true},
        {2100, 1480, true}, {1480, 2100, true}, {1000, 1480, false}, {2970, 900, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Width << " x " << c.Length);
        const TDemoGeometry g = DemoGeometry(c.Width, c.Length);
        if (!c.Fits) {
            EXPECT_TRUE(g.RowsPerPage < 1 || g.LastPageRows < 1);
            continue;
        }
        ASSERT_GE(g.LastPageRows, 1);
        EXPECT_LT(g.LastPageRows, g.RowsPerPage);
        const long double rows = g.TableTop + g.HeadHeight;
        EXPECT_LE(rows + (g.RowsPerPage + 1) * g.RowHeight, g.FooterRule);
        EXPECT_LE(rows + (g.LastPageRows + 1) * g.RowHeight + g.SummaryGap + g.SummaryHeight, g.FooterRule);
        EXPECT_LE(g.Right, c.Width - 100);
    }
}

TEST(DemoSales, TurkishNumberFormats)
{
    const struct {
        int64_t Value;
        const char* Integer;
        const char* Amount;
    } cases[] = {
        {0, "0", "0,00"},
        {5, "5", "0,05"},
        {999, "999", "9,99"},
        {1000, "1.000", "10,00"},
        {123456789, "123.456.789", "1.234.567,89"},
        {-150, "-150", "-1,50"},
        {-100000, "-100.000", "-1.000,00"},
        {std::numeric_limits<int64_t>::min(), "-9.223.372.036.854.775.808", "-92.233.720.368.547.758,08"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatTurkishInteger(c.Value), QString::fromUtf8(c.Integer));
        EXPECT_EQ(FormatTurkishAmount(c.Value), QString::fromUtf8(c.Amount));
    }
    EXPECT_EQ(DemoVat(250), 50);
    EXPECT_EQ(DemoVat(3), 1); // 0,6 kuruş rounds up
    EXPECT_EQ(DemoVat(2), 0);
}
