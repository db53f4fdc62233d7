// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/previewwindow.h"

#include "preview_helpers.h"
#include "app/pagebox.h"
#include "app/printjob.h"
#include "app/selectprinter.h"
#include "dialog_recorder.h"
#include "preview/qrpreview.h"
#include "preview/qrpreviewimage.h"
#include "printer/qrprinter.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class PreviewWindowTest : public ::testing::Test {
protected:
    TfrmZozEdezaPreview* Open(TQRPrinter* Printer)
    {
        auto* window = new TfrmZozEdezaPreview(nullptr, Printer);
        Windows << window;
        return window;
    }
    void TearDown() override
    {
        for (const QPointer<TfrmZozEdezaPreview>& w : Windows)
            delete w.data();
    }
    // Documents outlive the windows that show them.
    TQRPrinter* Keep(std::unique_ptr<TQRPrinter> Document)
    {
        Documents.push_back(std::move(Document));
        return Documents.back().get();
    }
    std::vector<std::unique_ptr<TQRPrinter>> Documents;
    QList<QPointer<TfrmZozEdezaPreview>> Windows;
    TDialogRecorder Dialogs;
};

} // namespace

TEST_F(PreviewWindowTest, HasTheButtonRowCaptionsAndTabOrder)
{
    TfrmZozEdezaPreview* w = Open(nullptr);
    w->show();
    EXPECT_EQ(w->windowTitle(), "Rapor Onizleme");
    EXPECT_EQ(w->size(), QSize(686, 447));
    EXPECT_TRUE(w->testAttribute(Qt::WA_DeleteOnClose));
    // A row of equal buttons along the top panel, left to right in this order.
    const QList<QPushButton*> row = {w->btnPrint,   w->btnPrevPage, w->btnNextPage, w->btnZoomIn,
                                     w->btnZoomOut, w->btnOpen,     w->btnClose};
    EXPECT_EQ(w->Panel1->findChildren<QPushButton*>().size(), row.size());
    int right = 2;
    for (QPushButton* b : row) {
        EXPECT_EQ(b->parentWidget(), w->Panel1);
        // Without a document neither a page button nor printing can act (the
        // design starts them enabled).
        EXPECT_EQ(b->isEnabled(), b != w->btnPrevPage && b != w->btnNextPage && b != w->btnPrint)
            << b->text().toStdString();
        EXPECT_EQ(b->size(), QSize(75, 25)) << b->text().toStdString();
        EXPECT_EQ(b->y(), 0);
        EXPECT_GE(b->x(), right + 1) << b->text().toStdString(); // none overlaps the one before
        EXPECT_LE(b->x(), right + 2) << b->text().toStdString(); // nor leaves more than a pixel
        right = b->geometry().right();
    }
    EXPECT_EQ(w->Panel1->geometry(), QRect(0, 0, 686, 24));
    EXPECT_EQ(w->QRPreview1->geometry(), QRect(0, 24, 686, 423));

    QList<QWidget*> chain;
    QWidget* at = w->btnPrint;
    do {
        if (at->focusPolicy() & Qt::TabFocus)
            chain << at;
        at = at->nextInFocusChain();
    } while (at != w->btnPrint);
    // The page box, added beside the design's controls, comes last.
    const QList<QWidget*> expected = {w->btnPrint, w->btnNextPage, w->btnPrevPage, w->btnZoomIn,       w->btnZoomOut,
                                      w->btnClose, w->btnOpen,     w->QRPreview1,  w->PageBox->Field()};
    EXPECT_EQ(chain, expected);
}

// Each caption names what its button does.
TEST_F(PreviewWindowTest, EachButtonDoesWhatItsCaptionSays)
{
    TQRPrinter* document = Keep(LoadedDocument(WriteA4Report("captions-3.qrp", 3)));
    TfrmZozEdezaPreview* w = Open(document);
    w->show();
    auto button = [w](const char* Caption) {
        for (QPushButton* b : w->Panel1->findChildren<QPushButton*>())
            if (b->text() == Caption)
                return b;
        ADD_FAILURE() << "no button \"" << Caption << "\"";
        return static_cast<QPushButton*>(nullptr);
    };
    auto press = [&button](const char* Caption) {
        if (QPushButton* b = button(Caption))
            QTest::mouseClick(b, Qt::LeftButton);
    };
    press("Sonraki Sayfa");
    EXPECT_EQ(w->QRPreview1->PageNumber(), 2);
    press("Onceki Sayfa");
    EXPECT_EQ(w->QRPreview1->PageNumber(), 1);
    w->QRPreview1->SetZoom(100);
    press("Rapor Buyut");
    EXPECT_EQ(w->QRPreview1->Zoom(), 110);
    press("Rapor Kucult");
    EXPECT_EQ(w->QRPreview1->Zoom(), 100);

    int asked = 0;
    SetSelectPrinterRunner([&asked](TfrmSelectPrinter&) {
        ++asked;
        return int(QDialog::Rejected);
    });
    press("&Yazdir"); // asks for a printer, or says there is none
    EXPECT_EQ(asked + Dialogs.Messages.size(), 1) << Dialogs.Messages.join('\n').toStdString();
    SetSelectPrinterRunner(nullptr);

    press("Rapor &Ac"); // the answer is none: nothing opens
    EXPECT_EQ(Dialogs.DialogTitles, QStringList{"Rapor Yükle"});
    EXPECT_EQ(document->PageCount(), 3);

    press("Cikis");
    EXPECT_FALSE(document->ShowingPreview());
}

