// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include "platform/runtimedir.h"

int main(int argc, char** argv)
{
    // Tests never need a display; the offscreen platform also keeps them
    // deterministic on a developer's desktop.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Nor do they read or change the user's remembered windows and files.
    QTemporaryDir config;
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    // Nor a session's runtime folder: without one Qt warns on every start.
    TPrivateRuntimeDir runtimeDir;
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // A test killed by its timeout leaves no folder behind.
    runtimeDir.Vacate();
    return RUN_ALL_TESTS();
}
