#pragma once
// A watch on one folder: reports entries that appear in it (created or
// moved in) and entries whose size or modification time changed, as the
// system's change notification tells of them. Notifications need the event
// loop; on folders the notification cannot see (network shares written by
// other machines) nothing is reported, so callers that must not miss a file
// also look at the listing themselves.
#include <functional>
#include <memory>

#include "platform/Classes.h"
#include "platform/Types.h"

using TFileEvent = std::function<void(const String& FileName)>;

class TFileWatcher : public TComponent {
    VEK_DECLARE_CLASS(TFileWatcher, TComponent)
public:
    explicit TFileWatcher(TComponent* AOwner);
    ~TFileWatcher() override;

    // Watches Folder ("/" at the end or not) from now on; empty stops
    // watching. False when the folder cannot be watched (it does not exist,
    // or there is no event loop to report through).
    bool SetFolder(const String& Folder);
    const String& Folder() const { return FFolder; }
    bool Watching() const;

    // The full path of an entry that appeared in the folder.
    TFileEvent OnCreate;
    // The full path of an entry whose size or modification time changed.
    TFileEvent OnUpdateItem;

    // Compares the folder's listing with the one last seen and reports the
    // differences (what a notification does; also callable directly).
    void Rescan();

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
    String FFolder;
};
