#include "tests/support/TestData.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace vektest {

std::string DataPath(const std::string& relative)
{
    return std::string(VEK_TEST_DATA_DIR) + "/" + relative;
}

std::string TempDir()
{
    static std::atomic<int> counter{0};
    const char* home = std::getenv("HOME");
    std::filesystem::path base = home ? home : std::filesystem::temp_directory_path().string();
    base /= "tmp";
    std::filesystem::path dir = base / (std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

} // namespace vektest
