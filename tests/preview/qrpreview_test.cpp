// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qrpreview.h"

#include "preview/qrpreviewimage.h"
#include "preview_helpers.h"
#include "printer/previewinterface.h"
#include "printer/qrprinter.h"

#include <QCoreApplication>
#include <QPointer>
#include <gtest/gtest.h>

TEST(PreviewZoom, IgnoresZoomOutside2To2000StateIncluded)
{
    TQRPreview preview;
    preview.ZoomToFit();
    const int fitted = preview.Zoom();
    for (int rejected : {1, 2001, 0, -5}) {
        preview.SetZoom(rejected);
        EXPECT_EQ(preview.Zoom(), fitted);
        EXPECT_EQ(preview.ZoomState(), qrZoomToFit);
    }
    preview.SetZoom(2);
    EXPECT_EQ(preview.Zoom(), 2);
    EXPECT_EQ(preview.ZoomState(), qrZoomOther);
    preview.SetZoom(2000);
    EXPECT_EQ(preview.Zoom(), 2000);
    EXPECT_EQ(preview.PreviewImage()->Zoom(), 2000);
}

TEST(PreviewZoom, FitsTheDefaultPageInA686x423Control)
{
    TQRPreview preview;
    preview.resize(686, 423);
    preview.ZoomToFit();
    EXPECT_EQ(preview.Zoom(), 144);
    EXPECT_EQ(preview.ZoomState(), qrZoomToFit);
    EXPECT_EQ(preview.PreviewImage()->size(), QSize(315, 406));
    EXPECT_EQ(preview.PreviewImage()->pos(), QPoint(185, 8));
}

TEST(PreviewZoom, TooSmallAControlKeepsTheZoomButReportsFit)
{
    TQRPreview preview;
    preview.resize(686, 423);
    preview.SetZoom(57);
    preview.resize(3, 3);
    preview.ZoomToFit();
    EXPECT_EQ(preview.Zoom(), 57);
    EXPECT_EQ(preview.ZoomState(), qrZoomToFit);
}

TEST(PreviewZoom, ResizeRecentresAFixedZoomAndRefitsAFittedOne)
{
    TQRPreview preview;
    preview.resize(686, 423);
    preview.SetZoom(50);
    preview.resize(800, 600);
    preview.ReapplyZoom();
    EXPECT_EQ(preview.Zoom(), 50);
    EXPECT_EQ(preview.PreviewImage()->x(), (800 - preview.PreviewImage()->width()) / 2);
    preview.ZoomToFit();
    const int fitted = preview.Zoom();
    preview.resize(400, 300);
    preview.ReapplyZoom();
    EXPECT_LT(preview.Zoom(), fitted);
    EXPECT_EQ(preview.ZoomState(), qrZoomToFit);
}

TEST(PreviewZoom, FitToWidthUses90PercentWithADocumentAnd95Without)
{
    TQRPreview preview;
    preview.resize(686, 423);
    preview.ZoomToWidth();
    EXPECT_EQ(preview.Zoom(), 302); // 686 / 215.9 * 95
    EXPECT_EQ(preview.ZoomState(), qrZoomToWidth);

    auto document = LoadedDocument(WriteA4Report("width-a4.qrp", 1));
    preview.SetQRPrinter(document.get());
    preview.ZoomToWidth();
    const int pageWidth = document->XSize(document->PaperWidthValue());
    EXPECT_EQ(preview.Zoom(), qRound(686.0 / pageWidth * 90));
    preview.SetQRPrinter(nullptr);
}

class PreviewDocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Document = LoadedDocument(WriteA4Report("five-a4.qrp", 5));
        Preview.OnPageAvailable = [this](TQRPreview*, int PageNum) { Available.push_back(PageNum); };
        Preview.OnProgressUpdate = [this](TQRPreview*, int Progress) { ProgressSeen.push_back(Progress); };
    }
    void TearDown() override { Preview.SetQRPrinter(nullptr); }

    std::unique_ptr<TQRPrinter> Document;
    TQRPreview Preview;
    std::vector<int> Available, ProgressSeen;
};

TEST_F(PreviewDocumentTest, AttachingShowsPageOneAndMakesTheControlTheClient)
{
    Preview.SetQRPrinter(Document.get());
    EXPECT_EQ(Document->Client(), &Preview);
    EXPECT_TRUE(Document->ShowingPreview());
    EXPECT_EQ(Preview.PageNumber(), 1);
    EXPECT_TRUE(Preview.PreviewImage()->ImageOK());
    Preview.SetQRPrinter(nullptr);
    EXPECT_EQ(Document->Client(), nullptr);
    EXPECT_FALSE(Document->ShowingPreview());
    EXPECT_FALSE(Preview.PreviewImage()->ImageOK());
}

