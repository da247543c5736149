#include "platform/Version.h"

#ifndef VEK_BUILD_NUMBER
#define VEK_BUILD_NUMBER 0
#endif

TBuildInfo GetBuildInfo()
{
    return TBuildInfo{2, 9, 0, VEK_BUILD_NUMBER};
}

bool GetBuildInfo(int& major, int& minor, int& release, int& build)
{
    const TBuildInfo info = GetBuildInfo();
    major = info.Major;
    minor = info.Minor;
    release = info.Release;
    build = info.Build;
    return true;
}