TEST_F(PreviewWindowTest, CaptionIsTheDocumentTitleWhenItHasOne)
{
    TQRPrinter* document = Keep(std::make_unique<TQRPrinter>(nullptr));
    document->SetTitle("Sales");
    EXPECT_EQ(Open(document)->windowTitle(), "Sales");
    document->SetTitle("");
    EXPECT_EQ(Open(document)->windowTitle(), "Rapor Onizleme");
}

TEST_F(PreviewWindowTest, PageAvailableCaptionCountsPagesAndStatus)
{
    TQRPrinter* document = Keep(LoadedDocument(WriteA4Report("caption-a4.qrp", 3)));
    document->SetTitle("Sales");
    TfrmZozEdezaPreview* w = Open(document);
    w->QRPreview1PageAvailable(w->QRPreview1, 12);
    EXPECT_EQ(w->windowTitle(), "Sales - 12 pages FINISHED");
    document->SetTitle("");
    w->QRPreview1PageAvailable(w->QRPreview1, 1);
    EXPECT_EQ(w->windowTitle(), " - 1 page FINISHED");
}

TEST_F(PreviewWindowTest, NavigationButtonsFollowThePage)
{
    TQRPrinter* one = Keep(LoadedDocument(WriteA4Report("nav-one.qrp", 1)));
    TfrmZozEdezaPreview* w = Open(one);
    // Enabled exactly when they can act, from the start.
    EXPECT_FALSE(w->btnPrevPage->isEnabled());
    EXPECT_FALSE(w->btnNextPage->isEnabled());
    w->btnNextPage->click();
    EXPECT_FALSE(w->btnPrevPage->isEnabled());
    EXPECT_FALSE(w->btnNextPage->isEnabled());

    TQRPrinter* three = Keep(LoadedDocument(WriteA4Report("nav-three.qrp", 3)));
    TfrmZozEdezaPreview* v = Open(three);
    EXPECT_FALSE(v->btnPrevPage->isEnabled());
    EXPECT_TRUE(v->btnNextPage->isEnabled());
    v->btnPrevPage->click();
    EXPECT_EQ(v->QRPreview1->PageNumber(), 1);
    EXPECT_FALSE(v->btnPrevPage->isEnabled());
    EXPECT_TRUE(v->btnNextPage->isEnabled());
    v->btnNextPage->click();
    v->btnNextPage->click();
    EXPECT_EQ(v->QRPreview1->PageNumber(), 3);
    EXPECT_FALSE(v->btnNextPage->isEnabled());
    v->FirstPage();
    EXPECT_EQ(v->QRPreview1->PageNumber(), 1);
    v->LastPage();
    EXPECT_EQ(v->QRPreview1->PageNumber(), 3);
}

TEST_F(PreviewWindowTest, ZoomButtonsStepByTenWithinBounds)
{
    TfrmZozEdezaPreview* w = Open(nullptr);
    const struct {
        int From;
        bool In;
        int To;
    } steps[] = {{100, false, 90}, {20, false, 10}, {10, false, 10},    {57, false, 47},    {17, false, 7},
                 {15, false, 5},   {5, false, 5},   {1995, true, 1995}, {1990, true, 2000}, {100, true, 110}};
    for (const auto& s : steps) {
        w->QRPreview1->SetZoom(s.From);
        (s.In ? w->btnZoomIn : w->btnZoomOut)->click();
        EXPECT_EQ(w->QRPreview1->Zoom(), s.To) << s.From << (s.In ? " in" : " out");
    }
    EXPECT_EQ(w->QRPreview1->ZoomState(), qrZoomOther);
}

