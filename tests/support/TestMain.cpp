// The one main() of every test executable.
#include <gtest/gtest.h>

#include "platform/Forms.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // The Qt application a test may have made goes before the exit handlers.
    Application->Shutdown();
    return result;
}
