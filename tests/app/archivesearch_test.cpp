// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's archive search, from the menu entry and a typed query to the
// report opened at the page found, with the words marked.
#include "app/archivesearchdialog.h"
#include "app/archivesnippet.h"

#include "app/mainwindow.h"
#include "app/previewwindow.h"
#include "app/viewersettings.h"
#include "platform/emftext/textfold.h"
#include "dialog_recorder.h"
#include "preview/findbar.h"
#include "preview/pagetextoverlay.h"
#include "preview/qrpreview.h"
#include "preview/qrpreviewimage.h"
#include "printer/demoreport.h"
#include "printer/qrprinter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "eventually.h"

namespace {

// QTest::keyClicks takes ASCII only; Turkish letters come as key events
// that carry their text, as a keyboard layout would send them.
void TypeText(QWidget* Widget, const QString& Text)
{
    for (QChar c : Text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(Widget, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, Widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

class ArchiveSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_DATA_HOME", DataHome.path().toUtf8());
        SetArchiveFolders({});
        QDir(Archive.path()).mkpath(QStringLiteral("2024"));
        SaveDemoReport(Archive.filePath(QStringLiteral("2024/short.qrp")), 2);
        SaveDemoReport(Archive.filePath(QStringLiteral("long.qrp")), 4);
        QFile damaged(Archive.filePath(QStringLiteral("damaged.qrp")));
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write("not a report");
    }
    void TearDown() override
    {
        qDeleteAll(TfrmZozEdezaPreview::OpenWindows());
        SetArchiveFolders({});
        qunsetenv("XDG_DATA_HOME");
    }
    // Adds the archive through the folder dialog and builds its index.
    void AddArchiveAndUpdate(TArchiveSearchDialog* Dialog)
    {
        Dialogs.Answer = Archive.path();
        QTest::mouseClick(Dialog->AddFolderButton, Qt::LeftButton);
        ASSERT_EQ(Dialog->FolderList->count(), 1);
        EXPECT_TRUE(Dialog->Status->text().contains(QStringLiteral("Güncelle")));
        QTest::mouseClick(Dialog->UpdateButton, Qt::LeftButton);
        EXPECT_TRUE(Dialog->Updating());
        ASSERT_TRUE(Eventually([&] { return !Dialog->Updating(); }, 60000));
        EXPECT_TRUE(Dialog->Status->text().startsWith(QStringLiteral("eklenen 2,")))
            << Dialog->Status->text().toStdString();
        EXPECT_TRUE(Dialog->Status->text().contains(QStringLiteral("damaged.qrp")));
        EXPECT_TRUE(QFile::exists(TArchiveSearchDialog::IndexFile()));
    }

    QTemporaryDir DataHome, Archive;
    TDialogRecorder Dialogs;
};

} // namespace

TEST_F(ArchiveSearchTest, TypedQueryOpensTheReportAtThePageFoundWithTheWordsMarked)
{
    Tfrmzizarud main;
    main.ArchiveSearchAction->trigger();
    TArchiveSearchDialog* dialog = main.ShowArchiveSearch();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    EXPECT_TRUE(dialog->Status->text().contains(QStringLiteral("Klasör Ekle")));
    AddArchiveAndUpdate(dialog);

    // The signature is on the last page only; the case and i's of the query do not matter.
    TypeText(dialog->QueryEdit, QStringLiteral("HAZIRLAYAN gülş*"));
    ASSERT_TRUE(Eventually([&] { return dialog->Hits->topLevelItemCount() == 2; }));
    QTreeWidgetItem* hit = nullptr;
    for (int i = 0; i < 2; ++i)
        if (dialog->Hits->topLevelItem(i)->text(0) == QStringLiteral("long.qrp"))
            hit = dialog->Hits->topLevelItem(i);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->text(1), QStringLiteral("4"));
    EXPECT_TRUE(hit->text(2).contains(QStringLiteral("Hazırlayan: Gülşen Yılmaz"))) << hit->text(2).toStdString();

