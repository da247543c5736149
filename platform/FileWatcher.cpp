// TFileWatcher over the system's file-system notification (inotify).
#include "platform/FileWatcher.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QFileSystemWatcher>
#include <algorithm>
#include <map>
#include <vector>

namespace {

struct TEntryStamp {
    Int64 Size = 0;
    Int64 MTimeNs = 0;
    bool operator==(const TEntryStamp& O) const { return Size == O.Size && MTimeNs == O.MTimeNs; }
};

// A folder with more entries than this is looked at only this far.
constexpr std::size_t MaxEntries = 100000;

std::map<String, TEntryStamp> Listing(const String& Folder)
{
    std::map<String, TEntryStamp> out;
    if (Folder.empty())
        return out;
    DIR* dir = ::opendir(Folder.c_str());
    if (!dir)
        return out;
    while (const dirent* e = ::readdir(dir)) {
        if (out.size() >= MaxEntries)
            break;
        const String name = e->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (::stat((Folder + name).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
            continue;
        out[name] = TEntryStamp{Int64(st.st_size), Int64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    }
    ::closedir(dir);
    return out;
}

}  // namespace

struct TFileWatcher::TImpl {
    std::unique_ptr<QFileSystemWatcher> Watcher;
    std::map<String, TEntryStamp> Known;
};

TFileWatcher::TFileWatcher(TComponent* AOwner) : TComponent(AOwner), FImpl(std::make_unique<TImpl>()) {}

TFileWatcher::~TFileWatcher() = default;

bool TFileWatcher::Watching() const { return FImpl->Watcher && !FImpl->Watcher->directories().isEmpty(); }

bool TFileWatcher::SetFolder(const String& Folder)
{
    String folder = Folder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    if (folder == FFolder && (folder.empty() || Watching()))
        return !folder.empty();
    FImpl->Watcher.reset();
    FImpl->Known.clear();
    FFolder = folder;
    if (folder.empty())
        return false;
    // What is there already is no news.
    FImpl->Known = Listing(folder);
    if (!QCoreApplication::instance())
        return false;
    FImpl->Watcher = std::make_unique<QFileSystemWatcher>();
    QObject::connect(FImpl->Watcher.get(), &QFileSystemWatcher::directoryChanged, [this](const QString&) { Rescan(); });
    if (!FImpl->Watcher->addPath(QString::fromUtf8(folder.data(), qsizetype(folder.size())))) {
        FImpl->Watcher.reset();
        return false;
    }
    return true;
}

void TFileWatcher::Rescan()
{
    if (FFolder.empty())
        return;
    std::map<String, TEntryStamp> now = Listing(FFolder);
    struct TNews {
        Int64 MTimeNs;
        String Name;
        bool Created;
    };
    std::vector<TNews> news;
    for (const auto& [name, stamp] : now) {
        const auto old = FImpl->Known.find(name);
        if (old == FImpl->Known.end())
            news.push_back({stamp.MTimeNs, name, true});
        else if (!(old->second == stamp))
            news.push_back({stamp.MTimeNs, name, false});
    }
    // In the order they were written.
    std::sort(news.begin(), news.end(), [](const TNews& A, const TNews& B) {
        return A.MTimeNs != B.MTimeNs ? A.MTimeNs < B.MTimeNs : A.Name < B.Name;
    });
    FImpl->Known = std::move(now);
    // The handlers may move the watch; the folder reported is the one listed.
    const String folder = FFolder;
    for (const TNews& n : news) {
        if (n.Created && OnCreate)
            OnCreate(folder + n.Name);
        else if (!n.Created && OnUpdateItem)
            OnUpdateItem(folder + n.Name);
    }
}
