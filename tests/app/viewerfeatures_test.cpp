// SPDX-License-Identifier: GPL-3.0-or-later
// What the viewer offers beside the design's controls: the page box, fit
// keys, the page menu, bare EMF files, dropped files, remembered windows
// and recent files, and export.
#include "app/exportdialog.h"
#include "app/mainwindow.h"
#include "app/pagebox.h"
#include "app/pageexport.h"
#include "app/previewwindow.h"
#include "app/thumbnailpanel.h"
#include "app/viewersettings.h"

#include "eventually.h"
#include "preview_helpers.h"
#include "dialog_recorder.h"
#include "platform/metafile.h"
#include "preview/qrpreview.h"
#include "preview/qrpreviewimage.h"
#include "printer/demoreport.h"
#include "printer/qrprinter.h"
#include "report_helpers.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ViewerFeaturesTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_DATA_HOME", Folder.path().toUtf8()); }
    void TearDown() override
    {
        qDeleteAll(TfrmZozEdezaPreview::OpenWindows());
        // A slow run may remember a size a test gave its window.
        SetPreviewGeometry(QByteArray());
        SetGdiTextView(false);
        qunsetenv("XDG_DATA_HOME");
    }
    TfrmZozEdezaPreview* OpenActive(TQRPrinter* Document)
    {
        auto* w = new TfrmZozEdezaPreview(nullptr, Document);
        w->show();
        QApplication::setActiveWindow(w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        return w;
    }
    // A dropped file, as the window system delivers it.
    static void Drop(QWidget* Target, const QString& File)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(File)});
        const QPoint at = Target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Target, &drop);
    }
    QString WriteEmf(const QString& Name)
    {
        const QString path = Folder.filePath(Name);
        BlankPage(1123, 794)->SaveToFile(path.toStdString());
        return path;
    }

    QTemporaryDir Folder;
    TDialogRecorder Dialogs;
};

} // namespace

TEST_F(ViewerFeaturesTest, PageBoxGoesToATypedPageAndFollowsEveryPageChange)
{
    auto document = LoadedDocument(WriteA4Report("box-5.qrp", 5));
    TfrmZozEdezaPreview* w = OpenActive(document.get());
    QLineEdit* field = w->PageBox->Field();
    EXPECT_EQ(field->text(), "1");
    QTest::mouseClick(field, Qt::LeftButton);
    field->selectAll();
    QTest::keyClicks(field, "4");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(w->QRPreview1->PageNumber(), 4);
    EXPECT_EQ(field->text(), "4");
    QTest::mouseClick(w->btnNextPage, Qt::LeftButton);
    EXPECT_EQ(field->text(), "5");
    QTest::keyClick(w, Qt::Key_Home);
    EXPECT_EQ(field->text(), "1");
    // A page outside the report changes nothing.
    QTest::mouseClick(field, Qt::LeftButton);
    field->selectAll();
    QTest::keyClicks(field, "77");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(w->QRPreview1->PageNumber(), 1);
    EXPECT_EQ(field->text(), "1");
    EXPECT_EQ(w->windowTitle(), "Rapor Onizleme — box-5.qrp");
    // ... and says so, as it does for page 0, until the field is edited.
    EXPECT_TRUE(w->PageBox->Refused());
    EXPECT_NE(field->palette().color(QPalette::Base), QApplication::palette(field).color(QPalette::Base));
    QTest::keyClicks(field, "3");
    EXPECT_FALSE(w->PageBox->Refused());
    field->selectAll();
    QTest::keyClicks(field, "0");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(w->PageBox->Refused());
    EXPECT_EQ(w->QRPreview1->PageNumber(), 1);
}

