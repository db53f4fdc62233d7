#include <gtest/gtest.h>
#include "platform/sanitizer_hooks.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