    const QRect cell = dialog->Hits->visualItemRect(hit);
    // A double-click is a click, then the second press that the widget
    // gets as a double-click; QTest's widget version sends only the latter.
    QTest::mouseClick(dialog->Hits->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(dialog->Hits->viewport(), Qt::LeftButton, {}, cell.center());
    TfrmZozEdezaPreview* preview = nullptr;
    ASSERT_TRUE(Eventually([&] { return (preview = TfrmZozEdezaPreview::OpenWindows().value(0)) != nullptr; }))
        << Dialogs.Messages.join(u'|').toStdString();
    ASSERT_TRUE(Eventually([&] { return preview->QRPreview1->PageNumber() == 4; }));
    TFindBar* bar = preview->FindBar;
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(FoldText(bar->Edit()->text(), FoldCase), FoldText(QStringLiteral("hazırlayan gülş*"), FoldCase));
    ASSERT_TRUE(Eventually([&] { return !bar->Searching(); }, 20000));
    // One signature, two words marked, both on the page opened.
    EXPECT_EQ(bar->HitCount(), 2);
    EXPECT_EQ(bar->CurrentPage(), 4);
    EXPECT_EQ(bar->HitsOn(4).size(), 2);
    EXPECT_EQ(preview->QRPreview1->PageNumber(), 4);
    // The words come folded: a case-sensitive bar left from before must not hide them.
    QTest::mouseClick(bar->MatchCase(), Qt::LeftButton);

    // Enter on a hit opens it too: the short report at its last page.
    QTest::mouseClick(dialog->QueryEdit, Qt::LeftButton);
    QTest::keyClick(dialog->QueryEdit, Qt::Key_Return);
    ASSERT_TRUE(dialog->Hits->currentItem());
    EXPECT_EQ(dialog->focusWidget(), dialog->Hits);
    EXPECT_FALSE(dialog->Updating()); // Enter runs the query; it presses no button
    for (int i = 0; i < 2 && dialog->Hits->currentItem()->text(0) != QStringLiteral("short.qrp"); ++i)
        QTest::keyClick(dialog->Hits, Qt::Key_Down);
    ASSERT_EQ(dialog->Hits->currentItem()->text(0), QStringLiteral("short.qrp"));
    QTest::keyClick(dialog->Hits, Qt::Key_Return);
    // The short report opens in a window of its own.
    TfrmZozEdezaPreview* second = nullptr;
    ASSERT_TRUE(Eventually([&] {
        for (TfrmZozEdezaPreview* w : TfrmZozEdezaPreview::OpenWindows())
            if (w != preview && w->QRPrinter() && w->QRPrinter()->PageCount() == 2)
                second = w;
        return second != nullptr;
    }));
    EXPECT_EQ(preview->QRPrinter()->PageCount(), 4);
    EXPECT_TRUE(Eventually([&] { return second->QRPreview1->PageNumber() == 2; }));
    TFindBar* last = second->FindBar;
    EXPECT_FALSE(last->MatchCase()->isChecked());
    ASSERT_TRUE(Eventually([&] { return !last->Searching(); }, 20000));
    EXPECT_GT(last->HitsOn(2).size(), 0u);
}

TEST_F(ArchiveSearchTest, SaysWhatIsWrongAndRemembersTheFolders)
{
    {
        TArchiveSearchDialog dialog(nullptr, {});
        dialog.show();
        EXPECT_TRUE(dialog.Status->text().contains(QStringLiteral("Klasör Ekle")));
        AddArchiveAndUpdate(&dialog);

        // A query FTS5 cannot parse is a message, not a failure.
        TypeText(dialog.QueryEdit, QStringLiteral("fatura AND"));
        ASSERT_TRUE(Eventually([&] { return dialog.Status->text().startsWith(QStringLiteral("Sorgu anlaşılmadı")); }));
        EXPECT_EQ(dialog.Hits->topLevelItemCount(), 0);
        dialog.QueryEdit->clear();
        TypeText(dialog.QueryEdit, QStringLiteral("\"sayfa toplamı\" NOT yılmaz"));
        ASSERT_TRUE(Eventually([&] { return dialog.Hits->topLevelItemCount() == 4; }));
        dialog.QueryEdit->clear();
        TypeText(dialog.QueryEdit, QStringLiteral("zzz"));
        ASSERT_TRUE(Eventually([&] { return dialog.Status->text() == QStringLiteral("Bulunamadı."); }));

        // A second update finds nothing new and can be stopped.
        QTest::mouseClick(dialog.UpdateButton, Qt::LeftButton);
        EXPECT_EQ(dialog.UpdateButton->text(), QStringLiteral("&Durdur"));
        QTest::mouseClick(dialog.UpdateButton, Qt::LeftButton);
        ASSERT_TRUE(Eventually([&] { return !dialog.Updating(); }, 60000));
        EXPECT_EQ(dialog.UpdateButton->text(), QStringLiteral("&Güncelle"));
        EXPECT_TRUE(dialog.UpdateButton->isEnabled());
    }
    EXPECT_EQ(ArchiveFolders(), QStringList{QDir::cleanPath(Archive.path())});

    TArchiveSearchDialog dialog(nullptr, {});
    dialog.show();
    ASSERT_EQ(dialog.FolderList->count(), 1);
    TypeText(dialog.QueryEdit, QStringLiteral("hazırlayan"));
    ASSERT_TRUE(Eventually([&] { return dialog.Hits->topLevelItemCount() == 2; }));
    // Without the folder its reports no longer show, and the window says why.
    dialog.FolderList->setCurrentRow(0);
    QTest::mouseClick(dialog.RemoveFolderButton, Qt::LeftButton);
    EXPECT_EQ(dialog.FolderList->count(), 0);
    EXPECT_EQ(dialog.Hits->topLevelItemCount(), 0);
    EXPECT_TRUE(dialog.Status->text().contains(QStringLiteral("Klasör Ekle")));
    EXPECT_TRUE(ArchiveFolders().isEmpty());
}

TEST_F(ArchiveSearchTest, QueriesRunOffTheGuiThreadAndStopWhenTheWindowCloses)
{
    TArchiveSearchDialog dialog(nullptr, {});
    dialog.show();
    AddArchiveAndUpdate(&dialog);

    // Enter starts the query at once and returns before its hits come;
    // closing the window first cancels it.
    dialog.QueryEdit->setText(QStringLiteral("hazırlayan"));
    QTest::keyClick(dialog.QueryEdit, Qt::Key_Return);
    EXPECT_TRUE(dialog.Querying());
    EXPECT_EQ(dialog.Hits->topLevelItemCount(), 0);
    // Let the query finish meanwhile: its hits, already queued, must not
    // show in a window closed before they came.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    dialog.hide();
    EXPECT_FALSE(dialog.Querying());
    QTest::qWait(500);
    EXPECT_EQ(dialog.Hits->topLevelItemCount(), 0);

    // Shown again: the hits come, and the first takes the focus Enter asked for.
    dialog.show();
    QTest::keyClick(dialog.QueryEdit, Qt::Key_Return);
    ASSERT_TRUE(Eventually([&] { return dialog.Hits->topLevelItemCount() == 2; }));
    EXPECT_EQ(dialog.Hits->currentItem(), dialog.Hits->topLevelItem(0));
    EXPECT_EQ(dialog.Status->text(), QStringLiteral("2 sonuç."));

    // A page pasted whole is not a query.
    QStringList words;
    for (int i = 0; i < 65; ++i)
        words << QStringLiteral("toplam");
    dialog.QueryEdit->setText(words.join(u' '));
    QTest::keyClick(dialog.QueryEdit, Qt::Key_Return);
    EXPECT_EQ(dialog.Status->text(), QStringLiteral("Sorgu çok uzun: en çok 64 sözcük aranabilir."));
    EXPECT_EQ(dialog.Hits->topLevelItemCount(), 0);
}

TEST_F(ArchiveSearchTest, AnOpenedHitMarksThePhraseAndShowsIt)
{
    Tfrmzizarud main;
    TArchiveSearchDialog* dialog = main.ShowArchiveSearch();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    AddArchiveAndUpdate(dialog);

    // "Sayfa" and "toplamı" stand apart on every page too (the footer, the
    // summary); the phrase is the row's label, once a page.
    TypeText(dialog->QueryEdit, QStringLiteral("\"sayfa toplamı\""));
    ASSERT_TRUE(Eventually([&] { return dialog->Hits->topLevelItemCount() == 6; }));
    QTreeWidgetItem* hit = nullptr;
    for (int i = 0; i < 6; ++i) {
        QTreeWidgetItem* item = dialog->Hits->topLevelItem(i);
        const QString snippet = item->text(2);
        // The snippet marks the phrase where it stands, not its words elsewhere.
        for (const QPoint& m : dialog->HitMarks(i))
            EXPECT_EQ(FoldText(snippet.mid(m.x(), m.y()), FoldCase), FoldText(QStringLiteral("sayfa toplamı"), FoldCase))
                << snippet.toStdString();
        if (item->text(0) == QStringLiteral("long.qrp") && item->text(1) == QStringLiteral("3"))
            hit = item;
    }
    ASSERT_TRUE(hit);
    dialog->Hits->setCurrentItem(hit);
    QTest::keyClick(dialog->Hits, Qt::Key_Return);
    TfrmZozEdezaPreview* preview = nullptr;
    ASSERT_TRUE(Eventually([&] { return (preview = TfrmZozEdezaPreview::OpenWindows().value(0)) != nullptr; }))
        << Dialogs.Messages.join(u'|').toStdString();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(preview));
    TFindBar* bar = preview->FindBar;
    ASSERT_TRUE(Eventually([&] { return !bar->Searching(); }, 20000));
    EXPECT_EQ(bar->HitCount(), 4); // each word apart would be 12
    EXPECT_EQ(bar->CurrentPage(), 3);
    EXPECT_EQ(preview->QRPreview1->PageNumber(), 3);
    // The row found is in sight, though it stands low on the page.
    TQRPreviewImage* image = preview->QRPreview1->PreviewImage();
    auto* overlay = image->findChild<TPageTextOverlay*>();
    ASSERT_TRUE(overlay);
    QWidget* viewport = preview->QRPreview1->viewport();
    ASSERT_TRUE(Eventually([&] {
        const QRectF box = overlay->ToImage(bar->CurrentBox());
        return viewport->rect().contains(QRect(image->mapTo(viewport, box.topLeft().toPoint()),
                                               image->mapTo(viewport, box.bottomRight().toPoint())));
    })) << "viewport " << viewport->height() << ", image " << image->height();
}

