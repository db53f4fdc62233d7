// SPDX-License-Identifier: GPL-3.0-or-later
// One report, one document, one window: windows opened in turn keep their
// own pages, an open report is brought forward rather than opened twice,
// and a file that cannot be read changes nothing in the window it was
// chosen from.
#include "app/mainwindow.h"

#include "app/previewwindow.h"
#include "app/viewersettings.h"
#include "app/windowplacement.h"
#include "dialog_recorder.h"
#include "preview/qrpreview.h"
#include "preview/textselection.h"
#include "printer/demoreport.h"
#include "printer/qrprinter.h"
#include "tempfolder.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ReportWindowsTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_DATA_HOME", DataHome.path().toUtf8()); }
    void TearDown() override
    {
        qDeleteAll(TfrmZozEdezaPreview::OpenWindows());
        qunsetenv("XDG_DATA_HOME");
        // The private copies the windows read go with their windows.
        EXPECT_TRUE(Temp.Leftovers().empty());
    }
    QString Demo(const QString& Name, int Pages)
    {
        const QString file = Reports.filePath(Name);
        SaveDemoReport(file, Pages);
        return file;
    }
    static TfrmZozEdezaPreview* WindowOf(const QString& File)
    {
        for (TfrmZozEdezaPreview* w : TfrmZozEdezaPreview::OpenWindows())
            if (w->ReportFile() == File)
                return w;
        return nullptr;
    }
    // The text of the page Window shows, as the user copies it.
    static QString ShownText(TfrmZozEdezaPreview* Window)
    {
        Window->TextSelection->SelectAll();
        return Window->TextSelection->SelectedText();
    }

    QTemporaryDir DataHome, Reports;
    TPrivateTempFolder Temp;
    TDialogRecorder Dialogs;
};

} // namespace

TEST_F(ReportWindowsTest, ReportsOpenedInTurnKeepTheirOwnWindowsAndPages)
{
    const QString first = Demo("first.qrp", 3), second = Demo("second.qrp", 5);
    Tfrmzizarud w({first});
    w.show();
    ASSERT_EQ(TfrmZozEdezaPreview::OpenWindows().size(), 1);
    TfrmZozEdezaPreview* one = TfrmZozEdezaPreview::OpenWindows().first();
    // The report is in front with the focus on its page, not the main window.
    ASSERT_TRUE(QTest::qWaitForWindowActive(one));
    EXPECT_EQ(QApplication::focusWidget(), one->QRPreview1);
    QTest::keyClick(one->QRPreview1, Qt::Key_PageDown);
    ASSERT_EQ(one->QRPreview1->PageNumber(), 2);

    Dialogs.Answer = second;
    w.RaporA1->trigger();
    ASSERT_EQ(TfrmZozEdezaPreview::OpenWindows().size(), 2);
    TfrmZozEdezaPreview* two = WindowOf(second);
    ASSERT_NE(two, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(two));
    EXPECT_NE(two->QRPrinter(), one->QRPrinter());
    EXPECT_EQ(two->QRPrinter()->PageCount(), 5);
    EXPECT_EQ(w.QRPrinter(), two->QRPrinter());
    EXPECT_EQ(two->windowTitle(), "Rapor Onizleme — second.qrp");
    EXPECT_EQ(one->windowTitle(), "Rapor Onizleme — first.qrp");

    // The first window still reads its own report, page after page.
    EXPECT_EQ(one->QRPrinter()->PageCount(), 3);
    EXPECT_TRUE(ShownText(one).contains("Sayfa 2 / 3")) << ShownText(one).toStdString();
    one->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(one));
    QTest::keyClick(one->QRPreview1, Qt::Key_PageDown);
    EXPECT_EQ(one->QRPreview1->PageNumber(), 3);
    EXPECT_TRUE(ShownText(one).contains("Sayfa 3 / 3"));
    QTest::keyClick(one->QRPreview1, Qt::Key_PageUp);
    EXPECT_TRUE(ShownText(one).contains("Sayfa 2 / 3"));
    EXPECT_TRUE(ShownText(two).contains("Sayfa 1 / 5"));

    // Closing one window leaves the other and the main window as they were.
    one->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(TfrmZozEdezaPreview::OpenWindows().size(), 1);
    EXPECT_TRUE(ShownText(two).contains("Sayfa 1 / 5"));
    two->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(TfrmZozEdezaPreview::OpenWindows().isEmpty());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.QRPrinter(), nullptr);
}

TEST_F(ReportWindowsTest, OpeningAnOpenReportBringsItsWindowForward)
{
    const QString first = Demo("raise-a.qrp", 3), second = Demo("raise-b.qrp", 2);
    Tfrmzizarud w({first});
    w.show();
    TfrmZozEdezaPreview* one = TfrmZozEdezaPreview::OpenWindows().first();
    ASSERT_TRUE(QTest::qWaitForWindowActive(one));
    QTest::keyClick(one->QRPreview1, Qt::Key_PageDown);
    TfrmZozEdezaPreview* two = w.OpenReport(second);
    ASSERT_NE(two, one);
    EXPECT_TRUE(QTest::qWaitForWindowActive(two));
    EXPECT_EQ(QApplication::focusWidget(), two->QRPreview1);

    // From the recent menu, by another path to the same file.
    const QString samePath = QFileInfo(first).absolutePath() + "/./" + QFileInfo(first).fileName();
    EXPECT_EQ(w.OpenReport(samePath), one);
    EXPECT_EQ(TfrmZozEdezaPreview::OpenWindows().size(), 2);
    EXPECT_TRUE(QTest::qWaitForWindowActive(one));
    EXPECT_EQ(one->QRPreview1->PageNumber(), 2); // not opened again

    // An archive hit on an open report goes to its window, at the page asked.
    w.OpenReportAt(second, 2, {"Sayfa"});
    EXPECT_EQ(TfrmZozEdezaPreview::OpenWindows().size(), 2);
    EXPECT_EQ(two->QRPreview1->PageNumber(), 2);
    EXPECT_EQ(one->QRPreview1->PageNumber(), 2);
    EXPECT_TRUE(QTest::qWaitForWindowActive(two));
}

