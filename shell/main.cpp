// Entry of the program.
#include "platform/Version.h"

#include <cstdio>

int main(int, char**)
{
    const TBuildInfo v = GetBuildInfo();
    std::printf("VEK %d.%d.%d.%d\n", v.Major, v.Minor, v.Release, v.Build);
    return 0;
}
