// SPDX-License-Identifier: GPL-3.0-or-later
#include "document_helpers.h"
#include "message_recorder.h"
#include "platform/metafile.h"
#include "platform/rounding.h"
#include "platform/streams.h"
#include "printer/qrprinter.h"
#include "printer/qrprintersettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr uint32_t AllFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE | DM_DUPLEX;

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Dir.isValid()); }
    void TearDown() override { SetActivePrintBackend(nullptr); }

    std::string Path(const char* Name) const { return Dir.filePath(Name).toStdString(); }
    QString Report(const char* Name, const std::vector<std::pair<int, int>>& Pages) const
    {
        WriteReport(Path(Name), Pages);
        return Dir.filePath(Name);
    }
    // A printer that takes every size and orientation.
    void InstallLaser()
    {
        Backend.Add("laser", AllFields, AllPaperCodes());
        Backend.Activate();
    }

    QTemporaryDir Dir;
    TFakePrintBackend Backend;
};

TEST_F(DocumentTest, CreationWithoutAnyPrinterSucceedsForViewing)
{
    Backend.Activate();
    TQRPrinter doc;
    EXPECT_FALSE(doc.PrinterOK());
    EXPECT_EQ(doc.Status(), mpReady);
    EXPECT_EQ(doc.PrinterIndex(), -1);
    EXPECT_EQ(doc.Destination(), qrdMetafile);
    EXPECT_EQ(doc.XFactor(), 0.37795L);
    doc.Load(Report("one.qrp", {{794, 1123}}));
    EXPECT_EQ(doc.Status(), mpFinished);
    EXPECT_NE(doc.GetPage(1), nullptr);
}

TEST_F(DocumentTest, WithoutPrinterTheDetectedPaperIsKept)
{
    Backend.Activate();
    TQRPrinter doc;
    doc.Load(Report("a4l.qrp", {{1123, 794}}));
    EXPECT_EQ(doc.PaperSize(), TQRPaperSize::A4);
    EXPECT_EQ(doc.Orientation(), poLandscape);
    EXPECT_EQ(doc.PaperWidthValue(), 2970);
    EXPECT_EQ(doc.PaperLengthValue(), 2100);

    TMemoryStream stream;
    stream.LoadFromFile(Report("a3l.qrp", {{1587, 1123}}).toStdString());
    doc.LoadFromStream(stream);
    EXPECT_EQ(doc.PaperSize(), TQRPaperSize::A4) << "a 4-mm miss leaves the paper";
    EXPECT_EQ(doc.Orientation(), poLandscape);
}

struct LoadCase {
    const char* What;
    int Width, Height;
    bool FromStream;
    TQRPaperSize Size;
    TPrinterOrientation Orientation;
};

