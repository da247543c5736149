#pragma once
// Paths of the sample files in tests/data.
#include <string>

namespace vektest {
// Absolute path of a file below tests/data.
std::string DataPath(const std::string& relative);
// A fresh, empty folder below the test run's temporary home, removed by the
// next run's fixture; each call gives a new folder.
std::string TempDir();
}
