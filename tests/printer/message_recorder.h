// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Records the report document's notifications, as a preview control would receive them.
#include "printer/qrmessages.h"

#include <QObject>

#include <vector>

class TMessageRecorder : public QObject {
public:
    struct Message {
        int Msg;
        qintptr WParam, LParam;
    };
    std::vector<Message> Messages;

    bool event(QEvent* e) override
    {
        if (e->type() != TQRMessageEvent::EventType())
            return QObject::event(e);
        const auto* m = static_cast<TQRMessageEvent*>(e);
        Messages.push_back({m->Msg, m->WParam, m->LParam});
        return true;
    }
};