TEST_F(ViewerFeaturesTest, FitKeysAndThePageMenuZoomAndTurnPages)
{
    auto document = LoadedDocument(WriteA4Report("fit-3.qrp", 3));
    TfrmZozEdezaPreview* w = OpenActive(document.get());
    w->resize(1200, 900);
    QTest::keyClick(w, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(w->QRPreview1->ZoomState(), qrZoomToFit);
    EXPECT_LE(w->QRPreview1->PreviewImage()->height(), w->QRPreview1->height());
    QTest::keyClick(w, Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(w->QRPreview1->ZoomState(), qrZoomToWidth);
    EXPECT_GT(w->QRPreview1->PreviewImage()->width(), w->QRPreview1->width() * 8 / 10);
    QTest::keyClick(w, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(w->QRPreview1->Zoom(), 100);
    EXPECT_EQ(w->QRPreview1->ZoomState(), qrZoomOther);

    // A right click on the page opens the menu; its entries act.
    QWidget* image = w->QRPreview1->PreviewImage();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 20), image->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(image, &click);
    QMenu* menu = w->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    QAction* next = nullptr;
    for (QAction* a : menu->actions()) {
        texts << a->text().remove(QLatin1Char('&'));
        if (texts.last() == QStringLiteral("Sonraki Sayfa"))
            next = a;
    }
    for (const char* expected : {"Gerçek Boyut", "Sayfaya Sığdır", "Genişliğe Sığdır", "Önceki Sayfa", "Yazdır...",
                                 "Dışa Aktar...", "Sayfayı Resim Olarak Kopyala"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected;
    ASSERT_NE(next, nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(next).center());
    EXPECT_EQ(w->QRPreview1->PageNumber(), 2);
}

TEST_F(ViewerFeaturesTest, TheGdiViewEntryRedrawsThePageAndIsRemembered)
{
    const QString sample = Folder.filePath("gdi-1.qrp");
    SaveDemoReport(sample, 1);
    auto document = LoadedDocument(sample);
    TfrmZozEdezaPreview* w = OpenActive(document.get());
    TQRPreviewImage* image = w->QRPreview1->PreviewImage();
    // The page is drawn on a thread: the first grab asks for it.
    const auto drawn = [image] {
        image->grab();
        image->WaitForDrawing();
        return image->grab().toImage();
    };
    const QImage smooth = drawn();
    auto pick = [&] {
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 20), image->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(image, &click);
        QMenu* menu = w->findChild<QMenu*>();
        EXPECT_NE(menu, nullptr);
        QAction* entry = menu ? menu->findChild<QAction*>(QStringLiteral("gdiTextAction")) : nullptr;
        EXPECT_NE(entry, nullptr);
        if (!entry)
            return false;
        const bool was = entry->isChecked();
        EXPECT_EQ(entry->text(), QString::fromUtf8("Windows görünümü (GDI)"));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        delete menu;
        return was;
    };
    EXPECT_FALSE(pick());
    EXPECT_TRUE(GdiTextView());
    const QImage gdi = drawn();
    EXPECT_NE(gdi, smooth);
    // A window opened now shows the remembered view; turned off again, the
    // smoothed page comes back.
    auto second = LoadedDocument(WriteA4Report("gdi-2.qrp", 1));
    TfrmZozEdezaPreview* w2 = OpenActive(second.get());
    EXPECT_TRUE(w2->QRPreview1->PreviewImage()->GdiText());
    EXPECT_TRUE(pick());
    EXPECT_FALSE(GdiTextView());
    EXPECT_EQ(drawn(), smooth);
}

TEST_F(ViewerFeaturesTest, ABareEmfOpensAsOnePageWhateverItsName)
{
    const QString emf = WriteEmf("picture.bin");
    TQRPrinter document;
    TfrmZozEdezaPreview* w = OpenActive(&document);
    Drop(w, emf);
    EXPECT_EQ(w->QRPrinter()->PageCount(), 1);
    EXPECT_TRUE(w->QRPreview1->PreviewImage()->ImageOK());
    EXPECT_GT(w->QRPreview1->PreviewImage()->width(), w->QRPreview1->PreviewImage()->height());
    EXPECT_EQ(RecentFiles().value(0), emf);

    Tfrmzizarud main({WriteEmf("page.emf")});
    main.show();
    ASSERT_NE(main.QRPrinter(), nullptr);
    EXPECT_EQ(main.QRPrinter()->PageCount(), 1);
    EXPECT_TRUE(Dialogs.Messages.isEmpty()) << Dialogs.Messages.join('\n').toStdString();
}

TEST_F(ViewerFeaturesTest, AFileDroppedOnTheMainWindowOpensAPreview)
{
    Dialogs.Answer.reset();
    Tfrmzizarud main;
    main.show();
    const QString report = WriteA4Report("dropped-2.qrp", 2);
    Drop(&main, report);
    ASSERT_EQ(TfrmZozEdezaPreview::OpenWindows().size(), 1);
    EXPECT_EQ(main.QRPrinter()->PageCount(), 2);
    EXPECT_EQ(RecentFiles().value(0), report);
    EXPECT_FALSE(main.RecentMenu->actions().isEmpty());
    EXPECT_TRUE(main.RecentMenu->actions().first()->text().endsWith(report));
}

TEST_F(ViewerFeaturesTest, TheNextPreviewOpensAtTheSizeTheUserGaveTheLastOne)
{
    auto document = LoadedDocument(WriteA4Report("size-1.qrp", 1));
    QPointer<TfrmZozEdezaPreview> first = OpenActive(document.get());
    EXPECT_EQ(first->size(), QSize(686, 447));
    first->resize(900, 700);
    QTest::keyClick(first->btnClose, Qt::Key_Space);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(first.isNull());
    TfrmZozEdezaPreview* second = OpenActive(document.get());
    EXPECT_EQ(second->size(), QSize(900, 700));
    SetPreviewGeometry(QByteArray());
}

TEST_F(ViewerFeaturesTest, PdfExportKeepsTextAndACancelledOneLeavesNothing)
{
    TQRPrinter document;
    TDemoReportOptions options;
    options.Pages = 4;
    ProduceDemoReport(document, options);
    QTemporaryDir out;
    const QString pdf = out.filePath("sales.pdf");
    ASSERT_TRUE(ExportPdf(document, 2, 3, pdf));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 2);
    EXPECT_TRUE(bytes.contains("/FontFile2") || bytes.contains("/Type /Font")) << "text drawn as text";

    const QString cancelled = out.filePath("cancelled.pdf");
    int calls = 0;
    EXPECT_FALSE(ExportPdf(document, 1, 4, cancelled, [&calls](int Done, int Total) {
        ++calls;
        EXPECT_EQ(Total, 4);
        return Done < 2;
    }));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{"sales.pdf"});

    // The window's choices reach the same export.
    TExportDialog choice(nullptr, document.PageCount(), 3);
    QTest::mouseClick(choice.rbPng, Qt::LeftButton);
    ASSERT_TRUE(RunExport(nullptr, document, choice, 3, out.filePath("page3.png")));
    const QImage png(out.filePath("page3.png"));
    EXPECT_NEAR(png.width(), 210 / 25.4 * 150, 1);
    choice.rbCopy->setChecked(true);
    ASSERT_TRUE(RunExport(nullptr, document, choice, 3, out.filePath("copy.qrp")));
    EXPECT_EQ(LoadedDocument(out.filePath("copy.qrp"))->PageCount(), 4);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files).size(), 3);
}

