// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The print dialog: which printer, which pages, how many copies. It prints
// nothing; on OK the caller reads the choices back.
#include <QDialog>

#include <memory>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TPrinter;
class TQRPrinter;

class TfrmSelectPrinter : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSelectPrinter(QWidget* Parent = nullptr);
    ~TfrmSelectPrinter() override;

    QLabel* Label1 = nullptr;
    QComboBox* cbPrinters = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* AllPagesRb = nullptr;
    QRadioButton* RangeRb = nullptr;
    QLineEdit* FromEdt = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* ToEdt = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label4 = nullptr;
    QSpinBox* CopiesSe = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* StatusLbl = nullptr;

    int NumCopies = 0;
    int PrinterIndex = -1;
    TQRPrinter* QRPrinter = nullptr;
    int FromPage = 0;
    int ToPage = 0;

    void cbPrintersChange();
    void BitBtn3Click();
    void AllPagesRbClick();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void FormShow();
    void FromEdtChange(QLineEdit* Edit);
    bool ReadRangeField(QLineEdit* Edit, const QString& Which, int& Value);

    std::unique_ptr<TPrinter> Printer;
    bool FShown = false;
};

// Why a range field cannot be used, or an empty text when Text is a page
// number that fits; Which names the field in the message.
QString RangeFieldError(const QString& Text, const QString& Which);
