#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "document/SideFolder.h"
#include "platform/SysUtils.h"

namespace {

String TempFolder()
{
    char pattern[] = "/tmp/vek-side-XXXXXX";
    const char* dir = ::mkdtemp(pattern);
    return dir ? String(dir) + "/" : String("/tmp/");
}

void Touch(const String& Name, const std::string& Bytes = "x")
{
    std::ofstream(Name, std::ios::binary) << Bytes;
}

// Runs Probe in a child process; its exit status.
template <class F>
int InChild(F Probe)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(Probe());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

}  // namespace

TEST(SideFolder, PathsBesideTheDocument)
{
    EXPECT_EQ(SideFolderOf("/data/plans/a.vek"), "/data/plans/__vek/a.vek/");
    EXPECT_EQ(HistoryFolderOf("/data/plans/a.vek"), "/data/plans/__vek/a.vek/history/");
    EXPECT_EQ(PushFolderOf("/d/a.vek"), "/d/__vek/a.vek/push/");
    EXPECT_EQ(BackupFolderOf("/d/a.vek"), "/d/__vek/a.vek/backup/");
    EXPECT_EQ(LockFileOf("/d/a.vek"), "/d/__vek/a.vek/a.vek~");
    EXPECT_EQ(LockFileOf(""), "");
}

TEST(SideFolder, HistoryNumbersAreCountedByTheirExtension)
{
    const String dir = TempFolder();
    int count = -1, highest = -1, lowest = -1;
    HistoryInfoIn(dir, "/x/plan.vek", count, highest, lowest);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(highest, 0);
    Touch(dir + "plan.vek.~3~");
    Touch(dir + "plan.vek.~7~");
    Touch(dir + "plan.vek.~x~");      // not a number
    Touch(dir + "other.vek.~9~");     // another document
    ::mkdir((dir + "plan.vek.~12~").c_str(), 0777);  // a folder does not count
    // Only digits make a number, and copies count from 1.
    for (const char* odd : {"~-9~", "~ 12~", "~+5~", "~0~", "~00~", "~$1F~", "~0x1F~", "~99999999999~", "~~", "~5"})
        Touch(dir + "plan.vek." + odd);
    HistoryInfoIn(dir, "/x/plan.vek", count, highest, lowest);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(lowest, 3);
    EXPECT_EQ(highest, 7);
    Touch(dir + "plan.vek.~011~");
    HistoryInfoIn(dir, "/x/plan.vek", count, highest, lowest);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(highest, 11);
    EXPECT_EQ(HistoryCopyName("plan.vek", 8), "plan.vek.~8~");
}

TEST(SideFolder, LockRecordRoundTripsAndForeignLengthsAreBounded)
{
    const String dir = TempFolder();
    const String lock = dir + "a.vek~";
    Touch(lock, MakeLockRecord("jürgen", "host-1"));
    String user, machine;
    ReadLockRecord(lock, user, machine);
    EXPECT_EQ(user, "jürgen");
    EXPECT_EQ(machine, "host-1");

    // A count past the end of the file, a negative and a huge one: empty names.
    std::string past = MakeLockRecord("ab", "cd");
    past[0] = 50;
    std::string huge = MakeLockRecord("", "");
    huge[1] = 0x10;  // 4096 characters
    for (const std::string& bad : {past, std::string("\xff\xff\xff\xff", 4), huge + std::string(9000, 'a')}) {
        user = machine = "stale";
        Touch(lock, bad);
        ReadLockRecord(lock, user, machine);
        EXPECT_EQ(user + "|" + machine, "|") << bad.size();
    }
    ReadLockRecord(dir + "missing~", user, machine);
    EXPECT_EQ(user, "");

    // Names are cut to 255 characters.
    Touch(lock, MakeLockRecord(String(300, 'u'), "m"));
    ReadLockRecord(lock, user, machine);
    EXPECT_EQ(user.size(), 255u);
    EXPECT_EQ(machine, "m");
}

