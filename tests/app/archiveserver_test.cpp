// SPDX-License-Identifier: GPL-3.0-or-later
// The archive window on an office's shared index: a reader finds and opens
// reports through its path mapping and is offered no update; a writer is;
// a server that cannot be reached or read is said so in words.
#include "app/archivesearchdialog.h"
#include "app/archivesettingsdialog.h"
#include "app/mainwindow.h"
#include "app/previewwindow.h"
#include "app/viewersettings.h"
#include "archive/archiveindex.h"
#include "dialog_recorder.h"
#include "pgserver.h"
#include "preview/qrpreview.h"
#include "printer/demoreport.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include <unistd.h>

#include "eventually.h"

namespace {

class ArchiveServerWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_DATA_HOME", DataHome.path().toUtf8());
        SetArchiveFolders({});
        SetArchiveServer({});
        SetArchivePathMap({});
    }
    void TearDown() override
    {
        qDeleteAll(TfrmZozEdezaPreview::OpenWindows());
        SetArchiveFolders({});
        SetArchiveServer({});
        SetArchivePathMap({});
        if (!Role.empty())
            Server->Sql("DROP OWNED BY " + Role + "; DROP ROLE " + Role);
        qunsetenv("XDG_DATA_HOME");
    }
    // The office's server with two reports indexed under the server's own
    // folder; this machine has a copy of one of them elsewhere.
    bool StartServer()
    {
        Server = std::make_unique<TTestServerDb>();
        if (!Server->Available())
            return false;
        SaveDemoReport(Served.filePath(QStringLiteral("long.qrp")), 4);
        SaveDemoReport(Served.filePath(QStringLiteral("short.qrp")), 2);
        QFile::copy(Served.filePath(QStringLiteral("long.qrp")), Local.filePath(QStringLiteral("long.qrp")));
        TArchiveIndex index(Server->Uri());
        index.Update({QFile::encodeName(Served.path()).toStdString()}, {});
        return true;
    }
    // A login role of the cluster (which tests share): a reader as the
    // README has it, or one that may only connect.
    std::string MakeRole(bool Reader)
    {
        static std::atomic<int> counter{0};
        Role = "qrp_view_" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
        Server->Sql("DROP ROLE IF EXISTS " + Role + "; CREATE ROLE " + Role + " LOGIN" +
                    (Reader ? "; GRANT SELECT ON qrp_meta, qrp_reports, qrp_pages TO " + Role : std::string()));
        return Server->Uri(Role);
    }
    // Sets the server and a mapping through the settings window, as a user would.
    void Configure(TArchiveSearchDialog* Dialog, const QString& Server, const QString& From, const QString& To)
    {
        QTest::mouseClick(Dialog->SettingsButton, Qt::LeftButton);
        TArchiveSettingsDialog* settings = Dialog->SettingsWindow();
        ASSERT_TRUE(settings && settings->isVisible());
        settings->ServerEdit->setText(Server);
        if (!From.isEmpty()) {
            QTest::mouseClick(settings->AddPathButton, Qt::LeftButton);
            const int row = settings->PathTable->rowCount() - 1;
            settings->PathTable->item(row, 0)->setText(From);
            settings->PathTable->item(row, 1)->setText(To);
        }
        QTest::mouseClick(settings->Buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        ASSERT_TRUE(Eventually([&] { return !Dialog->SettingsWindow(); }));
    }
    QTreeWidgetItem* HitIn(TArchiveSearchDialog* Dialog, const QString& File)
    {
        for (int i = 0; i < Dialog->Hits->topLevelItemCount(); ++i)
            if (Dialog->Hits->topLevelItem(i)->text(0) == File)
                return Dialog->Hits->topLevelItem(i);
        return nullptr;
    }

    QTemporaryDir DataHome, Served, Local;
    std::unique_ptr<TTestServerDb> Server;
    std::string Role;
    TDialogRecorder Dialogs;
};

} // namespace

TEST_F(ArchiveServerWindowTest, AReaderFindsAndOpensTheLocalCopyButIsOfferedNoUpdate)
{
    if (!StartServer())
        GTEST_SKIP() << Server->Missing();
    const std::string reader = MakeRole(true);
    Tfrmzizarud main;
    TArchiveSearchDialog* dialog = main.ShowArchiveSearch();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    Configure(dialog, QString::fromStdString(reader), Served.path() + u'/', Local.path());
    ASSERT_TRUE(Eventually([&] { return dialog->ServerLabel->text().contains(QStringLiteral("yalnızca okuma")); }))
        << dialog->Status->text().toStdString();
    EXPECT_FALSE(dialog->UpdateButton->isVisible());
    EXPECT_FALSE(dialog->FolderList->isVisible());
    // Remembered for the next window.
    EXPECT_EQ(ArchiveServer(), QString::fromStdString(reader));
    ASSERT_EQ(ArchivePathMap().Pairs().size(), 1u);
    EXPECT_EQ(ArchivePathMap().Pairs()[0].Local, Local.path());

    dialog->QueryEdit->setText(QStringLiteral("HAZIRLAYAN"));
    ASSERT_TRUE(Eventually([&] { return dialog->Hits->topLevelItemCount() == 2; }))
        << dialog->Status->text().toStdString();
    QTreeWidgetItem* longHit = HitIn(dialog, QStringLiteral("long.qrp"));
    ASSERT_TRUE(longHit);
    EXPECT_TRUE(longHit->toolTip(0).contains(Local.filePath(QStringLiteral("long.qrp"))));
    dialog->Hits->setCurrentItem(longHit);
    QTest::keyClick(dialog->Hits, Qt::Key_Return);
    TfrmZozEdezaPreview* preview = nullptr;
    ASSERT_TRUE(Eventually([&] { return (preview = TfrmZozEdezaPreview::OpenWindows().value(0)) != nullptr; }))
        << Dialogs.Messages.join(u'|').toStdString() << dialog->Status->text().toStdString();
    EXPECT_TRUE(preview->ShowsFile(Local.filePath(QStringLiteral("long.qrp"))));
    EXPECT_TRUE(Eventually([&] { return preview->QRPreview1->PageNumber() == 4; }));

    // The report this machine has no copy of: both paths are named.
    dialog->Hits->setCurrentItem(HitIn(dialog, QStringLiteral("short.qrp")));
    QTest::keyClick(dialog->Hits, Qt::Key_Return);
    const QString said = dialog->Status->text();
    EXPECT_TRUE(said.contains(Local.filePath(QStringLiteral("short.qrp"))) &&
                said.contains(Served.filePath(QStringLiteral("short.qrp"))))
        << said.toStdString();
    EXPECT_EQ(TfrmZozEdezaPreview::OpenWindows().size(), 1);
}

