// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Notifications from a report document to the window that shows it, carried
// as Qt events with the message number and two parameters, so that posted
// ones are handled when the receiver's event loop next runs.
#include <QEvent>
#include <QtGlobal>

class QObject;
class TQRPrinter;

enum : int {
    WM_USER = 1024,
    QRM_PROGRESS = WM_USER,            // wParam: progress in percent
    QRM_PAGES_AVAILABLE = WM_USER + 1, // wParam: pages available
    QRM_PREVIEW_CLOSED = WM_USER + 4   // lParam: the document
};

class TQRMessageEvent : public QEvent {
public:
    TQRMessageEvent(int Msg, qintptr WParam, qintptr LParam);
    static QEvent::Type EventType();

    int Msg;
    qintptr WParam;
    qintptr LParam;
};

// Queues the message for Target; nothing happens when Target is null.
void PostQRMessage(QObject* Target, int Msg, qintptr WParam, qintptr LParam);
// Delivers the message before returning; false when Target is null or ignores it.
bool SendQRMessage(QObject* Target, int Msg, qintptr WParam, qintptr LParam);

// What a control that shows a document implements, so that a document
// going away can detach it first.
class TQRPrinterClient {
public:
    virtual ~TQRPrinterClient() = default;
    // Forget the document; the control stops showing it.
    virtual void DetachQRPrinter(TQRPrinter* Printer) = 0;
};
