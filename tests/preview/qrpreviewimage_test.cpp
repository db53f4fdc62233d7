// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qrpreviewimage.h"

#include "emfbuilder_helpers.h"
#include "preview/qrpreview.h"
#include "platform/emf/emfrecords.h"
#include "platform/metafile.h"
#include "preview_helpers.h"
#include "printer/qrprinter.h"
#include "report_helpers.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>

namespace {

QImage DrawnOnGrey(const TMetafile* Page, QSize Size)
{
    QImage image(Size, QImage::Format_RGB32);
    image.fill(QColor(0x80, 0x80, 0x80));
    QPainter painter(&image);
    DrawPage(painter, QRect(QPoint(0, 0), Size), Page);
    return image;
}

char Classify(QRgb Pixel)
{
    if (Pixel == qRgb(0, 0, 0))
        return 'k';
    if (Pixel == qRgb(255, 255, 255))
        return 'w';
    return Pixel == qRgb(0x80, 0x80, 0x80) ? '.' : '?';
}

// What each pixel of a 100 x 50 page should be: frame outline through
// (0,0)-(97,47), white inside, shadows (98,2)-(100,50) and (2,48)-(100,50).
char Expected100x50(int X, int Y)
{
    if (X >= 98 && Y >= 2)
        return 'k';
    if (Y >= 48 && X >= 2)
        return 'k';
    if (X >= 98 || Y >= 48)
        return '.';
    if (X == 0 || Y == 0 || X == 97 || Y == 47)
        return 'k';
    return 'w';
}

} // namespace