class DocumentPaperDetection : public DocumentTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(DocumentPaperDetection, FirstPageSetsPaperAndOrientation)
{
    InstallLaser();
    const LoadCase& c = GetParam();
    TQRPrinter doc;
    ASSERT_TRUE(doc.PrinterOK());
    doc.SetPaperSize(TQRPaperSize::Legal);
    const QString file = Report("case.qrp", {{c.Width, c.Height}, {100, 100}});
    if (c.FromStream) {
        TMemoryStream stream;
        stream.LoadFromFile(file.toStdString());
        doc.LoadFromStream(stream);
    } else {
        doc.Load(file);
    }
    EXPECT_STREQ(PaperSizeName(doc.PaperSize()), PaperSizeName(c.Size));
    EXPECT_EQ(doc.Orientation(), c.Orientation);
    EXPECT_EQ(doc.PageCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DocumentPaperDetection,
    ::testing::Values(LoadCase{"A4Portrait", 794, 1123, false, TQRPaperSize::A4, poPortrait},
                      LoadCase{"A4Landscape", 1123, 794, false, TQRPaperSize::A4, poLandscape},
                      LoadCase{"A4FromStreamIsA4Small", 794, 1123, true, TQRPaperSize::A4Small, poPortrait},
                      LoadCase{"LetterFromStreamIsNote", 816, 1056, true, TQRPaperSize::Note, poPortrait},
                      LoadCase{"Square500mmIsCSheet", 1890, 1890, false, TQRPaperSize::CSheet, poPortrait},
                      LoadCase{"A3Landscape", 1587, 1123, false, TQRPaperSize::A3, poLandscape},
                      LoadCase{"A3LandscapeFromStreamKeepsPaper", 1587, 1123, true, TQRPaperSize::Legal, poLandscape}),
    [](const ::testing::TestParamInfo<LoadCase>& i) { return std::string(i.param.What); });

TEST_F(DocumentTest, PrinterRefusalsStandWhenLoading)
{
    Backend.Add("a4only", DM_PAPERSIZE | DM_COPIES, {9});
    Backend.Activate();
    TQRPrinter doc;
    doc.Load(Report("letter.qrp", {{816, 1056}}));
    EXPECT_EQ(doc.PaperSize(), TQRPaperSize::A4);
    doc.Load(Report("land.qrp", {{1123, 794}}));
    EXPECT_EQ(doc.Orientation(), poPortrait) << "the printer announces no orientation";
}

TEST_F(DocumentTest, LoadTwiceReplacesTheFirstReportAndPostsNothing)
{
    InstallLaser();
    TQRPrinter doc;
    TMessageRecorder client;
    doc.SetClient(&client);
    doc.Load(Report("three.qrp", {{794, 1123}, {794, 1123}, {794, 1123}}));
    doc.Load(Report("two.qrp", {{1123, 794}, {500, 600}}));
    QCoreApplication::processEvents();
    EXPECT_TRUE(client.Messages.empty());
    EXPECT_EQ(doc.PageCount(), 2);
    EXPECT_EQ(doc.GetPage(2)->Width(), 500);
    EXPECT_EQ(doc.GetPage(3), nullptr);
    EXPECT_TRUE(doc.ReportLoaded());
    EXPECT_TRUE(SavedReportLoaded);
}

TEST_F(DocumentTest, FailedLoadLeavesAnEmptyDocumentAndTheFileUntouched)
{
    InstallLaser();
    TQRPrinter doc;
    doc.Load(Report("good.qrp", {{794, 1123}}));
    const QString bad = Dir.filePath("bad.qrp");
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(300, 'x'));
    }
    EXPECT_THROW(doc.Load(bad), Exception);
    EXPECT_EQ(doc.Status(), mpReady);
    EXPECT_EQ(doc.PageCount(), 0);
    EXPECT_EQ(doc.GetPage(1), nullptr);
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(300, 'x'));
    EXPECT_THROW(doc.Load(Dir.filePath("missing.qrp")), Exception);
    EXPECT_EQ(doc.Status(), mpReady);
    doc.Load(Report("again.qrp", {{794, 1123}}));
    EXPECT_EQ(doc.Status(), mpFinished);
}

// Older header layouts keep no page count; the records still hold the pages,
// and a viewer that showed such a report as empty would lose it. Both
// loaders count them alike.
TEST_F(DocumentTest, ReportsWhoseHeaderKeepsNoPageCountShowEveryPage)
{
    for (const char* name : {"layout-124.qrp", "layout-96.qrp", "layout-200-z.qrp", "layout-128.qrp"})
        for (const bool fromStream : {false, true}) {
            SCOPED_TRACE(std::string(name) + (fromStream ? " from a stream" : ""));
            const QString file = QStringLiteral(QRP_TEST_DATA "/reports/") + QString::fromLatin1(name);
            TQRPrinter document;
            if (fromStream) {
                TMemoryStream stream;
                stream.LoadFromFile(file.toStdString());
                document.LoadFromStream(stream);
            } else {
                document.Load(file);
            }
            ASSERT_EQ(document.PageCount(), 2);
            for (int n = 1; n <= document.PageCount(); ++n)
                EXPECT_TRUE(document.GetPage(n)) << "page " << n;
        }
}

