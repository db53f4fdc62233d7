// SPDX-License-Identifier: GPL-3.0-or-later
// The locale decides the language: under Turkish the messages of damaged
// files and Qt's own dialogs are Turkish and still name the file; under C
// the program's texts stand exactly as written.
#include "app/mainwindow.h"

#include "app/previewwindow.h"
#include "dialog_recorder.h"
#include "platform/i18n/errortext.h"
#include "platform/i18n/translations.h"
#include "printer/demoreport.h"
#include "tempfolder.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>
#include <gtest/gtest.h>

namespace {

class TranslationsTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_DATA_HOME", DataHome.path().toUtf8()); }
    void TearDown() override
    {
        for (QTranslator* translator : Installed) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        qDeleteAll(TfrmZozEdezaPreview::OpenWindows());
        qunsetenv("XDG_DATA_HOME");
    }
    // A report cut off inside its header.
    QString CutShortReport()
    {
        const QString whole = Reports.filePath("whole.qrp"), cut = Reports.filePath("kesik rapor.qrp");
        SaveDemoReport(whole, 2);
        QFile in(whole), out(cut);
        EXPECT_TRUE(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
        out.write(in.read(60));
        return cut;
    }
    QString OpenMessage(const QString& File)
    {
        Tfrmzizarud w({File});
        w.show();
        return Dialogs.Messages.value(0);
    }

    std::vector<QTranslator*> Installed;
    QTemporaryDir DataHome, Reports;
    TPrivateTempFolder Temp;
    TDialogRecorder Dialogs;
};

} // namespace

TEST_F(TranslationsTest, UnderTurkishADamagedFileIsReportedInTurkishByName)
{
    Installed = InstallTranslations(*qApp, QLocale(QLocale::Turkish, QLocale::Turkey));
    ASSERT_EQ(Installed.size(), 2u) << "qrpview_tr.qm or qtbase_tr.qm not found";
    const QString file = CutShortReport();
    const QString message = OpenMessage(file);
    EXPECT_TRUE(message.contains(file)) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("hasarlı ya da yarıda kesilmiş"))) << message.toStdString();
    EXPECT_FALSE(message.contains(QStringLiteral("Stream read error"))) << message.toStdString();

    // Nested reasons are translated too, numbers and names kept.
    EXPECT_EQ(
        TranslatedErrorText(QStringLiteral("Damaged report file \"/a/b %2.qrp\": page 2: its back pointer does "
                                           "not lead to the start of its record")),
        QStringLiteral("“/a/b %2.qrp” rapor dosyası hasarlı: sayfa 2: geri işaretçisi kaydının başına götürmüyor"));
}

TEST_F(TranslationsTest, UnderTurkishQtsFileDialogIsTurkish)
{
    Installed = InstallTranslations(*qApp, QLocale(QLocale::Turkish, QLocale::Turkey));
    QFileDialog dialog(nullptr, QStringLiteral("Rapor Yükle"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    auto* fileName = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
    auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    ASSERT_TRUE(lookIn && fileName && buttons);
    EXPECT_FALSE(lookIn->text().isEmpty());
    EXPECT_NE(lookIn->text(), QStringLiteral("Look in:"));
    EXPECT_NE(fileName->text(), QStringLiteral("File &name:"));
    EXPECT_NE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
    // The type column names a folder from our catalogue: Qt's lacks it.
    EXPECT_EQ(QFileIconProvider().type(QFileInfo(Reports.path())), QStringLiteral("Klasör"));
}

TEST_F(TranslationsTest, UnderCTheTextsStandAsWritten)
{
    Installed = InstallTranslations(*qApp, QLocale::c());
    EXPECT_TRUE(Installed.empty());
    const QString file = CutShortReport();
    const QString message = OpenMessage(file);
    EXPECT_EQ(message.toStdString(), QStringLiteral("Cannot read \"%1\": the file ends before all of its data could be "
                                                    "read: it is damaged or cut short")
                                         .arg(file)
                                         .toStdString());

    const QString good = Reports.filePath("iyi.qrp");
    SaveDemoReport(good, 2);
    Tfrmzizarud w({good});
    w.show();
    ASSERT_EQ(TfrmZozEdezaPreview::OpenWindows().size(), 1);
    TfrmZozEdezaPreview* window = TfrmZozEdezaPreview::OpenWindows().first();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Zendivo v1.2"));
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("Rapor Onizleme — ")))
        << window->windowTitle().toStdString();
    EXPECT_EQ(window->btnPrint->text(), QStringLiteral("&Yazdir"));
    EXPECT_EQ(window->btnPrevPage->text(), QStringLiteral("Onceki Sayfa"));
    EXPECT_EQ(window->btnZoomIn->text(), QStringLiteral("Rapor Buyut"));
    EXPECT_EQ(window->btnOpen->text(), QStringLiteral("Rapor &Ac"));
    EXPECT_EQ(window->btnClose->text(), QStringLiteral("Cikis"));
}