TEST_F(ArchiveServerWindowTest, AWriterMayUpdateAndAReaderWithoutRightsIsToldSo)
{
    if (!StartServer())
        GTEST_SKIP() << Server->Missing();
    TArchiveSearchDialog dialog(nullptr, {});
    dialog.show();
    dialog.ApplySettings(QString::fromStdString(Server->Uri()),
                         TArchivePathMap(std::vector<TArchivePathMap::TPair>{{QStringLiteral("/srv/raporlar"), Local.path()}}));
    ASSERT_TRUE(Eventually([&] { return dialog.UpdateButton->isVisible(); })) << dialog.Status->text().toStdString();
    EXPECT_TRUE(dialog.ServerLabel->text().contains(QStringLiteral("güncelleme izniniz var")));
    EXPECT_TRUE(dialog.FolderList->isVisible());
    // This machine's path of the share would enter the office's index as other reports.
    Dialogs.Answer = Local.path();
    QTest::mouseClick(dialog.AddFolderButton, Qt::LeftButton);
    QTest::mouseClick(dialog.UpdateButton, Qt::LeftButton);
    EXPECT_FALSE(dialog.Updating());
    EXPECT_TRUE(dialog.Status->text().startsWith(Local.path())) << dialog.Status->text().toStdString();
    // The server's own path is updated from the window.
    dialog.FolderList->setCurrentRow(0);
    QTest::mouseClick(dialog.RemoveFolderButton, Qt::LeftButton);
    Dialogs.Answer = Served.path();
    QTest::mouseClick(dialog.AddFolderButton, Qt::LeftButton);
    SaveDemoReport(Served.filePath(QStringLiteral("new.qrp")), 1);
    QTest::mouseClick(dialog.UpdateButton, Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return !dialog.Updating(); }, 60000));
    EXPECT_TRUE(dialog.Status->text().startsWith(QStringLiteral("eklenen 1,"))) << dialog.Status->text().toStdString();

    // A role that may connect but was given nothing to read.
    dialog.ApplySettings(QString::fromStdString(MakeRole(false)), {});
    EXPECT_FALSE(dialog.UpdateButton->isVisible()); // until the server says otherwise
    ASSERT_TRUE(Eventually([&] { return dialog.Status->text().contains(QStringLiteral("okuma izniniz yok")); }))
        << dialog.Status->text().toStdString();
    EXPECT_FALSE(dialog.UpdateButton->isVisible());
}

TEST_F(ArchiveServerWindowTest, AServerThatCannotBeReachedIsSaidAndTheWindowStaysUsable)
{
    TArchiveSearchDialog dialog(nullptr, {});
    dialog.show();
    // A mistyped server is refused in the settings window itself.
    QTest::mouseClick(dialog.SettingsButton, Qt::LeftButton);
    TArchiveSettingsDialog* settings = dialog.SettingsWindow();
    ASSERT_TRUE(settings);
    settings->ServerEdit->setText(QStringLiteral("db.example.org/arsiv"));
    QTest::mouseClick(settings->Buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_TRUE(settings->isVisible());
    EXPECT_TRUE(settings->Problem->text().contains(QStringLiteral("db.example.org/arsiv")));
    // A bare name is a service of pg_service.conf.
    settings->ServerEdit->setText(QStringLiteral("raporlar"));
    EXPECT_EQ(settings->Server(), QStringLiteral("service=raporlar"));
    QTest::mouseClick(settings->Buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    EXPECT_FALSE(dialog.OnServer());

    const QString gone = QStringLiteral("postgresql:///qrp?host=") + DataHome.filePath(QStringLiteral("no-server"));
    dialog.ApplySettings(gone, {});
    ASSERT_TRUE(Eventually([&] { return dialog.Status->text().startsWith(QStringLiteral("Sunucuya bağlanılamadı")); }))
        << dialog.Status->text().toStdString();
    EXPECT_FALSE(dialog.UpdateButton->isVisible());
    // The query typed next tries again, and says the same.
    dialog.QueryEdit->setText(QStringLiteral("fatura"));
    QTest::keyClick(dialog.QueryEdit, Qt::Key_Return);
    ASSERT_TRUE(Eventually([&] { return !dialog.Querying(); }));
    EXPECT_TRUE(dialog.Status->text().startsWith(QStringLiteral("Sunucuya bağlanılamadı")));

    // Back to the user's own index: the folders and Güncelle return.
    dialog.ApplySettings(QString(), {});
    EXPECT_TRUE(dialog.UpdateButton->isVisible());
    EXPECT_FALSE(dialog.ServerLabel->isVisible());
}
