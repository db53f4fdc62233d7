// SPDX-License-Identifier: GPL-3.0-or-later
// The preview for keyboard and screen-reader users: every control named,
// the page's text readable, keys that zoom or open the thumbnails keep the
// spot the user was looking at, Ctrl+L reaches the page box.
#include "app/mainwindow.h"

#include "app/pagebox.h"
#include "app/previewwindow.h"
#include "app/thumbnailpanel.h"
#include "dialog_recorder.h"
#include "preview/qrpreview.h"
#include "printer/demoreport.h"
#include "tempfolder.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class PreviewAccessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_DATA_HOME", DataHome.path().toUtf8());
        const QString file = Reports.filePath("liste.qrp");
        SaveDemoReport(file, 3);
        Main = std::make_unique<Tfrmzizarud>(QStringList{file});
        Main->show();
        Window = TfrmZozEdezaPreview::OpenWindows().value(0);
        ASSERT_TRUE(Window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(Window));
    }
    void TearDown() override
    {
        qDeleteAll(TfrmZozEdezaPreview::OpenWindows());
        Main.reset();
        qunsetenv("XDG_DATA_HOME");
    }
    // Zoomed in and scrolled off the page's corner, so that a jump back to
    // the corner would show.
    void LookAtAnInnerSpot()
    {
        QTest::keyClick(Window->QRPreview1, Qt::Key_0, Qt::ControlModifier);
        QTest::keyClick(Window->QRPreview1, Qt::Key_Plus, Qt::ControlModifier);
        QScrollBar* h = Window->QRPreview1->horizontalScrollBar();
        QScrollBar* v = Window->QRPreview1->verticalScrollBar();
        ASSERT_GT(v->maximum(), 0);
        h->setValue(h->maximum() / 2);
        v->setValue(v->maximum() / 2);
    }
    static void ExpectSameSpot(const QPointF& Was, const QPointF& Now)
    {
        EXPECT_NEAR(Was.x(), Now.x(), 0.01);
        EXPECT_NEAR(Was.y(), Now.y(), 0.01);
    }

    QTemporaryDir DataHome, Reports;
    TPrivateTempFolder Temp;
    TDialogRecorder Dialogs;
    std::unique_ptr<Tfrmzizarud> Main;
    TfrmZozEdezaPreview* Window = nullptr;
};

} // namespace

TEST_F(PreviewAccessTest, EveryControlHasAnAccessibleNameAndThePageItsText)
{
    QTest::keyClick(Window->QRPreview1, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(Window->QRPreview1, Qt::Key_F4);
    int controls = 0;
    for (QWidget* w : Window->findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(Window))
            continue;
        ++controls;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_TRUE(a);
        EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty()) << w->metaObject()->className();
    }
    // Seven buttons, the page, the page field, the find bar's field, arrows,
    // boxes and close button.
    EXPECT_GE(controls, 14);
    auto* zoom = Window->findChild<QLabel*>(QStringLiteral("ZoomLabel"));
    ASSERT_TRUE(zoom);
    EXPECT_EQ(zoom->text(), QStringLiteral("%1%").arg(Window->QRPreview1->Zoom()));

    QTest::keyClick(Window->QRPreview1, Qt::Key_PageDown);
    const QString description =
        QAccessible::queryAccessibleInterface(Window->QRPreview1)->text(QAccessible::Description);
    EXPECT_TRUE(description.contains(QStringLiteral("Sayfa 2 / 3"))) << description.toStdString();
}

TEST_F(PreviewAccessTest, ZoomKeysAndThumbnailsKeepTheViewsCentre)
{
    LookAtAnInnerSpot();
    QPointF spot = Window->QRPreview1->ViewCentre();
    QTest::keyClick(Window->QRPreview1, Qt::Key_Plus, Qt::ControlModifier);
    ExpectSameSpot(spot, Window->QRPreview1->ViewCentre());
    QTest::keyClick(Window->QRPreview1, Qt::Key_Minus, Qt::ControlModifier);
    ExpectSameSpot(spot, Window->QRPreview1->ViewCentre());

    spot = Window->QRPreview1->ViewCentre();
    QTest::keyClick(Window->QRPreview1, Qt::Key_F4);
    ASSERT_TRUE(Window->Thumbnails->isVisible());
    ExpectSameSpot(spot, Window->QRPreview1->ViewCentre());
    QTest::keyClick(Window->Thumbnails, Qt::Key_F4);
    ExpectSameSpot(spot, Window->QRPreview1->ViewCentre());
}

TEST_F(PreviewAccessTest, CtrlLAndCtrlGGoToThePageBox)
{
    QLineEdit* field = Window->PageBox->Field();
    QTest::keyClick(Window->QRPreview1, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), field);
    Window->QRPreview1->setFocus();
    QTest::keyClick(Window->QRPreview1, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(field->selectedText(), QStringLiteral("1"));
}
