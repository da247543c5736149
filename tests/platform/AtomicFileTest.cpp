#include "platform/AtomicFile.h"

#include "platform/Exceptions.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string Contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t EntriesIn(const fs::path& folder)
{
    return std::size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

} // namespace

TEST(AtomicFile, CreatesAndReplacesKeepingPermissions)
{
    const fs::path folder = vektest::TempDir();
    const fs::path file = folder / "plan.vek";
    const std::string binary("a\0b\r\n\xFF", 6);
    WriteFileAtomic(file.string(), binary);
    EXPECT_EQ(Contents(file), binary);

    ::chmod(file.c_str(), 0640);
    WriteFileAtomic(file.string(), "new");
    EXPECT_EQ(Contents(file), "new");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    WriteFileAtomic(file.string(), "");
    EXPECT_EQ(Contents(file), "");
    // No temporary file is left behind.
    EXPECT_EQ(EntriesIn(folder), 1u);
}

TEST(AtomicFile, ReplacesTheFileALinkPointsTo)
{
    const fs::path folder = vektest::TempDir();
    fs::create_directory(folder / "real");
    const fs::path target = folder / "real" / "plan.vek";
    WriteFileAtomic(target.string(), "old");
    fs::create_symlink(target, folder / "link.vek");

    WriteFileAtomic((folder / "link.vek").string(), "through the link");
    EXPECT_TRUE(fs::is_symlink(folder / "link.vek"));
    EXPECT_EQ(Contents(target), "through the link");
}

TEST(AtomicFile, FailuresReachTheCallerAndLeaveTheOldContents)
{
    const fs::path folder = vektest::TempDir();
    EXPECT_THROW(WriteFileAtomic((folder / "missing" / "plan.vek").string(), "x"), EFCreateError);

    // A folder in the way cannot be replaced; what it holds stays.
    fs::create_directory(folder / "plan.vek");
    WriteFileAtomic((folder / "plan.vek" / "inside").string(), "kept");
    try {
        WriteFileAtomic((folder / "plan.vek").string(), "x");
        FAIL() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_NE(e.Message.find("plan.vek"), std::string::npos);
    }
    EXPECT_EQ(Contents(folder / "plan.vek" / "inside"), "kept");
    EXPECT_EQ(EntriesIn(folder), 1u);
}
