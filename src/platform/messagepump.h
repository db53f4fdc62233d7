// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lets the messages already posted (Qt events) run, as the document and the
// preview do before they read what a posted notification may change. Header
// only, so that the core platform library stays free of Qt: every caller is
// Qt code.
#include <QCoreApplication>

// Does nothing without an application object, as in the lower layers' tests.
inline void ProcessPendingMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}
