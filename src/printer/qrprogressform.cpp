// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/qrprogressform.h"

#include "printer/qrmessages.h"
#include "printer/qrparentreport.h"
#include "printer/qrprinter.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

TQRProgressForm::TQRProgressForm(TQRPrinter* Printer, QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::CustomizeWindowHint),
      FQRPrinter(Printer)
{
    setWindowTitle(tr("Printing progress"));
    setFixedSize(149, 97);
    Info = new QLabel(this);
    Info->setObjectName(QStringLiteral("Info"));
    Info->setAlignment(Qt::AlignCenter);
    Info->setGeometry(4, 8, 141, 16);
    Gauge = new QProgressBar(this);
    Gauge->setObjectName(QStringLiteral("Gauge"));
    Gauge->setRange(0, 100);
    Gauge->setValue(0);
    Gauge->setTextVisible(false);
    Gauge->setGeometry(8, 30, 133, 18);
    CancelButton = new QPushButton(tr("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(37, 60, 75, 25);
    connect(CancelButton, &QPushButton::clicked, this, &TQRProgressForm::CancelButtonClick);
}

bool TQRProgressForm::event(QEvent* Event)
{
    if (Event->type() != TQRMessageEvent::EventType())
        return QDialog::event(Event);
    auto* message = static_cast<TQRMessageEvent*>(Event);
    if (message->Msg != QRM_PROGRESS || !FQRPrinter)
        return QDialog::event(Event);
    // The document's value, not the message's: a late message must not
    // move the bar backwards.
    const int value = FQRPrinter->Progress();
    if (value % 5 == 0) {
        Gauge->setValue(value);
        Info->setText(tr("%1%  Completed").arg(value));
        QCoreApplication::processEvents();
    }
    return true;
}

void TQRProgressForm::CancelButtonClick()
{
    if (!FQRPrinter)
        return;
    if (TQRParentReport* report = FQRPrinter->ParentReport())
        report->SetUserCancel(true);
    FQRPrinter->Cancel();
}
