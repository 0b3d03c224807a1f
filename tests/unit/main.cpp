// Runs every unit test.
#include <gtest/gtest.h>
#include "common/host.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ResetHostHooks();  // the double-byte scans of tests without a session use it too
    return RUN_ALL_TESTS();
}
