#include "platform/Version.h"

#include <gtest/gtest.h>

TEST(Version, IsTwoNineZeroWithTheConfiguredBuild)
{
    int major = 0, minor = 0, release = 0, build = -1;
    ASSERT_TRUE(GetBuildInfo(major, minor, release, build));
    EXPECT_EQ(major, 2);
    EXPECT_EQ(minor, 9);
    EXPECT_EQ(release, 0);
    EXPECT_EQ(build, VEK_BUILD_NUMBER);
}
