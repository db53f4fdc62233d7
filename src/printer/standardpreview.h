#pragma once
// The library's own preview window, opened when no application has
// registered a better one: a plain window that shows the document is
// attached and tells it when the window goes.
#include "printer/qrmessages.h"

#include <QPointer>
#include <QWidget>

class TQRPrinter;

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
