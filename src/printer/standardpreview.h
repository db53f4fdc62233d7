// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The library's own preview window, opened when no application has
// registered a better one: a window around the control that shows the
// document, which tells the document when the window goes.
#include "printer/qrmessages.h"

#include <QPointer>
#include <QWidget>

class TQRPrinter;

// Makes the control that shows AQRPrinter from page 1 inside Parent. The
// control lives in a higher layer, which installs its maker when it is
// linked in; without one the window stays empty.
using TStandardPreviewContent = QWidget* (*)(TQRPrinter* AQRPrinter, QWidget* Parent);
void SetStandardPreviewContent(TStandardPreviewContent Make);

class TQRStandardPreview : public QWidget, public TQRPrinterClient {
    Q_OBJECT
public:
    explicit TQRStandardPreview(TQRPrinter* AQRPrinter, QWidget* Parent = nullptr);
    ~TQRStandardPreview() override;

    TQRPrinter* QRPrinter() const { return FQRPrinter; }
    void DetachQRPrinter(TQRPrinter* Printer) override;

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    TQRPrinter* FQRPrinter = nullptr;
};
