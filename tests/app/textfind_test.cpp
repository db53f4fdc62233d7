// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's find bar and text copy, driven by keys and the mouse.
#include "app/previewwindow.h"

#include "eventually.h"
#include "preview_helpers.h"
#include "platform/emftext/emftext.h"
#include "platform/metafile.h"
#include "preview/findbar.h"
#include "preview/qrpreview.h"
#include "preview/qrpreviewimage.h"
#include "preview/textselection.h"
#include "printer/demoreport.h"
#include "printer/qrprinter.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class TextFindTest : public ::testing::Test {
protected:
    TfrmZozEdezaPreview* OpenDemo(int Pages)
    {
        const QString file = Dir.filePath(QStringLiteral("demo-%1.qrp").arg(Pages));
        if (!QFile::exists(file))
            SaveDemoReport(file, Pages);
        Document = LoadedDocument(file);
        Window = new TfrmZozEdezaPreview(nullptr, Document.get());
        Window->show();
        Window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Window));
        return Window;
    }
    void TearDown() override { delete Window.data(); }

    // Pixels of the page image inside its page-coordinate box that show the
    // current hit's orange.
    int OrangeIn(const QRectF& PageBox)
    {
        TQRPreviewImage* image = Window->QRPreview1->PreviewImage();
        const double s = double(image->width()) / image->Metafile()->Width();
        const QRect r = QRectF(PageBox.x() * s, PageBox.y() * s, PageBox.width() * s, PageBox.height() * s).toRect();
        const QImage shot = image->grab().toImage();
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                n += c.red() > 200 && c.green() > 120 && c.green() < 220 && c.blue() < 170;
            }
        return n;
    }

    QTemporaryDir Dir;
    std::unique_ptr<TQRPrinter> Document;
    QPointer<TfrmZozEdezaPreview> Window;
};

TEST_F(TextFindTest, FindBarFromKeysToTheHighlightedHitAcrossPages)
{
    OpenDemo(3);
    TFindBar* bar = Window->FindBar;
    EXPECT_FALSE(bar->isVisible()); // no room taken while closed
    QTest::keyClick(Window, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->Edit()->hasFocus());

    // Case and marks ignored by default: "ISIKLAR" finds "Işıklar".
    QTest::keyClicks(bar->Edit(), QStringLiteral("ISIKLAR"));
    ASSERT_TRUE(Eventually([&] { return !bar->Searching(); }, 20000));
    ASSERT_GT(bar->HitCount(), 3);
    EXPECT_EQ(bar->CurrentPage(), 1);
    EXPECT_EQ(bar->Status()->text(), QStringLiteral("1 / %1").arg(bar->HitCount()));
    EXPECT_TRUE(Eventually([&] { return OrangeIn(bar->CurrentBox()) > 20; }));

    // F3 through the hits of page 1 and on to page 2; Shift+F3 back.
    const int onFirst = int(bar->HitsOn(1).size());
    ASSERT_GT(onFirst, 0);
    for (int i = 0; i < onFirst; ++i)
        QTest::keyClick(bar->Edit(), Qt::Key_F3);
    EXPECT_EQ(bar->CurrentPage(), 2);
    EXPECT_EQ(Window->QRPreview1->PageNumber(), 2);
    EXPECT_TRUE(Window->btnPrevPage->isEnabled());
    EXPECT_TRUE(Eventually([&] { return OrangeIn(bar->CurrentBox()) > 20; }));
    QTest::keyClick(bar->Edit(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(bar->CurrentPage(), 1);
    QTest::keyClick(bar->Edit(), Qt::Key_Return);
    EXPECT_EQ(bar->CurrentPage(), 2);

    // Case counts once asked for.
    QTest::mouseClick(bar->MatchCase(), Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return !bar->Searching(); }, 20000));
    EXPECT_EQ(bar->HitCount(), 0);
    EXPECT_EQ(bar->Status()->text(), QStringLiteral("Bulunamadı"));

    QTest::keyClick(bar->Edit(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
}

TEST_F(TextFindTest, EscapeStopsALongSearch)
{
    OpenDemo(40);
    TFindBar* bar = Window->FindBar;
    QTest::keyClick(Window, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(bar->Edit(), QStringLiteral("ozturk"));
    ASSERT_TRUE(bar->Searching());
    QTest::keyClick(bar->Edit(), Qt::Key_Escape);
    EXPECT_FALSE(bar->Searching());
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->Status()->text().endsWith(QStringLiteral("(durduruldu)"))) << bar->Status()->text().toStdString();
    const int hits = bar->HitCount();
    EXPECT_LT(hits, 80); // two a page when searched to the end
    QTest::qWait(200);
    EXPECT_EQ(bar->HitCount(), hits);
}

TEST_F(TextFindTest, ShiftDragCopiesTheTextInsideTheRectangleAndCtrlACopiesThePage)
{
    OpenDemo(1);
    TQRPreviewImage* image = Window->QRPreview1->PreviewImage();
    ASSERT_NE(image->Metafile(), nullptr);
    const std::vector<TEmfTextLine> lines = EmfPageLines(*image->Metafile());
    const auto title = std::find_if(lines.begin(), lines.end(), [](const TEmfTextLine& l) {
        return l.Text.startsWith(QStringLiteral("Öztürk Çelik Sanayi"));
    });
    ASSERT_NE(title, lines.end());
    // The rectangle around the title line's first four words only.
    const QRectF words = title->Boxes[0].united(
        title->Boxes[size_t(title->Text.indexOf(QStringLiteral("Ticaret")) - 2)]);
    const double s = double(image->width()) / image->Metafile()->Width();
    const QPoint from = (words.topLeft() * s).toPoint() - QPoint(2, 2);
    const QPoint to = (words.bottomRight() * s).toPoint() + QPoint(2, 2);
    QGuiApplication::clipboard()->clear();
    QTest::mousePress(image, Qt::LeftButton, Qt::ShiftModifier, from);
    QTest::mouseMove(image, (from + to) / 2);
    QTest::mouseRelease(image, Qt::LeftButton, Qt::ShiftModifier, to);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Öztürk Çelik Sanayi ve\n"));
    EXPECT_EQ(Window->QRPreview1->PageNumber(), 1);

    QTest::keyClick(Window->QRPreview1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Window->QRPreview1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), EmfLinesText(lines));
}

} // namespace
