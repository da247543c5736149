#pragma once
// The program's version, fixed at build time.

struct TBuildInfo {
    int Major;
    int Minor;
    int Release;
    int Build;
};

// Answers 2.9.0 and the build number the build was configured with.
TBuildInfo GetBuildInfo();
bool GetBuildInfo(int& major, int& minor, int& release, int& build);