TEST_F(DocumentTest, SaveWritesOnlyAFinishedDocument)
{
    InstallLaser();
    TQRPrinter doc;
    doc.Save(Dir.filePath("empty.qrp"));
    EXPECT_FALSE(QFile::exists(Dir.filePath("empty.qrp")));
    const QString source = Report("src.qrp", {{794, 1123}, {1123, 794}});
    doc.Load(source);
    doc.Save(Dir.filePath("copy.qrp"));
    QFile a(source), b(Dir.filePath("copy.qrp"));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    doc.Cleanup();
    doc.Save(Dir.filePath("after.qrp"));
    EXPECT_FALSE(QFile::exists(Dir.filePath("after.qrp")));
}

TEST_F(DocumentTest, PagesAndPageNumbersOutsideTheReportAreIgnored)
{
    InstallLaser();
    TQRPrinter doc;
    doc.Load(Report("two.qrp", {{794, 1123}, {794, 1123}}));
    EXPECT_EQ(doc.GetPage(0), nullptr);
    EXPECT_EQ(doc.GetPage(3), nullptr);
    EXPECT_NE(doc.GetPage(2), nullptr);
    doc.SetPageNumber(2);
    doc.SetPageNumber(0);
    doc.SetPageNumber(3);
    EXPECT_EQ(doc.PageNumber(), 2);
}

TEST_F(DocumentTest, GeometryScalesAndSubtractsWasteOnThePrinterOnly)
{
    InstallLaser();
    TQRPrinter doc;
    doc.SetXFactor(600.0L / 254);
    doc.SetYFactor(600.0L / 254);
    EXPECT_EQ(doc.LeftWaste(), 0);
    EXPECT_EQ(doc.XSize(2100), 4961);
    EXPECT_EQ(doc.XPos(100), RoundHalfEven((100 - 42) * 600.0L / 254));
    EXPECT_EQ(doc.YPos(100), RoundHalfEven((100 - 51) * 600.0L / 254));
    doc.SetDestination(qrdPrinter);
    EXPECT_EQ(doc.LeftWaste(), 42);
    EXPECT_EQ(doc.TopWaste(), 51);
    doc.SetPaperSize(TQRPaperSize::Letter);
    doc.SetOrientation(poLandscape);
    EXPECT_EQ(doc.PaperWidthValue(), 2794);
    EXPECT_EQ(doc.PaperLengthValue(), 2159);
}

TEST_F(DocumentTest, NotificationsArePostedToTheClient)
{
    Backend.Activate();
    TQRPrinter doc;
    TMessageRecorder client;
    doc.SetAvailablePages(1); // no client: nothing to post to
    doc.SetClient(&client);
    doc.SetAvailablePages(3);
    doc.SetProgress(40);
    EXPECT_TRUE(client.Messages.empty()) << "posted, not sent";
    QCoreApplication::processEvents();
    ASSERT_EQ(client.Messages.size(), 2u);
    EXPECT_EQ(client.Messages[0].Msg, QRM_PAGES_AVAILABLE);
    EXPECT_EQ(client.Messages[0].WParam, 3);
    EXPECT_EQ(client.Messages[1].Msg, QRM_PROGRESS);
    EXPECT_EQ(client.Messages[1].WParam, 40);
}

TEST_F(DocumentTest, ClosingThePreviewFiresAfterPreviewOnceAndTellsTheMaster)
{
    Backend.Activate();
    TQRPrinter doc;
    int fired = 0;
    doc.SetAfterPreview([&fired](TQRPrinter*) { ++fired; });
    doc.ClosePreview(nullptr);
    EXPECT_EQ(fired, 0);
    doc.SetShowingPreview(true);
    TMessageRecorder master;
    doc.SetMaster(&master);
    doc.ClosePreview(nullptr);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(doc.ShowingPreview());
    ASSERT_EQ(master.Messages.size(), 1u) << "sent, not posted";
    EXPECT_EQ(master.Messages[0].Msg, QRM_PREVIEW_CLOSED);
    EXPECT_EQ(master.Messages[0].LParam, reinterpret_cast<qintptr>(&doc));
    EXPECT_FALSE(doc.Cancelled());
}

