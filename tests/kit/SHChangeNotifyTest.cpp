// The change watcher on real folders: each kind of event reaches its
// handler with its paths, through the watcher's own window.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "components/SHChangeNotify.h"
#include "platform/Exceptions.h"
#include "platform/SysUtils.h"
#include "tests/support/PlatformFixture.h"

namespace {

namespace fs = std::filesystem;

void WriteFile(const String& Path)
{
    const int fd = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "x", 1), 1);
    ::close(fd);
}

struct TRecord {
    String Kind;
    String Path1;
    String Path2;
    bool operator==(const TRecord&) const = default;
};

void PrintTo(const TRecord& R, std::ostream* Out) { *Out << R.Kind << " '" << R.Path1 << "' '" << R.Path2 << "'"; }

class SHChangeNotify : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        char pattern[] = "/tmp/vek-change-notify-XXXXXX";
        Root = ::mkdtemp(pattern);
        Folder = Root + "/watched";
        Outside = Root + "/outside";
        fs::create_directory(Folder);
        fs::create_directory(Outside);
        Watcher = Create<TSHChangeNotify>(nullptr);
        Watcher->Folders()->Add(Folder);
    }
    void TearDown() override
    {
        delete Watcher;
        std::error_code ec;
        fs::remove_all(Root, ec);
    }
    void RecordAll()
    {
        auto one = [this](const char* Kind) {
            return [this, Kind](const String& P) { Got.push_back({Kind, P, ""}); };
        };
        auto two = [this](const char* Kind) {
            return [this, Kind](const String& A, const String& B) { Got.push_back({Kind, A, B}); };
        };
        Watcher->OnCreate = one("create");
        Watcher->OnDelete = one("delete");
        Watcher->OnMkDir = one("mkdir");
        Watcher->OnRmDir = one("rmdir");
        Watcher->OnUpdateItem = one("update");
        Watcher->OnAttributes = one("attributes");
        Watcher->OnRenameItem = two("rename");
        Watcher->OnRenameFolder = two("renamefolder");
        Watcher->OnDriveAdd = one("drive");
    }
    // What the action brings, once N events have come.
    std::vector<TRecord> After(std::size_t N, const std::function<void()>& Action)
    {
        Got.clear();
        Action();
        ProcessEventsUntil([&] { return Got.size() >= N; }, 10000);
        ProcessEvents();
        return Got;
    }
    String Root;
    String Folder;
    String Outside;
    TSHChangeNotify* Watcher = nullptr;
    std::vector<TRecord> Got;
};

using TRecords = std::vector<TRecord>;

}  // namespace

TEST_F(SHChangeNotify, EachEventReachesItsHandlerWithItsPaths)
{
    RecordAll();
    Watcher->Execute();
    EXPECT_EQ(Watcher->NotifyCount(), 1);
    const String a = Folder + "/a.diff";
    const String b = Folder + "/b.diff";
    const String sub = Folder + "/sub";
    EXPECT_EQ(After(2, [&] { WriteFile(a); }), (TRecords{{"create", a, ""}, {"update", a, ""}}));
    EXPECT_EQ(After(1, [&] { ::chmod(a.c_str(), 0600); }), (TRecords{{"attributes", a, ""}}));
    EXPECT_EQ(After(1, [&] { std::rename(a.c_str(), b.c_str()); }), (TRecords{{"rename", a, b}}));
    EXPECT_EQ(After(1, [&] { std::rename(b.c_str(), (Outside + "/b.diff").c_str()); }), (TRecords{{"rename", b, ""}}));
    EXPECT_EQ(After(1, [&] { std::rename((Outside + "/b.diff").c_str(), a.c_str()); }), (TRecords{{"rename", "", a}}));
    EXPECT_EQ(After(1, [&] { fs::create_directory(sub); }), (TRecords{{"mkdir", sub, ""}}));
    EXPECT_EQ(After(1, [&] { std::rename(sub.c_str(), (sub + "2").c_str()); }),
              (TRecords{{"renamefolder", sub, sub + "2"}}));
    EXPECT_EQ(After(1, [&] { fs::remove(sub + "2"); }), (TRecords{{"rmdir", sub + "2", ""}}));
    EXPECT_EQ(After(1, [&] { fs::remove(a); }), (TRecords{{"delete", a, ""}}));
    EXPECT_EQ(Watcher->PrevMsg, SHCNE_DELETE);
    EXPECT_EQ(Watcher->prevpath1, a);
    // A repeat of the event before is reported again.
    EXPECT_EQ(After(2, [&] { WriteFile(a); }), (TRecords{{"create", a, ""}, {"update", a, ""}}));
    EXPECT_EQ(After(1, [&] { WriteFile(a); }), (TRecords{{"update", a, ""}}));
}

TEST_F(SHChangeNotify, OnlyAssignedKindsAreAskedForAndPathsTakeTheTextCase)
{
    Watcher->OnCreate = [this](const String& P) { Got.push_back({"create", P, ""}); };
    Watcher->SetTextCase(tcUpperCase);
    Watcher->Execute();
    EXPECT_EQ(Watcher->EventMask(), SHCNE_CREATE);
    const String a = Folder + "/Mixed.diff";
    const String b = Folder + "/b";
    // The write's close is not asked for: the next thing after a's
    // creation is b's.
    const TRecords got = After(2, [&] {
        WriteFile(a);
        WriteFile(b);
    });
    EXPECT_EQ(got, (TRecords{{"create", AnsiUpperCase(a), ""}, {"create", AnsiUpperCase(b), ""}}));
}

TEST_F(SHChangeNotify, WithoutHandlersNothingIsWatchedNotEvenAMissingFolder)
{
    Watcher->Folders()->Add(Root + "/missing");
    EXPECT_NO_THROW(Watcher->Execute());
    EXPECT_EQ(Watcher->NotifyCount(), 0);
    EXPECT_EQ(Watcher->EventMask(), 0u);
}

TEST_F(SHChangeNotify, AMissingFolderAndALowMessageNumberAreRefused)
{
    RecordAll();
    Watcher->Folders()->Add(Root + "/missing");
    try {
        Watcher->Execute();
        FAIL() << "no exception";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message, "Could not register SHChangeNotify");
    }
    EXPECT_EQ(Watcher->NotifyCount(), 0);
    try {
        Watcher->SetMessageNo(WM_USER - 1);
        FAIL() << "no exception";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message, "MessageNo must be greater than or equal to 1024");
    }
    Watcher->SetMessageNo(WM_USER + 5);
    EXPECT_EQ(Watcher->MessageNo(), WM_USER + 5);
}

TEST_F(SHChangeNotify, StoppedItReportsNothingAndCanBeFreedByItsHandler)
{
    RecordAll();
    Watcher->SetMessageNo(WM_USER + 7);
    Watcher->Execute();
    Watcher->Stop();
    EXPECT_EQ(Watcher->NotifyCount(), 0);
    Got.clear();
    WriteFile(Folder + "/late");
    ProcessEventsUntil([] { return false; }, 200);
    EXPECT_TRUE(Got.empty());

    Watcher->Execute();
    Watcher->OnCreate = [this](const String& P) {
        Got.push_back({"create", P, ""});
        delete Watcher;
        Watcher = nullptr;
    };
    After(1, [&] { WriteFile(Folder + "/gone"); });
    EXPECT_EQ(Watcher, nullptr);
    EXPECT_EQ(Got.size(), 1u);
}
