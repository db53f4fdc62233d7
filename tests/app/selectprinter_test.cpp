// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/selectprinter.h"

#include "app/dialogs.h"
#include "platform/print/virtualprinters.h"
#include "printer/demoreport.h"
#include "printer/qrprinter.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString Supported = QStringLiteral("Yazıcı çoklu kopya sistemini destekliyor.");
const QString Unsupported = QStringLiteral("Yazıcı çoklu kopya sistemini desteklemiyor.");

class SelectPrinterTest : public ::testing::Test {
protected:
    explicit SelectPrinterTest(const char* Config = "office.ini")
        : FPrinters(TVirtualPrinters::ReadConfig(QString(QRP_TEST_DATA "/printers/") + Config))
    {
        SetDialogRunners(nullptr, [this](QMessageBox& Box) { Messages.append(Box.text()); });
        TDemoReportOptions options;
        options.Pages = 12;
        ProduceDemoReport(Document, options);
        Dialog.QRPrinter = &Document;
        Dialog.PrinterIndex = Document.PrinterIndex();
    }
    ~SelectPrinterTest() override { SetDialogRunners(nullptr, nullptr); }

    int IndexOf(const char* Name) const { return Document.Printers().indexOf(Name); }

    TVirtualPrinters FPrinters;
    TQRPrinter Document;
    TfrmSelectPrinter Dialog;
    QStringList Messages;
};

TEST_F(SelectPrinterTest, OpensWithThePageCountInTheCaptionsAndTheRangeDisabled)
{
    Dialog.show();
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("Yazıcı Seçimi"));
    EXPECT_EQ(Dialog.size(), QSize(406, 176));
    EXPECT_EQ(Dialog.AllPagesRb->text(), QStringLiteral("12. sayfa"));
    EXPECT_TRUE(Dialog.AllPagesRb->isChecked());
    EXPECT_EQ(Dialog.FromEdt->text(), "1");
    EXPECT_EQ(Dialog.ToEdt->text(), "12");
    EXPECT_FALSE(Dialog.FromEdt->isEnabled());
    EXPECT_FALSE(Dialog.ToEdt->isEnabled());
    EXPECT_EQ(Dialog.cbPrinters->count(), 3);
    EXPECT_EQ(Dialog.cbPrinters->currentIndex(), Document.PrinterIndex());
    EXPECT_EQ(Dialog.StatusLbl->text(), Supported);
    EXPECT_EQ(Dialog.CopiesSe->value(), 1);
    EXPECT_EQ(Dialog.GroupBox1->title(), QStringLiteral("Yazdırma Aralığı"));
    EXPECT_EQ(Dialog.GroupBox2->title(), QStringLiteral("Kopya Adeti"));
    EXPECT_EQ(Dialog.BitBtn1->text(), QStringLiteral("Tamam"));
    EXPECT_EQ(Dialog.BitBtn2->text(), QStringLiteral("Vazgeç"));
    EXPECT_EQ(Dialog.BitBtn3->text(), QStringLiteral("&Varsayılan"));
    EXPECT_TRUE(Dialog.BitBtn1->isDefault());
    EXPECT_EQ(Dialog.cbPrinters->geometry(), QRect(48, 5, 273, 21));
    EXPECT_EQ(Dialog.ToEdt->geometry(), QRect(154, 36, 33, 21));
    EXPECT_EQ(Dialog.Label1->buddy(), Dialog.cbPrinters);
    EXPECT_EQ(Dialog.Label4->buddy(), Dialog.CopiesSe);
}

TEST_F(SelectPrinterTest, TabOrderRunsFromThePrinterThroughTheButtonsToTheRange)
{
    Dialog.show();
    const std::vector<QWidget*> expected{Dialog.cbPrinters, Dialog.BitBtn1, Dialog.BitBtn2, Dialog.BitBtn3,
                                         Dialog.AllPagesRb, Dialog.RangeRb, Dialog.FromEdt, Dialog.ToEdt};
    QWidget* w = Dialog.cbPrinters;
    for (size_t i = 1; i < expected.size(); ++i) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        EXPECT_EQ(w, expected[i]) << "after " << expected[i - 1]->objectName().toStdString();
    }
}

TEST_F(SelectPrinterTest, RangeFieldsTakeDigitsOnlyAndOkReadsThem)
{
    Dialog.show();
    Dialog.RangeRb->click();
    EXPECT_TRUE(Dialog.FromEdt->isEnabled());
    EXPECT_TRUE(Dialog.ToEdt->isEnabled());
    Dialog.FromEdt->setText("1a");
    EXPECT_EQ(Dialog.FromEdt->text(), "");
    Dialog.FromEdt->setText("007");
    EXPECT_EQ(Dialog.FromEdt->text(), "007");
    Dialog.ToEdt->setText("9");
    Dialog.CopiesSe->setValue(4);
    Dialog.BitBtn1->click();
    EXPECT_EQ(Dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Dialog.FromPage, 7);
    EXPECT_EQ(Dialog.ToPage, 9);
    EXPECT_EQ(Dialog.NumCopies, 4);
    EXPECT_TRUE(Messages.isEmpty());
}

TEST_F(SelectPrinterTest, AllPagesGivesZeroWhateverTheFieldsHold)
{
    Dialog.show();
    Dialog.RangeRb->click();
    Dialog.FromEdt->setText("3");
    Dialog.AllPagesRb->click();
    EXPECT_FALSE(Dialog.ToEdt->isEnabled());
    Dialog.BitBtn1->click();
    EXPECT_EQ(Dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Dialog.FromPage, 0);
    EXPECT_EQ(Dialog.ToPage, 0);
}

