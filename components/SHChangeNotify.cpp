#include "components/SHChangeNotify.h"

#include <sys/stat.h>

#include "platform/Controls.h"
#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

TSHChangeNotify::TSHChangeNotify(TComponent* AOwner)
    : TComponent(AOwner), FFolders(std::make_unique<TStringList>())
{
    FHandle = AllocateHWnd([this](TMessage& M) { WndProc(M); });
}

TSHChangeNotify::~TSHChangeNotify()
{
    Stop();
    delete FWatch;
    DeallocateHWnd(FHandle);
}

void TSHChangeNotify::SetMessageNo(UINT Value)
{
    if (Value < WM_USER)
        throw Exception("MessageNo must be greater than or equal to " + IntToStr(int(WM_USER)));
    fMessageNo = Value;
}

Cardinal TSHChangeNotify::AssignedMask() const
{
    Cardinal mask = 0;
    auto bit = [&](bool Assigned, Cardinal Bit) {
        if (Assigned)
            mask |= Bit;
    };
    bit(bool(OnRenameItem), SHCNE_RENAMEITEM);
    bit(bool(OnCreate), SHCNE_CREATE);
    bit(bool(OnDelete), SHCNE_DELETE);
    bit(bool(OnMkDir), SHCNE_MKDIR);
    bit(bool(OnRmDir), SHCNE_RMDIR);
    bit(bool(OnMediaInserted), SHCNE_MEDIAINSERTED);
    bit(bool(OnMediaRemoved), SHCNE_MEDIAREMOVED);
    bit(bool(OnDriveRemoved), SHCNE_DRIVEREMOVED);
    bit(bool(OnDriveAdd), SHCNE_DRIVEADD);
    bit(bool(OnNetShare), SHCNE_NETSHARE);
    bit(bool(OnNetUnshare), SHCNE_NETUNSHARE);
    bit(bool(OnAttributes), SHCNE_ATTRIBUTES);
    bit(bool(OnUpdateDir), SHCNE_UPDATEDIR);
    bit(bool(OnUpdateItem), SHCNE_UPDATEITEM);
    bit(bool(OnServerDisconnect), SHCNE_SERVERDISCONNECT);
    bit(bool(OnUpdateImage), SHCNE_UPDATEIMAGE);
    bit(bool(OnDriveAddGUI), SHCNE_DRIVEADDGUI);
    bit(bool(OnRenameFolder), SHCNE_RENAMEFOLDER);
    bit(bool(OnAssocChanged), SHCNE_ASSOCCHANGED);
    return mask;
}

void TSHChangeNotify::Execute()
{
    Stop();
    FMask = AssignedMask();
    if (FMask == 0)
        return;
    if (!FWatch) {
        FWatch = Create<TFolderWatch>(nullptr);
        FWatch->OnEvent = [this](const TFolderEvent& E) { Queue(E); };
    }
    const int count = std::min(FFolders->Count(), MaxFolders);
    for (int i = 0; i < count; ++i)
        if (!FWatch->AddFolder(FFolders->Get(i))) {
            Stop();
            throw Exception("Could not register SHChangeNotify");
        }
    NotifyCount_ = int(FWatch->Folders().size());
}

void TSHChangeNotify::Stop()
{
    if (FWatch)
        FWatch->Clear();
    NotifyCount_ = 0;
    FPending.clear();
}

void TSHChangeNotify::Queue(const TFolderEvent& Event)
{
    auto push = [&](Cardinal Code, const String& A, const String& B = String()) {
        if (FMask & Code) {
            FPending.push_back({Code, A, B});
            PostMessage(FHandle, fMessageNo, WPARAM(Code), 0);
        }
    };
    switch (Event.Kind) {
    case fekCreated: push(SHCNE_CREATE, Event.Path); break;
    case fekDeleted: push(SHCNE_DELETE, Event.Path); break;
    case fekFolderCreated: push(SHCNE_MKDIR, Event.Path); break;
    case fekFolderRemoved: push(SHCNE_RMDIR, Event.Path); break;
    case fekClosedWritten: push(SHCNE_UPDATEITEM, Event.Path); break;
    case fekAttributes: push(SHCNE_ATTRIBUTES, Event.Path); break;
    case fekRenamed:
    case fekMovedIn:
    case fekMovedOut: {
        // A folder's new name tells it is one; a moved-out item is gone.
        struct stat st {};
        const bool folder = !Event.NewPath.empty() && ::stat(Event.NewPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        push(folder ? SHCNE_RENAMEFOLDER : SHCNE_RENAMEITEM, Event.Path, Event.NewPath);
        break;
    }
    case fekOverflow:
        if (FWatch)
            for (const String& f : FWatch->Folders())
                push(SHCNE_UPDATEDIR, f);
        break;
    }
}

void TSHChangeNotify::WndProc(TMessage& Message)
{
    if (Message.Msg != fMessageNo || FPending.empty())
        return;
    const TPending event = FPending.front();
    FPending.pop_front();
    if (Cardinal(Message.WParam & 0x7FFFFFFF) != event.Code)
        return;
    Deliver(event);
}

void TSHChangeNotify::Deliver(const TPending& Event)
{
    String p1 = Event.Path1;
    String p2 = Event.Path2;
    if (fTextCase == tcUpperCase) {
        p1 = AnsiUpperCase(p1);
        p2 = AnsiUpperCase(p2);
    } else if (fTextCase == tcLowerCase) {
        p1 = AnsiLowerCase(p1);
        p2 = AnsiLowerCase(p2);
    }
    PrevMsg = Event.Code;
    prevpath1 = p1;
    prevpath2 = p2;
    // The handler may free the watcher: copies run.
    auto one = [&](const TSHNotifyEvent& Handler) {
        if (Handler) {
            const TSHNotifyEvent h = Handler;
            h(p1);
        }
    };
    auto two = [&](const TSHNotifyEvent2& Handler) {
        if (Handler) {
            const TSHNotifyEvent2 h = Handler;
            h(p1, p2);
        }
    };
    switch (Event.Code) {
    case SHCNE_RENAMEITEM: two(OnRenameItem); break;
    case SHCNE_RENAMEFOLDER: two(OnRenameFolder); break;
    case SHCNE_CREATE: one(OnCreate); break;
    case SHCNE_DELETE: one(OnDelete); break;
    case SHCNE_MKDIR: one(OnMkDir); break;
    case SHCNE_RMDIR: one(OnRmDir); break;
    case SHCNE_ATTRIBUTES: one(OnAttributes); break;
    case SHCNE_UPDATEDIR: one(OnUpdateDir); break;
    case SHCNE_UPDATEITEM: one(OnUpdateItem); break;
    default: break;
    }
}
