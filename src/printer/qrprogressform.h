// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small always-on-top window a report definition may ask for while its
// report prints: percentage done and a button to stop after the page in hand.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class TQRPrinter;

class TQRProgressForm : public QDialog {
    Q_OBJECT
public:
    explicit TQRProgressForm(TQRPrinter* Printer, QWidget* Parent = nullptr);

    QLabel* Info = nullptr;
    QPushButton* CancelButton = nullptr;
    QProgressBar* Gauge = nullptr;
    TQRPrinter* FQRPrinter = nullptr;

protected:
    bool event(QEvent* Event) override;

private:
    void CancelButtonClick();
};