TEST_F(ReportWindowsTest, AFailedOpenInAPreviewChangesNothing)
{
    const QString good = Demo("kept.qrp", 3);
    const QString damaged = Reports.filePath("damaged.qrp");
    {
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(300, 'x'));
    }
    Tfrmzizarud w({good});
    w.show();
    TfrmZozEdezaPreview* window = TfrmZozEdezaPreview::OpenWindows().first();
    TQRPrinter* document = window->QRPrinter();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->QRPreview1, Qt::Key_PageDown);
    const QString caption = window->windowTitle();

    Dialogs.Answer = damaged;
    QTest::mouseClick(window->btnOpen, Qt::LeftButton);
    ASSERT_EQ(Dialogs.Messages.size(), 1);
    EXPECT_TRUE(Dialogs.Messages[0].contains(damaged)) << Dialogs.Messages[0].toStdString();
    EXPECT_EQ(window->QRPrinter(), document);
    EXPECT_EQ(document->PageCount(), 3);
    EXPECT_EQ(window->QRPreview1->PageNumber(), 2);
    EXPECT_EQ(window->windowTitle(), caption);
    EXPECT_TRUE(ShownText(window).contains("Sayfa 2 / 3"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->QRPreview1, Qt::Key_PageDown);
    EXPECT_TRUE(ShownText(window).contains("Sayfa 3 / 3"));

    // The main window's open fails the same way, naming the file.
    EXPECT_THROW(w.OpenReport(damaged), std::exception);
    EXPECT_EQ(TfrmZozEdezaPreview::OpenWindows().size(), 1);

    // A good file chosen in the preview replaces its report.
    Dialogs.Answer = Demo("replacing.qrp", 2);
    QTest::mouseClick(window->btnOpen, Qt::LeftButton);
    EXPECT_EQ(window->QRPrinter()->PageCount(), 2);
    EXPECT_EQ(window->QRPreview1->PageNumber(), 1);
    EXPECT_EQ(window->windowTitle(), "Rapor Onizleme — replacing.qrp");
}

TEST_F(ReportWindowsTest, ThePreviewOffersTheMainMenusCommands)
{
    Tfrmzizarud w({Demo("commands.qrp", 1)});
    w.show();
    TfrmZozEdezaPreview* window = TfrmZozEdezaPreview::OpenWindows().first();
    QMenu menu;
    window->FillPageMenu(menu);
    for (QAction* command : {w.RaporA1, w.RecentMenu->menuAction(), w.ArchiveSearchAction, w.Hakknda1, w.k1})
        EXPECT_TRUE(menu.actions().contains(command)) << command->text().toStdString();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Dialogs.DialogTitles.size(), 1); // the main window's open dialog
}

TEST(PlaceBeside, MovesTheWindowToTheNearestFreeSideOrLeavesIt)
{
    const QRect screen(0, 0, 1024, 768);
    const QRect window(420, 345, 190, 100);
    // No overlap: unchanged.
    EXPECT_EQ(PlaceBeside(window, QRect(0, 0, 300, 300), screen), window);
    // No room left, right or below: above.
    const QRect preview(169, 200, 686, 470);
    EXPECT_EQ(PlaceBeside(window, preview, screen), QRect(420, 100, 190, 100));
    // Room above and below: the nearer.
    EXPECT_EQ(PlaceBeside(window, QRect(169, 300, 686, 300), screen), QRect(420, 200, 190, 100));
    // A preview on the left half: to its right.
    EXPECT_EQ(PlaceBeside(window, QRect(0, 0, 600, 768), screen), QRect(600, 345, 190, 100));
    // A maximised preview: nowhere to go.
    EXPECT_EQ(PlaceBeside(window, screen, screen), window);
}

TEST_F(ReportWindowsTest, ASecondWindowStepsAsideFromTheRememberedPlace)
{
    {
        TfrmZozEdezaPreview probe(nullptr, nullptr);
        probe.setGeometry(100, 120, 600, 400);
        SetPreviewGeometry(probe.saveGeometry());
    }
    const QString first = Demo("a.qrp", 1), second = Demo("b.qrp", 1);
    Tfrmzizarud w({first});
    w.show();
    Dialogs.Answer = second;
    w.RaporA1->trigger();
    ASSERT_EQ(TfrmZozEdezaPreview::OpenWindows().size(), 2);
    EXPECT_NE(WindowOf(first)->pos(), WindowOf(second)->pos());
    SetPreviewGeometry(QByteArray());
}
