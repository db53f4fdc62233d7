// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/viewerapplication.h"

#include "app/appresources.h"
#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "platform/i18n/translations.h"
#include "platform/version.h"

#include <QIcon>

#include <exception>

TViewerApplication::TViewerApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("qrpview"));
    setApplicationDisplayName(QStringLiteral("Zendivo"));
    setApplicationVersion(QString::fromLatin1(QrpVersion));
    setDesktopFileName(QStringLiteral("qrpview"));
    InstallTranslations(*this);
    InitAppResources();
    setWindowIcon(QIcon(QStringLiteral(":/qrpview.svg")));
}

bool TViewerApplication::notify(QObject* Receiver, QEvent* Event)
{
    try {
        return QApplication::notify(Receiver, Event);
    } catch (const std::exception& error) {
        ShowErrorMessage(activeWindow(), QString::fromUtf8(error.what()));
    } catch (...) {
        ShowErrorMessage(activeWindow(), QStringLiteral("Unknown error"));
    }
    return false;
}

int RunViewer(const QStringList& Args)
{
    // Preview windows may outlive the main window's close for a moment;
    // the program ends with the main window all the same.
    QApplication::setQuitOnLastWindowClosed(false);
    Tfrmzizarud window(Args);
    QObject::connect(&window, &Tfrmzizarud::Closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    return QApplication::exec();
}
