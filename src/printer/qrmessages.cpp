// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/qrmessages.h"

#include <QCoreApplication>
#include <QObject>

TQRMessageEvent::TQRMessageEvent(int Msg, qintptr WParam, qintptr LParam)
    : QEvent(EventType()), Msg(Msg), WParam(WParam), LParam(LParam)
{
}

QEvent::Type TQRMessageEvent::EventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PostQRMessage(QObject* Target, int Msg, qintptr WParam, qintptr LParam)
{
    if (Target)
        QCoreApplication::postEvent(Target, new TQRMessageEvent(Msg, WParam, LParam));
}

bool SendQRMessage(QObject* Target, int Msg, qintptr WParam, qintptr LParam)
{
    if (!Target)
        return false;
    TQRMessageEvent event(Msg, WParam, LParam);
    return QCoreApplication::sendEvent(Target, &event);
}
