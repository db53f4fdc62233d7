// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Waits for a condition while events run. Qt's QTRY_* macros cannot be used
// in gtest tests: on a timeout they return from the test without gtest
// noticing, so the test passes. This one fails it.
#include <QTest>
#include <gtest/gtest.h>

template <typename TCondition>
::testing::AssertionResult Eventually(TCondition Condition, int Milliseconds = 10000)
{
    if (QTest::qWaitFor(Condition, Milliseconds))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "still false after " << Milliseconds << " ms";
}
