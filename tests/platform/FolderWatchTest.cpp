// Every kind of folder event, made on real folders.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/FileWatcher.h"
#include "tests/support/PlatformFixture.h"

namespace {

namespace fs = std::filesystem;

void WriteFile(const String& Path, const char* Text)
{
    const int fd = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, Text, std::strlen(Text)), ssize_t(std::strlen(Text)));
    ::close(fd);
}

struct TWatchedFolders {
    fs::path Root;
    String A;
    String B;
    String Outside;
    TFolderWatch* Watch = Create<TFolderWatch>(nullptr);
    std::vector<TFolderEvent> Events;

    TWatchedFolders()
    {
        EnsureApplication();
        char pattern[] = "/tmp/vek-folder-watch-XXXXXX";
        Root = ::mkdtemp(pattern);
        A = (Root / "a").string();
        B = (Root / "b").string();
        Outside = (Root / "outside").string();
        for (const String& f : {A, B, Outside})
            fs::create_directory(f);
        Watch->OnEvent = [this](const TFolderEvent& E) { Events.push_back(E); };
        EXPECT_TRUE(Watch->AddFolder(A + "/"));
        EXPECT_TRUE(Watch->AddFolder(B));
    }
    TWatchedFolders(const TWatchedFolders&) = delete;
    TWatchedFolders& operator=(const TWatchedFolders&) = delete;
    ~TWatchedFolders()
    {
        delete Watch;
        std::error_code ec;
        fs::remove_all(Root, ec);
    }

    // The events the action brings, once N have come (or the wait is over).
    std::vector<TFolderEvent> After(std::size_t N, const std::function<void()>& Action)
    {
        Events.clear();
        Action();
        ProcessEventsUntil([&] { return Events.size() >= N; }, 10000);
        // Anything that comes late is part of the answer too.
        Watch->ReadEvents();
        return Events;
    }

    // True when the action brings no event: a change of a marker file in
    // Folder, made after it, is the first thing reported.
    bool Quiet(const String& Folder, const std::function<void()>& Action)
    {
        const String marker = Folder + "/marker";
        if (!fs::exists(marker))
            After(2, [&] { WriteFile(marker, "m"); });
        MarkerMode = MarkerMode == 0600 ? 0644 : 0600;
        const std::vector<TFolderEvent> got = After(1, [&] {
            Action();
            ::chmod(marker.c_str(), MarkerMode);
        });
        return !got.empty() && got.front().Kind == fekAttributes && got.front().Path == marker;
    }
    mode_t MarkerMode = 0644;
};

using TEvents = std::vector<TFolderEvent>;

}  // namespace

void PrintTo(const TFolderEvent& E, std::ostream* Out)
{
    *Out << int(E.Kind) << " '" << E.Path << "' '" << E.NewPath << "'";
}

TEST(FolderWatch, EveryKindOfEventWithItsPaths)
{
    TWatchedFolders w;
    const String f = w.A + "/plan.vek";
    EXPECT_EQ(w.After(2, [&] { WriteFile(f, "x"); }),
              (TEvents{{fekCreated, f, ""}, {fekClosedWritten, f, ""}}));
    EXPECT_EQ(w.After(1, [&] { ::chmod(f.c_str(), 0600); }), (TEvents{{fekAttributes, f, ""}}));
    const String g = w.A + "/plan2.vek";
    EXPECT_EQ(w.After(1, [&] { std::rename(f.c_str(), g.c_str()); }), (TEvents{{fekRenamed, f, g}}));
    const String h = w.B + "/plan2.vek";
    EXPECT_EQ(w.After(1, [&] { std::rename(g.c_str(), h.c_str()); }), (TEvents{{fekRenamed, g, h}}));
    const String away = w.Outside + "/plan2.vek";
    EXPECT_EQ(w.After(1, [&] { std::rename(h.c_str(), away.c_str()); }), (TEvents{{fekMovedOut, h, ""}}));
    const String back = w.A + "/back.vek";
    EXPECT_EQ(w.After(1, [&] { std::rename(away.c_str(), back.c_str()); }), (TEvents{{fekMovedIn, "", back}}));
    EXPECT_EQ(w.After(1, [&] { ::unlink(back.c_str()); }), (TEvents{{fekDeleted, back, ""}}));
    const String d = w.B + "/push";
    EXPECT_EQ(w.After(1, [&] { fs::create_directory(d); }), (TEvents{{fekFolderCreated, d, ""}}));
    // Not into subfolders.
    EXPECT_TRUE(w.Quiet(w.A, [&] { WriteFile(d + "/deep.xml", "y"); }));
    ::unlink((d + "/deep.xml").c_str());
    EXPECT_EQ(w.After(1, [&] { ::rmdir(d.c_str()); }), (TEvents{{fekFolderRemoved, d, ""}}));
}

TEST(FolderWatch, RepeatsAreReportedAndRemovedFoldersAreForgotten)
{
    TWatchedFolders w;
    const String f = w.B + "/lock";
    WriteFile(f, "1");
    w.After(2, [] {});
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(w.After(1, [&] { ::chmod(f.c_str(), i ? 0644 : 0600); }), (TEvents{{fekAttributes, f, ""}}));

    EXPECT_TRUE(w.Watch->RemoveFolder(w.A));
    EXPECT_FALSE(w.Watch->RemoveFolder(w.A));
    EXPECT_TRUE(w.Quiet(w.B, [&] { WriteFile(w.A + "/quiet", "z"); }));
    EXPECT_EQ(w.Watch->Folders(), std::vector<String>{w.B});

    // A watched folder that goes away ends its own watch.
    fs::remove_all(w.B);
    w.After(2, [] {});
    EXPECT_TRUE(w.Watch->Folders().empty());
    EXPECT_FALSE(w.Watch->AddFolder(w.Root.string() + "/missing"));
}

TEST(FolderWatch, AFullQueueIsReportedAsOverflow)
{
    TWatchedFolders w;
    // More events than the system queues (two per file) before any is read.
    int limit = 16384;
    std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> limit;
    const int files = limit / 2 + 16;
    for (int i = 0; i < files; ++i) {
        const String f = w.A + "/" + std::to_string(i);
        const int fd = ::open(f.c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    w.Events.clear();
    ProcessEventsUntil([&] { return !w.Events.empty() && w.Events.back().Kind == fekOverflow; }, 20000);
    ASSERT_FALSE(w.Events.empty());
    EXPECT_EQ(w.Events.back(), (TFolderEvent{fekOverflow, "", ""}));
    EXPECT_EQ(w.Events.front(), (TFolderEvent{fekCreated, w.A + "/0", ""}));
}