TEST_F(SelectPrinterTest, AnEmptyOrTooLargeRangeKeepsTheDialogOpenAndSaysWhy)
{
    Dialog.show();
    Dialog.RangeRb->click();
    struct Case {
        QString From, To, Says;
    };
    const Case cases[] = {
        {"", "5", QStringLiteral("Başlangıç sayfası boş")},
        {"2", "", QStringLiteral("Bitiş sayfası boş")},
        {"2147483648", "5", QStringLiteral("çok büyük")},
        {"1", "000000000000000000099999999999", QStringLiteral("çok büyük")},
    };
    for (const Case& c : cases) {
        Messages.clear();
        Dialog.FromEdt->setText(c.From);
        Dialog.ToEdt->setText(c.To);
        Dialog.BitBtn1->click();
        EXPECT_TRUE(Dialog.isVisible());
        EXPECT_NE(Dialog.result(), QDialog::Accepted);
        ASSERT_EQ(Messages.size(), 1);
        EXPECT_TRUE(Messages[0].contains(c.Says)) << Messages[0].toStdString();
    }
    Dialog.FromEdt->setText("0002147483647");
    Dialog.ToEdt->setText("2147483647");
    Dialog.BitBtn1->click();
    EXPECT_EQ(Dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Dialog.FromPage, 2147483647);
}

TEST_F(SelectPrinterTest, CopiesArePresetWithinOneToNinetyNine)
{
    for (auto preset : {std::pair{0, 1}, std::pair{-4, 1}, std::pair{150, 99}, std::pair{7, 7}}) {
        TfrmSelectPrinter dialog;
        dialog.QRPrinter = &Document;
        dialog.NumCopies = preset.first;
        dialog.show();
        EXPECT_EQ(dialog.CopiesSe->value(), preset.second) << preset.first;
    }
}

TEST_F(SelectPrinterTest, AnEmptiedCopiesFieldGivesOneCopy)
{
    for (const bool byEnter : {false, true}) {
        TfrmSelectPrinter dialog;
        dialog.QRPrinter = &Document;
        dialog.NumCopies = 5;
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QTest::mouseClick(dialog.CopiesSe, Qt::LeftButton);
        QTest::keyClick(dialog.CopiesSe, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(dialog.CopiesSe, Qt::Key_Backspace);
        ASSERT_TRUE(dialog.CopiesSe->cleanText().isEmpty());
        if (byEnter)
            QTest::keyClick(dialog.CopiesSe, Qt::Key_Return);
        else
            QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << byEnter;
        EXPECT_EQ(dialog.NumCopies, 1) << byEnter;
    }
}

TEST_F(SelectPrinterTest, ProbeTellsWhetherTheDriverMakesCopiesAndRestoresTheDocument)
{
    Dialog.show();
    const int index = Document.PrinterIndex();
    const int copies = Document.Copies();
    Dialog.cbPrinters->setCurrentIndex(IndexOf("Plain"));
    EXPECT_EQ(Dialog.StatusLbl->text(), Unsupported);
    EXPECT_EQ(Document.PrinterIndex(), index);
    EXPECT_EQ(Document.Copies(), copies);
    Dialog.cbPrinters->setCurrentIndex(IndexOf("Odd Driver"));
    EXPECT_EQ(Dialog.StatusLbl->text(), Supported);
    EXPECT_EQ(Document.PrinterIndex(), index);
}

TEST_F(SelectPrinterTest, DefaultButtonSelectsTheSystemDefaultAndProbesIt)
{
    Dialog.show();
    Dialog.cbPrinters->setCurrentIndex(IndexOf("Plain"));
    ASSERT_EQ(Dialog.StatusLbl->text(), Unsupported);
    Dialog.BitBtn3->click();
    EXPECT_EQ(Dialog.cbPrinters->currentIndex(), IndexOf("Laser"));
    EXPECT_EQ(Dialog.StatusLbl->text(), Supported);
}

TEST_F(SelectPrinterTest, CancelLeavesTheChoicesAlone)
{
    Dialog.show();
    Dialog.RangeRb->click();
    Dialog.FromEdt->setText("4");
    Dialog.BitBtn2->click();
    EXPECT_EQ(Dialog.result(), QDialog::Rejected);
    EXPECT_EQ(Dialog.FromPage, 0);
}

class SelectPrinterWithoutPrintersTest : public SelectPrinterTest {
protected:
    SelectPrinterWithoutPrintersTest() : SelectPrinterTest("none.ini") {}
};

TEST_F(SelectPrinterWithoutPrintersTest, ListStaysEmptyAndNothingIsSelected)
{
    Dialog.PrinterIndex = 0;
    Dialog.show();
    EXPECT_EQ(Dialog.cbPrinters->count(), 0);
    EXPECT_EQ(Dialog.cbPrinters->currentIndex(), -1);
    EXPECT_EQ(Dialog.StatusLbl->text(), Unsupported);
    Dialog.BitBtn3->click();
    EXPECT_EQ(Dialog.cbPrinters->currentIndex(), -1);
}

TEST(RangeFieldError, NamesWhatIsWrong)
{
    EXPECT_EQ(RangeFieldError("12", "X"), QString());
    EXPECT_EQ(RangeFieldError("0", "X"), QString());
    EXPECT_EQ(RangeFieldError("00000000000000000001", "X"), QString());
    EXPECT_TRUE(RangeFieldError("", "X").startsWith("X boş"));
    EXPECT_TRUE(RangeFieldError("2147483648", "X").contains("çok büyük"));
    EXPECT_TRUE(RangeFieldError("1-2", "X").contains("değil"));
}

} // namespace
