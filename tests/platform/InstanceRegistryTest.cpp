// The registry of running instances: several registries over one temporary
// folder stand for several programs; one test runs a real second process.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "platform/InstanceRegistry.h"
#include "tests/support/PlatformFixture.h"

extern char** environ;

namespace {

constexpr int WaitMs = 10000;

// A private, empty folder removed with what is left in it.
class TTempFolder {
public:
    explicit TTempFolder(const String& Prefix = "/tmp/vek-inst-")
    {
        String pattern = Prefix + "XXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (::mkdtemp(buf.data()))
            Path = String(buf.data()) + "/";
    }
    ~TTempFolder() { RemoveTree(Path); }
    static void RemoveTree(const String& Folder)
    {
        if (Folder.empty())
            return;
        if (DIR* d = ::opendir(Folder.c_str())) {
            while (const dirent* e = ::readdir(d)) {
                const String n = e->d_name;
                if (n == "." || n == "..")
                    continue;
                struct stat st {};
                if (::lstat((Folder + n).c_str(), &st) == 0 && S_ISDIR(st.st_mode))
                    RemoveTree(Folder + n + "/");
                else
                    ::unlink((Folder + n).c_str());
            }
            ::closedir(d);
        }
        ::rmdir(Folder.c_str());
    }
    std::set<String> Names() const
    {
        std::set<String> out;
        if (DIR* d = ::opendir(Path.c_str())) {
            while (const dirent* e = ::readdir(d))
                if (String(e->d_name) != "." && String(e->d_name) != "..")
                    out.insert(e->d_name);
            ::closedir(d);
        }
        return out;
    }
    void Write(const String& Name, const String& Text) const
    {
        const int fd = ::open((Path + Name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, Text.data(), Text.size()), ssize_t(Text.size()));
        ::close(fd);
    }
    String Path;
};

// A socket listening under Name in Folder, as a live instance keeps one.
class TFakeListener {
public:
    TFakeListener(const String& Folder, const String& Name)
    {
        Fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un a {};
        a.sun_family = AF_UNIX;
        const String p = Folder + Name;
        std::memcpy(a.sun_path, p.c_str(), std::min(p.size(), sizeof a.sun_path - 1));
        Bound = ::bind(Fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::listen(Fd, 4) == 0;
    }
    ~TFakeListener() { ::close(Fd); }
    int Fd = -1;
    bool Bound = false;
};

// Connects to the socket at Path and leaves the connection open; -1 when the
// listener's queue is full.
int RawConnect(const String& Path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_un a {};
    a.sun_family = AF_UNIX;
    std::memcpy(a.sun_path, Path.c_str(), std::min(Path.size(), sizeof a.sun_path - 1));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

String EntryName(int Pid, long Serial) { return std::to_string(Pid) + "-" + std::to_string(Serial); }

// One running "program": a registry over the folder that counts its notices.
struct TInstance {
    explicit TInstance(const String& Folder) : Registry(nullptr)
    {
        Registry.SetFolder(Folder);
        Registry.OnLookup = [this](TObject* Sender) {
            EXPECT_EQ(Sender, &Registry);
            ++Lookups;
        };
        Registry.OnActivate = [this](TObject*) { ++Activations; };
    }
    const TInstanceEntry* Find(NativeInt Handle)
    {
        Last = Registry.Windows();
        for (const TInstanceEntry& e : Last)
            if (e.Handle == Handle)
                return &e;
        return nullptr;
    }
    String CaptionOf(NativeInt Handle)
    {
        const TInstanceEntry* e = Find(Handle);
        return e ? e->Caption : "<none>";
    }
    TInstanceRegistry Registry;
    int Lookups = 0;
    int Activations = 0;
    std::vector<TInstanceEntry> Last;
};

class InstanceRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        ASSERT_FALSE(Folder.Path.empty());
    }
    std::unique_ptr<TInstance> Started(const String& Caption, const String& Path = "")
    {
        auto i = std::make_unique<TInstance>(Folder.Path);
        i->Registry.SetCaption(Caption, Path);
        EXPECT_TRUE(i->Registry.Start()) << i->Registry.LastError();
        return i;
    }
    TTempFolder Folder;
};

TEST_F(InstanceRegistryTest, EachSeesTheOthersCaptionsAfterAChange)
{
    auto a = Started("VEK - a.vek");
    auto b = Started("VEK - b.vek");
    auto c = Started("VEK - c.vek");
    ASSERT_TRUE(a->Registry.Active() && b->Registry.Active() && c->Registry.Active());
    EXPECT_EQ(a->Registry.Folder(), Folder.Path);
    std::set<NativeInt> handles{a->Registry.Handle(), b->Registry.Handle(), c->Registry.Handle()};
    EXPECT_EQ(handles.size(), 3u);

    // Each list holds all three, in the order they started, with only the
    // asker's own entry marked.
    for (TInstance* i : {a.get(), b.get(), c.get()}) {
        const std::vector<TInstanceEntry> list = i->Registry.Windows();
        ASSERT_EQ(list.size(), 3u);
        EXPECT_EQ(list[0].Caption, "VEK - a.vek");
        EXPECT_EQ(list[1].Caption, "VEK - b.vek");
        EXPECT_EQ(list[2].Caption, "VEK - c.vek");
        for (const TInstanceEntry& e : list) {
            EXPECT_EQ(e.Self, e.Handle == i->Registry.Handle());
            EXPECT_EQ(e.ProcessId, int(::getpid()));
        }
    }

    // A change of caption reaches the others as a notice through the event
    // loop, not while the writer is still inside SetCaption.
    ASSERT_TRUE(ProcessEventsUntil([&] { return a->Lookups > 0 && b->Lookups > 0; }, WaitMs));
    ProcessEvents();
    const int aBefore = a->Lookups, bBefore = b->Lookups;
    c->Registry.SetCaption("VEK - renamed.vek");
    EXPECT_EQ(a->Lookups, aBefore);
    EXPECT_TRUE(ProcessEventsUntil([&] { return a->Lookups > aBefore && b->Lookups > bBefore; }, WaitMs));
    EXPECT_EQ(a->CaptionOf(c->Registry.Handle()), "VEK - renamed.vek");
    EXPECT_EQ(b->CaptionOf(c->Registry.Handle()), "VEK - renamed.vek");

    // The same caption again is no change: nothing is written.
    ProcessEvents();
    const int settled = a->Lookups;
    c->Registry.SetCaption("VEK - renamed.vek");
    ProcessEvents();
    EXPECT_EQ(a->Lookups, settled);

    // A burst of changes makes fewer notices than changes, and the last text
    // is what the others read.
    const int cBefore = c->Lookups;
    for (int k = 0; k < 10; ++k)
        c->Registry.SetCaption("VEK - burst" + std::to_string(k) + ".vek");
    ASSERT_TRUE(ProcessEventsUntil([&] { return c->Lookups > cBefore; }, WaitMs));
    ProcessEvents();
    EXPECT_LT(c->Lookups - cBefore, 10);
    EXPECT_EQ(b->CaptionOf(c->Registry.Handle()), "VEK - burst9.vek");
}

TEST_F(InstanceRegistryTest, ActivationReachesOnlyTheInstanceAsked)
{
    auto a = Started("VEK - a.vek");
    auto b = Started("VEK - b.vek");
    auto c = Started("VEK - c.vek");
    EXPECT_TRUE(a->Registry.Activate(c->Registry.Handle()));
    EXPECT_EQ(c->Activations, 0);  // it comes through the event loop
    ASSERT_TRUE(ProcessEventsUntil([&] { return c->Activations == 1; }, WaitMs));
    ProcessEvents();
    EXPECT_EQ(a->Activations, 0);
    EXPECT_EQ(b->Activations, 0);

    // Asking oneself works the same way (the menu item of the own window).
    EXPECT_TRUE(b->Registry.Activate(b->Registry.Handle()));
    ASSERT_TRUE(ProcessEventsUntil([&] { return b->Activations == 1; }, WaitMs));

    // Handles of nobody.
    EXPECT_FALSE(a->Registry.Activate(0));
    EXPECT_FALSE(a->Registry.Activate(-5));
    EXPECT_FALSE(a->Registry.Activate(c->Registry.Handle() + 1000));

    // Peers that send rubbish, too much, or nothing at all, and hold their
    // connections open, neither activate it nor keep a real request out.
    const String sock = Folder.Path + EntryName(::getpid(), c->Registry.Handle() & 0xFFFFF) + ".socket";
    std::vector<int> idle;
    const int junk = RawConnect(sock);
    ASSERT_GE(junk, 0);
    ASSERT_EQ(::write(junk, "restore\n", 8), 8);
    const int flood = RawConnect(sock);
    ASSERT_GE(flood, 0);
    const String lots(500, 'a');
    ASSERT_EQ(::write(flood, lots.data(), lots.size()), ssize_t(lots.size()));
    for (int k = 0; k < 20; ++k) {
        idle.push_back(RawConnect(sock));
        ProcessEvents();
    }
    EXPECT_EQ(std::count(idle.begin(), idle.end(), -1), 0);
    ProcessEvents();
    EXPECT_EQ(c->Activations, 1);
    EXPECT_TRUE(a->Registry.Activate(c->Registry.Handle()));
    EXPECT_TRUE(ProcessEventsUntil([&] { return c->Activations == 2; }, WaitMs));
    ::close(junk);
    ::close(flood);
    for (int fd : idle)
        if (fd >= 0)
            ::close(fd);
    ProcessEvents();
    EXPECT_EQ(c->Activations, 2);

    // Not started: nothing to ask through.
    TInstanceRegistry off(nullptr);
    EXPECT_FALSE(off.Activate(c->Registry.Handle()));
    EXPECT_TRUE(off.Windows().empty());
}

TEST_F(InstanceRegistryTest, AStoppedInstanceLeavesTheOthersLists)
{
    auto a = Started("VEK - a.vek");
    auto b = Started("VEK - b.vek");
    auto c = Started("VEK - c.vek");
    const NativeInt gone = a->Registry.Handle();
    ASSERT_NE(b->Find(gone), nullptr);
    ProcessEvents();
    const int before = b->Lookups;
    a->Registry.Stop();
    EXPECT_FALSE(a->Registry.Active());
    EXPECT_EQ(a->Registry.Handle(), 0);
    ASSERT_TRUE(ProcessEventsUntil([&] { return b->Lookups > before; }, WaitMs));
    EXPECT_EQ(b->Find(gone), nullptr);
    EXPECT_EQ(b->Last.size(), 2u);
    EXPECT_FALSE(b->Registry.Activate(gone));

    // Destroying one is stopping it; its files go with it.
    c.reset();
    EXPECT_EQ(b->Registry.Windows().size(), 1u);
    for (const String& n : Folder.Names())
        EXPECT_EQ(n.rfind(EntryName(::getpid(), b->Registry.Handle() & 0xFFFFF) + ".", 0), 0u) << n;

    // Started again: back in the list under a new handle.
    ASSERT_TRUE(a->Registry.Start());
    EXPECT_NE(a->Registry.Handle(), gone);
    EXPECT_EQ(b->CaptionOf(a->Registry.Handle()), "VEK - a.vek");
    a->Registry.Stop();
    a->Registry.Stop();  // twice is harmless
}

TEST_F(InstanceRegistryTest, StaleEntriesAreDroppedWithTheirFiles)
{
    auto a = Started("VEK - a.vek");
    // A process that has ended: its pid is free.
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const String dead = EntryName(child, 1);
    Folder.Write(dead + ".instance", "VEK - ghost.vek\n/tmp/ghost.vek\n");
    Folder.Write(dead + ".socket", "");
    Folder.Write("." + dead + ".tmp", "VEK - half writ");
    // An entry of a live pid whose socket nobody listens on any more (what a
    // crashed instance leaves; the socket of a dead listener refuses).
    const String deaf = EntryName(::getpid(), 900001);
    Folder.Write(deaf + ".instance", "VEK - deaf.vek\n\n");
    {
        TFakeListener gone(Folder.Path, deaf + ".socket");
        ASSERT_TRUE(gone.Bound);
    }
    const std::vector<TInstanceEntry> list = a->Registry.Windows();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(list[0].Self);
    const std::set<String> names = Folder.Names();
    for (const String& n : {dead + ".instance", dead + ".socket", "." + dead + ".tmp", deaf + ".instance", deaf + ".socket"})
        EXPECT_EQ(names.count(n), 0u) << n;
    // Asking for the ghost directly finds nobody either.
    Folder.Write(dead + ".instance", "VEK - ghost.vek\n\n");
    EXPECT_FALSE(a->Registry.Activate(NativeInt(child) << 20 | 1));
    EXPECT_EQ(Folder.Names().count(dead + ".instance"), 0u);
}

TEST_F(InstanceRegistryTest, GarbageInTheFolderIsIgnored)
{
    auto a = Started("VEK - a.vek");
    const int pid = int(::getpid());
    // Entries with a live socket but contents that are not ours.
    std::vector<std::unique_ptr<TFakeListener>> live;
    auto fake = [&](long Serial, const String& Text) {
        live.push_back(std::make_unique<TFakeListener>(Folder.Path, EntryName(pid, Serial) + ".socket"));
        EXPECT_TRUE(live.back()->Bound);
        Folder.Write(EntryName(pid, Serial) + ".instance", Text);
    };
    fake(900010, "VEK - bad\xff\xfe utf8\n\n");
    fake(900011, "VEK - no line end at all");
    fake(900012, String(20000, 'x') + "\n\n");
    fake(900013, "VEK - bad escape\n/tmp/%zz\n");
    fake(900014, "VEK - nul\n/tmp/a%00b\n");
    fake(900015, "VEK - three\nlines\nhere\n");
    fake(900016, "VEK - cut escape\n/tmp/%4\n");
    fake(900017, "VEK - over\xc0\xaflong\n\n");
    fake(900018, String("VEK - nul\0byte\n\n", 15));
    // A FIFO under an entry's name must not make the reader wait.
    live.push_back(std::make_unique<TFakeListener>(Folder.Path, EntryName(pid, 900019) + ".socket"));
    ASSERT_EQ(::mkfifo((Folder.Path + EntryName(pid, 900019) + ".instance").c_str(), 0600), 0);
    // A folder under an entry's name.
    ASSERT_EQ(::mkdir((Folder.Path + EntryName(pid, 900020) + ".instance").c_str(), 0700), 0);
    // Names that are not entries at all.
    Folder.Write("notes.txt", "hello");
    Folder.Write("12-abc.instance", "VEK - x\n\n");
    Folder.Write("012-1.instance", "VEK - x\n\n");
    Folder.Write("-1.instance", "VEK - x\n\n");
    Folder.Write("99999999999-1.instance", "VEK - x\n\n");
    Folder.Write(EntryName(pid, 99999999) + ".instance", "VEK - x\n\n");
    Folder.Write(".instance", "VEK - x\n\n");
    // And one good fake, with a path that holds a line break and a '%'.
    fake(900030, "VEK - fine.vek\n/tmp/odd%0Aname %25.vek\n");

    const std::vector<TInstanceEntry> list = a->Registry.Windows();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_TRUE(list[0].Self || list[1].Self);
    const TInstanceEntry& fine = list[0].Self ? list[1] : list[0];
    EXPECT_EQ(fine.Caption, "VEK - fine.vek");
    EXPECT_EQ(fine.DocumentPath, "/tmp/odd\nname %.vek");
    EXPECT_EQ(fine.ProcessId, pid);
    // What is not ours is left alone: only stale entries are removed.
    const std::set<String> names = Folder.Names();
    EXPECT_EQ(names.count("notes.txt"), 1u);
    EXPECT_EQ(names.count(EntryName(pid, 900010) + ".instance"), 1u);
    EXPECT_EQ(names.count(EntryName(pid, 900019) + ".instance"), 1u);
}

TEST_F(InstanceRegistryTest, MangledEntriesNeverGetThroughMalformed)
{
    auto a = Started("VEK - a.vek");
    const String name = EntryName(int(::getpid()), 900100);
    TFakeListener live(Folder.Path, name + ".socket");
    ASSERT_TRUE(live.Bound);
    const String good = "VEK - pl\xc3\xa4n %.vek\n/tmp/a%0Ab%25c\xc3\xa4.vek\n";
    unsigned seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    int listed = 0;
    for (int round = 0; round < 200; ++round) {
        String text = good;
        const int edits = 1 + int(next() % 4);
        for (int k = 0; k < edits; ++k) {
            const std::size_t at = next() % (text.size() + 1);
            switch (next() % 3) {
            case 0:
                if (at < text.size())
                    text[at] = char(next() & 0xFF);
                break;
            case 1:
                text.insert(at, 1, char(next() & 0xFF));
                break;
            default:
                text.erase(at, 1 + next() % 3);
            }
        }
        Folder.Write(name + ".instance", text);
        for (const TInstanceEntry& e : a->Registry.Windows()) {
            if (e.Self)
                continue;
            ++listed;
            for (char c : e.Caption)
                EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << round;
            EXPECT_EQ(e.DocumentPath.find('\0'), String::npos) << round;
        }
    }
    // Most small edits still leave a readable entry; the point is that none
    // of them breaks the reader.
    EXPECT_GT(listed, 0);
}

TEST_F(InstanceRegistryTest, CaptionsAndPathsCrossOverAsSent)
{
    auto a = Started("VEK - a.vek");
    auto b = Started("");
    // Any byte a file name may hold reaches the other side unchanged.
    const String path = "/tmp/Pl\xc3\xa4ne/a%41\nb\tc\x01\xff\xfe end.vek";
    b->Registry.SetCaption("VEK - line\nbreak\ttab \xff bad", path);
    EXPECT_EQ(b->Registry.Caption(), "VEK - line break tab ? bad");
    const TInstanceEntry* e = a->Find(b->Registry.Handle());
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Caption, "VEK - line break tab ? bad");
    EXPECT_EQ(e->DocumentPath, path);