TEST(ArchiveSnippetWindow, TheFirstMatchIsAlwaysInTheColumn)
{
    const QFont font = QApplication::font();
    const QFontMetricsF metrics(font);
    const QString filler = QStringLiteral("Öztürk Çelik Sanayi ve Ticaret A.Ş. Organize Sanayi Bölgesi ");
    const QString match = QStringLiteral("STF-000450");
    const struct {
        const char* What;
        QString Snippet;
    } cases[] = {
        {"at the start", match + u' ' + filler.repeated(4)},
        {"in the middle", filler.repeated(3) + match + u' ' + filler.repeated(3)},
        {"at the end", filler.repeated(4) + match},
    };
    for (const auto& c : cases) {
        const int at = int(c.Snippet.indexOf(match));
        for (const qreal width : {120.0, 300.0, 700.0}) {
            const TSnippetWindow shown = SnippetWindow(c.Snippet, {{at, int(match.size())}}, metrics, width);
            const QString text = (shown.Before ? QStringLiteral("…") : QString()) +
                                 c.Snippet.mid(shown.From, shown.To - shown.From) +
                                 (shown.After ? QStringLiteral("…") : QString());
            const QString where = QStringLiteral("%1 at %2 px: %3").arg(QLatin1String(c.What)).arg(width).arg(text);
            EXPECT_LE(shown.From, at) << where.toStdString();
            EXPECT_GE(shown.To, at + match.size()) << where.toStdString();
            EXPECT_LE(metrics.horizontalAdvance(text), width) << where.toStdString();
            EXPECT_EQ(shown.Before, shown.From > 0) << where.toStdString();
            EXPECT_EQ(shown.After, shown.To < c.Snippet.size()) << where.toStdString();
            // In the middle when there is text on both sides to show.
            if (shown.Before && shown.After) {
                const qreal left = metrics.horizontalAdvance(c.Snippet.mid(shown.From, at - shown.From));
                const qreal right = metrics.horizontalAdvance(
                    c.Snippet.mid(at + match.size(), shown.To - at - int(match.size())));
                EXPECT_LT(std::abs(left - right), width / 4) << where.toStdString();
            }
        }
    }
    // A snippet that fits is shown whole.
    const TSnippetWindow whole = SnippetWindow(match, {{0, int(match.size())}}, metrics, 700);
    EXPECT_EQ(whole.From, 0);
    EXPECT_EQ(whole.To, match.size());
    EXPECT_FALSE(whole.Before || whole.After);
}