TEST(SideFolder, LockIsRefusedToASecondProcessAndFreedOnRelease)
{
    const String dir = TempFolder();
    const String lock = dir + "a.vek~";
    // A stale file of a crashed holder does not stop anybody.
    Touch(lock, MakeLockRecord("crashed", "old"));
    const int fd = AcquireLockFile(lock, "me", "here");
    ASSERT_GE(fd, 0);
    String user, machine;
    ReadLockRecord(lock, user, machine);
    EXPECT_EQ(user, "me");
    EXPECT_EQ(machine, "here");

    EXPECT_EQ(InChild([&] { return AcquireLockFile(lock, "other", "there") < 0 ? 0 : 1; }), 0);
    // The refused attempt left the holder's record alone.
    ReadLockRecord(lock, user, machine);
    EXPECT_EQ(user, "me");

    ReleaseLockFile(fd, lock);
    EXPECT_NE(::access(lock.c_str(), F_OK), 0);
    EXPECT_EQ(InChild([&] { return AcquireLockFile(lock, "other", "there") >= 0 ? 0 : 1; }), 0);
}

TEST(SideFolder, ALockDiesWithItsHolder)
{
    const String dir = TempFolder();
    const String lock = dir + "a.vek~";
    // The child takes the lock and dies without releasing it.
    EXPECT_EQ(InChild([&] { return AcquireLockFile(lock, "child", "box") >= 0 ? 0 : 1; }), 0);
    const int fd = AcquireLockFile(lock, "me", "here");
    EXPECT_GE(fd, 0);
    ReleaseLockFile(fd, lock);
}

TEST(SideFolder, ForceDirectoriesMakesParents)
{
    const String dir = TempFolder();
    EXPECT_TRUE(ForceDirectories(dir + "a/b/c/"));
    struct stat st {};
    EXPECT_EQ(::stat((dir + "a/b/c").c_str(), &st), 0);
    Touch(dir + "file");
    EXPECT_FALSE(ForceDirectories(dir + "file/sub"));
}

TEST(SideFolder, TwoProcessesNeverHoldTheLockAtOnce)
{
    // Each process takes the lock, marks itself inside (the mark can be made
    // only once at a time), leaves the mark and lets go, many times over. A
    // release that removes the file before closing it must not hand the lock
    // to two at once: one locking the removed file, one a new file.
    const String dir = TempFolder();
    const String lock = dir + "a.vek~";
    const String inside = dir + "inside";
    const auto rounds = [&](const char* Name) {
        for (int i = 0; i < 400; ++i) {
            int fd = -1;
            while (fd < 0)
                fd = AcquireLockFile(lock, Name, "box");
            const int mark = ::open(inside.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
            if (mark < 0)
                return 1;
            ::close(mark);
            ::unlink(inside.c_str());
            ReleaseLockFile(fd, lock);
        }
        return 0;
    };
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(rounds("child"));
    const int mine = rounds("parent");
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(mine, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(SideFolder, ALockThatCannotBeMadeSaysWhy)
{
    const String dir = TempFolder();
    // A file where the side folder should be: nobody holds the lock.
    Touch(dir + "__vek");
    int error = -1;
    EXPECT_LT(AcquireLockFile(dir + "__vek/a.vek/a.vek~", "me", "here", &error), 0);
    EXPECT_EQ(error, ENOTDIR);
    // Held by another process: no reason, it is simply taken.
    const String lock = dir + "b.vek~";
    const int fd = AcquireLockFile(lock, "me", "here", &error);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(InChild([&] {
        int childError = -1;
        return AcquireLockFile(lock, "other", "there", &childError) < 0 && childError == 0 ? 0 : 1;
    }),
              0);
    ReleaseLockFile(fd, lock);
}

TEST(SideFolder, TheSideFolderIsListedAsHiddenOnce)
{
    const String dir = TempFolder();
    Touch(dir + ".hidden", "notes\r\nold stuff");
    HideInFolder(dir, "__vek");
    HideInFolder(dir, "__vek");
    std::ifstream in(dir + ".hidden", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "notes\r\nold stuff\n__vek\n");
    const String fresh = TempFolder();
    HideInFolder(fresh, "__vek");
    std::ifstream again(fresh + ".hidden", std::ios::binary);
    const std::string made((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>());
    EXPECT_EQ(made, "__vek\n");
    // A folder that cannot take the list is no error.
    HideInFolder(dir + "missing/", "__vek");
}