TEST(PreviewImageDrawing, DrawsTheSheetFrameAndShadowOfA100x50Image)
{
    auto page = BlankPage(100, 50);
    const QImage image = DrawnOnGrey(page.get(), QSize(100, 50));
    int wrong = 0;
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (Classify(image.pixel(x, y)) != Expected100x50(x, y) && ++wrong < 10)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << Classify(image.pixel(x, y));
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(PreviewImageDrawing, GrabbedWidgetShowsTheSameRectangles)
{
    TQRPreviewImage image;
    image.resize(100, 50);
    const QString report = WriteTestReport("one-100x50.qrp", {{100, 50}});
    auto document = LoadedDocument(report);
    image.SetQRPrinter(document.get());
    image.SetPageNumber(1);
    ASSERT_TRUE(image.ImageOK());
    image.grab(); // asks for the drawing
    image.WaitForDrawing();
    const QImage grabbed = image.grab().toImage();
    ASSERT_EQ(grabbed.size(), QSize(100, 50));
    EXPECT_EQ(grabbed.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(grabbed.pixel(50, 25), qRgb(255, 255, 255));
    EXPECT_EQ(grabbed.pixel(97, 47), qRgb(0, 0, 0));
    EXPECT_EQ(grabbed.pixel(99, 49), qRgb(0, 0, 0));
    EXPECT_EQ(grabbed.pixel(98, 2), qRgb(0, 0, 0));
    EXPECT_NE(grabbed.pixel(99, 1), qRgb(0, 0, 0));
    EXPECT_NE(grabbed.pixel(1, 49), qRgb(0, 0, 0));
}

namespace {

// More page-sized rectangles than the budget of a small output allows, then
// a blank page.
std::unique_ptr<TQRPrinter> BusyReport(const QTemporaryDir& Dir)
{
    TEmfBuilder busy;
    busy.Brush(1, BS_SOLID, 0x0000FF).Select(1);
    for (int i = 0; i < 30000; ++i)
        busy.Rec(EMR_RECTANGLE, {0, 0, 100, 100});
    const std::string file = Dir.filePath(QStringLiteral("busy.qrp")).toStdString();
    WriteFileBytes(file, MakeReport(128, {busy.Bytes(), TEmfBuilder().Bytes()}, false));
    return LoadedDocument(QString::fromStdString(file));
}

// Holds the first page played on the drawing thread until it is cancelled,
// and keeps how each playback ended.
struct TDrawProbe {
    void Attach(TQRPreviewImage& Image)
    {
        Image.SetDrawHooks(
            [this](const std::atomic<bool>& Cancel) {
                if (Started++ == 0)
                    while (!Cancel)
                        QThread::yieldCurrentThread();
            },
            [this](const TEmfPlayResult& Result) {
                std::lock_guard<std::mutex> lock(Mutex);
                Results.push_back(Result);
            });
    }
    // Until the first page is being played (a guard against hanging only).
    bool WaitForStart()
    {
        for (int i = 0; i < 600000 && Started == 0; ++i)
            QThread::usleep(100);
        return Started > 0;
    }
    std::vector<TEmfPlayResult> Taken()
    {
        std::lock_guard<std::mutex> lock(Mutex);
        return Results;
    }
    std::atomic<int> Started{0};
    std::mutex Mutex;
    std::vector<TEmfPlayResult> Results;
};

} // namespace

TEST(PreviewImageDrawing, APageTooComplexToDrawInFullCarriesANoteUntilThePageChanges)
{
    QTemporaryDir dir;
    auto document = BusyReport(dir);
    TQRPreviewImage image;
    image.resize(100, 50);
    image.SetQRPrinter(document.get());
    image.SetPageNumber(1);
    image.grab();
    image.WaitForDrawing();
    const QImage grabbed = image.grab().toImage();
    QCoreApplication::processEvents();
    EXPECT_TRUE(image.Partial());
    EXPECT_EQ(QColor(grabbed.pixel(50, 42)), QColor(Qt::red)); // drawn as far as it got, under the note
    auto* note = image.findChild<QLabel*>(QStringLiteral("partialPageNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->isHidden());
    EXPECT_TRUE(note->text().startsWith(QStringLiteral("Sayfa 1 "))) << note->text().toStdString();

    image.SetPageNumber(2);
    image.grab();
    image.WaitForDrawing();
    QCoreApplication::processEvents();
    EXPECT_FALSE(image.Partial());
    EXPECT_TRUE(note->isHidden());
}

TEST(PreviewImageDrawing, APageChangeCancelsTheDrawingUnderWayAndTheNewPageIsShown)
{
    QTemporaryDir dir;
    auto document = BusyReport(dir);
    TQRPreviewImage image;
    image.resize(100, 50);
    TDrawProbe probe;
    probe.Attach(image);
    image.SetQRPrinter(document.get());
    image.SetPageNumber(1);
    const QImage waiting = image.grab().toImage();
    // The sheet is there at once, empty while the page is drawn.
    EXPECT_EQ(waiting.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(waiting.pixel(50, 42), qRgb(255, 255, 255));
    ASSERT_TRUE(probe.WaitForStart());

    image.SetPageNumber(2);
    image.grab();
    image.WaitForDrawing();
    const std::vector<TEmfPlayResult> results = probe.Taken();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_TRUE(results[0].Cancelled);
    EXPECT_FALSE(results[0].TooComplex); // stopped by the page change, not by its budget
    EXPECT_FALSE(results[1].Cancelled);
    EXPECT_TRUE(results[1].ReachedEof);
    EXPECT_FALSE(image.Partial());
    EXPECT_EQ(image.grab().toImage().pixel(50, 42), qRgb(255, 255, 255));
}

TEST(PreviewImageDrawing, ClosingAWindowWhileItsPageIsDrawnCancelsTheDrawing)
{
    QTemporaryDir dir;
    auto document = BusyReport(dir);
    auto probe = std::make_unique<TDrawProbe>();
    auto* window = new QWidget;
    auto* preview = new TQRPreview(window);
    preview->resize(300, 300);
    probe->Attach(*preview->PreviewImage());
    preview->SetQRPrinter(document.get());
    window->show();
    preview->PreviewImage()->grab();
    ASSERT_TRUE(probe->WaitForStart());
    window->close();
    delete window; // waits for the drawing thread
    QCoreApplication::processEvents();
    const std::vector<TEmfPlayResult> results = probe->Taken();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].Cancelled);
}

TEST(PreviewImageDrawing, DrawsNothingWithoutAPage)
{
    const QImage image = DrawnOnGrey(nullptr, QSize(100, 50));
    for (int y = 0; y < 50; y += 7)
        for (int x = 0; x < 100; x += 7)
            ASSERT_EQ(Classify(image.pixel(x, y)), '.');
}

TEST(PreviewImagePage, PageOutsideTheDocumentLeavesTheImageEmpty)
{
    auto document = LoadedDocument(WriteA4Report("two-a4.qrp", 2));
    TQRPreviewImage image;
    image.SetQRPrinter(document.get());
    image.SetPageNumber(2);
    EXPECT_TRUE(image.ImageOK());
    image.SetPageNumber(3);
    EXPECT_FALSE(image.ImageOK());
    EXPECT_EQ(image.PageNumber(), 3);
    image.SetPageNumber(0);
    EXPECT_FALSE(image.ImageOK());
}

namespace {

struct TLinkEvent {
    TQRHyperlinkEventType Type;
    QString Link;
};

class TLinkRecorder {
public:
    explicit TLinkRecorder(TQRPreviewImage& Image)
    {
        Image.SetOnHyperlink([this](TQRPrinter*, TQRHyperlinkEventType Type, const QString& Link, bool& Handled) {
            Events.push_back({Type, Link});
            Handled = HandleGoto;
        });
    }
    std::vector<TLinkEvent> Events;
    bool HandleGoto = true;
};

void MoveMouse(QWidget& W, QPoint At)
{
    QMouseEvent move(QEvent::MouseMove, At, W.mapToGlobal(At), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&W, &move);
}

void Click(QWidget& W, QPoint At)
{
    QMouseEvent press(QEvent::MouseButtonPress, At, W.mapToGlobal(At), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&W, &press);
}

std::unique_ptr<std::vector<THyperlink>> Links(std::vector<THyperlink> L)
{
    return std::make_unique<std::vector<THyperlink>>(std::move(L));
}

} // namespace

TEST(PreviewImageLinks, HitTestAtZoom200MapsToThePageAtZoom100)
{
    const std::vector<THyperlink> links = {{EmfRect{50, 26, 60, 30}, "first"}, {EmfRect{0, 0, 100, 100}, "second"}};
    EXPECT_EQ(FindHyperlinkIndex(links, 101, 51, 200), 0);
    EXPECT_EQ(FindHyperlinkIndex(links, 99, 51, 200), 0); // 49.5 rounds to 50
    EXPECT_EQ(FindHyperlinkIndex(links, 97, 51, 200), 1);
    EXPECT_EQ(FindHyperlinkIndex(links, 121, 61, 200), 0); // bounds inclusive
    EXPECT_EQ(FindHyperlinkIndex(links, 300, 300, 200), -1);
    EXPECT_EQ(FindHyperlinkIndex({}, 1, 1, 100), -1);
}

TEST(PreviewImageLinks, MouseOverAndAwayFireOncePerChangeWithTheHandCursor)
{
    TQRPreviewImage image;
    image.resize(400, 400);
    image.SetZoom(200);
    image.SetHyperlinks(Links({{EmfRect{50, 26, 60, 30}, "EXT:https://example.org/A"}}));
    TLinkRecorder recorder(image);
    MoveMouse(image, QPoint(101, 51));
    MoveMouse(image, QPoint(102, 52));
    EXPECT_EQ(image.cursor().shape(), Qt::PointingHandCursor);
    MoveMouse(image, QPoint(300, 300));
    EXPECT_EQ(image.cursor().shape(), Qt::ArrowCursor);
    ASSERT_EQ(recorder.Events.size(), 2u);
    EXPECT_EQ(recorder.Events[0].Type, heCursorMoveOver);
    EXPECT_EQ(recorder.Events[0].Link, "EXT:https://example.org/A");
    EXPECT_EQ(recorder.Events[1].Type, heCursorMoveAway);
    EXPECT_TRUE(recorder.Events[1].Link.isEmpty());
}

TEST(PreviewImageLinks, WithoutLinksTheImageFindsNothing)
{
    TQRPreviewImage image;
    EXPECT_FALSE(image.HyperlinksOK());
    EXPECT_TRUE(image.FindHyperlink(10, 10).isEmpty());
}

class TUrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Urls;
public slots:
    void Open(const QUrl& Url) { Urls << Url; }
};

class FollowHyperlinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDesktopServices::setUrlHandler("https", &Catcher, "Open");
        HyperlinkSources().clear();
    }
    void TearDown() override
    {
        QDesktopServices::unsetUrlHandler("https");
        HyperlinkSources().clear();
    }
    void AddSource(const QString& Signature)
    {
        HyperlinkSources().push_back(
            {Signature, [this, Signature](TQRPrinter*, const QString& P) { Taken << Signature + "|" + P; }});
    }
    TUrlCatcher Catcher;
    QStringList Taken;
};