TEST_F(ViewerFeaturesTest, F4ShowsThumbnailsThatTurnPagesAndFollowTheCurrentOne)
{
    TQRPrinter document;
    TDemoReportOptions options;
    options.Pages = 6;
    ProduceDemoReport(document, options);
    TfrmZozEdezaPreview* w = OpenActive(&document);
    TThumbnailPanel* panel = w->Thumbnails;
    EXPECT_FALSE(panel->isVisible());
    QTest::keyClick(w, Qt::Key_F4);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->model()->rowCount(), 6);
    EXPECT_EQ(panel->currentIndex().row(), 0);
    // Pictures arrive from the worker for the rows on screen.
    ASSERT_TRUE(Eventually([&] { return panel->model()->index(0, 0).data(Qt::DecorationRole).canConvert<QImage>(); }));
    EXPECT_FALSE(panel->model()->index(0, 0).data(Qt::DecorationRole).value<QImage>().isNull());
    EXPECT_LE(panel->Model()->CachedBytes(), TThumbnailModel::CacheBudget);

    const QRect third = panel->visualRect(panel->model()->index(2, 0));
    ASSERT_TRUE(panel->viewport()->rect().contains(third.center()));
    QTest::mouseClick(panel->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(w->QRPreview1->PageNumber(), 3);
    QTest::keyClick(panel, Qt::Key_End);
    EXPECT_EQ(panel->currentIndex().row(), 5);
    EXPECT_EQ(w->QRPreview1->PageNumber(), 6);
    QTest::mouseClick(w->btnPrevPage, Qt::LeftButton);
    EXPECT_EQ(panel->currentIndex().row(), 4);
    QTest::keyClick(w, Qt::Key_F4);
    EXPECT_FALSE(panel->isVisible());
    panel->Model()->WaitForWork();
}

TEST(ThumbnailPanel, AReportOfManyPagesGetsRowsAsTheViewReachesThemAndSkipsPagesThatCannotBeRead)
{
    // Three pages, then twenty thousand records of four zero bytes: a million-page report
    // at small scale, whose empty pages have nothing to draw.
    QTemporaryDir dir;
    const std::string file = dir.filePath(QStringLiteral("many.qrp")).toStdString();
    std::vector<Bytes> pages(3, BlankPage(100, 140)->Data());
    pages.resize(20003, Bytes(4, 0));
    WriteFileBytes(file, MakeReport(128, pages, false));
    auto document = LoadedDocument(QString::fromStdString(file));
    ASSERT_EQ(document->PageCount(), 20003);

    TThumbnailPanel panel;
    panel.resize(150, 400);
    panel.SetDocument(document.get());
    panel.show();
    QCoreApplication::processEvents();
    EXPECT_LE(panel.model()->rowCount(), TThumbnailModel::RowBatch);
    // Scrolled to the end: rows come a batch at a time.
    for (int i = 0; i < 3; ++i) {
        panel.verticalScrollBar()->setValue(panel.verticalScrollBar()->maximum());
        QCoreApplication::processEvents();
    }
    EXPECT_LE(panel.model()->rowCount(), 4 * TThumbnailModel::RowBatch);
    EXPECT_GT(panel.model()->rowCount(), TThumbnailModel::RowBatch);
    panel.ShowCurrentPage(20003);
    EXPECT_EQ(panel.model()->rowCount(), 20003);
    EXPECT_EQ(panel.currentIndex().row(), 20002);
    QCoreApplication::processEvents();
    EXPECT_FALSE(panel.model()->index(20002, 0).data(Qt::DecorationRole).isValid());
    // The real pages are drawn once back in sight.
    panel.Model()->WaitForWork();
    panel.scrollToTop();
    ASSERT_TRUE(Eventually([&] { return panel.model()->index(2, 0).data(Qt::DecorationRole).canConvert<QImage>(); }));
    EXPECT_LE(panel.Model()->CachedBytes(), TThumbnailModel::CacheBudget);
}
