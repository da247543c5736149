#pragma once
// A watch on a few folders: every change the system's file-system
// notification (inotify) reports of their items. Notifications need the
// event loop; on folders the notification cannot see (network shares
// written by other machines) nothing is reported, so callers that must not
// miss a file also look at the listing themselves.
#include <functional>
#include <memory>
#include <vector>

#include "platform/Classes.h"
#include "platform/Types.h"

// Every change the system reports of the items in a few folders (not of
// their subfolders), one event each, in the order they happened. An event
// that repeats the one before (the same kind and paths) is reported again.

enum TFolderEventKind {
    fekCreated,        // a file (or any item but a folder) was made
    fekDeleted,
    fekFolderCreated,
    fekFolderRemoved,
    fekClosedWritten,  // a file open for writing was closed
    fekAttributes,     // permissions, times, owner or links changed
    fekRenamed,        // Path to NewPath, both in watched folders
    fekMovedIn,        // from outside: Path empty, NewPath where it is now
    fekMovedOut,       // to outside: Path where it was, NewPath empty
    fekOverflow        // the system dropped events: look at the folders again
};

struct TFolderEvent {
    TFolderEventKind Kind = fekCreated;
    String Path;     // the item (the old path for a rename or a move out)
    String NewPath;  // for a rename or a move in
    bool operator==(const TFolderEvent&) const = default;
};

using TFolderEventHandler = std::function<void(const TFolderEvent& Event)>;

class TFolderWatch : public TComponent {
    VEK_DECLARE_CLASS(TFolderWatch, TComponent)
public:
    explicit TFolderWatch(TComponent* AOwner);
    ~TFolderWatch() override;

    // Starts watching Folder ("/" at the end or not); false when it cannot
    // be watched (no such folder, no permission, the system's limit).
    // Watching a folder twice watches it once.
    bool AddFolder(const String& Folder);
    // False when Folder was not watched. A watched folder that is removed
    // or moved away stops being watched by itself.
    bool RemoveFolder(const String& Folder);
    void Clear();
    std::vector<String> Folders() const;

    // Each event, with full paths. Arrives through the event loop.
    TFolderEventHandler OnEvent;

    // Reads what the system has reported so far and fires OnEvent for each
    // event (the event loop calls it when the system signals). Answers the
    // number of events fired.
    int ReadEvents();

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};
