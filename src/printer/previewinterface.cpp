// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/previewinterface.h"

#include "printer/qrprinter.h"
#include "printer/standardpreview.h"

#include <QEventLoop>
#include <QPointer>

namespace {

TQRPreviewInterfaceClass GPreviewFactoryClass = &CreatePreviewInterface<TQRStandardPreviewInterface>;

std::unique_ptr<TQRPreviewInterface> NewFactory()
{
    return GPreviewFactoryClass();
}

} // namespace

QWidget* TQRPreviewInterface::Show(TQRPrinter*)
{
    return nullptr;
}

QWidget* TQRPreviewInterface::ShowModal(TQRPrinter*)
{
    return nullptr;
}

void SetPreviewFactoryClass(TQRPreviewInterfaceClass Value)
{
    GPreviewFactoryClass = Value ? Value : &CreatePreviewInterface<TQRStandardPreviewInterface>;
}

TQRPreviewInterfaceClass PreviewFactoryClass()
{
    return GPreviewFactoryClass;
}

QWidget* TQRStandardPreviewInterface::Show(TQRPrinter* AQRPrinter)
{
    auto* window = new TQRStandardPreview(AQRPrinter);
    window->show();
    return window;
}

QWidget* TQRStandardPreviewInterface::ShowModal(TQRPrinter* AQRPrinter)
{
    return ShowModalUntilFreed(new TQRStandardPreview(AQRPrinter));
}

QWidget* ShowModalUntilFreed(QWidget* Window)
{
    QPointer<QWidget> window = Window;
    window->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->show();
    loop.exec();
    return window;
}

void TQRPrinter::Preview()
{
    if (FOnPreviewEvent)
        FOnPreviewEvent(this);
    // The factory is freed on every path, also when Show throws.
    const std::unique_ptr<TQRPreviewInterface> factory = NewFactory();
    FPreviewControl = factory->Show(this);
}

void TQRPrinter::PreviewModal()
{
    if (FOnPreviewEvent)
        FOnPreviewEvent(this);
    const std::unique_ptr<TQRPreviewInterface> factory = NewFactory();
    factory->ShowModal(this);
}