TEST_F(PreviewWindowTest, OpeningAShorterReportOnPage7ShowsItsPage1)
{
    TQRPrinter* document = Keep(LoadedDocument(WriteA4Report("long-9.qrp", 9)));
    TfrmZozEdezaPreview* w = Open(document);
    w->QRPreview1->SetPageNumber(7);
    Dialogs.Answer = WriteA4Report("short-2.qrp", 2);
    w->btnOpen->click();
    EXPECT_EQ(Dialogs.DialogTitles, QStringList{"Rapor Yükle"});
    EXPECT_EQ(Dialogs.DialogFilters, QStringList{"Rapor Dosyası (*.QRP *.qrp *.emf *.EMF)"});
    // The window reads the new report into a document of its own.
    EXPECT_EQ(w->QRPrinter()->PageCount(), 2);
    EXPECT_EQ(document->PageCount(), 9);
    EXPECT_EQ(w->QRPreview1->PageNumber(), 1);
    EXPECT_TRUE(w->QRPreview1->PreviewImage()->ImageOK());
    EXPECT_FALSE(w->btnPrevPage->isEnabled());
    EXPECT_TRUE(w->btnNextPage->isEnabled());
}

TEST_F(PreviewWindowTest, OpeningAReportOnOtherPaperReshapesThePage)
{
    TQRPrinter* document = Keep(LoadedDocument(WriteA4Report("portrait.qrp", 1)));
    TfrmZozEdezaPreview* w = Open(document);
    w->QRPreview1->SetZoom(50);
    ASSERT_LT(w->QRPreview1->PreviewImage()->width(), w->QRPreview1->PreviewImage()->height());
    Dialogs.Answer = WriteTestReport("landscape.qrp", {{1123, 794}});
    w->btnOpen->click();
    EXPECT_GT(w->QRPreview1->PreviewImage()->width(), w->QRPreview1->PreviewImage()->height());
    EXPECT_EQ(w->QRPreview1->Zoom(), 50);
}

TEST_F(PreviewWindowTest, MissingOrDamagedFilesAreReportedAndChangeNothing)
{
    TQRPrinter* document = Keep(LoadedDocument(WriteA4Report("kept-4.qrp", 4)));
    TfrmZozEdezaPreview* w = Open(document);
    Dialogs.Answer = QString("/nonexistent/folder/none.qrp");
    w->btnOpen->click();
    EXPECT_EQ(Dialogs.Messages, QStringList{"Dosya bulunamadı."});
    EXPECT_EQ(document->PageCount(), 4);

    const QString damaged = WriteA4Report("damaged.qrp", 1);
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a report at all");
    file.close();
    Dialogs.Answer = damaged;
    w->btnOpen->click();
    ASSERT_EQ(Dialogs.Messages.size(), 2);
    EXPECT_FALSE(Dialogs.Messages[1].isEmpty());
    EXPECT_NE(Dialogs.Messages[1], "Dosya bulunamadı.");
}

// Unlike the shared document of the design, a report opened in one window
// never reaches another.
TEST_F(PreviewWindowTest, TwoWindowsOnOneDocumentKeepItWhenOneOpensAnotherReport)
{
    TQRPrinter* document = Keep(LoadedDocument(WriteA4Report("shared-6.qrp", 6)));
    TQRQRPPreviewInterface factory;
    auto* first = static_cast<TfrmZozEdezaPreview*>(factory.Show(document));
    auto* second = static_cast<TfrmZozEdezaPreview*>(factory.Show(document));
    Windows << first << second;
    EXPECT_EQ(document->Client(), second->QRPreview1);
    Dialogs.Answer = WriteA4Report("shared-3.qrp", 3);
    second->btnOpen->click();
    EXPECT_EQ(first->QRPrinter(), document);
    EXPECT_EQ(document->PageCount(), 6);
    EXPECT_EQ(second->QRPrinter()->PageCount(), 3);
    first->QRPreview1->SetPageNumber(6);
    EXPECT_EQ(first->QRPreview1->PageNumber(), 6);
    second->QRPreview1->SetPageNumber(4);
    EXPECT_EQ(second->QRPreview1->PageNumber(), 1);
}

TEST_F(PreviewWindowTest, ClosingTellsTheDocumentAndFreesTheWindow)
{
    TQRPrinter* document = Keep(LoadedDocument(WriteA4Report("close-2.qrp", 2)));
    QPointer<TfrmZozEdezaPreview> w = Open(document);
    w->show();
    EXPECT_TRUE(document->ShowingPreview());
    w->btnClose->click();
    EXPECT_FALSE(document->ShowingPreview());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(document->Client(), nullptr);
}
