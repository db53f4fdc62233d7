// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application object of qrpview and the program's run: one main
// window, the event loop, and no error ever leaving the loop.
#include <QApplication>
#include <QStringList>

class TViewerApplication : public QApplication {
    Q_OBJECT
public:
    TViewerApplication(int& argc, char** argv);
    // An error escaping an event handler becomes a message; the program
    // goes on with the next event.
    bool notify(QObject* Receiver, QEvent* Event) override;
};

// Shows the main window for Args (the command line without the program)
// and runs until the main window closes.
int RunViewer(const QStringList& Args);
