// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a report document finds the window that previews it without knowing
// its class: one process-wide factory kind, a fresh factory per preview.
#include <memory>

class QWidget;
class TQRPrinter;

class TQRPreviewInterface {
public:
    virtual ~TQRPreviewInterface() = default;
    // Opens a modeless preview of AQRPrinter and returns its window.
    virtual QWidget* Show(TQRPrinter* AQRPrinter);
    // Runs a modal preview; returns once it has closed. The window frees
    // itself on closing, so what is returned must not be kept.
    virtual QWidget* ShowModal(TQRPrinter* AQRPrinter);
};

using TQRPreviewInterfaceClass = std::unique_ptr<TQRPreviewInterface> (*)();

template <class T>
std::unique_ptr<TQRPreviewInterface> CreatePreviewInterface()
{
    return std::make_unique<T>();
}

// nullptr goes back to the library's standard preview.
void SetPreviewFactoryClass(TQRPreviewInterfaceClass Value);
template <class T>
void SetPreviewFactoryClass()
{
    SetPreviewFactoryClass(&CreatePreviewInterface<T>);
}
TQRPreviewInterfaceClass PreviewFactoryClass();

// ShowModal's common part: shows Window application-modal and returns once
// it has freed itself on closing; the result is then null, never stale.
QWidget* ShowModalUntilFreed(QWidget* Window);

// The library's default: a plain "Print Preview" window.
class TQRStandardPreviewInterface : public TQRPreviewInterface {
public:
    QWidget* Show(TQRPrinter* AQRPrinter) override;
    QWidget* ShowModal(TQRPrinter* AQRPrinter) override;
};
