// Entry of the program.
#include <cstdio>
#include <cstring>

#include "platform/Version.h"
#include "shell/Startup.h"

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0) {
            const TBuildInfo v = GetBuildInfo();
            std::printf("VEK %d.%d.%d.%d\n", v.Major, v.Minor, v.Release, v.Build);
            return 0;
        }
    return RunProgram(argc, argv);
}
