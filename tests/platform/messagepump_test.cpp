// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/messagepump.h"

#include <QObject>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

// A message posted before the call has run when it returns; one posted while
// it runs waits for the next call, so a handler that posts again cannot keep
// the caller in the pump.
TEST(MessagePump, RunsWhatWasPostedBeforeTheCall)
{
    QObject receiver;
    int runs = 0;
    std::function<void()> post = [&] {
        QMetaObject::invokeMethod(
            &receiver,
            [&] {
                ++runs;
                post();
            },
            Qt::QueuedConnection);
    };
    post();
    EXPECT_EQ(runs, 0);
    ProcessPendingMessages();
    EXPECT_EQ(runs, 1);
    ProcessPendingMessages();
    EXPECT_EQ(runs, 2);
}