// Without a preview of the application's own, the library's window shows
// the document in a preview control from page 1.
TEST_F(PreviewDocumentTest, StandardPreviewWindowShowsPageOneInAPreviewControl)
{
    SetPreviewFactoryClass(nullptr);
    Document->Preview();
    QPointer<QWidget> window = Document->PreviewControl();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), "Print Preview");
    auto* control = window->findChild<TQRPreview*>();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(Document->Client(), control);
    EXPECT_EQ(control->PageNumber(), 1);
    EXPECT_TRUE(control->PreviewImage()->ImageOK());
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window);
    EXPECT_FALSE(Document->ShowingPreview());
    EXPECT_EQ(Document->Client(), nullptr);
}

TEST_F(PreviewDocumentTest, PageNumberStaysWithinTheDocument)
{
    Preview.SetQRPrinter(Document.get());
    for (int ignored : {0, -1, 6})
        Preview.SetPageNumber(ignored);
    EXPECT_EQ(Preview.PageNumber(), 1);
    Preview.SetPageNumber(5);
    EXPECT_EQ(Preview.PageNumber(), 5);
    EXPECT_EQ(Preview.PreviewImage()->PageNumber(), 5);
}

TEST_F(PreviewDocumentTest, PagesAvailableForTheCurrentPageLoadsAMissingImage)
{
    Preview.SetQRPrinter(Document.get());
    // The page was not there yet when the control asked for it.
    Preview.PreviewImage()->SetQRPrinter(nullptr);
    Preview.PreviewImage()->SetPageNumber(1);
    Preview.PreviewImage()->SetQRPrinter(Document.get());
    ASSERT_FALSE(Preview.PreviewImage()->ImageOK());

    Document->SetAvailablePages(2); // posts for page 2, not ours
    QCoreApplication::processEvents();
    EXPECT_EQ(Available, std::vector<int>{2});
    EXPECT_FALSE(Preview.PreviewImage()->ImageOK());
    PostQRMessage(&Preview, QRM_PAGES_AVAILABLE, 1, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(Available, (std::vector<int>{2, 1}));
    EXPECT_TRUE(Preview.PreviewImage()->ImageOK());
}

TEST_F(PreviewDocumentTest, MessagesUseTheLow16BitsOfWParam)
{
    Preview.SetQRPrinter(Document.get());
    PostQRMessage(&Preview, QRM_PROGRESS, 0x10032, 0);
    PostQRMessage(&Preview, QRM_PAGES_AVAILABLE, 0x20003, 0);
    PostQRMessage(&Preview, QRM_PREVIEW_CLOSED, 1, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(ProgressSeen, std::vector<int>{0x32});
    EXPECT_EQ(Available, std::vector<int>{3});
}

TEST_F(PreviewDocumentTest, SecondControlTakesOverNotificationsAndTheFirstKeepsItsPage)
{
    TQRPreview second;
    std::vector<int> secondAvailable;
    second.OnPageAvailable = [&](TQRPreview*, int PageNum) { secondAvailable.push_back(PageNum); };
    Preview.SetQRPrinter(Document.get());
    second.SetQRPrinter(Document.get());
    EXPECT_EQ(Document->Client(), &second);
    Document->SetAvailablePages(4);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Available.empty());
    EXPECT_EQ(secondAvailable, std::vector<int>{4});
    Preview.SetQRPrinter(nullptr); // not the client: leaves the document alone
    EXPECT_EQ(Document->Client(), &second);
    EXPECT_TRUE(Document->ShowingPreview());
    second.SetQRPrinter(nullptr);
}

TEST_F(PreviewDocumentTest, DocumentGoingAwayDetachesEveryControlShowingIt)
{
    // Two windows on one document: only the second is its client, but the
    // first must not keep pointing at a freed document either.
    TQRPreview second;
    Preview.SetQRPrinter(Document.get());
    second.SetQRPrinter(Document.get());
    Document.reset();
    for (TQRPreview* control : {&Preview, &second}) {
        EXPECT_EQ(control->QRPrinter(), nullptr);
        EXPECT_EQ(control->PreviewImage()->QRPrinter(), nullptr);
    }
}

TEST_F(PreviewDocumentTest, ImageFollowsThePaperOfTheDocument)
{
    Preview.resize(686, 423);
    Preview.SetQRPrinter(Document.get());
    Preview.SetZoom(100);
    const QSize a4 = Preview.PreviewImage()->size();
    EXPECT_EQ(a4.width(), Document->XSize(2100) + 4);
    EXPECT_EQ(a4.height(), Document->YSize(2970) + 4);
}
