// TFolderWatch over inotify: one descriptor for all folders, read when the
// event loop sees it ready.
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

#include <QCoreApplication>
#include <QSocketNotifier>

#include "platform/ControlsPrivate.h"
#include "platform/FileWatcher.h"

namespace {

constexpr std::uint32_t WatchMask = IN_CREATE | IN_DELETE | IN_CLOSE_WRITE | IN_ATTRIB | IN_MOVED_FROM |
                                    IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

String WithoutSlash(const String& Folder)
{
    String f = Folder;
    while (f.size() > 1 && f.back() == '/')
        f.pop_back();
    return f;
}

struct TRawEvent {
    int Wd = -1;
    std::uint32_t Mask = 0;
    std::uint32_t Cookie = 0;
    String Name;
};

}  // namespace

struct TFolderWatch::TImpl {
    int Fd = -1;
    std::map<int, String> Folders;  // watch descriptor -> folder
    std::unique_ptr<QSocketNotifier> Notifier;
    std::shared_ptr<bool> Alive = std::make_shared<bool>(true);

    ~TImpl()
    {
        *Alive = false;
        Notifier.reset();
        if (Fd >= 0)
            ::close(Fd);
    }

    // Appends what can be read now; false when nothing was there.
    bool ReadInto(std::vector<TRawEvent>& Events) const
    {
        alignas(inotify_event) char buffer[64 * 1024];
        bool any = false;
        for (;;) {
            const ssize_t n = ::read(Fd, buffer, sizeof buffer);
            if (n <= 0) {
                if (n < 0 && errno == EINTR)
                    continue;
                return any;
            }
            any = true;
            std::size_t at = 0;
            while (at + sizeof(inotify_event) <= std::size_t(n)) {
                inotify_event e;
                std::memcpy(&e, buffer + at, sizeof e);
                const std::size_t end = at + sizeof(inotify_event) + e.len;
                if (end > std::size_t(n))
                    break;
                TRawEvent r;
                r.Wd = e.wd;
                r.Mask = e.mask;
                r.Cookie = e.cookie;
                const char* name = buffer + at + sizeof(inotify_event);
                r.Name.assign(name, strnlen(name, e.len));
                Events.push_back(std::move(r));
                at = end;
            }
        }
    }

    String PathOf(const TRawEvent& E) const
    {
        const auto it = Folders.find(E.Wd);
        if (it == Folders.end())
            return String();
        return E.Name.empty() ? it->second : (it->second == "/" ? "/" : it->second + "/") + E.Name;
    }

    void Forget(int Wd)
    {
        if (Folders.erase(Wd))
            ::inotify_rm_watch(Fd, Wd);
    }

    std::vector<TFolderEvent> Translate(std::vector<TRawEvent>& Raw)
    {
        std::vector<TFolderEvent> out;
        std::vector<bool> used(Raw.size(), false);
        for (std::size_t i = 0; i < Raw.size(); ++i) {
            if (used[i])
                continue;
            const TRawEvent& r = Raw[i];
            const bool dir = r.Mask & IN_ISDIR;
            if (r.Mask & IN_Q_OVERFLOW) {
                out.push_back({fekOverflow, String(), String()});
                continue;
            }
            if (r.Mask & IN_IGNORED) {
                Folders.erase(r.Wd);
                continue;
            }
            if (!Folders.count(r.Wd))
                continue;
            if (r.Mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
                // Its path no longer names it: the watch ends here.
                Forget(r.Wd);
                continue;
            }
            const String path = PathOf(r);
            if (r.Mask & IN_MOVED_FROM) {
                std::size_t j = i + 1;
                while (j < Raw.size() && (used[j] || !(Raw[j].Mask & IN_MOVED_TO) || Raw[j].Cookie != r.Cookie))
                    ++j;
                if (j < Raw.size() && Folders.count(Raw[j].Wd)) {
                    used[j] = true;
                    out.push_back({fekRenamed, path, PathOf(Raw[j])});
                } else {
                    out.push_back({fekMovedOut, path, String()});
                }
            } else if (r.Mask & IN_MOVED_TO) {
                out.push_back({fekMovedIn, String(), path});
            } else if (r.Mask & IN_CREATE) {
                out.push_back({dir ? fekFolderCreated : fekCreated, path, String()});
            } else if (r.Mask & IN_DELETE) {
                out.push_back({dir ? fekFolderRemoved : fekDeleted, path, String()});
            } else if (r.Mask & IN_CLOSE_WRITE) {
                out.push_back({fekClosedWritten, path, String()});
            } else if (r.Mask & IN_ATTRIB) {
                out.push_back({fekAttributes, path, String()});
            }
        }
        return out;
    }
};

TFolderWatch::TFolderWatch(TComponent* AOwner) : TComponent(AOwner), FImpl(std::make_unique<TImpl>()) {}

TFolderWatch::~TFolderWatch() = default;

bool TFolderWatch::AddFolder(const String& Folder)
{
    const String folder = WithoutSlash(Folder);
    if (folder.empty())
        return false;
    if (FImpl->Fd < 0) {
        FImpl->Fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (FImpl->Fd < 0)
            return false;
        if (QCoreApplication::instance()) {
            FImpl->Notifier = std::make_unique<QSocketNotifier>(FImpl->Fd, QSocketNotifier::Read);
            QObject::connect(FImpl->Notifier.get(), &QSocketNotifier::activated, [this] {
                Guarded(this, [this] { ReadEvents(); });
            });
        }
    }
    const int wd = ::inotify_add_watch(FImpl->Fd, folder.c_str(), WatchMask);
    if (wd < 0)
        return false;
    FImpl->Folders[wd] = folder;
    return true;
}

bool TFolderWatch::RemoveFolder(const String& Folder)
{
    const String folder = WithoutSlash(Folder);
    for (const auto& [wd, f] : FImpl->Folders)
        if (f == folder) {
            FImpl->Forget(wd);
            return true;
        }
    return false;
}

void TFolderWatch::Clear()
{
    while (!FImpl->Folders.empty())
        FImpl->Forget(FImpl->Folders.begin()->first);
}

std::vector<String> TFolderWatch::Folders() const
{
    std::vector<String> list;
    for (const auto& [wd, f] : FImpl->Folders)
        list.push_back(f);
    std::sort(list.begin(), list.end());
    return list;
}

int TFolderWatch::ReadEvents()
{
    if (FImpl->Fd < 0)
        return 0;
    std::vector<TRawEvent> raw;
    if (!FImpl->ReadInto(raw))
        return 0;
    // The two halves of a rename are queued together but may be read apart:
    // a move out at the end waits for one more read.
    if (!raw.empty() && (raw.back().Mask & IN_MOVED_FROM))
        FImpl->ReadInto(raw);
    const std::vector<TFolderEvent> events = FImpl->Translate(raw);
    const std::shared_ptr<bool> alive = FImpl->Alive;
    int fired = 0;
    for (const TFolderEvent& e : events) {
        // A handler may free the watch.
        if (!*alive || !OnEvent)
            break;
        const TFolderEventHandler handler = OnEvent;
        handler(e);
        ++fired;
    }
    return fired;
}