TEST_F(DocumentTest, ClosingThePreviewOfABusyDocumentCancelsItFirst)
{
    Backend.Activate();
    TQRPrinter doc;
    doc.BeginDoc();
    ASSERT_EQ(doc.Status(), mpBusy);
    bool cancelledBeforeEvent = false;
    doc.SetAfterPreview([&](TQRPrinter* Sender) { cancelledBeforeEvent = Sender->Cancelled(); });
    doc.SetShowingPreview(true);
    doc.SetShowingPreview(false);
    EXPECT_TRUE(cancelledBeforeEvent);
    doc.Cleanup();
    EXPECT_EQ(doc.Status(), mpReady);
    EXPECT_EQ(doc.GetPage(1), nullptr);
}

TEST_F(DocumentTest, SwitchingPrinterReadsTheNewPrintersDefaults)
{
    Backend.Add("first", AllFields, AllPaperCodes()).Defaults.dmCopies = 1;
    TPrinterCaps& second = Backend.Add("second", AllFields, {9, 11});
    second.Defaults.dmCopies = 7;
    second.Defaults.dmPaperSize = 11;
    second.DpiX = second.DpiY = 300;
    Backend.Activate();
    TQRPrinter doc;
    EXPECT_EQ(doc.PrinterIndex(), 0);
    doc.SetCopies(3);
    doc.SetPrinterIndex(-1);
    EXPECT_EQ(doc.Copies(), 3);
    doc.SetPrinterIndex(1);
    EXPECT_EQ(doc.PrinterIndex(), 1);
    EXPECT_EQ(doc.Copies(), 7);
    EXPECT_EQ(doc.PaperSize(), TQRPaperSize::A5);
    EXPECT_EQ(doc.aPrinterSettings->PixelsPerX(), 300);
    EXPECT_EQ(doc.Printers(), QStringList({"first", "second"}));
}

TEST_F(DocumentTest, ReportDefinitionSettingsTransferToTheDocument)
{
    Backend.Add("first", AllFields, AllPaperCodes());
    Backend.Add("second", AllFields & ~DM_DUPLEX, AllPaperCodes());
    Backend.Activate();
    TQRPrinter doc;
    TQRPrinterSettings defs;
    defs.PrinterIndex = 1;
    defs.PaperSize = TQRPaperSize::A3;
    defs.Copies = 2;
    defs.Duplex = true;
    defs.Orientation = poLandscape;
    defs.OutputBin = TQRBin::Manual;
    defs.Title = QStringLiteral("Invoices");
    defs.ApplySettings(doc);
    EXPECT_EQ(doc.PrinterIndex(), 1);
    EXPECT_EQ(doc.PaperSize(), TQRPaperSize::A3);
    EXPECT_EQ(doc.Copies(), 2);
    EXPECT_FALSE(doc.Duplex()) << "the second printer has no duplex";
    EXPECT_EQ(doc.Orientation(), poLandscape);
    EXPECT_EQ(doc.OutputBin(), TQRBin::Manual);
    EXPECT_EQ(doc.Title(), QStringLiteral("Invoices"));
}

class DetachingClient : public QObject, public TQRPrinterClient {
public:
    void DetachQRPrinter(TQRPrinter* Printer) override
    {
        Printer->SetShowingPreview(false);
        Printer->SetClient(nullptr);
        ++Detached;
    }
    int Detached = 0;
};

TEST_F(DocumentTest, DestroyingTheDocumentDetachesItsControl)
{
    Backend.Activate();
    DetachingClient client;
    int fired = 0;
    {
        TQRPrinter doc;
        doc.SetClient(&client);
        doc.SetShowingPreview(true);
        doc.SetAfterPreview([&fired](TQRPrinter*) { ++fired; });
    }
    EXPECT_EQ(client.Detached, 1);
    EXPECT_EQ(fired, 1);
}

} // namespace