    // A caption set before Start is written by Start; the one-argument form
    // keeps the path.
    TInstance late(Folder.Path);
    late.Registry.SetCaption("VEK - late.vek", "/tmp/late.vek");
    late.Registry.SetCaption("VEK - later.vek");
    EXPECT_EQ(late.Registry.DocumentPath(), "/tmp/late.vek");
    ASSERT_TRUE(late.Registry.Start());
    e = a->Find(late.Registry.Handle());
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Caption, "VEK - later.vek");
    EXPECT_EQ(e->DocumentPath, "/tmp/late.vek");

    // A very long caption is kept to a bounded size, cut between characters.
    b->Registry.SetCaption("VEK - " + String(3000, 'x') + "\xc3\xa4");
    EXPECT_LE(b->Registry.Caption().size(), 1024u);
    EXPECT_EQ(b->Registry.Caption().substr(0, 7), "VEK - x");
    EXPECT_NE(a->Find(b->Registry.Handle()), nullptr);
}

TEST(VEKWindowName, TakesTheNameAfterThePrefix)
{
    String name = "unchanged";
    EXPECT_FALSE(VEKWindowName("VEK - ", name));
    EXPECT_FALSE(VEKWindowName("VEK -", name));
    EXPECT_FALSE(VEKWindowName("", name));
    EXPECT_FALSE(VEKWindowName("vek - plan.vek", name));
    EXPECT_FALSE(VEKWindowName(" VEK - plan.vek", name));
    EXPECT_EQ(name, "unchanged");
    ASSERT_TRUE(VEKWindowName("VEK - plan.vek", name));
    EXPECT_EQ(name, "plan.vek");
    ASSERT_TRUE(VEKWindowName("VEK -  ", name));
    EXPECT_EQ(name, " ");
    // Only the first 255 characters of the caption count, by characters.
    ASSERT_TRUE(VEKWindowName("VEK - " + String(400, 'y'), name));
    EXPECT_EQ(name, String(249, 'y'));
    String umlauts;
    for (int k = 0; k < 300; ++k)
        umlauts += "\xc3\xa4";
    ASSERT_TRUE(VEKWindowName("VEK - " + umlauts, name));
    EXPECT_EQ(name.size(), 249u * 2);
}

