#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include "platform/sanitizer_hooks.h"

int main(int argc, char** argv)
{
    // Tests never need a display; the offscreen platform also keeps them
    // deterministic on a developer's desktop.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