TEST_F(FollowHyperlinkTest, PrefixesAreMatchedWithoutRegardToCase)
{
    AddSource("");
    FollowHyperlink(nullptr, "ext:https://example.org/Path");
    FollowHyperlink(nullptr, "InT:Sales");
    ASSERT_EQ(Catcher.Urls.size(), 1);
    EXPECT_EQ(Catcher.Urls[0].toString(), "https://example.org/Path");
    EXPECT_EQ(Taken, QStringList{"|Sales"});
}

TEST_F(FollowHyperlinkTest, UnprefixedLinkGoesToTheFirstMatchingSourceThenTheDesktop)
{
    AddSource("doc:");
    AddSource("do");
    FollowHyperlink(nullptr, "doc:7");
    FollowHyperlink(nullptr, "https://example.org/Unchanged");
    FollowHyperlink(nullptr, "INT:nothing");
    EXPECT_EQ(Taken, QStringList{"doc:|7"});
    ASSERT_EQ(Catcher.Urls.size(), 1);
    EXPECT_EQ(Catcher.Urls[0].toString(), "https://example.org/Unchanged");
}

TEST_F(FollowHyperlinkTest, ClickOnALinkGoesToTheHandlerAndThenFollowsIt)
{
    TQRPreviewImage image;
    image.resize(200, 200);
    image.SetHyperlinks(Links({{EmfRect{0, 0, 50, 50}, "EXT:https://example.org/Click"}}));
    TLinkRecorder recorder(image);
    MoveMouse(image, QPoint(10, 10));
    Click(image, QPoint(10, 10));
    EXPECT_TRUE(Catcher.Urls.isEmpty()); // handled
    recorder.HandleGoto = false;
    Click(image, QPoint(10, 10));
    ASSERT_EQ(Catcher.Urls.size(), 1);
    ASSERT_EQ(recorder.Events.size(), 3u);
    EXPECT_EQ(recorder.Events[1].Type, heGoto);
    MoveMouse(image, QPoint(150, 150));
    Click(image, QPoint(150, 150));
    EXPECT_EQ(recorder.Events.size(), 4u);
}

#include "qrpreviewimage_test.moc"
