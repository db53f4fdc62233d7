// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/standardpreview.h"

#include "printer/qrprinter.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace {

TStandardPreviewContent ContentMaker = nullptr;

} // namespace

void SetStandardPreviewContent(TStandardPreviewContent Make)
{
    ContentMaker = Make;
}

TQRStandardPreview::TQRStandardPreview(TQRPrinter* AQRPrinter, QWidget* Parent)
    : QWidget(Parent), FQRPrinter(AQRPrinter)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Print Preview"));
    resize(640, 800);
    if (FQRPrinter) {
        FQRPrinter->SetClient(this);
        FQRPrinter->SetShowingPreview(true);
    }
    if (ContentMaker) {
        // The control becomes the document's client, for page notifications.
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(ContentMaker(FQRPrinter, this));
    }
}

TQRStandardPreview::~TQRStandardPreview()
{
    DetachQRPrinter(FQRPrinter);
}

void TQRStandardPreview::DetachQRPrinter(TQRPrinter* Printer)
{
    if (!FQRPrinter || Printer != FQRPrinter)
        return;
    TQRPrinter* printer = FQRPrinter;
    FQRPrinter = nullptr;
    // A newer preview of the same document keeps its own link.
    if (printer->Client() == this) {
        printer->SetShowingPreview(false);
        printer->SetClient(nullptr);
    }
}

void TQRStandardPreview::closeEvent(QCloseEvent* Event)
{
    // Pages still being produced need their preview; the user closes it later.
    if (FQRPrinter && FQRPrinter->Status() == mpBusy) {
        Event->ignore();
        return;
    }
    if (FQRPrinter)
        FQRPrinter->ClosePreview(this);
    Event->accept();
}