TEST_F(InstanceRegistryTest, TheWindowListLeavesOutCaptionsWithoutAName)
{
    auto a = Started("VEK - a.vek");
    auto b = Started("VEK - ");
    auto c = Started("Something else");
    EXPECT_EQ(a->Registry.Windows().size(), 3u);
    const std::vector<TInstanceEntry> list = a->Registry.VEKWindows();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Caption, "a.vek");
    EXPECT_TRUE(list[0].Self);
    b->Registry.SetCaption("VEK - b.vek");
    const std::vector<TInstanceEntry> after = a->Registry.VEKWindows();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1].Caption, "b.vek");
    EXPECT_EQ(after[1].Handle, b->Registry.Handle());
}

TEST_F(InstanceRegistryTest, FindsAndActivatesTheInstanceShowingAPath)
{
    TTempFolder docs("/tmp/vek-docs-");
    const String plan = docs.Path + "plan.vek";
    const String other = docs.Path + "other.vek";
    docs.Write("plan.vek", "x");
    docs.Write("other.vek", "x");
    auto a = Started("VEK - plan.vek", plan);
    auto b = Started("VEK - other.vek", other);
    auto c = Started("VEK - ");

    TInstanceEntry e;
    ASSERT_TRUE(c->Registry.FindInstanceShowing(plan, e));
    EXPECT_EQ(e.Handle, a->Registry.Handle());
    ASSERT_TRUE(c->Registry.FindInstanceShowing(other, e));
    EXPECT_EQ(e.Handle, b->Registry.Handle());
    // Names differing only in case are different files here.
    EXPECT_FALSE(c->Registry.FindInstanceShowing(docs.Path + "Plan.vek", e));
    EXPECT_FALSE(c->Registry.FindInstanceShowing(docs.Path + "PLAN.VEK", e));
    // The same file under another spelling is the same document.
    EXPECT_TRUE(c->Registry.FindInstanceShowing(docs.Path + "./plan.vek", e));
    ASSERT_EQ(::symlink(plan.c_str(), (docs.Path + "link.vek").c_str()), 0);
    ASSERT_TRUE(c->Registry.FindInstanceShowing(docs.Path + "link.vek", e));
    EXPECT_EQ(e.Handle, a->Registry.Handle());
    // Never oneself, never the empty path of an instance without document.
    EXPECT_FALSE(a->Registry.FindInstanceShowing(plan, e));
    EXPECT_FALSE(a->Registry.FindInstanceShowing("", e));

    EXPECT_TRUE(c->Registry.ActivateInstanceShowing(plan));
    ASSERT_TRUE(ProcessEventsUntil([&] { return a->Activations == 1; }, WaitMs));
    EXPECT_EQ(b->Activations, 0);
    EXPECT_FALSE(c->Registry.ActivateInstanceShowing(docs.Path + "none.vek"));

    // When the instance moves on to another document it no longer counts.
    a->Registry.SetCaption("VEK - new", "");
    EXPECT_FALSE(c->Registry.FindInstanceShowing(plan, e));
}

