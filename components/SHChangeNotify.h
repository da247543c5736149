#pragma once
// A watcher of file-system changes in a few folders (not their subfolders),
// reporting each change to the handler of its kind. Only handlers that are
// assigned when Execute runs are asked for; with none nothing is watched.
//
// Of the kinds, these are reported: OnCreate (a file made), OnDelete,
// OnMkDir, OnRmDir, OnUpdateItem (a file closed after writing),
// OnAttributes, OnRenameItem and OnRenameFolder (old and new path; an item
// moved in from elsewhere has no old path, one moved out no new path) and
// OnUpdateDir (the system lost track: the folder must be looked at again).
// Drives, media, network shares, images and associations have no events
// here; their handlers never fire. An event that repeats the one before is
// reported again.
#include <deque>
#include <functional>
#include <memory>

#include "platform/Classes.h"
#include "platform/FileWatcher.h"
#include "platform/Messages.h"
#include "platform/StringList.h"

enum TTextCase { tcAsIs, tcUpperCase, tcLowerCase };

using TSHNotifyEvent = std::function<void(const String& Path)>;
using TSHNotifyEvent2 = std::function<void(const String& Path1, const String& Path2)>;

// The event bits of the handlers.
constexpr Cardinal SHCNE_RENAMEITEM = 0x00000001;
constexpr Cardinal SHCNE_CREATE = 0x00000002;
constexpr Cardinal SHCNE_DELETE = 0x00000004;
constexpr Cardinal SHCNE_MKDIR = 0x00000008;
constexpr Cardinal SHCNE_RMDIR = 0x00000010;
constexpr Cardinal SHCNE_MEDIAINSERTED = 0x00000020;
constexpr Cardinal SHCNE_MEDIAREMOVED = 0x00000040;
constexpr Cardinal SHCNE_DRIVEREMOVED = 0x00000080;
constexpr Cardinal SHCNE_DRIVEADD = 0x00000100;
constexpr Cardinal SHCNE_NETSHARE = 0x00000200;
constexpr Cardinal SHCNE_NETUNSHARE = 0x00000400;
constexpr Cardinal SHCNE_ATTRIBUTES = 0x00000800;
constexpr Cardinal SHCNE_UPDATEDIR = 0x00001000;
constexpr Cardinal SHCNE_UPDATEITEM = 0x00002000;
constexpr Cardinal SHCNE_SERVERDISCONNECT = 0x00004000;
constexpr Cardinal SHCNE_UPDATEIMAGE = 0x00008000;
constexpr Cardinal SHCNE_DRIVEADDGUI = 0x00010000;
constexpr Cardinal SHCNE_RENAMEFOLDER = 0x00020000;
constexpr Cardinal SHCNE_ASSOCCHANGED = 0x08000000;

class TSHChangeNotify : public TComponent {
    VEK_DECLARE_CLASS(TSHChangeNotify, TComponent)

public:
    // At most this many folders are watched.
    static constexpr int MaxFolders = 26;

    explicit TSHChangeNotify(TComponent* AOwner);
    ~TSHChangeNotify() override;

    // The folders to watch; Execute takes them.
    TStringList* Folders() { return FFolders.get(); }
    TTextCase TextCase() const { return fTextCase; }
    void SetTextCase(TTextCase Value) { fTextCase = Value; }
    // The message the events are delivered with, from the first user
    // message on; a lower number raises an exception.
    UINT MessageNo() const { return fMessageNo; }
    void SetMessageNo(UINT Value);

    // Watches the folders for the kinds whose handlers are assigned, in
    // place of what was watched. Raises "Could not register SHChangeNotify"
    // (and watches nothing) when a folder cannot be watched.
    void Execute();
    // Watches nothing any more; events not yet delivered are dropped.
    void Stop();
    // The folders watched now (0 when stopped or nothing was asked for).
    int NotifyCount() const { return NotifyCount_; }
    // The kinds asked for at the last Execute.
    Cardinal EventMask() const { return FMask; }

    // The last event delivered and its paths.
    Cardinal PrevMsg = 0;
    String prevpath1;
    String prevpath2;

    TSHNotifyEvent2 OnAssocChanged;
    TSHNotifyEvent OnAttributes;
    TSHNotifyEvent OnCreate;
    TSHNotifyEvent OnDelete;
    TSHNotifyEvent OnDriveAdd;
    TSHNotifyEvent OnDriveAddGUI;
    TSHNotifyEvent OnDriveRemoved;
    TSHNotifyEvent OnMediaInserted;
    TSHNotifyEvent OnMediaRemoved;
    TSHNotifyEvent OnMkDir;
    TSHNotifyEvent OnNetShare;
    TSHNotifyEvent OnNetUnshare;
    TSHNotifyEvent2 OnRenameFolder;
    TSHNotifyEvent2 OnRenameItem;
    TSHNotifyEvent OnRmDir;
    TSHNotifyEvent OnServerDisconnect;
    TSHNotifyEvent OnUpdateDir;
    TSHNotifyEvent OnUpdateImage;
    TSHNotifyEvent OnUpdateItem;

private:
    struct TPending {
        Cardinal Code;
        String Path1;
        String Path2;
    };
    Cardinal AssignedMask() const;
    void Queue(const TFolderEvent& Event);
    void WndProc(TMessage& Message);
    void Deliver(const TPending& Event);

    std::unique_ptr<TStringList> FFolders;
    TFolderWatch* FWatch = nullptr;
    HWND FHandle = 0;
    std::deque<TPending> FPending;
    TTextCase fTextCase = tcAsIs;
    UINT fMessageNo = WM_USER;
    Cardinal FMask = 0;
    int NotifyCount_ = 0;
};
