// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow.h"

#include "preview_helpers.h"
#include "app/previewwindow.h"
#include "dialog_recorder.h"
#include "preview/qrpreview.h"
#include "printer/qrprinter.h"

#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QList<TfrmZozEdezaPreview*> PreviewWindows()
{
    return TfrmZozEdezaPreview::OpenWindows();
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_DATA_HOME", DataHome.path().toUtf8()); }
    void TearDown() override
    {
        qDeleteAll(PreviewWindows());
        qunsetenv("XDG_DATA_HOME");
    }
    QTemporaryDir DataHome;
    TDialogRecorder Dialogs;
};

} // namespace

TEST_F(MainWindowTest, HasItsCaptionMenuAndShortcuts)
{
    Tfrmzizarud w;
    w.show();
    EXPECT_EQ(w.windowTitle(), "Zendivo v1.2");
    EXPECT_EQ(w.Rapor1->title(), "Rapor");
    EXPECT_EQ(w.RaporA1->text(), "Rapor Aç...");
    EXPECT_EQ(w.RaporA1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(w.k1->text(), "Çıkış");
    EXPECT_EQ(w.k1->shortcut(), QKeySequence(Qt::Key_F12));
    EXPECT_EQ(w.Yardm1->title(), "Yardım");
    EXPECT_EQ(w.Hakknda1->text(), "Hakkında...");
    EXPECT_TRUE(w.Hakknda1->shortcut().isEmpty());
    EXPECT_EQ(w.centralWidget()->size(), QSize(185, 60));
}

TEST_F(MainWindowTest, IsANormalTopLevelWindowWithoutMaximise)
{
    Tfrmzizarud w;
    // A tool window gets no taskbar entry and stays above the previews.
    EXPECT_EQ(w.windowFlags() & Qt::WindowType_Mask, Qt::Window);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(MainWindowTest, AboutTextHasSevenLinesEndingInTheDate)
{
    const QStringList lines = Tfrmzizarud::AboutText().split("\r\n");
    ASSERT_EQ(lines.size(), 7);
    EXPECT_TRUE(lines[0].isEmpty());
    EXPECT_TRUE(lines[3].isEmpty());
    EXPECT_TRUE(lines[5].isEmpty());
    EXPECT_EQ(lines[6], "-09-12-2014-");
    Tfrmzizarud w;
    w.Hakknda1->trigger();
    EXPECT_EQ(Dialogs.Messages, QStringList{Tfrmzizarud::AboutText()});
}

TEST_F(MainWindowTest, CreatingTheWindowMakesItsPreviewTheDefault)
{
    Tfrmzizarud w;
    TQRPrinter document;
    document.Preview();
    EXPECT_NE(qobject_cast<TfrmZozEdezaPreview*>(document.PreviewControl()), nullptr);
}

TEST_F(MainWindowTest, StartsWithTheCommandLineReport)
{
    const QString report = WriteA4Report("start-3.qrp", 3);
    Tfrmzizarud w({"/e", report});
    w.show();
    EXPECT_EQ(w.CommandLineReport(), report);
    ASSERT_EQ(PreviewWindows().size(), 1);
    TfrmZozEdezaPreview* preview = PreviewWindows().first();
    EXPECT_EQ(preview->QRPrinter(), w.QRPrinter());
    EXPECT_EQ(w.QRPrinter()->PageCount(), 3);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_TRUE(Dialogs.DialogTitles.isEmpty());
    // The association points at this program.
    QFile desktop(DataHome.filePath(
        "applications/" + QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + ".desktop"));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(desktop.readAll()).contains(QCoreApplication::applicationFilePath()));
}

TEST_F(MainWindowTest, WithoutArgumentsAsksAndACancelLeavesTheWindowEmpty)
{
    Tfrmzizarud w;
    w.show();
    EXPECT_EQ(Dialogs.DialogTitles.size(), 1);
    EXPECT_EQ(Dialogs.DialogFilters, QStringList{"Rapor Dosya Türleri (*.QRP *.qrp *.emf *.EMF)"});
    EXPECT_TRUE(PreviewWindows().isEmpty());
    EXPECT_EQ(w.QRPrinter(), nullptr);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(MainWindowTest, DamagedReportShowsItsErrorAndTheProgramGoesOn)
{
    const QString damaged = WriteA4Report("damaged-start.qrp", 1);
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray(200, 'x'));
    file.close();
    Tfrmzizarud w({damaged});
    w.show();
    ASSERT_EQ(Dialogs.Messages.size(), 1);
    EXPECT_FALSE(Dialogs.Messages[0].isEmpty());
    EXPECT_TRUE(PreviewWindows().isEmpty());
    EXPECT_EQ(QFile(damaged).size(), 200); // the user's file is untouched

    Dialogs.Answer = WriteA4Report("after-damage.qrp", 2);
    w.RaporA1->trigger();
    EXPECT_EQ(PreviewWindows().size(), 1);
}

// Each report has a document of its own, where the design shared one.
TEST_F(MainWindowTest, EveryOpenMakesADocumentInANewWindow)
{
    Dialogs.Answer = WriteA4Report("menu-a.qrp", 2);
    Tfrmzizarud w;
    w.show();
    TQRPrinter* document = w.QRPrinter();
    ASSERT_NE(document, nullptr);
    Dialogs.Answer = WriteA4Report("menu-b.qrp", 5);
    w.RaporA1->trigger();
    EXPECT_NE(w.QRPrinter(), document);
    EXPECT_EQ(document->PageCount(), 2);
    EXPECT_EQ(w.QRPrinter()->PageCount(), 5);
    const auto windows = PreviewWindows();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_NE(windows[0]->QRPrinter(), windows[1]->QRPrinter());
    for (TfrmZozEdezaPreview* preview : windows)
        EXPECT_TRUE(preview->QRPrinter() == document || preview->QRPrinter() == w.QRPrinter());
}

TEST_F(MainWindowTest, ClosingTheMainWindowFreesTheWindowsOfItsDocument)
{
    {
        Tfrmzizarud w({WriteA4Report("closing.qrp", 1)});
        w.show();
        ASSERT_EQ(PreviewWindows().size(), 1);
    }
    EXPECT_TRUE(PreviewWindows().isEmpty());
}