TEST_F(InstanceRegistryTest, WorksInAFolderTooDeepForASocketAddress)
{
    String deep = Folder.Path;
    for (int k = 0; k < 4; ++k) {
        deep += String(40, char('a' + k)) + "/";
        ASSERT_EQ(::mkdir(deep.c_str(), 0700), 0);
    }
    ASSERT_GT(deep.size(), sizeof(sockaddr_un::sun_path));
    TInstance a(deep), b(deep);
    a.Registry.SetCaption("VEK - a.vek");
    b.Registry.SetCaption("VEK - b.vek");
    ASSERT_TRUE(a.Registry.Start()) << a.Registry.LastError();
    ASSERT_TRUE(b.Registry.Start()) << b.Registry.LastError();
    EXPECT_EQ(a.CaptionOf(b.Registry.Handle()), "VEK - b.vek");
    EXPECT_TRUE(a.Registry.Activate(b.Registry.Handle()));
    EXPECT_TRUE(ProcessEventsUntil([&] { return b.Activations == 1; }, WaitMs));
    b.Registry.Stop();
    EXPECT_EQ(a.Find(b.Registry.Handle()), nullptr);
    EXPECT_EQ(a.Registry.Windows().size(), 1u);
}

TEST_F(InstanceRegistryTest, RefusesAFolderThatIsNotPrivate)
{
    TInstance a(Folder.Path);
    ASSERT_EQ(::chmod(Folder.Path.c_str(), 0755), 0);
    EXPECT_FALSE(a.Registry.Start());
    EXPECT_FALSE(a.Registry.Active());
    EXPECT_FALSE(a.Registry.LastError().empty());
    EXPECT_TRUE(Folder.Names().empty());
    ASSERT_EQ(::chmod(Folder.Path.c_str(), 0700), 0);

    // A file, a symbolic link to a private folder: neither will do.
    Folder.Write("file", "");
    a.Registry.SetFolder(Folder.Path + "file");
    EXPECT_FALSE(a.Registry.Start());
    TTempFolder target;
    ASSERT_EQ(::symlink(target.Path.c_str(), (Folder.Path + "link").c_str()), 0);
    a.Registry.SetFolder(Folder.Path + "link/");
    EXPECT_FALSE(a.Registry.Start());

    // A missing folder is made, private.
    a.Registry.SetFolder(Folder.Path + "made");
    ASSERT_TRUE(a.Registry.Start()) << a.Registry.LastError();
    EXPECT_EQ(a.Registry.Folder(), Folder.Path + "made/");
    struct stat st {};
    ASSERT_EQ(::stat((Folder.Path + "made").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);
    // The folder cannot change under a running registry.
    a.Registry.SetFolder(Folder.Path + "other");
    a.Registry.Stop();
    ASSERT_TRUE(a.Registry.Start());
    EXPECT_EQ(a.Registry.Folder(), Folder.Path + "made/");
}

TEST(InstanceRegistryFolder, FollowsTheRuntimeFolderElseAPrivateOneInTmp)
{
    const char* was = std::getenv("XDG_RUNTIME_DIR");
    const String saved = was ? was : "";
    const String fallback = "/tmp/vek-" + std::to_string(::geteuid()) + "/";
    TTempFolder runtime;
    ::setenv("XDG_RUNTIME_DIR", runtime.Path.c_str(), 1);
    EXPECT_EQ(TInstanceRegistry::DefaultFolder(), runtime.Path + "vek/");
    ::setenv("XDG_RUNTIME_DIR", "relative/run", 1);
    EXPECT_EQ(TInstanceRegistry::DefaultFolder(), fallback);
    ::setenv("XDG_RUNTIME_DIR", (runtime.Path + "missing").c_str(), 1);
    EXPECT_EQ(TInstanceRegistry::DefaultFolder(), fallback);
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(TInstanceRegistry::DefaultFolder(), fallback);

    // Without a folder set, the registry uses the runtime one.
    EnsureApplication();
    ::setenv("XDG_RUNTIME_DIR", runtime.Path.c_str(), 1);
    {
        TInstanceRegistry r(nullptr);
        ASSERT_TRUE(r.Start()) << r.LastError();
        EXPECT_EQ(r.Folder(), runtime.Path + "vek/");
    }
    if (was)
        ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}

// The second process of the test below: this same executable, started with
// the folder in its environment. It shows a document and waits to be asked
// to the front (or, told to hang, waits to be killed).
TEST(InstanceRegistryChild, ActsAsSecondInstance)
{
    const char* folder = std::getenv("VEK_INSTANCE_CHILD_FOLDER");
    const char* path = std::getenv("VEK_INSTANCE_CHILD_PATH");
    if (!folder || !path)
        GTEST_SKIP() << "only run as the second process of FindsAndActivatesARealSecondProcess";
    EnsureApplication();
    TInstanceRegistry r(nullptr);
    int activations = 0;
    r.OnActivate = [&](TObject*) { ++activations; };
    r.SetFolder(folder);
    r.SetCaption("VEK - child.vek", path);
    ASSERT_TRUE(r.Start()) << r.LastError();
    if (std::getenv("VEK_INSTANCE_CHILD_HANG")) {
        ProcessEventsUntil([] { return false; }, 30000);
        return;
    }
    EXPECT_TRUE(ProcessEventsUntil([&] { return activations > 0; }, 30000));
}

pid_t SpawnChild(const String& Folder, const String& Path, bool Hang)
{
    std::vector<String> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "VEK_INSTANCE_CHILD_", 19) != 0)
            env.push_back(*e);
    env.push_back("VEK_INSTANCE_CHILD_FOLDER=" + Folder);
    env.push_back("VEK_INSTANCE_CHILD_PATH=" + Path);
    if (Hang)
        env.push_back("VEK_INSTANCE_CHILD_HANG=1");
    std::vector<char*> envp;
    for (String& s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    String exe = "/proc/self/exe";
    String filter = "--gtest_filter=InstanceRegistryChild.ActsAsSecondInstance";
    char* argv[] = {exe.data(), filter.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

TEST_F(InstanceRegistryTest, FindsAndActivatesARealSecondProcess)
{
    auto a = Started("VEK - a.vek", "/tmp/a.vek");
    const String path = Folder.Path + "child.vek";
    const pid_t child = SpawnChild(Folder.Path, path, false);
    ASSERT_GT(child, 0);
    TInstanceEntry e;
    const bool found = ProcessEventsUntil([&] { return a->Registry.FindInstanceShowing(path, e); }, 20000);
    EXPECT_TRUE(found);
    if (found) {
        EXPECT_EQ(e.ProcessId, child);
        EXPECT_EQ(e.Caption, "VEK - child.vek");
        EXPECT_FALSE(e.Self);
        EXPECT_GT(a->Lookups, 0);
        EXPECT_TRUE(a->Registry.ActivateInstanceShowing(path));
    }
    int status = -1;
    const bool ended = ProcessEventsUntil([&] { return ::waitpid(child, &status, WNOHANG) == child; }, 20000);
    if (!ended) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
    ASSERT_TRUE(ended);
    // It passed its side: it was asked to the front.
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    // It cleaned up as it ended.
    EXPECT_TRUE(ProcessEventsUntil([&] { return a->Registry.Windows().size() == 1; }, WaitMs));

    // One that is killed cleans nothing up; it is dropped all the same.
    const pid_t hung = SpawnChild(Folder.Path, path, true);
    ASSERT_GT(hung, 0);
    const bool up = ProcessEventsUntil([&] { return a->Registry.FindInstanceShowing(path, e); }, 20000);
    ::kill(hung, SIGKILL);
    ASSERT_EQ(::waitpid(hung, &status, 0), hung);
    ASSERT_TRUE(up);
    EXPECT_EQ(a->Registry.Windows().size(), 1u);
    EXPECT_FALSE(a->Registry.FindInstanceShowing(path, e));
    for (const String& n : Folder.Names())
        EXPECT_EQ(n.find(std::to_string(hung) + "-"), String::npos) << n;
}

}  // namespace
